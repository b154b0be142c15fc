// Seat look-ups of the seat table.
#include "host/PITable.h"

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
