// Helpers over the window tree shared by the window, paint and input code. The
// caller holds the window-system lock.
#pragma once

#include <vector>

#include "user/UserState.h"

namespace plat::detail::user {

std::vector<HWND>& SiblingsLocked(const Window& w);
void ResizeBackingLocked(Window& w);
POINT ParentClientOriginLocked(const Window& w);
// The deepest visible, enabled window under a screen point (null when none).
HWND WindowAtPointLocked(POINT screen);

}  // namespace plat::detail::user
