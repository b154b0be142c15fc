// The window system's view of the layer clock: milliseconds for timers and
// messages (the clock itself counts microseconds).
#pragma once

#include <cstdint>

#include "kernel/Clock.h"
#include "plat/types.h"

namespace plat::detail {

inline uint64_t UserNowMs() { return NowMicros() / 1000; }
inline uint64_t MsToMicros(uint64_t ms) { return ms * 1000; }
// The 32-bit view that messages carry (GetTickCount's).
inline DWORD UserTickMs() { return TickMillis(); }

}  // namespace plat::detail
