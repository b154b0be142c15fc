// Seat look-ups of the seat table.
#include "host/PITable.h"

namespace {

// Screen position of seat i when I hold seat s: index i + 2s.
constexpr int32_t kScreenPosOfSeat[2 * PITable::kSeatCount] = {0, 1, 1, 0};

}  // namespace

void PITable::Reset() {
  for (PlayerInfo& seat : *this) {
    seat.Reset();
  }
}

int32_t PITable::SeatOfUser(int32_t userNo) const {
  if (userNo == RCUser::kNoUser) {
    return kNoSeat;
  }
  for (int32_t seat = 0; seat < kSeatCount; ++seat) {
    if (Player(seat).userNo == userNo) {
      return seat;
    }
  }
  return kNoSeat;
}

int32_t PITable::SwapSeatsIfSecond(int32_t userNo) {
  if (userNo == RCUser::kNoUser || Player(1).userNo != userNo) {
    return 0;
  }
  const PlayerInfo first = Player(0);
  Player(0) = Player(1);
  Player(1) = first;
  return 1;
}

void PITable::AssignScreenPositions(int32_t myUserNo) {
  const int32_t mine = SeatOfUser(myUserNo);
  const int32_t base = mine == kNoSeat ? 0 : mine * kSeatCount;
  for (int32_t seat = 0; seat < kSeatCount; ++seat) {
    Player(seat).screenPos = kScreenPosOfSeat[base + seat];
  }
}
