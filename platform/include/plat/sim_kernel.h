// Test control of the kernel part of the layer: the clock (mode, advancing, the
// millisecond and wall-time views), the window thread, and the processor count.
#pragma once

#include <cstdint>

#include "plat/types.h"

namespace plat::sim {

// The clock. Production runs on the real clock; tests select the virtual one, whose
// time moves only when advanced, or when the window thread blocks with nothing to do
// (see the windows part of the layer). Switching modes never moves time backwards.
// UseVirtualClock also makes the calling thread the window thread.
void UseVirtualClock();
void UseRealClock();
bool IsVirtualClock();
// Moves virtual time forward by `milliseconds`, one due event at a time, running what
// falls due on the way. No effect under the real clock.
void AdvanceClock(uint32_t milliseconds);
void AdvanceClockMicros(uint64_t microseconds);
// The clock's reading in microseconds (what QueryPerformanceCounter reports).
uint64_t NowMicros();

// Makes GetTickCount and timeGetTime read `ticksNow` now (e.g. 0xFFFFFF00 to cross the
// 32-bit wrap soon after).
void SetTickBase(uint32_t ticksNow);
// Makes the local-time view (GetLocalTime) read `localNow` now, in the TZ time zone;
// the UTC views follow. Returns false for an invalid date.
bool SetLocalTimeStart(const SYSTEMTIME& localNow);

// The thread whose blocking waits move virtual time (by default the one that called
// UseVirtualClock).
void SetWindowThread();
// How long (real milliseconds) the blocked window thread waits for a post from another
// live layer thread before virtual time jumps. Default 50.
void SetRealWaitLimit(uint32_t milliseconds);
// Number of threads created by CreateThread that have not returned yet.
uint32_t LiveLayerThreads();
// Blocks of the process heap (HeapAlloc) not yet freed (leak checks).
size_t LiveHeapBlocks();

// Receives conditions the layer cannot survive (such as "window thread blocked with
// nothing scheduled"). The default prints the message and aborts; a test's handler may
// return, and the failing call then reports failure. Null restores the default.
// Returns the previous handler.
using FatalErrorHandler = void (*)(const char* message);
FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler handler);

// GetSystemInfo's processor count (default 1; 0 counts as 1).
void SetProcessorCount(uint32_t count);

}  // namespace plat::sim
