// The GDI and USER objects of a Windows host's process, counted where the system keeps
// no count of them. Wine's GetGuiResources answers 0 for both. There, as observed:
//  - a GDI object answers GetObjectType by its handle's low word alone (the high word,
//    which changes as a slot is reused, may be 0), its slots one apart in 16 bits, the
//    most a process may hold;
//  - a menu, an icon or a cursor answers IsMenu or GetIconInfo the same way, its slots
//    two apart (the odd value names the slot below it);
//  - windows are listed by the system: top-level ones, message-only ones and all their
//    children.
// Which source counts a kind is decided once, by making a few objects of it and
// counting again: a kind neither source sees is not counted, and says so.
#pragma once

#include <windows.h>

#include <cstdint>

namespace winhost {

enum class GuiSource { kSystem, kHandles, kNone };

inline const char* GuiSourceName(GuiSource source) {
  switch (source) {
    case GuiSource::kSystem: return "the system's count";
    case GuiSource::kHandles: return "handle by handle";
    case GuiSource::kNone: break;
  }
  return "not counted";
}

inline DWORD GdiObjectsByHandle() {
  DWORD count = 0;
  constexpr uintptr_t kSlots = 0x10000;
  for (uintptr_t value = 1; value < kSlots; ++value)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value))) ++count;
  return count;
}

inline bool OfThisProcess(HWND hwnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  return process == GetCurrentProcessId();
}

inline BOOL CALLBACK CountChildWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  return TRUE;
}

// A window of the process and every window inside it (the system lists them all).
inline BOOL CALLBACK CountWindowTree(HWND hwnd, LPARAM count) {
  if (OfThisProcess(hwnd)) {
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(hwnd, CountChildWindow, count);
  }
  return TRUE;
}

inline DWORD WindowsOfThisProcess() {
  DWORD count = 0;
  EnumWindows(CountWindowTree, reinterpret_cast<LPARAM>(&count));
  // Message-only windows are on no list of EnumWindows.
  for (HWND hwnd = nullptr; (hwnd = FindWindowExA(HWND_MESSAGE, hwnd, nullptr, nullptr)) != nullptr;)
    CountWindowTree(hwnd, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Menus, icons and cursors; GetIconInfo hands over copies of an icon's bitmaps, which
// go at once.
inline DWORD MenusAndIconsByHandle() {
  DWORD count = 0;
  constexpr uintptr_t kSlots = 0x10000;
  for (uintptr_t value = 2; value < kSlots; value += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(value))) {
      ++count;
      continue;
    }
    ICONINFO icon{};
    if (GetIconInfo(reinterpret_cast<HICON>(value), &icon)) {
      ++count;
      if (icon.hbmMask) DeleteObject(icon.hbmMask);
      if (icon.hbmColor) DeleteObject(icon.hbmColor);
    }
  }
  return count;
}

inline DWORD UserObjectsByHandle() { return WindowsOfThisProcess() + MenusAndIconsByHandle(); }

inline DWORD GdiObjects(GuiSource source) {
  if (source == GuiSource::kSystem) return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  return source == GuiSource::kHandles ? GdiObjectsByHandle() : 0;
}

inline DWORD UserObjects(GuiSource source) {
  if (source == GuiSource::kSystem) return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  return source == GuiSource::kHandles ? UserObjectsByHandle() : 0;
}

// True when `count` goes up by exactly what `make` made and back when `unmake` ran.
template <typename Count, typename Make, typename Unmake>
bool SeesWhatIsMade(Count count, Make make, Unmake unmake, DWORD made) {
  const DWORD before = count();
  make();
  const DWORD during = count();
  unmake();
  const DWORD after = count();
  return during == before + made && after == before;
}

// The first source that sees a bitmap, a memory DC and a brush come and go.
inline GuiSource GdiSource() {
  HBITMAP bitmap = nullptr;
  HDC dc = nullptr;
  HBRUSH brush = nullptr;
  const auto make = [&] {
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, 4, 4);
    dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    brush = CreateSolidBrush(RGB(1, 2, 3));
  };
  const auto unmake = [&] {
    DeleteObject(bitmap);
    DeleteDC(dc);
    DeleteObject(brush);
  };
  for (GuiSource source : {GuiSource::kSystem, GuiSource::kHandles})
    if (SeesWhatIsMade([source] { return GdiObjects(source); }, make, unmake, 3)) return source;
  return GuiSource::kNone;
}

// The first source that sees a window, a child of it, a menu and an icon come and go.
// Called on a thread that has a window already (the system may give a thread's first
// window company).
inline GuiSource UserSource() {
  HWND window = nullptr;
  HMENU menu = nullptr;
  HICON icon = nullptr;
  const auto make = [&] {
    window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, window, nullptr, nullptr, nullptr);
    menu = CreateMenu();
    const BYTE andMask[4] = {0xff, 0xff, 0xff, 0xff}, xorMask[4] = {};
    icon = CreateIcon(nullptr, 1, 1, 1, 1, andMask, xorMask);
  };
  const auto unmake = [&] {
    DestroyWindow(window);
    DestroyMenu(menu);
    DestroyIcon(icon);
  };
  for (GuiSource source : {GuiSource::kSystem, GuiSource::kHandles})
    if (SeesWhatIsMade([source] { return UserObjects(source); }, make, unmake, 4)) return source;
  return GuiSource::kNone;
}

}  // namespace winhost
