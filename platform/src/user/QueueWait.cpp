#include "user/QueueWait.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "user/UserClock.h"

namespace plat::detail::user {
namespace {

[[noreturn]] void FailBlocked(const char* why) {
  std::fprintf(stderr, "plat: %s\n", why);
  std::fflush(stderr);
  std::abort();
}

// A thread other than the window thread under virtual time: time is moved by
// others, so it looks again often. Posts and sends wake it at once.
constexpr auto kVirtualPoll = std::chrono::milliseconds(1);

}  // namespace

std::optional<uint64_t> NextWindowTimerDue(uint64_t now) {
  auto lock = Lock();
  std::optional<uint64_t> best;
  for (const Timer& t : State().timers)
    if (t.due > now && (!best || t.due < *best)) best = t.due;
  return best;
}

bool WaitOnQueue(std::unique_lock<std::mutex>& lock, ThreadQueue& q, std::optional<uint64_t> deadline,
                 const std::function<bool()>& ready) {
  for (;;) {
    if (ready()) return true;
    uint64_t now = UserNowMs();
    if (deadline && now >= *deadline) return false;
    if (UserClockVirtual() && IsWindowThread()) {
      lock.unlock();
      std::optional<uint64_t> next = NextDue(now);
      lock.lock();
      if (ready()) return true;
      if (deadline && (!next || *deadline < *next)) next = deadline;
      if (!next) {
        if (OtherLiveThreads() == 0) FailBlocked("window thread blocked with nothing scheduled");
        auto limit = std::chrono::milliseconds(State().crossThreadWaitMs);
        if (q.cv.wait_for(lock, limit, ready)) return true;
        if (OtherLiveThreads() == 0) FailBlocked("window thread blocked with nothing scheduled");
        FailBlocked("window thread blocked: no post from the other threads in time and nothing scheduled");
      }
      lock.unlock();
      UserClockJumpTo(*next);
      RunDue(*next);
      lock.lock();
      continue;
    }
    if (UserClockVirtual()) {
      q.cv.wait_for(lock, kVirtualPoll);
      continue;
    }
    std::optional<uint64_t> wake = deadline;
    for (const Timer& t : State().timers)
      if (t.queue.get() == &q && t.due > now && (!wake || t.due < *wake)) wake = t.due;
    if (wake)
      q.cv.wait_for(lock, std::chrono::milliseconds(*wake - now));
    else
      q.cv.wait(lock);
  }
}

}  // namespace plat::detail::user
