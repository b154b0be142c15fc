// Where the Windows test hosts put the game: an 800 x 600 game window at (3, 3) in the
// client area of the host's window, as a portal lays it out.
#pragma once

#include <cstdint>

namespace winhost {
constexpr int32_t kGameWidth = 800;
constexpr int32_t kGameHeight = 600;
constexpr int32_t kGameOffset = 3;
}  // namespace winhost
