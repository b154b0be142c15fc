// The layer's one clock, read by every time source (ticks, performance counter,
// wall time), and the waiting rules the window system builds its message waits on.
#pragma once

#include <cstdint>
#include <optional>

namespace plat::detail {

// Rules:
// - Real mode: time is a monotonic clock; every wait takes real time.
// - Virtual mode: time is a 64-bit microsecond counter. It moves only when a test
//   advances it (AdvanceVirtualTo) or when the window thread blocks with nothing to
//   do (WaitForWork on the window thread jumps to the earliest of its deadline and
//   the next due event). Other threads never move it: their sleeps take real time,
//   and their waits for a virtual deadline end when someone else moves time there.
// - While another layer thread is alive, a blocked window thread first waits in real
//   time (bounded by the real-wait limit) for that thread to post, and only then
//   jumps; when nothing at all is scheduled it keeps waiting for as long as such a
//   thread lives. With nothing scheduled and no other thread alive, the wait can
//   never end: it is reported through the fatal-error hook instead of hanging.
// Whatever the mode, the reading never goes backwards.

constexpr uint64_t kNoDeadline = UINT64_MAX;

uint64_t NowMicros();
bool IsVirtual();
// Switching keeps the reading continuous.
void UseVirtual();
void UseReal();

// The thread whose blocking waits move virtual time. UseVirtual sets it to the caller.
void SetWindowThread();
bool IsWindowThread();

// Something scheduled on the clock: window timers, multimedia timers, deadlines.
// Sources are registered once and live for the process. Both calls may come from any
// thread and may be re-entered (a callback run by RunDue can wait again). A source
// whose schedule gains an earlier event calls Notify, so blocked waiters recompute.
class DueSource {
 public:
  // Earliest due time strictly after `nowMicros`, if any. Due times at or before now
  // are the owner's business (already due, or left queued on purpose), so they never
  // stop time from moving.
  virtual std::optional<uint64_t> NextDueAfter(uint64_t nowMicros) = 0;
  // Virtual mode: runs what is due at `nowMicros`, on the thread that moved the clock.
  virtual void RunDue(uint64_t nowMicros) { (void)nowMicros; }

 protected:
  ~DueSource() = default;
};
void AddDueSource(DueSource* source);
std::optional<uint64_t> EarliestDueAfter(uint64_t nowMicros);

// Virtual mode: moves time to `targetMicros` one due event at a time; at each step the
// sources run what is due, then the advance pump (if any) runs. No effect in real mode
// or when the target is not ahead.
void AdvanceVirtualTo(uint64_t targetMicros);
// The window system's "pump the window thread until idle", run at each step of a
// test's advance (not of a window-thread Sleep, which dispatches no messages).
using AdvancePump = void (*)();
void SetAdvancePump(AdvancePump pump);
// Test advance: AdvanceVirtualTo with the pump.
void AdvanceWithPump(uint64_t targetMicros);

// Threads created through the layer that are still running: they may still post.
void LayerThreadStarted();
void LayerThreadEnded();
uint32_t LiveLayerThreads();

// Wake-ups for waiting threads. A poster changes a queue, then calls Notify. A waiter
// reads WakeGeneration() BEFORE looking at its queue and passes it to WaitForWork, so
// a post between the look and the wait is never lost.
uint64_t WakeGeneration();
void Notify();

enum class WaitOutcome {
  Notified,  // a Notify came after `seen`: look at the queue again
  Due,       // time reached a scheduled event before the deadline
  Deadline,  // time reached the deadline
  Stuck,     // the window thread would block forever (fatal hook already called)
};
// Blocks the calling thread until notified, or until the layer clock reaches the
// earliest of `deadlineMicros` and the next due event, following the rules above.
WaitOutcome WaitForWork(uint64_t deadlineMicros, uint64_t seen);

// Rule of the bounded real wait (milliseconds of real time).
void SetRealWaitLimit(uint32_t ms);

// Sleep, per the rules: the window thread in virtual mode advances time (running due
// sources, dispatching nothing); every other case sleeps in real time.
void SleepFor(uint32_t ms);

// Reports a condition the layer cannot survive. The default prints and aborts; a
// test's handler may return, and the caller then fails its operation.
using FatalHandler = void (*)(const char* message);
FatalHandler SetFatalHandler(FatalHandler handler);
void Fatal(const char* message);

// The 32-bit millisecond view (GetTickCount, timeGetTime): wraps at 2^32.
uint32_t TickMillis();
void SetTickBase(uint32_t ticksNow);

// Wall time (UTC) in microseconds since 1601-01-01: a start moment plus the time the
// clock moved since. By default the start is the real time at first use.
int64_t WallMicros1601();
void SetWallStart(int64_t utcMicros1601);

}  // namespace plat::detail
