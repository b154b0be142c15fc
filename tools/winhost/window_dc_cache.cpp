// window-dc-cache: what the system keeps of the window DCs several threads hold at once,
// without the module. In each round some threads, each with a window of its own, hold
// some DCs of it at once and release them; the round prints how many GDI objects, DCs of
// no window and regions the process has more than before it. The system's answer, not a
// check: under Wine 8 a round that holds more at once than any before leaves DCs of no
// window, each with a region, that the later rounds use again.
//   window-dc-cache.exe
#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

constexpr int32_t kMostThreads = 3, kMostDcsEach = 3;
// The first round makes the process's first windows and DCs of their own.
constexpr struct {
  int32_t threads, dcsEach;
} kRounds[] = {{1, 1}, {3, 2}, {3, 2}, {3, 3}, {3, 3}, {2, 1}};

struct Tally {
  int32_t objects = 0, idleDcs = 0, regions = 0;
};

Tally Count() {
  Tally t;
  for (uintptr_t value = 1; value < 0x10000; ++value) {
    const auto object = reinterpret_cast<HGDIOBJ>(value);
    const DWORD type = GetObjectType(object);
    if (!type) continue;
    ++t.objects;
    if (type == OBJ_DC && !WindowFromDC(static_cast<HDC>(object))) ++t.idleDcs;
    if (type == OBJ_REGION) ++t.regions;
  }
  return t;
}

struct Round {
  int32_t threads = 0, dcsEach = 0;
  HANDLE go = nullptr, allHeld = nullptr;
  volatile LONG held = 0;
};

DWORD WINAPI HoldDcs(LPVOID p) {
  auto& round = *static_cast<Round*>(p);
  HWND wnd = CreateWindowExA(0, "WindowDcCache", "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  WaitForSingleObject(round.go, INFINITE);
  HDC dcs[kMostDcsEach] = {};
  for (int32_t i = 0; i < round.dcsEach; ++i) dcs[i] = GetDC(wnd);
  if (InterlockedIncrement(&round.held) == round.threads) SetEvent(round.allHeld);
  WaitForSingleObject(round.allHeld, INFINITE);
  for (int32_t i = 0; i < round.dcsEach; ++i) ReleaseDC(wnd, dcs[i]);
  DestroyWindow(wnd);
  return 0;
}

}  // namespace

int main() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "WindowDcCache";
  if (!RegisterClassA(&wc)) return 1;
  int32_t number = 0;
  for (const auto& shape : kRounds) {
    const Tally before = Count();
    Round round;
    round.threads = shape.threads;
    round.dcsEach = shape.dcsEach;
    round.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    round.allHeld = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE threads[kMostThreads] = {};
    for (int32_t i = 0; i < shape.threads; ++i) threads[i] = CreateThread(nullptr, 0, HoldDcs, &round, 0, nullptr);
    // Every window made before any DC is taken.
    Sleep(100);
    SetEvent(round.go);
    WaitForMultipleObjects(DWORD(shape.threads), threads, TRUE, INFINITE);
    for (int32_t i = 0; i < shape.threads; ++i) CloseHandle(threads[i]);
    CloseHandle(round.go);
    CloseHandle(round.allHeld);
    const Tally after = Count();
    std::printf("round %d: %d threads held %d window DCs each at once: %+d GDI objects, %+d DCs of no window, "
                "%+d regions\n",
                int(++number), int(shape.threads), int(shape.dcsEach), int(after.objects - before.objects),
                int(after.idleDcs - before.idleDcs), int(after.regions - before.regions));
  }
  return 0;
}
