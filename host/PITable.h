// The table's two seats, seat 0 then seat 1, read and written with no count.
#pragma once

#include <cstdint>

#include "host/ArcArrayT.h"
#include "host/RCUser.h"
#include "tables/TableSeats.h"

class PITable : public ArcArrayT<PlayerInfo, kTableSeats> {
 public:
  static constexpr int32_t kSeatCount = kTableSeats;
  static constexpr int32_t kNoSeat = -1;

  // Both seats empty; each keeps its screen position.
  void Reset();

  // The seat at an index; anything but 0 or 1 throws std::out_of_range.
  PlayerInfo& Player(int32_t seat) { return at(static_cast<std::size_t>(seat)); }
  const PlayerInfo& Player(int32_t seat) const { return at(static_cast<std::size_t>(seat)); }

  // -1 stands for "nobody" and never holds a seat, even though empty seats carry it.
  bool HasUser(int32_t userNo) const { return SeatOfUser(userNo) != kNoSeat; }
  int32_t SeatOfUser(int32_t userNo) const;
  // When seat 1 holds the user, the two seats' records change places: 1, else 0.
  int32_t SwapSeatsIfSecond(int32_t userNo);
  // My seat is drawn at screen position 0 and the other at 1; an observer (or a
  // number that holds no seat) sees seat 0 at the bottom.
  void AssignScreenPositions(int32_t myUserNo);

  template <class V>
  void Fields(V& v) {
    v(static_cast<ArcArrayT<PlayerInfo, kTableSeats>&>(*this), "");
  }
};
