// One game's reminder: the threshold set and the count restarted.
#include "panels/HelperAlert.h"

#include "plat/time.h"

void HelperAlert::Set(int32_t minutes, int32_t games, int64_t money) {
  *this = HelperAlert{};
  minuteStart = GetTickCount();
  if (minutes > 0) {
    this->minutes = minutes;
  } else if (games >= 1) {
    gamesTarget = games;
  } else if (money > 0) {
    moneyTarget = money;
  }
}
