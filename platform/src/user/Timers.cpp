// Window timers. A timer is due at a time; WM_TIMER is made when the queue is read
// (so a late timer delivers once) and the timer is re-armed one period after that.
#include <algorithm>

#include "plat/error.h"
#include "user/QueueWait.h"
#include "user/UserClock.h"

using namespace plat::detail;
using namespace plat::detail::user;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  EnsureWindowTimerSource();
  std::shared_ptr<Window> w;
  if (hwnd) {
    w = FindOrFail(hwnd);
    if (!w) return 0;
  }
  auto me = CurrentQueue();
  elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  auto lock = Lock();
  if (w && !OwnedByCaller(*w)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  uint64_t due = UserNowMs() + elapse;
  auto& timers = State().timers;
  auto same = [&](const Timer& t) {
    return t.hwnd == hwnd && t.id == id && (hwnd || t.queue == me);
  };
  auto it = std::find_if(timers.begin(), timers.end(), same);
  if (!hwnd && it == timers.end()) id = State().nextThreadTimerId++;
  if (it != timers.end()) {
    it->period = elapse;
    it->due = due;
    it->proc = proc;
    it->signalled = false;
  } else {
    timers.push_back(Timer{hwnd, id, elapse, due, proc, me});
  }
  // A waiting window thread recomputes its next event.
  Notify();
  if (hwnd) return id ? id : 1;
  return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto me = CurrentQueue();
  auto lock = Lock();
  auto& timers = State().timers;
  auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) {
    return t.hwnd == hwnd && t.id == id && (hwnd || t.queue == me);
  });
  if (it == timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  timers.erase(it);
  return TRUE;
}
