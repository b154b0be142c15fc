#include "WindowTestSupport.h"

namespace window_test {
namespace {

Answer& CurrentAnswer() {
  static Answer answer;
  return answer;
}

void Register(const char* name, UINT style, HBRUSH brush) {
  WNDCLASSA wc{};
  if (GetClassInfoA(TestInstance(), name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = TestInstance();
  wc.hbrBackground = brush;
  wc.lpszClassName = name;
  ASSERT_NE(RegisterClassA(&wc), 0);
}

}  // namespace

std::vector<Rec>& Log() {
  static std::vector<Rec> log;
  return log;
}

std::vector<UINT> MessagesOf(HWND hwnd) {
  std::vector<UINT> out;
  for (const Rec& r : Log())
    if (r.hwnd == hwnd) out.push_back(r.msg);
  return out;
}

std::vector<Rec> Only(UINT msg) {
  std::vector<Rec> out;
  std::copy_if(Log().begin(), Log().end(), std::back_inserter(out), [msg](const Rec& r) { return r.msg == msg; });
  return out;
}

void SetAnswer(Answer answer) { CurrentAnswer() = std::move(answer); }

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Rec{hwnd, msg, wParam, lParam});
  if (CurrentAnswer())
    if (auto r = CurrentAnswer()(hwnd, msg, wParam, lParam)) return *r;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

DWORD NowTick() {
  constexpr UINT kProbe = WM_APP + 0x3FFF;
  PostMessageA(nullptr, kProbe, 0, 0);
  MSG m{};
  PeekMessageA(&m, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), kProbe, kProbe, PM_REMOVE);
  return m.time;
}

void PumpAll() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void WindowTest::SetUp() {
  Register(kRecorder, CS_DBLCLKS, nullptr);
  Register(kPlain, 0, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
  Log().clear();
  SetAnswer(nullptr);
}

void WindowTest::TearDown() {
  SetAnswer(nullptr);
  plat::sim::ResetWindowSystem();
  plat::sim::ClearFaults();
  Log().clear();
}

HWND WindowTest::MakeTop(int x, int y, int w, int h, const char* cls, DWORD style) {
  return CreateWindowExA(0, cls, "top", style, x, y, w, h, nullptr, nullptr, TestInstance(), nullptr);
}

HWND WindowTest::MakeChild(HWND parent, int x, int y, int w, int h, int id, const char* cls, DWORD style) {
  return CreateWindowExA(0, cls, "child", style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), TestInstance(), nullptr);
}

}  // namespace window_test
