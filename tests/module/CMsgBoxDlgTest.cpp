// The message box's helpers, template, geometry and answers, driven through the modal
// hook on the virtual clock.
#include "MsgBoxTestSupport.h"

#include <atomic>
#include <thread>

#include "module/CMsgBoxTimers.h"
#include "module/MsgBoxTemplate.h"
#include "plat/gdi.h"
#include "plat/handle.h"
#include "plat/mmsystem.h"
#include "plat/threads.h"
#include "plat/time.h"

using namespace msgbox_test;

namespace {

std::pair<int, int> Size(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }
void ExpectNoTimer() {
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
}

// The width of one line as the box measures it (the platform's NT face).
int32_t Extent(const std::string& line, int32_t height, LONG weight) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, VARIABLE_PITCH, "Gulimche");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE s{};
  GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &s);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return s.cx;
}

void Press(HWND dialog, int id) {
  POINT p = ButtonCentre(dialog, id);
  plat::sim::Click(dialog, p.x, p.y);
}

}  // namespace

class MsgBoxGeometry : public MsgBoxTest {};

// A short text keeps the type's own width; a longer line, of the body or the bold
// heading, sets it. The box is centred on the game window (host (100, 50) + (3, 3)).
TEST_F(MsgBoxGeometry, BoxIsSizedByItsTextsAndCentredOnTheGameWindow) {
  const std::string longLine = "이 줄은 상자의 폭을 정하는 아주 긴 두 번째 줄입니다";
  const std::string longHeading = "굵은 제목이 본문보다 훨씬 더 길게 이어집니다";
  struct Case { std::string body; int32_t type; std::string heading; int width, height; };
  const Case cases[] = {
      {"short", CMsgBoxDlg::kTypeOk, "", 200, 120},
      {"question?", CMsgBoxDlg::kTypeYesNo, "", 320, 120},
      {"first\n" + longLine + "\nend", CMsgBoxDlg::kTypeOk, "", Extent(longLine, 12, FW_NORMAL) + 80, 160},
      {"body", CMsgBoxDlg::kTypeYesNo, longHeading, Extent(longHeading, 14, FW_BOLD) + 80, 145},
      {"", CMsgBoxDlg::kTypeOk, "", 200, 100},
      {"a\nb", CMsgBoxDlg::kTypeOk, "", 200, 140},
      {"a\nb\nc", CMsgBoxDlg::kTypeOk, "head", 200, 185},
      {"", CMsgBoxDlg::kTypeOk, "head", 200, 125},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body + " / " + c.heading);
    seen_ = Seen{};
    EXPECT_EQ(Show(c.body, c.type, 0, c.heading, [](HWND, int) { plat::sim::PressKey(VK_ESCAPE); }), 2);
    EXPECT_EQ(Size(seen_.window), std::make_pair(c.width, c.height));
    EXPECT_EQ(seen_.client.right, c.width) << "no frame or caption";
    EXPECT_EQ(seen_.window.left, 103 + (800 - c.width) / 2);
    EXPECT_EQ(seen_.window.top, 53 + (600 - c.height) / 2);
  }
}

class MsgBoxAnswers : public MsgBoxTest {};

TEST_F(MsgBoxAnswers, ClicksAndKeysAnswerAsTheButtonsSayAndReleaseEverything) {
  struct Case { const char* what; int32_t type; std::function<void(HWND)> act; int32_t answer; };
  auto key = [](int vk) { return [vk](HWND) { plat::sim::PressKey(vk); }; };
  const Case cases[] = {
      {"OK", CMsgBoxDlg::kTypeOk, [](HWND d) { Press(d, 1); }, 1},
      {"Yes", CMsgBoxDlg::kTypeYesNo, [](HWND d) { Press(d, 1); }, 1},
      {"No", CMsgBoxDlg::kTypeYesNo, [](HWND d) { Press(d, 2); }, 2},
      {"Escape, OK box", CMsgBoxDlg::kTypeOk, key(VK_ESCAPE), 2},
      {"Escape, yes/no box", CMsgBoxDlg::kTypeYesNo, key(VK_ESCAPE), 2},
      {"Enter, OK box", CMsgBoxDlg::kTypeOk, key(VK_RETURN), 1},
      {"Enter, yes/no box", CMsgBoxDlg::kTypeYesNo, key(VK_RETURN), 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show("text\nmore", c.type, 0, "heading", [&](HWND d, int call) {
                if (call == 0) c.act(d);
              }),
              c.answer)
        << c.what;
  }
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
  EXPECT_EQ(plat::sim::LiveGdiObjects(), gdiBefore_) << "bitmaps and fonts released";
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcsBefore_);
}

TEST_F(MsgBoxAnswers, PressBeforeTheTimeOutKillsTheTimerAndRestoresThePeriod) {
  int timerWhileOpen = -1;
  EXPECT_EQ(Show("wait", CMsgBoxDlg::kTypeOk, 3000, "",
                 [&](HWND d, int call) {
                   if (call != 0) return;
                   timerWhileOpen = static_cast<int>(plat::sim::LiveMultimediaTimers());
                   plat::sim::AdvanceClock(1000);
                   Press(d, 1);
                 }),
            1);
  EXPECT_EQ(timerWhileOpen, 1);
  EXPECT_EQ(Elapsed(), 1000u);
  ExpectNoTimer();
  plat::sim::Advance(5000);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_TRUE(plat::sim::PostedMessages(game_).empty());
}

TEST_F(MsgBoxAnswers, ATimeOutOfAClosedBoxDoesNothingWhileAnotherBoxIsOpen) {
  uint32_t closed = 0;
  Show("first", CMsgBoxDlg::kTypeOk, 3000, "", [&](HWND d, int) {
    closed = CMsgBoxDlg::GenerationOf(d);
    Press(d, 1);
  });
  ASSERT_NE(closed, 0u);
  EXPECT_EQ(CMsgBoxDlg::GenerationOf(seen_.dialog), 0u);
  bool stillOpen = false;
  const DWORD before = Elapsed();
  EXPECT_EQ(Show("second", CMsgBoxDlg::kTypeYesNo, 5000, "",
                 [&](HWND d, int call) {
                   if (call != 0) return;
                   MsgBoxTimeout(0, 0, closed, 0, 0);
                   stillOpen = IsWindowVisible(d) && CMsgBoxDlg::GenerationOf(d) != 0;
                 }),
            2);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(Elapsed() - before, 5000u) << "the second box ended by its own time-out";
}

// A queued host message handled inside one box's loop may show a second box.
TEST_F(MsgBoxAnswers, ABoxOpenedInsideAnotherBoxsLoopKeepsItsOwnTimerSizeAndAnswer) {
  int32_t inner = 0;
  DWORD innerEnded = 0;
  Seen innerSeen;
  HWND outerDialog = nullptr;
  const DWORD before = Elapsed();
  const int32_t outer = Show("outer", CMsgBoxDlg::kTypeYesNo, 3000, "", [&](HWND d, int call) {
    if (!outerDialog) {
      outerDialog = d;
      inner = ShowMsgBox(nullptr, game_, kGameFolder, "inner\ntwo\nthree", CMsgBoxDlg::kTypeOk, 5000, "title",
                         kHeadingColour);
      innerEnded = Elapsed() - before;
    } else if (d != outerDialog && call == 0) {
      innerSeen = Look(d);
    }
  });
  EXPECT_EQ(inner, 1) << "the inner OK box timed out with OK";
  EXPECT_EQ(innerEnded, 5000u);
  EXPECT_EQ(outer, 2) << "the outer box's own time-out (at 3000 ms, under the inner box) answered No";
  EXPECT_EQ(Size(seen_.window), std::make_pair(320, 120));
  EXPECT_EQ(Size(innerSeen.window), std::make_pair(200, 185));
  ExpectNoTimer();
}

using MsgBoxFailures = MsgBoxTest;

TEST_F(MsgBoxFailures, ADialogThatCannotBeMadeAnswersMinusOneWithNoTimerAndThePeriodRestored) {
  plat::sim::FailNext("DialogBoxParamA");
  EXPECT_EQ(ShowMsgBox(nullptr, game_, kGameFolder, "text", CMsgBoxDlg::kTypeOk, 3000, "", kHeadingColour), -1);
  ExpectNoTimer();
  // A module that holds no template (loaded under another name).
  const HINSTANCE foreign = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x7000));
  EXPECT_EQ(ShowMsgBox(foreign, game_, kGameFolder, "text", CMsgBoxDlg::kTypeYesNo, 5000, "", kHeadingColour), -1);
  ExpectNoTimer();
}

TEST(MsgBoxLines, LongestLineLengthCountsBytesOfTheLongestLine) {
  EXPECT_EQ(LongestLineLength("ab\ncde"), 3u);
  EXPECT_EQ(LongestLineLength("abcd\ne"), 4u);
  EXPECT_EQ(LongestLineLength("no newline"), 10u);
  EXPECT_EQ(LongestLineLength(""), 0u);
  EXPECT_EQ(LongestLineLength("한글"), 4u);
}

TEST_F(MsgBoxAnswers, AutoCloseAnswersOkForAnOkBoxAndNoForAYesNoBoxExactlyOnTime) {
  struct Case {
    int32_t type;
    uint32_t ms;
    int32_t answer;
  };
  for (const Case c : {Case{CMsgBoxDlg::kTypeOk, 3000, 1}, Case{CMsgBoxDlg::kTypeYesNo, 5000, 2}, Case{7, 200, 2}}) {
    const DWORD before = Elapsed();
    EXPECT_EQ(Show("closing by itself", c.type, c.ms, "", nullptr), c.answer) << c.type;
    EXPECT_EQ(Elapsed() - before, c.ms);
    EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
    EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
  }
}

// The box's time-out under way on another thread (the one that moved time) when the box
// is answered: the answer returns only once the time-out has ended, so no code of the
// box's timer runs after its box, and its game, have gone. The time-out is let go after
// a while (the answer's wait serves nothing meanwhile, as the system's does), or at once
// when the answer has returned.
TEST_F(MsgBoxAnswers, AnAnswerWhileTheTimeOutRunsReturnsOnlyOnceTheTimeOutHasEnded) {
  std::atomic<bool> held{false}, released{false}, answered{false}, answeredWhileHeld{false};
  plat::sim::SetMultimediaCallbackHook([&](UINT) {
    held = true;
    while (!released) std::this_thread::yield();
  });
  std::thread mover, releaser;
  bool heldInTime = false;
  bool endedAfterTheTimeOut = false;
  constexpr uint32_t kAutoCloseMs = 3000;
  const int32_t answer = Show("wait", CMsgBoxDlg::kTypeYesNo, kAutoCloseMs, "", [&](HWND d, int call) {
    if (call != 0) return;
    mover = std::thread([] { plat::sim::AdvanceClock(kAutoCloseMs); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!held && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    heldInTime = held;
    releaser = std::thread([&] {
      const auto patience = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
      while (!answered && std::chrono::steady_clock::now() < patience) std::this_thread::yield();
      answeredWhileHeld = answered.load();
      released = true;
    });
    SendMessageA(d, WM_COMMAND, IDOK, 0);
    endedAfterTheTimeOut = released;
    answered = true;
  });
  released = true;
  if (mover.joinable()) mover.join();
  if (releaser.joinable()) releaser.join();
  plat::sim::SetMultimediaCallbackHook(nullptr);
  EXPECT_TRUE(heldInTime) << "the box's time-out never ran";
  EXPECT_TRUE(endedAfterTheTimeOut) << "the box's answer returned while its time-out still ran";
  EXPECT_FALSE(answeredWhileHeld.load()) << "the box's answer returned while its time-out still ran";
  EXPECT_EQ(answer, 1) << "the press stands";
  ExpectNoTimer();
}

// Two games' window threads, each running boxes over its own window at once, while a
// third game ends its boxes: every box answers its own press, and no end meets another
// window's box. (The open boxes' list is what the threads share: a race on it shows
// under ThreadSanitizer.)
TEST_F(MsgBoxAnswers, TwoWindowThreadsRunTheirBoxesSideBySide) {
  struct Table {
    int32_t answered = 0;
    int32_t rounds = 0;
  };
  static constexpr int32_t kRounds = 30;
  plat::sim::SetModalHook([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  const auto runTable = [](LPVOID param) -> DWORD {
    auto* table = static_cast<Table*>(param);
    HWND owner = CreateWindowExA(0, "MsgBoxTestWnd", "table", WS_POPUP | WS_VISIBLE, 0, 0, kGameWidth, kGameHeight,
                                 nullptr, nullptr, nullptr, nullptr);
    for (int32_t i = 0; owner && i < kRounds; ++i, ++table->rounds) {
      if (ShowMsgBox(nullptr, owner, kGameFolder, "body", CMsgBoxDlg::kTypeOk, 0, "", kHeadingColour) == 1)
        ++table->answered;
      CMsgBoxDlg::EndBoxesOwnedBy(owner);
    }
    if (owner) DestroyWindow(owner);
    return 0;
  };
  Table tables[2];
  HANDLE threads[2] = {};
  for (int32_t t = 0; t < 2; ++t) threads[t] = CreateThread(nullptr, 0, runTable, &tables[t], 0, nullptr);
  // Meanwhile this thread's game ends its own boxes again and again, and its window
  // serves what the tables' windows send to it as they activate.
  for (HANDLE thread : threads) {
    ASSERT_NE(thread, nullptr);
    while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
      CMsgBoxDlg::EndBoxesOwnedBy(game_);
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    CloseHandle(thread);
  }
  for (const Table& table : tables) {
    EXPECT_EQ(table.rounds, kRounds);
    EXPECT_EQ(table.answered, kRounds);
  }
}
