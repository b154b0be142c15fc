// Time of the layer: sleeps, millisecond ticks, the performance counter and wall
// time, all read from the layer's one clock (real, or virtual under test).
#pragma once

#include "plat/types.h"

using LPSYSTEMTIME = SYSTEMTIME*;
using LPFILETIME = FILETIME*;

// On the window thread under the virtual clock, moves virtual time by `milliseconds`
// (running due multimedia timers on the way, dispatching no messages). Anywhere else
// it sleeps in real time and leaves the virtual clock alone.
void Sleep(DWORD milliseconds);

// Milliseconds of the layer clock as a 32-bit value that wraps after 49.7 days; the
// two are the same clock.
DWORD GetTickCount();
DWORD timeGetTime();

// Microseconds of the layer clock: the frequency is 1 000 000.
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

// Wall time: UTC, and local time in the TZ time zone.
void GetSystemTime(LPSYSTEMTIME time);
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTimeAsFileTime(LPFILETIME time);

// FILETIME counts 100-nanosecond intervals since 1601-01-01. SystemTimeToFileTime
// ignores wDayOfWeek and refuses an invalid date or time (ERROR_INVALID_PARAMETER);
// FileTimeToSystemTime refuses values of 2^63 and above.
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
// Local conversions use the TZ offset in force at that moment.
BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local);
BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc);
// -1, 0 or 1.
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);
