// The window system as the module's windows meet it: what a window hears as it is made,
// shown, activated and destroyed, what the nested wait's PeekMessage ranges take out of
// the queue, window and thread timers, and the mouse capture. The waits run on the real
// clock and are short.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "plat/error.h"
#include "plat/handle.h"
#include "plat/threads.h"
#include "plat/time.h"
#include "plat/user.h"

#include "Seam.h"

namespace {

// A message as a window heard it, with its window named by the test; for a focus or
// capture change, also the window on the other side of it (the one losing the focus,
// gaining it, or gaining the capture) by name, "null" for none.
struct Heard {
  std::string window;
  UINT message;
  WPARAM wParam;
  std::string other = {};
  bool operator==(const Heard&) const = default;
};

std::string NameOf(UINT message) {
  switch (message) {
    case WM_NCCREATE: return "NCCREATE";
    case WM_CREATE: return "CREATE";
    case WM_SHOWWINDOW: return "SHOWWINDOW";
    case WM_ACTIVATEAPP: return "ACTIVATEAPP";
    case WM_ACTIVATE: return "ACTIVATE";
    case WM_SETFOCUS: return "SETFOCUS";
    case WM_KILLFOCUS: return "KILLFOCUS";
    case WM_SIZE: return "SIZE";
    case WM_MOVE: return "MOVE";
    case WM_DESTROY: return "DESTROY";
    case WM_NCDESTROY: return "NCDESTROY";
    case WM_CAPTURECHANGED: return "CAPTURECHANGED";
    case WM_TIMER: return "TIMER";
    case WM_PARENTNOTIFY: return "PARENTNOTIFY";
    default: return std::to_string(message);
  }
}

void PrintTo(const Heard& h, std::ostream* os) {
  *os << h.window << ' ' << NameOf(h.message) << ' ' << h.wParam;
  if (!h.other.empty()) *os << " (" << h.other << ')';
}
[[maybe_unused]] void (*const kPrintHeard)(const Heard&, std::ostream*) = PrintTo;

// The messages whose order the module's procedures depend on; the system sends many
// more (sizing, painting, non-client) that the module leaves to the default procedure.
bool Watched(UINT message) {
  switch (message) {
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_SHOWWINDOW:
    case WM_ACTIVATEAPP:
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_CAPTURECHANGED:
    case WM_TIMER:
      return true;
    default:
      return false;
  }
}

struct Journal {
  std::vector<std::pair<HWND, std::string>> names;
  std::vector<Heard> heard;
  std::string Name(HWND hwnd) const {
    for (const auto& [h, name] : names)
      if (h == hwnd) return name;
    return hwnd ? "other" : "null";
  }
  std::vector<Heard> Take() {
    std::vector<Heard> out;
    out.swap(heard);
    return out;
  }
};
Journal* journal = nullptr;
// The window being made, named before CreateWindowExA returns its handle.
std::string naming;

LRESULT CALLBACK Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (journal && Watched(message)) {
    if (message == WM_NCCREATE) journal->names.emplace_back(hwnd, naming);
    // Whether a window is shown or active, and the window on the other side of a focus
    // or capture change by name.
    WPARAM shown = wParam;
    std::string other;
    if (message == WM_ACTIVATE) shown = LOWORD(wParam) != WA_INACTIVE;
    if (message == WM_ACTIVATEAPP || message == WM_SHOWWINDOW) shown = wParam != 0;
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
      shown = 0;
      other = journal->Name(reinterpret_cast<HWND>(wParam));
    }
    if (message == WM_CAPTURECHANGED) {
      shown = 0;
      other = journal->Name(reinterpret_cast<HWND>(lParam));
    }
    journal->heard.push_back({journal->Name(hwnd), message, shown, other});
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

constexpr const char* kClass = "DorvikSeamRecorder";

// Dispatches what the thread's queue holds until `done` or the time runs out.
template <class Done>
bool PumpUntil(Done done, DWORD limitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start >= limitMs) return false;
    Sleep(1);
  }
}
void Drain() {
  PumpUntil([] { return false; }, 0);
}

class SeamMessages : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Recorder;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    ASSERT_NE(RegisterClassA(&wc), 0);
    Drain();
    journal = &journal_;
  }
  void TearDown() override {
    for (HWND w : made_)
      if (IsWindow(w)) DestroyWindow(w);
    Drain();
    journal = nullptr;
    UnregisterClassA(kClass, GetModuleHandleA(nullptr));
  }
  HWND Make(const char* name, DWORD style, HWND parent = nullptr, int x = 40) {
    naming = name;
    HWND w = CreateWindowExA(0, kClass, name, style, x, 40, 120, 90, parent, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    made_.push_back(w);
    return w;
  }
  Journal journal_;
  std::vector<HWND> made_;
};

std::vector<Heard> Seq(std::initializer_list<Heard> heard) { return heard; }

// Threads that register one class at once rely on this: the one that comes second is
// refused with ERROR_CLASS_ALREADY_EXISTS, whatever the case of the name, and the class
// stays the first one's.
TEST_F(SeamMessages, ASecondRegistrationOfAClassIsRefusedAsAlreadyThereAndLeavesTheFirst) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  for (const char* name : {kClass, "DORVIKSEAMRECORDER"}) {
    wc.lpszClassName = name;
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&wc), 0) << name;
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS) << name;
  }
  WNDCLASSA found{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), kClass, &found));
  EXPECT_TRUE(found.lpfnWndProc == Recorder) << "the refused registration replaced the class";
}

TEST_F(SeamMessages, CreateShowActivateAndDestroyInOrder) {
  HWND a = Make("a", WS_POPUP);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(journal_.Take(), Seq({{"a", WM_NCCREATE, 0}, {"a", WM_CREATE, 0}}));
  EXPECT_FALSE(IsWindowVisible(a));

  // Shown, the first window of the program activates it, rises to the top and takes the
  // keyboard; every top-level window of the thread hears that the program is active,
  // hidden ones too, from the top down.
  ASSERT_NE(Make("hidden", WS_POPUP, nullptr, 300), nullptr);
  journal_.Take();
  ShowWindow(a, SW_SHOW);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"a", WM_SHOWWINDOW, 1}, {"a", WM_ACTIVATEAPP, 1}, {"hidden", WM_ACTIVATEAPP, 1},
                                  {"a", WM_ACTIVATE, 1}, {"a", WM_SETFOCUS, 0, "null"}}));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);

  // A second one made visible takes both from it: the old hears of it first.
  HWND b = Make("b", WS_POPUP | WS_VISIBLE, nullptr, 200);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"b", WM_NCCREATE, 0}, {"b", WM_CREATE, 0}, {"b", WM_SHOWWINDOW, 1},
                                  {"a", WM_ACTIVATE, 0}, {"b", WM_ACTIVATE, 1}, {"a", WM_KILLFOCUS, 0, "b"},
                                  {"b", WM_SETFOCUS, 0, "a"}}));
  SetActiveWindow(a);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"b", WM_ACTIVATE, 0}, {"a", WM_ACTIVATE, 1}, {"b", WM_KILLFOCUS, 0, "a"},
                                  {"a", WM_SETFOCUS, 0, "b"}}));

  // Destroying the active window hands activation on before WM_DESTROY; the last one
  // takes the program's activation with it.
  DestroyWindow(a);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"a", WM_ACTIVATE, 0}, {"b", WM_ACTIVATE, 1}, {"a", WM_KILLFOCUS, 0, "b"},
                                  {"b", WM_SETFOCUS, 0, "a"}, {"a", WM_DESTROY, 0}, {"a", WM_NCDESTROY, 0}}));
  EXPECT_EQ(GetActiveWindow(), b);
  DestroyWindow(b);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"b", WM_ACTIVATE, 0}, {"b", WM_ACTIVATEAPP, 0}, {"hidden", WM_ACTIVATEAPP, 0},
                                  {"b", WM_KILLFOCUS, 0, "null"}, {"b", WM_DESTROY, 0}, {"b", WM_NCDESTROY, 0}}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

// Children: made after the parent's WM_CREATE is answered, destroyed after the parent
// hears WM_DESTROY and before it hears WM_NCDESTROY.
TEST_F(SeamMessages, ChildrenAreDestroyedInsideTheirParent) {
  HWND parent = Make("parent", WS_POPUP);
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, parent);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(journal_.Take(), Seq({{"parent", WM_NCCREATE, 0}, {"parent", WM_CREATE, 0}, {"child", WM_NCCREATE, 0},
                                  {"child", WM_CREATE, 0}, {"child", WM_SHOWWINDOW, 1}}));
  DestroyWindow(parent);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"parent", WM_DESTROY, 0}, {"child", WM_DESTROY, 0}, {"child", WM_NCDESTROY, 0},
                                  {"parent", WM_NCDESTROY, 0}}));
  EXPECT_FALSE(IsWindow(child));
}

// The nested wait takes keys, commands and timers, the mouse, and the socket
// notification, each range by itself; painting and the program's own messages stay
// for the outer loop. Within a range posted messages come in order, and a due timer
// only once nothing posted is left.
// What another thread answers about a window of this one.
struct AskedAbout {
  HWND window;
  DWORD answer;
  DWORD self;
};
DWORD WINAPI AskAboutTheWindow(LPVOID p) {
  auto* asked = static_cast<AskedAbout*>(p);
  asked->answer = GetWindowThreadProcessId(asked->window, nullptr);
  asked->self = GetCurrentThreadId();
  return 0;
}

// A window belongs to the thread that made it, whichever thread asks; a window gone
// belongs to none. The game's end tells the window's thread by it.
TEST_F(SeamMessages, AWindowsThreadIsTheOneThatMadeIt) {
  HWND mine = Make("mine", WS_POPUP);
  ASSERT_NE(mine, nullptr);
  DWORD process = 0;
  EXPECT_EQ(GetWindowThreadProcessId(mine, &process), GetCurrentThreadId());
  EXPECT_NE(process, 0u);
  AskedAbout asked{mine, 0, 0};
  HANDLE other = CreateThread(nullptr, 0, AskAboutTheWindow, &asked, 0, nullptr);
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  CloseHandle(other);
  EXPECT_EQ(asked.answer, GetCurrentThreadId());
  EXPECT_NE(asked.self, GetCurrentThreadId());
  DestroyWindow(mine);
  EXPECT_EQ(GetWindowThreadProcessId(mine, nullptr), 0u);
}

// A pop-up made over a child window belongs to the child's top-level window: it
// outlives the child and goes with that window. Another thread cannot destroy it.
struct DestroyAsked {
  HWND window;
  BOOL answer;
  DWORD error;
};
DWORD WINAPI DestroyTheWindow(LPVOID p) {
  auto* asked = static_cast<DestroyAsked*>(p);
  SetLastError(0);
  asked->answer = DestroyWindow(asked->window);
  asked->error = GetLastError();
  return 0;
}

TEST_F(SeamMessages, APopupOverAChildBelongsToItsTopLevelWindowAndItsThread) {
  HWND top = Make("top", WS_POPUP);
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, top);
  HWND over = Make("over", WS_POPUP, child);
  ASSERT_NE(over, nullptr);
  EXPECT_EQ(GetWindow(over, GW_OWNER), top);
  EXPECT_EQ(GetAncestor(over, GA_ROOT), over);

  DestroyAsked asked{over, TRUE, 0};
  HANDLE other = CreateThread(nullptr, 0, DestroyTheWindow, &asked, 0, nullptr);
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  CloseHandle(other);
  EXPECT_FALSE(asked.answer);
  EXPECT_EQ(asked.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(IsWindow(over));

  DestroyWindow(child);
  EXPECT_TRUE(IsWindow(over)) << "the pop-up went with the child it was made over";
  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(over));
  journal_.Take();
}

// The keys given to a child of the window that has them: the parent hears it lose them
// to the child, inside the call, before the child hears it gain them.
TEST_F(SeamMessages, FocusGivenToAChildIsTakenFromItsParentFirst) {
  HWND parent = Make("parent", WS_POPUP | WS_VISIBLE);
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, parent);
  ASSERT_NE(child, nullptr);
  Drain();
  SetFocus(parent);
  Drain();
  ASSERT_EQ(GetFocus(), parent);
  journal_.Take();
  SetFocus(child);
  EXPECT_EQ(journal_.Take(), Seq({{"parent", WM_KILLFOCUS, 0, "child"}, {"child", WM_SETFOCUS, 0, "parent"}}));
  EXPECT_EQ(GetFocus(), child);
}

// A parent that also notes what its children tell it.
LRESULT CALLBACK NoticeRecorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (journal && message == WM_PARENTNOTIFY)
    journal->heard.push_back(
        {journal->Name(hwnd), message, LOWORD(wParam), journal->Name(reinterpret_cast<HWND>(lParam))});
  return Recorder(hwnd, message, wParam, lParam);
}

// A child tells its parent of its making, once its WM_CREATE is answered, and of its
// end, before its WM_DESTROY; with WS_EX_NOPARENTNOTIFY it tells nothing (the game
// window is such a child of the host's window).
TEST_F(SeamMessages, AChildTellsItsParentOfItsMakingAndItsEndUnlessItsStyleSaysNot) {
  HWND parent = Make("parent", WS_POPUP);
  ASSERT_NE(parent, nullptr);
  SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoticeRecorder));
  journal_.Take();
  HWND told = Make("told", WS_CHILD, parent);
  ASSERT_NE(told, nullptr);
  EXPECT_EQ(journal_.Take(), Seq({{"told", WM_NCCREATE, 0}, {"told", WM_CREATE, 0},
                                  {"parent", WM_PARENTNOTIFY, WM_CREATE, "told"}}));
  DestroyWindow(told);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"parent", WM_PARENTNOTIFY, WM_DESTROY, "told"}, {"told", WM_DESTROY, 0},
                                  {"told", WM_NCDESTROY, 0}}));
  naming = "quiet";
  HWND quiet = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kClass, "quiet", WS_CHILD, 0, 0, 50, 50, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(quiet, nullptr);
  made_.push_back(quiet);
  DestroyWindow(quiet);
  Drain();
  EXPECT_EQ(journal_.Take(), Seq({{"quiet", WM_NCCREATE, 0}, {"quiet", WM_CREATE, 0}, {"quiet", WM_DESTROY, 0},
                                  {"quiet", WM_NCDESTROY, 0}}));
}

TEST_F(SeamMessages, PeekMessageRangesOfTheNestedWait) {
  constexpr UINT kSocketNotify = 0x373;
  HWND w = Make("w", WS_POPUP);
  ShowWindow(w, SW_SHOWNA);
  Drain();
  journal_.Take();
  ASSERT_EQ(SetTimer(w, 5, USER_TIMER_MINIMUM, nullptr), 5u);
  Sleep(30);
  PostMessageA(w, WM_USER + 1, 0, 0);
  PostMessageA(w, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  PostMessageA(w, WM_COMMAND, 9, 0);
  PostMessageA(w, kSocketNotify, 1, 2);
  PostMessageA(w, WM_CHAR, 'x', 0);
  InvalidateRect(w, nullptr, FALSE);

  std::vector<UINT> keysAndTimers;
  MSG msg;
  while (keysAndTimers.size() < 8 && PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_TIMER, PM_REMOVE)) {
    keysAndTimers.push_back(msg.message);
    if (msg.message == WM_TIMER) {
      EXPECT_EQ(msg.hwnd, w);
      EXPECT_EQ(msg.wParam, 5u);
      break;
    }
  }
  EXPECT_EQ(keysAndTimers, (std::vector<UINT>{WM_KEYDOWN, WM_COMMAND, WM_CHAR, WM_TIMER}));
  KillTimer(w, 5);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_MOUSEMOVE);
  EXPECT_EQ(msg.lParam, MAKELPARAM(3, 4));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, kSocketNotify, kSocketNotify, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_TIMER, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_REMOVE));

  // What is left: the program's message, then the paint, for the outer loop.
  std::vector<UINT> rest;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_USER + 1 || msg.message == WM_PAINT) rest.push_back(msg.message);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(rest, (std::vector<UINT>{WM_USER + 1, WM_PAINT}));
}

struct ThreadTimerCalls {
  int32_t count = 0;
  UINT_PTR id = 0;
  HWND hwnd = reinterpret_cast<HWND>(1);
};
ThreadTimerCalls threadTimer;
void CALLBACK OnThreadTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD) {
  EXPECT_EQ(message, WM_TIMER);
  threadTimer.hwnd = hwnd;
  threadTimer.id = id;
  ++threadTimer.count;
}

// A window timer repeats to its window under its own id, and setting it again replaces
// it, period and all (a long period set over a short one leaves nothing to hear; the
// short one set again ticks); a thread timer has an id of the system's choosing and
// runs its procedure from DispatchMessage; killed, neither comes again.
TEST_F(SeamMessages, WindowAndThreadTimers) {
  HWND w = Make("w", WS_POPUP);
  journal_.Take();
  ASSERT_EQ(SetTimer(w, 7, 15, nullptr), 7u);
  ASSERT_EQ(SetTimer(w, 7, 60000, nullptr), 7u);
  EXPECT_FALSE(PumpUntil([&] { return !journal_.heard.empty(); }, 200)) << "the 15 ms timer was replaced";
  ASSERT_EQ(SetTimer(w, 7, 15, nullptr), 7u);
  EXPECT_TRUE(PumpUntil([&] { return journal_.heard.size() >= 3; }, 1000));
  EXPECT_TRUE(KillTimer(w, 7));
  const std::vector<Heard> ticks = journal_.Take();
  ASSERT_GE(ticks.size(), 3u);
  for (const Heard& h : ticks) EXPECT_EQ(h, (Heard{"w", WM_TIMER, 7}));
  Sleep(40);
  Drain();
  EXPECT_TRUE(journal_.Take().empty()) << "a killed timer leaves nothing behind";
  EXPECT_FALSE(KillTimer(w, 7));

  threadTimer = {};
  const UINT_PTR id = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, OnThreadTimer);
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(PumpUntil([] { return threadTimer.count >= 2; }, 1000));
  EXPECT_EQ(threadTimer.id, id);
  EXPECT_EQ(threadTimer.hwnd, nullptr);
  EXPECT_TRUE(KillTimer(nullptr, id));
  const int32_t seen = threadTimer.count;
  Sleep(40);
  Drain();
  EXPECT_EQ(threadTimer.count, seen);
}

// The capture moves with a notice to the window losing it, naming the one that gains it,
// and goes when its window is destroyed.
TEST_F(SeamMessages, CaptureChangesAreAnnouncedToTheLoser) {
  HWND a = Make("a", WS_POPUP);
  HWND b = Make("b", WS_POPUP, nullptr, 200);
  journal_.Take();
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  EXPECT_TRUE(journal_.Take().empty()) << "taking a free capture tells no one";
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(journal_.Take(), Seq({{"a", WM_CAPTURECHANGED, 0, "b"}}));
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(journal_.Take(), Seq({{"b", WM_CAPTURECHANGED, 0, "null"}}));
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace

namespace {

struct SendThenSignal {
  HWND target;
  HANDLE done;
};

DWORD WINAPI SendThenSetEvent(LPVOID param) {
  auto* job = static_cast<SendThenSignal*>(param);
  SendMessageA(job->target, WM_NULL, 0, 0);
  SetEvent(job->done);
  return 0;
}

// The module's waits for another thread: an object and what is sent to the thread, the
// posted messages left queued.
TEST_F(SeamMessages, AWaitForAnObjectWakesForSendsAndLeavesPostsQueued) {
  HWND mine = Make("mine", WS_POPUP);
  ASSERT_NE(mine, nullptr);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(done, nullptr);
  ASSERT_TRUE(PostMessageA(mine, WM_USER + 1, 0, 0));
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_SENDMESSAGE), static_cast<DWORD>(WAIT_TIMEOUT));

  SendThenSignal job{mine, done};
  HANDLE sender = CreateThread(nullptr, 0, SendThenSetEvent, &job, 0, nullptr);
  ASSERT_NE(sender, nullptr);
  int32_t sendWakes = 0;
  DWORD woke = WAIT_FAILED;
  for (int32_t round = 0; round < 100; ++round) {
    woke = MsgWaitForMultipleObjects(1, &done, FALSE, 5000, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) break;
    ++sendWakes;
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  EXPECT_EQ(woke, WAIT_OBJECT_0) << "the event set once the send was served";
  EXPECT_GE(sendWakes, 1) << "the send woke the wait";
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &sender, FALSE, 5000, QS_SENDMESSAGE), WAIT_OBJECT_0) << "a thread that ended";
  CloseHandle(sender);
  CloseHandle(done);
  MSG posted;
  EXPECT_TRUE(PeekMessageA(&posted, mine, WM_USER + 1, WM_USER + 1, PM_REMOVE)) << "the post stayed queued";
}

}  // namespace

namespace {

std::atomic<int32_t> g_sendsServed{0};

LRESULT CALLBACK CountingSends(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 9) ++g_sendsServed;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct SendOnce {
  HWND target;
  HANDLE done;
};

DWORD WINAPI SendOnceThenSetEvent(LPVOID param) {
  auto* job = static_cast<SendOnce*>(param);
  SendMessageA(job->target, WM_USER + 9, 0, 0);
  SetEvent(job->done);
  return 0;
}

// A wait that wakes for what is sent to its thread does not serve it: the send stays
// pending, waking every later wait at once, until a look at the queue serves it. A
// wait that does not look leaves the sender waiting for ever.
TEST(SeamWait, AWaitWakesForASendButOnlyALookAtTheQueueServesIt) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingSends;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DorvikSeamSends";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND mine = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(mine, nullptr);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(done, nullptr);
  g_sendsServed = 0;
  SendOnce job{mine, done};
  HANDLE sender = CreateThread(nullptr, 0, SendOnceThenSetEvent, &job, 0, nullptr);
  ASSERT_NE(sender, nullptr);

  EXPECT_EQ(MsgWaitForMultipleObjects(1, &done, FALSE, 5000, QS_SENDMESSAGE), WAIT_OBJECT_0 + 1);
  for (int32_t again = 0; again < 3; ++again) {
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &done, FALSE, 200, QS_SENDMESSAGE), WAIT_OBJECT_0 + 1)
        << "the pending send wakes the next wait too";
  }
  EXPECT_EQ(g_sendsServed.load(), 0) << "the wait served the send";
  EXPECT_EQ(WaitForSingleObject(done, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the sender went on unserved";

  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE));
  EXPECT_EQ(g_sendsServed.load(), 1) << "the look served it";
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &done, FALSE, 5000, QS_SENDMESSAGE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(sender, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(sender);
  CloseHandle(done);
  DestroyWindow(mine);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

// A look at the posted messages alone (the end's take-back reads the host's queue so)
// finds no paint and no input of other kinds: WM_PAINT comes only to a look that names it.
TEST_F(SeamMessages, ALookAtPostedMessagesFindsNoPaint) {
  HWND w = Make("w", WS_POPUP);
  ShowWindow(w, SW_SHOWNA);
  Drain();
  InvalidateRect(w, nullptr, FALSE);
  ASSERT_TRUE(PostMessageA(w, WM_USER + 1, 7, 0));
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE));
  EXPECT_EQ(m.message, WM_USER + 1);
  EXPECT_FALSE(PeekMessageA(&m, w, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE)) << "message " << m.message;
  ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_NOREMOVE | PM_QS_PAINT));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
}

}  // namespace
