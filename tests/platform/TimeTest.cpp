#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "plat/error.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "support/ScopedTimeZone.h"

namespace {

using testing_support::ScopedTimeZone;

uint64_t Ticks(const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }
FILETIME FileTime(uint64_t v) { return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)}; }
SYSTEMTIME Date(WORD y, WORD mo, WORD d, WORD h = 0, WORD mi = 0, WORD s = 0, WORD ms = 0) {
  return SYSTEMTIME{y, mo, 0, d, h, mi, s, ms};
}
std::string Text(const SYSTEMTIME& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u dow%u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek);
  return buf;
}

class TimeTest : public testing::Test {
 protected:
  void SetUp() override { plat::sim::UseVirtualClock(); }
};

TEST_F(TimeTest, MillisecondViewsCrossTheThirtyTwoBitWrapAndTheCounterCountsMicroseconds) {
  plat::sim::SetTickBase(0xFFFFFF00);
  const DWORD before = timeGetTime();
  EXPECT_EQ(before, 0xFFFFFF00u);
  EXPECT_EQ(GetTickCount(), before);
  LARGE_INTEGER frequency{}, a{}, b{};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 1000000);
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  plat::sim::AdvanceClock(0x100 + 5);
  EXPECT_EQ(timeGetTime(), 5u);
  EXPECT_EQ(GetTickCount(), 5u);
  EXPECT_EQ(timeGetTime() - before, 0x105u);  // unsigned differences stay right across the wrap
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_EQ(b.QuadPart - a.QuadPart, 0x105 * 1000);
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST_F(TimeTest, InvalidSystemTimesAreRefused) {
  const SYSTEMTIME table[] = {
      Date(1600, 12, 31), Date(2000, 0, 1),          Date(2000, 13, 1),          Date(2000, 1, 0),
      Date(2000, 4, 31),  Date(1900, 2, 29),         Date(2001, 2, 29),          Date(2000, 2, 30),
      Date(2000, 1, 1, 24), Date(2000, 1, 1, 0, 60), Date(2000, 1, 1, 0, 0, 60), Date(2000, 1, 1, 0, 0, 0, 1000),
  };
  for (const SYSTEMTIME& t : table) {
    FILETIME ft = FileTime(123);
    SetLastError(0);
    EXPECT_FALSE(SystemTimeToFileTime(&t, &ft)) << Text(t);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Ticks(ft), 123u);  // output untouched
  }
  // The day of the week is not checked on input.
  SYSTEMTIME wrongDay = Date(2000, 2, 29);
  wrongDay.wDayOfWeek = 6;
  FILETIME ft{};
  EXPECT_TRUE(SystemTimeToFileTime(&wrongDay, &ft));
}

TEST_F(TimeTest, LocalTimeStartsAtTheConfiguredMomentInTheTimeZone) {
  ScopedTimeZone zone("Asia/Seoul");
  ASSERT_TRUE(plat::sim::SetLocalTimeStart(Date(2003, 5, 6, 14, 30, 0, 250)));
  SYSTEMTIME local{}, utc{};
  GetLocalTime(&local);
  GetSystemTime(&utc);
  EXPECT_EQ(Text(local), Text(SYSTEMTIME{2003, 5, 2, 6, 14, 30, 0, 250}));
  EXPECT_EQ(Text(utc), Text(SYSTEMTIME{2003, 5, 2, 6, 5, 30, 0, 250}));
  plat::sim::AdvanceClock(10 * 3600 * 1000 + 1750);  // crosses midnight, local and UTC
  GetLocalTime(&local);
  GetSystemTime(&utc);
  EXPECT_EQ(Text(local), Text(SYSTEMTIME{2003, 5, 3, 7, 0, 30, 2, 0}));
  EXPECT_EQ(Text(utc), Text(SYSTEMTIME{2003, 5, 2, 6, 15, 30, 2, 0}));
  FILETIME now{}, fromUtc{};
  GetSystemTimeAsFileTime(&now);
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &fromUtc));
  EXPECT_EQ(Ticks(now), Ticks(fromUtc));
  EXPECT_FALSE(plat::sim::SetLocalTimeStart(Date(2003, 2, 30)));
}

struct KnownDate {
  SYSTEMTIME time;
  uint64_t fileTime;
  WORD dayOfWeek;  // 0 = Sunday
};

TEST_F(TimeTest, FileTimeAndSystemTimeConvertBothWaysForKnownDates) {
  const KnownDate table[] = {
      {Date(1601, 1, 1), 0, 1},
      {Date(1900, 3, 1), 94405824000000000, 4},
      {Date(1970, 1, 1), 116444736000000000, 4},
      {Date(2000, 1, 1), 125911584000000000, 6},
      {Date(2000, 2, 29, 12, 34, 56, 789), 125963012967890000, 2},
      {Date(2038, 1, 19, 3, 14, 8), 137919572480000000, 2},
      {Date(9999, 12, 31, 23, 59, 59, 999), 2650467743999990000, 5},
  };
  for (const KnownDate& k : table) {
    FILETIME ft{};
    ASSERT_TRUE(SystemTimeToFileTime(&k.time, &ft)) << Text(k.time);
    EXPECT_EQ(Ticks(ft), k.fileTime) << Text(k.time);
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    SYSTEMTIME expected = k.time;
    expected.wDayOfWeek = k.dayOfWeek;
    EXPECT_EQ(Text(back), Text(expected));
  }
}

TEST_F(TimeTest, LargestFileTimeIsTheLastConvertibleOne) {
  FILETIME last = FileTime(0x7FFFFFFFFFFFFFFFULL), beyond = FileTime(0x8000000000000000ULL);
  SYSTEMTIME st{};
  ASSERT_TRUE(FileTimeToSystemTime(&last, &st));
  EXPECT_EQ(Text(st), Text(SYSTEMTIME{30828, 9, 4, 14, 2, 48, 5, 477}));
  SetLastError(0);
  EXPECT_FALSE(FileTimeToSystemTime(&beyond, &st));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(TimeTest, CompareFileTimeOrdersByTheWholeSixtyFourBits) {
  const FILETIME low = {0xFFFFFFFF, 0}, high = {0, 1};
  EXPECT_EQ(CompareFileTime(&low, &high), -1);
  EXPECT_EQ(CompareFileTime(&high, &low), 1);
  EXPECT_EQ(CompareFileTime(&high, &high), 0);
}

struct ZoneCase {
  const char* zone;
  SYSTEMTIME utc;
  int offsetHours;
};

TEST_F(TimeTest, LocalFileTimeUsesTheOffsetInForceAtThatMoment) {
  const ZoneCase table[] = {
      {"UTC", Date(2010, 7, 1, 12), 0},
      {"Asia/Seoul", Date(2010, 1, 15, 12), 9},
      {"Asia/Seoul", Date(2010, 7, 15, 12), 9},
      {"America/New_York", Date(2010, 1, 15, 12), -5},
      {"America/New_York", Date(2010, 7, 15, 12), -4},  // daylight saving time
      // Past 2038, where a 32-bit time_t would wrap back to 1904, before daylight time.
      {"America/New_York", Date(2040, 7, 15, 12), -4},
      {"America/New_York", Date(2040, 1, 15, 12), -5},
  };
  for (const ZoneCase& c : table) {
    ScopedTimeZone zone(c.zone);
    FILETIME utc{}, local{}, back{};
    ASSERT_TRUE(SystemTimeToFileTime(&c.utc, &utc));
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(static_cast<int64_t>(Ticks(local) - Ticks(utc)), int64_t{c.offsetHours} * 3600 * 10000000)
        << c.zone << ' ' << Text(c.utc);
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(Ticks(back), Ticks(utc)) << c.zone << ' ' << Text(c.utc);
  }
}

TEST_F(TimeTest, LocalConversionsRefuseResultsOutsideTheFileTimeRange) {
  constexpr uint64_t kLargest = 0x7FFFFFFFFFFFFFFFULL;
  struct Case {
    const char* zone;
    uint64_t ticks;
    bool toLocal;
  };
  const Case table[] = {
      {"Asia/Seoul", kLargest, true},          // east of UTC: local is later
      {"America/New_York", 0, true},           // west of UTC: local is earlier
      {"America/New_York", kLargest, false},   // back to UTC is later
      {"Asia/Seoul", 0, false},                // back to UTC is earlier
  };
  for (const Case& c : table) {
    ScopedTimeZone zone(c.zone);
    const FILETIME in = FileTime(c.ticks);
    FILETIME out = FileTime(42);
    SetLastError(0);
    const BOOL ok = c.toLocal ? FileTimeToLocalFileTime(&in, &out) : LocalFileTimeToFileTime(&in, &out);
    EXPECT_FALSE(ok) << c.zone << ' ' << c.ticks << " gave " << Ticks(out);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.zone << ' ' << c.ticks;
  }
}

}  // namespace
