// The table seats two, seat 0 and seat 1, each shown on its own side of the screen.
// Every per-seat and per-side count is this one number under the name its floor uses.
#pragma once

#include <cstdint>

inline constexpr int32_t kTableSeats = 2;
