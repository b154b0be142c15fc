#include "scene/CTimeMgr.h"

#include "plat/time.h"

namespace time_mgr {
constexpr int64_t kCounterMillisPerSecond = 1000;
}  // namespace time_mgr

void CTimeMgr::ReadFrequency() {
  LARGE_INTEGER frequency{};
  hasCounter_ = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
  frequency_ = hasCounter_ ? frequency.QuadPart : 0;
}

void CTimeMgr::Start() {
  LARGE_INTEGER now{};
  if (hasCounter_ && QueryPerformanceCounter(&now)) {
    startCounter_ = now.QuadPart;
  } else {
    startMs_ = timeGetTime();
  }
}

int64_t CTimeMgr::ElapsedMs() const {
  LARGE_INTEGER now{};
  if (hasCounter_ && QueryPerformanceCounter(&now)) {
    // In integers: a quotient in floating point can fall just short of a whole
    // millisecond that has passed.
    return (now.QuadPart - startCounter_) * time_mgr::kCounterMillisPerSecond / frequency_;
  }
  return static_cast<int64_t>(static_cast<uint32_t>(timeGetTime() - startMs_));
}
