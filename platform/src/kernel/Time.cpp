// The time functions of the layer, each a view of the one clock: ticks, the
// performance counter, and wall time as UTC or TZ local time.
#include "plat/time.h"

#include <optional>

#include "kernel/CivilTime.h"
#include "kernel/Clock.h"
#include "plat/error.h"

using namespace plat::detail;

namespace {

constexpr LONGLONG kPerformanceFrequency = 1000000;  // the clock counts microseconds
constexpr uint64_t kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

int64_t NowUtcTicks() { return WallMicros1601() * kTicksPerMicro; }

// `ticks` moved by a time-zone offset, when the result is still a FILETIME (the offset
// is hours, so near either end of the range it can carry the value past it).
std::optional<FILETIME> InRange(int64_t ticks, int64_t offset) {
  int64_t moved;
  if (__builtin_add_overflow(ticks, offset, &moved) || moved < 0) return std::nullopt;
  return ToFileTime(moved);
}

BOOL InvalidParameter() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

}  // namespace

void Sleep(DWORD milliseconds) { SleepFor(milliseconds); }

DWORD GetTickCount() { return TickMillis(); }
DWORD timeGetTime() { return TickMillis(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter) {
  if (!counter) return InvalidParameter();
  counter->QuadPart = static_cast<LONGLONG>(NowMicros());
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (!frequency) return InvalidParameter();
  frequency->QuadPart = kPerformanceFrequency;
  return TRUE;
}

void GetSystemTime(LPSYSTEMTIME time) { *time = TicksToSystemTime(NowUtcTicks()); }

void GetLocalTime(LPSYSTEMTIME time) {
  const int64_t utc = NowUtcTicks();
  *time = TicksToSystemTime(utc + LocalOffsetTicks(utc));
}

void GetSystemTimeAsFileTime(LPFILETIME time) { *time = ToFileTime(NowUtcTicks()); }

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
  if (!systemTime || !fileTime) return InvalidParameter();
  std::optional<int64_t> ticks = SystemTimeToTicks(*systemTime);
  if (!ticks) return InvalidParameter();
  *fileTime = ToFileTime(*ticks);
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
  if (!fileTime || !systemTime) return InvalidParameter();
  const uint64_t ticks = FromFileTime(*fileTime);
  if (ticks > kMaxFileTime) return InvalidParameter();
  *systemTime = TicksToSystemTime(static_cast<int64_t>(ticks));
  return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
  if (!utc || !local || FromFileTime(*utc) > kMaxFileTime) return InvalidParameter();
  const auto ticks = static_cast<int64_t>(FromFileTime(*utc));
  std::optional<FILETIME> result = InRange(ticks, LocalOffsetTicks(ticks));
  if (!result) return InvalidParameter();
  *local = *result;
  return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc) {
  if (!local || !utc || FromFileTime(*local) > kMaxFileTime) return InvalidParameter();
  const auto ticks = static_cast<int64_t>(FromFileTime(*local));
  std::optional<FILETIME> result = InRange(ticks, -LocalOffsetAtLocalTicks(ticks));
  if (!result) return InvalidParameter();
  *utc = *result;
  return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
  const uint64_t x = FromFileTime(*a);
  const uint64_t y = FromFileTime(*b);
  return x < y ? -1 : (x > y ? 1 : 0);
}
