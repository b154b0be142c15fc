// The window system's view of the layer clock: the time, whether it is virtual, the
// jump a blocked window thread makes, and the sources of due events that a jump and
// an Advance must stop at.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "plat/types.h"

namespace plat::detail {

// Milliseconds of the layer clock (64-bit, never wraps) and the 32-bit view
// that messages carry.
uint64_t UserNowMs();
DWORD UserTickMs();
bool UserClockVirtual();
// Virtual mode: moves time forward to `ms` (never backward).
void UserClockJumpTo(uint64_t ms);

// The thread whose blocking waits move virtual time. The first thread that makes a
// window becomes it unless one was named.
bool IsWindowThread();
void NoteWindowThread();
// Threads of the layer that are alive besides the window thread.
size_t OtherLiveThreads();

// A source of events due at a time: window timers, multimedia timers. `next` gives
// the earliest due time after `now` (or none); `run` performs what is due at `now`
// on the calling thread (multimedia callbacks).
struct DueSource {
  std::function<std::optional<uint64_t>(uint64_t now)> next;
  std::function<void(uint64_t now)> run;
};
void RegisterDueSource(DueSource source);
std::optional<uint64_t> NextDue(uint64_t now);
void RunDue(uint64_t now);

}  // namespace plat::detail
