// The headless run's contact sheet, of the layer's captured frames.
#pragma once

#include "plat/sim_display.h"
#include "testhost/ContactSheetGrid.h"

namespace testhost {

using ContactSheet = BasicContactSheet<plat::sim::RgbImage>;

}  // namespace testhost
