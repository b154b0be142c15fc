// A rectangle that a constant table can hold: four signed 32-bit edges, right and
// bottom exclusive. Stands in for the widget library's GRect until that type exists,
// with the same field order and the same point test, so the switch is a rename.
#pragma once

#include <cstdint>

struct TableRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;

  constexpr bool PtInRect(int32_t x, int32_t y) const {
    return left <= x && x < right && top <= y && y < bottom;
  }
};
