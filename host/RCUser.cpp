// Reset rules of the user and seat records: a freshly built record is the reset
// state, so a reset assigns one.
#include "host/RCUser.h"

void RCUser::Reset() {
  RCUser::operator=(RCUser{});
}

void PlayerInfo::Reset() {
  const int32_t keptScreenPos = screenPos;
  PlayerInfo::operator=(PlayerInfo{});
  screenPos = keptScreenPos;
}

void PlayerInfo::SetRobot(int32_t robotNo, std::string_view robotName) {
  if (robotNo >= kNoUser) {
    return;
  }
  connState = robotNo;
  userNo = robotNo;
  nickname.assign(robotName);
}
