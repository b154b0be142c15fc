#include "user/UserClock.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace plat::detail {
namespace {

struct ClockState {
  std::mutex mutex;
  uint64_t nowMs = 0;
  std::thread::id windowThread;
  bool windowThreadSet = false;
  std::vector<DueSource> sources;
};

ClockState& Clock() {
  static ClockState* c = new ClockState;
  return *c;
}

// The 32-bit view starts close to the wrap so that time arithmetic across it is exercised.
constexpr DWORD kTickBase = 0xFFFF0000u;

}  // namespace

uint64_t UserNowMs() {
  std::lock_guard lock(Clock().mutex);
  return Clock().nowMs;
}

DWORD UserTickMs() { return static_cast<DWORD>(kTickBase + UserNowMs()); }

bool UserClockVirtual() { return true; }

void UserClockJumpTo(uint64_t ms) {
  std::lock_guard lock(Clock().mutex);
  if (ms > Clock().nowMs) Clock().nowMs = ms;
}

bool IsWindowThread() {
  std::lock_guard lock(Clock().mutex);
  return Clock().windowThreadSet && Clock().windowThread == std::this_thread::get_id();
}

void NoteWindowThread() {
  std::lock_guard lock(Clock().mutex);
  if (Clock().windowThreadSet) return;
  Clock().windowThreadSet = true;
  Clock().windowThread = std::this_thread::get_id();
}

size_t OtherLiveThreads() { return 0; }

void RegisterDueSource(DueSource source) {
  std::lock_guard lock(Clock().mutex);
  Clock().sources.push_back(std::move(source));
}

std::optional<uint64_t> NextDue(uint64_t now) {
  std::vector<DueSource> sources;
  {
    std::lock_guard lock(Clock().mutex);
    sources = Clock().sources;
  }
  std::optional<uint64_t> best;
  for (auto& s : sources) {
    if (!s.next) continue;
    auto t = s.next(now);
    if (t && (!best || *t < *best)) best = t;
  }
  return best;
}

void RunDue(uint64_t now) {
  std::vector<DueSource> sources;
  {
    std::lock_guard lock(Clock().mutex);
    sources = Clock().sources;
  }
  for (auto& s : sources)
    if (s.run) s.run(now);
}

}  // namespace plat::detail
