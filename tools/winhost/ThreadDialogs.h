// The dialog boxes a host's thread has up: the module's boxes run their modal loops on
// the thread that called into the module, so a visible dialog there is one of them.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace winhost {

inline BOOL CALLBACK CollectVisibleDialog(HWND hwnd, LPARAM found) {
  char name[16] = {};
  if (IsWindowVisible(hwnd) && GetClassNameA(hwnd, name, sizeof name) && std::strcmp(name, "#32770") == 0)
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
  return TRUE;
}

// The visible dialogs of the calling thread, in the order the system lists them.
inline std::vector<HWND> VisibleDialogsOfThisThread() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), CollectVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace winhost
