// The layer clock: one reading for every time source, the virtual counter tests
// drive, and the waits that move it (see Clock.h for the rules).
#include "kernel/Clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "kernel/CivilTime.h"

namespace plat::detail {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr uint32_t kDefaultRealWaitLimitMs = 50;
constexpr int64_t kUnixEpochMicros1601 = kUnixEpochSeconds1601 * 1000000;

void DefaultFatal(const char* message) {
  std::fprintf(stderr, "platform layer: fatal: %s\n", message);
  std::abort();
}

// Deadlines of non-window threads waiting on virtual time: an advance must stop at
// each of them, so they are due events like timers.
class WaiterDeadlines final : public DueSource {
 public:
  void Add(uint64_t deadline) {
    std::lock_guard lock(mutex_);
    deadlines_.insert(deadline);
  }
  void Remove(uint64_t deadline) {
    std::lock_guard lock(mutex_);
    auto it = deadlines_.find(deadline);
    if (it != deadlines_.end()) deadlines_.erase(it);
  }
  std::optional<uint64_t> NextDueAfter(uint64_t now) override {
    std::lock_guard lock(mutex_);
    auto it = deadlines_.upper_bound(now);
    if (it == deadlines_.end()) return std::nullopt;
    return *it;
  }

 private:
  std::mutex mutex_;
  std::multiset<uint64_t> deadlines_;
};

struct ClockState {
  std::atomic<bool> virtualMode{false};
  std::atomic<uint64_t> virtualNow{0};
  // Real reading = steady time since `origin` + realOffset (keeps switches continuous).
  SteadyClock::time_point origin = SteadyClock::now();
  std::atomic<int64_t> realOffset{0};
  std::mutex modeMutex;

  std::atomic<std::thread::id> windowThread{};

  std::mutex sourcesMutex;
  std::vector<DueSource*> sources;
  WaiterDeadlines* waiterDeadlines = nullptr;
  std::atomic<AdvancePump> pump{nullptr};

  std::atomic<uint32_t> liveThreads{0};

  // Waiters sleep on one condition. `generation` counts posts; `changes` counts
  // everything else a waiter must re-evaluate (time moved, a thread came or went).
  std::mutex wakeMutex;
  std::condition_variable wake;
  std::atomic<uint64_t> generation{0};
  uint64_t changes = 0;

  std::atomic<uint32_t> realWaitLimitMs{kDefaultRealWaitLimitMs};
  std::atomic<FatalHandler> fatal{&DefaultFatal};
  std::atomic<uint32_t> tickOffset{0};

  std::mutex wallMutex;
  bool wallSet = false;
  int64_t wallStart = 0;
  uint64_t wallClockAt = 0;
};

// Created on first use and never destroyed: the layer runs no global constructors.
ClockState& State() {
  static ClockState* state = [] {
    auto* s = new ClockState;
    s->waiterDeadlines = new WaiterDeadlines;
    s->sources.push_back(s->waiterDeadlines);
    return s;
  }();
  return *state;
}

uint64_t RealMicros(const ClockState& c) {
  auto since = std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - c.origin).count();
  return static_cast<uint64_t>(since + c.realOffset.load());
}

void BumpChanges(ClockState& c) {
  {
    std::lock_guard lock(c.wakeMutex);
    ++c.changes;
  }
  c.wake.notify_all();
}

void MoveVirtualTo(uint64_t target) {
  ClockState& c = State();
  uint64_t now = c.virtualNow.load();
  while (now < target && !c.virtualNow.compare_exchange_weak(now, target)) {
  }
  BumpChanges(c);
}

std::vector<DueSource*> Sources() {
  ClockState& c = State();
  std::lock_guard lock(c.sourcesMutex);
  return c.sources;
}

void RunDueSources(uint64_t now) {
  for (DueSource* s : Sources()) s->RunDue(now);
}

uint64_t Changes(ClockState& c) {
  std::lock_guard lock(c.wakeMutex);
  return c.changes;
}

// Real-time wait until a post after `seen`, any other change after `changesSeen`, or
// `until`. True when something changed.
bool WaitRealUntil(ClockState& c, uint64_t seen, uint64_t changesSeen, std::optional<SteadyClock::time_point> until) {
  std::unique_lock lock(c.wakeMutex);
  auto woken = [&] { return c.generation.load() != seen || c.changes != changesSeen; };
  if (until) return c.wake.wait_until(lock, *until, woken);
  c.wake.wait(lock, woken);
  return true;
}

WaitOutcome OutcomeAt(uint64_t now, uint64_t deadline) {
  return now >= deadline ? WaitOutcome::Deadline : WaitOutcome::Due;
}

WaitOutcome WaitReal(uint64_t deadline, uint64_t seen) {
  ClockState& c = State();
  for (;;) {
    const uint64_t changesSeen = Changes(c);
    if (c.generation.load() != seen) return WaitOutcome::Notified;
    const uint64_t now = NowMicros();
    const uint64_t target = std::min(deadline, EarliestDueAfter(now).value_or(kNoDeadline));
    if (target <= now) return OutcomeAt(now, deadline);
    std::optional<SteadyClock::time_point> until;
    if (target != kNoDeadline) until = SteadyClock::now() + std::chrono::microseconds(target - now);
    WaitRealUntil(c, seen, changesSeen, until);
    if (c.generation.load() != seen) return WaitOutcome::Notified;
    if (NowMicros() >= target) return OutcomeAt(NowMicros(), deadline);
  }
}

// A thread other than the window thread, virtual mode: someone else moves time.
WaitOutcome WaitVirtualElsewhere(uint64_t deadline, uint64_t seen) {
  ClockState& c = State();
  if (deadline != kNoDeadline) {
    c.waiterDeadlines->Add(deadline);
    // A new stop on the schedule: a window thread already blocked must look again
    // before it jumps, or it would jump past this deadline.
    BumpChanges(c);
  }
  std::unique_lock lock(c.wakeMutex);
  c.wake.wait(lock, [&] { return c.generation.load() != seen || NowMicros() >= deadline || !c.virtualMode; });
  lock.unlock();
  if (deadline != kNoDeadline) c.waiterDeadlines->Remove(deadline);
  if (c.generation.load() != seen) return WaitOutcome::Notified;
  if (!c.virtualMode && NowMicros() < deadline) return WaitReal(deadline, seen);
  return WaitOutcome::Deadline;
}

WaitOutcome WaitVirtualWindowThread(uint64_t deadline, uint64_t seen) {
  ClockState& c = State();
  for (;;) {
    // Read first: a change from here on (a thread ending, time moving) is noticed below.
    const uint64_t changesSeen = Changes(c);
    RunDueSources(NowMicros());  // overdue callbacks may post
    if (c.generation.load() != seen) return WaitOutcome::Notified;
    const uint64_t now = NowMicros();
    if (now >= deadline) return WaitOutcome::Deadline;
    const uint64_t target = std::min(deadline, EarliestDueAfter(now).value_or(kNoDeadline));
    if (c.liveThreads.load() > 0) {
      // Another thread may be about to post: give it real time before time jumps.
      const bool changed = WaitRealUntil(c, seen, changesSeen,
                                         SteadyClock::now() + std::chrono::milliseconds(c.realWaitLimitMs.load()));
      if (c.generation.load() != seen) return WaitOutcome::Notified;
      if (changed || (target == kNoDeadline && c.liveThreads.load() > 0)) continue;
    }
    if (target == kNoDeadline) {
      Fatal("window thread blocked with nothing scheduled");
      return WaitOutcome::Stuck;
    }
    MoveVirtualTo(target);
    RunDueSources(target);
    return OutcomeAt(target, deadline);
  }
}

void AdvanceSteps(uint64_t target, AdvancePump pump) {
  if (!IsVirtual()) return;
  for (;;) {
    const uint64_t now = NowMicros();
    const uint64_t next = std::max(now, std::min(target, EarliestDueAfter(now).value_or(kNoDeadline)));
    MoveVirtualTo(next);
    RunDueSources(next);
    if (pump) pump();
    if (next >= target) return;
  }
}

}  // namespace

uint64_t NowMicros() {
  ClockState& c = State();
  return c.virtualMode.load() ? c.virtualNow.load() : RealMicros(c);
}

bool IsVirtual() { return State().virtualMode.load(); }

void UseVirtual() {
  ClockState& c = State();
  {
    std::lock_guard lock(c.modeMutex);
    if (!c.virtualMode.load()) {
      c.virtualNow.store(std::max(c.virtualNow.load(), RealMicros(c)));
      c.virtualMode.store(true);
    }
  }
  SetWindowThread();
  BumpChanges(c);
}

void UseReal() {
  ClockState& c = State();
  {
    std::lock_guard lock(c.modeMutex);
    if (c.virtualMode.load()) {
      const int64_t behind = static_cast<int64_t>(c.virtualNow.load()) - static_cast<int64_t>(RealMicros(c));
      if (behind > 0) c.realOffset.fetch_add(behind);
      c.virtualMode.store(false);
    }
  }
  BumpChanges(c);
}

void SetWindowThread() { State().windowThread.store(std::this_thread::get_id()); }
bool IsWindowThread() { return State().windowThread.load() == std::this_thread::get_id(); }

void AddDueSource(DueSource* source) {
  ClockState& c = State();
  {
    std::lock_guard lock(c.sourcesMutex);
    c.sources.push_back(source);
  }
  BumpChanges(c);
}

std::optional<uint64_t> EarliestDueAfter(uint64_t now) {
  std::optional<uint64_t> best;
  for (DueSource* s : Sources()) {
    std::optional<uint64_t> due = s->NextDueAfter(now);
    if (due && *due > now && (!best || *due < *best)) best = due;
  }
  return best;
}

void AdvanceVirtualTo(uint64_t target) { AdvanceSteps(target, nullptr); }
void SetAdvancePump(AdvancePump pump) { State().pump.store(pump); }
void AdvanceWithPump(uint64_t target) { AdvanceSteps(target, State().pump.load()); }

void LayerThreadStarted() {
  State().liveThreads.fetch_add(1);
  BumpChanges(State());
}

void LayerThreadEnded() {
  State().liveThreads.fetch_sub(1);
  BumpChanges(State());
}

uint32_t LiveLayerThreads() { return State().liveThreads.load(); }

uint64_t WakeGeneration() { return State().generation.load(); }

void Notify() {
  ClockState& c = State();
  {
    std::lock_guard lock(c.wakeMutex);
    c.generation.fetch_add(1);
  }
  c.wake.notify_all();
}

WaitOutcome WaitForWork(uint64_t deadline, uint64_t seen) {
  if (!IsVirtual()) return WaitReal(deadline, seen);
  if (!IsWindowThread()) return WaitVirtualElsewhere(deadline, seen);
  return WaitVirtualWindowThread(deadline, seen);
}

void SetRealWaitLimit(uint32_t ms) { State().realWaitLimitMs.store(ms); }

void SleepFor(uint32_t ms) {
  if (IsVirtual() && IsWindowThread()) {
    AdvanceVirtualTo(NowMicros() + uint64_t{ms} * 1000);
  } else if (ms == 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

FatalHandler SetFatalHandler(FatalHandler handler) {
  return State().fatal.exchange(handler ? handler : &DefaultFatal);
}

void Fatal(const char* message) { State().fatal.load()(message); }

uint32_t TickMillis() {
  return static_cast<uint32_t>(NowMicros() / 1000) + State().tickOffset.load();
}

void SetTickBase(uint32_t ticksNow) {
  State().tickOffset.store(ticksNow - static_cast<uint32_t>(NowMicros() / 1000));
}

int64_t WallMicros1601() {
  ClockState& c = State();
  std::lock_guard lock(c.wallMutex);
  const uint64_t now = NowMicros();
  if (!c.wallSet) {
    auto sinceUnix = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch()).count();
    c.wallStart = kUnixEpochMicros1601 + sinceUnix;
    c.wallClockAt = now;
    c.wallSet = true;
  }
  return c.wallStart + static_cast<int64_t>(now - c.wallClockAt);
}

void SetWallStart(int64_t utcMicros1601) {
  ClockState& c = State();
  std::lock_guard lock(c.wallMutex);
  c.wallStart = utcMicros1601;
  c.wallClockAt = NowMicros();
  c.wallSet = true;
}

}  // namespace plat::detail
