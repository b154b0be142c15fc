// The message box's helpers, template, geometry and answers, driven through the modal
// hook on the virtual clock.
#include "MsgBoxTestSupport.h"

#include "module/CMsgBoxTimers.h"
#include "module/MsgBoxTemplate.h"
#include "plat/gdi.h"
#include "plat/mmsystem.h"
#include "plat/time.h"

using namespace msgbox_test;

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The widest line of `text` as the box measures it (the platform's NT face).
int32_t Extent(const std::string& text, int32_t height, LONG weight) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, VARIABLE_PITCH, "Gulimche");
  HGDIOBJ old = SelectObject(dc, font);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  int32_t widest = 0;
  for (const std::string& l : lines) {
    SIZE s{};
    GetTextExtentPoint32A(dc, l.data(), static_cast<int>(l.size()), &s);
    widest = std::max<int32_t>(widest, s.cx);
  }
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return widest;
}

void Press(HWND dialog, int id) {
  POINT p = ButtonCentre(dialog, id);
  plat::sim::Click(dialog, p.x, p.y);
}

}  // namespace

// ---- Helpers ------------------------------------------------------------------------

TEST(MsgBoxLines, SplitLinesCutsAtEachNewlineAndKeepsANonEmptyTail) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a\nbb\n", {"a", "bb"}},
      {"a\n\nb", {"a", "", "b"}},
      {"", {}},
      {"\n", {""}},
      {"one", {"one"}},
      {"한글\n둘", {"한글", "둘"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines{"left over"};
    SplitLines(c.text, lines);
    EXPECT_EQ(lines, c.lines) << c.text;
  }
}

TEST(MsgBoxLines, LongestLineLengthCountsBytesOfTheLongestLine) {
  EXPECT_EQ(LongestLineLength("ab\ncde"), 3u);
  EXPECT_EQ(LongestLineLength("abcd\ne"), 4u);
  EXPECT_EQ(LongestLineLength("no newline"), 10u);
  EXPECT_EQ(LongestLineLength(""), 0u);
  EXPECT_EQ(LongestLineLength("한글"), 4u);
}

TEST(MsgBoxTemplateTest, TemplateIsACaptionlessModalFrameWithTwoOwnerDrawnButtons) {
  ASSERT_TRUE(msgbox_template::Register(nullptr));
  const plat::DialogTemplate* t = plat::FindDialogTemplate(nullptr, MAKEINTRESOURCEA(101));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->style, WS_POPUP | DS_MODALFRAME | DS_SETFONT);
  EXPECT_EQ(t->fontFace, "돋움");
  EXPECT_EQ(t->fontSize, 9);
  EXPECT_EQ(t->cx, 187);
  EXPECT_EQ(t->cy, 263);
  EXPECT_EQ(t->title, "");
  ASSERT_EQ(t->items.size(), 2u);
  const int16_t xs[] = {38, 102};
  const char* texts[] = {"OK", "Cancel"};
  for (int i = 0; i < 2; ++i) {
    const plat::DialogItemTemplate& b = t->items[i];
    EXPECT_EQ(b.id, i + 1);
    EXPECT_EQ(b.text, texts[i]);
    EXPECT_EQ(b.style & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(b.x, xs[i]);
    EXPECT_EQ(b.y, 242);
    EXPECT_EQ(b.cx, 50);
    EXPECT_EQ(b.cy, 14);
  }
}

// ---- Geometry -----------------------------------------------------------------------

class MsgBoxGeometry : public MsgBoxTest {};

TEST_F(MsgBoxGeometry, ShortOkBoxIs200By120CentredOnTheGameWindowWithOneCentredButton) {
  EXPECT_EQ(Show("short", CMsgBoxDlg::kTypeOk, 0, "", [](HWND, int) { plat::sim::PressKey(VK_ESCAPE); }),
            2);
  // Game client origin: host (100, 50) + (3, 3); (800 - 200) / 2 = 300, (600 - 120) / 2 = 240.
  EXPECT_EQ(seen_.window.left, 403);
  EXPECT_EQ(seen_.window.top, 293);
  EXPECT_EQ(Width(seen_.window), 200);
  EXPECT_EQ(Height(seen_.window), 120);
  EXPECT_EQ(seen_.client.right, 200) << "no frame or caption";
  const RECT ok = seen_.button[0];
  EXPECT_EQ(ok.left, 100 - kStripFrameWidth / 2);
  EXPECT_EQ(ok.top, 120 - kStripFrameHeight - 12);
  EXPECT_EQ(Width(ok), kStripFrameWidth);
  EXPECT_EQ(Height(ok), kStripFrameHeight);
  EXPECT_GE(seen_.button[1].top, seen_.client.bottom) << "button 2 lies outside the box";
}

TEST_F(MsgBoxGeometry, YesNoBoxIs320WideWithButtonsEitherSideOfTheMiddle) {
  Show("question?", CMsgBoxDlg::kTypeYesNo, 0, "", [](HWND d, int) { Press(d, 2); });
  EXPECT_EQ(Width(seen_.window), 320);
  EXPECT_EQ(seen_.button[0].left, 160 - kStripFrameWidth - 20);
  EXPECT_EQ(seen_.button[1].left, 180);
  EXPECT_EQ(seen_.button[0].top, seen_.button[1].top);
  EXPECT_EQ(Width(seen_.button[1]), kStripFrameWidth);
}

TEST_F(MsgBoxGeometry, LongBodyIsItsWidestLinePlus80EvenWhenThatLineIsNotTheFirst) {
  const std::string body = "first\n이 줄은 상자의 폭을 정하는 아주 긴 두 번째 줄입니다\nend";
  Show(body, CMsgBoxDlg::kTypeOk, 0, "", [](HWND d, int) { Press(d, 1); });
  const int32_t widest = Extent(body, 12, FW_NORMAL);
  ASSERT_GT(widest, 120);
  EXPECT_EQ(Width(seen_.window), widest + 80);
}

TEST_F(MsgBoxGeometry, LongHeadingSetsTheWidthInTheBoldFont) {
  const std::string heading = "굵은 제목이 본문보다 훨씬 더 길게 이어집니다";
  Show("body", CMsgBoxDlg::kTypeYesNo, 0, heading, [](HWND d, int) { Press(d, 1); });
  const int32_t widest = Extent(heading, 14, FW_BOLD);
  ASSERT_GT(widest, 240);
  EXPECT_EQ(Width(seen_.window), widest + 80);
}

TEST_F(MsgBoxGeometry, HeightFollowsLineCountAndHeading) {
  struct Case {
    const char* body;
    const char* heading;
    int height;
  };
  const Case cases[] = {{"", "", 100}, {"a", "", 120}, {"a\nb", "", 140}, {"a\nb\nc", "head", 185}, {"", "head", 125}};
  for (const Case& c : cases) {
    seen_ = Seen{};
    Show(c.body, CMsgBoxDlg::kTypeOk, 0, c.heading, [](HWND d, int) { Press(d, 1); });
    EXPECT_EQ(Height(seen_.window), c.height) << c.body << " / " << c.heading;
  }
}

// ---- Answers ------------------------------------------------------------------------

class MsgBoxAnswers : public MsgBoxTest {};

TEST_F(MsgBoxAnswers, ClicksAndKeysAnswerAsTheButtonsSay) {
  struct Case {
    const char* what;
    int32_t type;
    std::function<void(HWND)> act;
    int32_t answer;
  };
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
    EXPECT_EQ(Show("text", c.type, 0, "", [&](HWND d, int call) {
                if (call == 0) c.act(d);
              }),
              c.answer)
        << c.what;
  }
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
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
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
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

TEST_F(MsgBoxAnswers, ABoxOpenedInsideAnotherBoxsLoopKeepsItsOwnTimerSizeAndAnswer) {
  int32_t inner = 0;
  DWORD innerEnded = 0;
  bool opened = false;
  const DWORD before = Elapsed();
  const int32_t outer = Show("outer", CMsgBoxDlg::kTypeOk, 3000, "", [&](HWND, int) {
    if (opened) return;  // the inner box's own waits: let time run
    opened = true;
    // A queued host message handled inside this box's loop shows a second box.
    inner = ShowMsgBox(nullptr, game_, kGameFolder, "inner\nsecond line", CMsgBoxDlg::kTypeYesNo, 5000, "title",
                       kHeadingColour);
    innerEnded = Elapsed() - before;
  });
  EXPECT_EQ(inner, 2) << "the inner yes/no box timed out with No";
  EXPECT_EQ(innerEnded, 5000u);
  EXPECT_EQ(outer, 1) << "the outer box's own time-out (at 3000 ms, under the inner box) answered OK";
  EXPECT_EQ(Width(seen_.window), 200);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
}

TEST_F(MsgBoxAnswers, NestedBoxesTakeTheirOwnButtonsTextsAndSizes) {
  int32_t inner = 0;
  HWND outerDialog = nullptr;
  Seen innerSeen;
  const int32_t outer = Show("outer", CMsgBoxDlg::kTypeYesNo, 0, "", [&](HWND d, int call) {
    if (!outerDialog) {
      outerDialog = d;
      inner = ShowMsgBox(nullptr, game_, kGameFolder, "inner\ntwo\nthree", CMsgBoxDlg::kTypeOk, 0, "",
                         kHeadingColour);
      Press(d, 2);
    } else if (d != outerDialog && call == 0) {
      innerSeen = Look(d);
      Press(d, 1);
    }
  });
  EXPECT_EQ(inner, 1);
  EXPECT_EQ(outer, 2);
  EXPECT_EQ(Width(seen_.window), 320);
  EXPECT_EQ(Height(seen_.window), 120);
  EXPECT_EQ(Width(innerSeen.window), 200);
  EXPECT_EQ(Height(innerSeen.window), 160);
}

// ---- Failures -----------------------------------------------------------------------

class MsgBoxFailures : public MsgBoxTest {
 protected:
  // The template's own size, from a dialog nobody resized.
  RECT PlainTemplateWindow() {
    HWND plain = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), game_,
                                    [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    RECT r{};
    GetWindowRect(plain, &r);
    DestroyWindow(plain);
    return r;
  }
};

TEST_F(MsgBoxFailures, WithoutAFramePieceTheBoxStaysPlainAndStillEnds) {
  RemoveFixture("msg4.bmp");
  const RECT plain = PlainTemplateWindow();
  EXPECT_EQ(Show("text", CMsgBoxDlg::kTypeOk, 0, "", [](HWND, int) { plat::sim::PressKey(VK_ESCAPE); }),
            2);
  EXPECT_EQ(Width(seen_.window), Width(plain));
  EXPECT_EQ(Height(seen_.window), Height(plain));
  EXPECT_NE(Width(seen_.window), 200);
  const DWORD before = Elapsed();
  EXPECT_EQ(Show("text", CMsgBoxDlg::kTypeOk, 3000, "", nullptr), 1);
  EXPECT_EQ(Elapsed() - before, 3000u);
  EXPECT_EQ(plat::sim::LiveGdiObjects(), gdiBefore_) << "partial frame released";
}

TEST_F(MsgBoxFailures, WithoutItsButtonStripTheBoxIsSizedButTheButtonKeepsItsTemplatePlace) {
  RemoveFixture("ok_btn.bmp");
  HWND probe = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), game_,
                                  [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  const Seen plainSeen = Look(probe);
  DestroyWindow(probe);
  EXPECT_EQ(Show("text", CMsgBoxDlg::kTypeOk, 0, "", [](HWND, int) { plat::sim::PressKey(VK_ESCAPE); }),
            2);
  EXPECT_EQ(Width(seen_.window), 200);
  EXPECT_EQ(Height(seen_.window), 120);
  EXPECT_EQ(seen_.button[0].left, plainSeen.button[0].left);
  EXPECT_EQ(Width(seen_.button[0]), Width(plainSeen.button[0]));
}

TEST_F(MsgBoxFailures, ADialogThatCannotBeMadeAnswersMinusOneWithNoTimerAndThePeriodRestored) {
  plat::sim::FailNext("DialogBoxParamA");
  EXPECT_EQ(ShowMsgBox(nullptr, game_, kGameFolder, "text", CMsgBoxDlg::kTypeOk, 3000, "", kHeadingColour), -1);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
  // A module that holds no template (loaded under another name).
  const HINSTANCE foreign = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x7000));
  EXPECT_EQ(ShowMsgBox(foreign, game_, kGameFolder, "text", CMsgBoxDlg::kTypeYesNo, 5000, "", kHeadingColour), -1);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
}

TEST_F(MsgBoxFailures, EveryBoxReleasesItsBitmapsDcsAndFonts) {
  Show("text\nmore", CMsgBoxDlg::kTypeYesNo, 0, "heading", [](HWND d, int) { Press(d, 1); });
  EXPECT_EQ(plat::sim::LiveGdiObjects(), gdiBefore_);
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcsBefore_);
}

// ---- Real clock ---------------------------------------------------------------------

TEST_F(MsgBoxAnswers, UnderTheRealClockTheTimerThreadClosesTheBoxThroughACrossThreadSend) {
  plat::sim::UseRealClock();
  const DWORD start = GetTickCount();
  const int32_t answer = ShowMsgBox(nullptr, game_, kGameFolder, "real", CMsgBoxDlg::kTypeYesNo, 30, "", kHeadingColour);
  const DWORD took = GetTickCount() - start;
  plat::sim::UseVirtualClock();
  EXPECT_EQ(answer, 2);
  EXPECT_GE(took, 25u);
  EXPECT_LT(took, 5000u);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 0);
}
