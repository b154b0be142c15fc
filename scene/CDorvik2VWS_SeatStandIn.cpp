// The seat query the voice lines need, over the room record's seat table. The full
// seat queries replace this file.
#include "scene/CDorvik2VWS.h"

int32_t CDorvik2VWS::IsRobotSeat(int32_t seat) const {
  const PlayerInfo& p = room_.seats.Player(seat);
  return p.connState < 0 || p.userNo < RCUser::kNoUser ? 1 : 0;
}
