// The system's font smoothing setting as text drawing reads it.
#pragma once

#include "plat/types.h"

namespace plat::detail::gdi {

bool FontSmoothingOn();
UINT FontSmoothingType();

}  // namespace plat::detail::gdi
