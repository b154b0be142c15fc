// The take-back as the host window's own loop would see it: what stays is read in the
// order it was queued whatever its number, an end forgets only what the host has read,
// a record the host read never pairs with a later post of the host's that looks the
// same, and a message another thread sends meanwhile is served by the host's loop, not
// inside the take-back.
#include "host/HostPostLedger.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "plat/sim.h"
#include "plat/threads.h"
#include "plat/user.h"

namespace {

constexpr UINT kClose = WM_USER + 1, kEnterKey = WM_USER + 2, kLoaded = WM_USER + 6;
constexpr std::array<UINT, 2> kGameNumbers{kClose, kLoaded};
constexpr std::array<UINT, 3> kAllGameNumbers{kClose, kEnterKey, kLoaded};
constexpr UINT kSentToHost = WM_USER + 50;

std::atomic<int32_t> g_sentServed{0};

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kSentToHost) ++g_sentServed;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

using Read = std::tuple<UINT, WPARAM, LPARAM>;

class HostPostLedgerTest : public testing::Test {
 protected:
  void SetUp() override {
    host_posts::MakeGlobals();
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.lpszClassName = "LedgerHost";
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, "LedgerHost", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host_, nullptr);
  }
  void TearDown() override {
    // Every game's records go with the window.
    DestroyWindow(host_);
    host_posts::TakeBack(0, host_, kGameNumbers);
    plat::sim::ResetWindowSystem();
  }
  // Everything the host's loop would read now, in its order.
  std::vector<Read> HostReads() {
    std::vector<Read> reads;
    MSG m;
    while (PeekMessageA(&m, host_, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) reads.emplace_back(m.message, m.wParam, m.lParam);
    return reads;
  }
  HWND host_ = nullptr;
};

TEST_F(HostPostLedgerTest, WhatStaysIsReadInTheOrderItWasQueuedAcrossNumbers) {
  ASSERT_TRUE(PostMessageA(host_, kLoaded, 5, 0));  // the host's own
  ASSERT_TRUE(host_posts::Post(1, host_, kClose, 1, 0));
  ASSERT_TRUE(PostMessageA(host_, kClose, 6, 0));  // the host's own
  ASSERT_TRUE(host_posts::Post(2, host_, kLoaded, 2, 0));
  ASSERT_TRUE(host_posts::Post(1, host_, kLoaded, 1, 0));
  ASSERT_TRUE(PostMessageA(host_, WM_USER + 4, 7, 0));  // a number between the game's

  host_posts::TakeBack(1, host_, kGameNumbers);
  // The game's close was the first of its number; its load, behind the host's and the
  // other game's, stays where it was.
  EXPECT_EQ(HostReads(),
            (std::vector<Read>{
                {kLoaded, 5, 0}, {kClose, 6, 0}, {kLoaded, 2, 0}, {kLoaded, 1, 0}, {WM_USER + 4, 7, 0}}));
}

TEST_F(HostPostLedgerTest, TheHostsOwnPostsKeepTheirOrderAroundTheGamesNumbers) {
  ASSERT_TRUE(host_posts::Post(1, host_, kClose, 9, 0));
  ASSERT_TRUE(PostMessageA(host_, kLoaded, 1, 0));
  ASSERT_TRUE(PostMessageA(host_, WM_USER + 20, 2, 0));  // above the game's numbers
  ASSERT_TRUE(PostMessageA(host_, kEnterKey, 3, 0));

  host_posts::TakeBack(1, host_, kAllGameNumbers);
  EXPECT_EQ(HostReads(), (std::vector<Read>{{kLoaded, 1, 0}, {WM_USER + 20, 2, 0}, {kEnterKey, 3, 0}}));
}

// An end forgets, as read, only records of the number it found read: another game's
// close stays recorded, and that game's end takes it back.
TEST_F(HostPostLedgerTest, AnEndForgetsAsReadOnlyTheNumbersItFoundRead) {
  ASSERT_TRUE(host_posts::Post(2, host_, kClose, 2, 0));
  ASSERT_TRUE(host_posts::Post(1, host_, kLoaded, 1, 0));
  ASSERT_TRUE(host_posts::Post(1, host_, kEnterKey, 1, 0));
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, host_, kLoaded, kLoaded, PM_REMOVE)) << "the host reads the game's load";
  host_posts::TakeBack(1, host_, kAllGameNumbers);
  host_posts::TakeBack(2, host_, kAllGameNumbers);
  EXPECT_EQ(HostReads(), std::vector<Read>{}) << "a game's post reached the host after its end";
}

// Only the host window's own thread can read its queue: an end on another thread
// forgets nothing of it, and the game's own end on that thread still takes its post.
TEST_F(HostPostLedgerTest, AnEndOnAnotherThreadForgetsNothingOfTheWindowsQueue) {
  HWND elsewhere = nullptr;
  std::vector<Read> left;
  std::atomic<int32_t> step{0};
  std::thread owner([&] {
    elsewhere = CreateWindowExA(0, "LedgerHost", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    host_posts::Post(1, elsewhere, kClose, 1, 0);
    step = 1;
    while (step != 2) std::this_thread::yield();
    host_posts::TakeBack(1, elsewhere, kGameNumbers);
    MSG m;
    while (PeekMessageA(&m, elsewhere, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE))
      left.emplace_back(m.message, m.wParam, m.lParam);
    DestroyWindow(elsewhere);
  });
  while (step != 1) std::this_thread::yield();
  host_posts::TakeBack(2, elsewhere, kGameNumbers);
  step = 2;
  owner.join();
  EXPECT_EQ(left, std::vector<Read>{}) << "the game's close reached the host after its end";
}

TEST_F(HostPostLedgerTest, ARecordTheHostReadNeverTakesALaterPostOfTheHostsThatLooksTheSame) {
  ASSERT_TRUE(host_posts::Post(1, host_, kClose, 3, 0));
  EXPECT_EQ(HostReads().size(), 1u);
  // Another game's end reads the queue: game 1's close is no longer there.
  host_posts::TakeBack(2, host_, kGameNumbers);
  ASSERT_TRUE(PostMessageA(host_, kClose, 3, 0));

  host_posts::TakeBack(1, host_, kGameNumbers);
  EXPECT_EQ(HostReads(), (std::vector<Read>{{kClose, 3, 0}})) << "the host's own close was taken for the game's";
  EXPECT_EQ(host_posts::Recorded(), 0u);
}

TEST_F(HostPostLedgerTest, AMessageSentMeanwhileIsServedByTheHostsLoopNotInsideTheTakeBack) {
  ASSERT_TRUE(host_posts::Post(1, host_, kClose, 1, 0));
  g_sentServed = 0;
  std::thread sender([this] { SendMessageA(host_, kSentToHost, 0, 0); });
  // The send is queued for this thread before the take-back starts (the high word is
  // what the queue holds now).
  const auto sendPending = [] { return (GetQueueStatus(QS_SENDMESSAGE) >> 16 & QS_SENDMESSAGE) != 0; };
  while (!sendPending()) std::this_thread::yield();

  host_posts::TakeBack(1, host_, kGameNumbers);
  EXPECT_EQ(g_sentServed.load(), 0) << "the host's window ran inside the game's stop";
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, host_, 0, 0, PM_REMOVE)) << "the game's close stayed";
  EXPECT_EQ(g_sentServed.load(), 1) << "the host's loop serves it";
  sender.join();
}

}  // namespace
