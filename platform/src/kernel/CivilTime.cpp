// Proleptic Gregorian calendar arithmetic (days to and from year, month, day) and
// the TZ offset through the C library's time-zone database.
#include "kernel/CivilTime.h"

#include <ctime>

namespace plat::detail {
namespace {

constexpr int64_t kTicksPerMilli = 10000;
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kTicksPerDay = kSecondsPerDay * kTicksPerSecond;
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;  // the last year a FILETIME below 2^63 reaches fully

constexpr int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a date, and back (Gregorian eras of 400 years).
constexpr int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct Civil {
  int64_t year;
  unsigned month, day;
};

constexpr Civil CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = FloorDiv(z, 146097);
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

constexpr int64_t kDay1601 = DaysFromCivil(kFirstYear, 1, 1);
static_assert(-kDay1601 * kSecondsPerDay == kUnixEpochSeconds1601);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(int y, unsigned m) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<int64_t> SystemTimeToTicks(const SYSTEMTIME& t) {
  if (t.wYear < kFirstYear || t.wYear > kLastYear || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
      t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 ||
      t.wMilliseconds > 999)
    return std::nullopt;
  const int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) - kDay1601;
  const int64_t seconds = ((days * 24 + t.wHour) * 60 + t.wMinute) * 60 + t.wSecond;
  return seconds * kTicksPerSecond + t.wMilliseconds * kTicksPerMilli;
}

SYSTEMTIME TicksToSystemTime(int64_t ticks) {
  const int64_t days = ticks / kTicksPerDay;
  const int64_t inDay = ticks % kTicksPerDay;
  const Civil c = CivilFromDays(days + kDay1601);
  const int64_t seconds = inDay / kTicksPerSecond;
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(c.year);
  t.wMonth = static_cast<WORD>(c.month);
  t.wDay = static_cast<WORD>(c.day);
  t.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  t.wHour = static_cast<WORD>(seconds / 3600);
  t.wMinute = static_cast<WORD>(seconds / 60 % 60);
  t.wSecond = static_cast<WORD>(seconds % 60);
  t.wMilliseconds = static_cast<WORD>(inDay % kTicksPerSecond / kTicksPerMilli);
  return t;
}

int64_t LocalOffsetTicks(int64_t utcTicks) {
  const time_t seconds = static_cast<time_t>(FloorDiv(utcTicks, kTicksPerSecond) - kUnixEpochSeconds1601);
  tzset();  // TZ may have changed since the last call
  std::tm fields{};
  if (!localtime_r(&seconds, &fields)) return 0;
  return static_cast<int64_t>(fields.tm_gmtoff) * kTicksPerSecond;
}

int64_t LocalOffsetAtLocalTicks(int64_t localTicks) {
  // The offset belongs to the UTC moment, which is what we are looking for: guess with
  // the offset at the local reading, then correct once (enough across one DST change).
  // The guess only picks the moment whose offset is read, so at the ends of the range
  // the local reading itself will do.
  int64_t guess;
  if (__builtin_sub_overflow(localTicks, LocalOffsetTicks(localTicks), &guess)) guess = localTicks;
  return LocalOffsetTicks(guess);
}

int64_t LocalToUtcTicks(int64_t localTicks) { return localTicks - LocalOffsetAtLocalTicks(localTicks); }

}  // namespace plat::detail
