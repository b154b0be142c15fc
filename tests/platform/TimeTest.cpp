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

}  // namespace
