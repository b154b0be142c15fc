// Multimedia timers: device capabilities, the resolution balance and one-shot or
// periodic timer events whose callbacks run off the window procedure.
#pragma once

#include "plat/types.h"

using MMRESULT = UINT;
using LPTIMECALLBACK = void(CALLBACK*)(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

struct TIMECAPS {
  UINT wPeriodMin;
  UINT wPeriodMax;
};
using LPTIMECAPS = TIMECAPS*;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT TIMERR_NOERROR = 0;
constexpr MMRESULT TIMERR_NOCANDO = 97;
constexpr MMRESULT TIMERR_STRUCT = 129;

constexpr UINT TIME_ONESHOT = 0x0000;
constexpr UINT TIME_PERIODIC = 0x0001;
constexpr UINT TIME_CALLBACK_FUNCTION = 0x0000;
constexpr UINT TIME_CALLBACK_EVENT_SET = 0x0010;
constexpr UINT TIME_CALLBACK_EVENT_PULSE = 0x0020;
constexpr UINT TIME_KILL_SYNCHRONOUS = 0x0100;

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size);
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
// Returns the timer id, 0 on failure. Only TIME_CALLBACK_FUNCTION callbacks.
MMRESULT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
// A killed timer never fires afterwards. Killing does not wait for a callback that
// is blocked sending to the killing thread.
MMRESULT timeKillEvent(UINT timerId);
