// Reset of the room record.
#include "host/RCRoomData.h"

#include <utility>

void RCRoomData::Reset() {
  const int32_t keptF16 = f16;
  PITable keptSeats = std::move(seats);
  *this = RCRoomData{};
  seats = std::move(keptSeats);
  seats.Reset();
  baseMoneyPerPoint = option.moneyPerPoint;
  f16 = keptF16;
}
