#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "WindowTestSupport.h"
#include "plat/error.h"
#include "plat/files.h"
#include "plat/handle.h"
#include "plat/threads.h"
#include "support/CursorFileWriters.h"

using namespace window_test;
using testing_support::AniFile;
using testing_support::CurFile;

namespace {

class Input : public WindowTest {};

TEST_F(Input, MouseGoesToTheChildUnderThePointAfterWmSetCursorUnlessCapturedOrDisabled) {
  HWND host = MakeTop(100, 100, 820, 640);
  HWND game = MakeChild(host, 3, 3, 800, 600);
  PumpAll();
  Log().clear();
  plat::sim::Click(host, 13, 23);
  PumpAll();
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Rec& r : Log()) seen.emplace_back(r.hwnd, r.msg);
  std::vector<std::pair<HWND, UINT>> expected = {
      {host, WM_PARENTNOTIFY}, {game, WM_SETCURSOR}, {host, WM_SETCURSOR}, {game, WM_LBUTTONDOWN},
      {game, WM_SETCURSOR},    {host, WM_SETCURSOR}, {game, WM_LBUTTONUP}};
  EXPECT_EQ(seen, expected) << "the parent hears of the press first; the child asks it about the cursor";
  EXPECT_EQ(Only(WM_PARENTNOTIFY)[0].wParam, static_cast<WPARAM>(WM_LBUTTONDOWN));
  EXPECT_EQ(Only(WM_PARENTNOTIFY)[0].lParam, MAKELPARAM(13, 23)) << "the point in the parent's own terms";
  EXPECT_EQ(Only(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(10, 20));
  EXPECT_EQ(Only(WM_LBUTTONDOWN)[0].wParam, MK_LBUTTON);
  EXPECT_EQ(Only(WM_LBUTTONUP)[0].wParam, 0u);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 113);
  // Under capture, a point left of and above the game window comes as raw words.
  SetCapture(game);
  Log().clear();
  plat::sim::MouseMove(host, 0, 1);
  PumpAll();
  auto moves = Only(WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].hwnd, game);
  EXPECT_EQ(static_cast<uint32_t>(moves[0].lParam), 0xFFFEFFFDu);
  EXPECT_TRUE(Only(WM_SETCURSOR).empty()) << "no WM_SETCURSOR under capture";
  EXPECT_EQ(plat::sim::CaptureWindow(), game);
  ReleaseCapture();
  EXPECT_EQ(Only(WM_CAPTURECHANGED).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  // A disabled owner takes no mouse input at all.
  EnableWindow(host, FALSE);
  Log().clear();
  plat::sim::Click(host, 5, 5);
  PumpAll();
  EXPECT_TRUE(Log().empty());
}

// A press on a grandchild is told up the chain of parents, each hearing the point in its
// own terms, until a window whose style keeps it out of its parent's business; a press
// under capture is told to no one.
TEST_F(Input, APressIsToldUpTheParentsUntilAWindowThatAsksNotTo) {
  HWND host = MakeTop(100, 100, 820, 640);
  HWND quiet = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kRecorder, "quiet", WS_CHILD | WS_VISIBLE, 3, 3, 800, 600, host,
                               nullptr, TestInstance(), nullptr);
  HWND panel = MakeChild(quiet, 100, 50, 200, 100, 7);
  HWND button = MakeChild(panel, 10, 10, 50, 20, 8);
  PumpAll();
  Log().clear();
  plat::sim::MouseDown(button, 5, 6, plat::sim::MouseButton::Right);
  PumpAll();
  std::vector<Rec> told = Only(WM_PARENTNOTIFY);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_EQ(told[0].hwnd, panel);
  EXPECT_EQ(told[0].wParam, static_cast<WPARAM>(WM_RBUTTONDOWN));
  EXPECT_EQ(told[0].lParam, MAKELPARAM(15, 16));
  EXPECT_EQ(told[1].hwnd, quiet);
  EXPECT_EQ(told[1].lParam, MAKELPARAM(115, 66));
  plat::sim::MouseUp(button, 5, 6, plat::sim::MouseButton::Right);
  SetCapture(button);
  Log().clear();
  plat::sim::Click(button, 5, 6);
  PumpAll();
  EXPECT_TRUE(Only(WM_PARENTNOTIFY).empty());
  EXPECT_EQ(Only(WM_LBUTTONDOWN).size(), 1u);
  ReleaseCapture();
}

TEST_F(Input, SecondQuickPressIsADoubleClickOnlyForDoubleClickClasses) {
  HWND dbl = MakeTop(0, 0, 100, 100, kRecorder);
  HWND plain = MakeTop(200, 0, 100, 100, kPlain);
  PumpAll();
  for (HWND w : {dbl, plain}) {
    Log().clear();
    plat::sim::DoubleClick(w, 5, 5);
    PumpAll();
    std::vector<UINT> buttons;
    for (UINT m : MessagesOf(w))
      if (m != WM_SETCURSOR) buttons.push_back(m);
    UINT second = w == dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    EXPECT_EQ(buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, second, WM_LBUTTONUP}));
  }
  Log().clear();
  plat::sim::Click(dbl, 5, 5);
  plat::sim::Advance(600);
  plat::sim::Click(dbl, 5, 5);
  PumpAll();
  EXPECT_TRUE(Only(WM_LBUTTONDBLCLK).empty()) << "too slow for a double click";
}

TEST_F(Input, ActivationReachesTopLevelWindows) {
  HWND host = MakeTop(0, 0, 10, 10);
  PumpAll();
  Log().clear();
  plat::sim::ActivateApp(false);
  plat::sim::ActivateApp(true);
  auto app = Only(WM_ACTIVATEAPP);
  ASSERT_EQ(app.size(), 2u);
  EXPECT_EQ(std::pair(app[0].wParam, app[1].wParam), std::pair(WPARAM{FALSE}, WPARAM{TRUE}));
  // Shown, the host became the active window; the program's loss and return of the
  // activation reach it in turn.
  auto act = Only(WM_ACTIVATE);
  ASSERT_EQ(act.size(), 2u);
  EXPECT_EQ(act[0].hwnd, host);
  EXPECT_EQ(LOWORD(act[0].wParam), WA_INACTIVE);
  EXPECT_EQ(act[1].hwnd, host);
  EXPECT_EQ(LOWORD(act[1].wParam), WA_ACTIVE);
  plat::sim::ActivateWindow(host, WA_INACTIVE);
  EXPECT_EQ(Only(WM_ACTIVATE).size(), 3u);
}

TEST_F(Input, CursorsLoadFromSystemIdsAndReadableFilesOnly) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow) << "system cursors are shared";
  EXPECT_NE(LoadCursorA(nullptr, IDC_HAND), arrow);
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_TRUE(DestroyCursor(arrow));
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow) << "destroying a shared cursor keeps it";
  auto dir = std::filesystem::temp_directory_path() / ("cursor-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  plat::sim::MapPathPrefix("C:\\Game\\", dir.string());
  std::vector<uint8_t> truncated = AniFile(2);
  truncated.resize(truncated.size() - 5);
  const std::tuple<const char*, std::vector<uint8_t>, bool> cases[] = {
      {"normal.ani", AniFile(3), true},   {"click.cur", CurFile(2, 4, 5), true},
      {"short.ani", truncated, false},    {"empty.ani", AniFile(0), false},
      {"icon.cur", CurFile(1, 0, 0), false}, {"junk.ani", std::vector<uint8_t>(40, 0x11), false},
  };
  for (const auto& [name, bytes, loads] : cases) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    HCURSOR h = LoadCursorFromFileA((std::string("C:\\Game\\") + name).c_str());
    EXPECT_EQ(h != nullptr, loads) << name;
    if (h) {
      SetCursor(h);
      EXPECT_EQ(GetCursor(), h);
      EXPECT_EQ(plat::sim::CurrentCursor(), h);
      EXPECT_TRUE(DestroyCursor(h));
      EXPECT_FALSE(DestroyCursor(h)) << "a file cursor is gone after destroying it";
    }
  }
  EXPECT_EQ(LoadCursorFromFileA("C:\\Game\\missing.ani"), nullptr);
  std::filesystem::remove_all(dir);
}

TEST_F(Input, FocusChangeTellsTheOldWindowThenTheNew) {
  HWND a = MakeTop(0, 0, 10, 10);
  HWND b = MakeTop(20, 0, 10, 10);
  SetFocus(a);
  Log().clear();
  // The keys go to another top-level window: it is activated first, and its default
  // answer to WM_ACTIVATE takes the focus.
  EXPECT_EQ(SetFocus(b), a);
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Rec& r : Log()) seen.emplace_back(r.hwnd, r.msg);
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{
                      {a, WM_ACTIVATE}, {b, WM_ACTIVATE}, {a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
  ASSERT_EQ(Log().size(), 4u);
  EXPECT_EQ(reinterpret_cast<HWND>(Log()[2].wParam), b);
  EXPECT_EQ(reinterpret_cast<HWND>(Log()[3].wParam), a);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(GetActiveWindow(), b);
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
}

// Each thread's windows keep their own keyboard state: a box that takes the keys on a
// second thread tells nothing to the first thread's window, which may be waiting on
// that very thread and serving no sends.
DWORD WINAPI TakeTheKeysOnAWindowOfThisThread(LPVOID) {
  HWND own = CreateWindowExA(0, kPlain, "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, TestInstance(),
                             nullptr);
  SetFocus(own);
  const bool kept = GetFocus() == own;
  DestroyWindow(own);
  return kept ? 0 : 1;
}

TEST_F(Input, TakingTheKeysOnAnotherThreadSendsNothingToThisThreadsFocus) {
  HWND a = MakeTop(0, 0, 10, 10);
  SetFocus(a);
  Log().clear();
  HANDLE thread = CreateThread(nullptr, 0, TakeTheKeysOnAWindowOfThisThread, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0) << "the other thread waits on a send to this one";
  DWORD code = 1;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  EXPECT_EQ(code, 0u) << "the other thread's window did not keep the keys";
  for (const Rec& r : Log()) EXPECT_NE(r.hwnd, a) << "message " << r.msg << " reached this thread's window";
}

TEST_F(Input, KeysGoToTheFocusWindowWithRepeatAndTransitionBits) {
  HWND a = MakeTop(0, 0, 10, 10);
  HWND b = MakeTop(20, 0, 10, 10);
  SetFocus(b);
  PumpAll();
  Log().clear();
  plat::sim::KeyDown(VK_F1, 2);
  plat::sim::KeyDown(VK_F1);
  plat::sim::KeyUp(VK_F1);
  PumpAll();
  EXPECT_TRUE(MessagesOf(a).empty());
  auto downs = Only(WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].lParam & 0xFFFF, 2);
  EXPECT_EQ(downs[0].lParam & (1 << 30), 0) << "first press";
  EXPECT_NE(downs[1].lParam & (1 << 30), 0) << "auto-repeat: was down";
  auto ups = Only(WM_KEYUP);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_NE(static_cast<uint32_t>(ups[0].lParam) & 0xC0000000u, 0u);
  EXPECT_EQ(GetKeyState(VK_F1) & 0x8000, 0);
}

TEST_F(Input, ImeMessagesAndTypedDoubleByteTextReachTheFocusWindow) {
  HWND w = MakeTop(0, 0, 10, 10);
  SetFocus(w);
  PumpAll();
  Log().clear();
  plat::sim::ImeMessage(WM_IME_STARTCOMPOSITION, 0, 0);
  plat::sim::TypeText("\xB3\xC9");  // 냥
  PumpAll();
  EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_CHAR, WM_CHAR}));
  EXPECT_EQ(Only(WM_CHAR)[0].wParam, 0xB3u);
}

}  // namespace
