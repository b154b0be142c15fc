// The USER services of the layer: windows, messages, timers, painting, input,
// dialogs, controls and the message box.
#pragma once

#include "plat/winuser.h"
#include "plat/dialogs.h"
