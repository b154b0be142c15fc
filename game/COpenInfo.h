// The floor: twelve slots, each with its screen position and the number of cards it
// holds, and the cards lying there. Plain data for the card model and the layout.
#pragma once

#include <cstdint>
#include <vector>

#include "host/ArcArrayT.h"

struct COpen {
  int32_t x = 0;
  int32_t y = 0;
  int32_t cardCount = 0;
};

struct COpenInfo {
  static constexpr int32_t kSlots = 12;

  ArcArrayT<COpen, kSlots> slots;
  std::vector<int32_t> floorCards;

  // Empty slots, positions kept.
  void Reset() {
    for (COpen& slot : slots) slot.cardCount = 0;
    floorCards.clear();
  }
};
