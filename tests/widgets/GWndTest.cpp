#include "widgets/GWnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "plat/crt.h"
#include "plat/sim.h"
#include "widgets/GWndMgr.h"

namespace {

constexpr const char* kProbeClass = "GWndProbe";
constexpr LRESULT kHandlerAnswer = 7;
constexpr LRESULT kDefaultAnswer = 1234;

HINSTANCE ProbeInstance() { return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x5000)); }

// Records every handler call as "Name(args)" and answers kHandlerAnswer.
class Probe : public GWnd {
 public:
  std::vector<std::string> calls;
  struct DefCall {
    HWND hwnd; UINT message; WPARAM wParam; LPARAM lParam;
    bool operator==(const DefCall&) const = default;
  };
  std::vector<DefCall> defaults;
  LRESULT ncCreateAnswer = 1, createAnswer = 1;
  HWND handleSeenAtCreate = reinterpret_cast<HWND>(1);
  GWnd* foundAtCreate = nullptr;
  bool throwOnLButtonDown = false, defaultInCreate = false, nestInKeyDown = false, startLookupInCreate = false;
  std::thread lookup;
  GWnd* lookupResult = reinterpret_cast<GWnd*>(1);
  LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    defaults.push_back({hwnd, message, wParam, lParam});
    GWnd::DefWindowProc(hwnd, message, wParam, lParam);
    return kDefaultAnswer;
  }
  LRESULT OnNcCreate(LPARAM) override {
    calls.push_back("OnNcCreate");
    return ncCreateAnswer;
  }
  LRESULT OnCreate(LPARAM lParam) override {
    calls.push_back("OnCreate");
    handleSeenAtCreate = Handle();
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    // Any handle not yet in the map resolves to the object being created.
    foundAtCreate = GWndMgr::Instance().Find(reinterpret_cast<HWND>(cs->lpCreateParams));
    if (startLookupInCreate) {
      lookup = std::thread([this] { lookupResult = GWndMgr::Instance().Find(reinterpret_cast<HWND>(0x7777)); });
    }
    if (defaultInCreate) Default();
    return createAnswer;
  }
  LRESULT Record(const std::string& call) {
    calls.push_back(call);
    return kHandlerAnswer;
  }
  template <class T>
  static std::string H(T v) {
    if constexpr (std::is_pointer_v<T>) return plat::FormatString("%x", static_cast<uint32_t>(reinterpret_cast<uintptr_t>(v)));
    else return plat::FormatString("%x", static_cast<uint32_t>(v));
  }
  static std::string Pt(GPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
#define PROBE_TWO(Name, A, B) \
  LRESULT Name(A a, B b) override { return Record(#Name "(" + H(a) + "," + H(b) + ")"); }
#define PROBE_THREE(Name) \
  LRESULT Name(UINT a, UINT b, UINT c) override { return Record(#Name "(" + H(a) + "," + H(b) + "," + H(c) + ")"); }
#define PROBE_MOUSE(Name) \
  LRESULT Name(UINT k, GPoint p) override { return Record(#Name "(" + H(k) + "," + Pt(p) + ")"); }
  PROBE_TWO(OnCommand, WPARAM, LPARAM)
  PROBE_TWO(OnNotify, WPARAM, LPARAM)
  PROBE_TWO(OnActivateApp, WPARAM, LPARAM)
  PROBE_TWO(OnCtlColorEdit, HDC, HWND)
  PROBE_TWO(OnCtlColorStatic, HDC, HWND)
  PROBE_TWO(OnImeStartComposition, WPARAM, LPARAM)
  PROBE_TWO(OnImeComposition, WPARAM, LPARAM)
  PROBE_TWO(OnImeEndComposition, WPARAM, LPARAM)
  PROBE_THREE(OnKeyUp)
  PROBE_THREE(OnChar)
  PROBE_MOUSE(OnMouseMove)
  PROBE_MOUSE(OnLButtonUp)
  PROBE_MOUSE(OnLButtonDblClk)
  PROBE_MOUSE(OnRButtonDown)
  PROBE_MOUSE(OnRButtonUp)
  PROBE_MOUSE(OnRButtonDblClk)
  PROBE_MOUSE(OnMButtonDown)
  PROBE_MOUSE(OnMButtonUp)
  PROBE_MOUSE(OnMButtonDblClk)
#undef PROBE_TWO
#undef PROBE_THREE
#undef PROBE_MOUSE
  LRESULT OnActivate(UINT s, HWND o, BOOL m) override { return Record("OnActivate(" + H(s) + "," + H(o) + "," + H(m) + ")"); }
  LRESULT OnLButtonDown(UINT k, GPoint p) override {
    if (throwOnLButtonDown) throw std::runtime_error("handler failure");
    return Record("OnLButtonDown(" + H(k) + "," + Pt(p) + ")");
  }
  LRESULT OnKeyDown(UINT k, UINT r, UINT f) override {
    if (nestInKeyDown) {
      SendMessageA(Handle(), WM_CHAR, 'a', 1);
      Default();
    }
    return Record("OnKeyDown(" + H(k) + "," + H(r) + "," + H(f) + ")");
  }
  LRESULT OnPaint(WPARAM w) override {
    PAINTSTRUCT ps{};
    BeginPaint(Handle(), &ps);
    EndPaint(Handle(), &ps);
    return Record("OnPaint(" + H(w) + ")");
  }
  LRESULT OnEraseBkgnd(HDC dc) override { return Record("OnEraseBkgnd(" + H(dc) + ")"); }
  LRESULT OnTimer(UINT_PTR id) override { return Record("OnTimer(" + H(id) + ")"); }
};

class GWndTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = kProbeClass;
    ASSERT_NE(GWnd::RegisterWndClass(name, ProbeInstance(), CS_DBLCLKS, nullptr, nullptr, nullptr), 0u);
  }
  void TearDown() override { plat::sim::ResetWindowSystem(); }
  // A top-level probe window; the creation parameter is the handle to look up.
  static BOOL CreateProbe(Probe& probe, void* param = nullptr) {
    const GRect rect(10, 20, 110, 70);
    return probe.Create(kProbeClass, "probe", ProbeInstance(), WS_POPUP | WS_VISIBLE, 0, &rect, nullptr, nullptr,
                        param);
  }
};

struct Routed { UINT message; WPARAM wParam; LPARAM lParam; const char* call; bool givesResult; };

TEST_F(GWndTest, EachTableMessageReachesItsHandlerWithUnpackedArguments) {
  const Routed table[] = {
      {WM_COMMAND, 0x10001, 0x22, "OnCommand(10001,22)", false},
      {WM_NOTIFY, 5, 0x33, "OnNotify(5,33)", false},
      {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0x44, "OnActivate(2,44,1)", false},
      {WM_ACTIVATEAPP, 1, 0x55, "OnActivateApp(1,55)", false},
      {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 34), "OnMouseMove(1,12,34)", false},
      {WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 0xFFFE), "OnMouseMove(0,65535,65534)", false},  // zero-extended
      {WM_LBUTTONDOWN, 0, MAKELPARAM(1, 2), "OnLButtonDown(0,1,2)", false},
      {WM_LBUTTONUP, 0, MAKELPARAM(3, 4), "OnLButtonUp(0,3,4)", false},
      {WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 6), "OnLButtonDblClk(0,5,6)", false},
      {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 8), "OnRButtonDown(2,7,8)", false},
      {WM_RBUTTONUP, 0, MAKELPARAM(9, 10), "OnRButtonUp(0,9,10)", false},
      {WM_RBUTTONDBLCLK, 0, MAKELPARAM(11, 12), "OnRButtonDblClk(0,11,12)", false},
      {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(13, 14), "OnMButtonDown(10,13,14)", false},
      {WM_MBUTTONUP, 0, MAKELPARAM(15, 16), "OnMButtonUp(0,15,16)", false},
      {WM_MBUTTONDBLCLK, 0, MAKELPARAM(17, 18), "OnMButtonDblClk(0,17,18)", false},
      {WM_KEYDOWN, 'A', MAKELPARAM(3, 0x1E), "OnKeyDown(41,3,1e)", false},
      {WM_KEYUP, 'A', MAKELPARAM(1, 0xC01E), "OnKeyUp(41,1,c01e)", false},
      {WM_CHAR, 'a', MAKELPARAM(2, 0x1E), "OnChar(61,2,1e)", false},
      {WM_ERASEBKGND, 0x66, 0, "OnEraseBkgnd(66)", true},
      {WM_CTLCOLOREDIT, 0x67, 0x68, "OnCtlColorEdit(67,68)", true},
      {WM_CTLCOLORSTATIC, 0x69, 0x6A, "OnCtlColorStatic(69,6a)", true},
      {WM_IME_STARTCOMPOSITION, 1, 2, "OnImeStartComposition(1,2)", false},
      {WM_IME_COMPOSITION, 3, 4, "OnImeComposition(3,4)", false},
      {WM_IME_ENDCOMPOSITION, 5, 6, "OnImeEndComposition(5,6)", false},
      {WM_TIMER, 9, 0, "OnTimer(9)", false},
  };
  Probe probe;
  ASSERT_TRUE(CreateProbe(probe));
  for (const Routed& row : table) {
    SCOPED_TRACE(row.call);
    probe.calls.clear();
    probe.defaults.clear();
    const LRESULT r = SendMessageA(probe.Handle(), row.message, row.wParam, row.lParam);
    EXPECT_EQ(probe.calls, std::vector<std::string>{row.call});
    EXPECT_EQ(r, row.givesResult ? kHandlerAnswer : 0);
    EXPECT_TRUE(probe.defaults.empty()) << "a handled message skips the default";
    EXPECT_EQ(probe.LastMessage().message, row.message);
    EXPECT_EQ(probe.LastMessage().hwnd, probe.Handle());
  }
  // Paint gives zero whatever the handler answers.
  EXPECT_EQ(SendMessageA(probe.Handle(), WM_PAINT, 0, 0), 0);
  EXPECT_EQ(probe.calls.back(), "OnPaint(0)");
  // A message outside the table goes to the default with its own parameters.
  probe.defaults.clear();
  const LPARAM lp = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  EXPECT_EQ(SendMessageA(probe.Handle(), WM_SETCURSOR, 0x1234, lp), kDefaultAnswer);
  EXPECT_EQ(probe.defaults, (std::vector<Probe::DefCall>{{probe.Handle(), WM_SETCURSOR, 0x1234, lp}}));
}

TEST_F(GWndTest, CreationMessagesReachTheObjectBeforeItIsBound) {
  Probe probe;
  probe.defaultInCreate = true;
  ASSERT_TRUE(CreateProbe(probe));
  // Shown at its making, the window is then activated and given the keys.
  ASSERT_GE(probe.calls.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(probe.calls.begin(), probe.calls.begin() + 2),
            (std::vector<std::string>{"OnNcCreate", "OnCreate"}));
  EXPECT_EQ(probe.handleSeenAtCreate, nullptr) << "bound only after CreateWindowExA";
  EXPECT_EQ(probe.foundAtCreate, &probe) << "an unknown handle finds the object being created";
  EXPECT_EQ(GWndMgr::Instance().Find(reinterpret_cast<HWND>(0x7777)), nullptr) << "outside creation";
  EXPECT_EQ(GWndMgr::Instance().Find(probe.Handle()), &probe);
  // Default() inside WM_CREATE uses the message's own handle, the object has none yet.
  ASSERT_FALSE(probe.defaults.empty());
  EXPECT_EQ(probe.defaults.front().message, WM_CREATE);
  EXPECT_EQ(probe.defaults.front().hwnd, probe.Handle());
}

TEST_F(GWndTest, RefusedCreationsBindNothing) {
  for (const auto& [ncAnswer, createAnswer] : {std::pair<LRESULT, LRESULT>{0, 1}, {1, -1}}) {
    Probe probe;
    probe.ncCreateAnswer = ncAnswer;
    probe.createAnswer = createAnswer;
    EXPECT_FALSE(CreateProbe(probe));
    // No handle, and the creating pointer is cleared.
    EXPECT_TRUE(probe.Handle() == nullptr && GWndMgr::Instance().Find(reinterpret_cast<HWND>(0x7777)) == nullptr);
  }
  Probe unregistered;
  EXPECT_FALSE(unregistered.Create("NoSuchClass", "x", ProbeInstance(), WS_POPUP, 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_TRUE(unregistered.calls.empty());
  EXPECT_FALSE(unregistered.Attach(nullptr));
}

TEST_F(GWndTest, ABoundObjectRefusesASecondWindowAndIsFreeAgainOnceDestroyed) {
  Probe probe;
  ASSERT_TRUE(CreateProbe(probe));
  const HWND first = probe.Handle();
  probe.calls.clear();
  EXPECT_FALSE(CreateProbe(probe));
  EXPECT_EQ(probe.Handle(), first);
  EXPECT_TRUE(probe.calls.empty()) << "no second window was created";
  EXPECT_FALSE(probe.Attach(reinterpret_cast<HWND>(0x1))) << "bound";
  EXPECT_TRUE(probe.DestroyWindow());
  EXPECT_TRUE(probe.Handle() == nullptr && !IsWindow(first) && GWndMgr::Instance().Find(first) == nullptr);
  EXPECT_FALSE(probe.DestroyWindow()) << "nothing bound";
  ASSERT_TRUE(CreateProbe(probe));
  SendMessageA(probe.Handle(), WM_TIMER, 3, 0);
  EXPECT_EQ(probe.LastMessage().hwnd, probe.Handle());
  // Deleting a bound object destroys its window.
  auto* owned = new Probe;
  ASSERT_TRUE(CreateProbe(*owned));
  const HWND hwnd = owned->Handle();
  delete owned;
  EXPECT_TRUE(!IsWindow(hwnd) && GWndMgr::Instance().Find(hwnd) == nullptr);
}

TEST_F(GWndTest, EmptyClassNameIsGeneratedAndRegisteredOnce) {
  std::string name;
  const auto brush = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
  const UINT atom = GWnd::RegisterWndClass(name, ProbeInstance(), CS_DBLCLKS, nullptr, brush, nullptr);
  EXPECT_GT(atom, 1u);
  EXPECT_EQ(name, "MCWnd:5000:8:0:6:0");
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(ProbeInstance(), name.c_str(), &wc));
  EXPECT_TRUE(wc.lpfnWndProc == &GWnd::StaticWndProc && wc.style == CS_DBLCLKS);
  std::string again;
  EXPECT_EQ(GWnd::RegisterWndClass(again, ProbeInstance(), CS_DBLCLKS, nullptr, brush, nullptr), 1u);
  EXPECT_EQ(again, name);
}

// Threads registering one new class at the same moment all find it registered: the
// one whose registration lost to another's takes the class that is there.
TEST_F(GWndTest, ThreadsRegisteringOneClassAtOnceAllGetIt) {
  constexpr int kThreads = 4;
  constexpr int kClasses = 300;
  for (int c = 0; c < kClasses; ++c) {
    const std::string name = "RaceClass" + std::to_string(c);
    std::atomic<int> ready{0};
    UINT answers[kThreads] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        std::string mine = name;
        ++ready;
        while (ready < kThreads) std::this_thread::yield();
        answers[t] = GWnd::RegisterWndClass(mine, ProbeInstance(), CS_DBLCLKS, nullptr, nullptr, nullptr);
      });
    }
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < kThreads; ++t) ASSERT_NE(answers[t], 0u) << name << ", thread " << t;
  }
}

TEST_F(GWndTest, AThrowingHandlerStaysInsideAndANestedMessageLeavesTheOuterOneItsDefault) {
  Probe probe;
  probe.throwOnLButtonDown = probe.nestInKeyDown = true;
  ASSERT_TRUE(CreateProbe(probe));
  EXPECT_EQ(SendMessageA(probe.Handle(), WM_LBUTTONDOWN, 0, 0), DefWindowProcA(probe.Handle(), WM_LBUTTONDOWN, 0, 0));
  EXPECT_TRUE(IsWindow(probe.Handle()));
  probe.defaults.clear();
  SendMessageA(probe.Handle(), WM_KEYDOWN, 'B', 1);
  EXPECT_EQ(probe.defaults, (std::vector<Probe::DefCall>{{probe.Handle(), WM_KEYDOWN, 'B', 1}}));
}

TEST_F(GWndTest, AnotherThreadNeverSeesTheObjectBeingCreated) {
  // Started inside WM_CREATE under the map's lock, the look-up must wait and find nothing.
  Probe probe;
  probe.startLookupInCreate = true;
  ASSERT_TRUE(CreateProbe(probe));
  probe.lookup.join();
  EXPECT_EQ(probe.lookupResult, nullptr);
}

// A window that handles none of the table's messages answers them through the default.
class Bare : public GWnd {
 public:
  std::vector<UINT> defaults;
  LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    defaults.push_back(message);
    GWnd::DefWindowProc(hwnd, message, wParam, lParam);
    return kDefaultAnswer;
  }
};

TEST_F(GWndTest, TableMessagesWithoutAHandlerTakeTheDefault) {
  Bare bare;
  const GRect rect(10, 20, 110, 70);
  ASSERT_TRUE(bare.Create(kProbeClass, "bare", ProbeInstance(), WS_POPUP | WS_VISIBLE, 0, &rect, nullptr, nullptr,
                          nullptr));
  for (UINT message : {WM_ACTIVATE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_KEYDOWN}) {
    bare.defaults.clear();
    SendMessageA(bare.Handle(), message, 0, 0);
    EXPECT_EQ(bare.defaults, std::vector<UINT>{message}) << message;
  }
}

}  // namespace
