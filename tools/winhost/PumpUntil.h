// The window thread's wait of a Windows host: every message dispatched while waiting.
#pragma once

#include <windows.h>

namespace winhost {

// Dispatches every message until `done` holds or `limitMs` of real time passed.
template <typename Done>
bool PumpUntil(DWORD limitMs, Done done) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    if (done()) return true;
    if (GetTickCount() - start >= limitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

}  // namespace winhost
