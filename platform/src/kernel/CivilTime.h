// Calendar arithmetic for the wall-time views: 100-nanosecond ticks since
// 1601-01-01 (the FILETIME scale) to and from calendar fields, and the TZ offset.
#pragma once

#include <cstdint>
#include <optional>

#include "plat/types.h"

namespace plat::detail {

constexpr int64_t kTicksPerMicro = 10;
constexpr int64_t kTicksPerSecond = 10000000;
// Seconds from 1601-01-01 (the FILETIME origin) to 1970-01-01 (the Unix one).
constexpr int64_t kUnixEpochSeconds1601 = 11644473600;

// Null when a field is out of range (wDayOfWeek is ignored).
std::optional<int64_t> SystemTimeToTicks(const SYSTEMTIME& time);
// `ticks` must not be negative.
SYSTEMTIME TicksToSystemTime(int64_t ticks);

// Offset of local time (TZ) from UTC at that UTC moment, in ticks.
int64_t LocalOffsetTicks(int64_t utcTicks);
// The offset in force at a local reading (what LocalToUtcTicks subtracts).
int64_t LocalOffsetAtLocalTicks(int64_t localTicks);
int64_t LocalToUtcTicks(int64_t localTicks);

inline FILETIME ToFileTime(int64_t ticks) {
  const auto v = static_cast<uint64_t>(ticks);
  return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}
// A Unix time (seconds and nanoseconds since 1970) as a FILETIME; 1601 for anything earlier.
inline FILETIME FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
  const int64_t ticks = (seconds + kUnixEpochSeconds1601) * kTicksPerSecond + nanoseconds / 100;
  return ToFileTime(ticks < 0 ? 0 : ticks);
}
inline uint64_t FromFileTime(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace plat::detail
