// The play reminder's settings and the VIP state of one game: the user's combination
// alert switch and the three values of the last VIP-state message. The game's help
// popup writes the switch and the thresholds; its VIP manager, which owns both, reads
// and clears them.
#pragma once

#include <array>
#include <cstdint>

struct HelperAlert {
  static constexpr int32_t kServiceValues = 3;
  static constexpr int32_t kServiceActive = 2;  // the service value that says the VIP service runs

  // At most one of minutes, gamesTarget and moneyTarget is non-zero.
  int32_t minutes = 0;
  int32_t gamesPlayed = 0;
  int32_t gamesTarget = 0;
  int64_t moneyWon = 0;
  int64_t moneyTarget = 0;
  uint32_t minuteStart = 0;  // GetTickCount when the minutes count from

  // The "Helper_Add_Alert" switch and the last VIP-state values.
  struct VipState {
    int32_t alertSwitch = 0;
    std::array<int32_t, kServiceValues> service{};
    // The combination alert shows only with the user's switch and the service on.
    bool AlertEnabled() const { return alertSwitch != 0 && service[kServiceActive] != 0; }
  };

  // One reminder: minutes over games over money; the others 0. (0, 0, 0) sets nothing,
  // and every call restarts the minute count.
  void Set(int32_t minutes, int32_t games, int64_t money);
};
