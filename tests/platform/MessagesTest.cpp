#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WindowTestSupport.h"

using namespace window_test;

namespace {

class Messages : public WindowTest {};

TEST_F(Messages, PostedMessagesComeOutInOrderWithTimeAndCursorAndQuitEndsGetMessage) {
  HWND w = MakeTop(0, 0, 100, 100);
  PumpAll();
  SetCursorPos(7, 9);
  for (UINT i = 0; i < 3; ++i) PostMessageA(w, WM_USER + i, i, 0);
  MSG m;
  for (UINT i = 0; i < 3; ++i) {
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(std::tuple(m.message, m.pt.x, m.time), std::tuple(WM_USER + i, LONG{7}, NowTick()));
  }
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  PostQuitMessage(42);
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(UINT{WM_QUIT}, WPARAM{42}));
  EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234)), 0, 0), -1);
}

TEST_F(Messages, WindowFilterTakesTheWindowAndItsChildren) {
  HWND a = MakeTop(0, 0, 10, 10);
  HWND child = MakeChild(a, 0, 0, 5, 5);
  HWND b = MakeTop(20, 0, 10, 10);
  PumpAll();
  PostMessageA(b, WM_USER, 0, 0);
  PostMessageA(child, WM_USER + 1, 0, 0);
  PostMessageA(nullptr, WM_USER + 2, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, child);
  EXPECT_FALSE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u) << "-1 takes thread messages only";
}

TEST_F(Messages, OtherThreadsSendsAreServedInsideANestedPeekLoopAndTheirPostsQueued) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  std::thread::id handledOn;
  SetAnswer([&](HWND, UINT msg, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_USER + 9) return std::nullopt;
    handledOn = std::this_thread::get_id();
    return static_cast<LRESULT>(wp * 2);
  });
  std::atomic<LRESULT> answer{0};
  std::thread sender([&] { answer = SendMessageA(w, WM_USER + 9, 21, 0); });
  // The nested loop peeks only the keyboard range; the send is served all the same.
  MSG m;
  while (answer.load() == 0) PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_TIMER, PM_REMOVE);
  sender.join();
  EXPECT_EQ(answer.load(), 42);
  EXPECT_EQ(handledOn, std::this_thread::get_id());
  std::thread([&] { EXPECT_TRUE(PostMessageA(w, WM_USER + 3, 1, 2)); }).join();
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 3u);
  EXPECT_EQ(plat::sim::PostedMessages(w).size(), 1u);
}

// Asked for posted messages only, PeekMessage serves no send of another thread: a stop
// that reads its queue then runs nothing of anyone else in its middle.
TEST_F(Messages, PeekingPostedMessagesOnlyLeavesOtherThreadsSendsWaiting) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  std::atomic<int32_t> served{0};
  SetAnswer([&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_USER + 9) return std::nullopt;
    ++served;
    return 1;
  });
  std::atomic<bool> sending{false};
  std::thread sender([&] {
    sending = true;
    SendMessageA(w, WM_USER + 9, 0, 0);
  });
  while (!sending.load() || (GetQueueStatus(QS_SENDMESSAGE) & (QS_SENDMESSAGE << 16)) == 0) std::this_thread::yield();
  ASSERT_TRUE(PostMessageA(w, WM_USER + 3, 0, 0));
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, w, WM_USER + 3, WM_USER + 3, PM_REMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE));
  EXPECT_FALSE(PeekMessageA(&m, w, WM_USER + 3, WM_USER + 3, PM_REMOVE | PM_QS_POSTMESSAGE));
  EXPECT_EQ(served.load(), 0) << "a send served by a peek for posted messages";
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
  sender.join();
  EXPECT_EQ(served.load(), 1) << "an ordinary peek serves it";
}

TEST_F(Messages, MsgWaitWakesOnlyForInputNotSeenBefore) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  PostMessageA(w, WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLEVENTS), WAIT_OBJECT_0);
  MSG m;
  PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_TIMER, PM_REMOVE);  // looks, takes nothing
  DWORD before = NowTick();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLEVENTS), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(NowTick() - before, 100u) << "virtual time moved to the deadline";
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLEVENTS), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 0, QS_ALLEVENTS), WAIT_FAILED);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER);
}

struct KeyCase {
  int vk;
  bool shift;
  int ch;
};

TEST_F(Messages, TranslateMessageMakesCharactersFromKeys) {
  const KeyCase cases[] = {
      {'A', false, 'a'}, {'A', true, 'A'}, {'Z', false, 'z'},    {'1', false, '1'},      {'1', true, '!'},
      {'0', true, ')'},  {VK_SPACE, false, ' '}, {VK_RETURN, false, 13}, {VK_BACK, false, 8}, {VK_ESCAPE, false, 27},
      {VK_TAB, false, 9}, {VK_F1, false, 0},      {VK_LEFT, false, 0},
  };
  HWND w = MakeTop(0, 0, 10, 10);
  SetFocus(w);
  for (const KeyCase& c : cases) {
    PumpAll();
    Log().clear();
    if (c.shift) plat::sim::KeyDown(VK_SHIFT);
    plat::sim::PressKey(c.vk);
    if (c.shift) plat::sim::KeyUp(VK_SHIFT);
    PumpAll();
    auto chars = Only(WM_CHAR);
    if (c.ch == 0) {
      EXPECT_TRUE(chars.empty()) << c.vk;
    } else {
      ASSERT_EQ(chars.size(), 1u) << c.vk;
      EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(c.ch)) << c.vk;
    }
  }
}

TEST_F(Messages, AltKeysArriveAsSystemKeysAndCharacters) {
  HWND w = MakeTop(0, 0, 10, 10);
  SetFocus(w);
  PumpAll();
  Log().clear();
  plat::sim::KeyDown(VK_MENU);
  plat::sim::KeyDown('X', 3);
  PumpAll();
  auto downs = Only(WM_SYSKEYDOWN);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>('X'));
  EXPECT_EQ(LOWORD(static_cast<uintptr_t>(downs[1].lParam)), 3) << "repeat count";
  EXPECT_NE(downs[1].lParam & (1 << 29), 0) << "context (Alt) bit";
  auto chars = Only(WM_SYSCHAR);
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('x'));
}

}  // namespace
