// The one reminder and VIP state of the process (there is one table per process).
#include "panels/HelperAlert.h"

#include "plat/time.h"

HelperAlert& HelperAlert::Global() {
  static HelperAlert alert;
  return alert;
}

HelperAlert::VipState& HelperAlert::State() {
  static VipState state;
  return state;
}

void HelperAlert::Set(int32_t minutes, int32_t games, int64_t money) {
  HelperAlert& a = Global();
  a = HelperAlert{};
  a.minuteStart = GetTickCount();
  if (minutes > 0) {
    a.minutes = minutes;
  } else if (games >= 1) {
    a.gamesTarget = games;
  } else if (money > 0) {
    a.moneyTarget = money;
  }
}
