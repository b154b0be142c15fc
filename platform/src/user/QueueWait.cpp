#include "user/QueueWait.h"

#include "user/UserClock.h"

namespace plat::detail::user {
namespace {

class WindowTimerSource final : public DueSource {
 public:
  std::optional<uint64_t> NextDueAfter(uint64_t nowMicros) override {
    auto lock = Lock();
    std::optional<uint64_t> best;
    for (const Timer& t : State().timers) {
      uint64_t due = MsToMicros(t.due);
      if (due > nowMicros && (!best || due < *best)) best = due;
    }
    return best;
  }
};

}  // namespace

void EnsureWindowTimerSource() {
  static bool added = [] {
    AddDueSource(new WindowTimerSource);
    return true;
  }();
  (void)added;
}

QueueWaitResult WaitOnQueue(std::unique_lock<std::mutex>& lock, std::optional<uint64_t> deadline,
                            const std::function<bool()>& ready) {
  const uint64_t deadlineMicros = deadline ? MsToMicros(*deadline) : kNoDeadline;
  for (;;) {
    // The generation is read before looking, so a post in between is never lost.
    const uint64_t seen = WakeGeneration();
    if (ready()) return QueueWaitResult::Ready;
    if (NowMicros() >= deadlineMicros) return QueueWaitResult::Timeout;
    lock.unlock();
    WaitOutcome outcome = WaitForWork(deadlineMicros, seen);
    lock.lock();
    if (outcome == WaitOutcome::Stuck) return QueueWaitResult::Stuck;
  }
}

}  // namespace plat::detail::user
