// Multimedia timers. Under the virtual clock a callback runs on the thread that
// moves time to its due moment; under the real clock a timer thread runs them.
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "plat/mmsystem.h"
#include "plat/sim_user.h"
#include "user/UserClock.h"
#include "user/UserState.h"

using namespace plat::detail;

namespace {

constexpr UINT kMinPeriod = 1;
constexpr UINT kMaxPeriod = 1000000;

struct MmTimer {
  UINT id;
  uint64_t due;
  UINT period;
  bool periodic;
  LPTIMECALLBACK callback;
  DWORD_PTR user;
  bool killSynchronous;
};

// A callback in progress: its timer, whether that was made with TIME_KILL_SYNCHRONOUS,
// and the thread running it (the real-time worker, or the one that moved virtual time).
struct MmRunning {
  UINT id;
  bool synchronous;
  std::thread::id thread;
};

struct MmState {
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<MmTimer> timers;
  UINT nextId = 1;
  std::map<UINT, int> periods;
  bool workerStarted = false;
  std::vector<MmRunning> running;
  plat::sim::MultimediaCallbackHook hook;
};

MmState& Mm() {
  static MmState* s = new MmState;
  return *s;
}


// Takes the earliest timer due at `now`, re-arms or retires it, and counts its callback
// as in progress on the calling thread from here on, so that no kill finds it neither
// armed nor running. Caller holds the lock.
std::optional<MmTimer> TakeDueLocked(uint64_t now) {
  auto& v = Mm().timers;
  auto it = std::min_element(v.begin(), v.end(), [](const MmTimer& a, const MmTimer& b) { return a.due < b.due; });
  if (it == v.end() || it->due > now) return std::nullopt;
  MmTimer t = *it;
  if (t.periodic)
    it->due += t.period;
  else
    v.erase(it);
  Mm().running.push_back(MmRunning{t.id, t.killSynchronous, std::this_thread::get_id()});
  return t;
}

bool RunningLocked(UINT id) {
  return std::any_of(Mm().running.begin(), Mm().running.end(), [&](const MmRunning& r) { return r.id == id; });
}

// Runs a taken timer's callback, the test hook's part included, and then ends its
// count as in progress. Called without the lock.
void RunCallback(const MmTimer& t) {
  plat::sim::MultimediaCallbackHook hook;
  {
    std::lock_guard lock(Mm().mutex);
    hook = Mm().hook;
  }
  if (hook) hook(t.id);
  t.callback(t.id, 0, t.user, 0, 0);
  std::lock_guard lock(Mm().mutex);
  auto& running = Mm().running;
  const auto me = std::find_if(running.begin(), running.end(), [&](const MmRunning& r) {
    return r.id == t.id && r.thread == std::this_thread::get_id();
  });
  if (me != running.end()) running.erase(me);
  Mm().cv.notify_all();
}

void RunDueMm(uint64_t now) {
  for (;;) {
    std::optional<MmTimer> t;
    {
      std::lock_guard lock(Mm().mutex);
      t = TakeDueLocked(now);
    }
    if (!t) return;
    RunCallback(*t);
  }
}

// Virtual clock: due times stop the clock's jumps and advances, which run the
// callbacks on the thread that moved time.
class MmSource final : public DueSource {
 public:
  std::optional<uint64_t> NextDueAfter(uint64_t nowMicros) override {
    std::lock_guard lock(Mm().mutex);
    std::optional<uint64_t> best;
    for (const MmTimer& t : Mm().timers) {
      uint64_t due = MsToMicros(t.due);
      if (due > nowMicros && (!best || due < *best)) best = due;
    }
    return best;
  }
  void RunDue(uint64_t nowMicros) override {
    if (IsVirtual()) RunDueMm(nowMicros / 1000);
  }
};

void WorkerLoop() {
  std::unique_lock lock(Mm().mutex);
  for (;;) {
    uint64_t now = UserNowMs();
    // Once the clock is virtual again, the thread that moves time runs the callbacks.
    if (auto t = IsVirtual() ? std::nullopt : TakeDueLocked(now)) {
      lock.unlock();
      RunCallback(*t);
      lock.lock();
      continue;
    }
    auto next = std::min_element(Mm().timers.begin(), Mm().timers.end(),
                                 [](const MmTimer& a, const MmTimer& b) { return a.due < b.due; });
    if (next == Mm().timers.end())
      Mm().cv.wait(lock);
    else
      Mm().cv.wait_for(lock, std::chrono::milliseconds(next->due - now));
  }
}

void EnsureEngine() {
  static bool registered = [] {
    AddDueSource(new MmSource);
    return true;
  }();
  (void)registered;
  if (IsVirtual()) return;
  std::lock_guard lock(Mm().mutex);
  if (Mm().workerStarted) return;
  Mm().workerStarted = true;
  std::thread(WorkerLoop).detach();
}

}  // namespace

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size) {
  if (!caps || size != sizeof(TIMECAPS)) return TIMERR_NOCANDO;
  caps->wPeriodMin = kMinPeriod;
  caps->wPeriodMax = kMaxPeriod;
  return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT period) {
  if (period < kMinPeriod || period > kMaxPeriod) return TIMERR_NOCANDO;
  std::lock_guard lock(Mm().mutex);
  ++Mm().periods[period];
  return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
  std::lock_guard lock(Mm().mutex);
  auto it = Mm().periods.find(period);
  if (it == Mm().periods.end() || it->second == 0) return TIMERR_NOCANDO;
  --it->second;
  return TIMERR_NOERROR;
}

MMRESULT timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  if (!callback || delay < kMinPeriod || delay > kMaxPeriod ||
      (flags & (TIME_CALLBACK_EVENT_SET | TIME_CALLBACK_EVENT_PULSE)))
    return 0;
  EnsureEngine();
  std::lock_guard lock(Mm().mutex);
  UINT id = Mm().nextId++;
  if (Mm().nextId == 0) Mm().nextId = 1;
  Mm().timers.push_back(MmTimer{id, UserNowMs() + delay, delay, (flags & TIME_PERIODIC) != 0, callback, user,
                                (flags & TIME_KILL_SYNCHRONOUS) != 0});
  Mm().cv.notify_all();
  Notify();
  return id;
}

MMRESULT timeKillEvent(UINT timerId) {
  std::unique_lock lock(Mm().mutex);
  auto& v = Mm().timers;
  auto it = std::find_if(v.begin(), v.end(), [&](const MmTimer& t) { return t.id == timerId; });
  bool known = it != v.end() || RunningLocked(timerId);
  if (it != v.end()) v.erase(it);
  if (!known) return MMSYSERR_INVALPARAM;
  // As the system does, only a timer made with TIME_KILL_SYNCHRONOUS has a callback of
  // it in progress on another thread (the timer thread; under the virtual clock the one
  // that moved time) finish first; a plain kill returns while it runs, and a kill from
  // inside the callback never waits for itself. The wait serves nothing sent to this
  // thread, as the system's does: a callback that sends here waits for ever.
  Mm().cv.wait(lock, [&] {
    return std::none_of(Mm().running.begin(), Mm().running.end(), [&](const MmRunning& r) {
      return r.id == timerId && r.synchronous && r.thread != std::this_thread::get_id();
    });
  });
  return TIMERR_NOERROR;
}

namespace plat::sim {

void SetMultimediaCallbackHook(MultimediaCallbackHook hook) {
  std::lock_guard lock(Mm().mutex);
  Mm().hook = std::move(hook);
}

int TimerPeriodBalance() {
  std::lock_guard lock(Mm().mutex);
  int n = 0;
  for (auto& [period, count] : Mm().periods) n += count;
  return n;
}

size_t LiveMultimediaTimers() {
  std::lock_guard lock(Mm().mutex);
  return Mm().timers.size();
}

}  // namespace plat::sim

namespace plat::detail::user {

void ResetMultimediaTimers() {
  std::lock_guard lock(Mm().mutex);
  Mm().timers.clear();
  Mm().periods.clear();
  Mm().hook = nullptr;
}

}  // namespace plat::detail::user
