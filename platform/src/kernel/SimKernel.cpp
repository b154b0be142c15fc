// Test control of the clock: thin wrappers over the internal clock, so tests and the
// layer see the same time.
#include "plat/sim.h"

#include "kernel/CivilTime.h"
#include "kernel/Clock.h"

namespace plat::sim {

void UseVirtualClock() { detail::UseVirtual(); }
void UseRealClock() { detail::UseReal(); }
bool IsVirtualClock() { return detail::IsVirtual(); }

void AdvanceClock(uint32_t milliseconds) { AdvanceClockMicros(uint64_t{milliseconds} * 1000); }
void AdvanceClockMicros(uint64_t microseconds) { detail::AdvanceWithPump(detail::NowMicros() + microseconds); }
uint64_t NowMicros() { return detail::NowMicros(); }

void SetTickBase(uint32_t ticksNow) { detail::SetTickBase(ticksNow); }

bool SetLocalTimeStart(const SYSTEMTIME& localNow) {
  std::optional<int64_t> local = detail::SystemTimeToTicks(localNow);
  if (!local) return false;
  detail::SetWallStart(detail::LocalToUtcTicks(*local) / detail::kTicksPerMicro);
  return true;
}

void SetWindowThread() { detail::SetWindowThread(); }
void SetRealWaitLimit(uint32_t milliseconds) { detail::SetRealWaitLimit(milliseconds); }
uint32_t LiveLayerThreads() { return detail::LiveLayerThreads(); }

FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler handler) { return detail::SetFatalHandler(handler); }

}  // namespace plat::sim
