// Rectangle lists: the visible part of a window as the layer clips blits to it.
#pragma once

#include <vector>

#include "plat/types.h"

namespace plat::detail::ddraw {

bool IsEmpty(const RECT& r);
RECT Intersect(const RECT& a, const RECT& b);
// The parts of `region` outside `hole`.
std::vector<RECT> Subtract(const std::vector<RECT>& region, const RECT& hole);
// The parts of `region` inside `window`.
std::vector<RECT> Clip(const std::vector<RECT>& region, const RECT& window);

}  // namespace plat::detail::ddraw
