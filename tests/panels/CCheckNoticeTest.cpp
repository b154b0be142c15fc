// The notice text as the host sends it: "#"-separated fields found by a name part
// that contains the name, and the ticker's time and stage taken from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

#include "panels/CCheckNotice.h"
#include "panels/PanelPictureFixture.h"
#include "plat/sim_kernel.h"
#include "tables/PanelPaths.h"

namespace {

TEST(CCheckNotice, FieldsAreFoundByTheirNamePart) {
  struct Case { const char* notice; const char* name; const char* value; };
  const Case cases[] = {
      {"TYPE=1#TIME=3#MSG=x", "TIME", "3"},
      {"TYPE=1#TIME=3#MSG=x", "MSG", "x"},
      {"XTYPEX=4#TYPE=1", "TYPE", "4"},  // the first name part that contains it
      {"MSG=a=b", "MSG", "a=b"},         // the value runs past later '='
      {"TYPE#TIME=2", "TYPE", "TYPE"},   // a field without '=' is its own value
      {"TIME=2#", "MSG", ""},
      {"##TIME=5", "TIME", "5"},
      {"TIME=", "TIME", ""},
      {"", "TIME", ""},
      {"A=TIME", "TIME", ""},  // only the name part is searched
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CCheckNotice::FieldValue(c.notice, c.name), c.value) << c.notice << " / " << c.name;
  }
}

TEST(CCheckNotice, TimeAndStageComeFromTheNotice) {
  struct Case { const char* notice; int32_t shown; int32_t time; int32_t digits; int32_t stage; const char* msg; };
  const Case cases[] = {
      {"TYPE=0#TIME=3#MSG=x", 1, 3, 1, CCheckNotice::kStageHeadWithWarning, "x"},
      {"TYPE=1#TIME=10", 1, 10, 2, CCheckNotice::kStageHeadOnly, ""},
      {"TYPE=0#TIME=7#MSG=hello", 1, 7, 1, CCheckNotice::kStageHeadOnly, "hello"},
      {"TIME=3#MSG=x", 0, 0, 0, CCheckNotice::kStageNone, ""},
      {"TYPE=1#MSG=x", 0, 0, 0, CCheckNotice::kStageNone, ""},
  };
  for (const Case& c : cases) {
    CCheckNotice ticker;
    ticker.ParseNoticeText("TYPE=1#TIME=3");  // a running notice that the next one replaces
    EXPECT_EQ(ticker.ParseNoticeText(c.notice), c.msg) << c.notice;
    EXPECT_EQ(ticker.IsShown(), c.shown) << c.notice;
    EXPECT_EQ(ticker.NoticeTime(), c.time) << c.notice;
    EXPECT_EQ(ticker.TimeDigits(), c.digits) << c.notice;
    EXPECT_EQ(ticker.Stage(), c.stage) << c.notice;
  }
}

}  // namespace

namespace check_notice_test {

class CheckNoticeLoadTest : public panel_test::PanelPicturesTest {};

TEST_F(CheckNoticeLoadTest, StripTakesNoInputAndLoadsItsAnimationsAndLine) {
  constexpr int32_t kSubAnimations = 28;
  const panel_test::PanelFile files[] = {{CheckNoticeAnimPath, panel_test::Art::QlaSet, kSubAnimations},
                                         {CheckNoticeLinePath, panel_test::Art::Psp}};
  WriteFiles(files);
  CCheckNotice ticker(&scene_);
  ASSERT_EQ(ticker.Create(&scene_), 1);
  EXPECT_EQ(ticker.GetRect(), GRect(0, 0, 800, 17));
  EXPECT_EQ(std::pair(ticker.IsVisible(), ticker.IsEnabled()), std::pair(1, 0));
  EXPECT_TRUE(ticker.GetChildren().empty());

  ASSERT_EQ(ticker.LoadCheckNotice(scene_.kRoot), 1);
  EXPECT_EQ(ticker.Animations().GetAnimationCount(), kSubAnimations);
  EXPECT_EQ(ticker.ScrollLine().LineCount(), 1);
  const K_Rect& strip = ticker.ScrollLine().Strip();
  EXPECT_EQ(GRect(strip.left, strip.top, strip.right, strip.bottom), GRect(96, 5, 274, 17));
  EXPECT_EQ(ticker.ScrollLine().Setting(0), 4000);
  EXPECT_EQ(ticker.FirstDigitPos(), GPoint(-7, 0));
  EXPECT_EQ(std::pair(ticker.HeadPos(), ticker.SecondDigitPos()), std::pair(GPoint(0, 0), GPoint(0, 0)));
  // Loading again replaces the line instead of queueing a second one.
  ASSERT_EQ(ticker.LoadCheckNotice(scene_.kRoot), 1);
  EXPECT_EQ(ticker.ScrollLine().LineCount(), 1);

  for (int32_t skip = 0; skip < 2; ++skip) {
    WriteFiles(files, "without" + std::to_string(skip), skip);
    CCheckNotice partial;
    EXPECT_EQ(partial.LoadCheckNotice(scene_.kRoot), 0) << files[skip].path;
  }
}

}  // namespace check_notice_test

namespace check_notice_stages_test {

namespace ts = testing_support;
using P = CCheckNotice::Player;

// A set whose sub-animations are one 100 ms frame, the warning intro 200 ms and the
// outro 300 ms; the line sprite is W = 100 wide.
constexpr int32_t kSubAnimations = 28;
constexpr uint32_t kHeadMs = 100, kIntroMs = 200, kOutroMs = 300;
constexpr int32_t kLineWidth = 100;
// (W + 178) x 4000 / 178.
constexpr uint32_t kLineMs = 6247;
// Each sub-animation shows a 4 x 4 square of its own at 16 (index + 1) right of where
// it is drawn, so the strip's pixels say which were drawn: at the head's place (the
// head, the second digit, the warning) or 7 to the left (the first digit).
constexpr int32_t kSquare = 4, kSpacing = 16;
constexpr int32_t kFirstDigitShift = 7;
constexpr int32_t kAsFirstDigit = 100;
// The scrolling line, named in a frame after every sub-animation.
constexpr int32_t kLine = 99;
constexpr GRect kLineRect(96, 5, 274, 17);

class CheckNoticeStagesTest : public panel_test::PanelPicturesTest {
 protected:
  void WriteSet(bool animations = true, bool line = true) {
    std::vector<ts::QlaAnimation> set;
    for (int32_t i = 0; i < kSubAnimations; ++i) {
      const uint16_t ms = i == 24 ? kIntroMs : i == 25 ? kOutroMs : kHeadMs;
      const ts::QlaPart square{.x = static_cast<int16_t>(kSpacing * (i + 1))};
      set.push_back(ts::QlaAnimation{.name = "", .frames = {ts::QlaFrame{.duration = uint16_t(ms / 10), .parts = {square}}}});
    }
    const ts::Bytes sprite = ts::SolidSpriteChunk(32, kSquare, kSquare, 0x00FF00, 0, 0);
    if (animations) Write(Path(CheckNoticeAnimPath), ts::QlaSetFile(set, sprite));
    if (line) Write(Path(CheckNoticeLinePath), ts::PspFile({ts::SolidSpriteChunk(32, kLineWidth, 12, 0xFF0000, 0, 0)}));
    ticker_.Create(&scene_);
    ticker_.LoadCheckNotice(kRoot);
    strip_ = widget_test::MakeSurface(dd_, kStrip.right, kStrip.bottom);
    Blank();
  }
  static std::string Path(std::string p) {
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
  }
  // One frame of the strip at the current time on a black strip; what it shows: the
  // sub-animations by index (kAsFirstDigit + index at the first digit's place), then
  // kLine when any of the line shows.
  std::vector<int32_t> Frame() {
    Blank();
    DrawStrip();
    const std::vector<uint32_t> px = widget_test::ReadPixels(strip_);
    auto at = [&](int32_t x, int32_t y) { return px.at(size_t(y * kStrip.right + x)); };
    std::vector<int32_t> shown;
    for (int32_t i = 0; i < kSubAnimations; ++i) {
      if (at(kSpacing * (i + 1) + 1, 1) != 0) shown.push_back(i);
      if (at(kSpacing * (i + 1) - kFirstDigitShift + 1, 1) != 0) shown.push_back(kAsFirstDigit + i);
    }
    std::sort(shown.begin(), shown.end());
    bool line = false;
    for (int32_t x = kLineRect.left; x < kLineRect.right; ++x) line = line || at(x, kLineRect.top + 1) != 0;
    if (line) shown.push_back(kLine);
    return shown;
  }
  void Blank() {
    RECT all{0, 0, kStrip.right, kStrip.bottom};
    EXPECT_EQ(FillSurfaceRect(strip_, &all, 0, 0), S_OK);
  }
  BOOL DrawStrip() { return ticker_.Draw(strip_.Get(), kStrip); }
  bool Lit() {
    const std::vector<uint32_t> px = widget_test::ReadPixels(strip_);
    return std::any_of(px.begin(), px.end(), [](uint32_t p) { return p != 0; });
  }
  void After(uint32_t ms) { plat::sim::AdvanceClock(ms); }
  static constexpr GRect kStrip{0, 0, 800, 17};
  CCheckNotice ticker_;
  DDSurface strip_;
};

TEST_F(CheckNoticeStagesTest, NoticesBindHeadDigitsAndWarningByTypeAndTime) {
  WriteSet();
  struct Case {
    const char* notice;
    std::array<int32_t, 3> headAndDigits;  // head, first digit, second digit
    bool firstDigitPlays;
    int32_t stage;
  };
  const Case cases[] = {
      {"TYPE=0#TIME=3#MSG=x", {13, -1, 17}, false, CCheckNotice::kStageHeadWithWarning},
      {"TYPE=1#TIME=10", {0, 2, 1}, true, CCheckNotice::kStageHeadOnly},
      {"TYPE=0#TIME=7", {11, 2, 8}, false, CCheckNotice::kStageHeadOnly},
      {"XTYPE=1#TIME=4", {12, 2, 18}, false, CCheckNotice::kStageHeadOnly},
      {"TYPE=1#TIME=99", {0, 10, 10}, true, CCheckNotice::kStageHeadOnly},
  };
  for (const Case& c : cases) {
    ticker_.ParseNoticeText(c.notice);
    // The one-digit notices come after TIME=10: its tens digit stays bound, stopped.
    EXPECT_EQ(ticker_.BoundIndex(P::kHead), c.headAndDigits[0]) << c.notice;
    if (c.firstDigitPlays) {
      EXPECT_EQ(ticker_.BoundIndex(P::kFirstDigit), c.headAndDigits[1]) << c.notice;
    }
    EXPECT_EQ(ticker_.BoundIndex(P::kSecondDigit), c.headAndDigits[2]) << c.notice;
    EXPECT_EQ(ticker_.PlayerOf(P::kFirstDigit).IsPlaying(), c.firstDigitPlays) << c.notice;
    EXPECT_TRUE(ticker_.PlayerOf(P::kSecondDigit).IsPlaying()) << c.notice;
    EXPECT_EQ(ticker_.Stage(), c.stage) << c.notice;
  }
  ticker_.ParseNoticeText("TYPE=0#TIME=3");
  EXPECT_EQ((std::array{ticker_.BoundIndex(P::kIntro), ticker_.BoundIndex(P::kFirstLoop),
                        ticker_.BoundIndex(P::kOutro), ticker_.BoundIndex(P::kSecondLoop)}),
            (std::array{24, 26, 25, 27}));
  // A type other than 0 or 1 keeps the head of the notice before.
  ticker_.ParseNoticeText("TYPE=5#TIME=3");
  EXPECT_EQ(ticker_.BoundIndex(P::kHead), 13);
}

TEST_F(CheckNoticeStagesTest, TimesThatAreNotOneOrTwoDigitsStartNothing) {
  WriteSet();
  for (const char* time : {"x3", "-1", "123", " 3", "+3", "3a", "a"}) {
    ticker_.ParseNoticeText("TYPE=0#TIME=3");
    EXPECT_EQ(ticker_.ParseNoticeText(std::string("TYPE=0#TIME=") + time + "#MSG=m"), "") << time;
    EXPECT_EQ(std::tuple(ticker_.IsShown(), ticker_.Stage(), ticker_.NoticeTime()), std::tuple(0, 0, 0)) << time;
    EXPECT_TRUE(Frame().empty()) << time;
  }
}

TEST_F(CheckNoticeStagesTest, AWarningNoticeRunsHeadIntroLoopsWithTheLineAndOutro) {
  WriteSet();
  EXPECT_EQ(ticker_.ParseNoticeText("TYPE=0#TIME=3#MSG=x"), "x");
  EXPECT_EQ(Frame(), (std::vector{13, 17})) << "the short-time head and single digit";
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageHeadWithWarning);
  After(kHeadMs + 1);
  EXPECT_EQ(Frame(), (std::vector{24}));
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageIntro);
  After(kIntroMs + 1);
  EXPECT_EQ(Frame(), (std::vector{26, 27})) << "the line enters from the right";
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageLoops);
  EXPECT_EQ(ticker_.PlayerOf(P::kFirstLoop).PlayCount(), -1);
  EXPECT_EQ(ticker_.PlayerOf(P::kSecondLoop).PlayCount(), -1);
  After(kLineMs / 2);
  EXPECT_EQ(Frame(), (std::vector{26, 27, kLine}));
  After(kLineMs - 1 - kLineMs / 2);
  Frame();
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageLoops);
  After(2);
  EXPECT_EQ(Frame(), (std::vector{25}));
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageOutro);
  EXPECT_FALSE(ticker_.PlayerOf(P::kFirstLoop).IsPlaying());
  After(kOutroMs + 1);
  EXPECT_TRUE(Frame().empty());
  EXPECT_EQ(std::pair(ticker_.Stage(), ticker_.IsShown()), std::pair(0, 0));
}

TEST_F(CheckNoticeStagesTest, ATwoDigitTimeShowsItsTensLeftOfItsUnitsUnderTheHead) {
  WriteSet();
  ticker_.ParseNoticeText("TYPE=1#TIME=10");
  EXPECT_EQ(Frame(), (std::vector{0, 1, kAsFirstDigit + 2})) << "head, 0 and 1 as digits";
  // A single digit after it stands alone.
  ticker_.ParseNoticeText("TYPE=0#TIME=7");
  EXPECT_EQ(Frame(), (std::vector{8, 11}));
}

TEST_F(CheckNoticeStagesTest, UnboundWarningPlayersRestAtOnceSoAFirstLongNoticeEnds) {
  WriteSet();
  ticker_.ParseNoticeText("TYPE=0#TIME=7");
  EXPECT_EQ(ticker_.BoundIndex(P::kIntro), -1);
  After(kHeadMs + 1);
  Frame();
  // The unbound intro rested at once: the line runs with nothing around it.
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageLoops);
  After(kLineMs / 2);
  EXPECT_EQ(Frame(), (std::vector{kLine}));
  After(kLineMs / 2 + 1);
  Frame();
  EXPECT_EQ(std::pair(ticker_.Stage(), ticker_.IsShown()), std::pair(0, 0));
}

TEST_F(CheckNoticeStagesTest, ANewNoticeRestartsAtTheHeadAndStopEndsEveryStage) {
  WriteSet();
  ticker_.ParseNoticeText("TYPE=0#TIME=2");
  After(kHeadMs + 1);
  Frame();
  After(kIntroMs + 1);
  Frame();
  ASSERT_EQ(ticker_.Stage(), CCheckNotice::kStageLoops);
  ticker_.ParseNoticeText("TYPE=1#TIME=1");
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageHeadWithWarning);
  EXPECT_EQ(Frame(), (std::vector{12, 15})) << "the type-1 short head and its digit";

  const uint32_t toStage[] = {0, kHeadMs + 1, kIntroMs + 1, kLineMs + 1};
  for (uint32_t step = 0; step < std::size(toStage); ++step) {
    ticker_.ParseNoticeText("TYPE=0#TIME=3");
    for (uint32_t i = 0; i <= step; ++i) {
      After(toStage[i]);
      Frame();
    }
    ASSERT_NE(ticker_.Stage(), 0) << step;
    ticker_.StopNotice();
    EXPECT_EQ(std::pair(ticker_.Stage(), ticker_.IsShown()), std::pair(0, 0)) << step;
    for (int32_t p = 0; p < P::kPlayers; ++p) EXPECT_FALSE(ticker_.PlayerOf(P(p)).IsPlaying()) << step << "/" << p;
    EXPECT_EQ(ticker_.ScrollLine().CurrentIndex(), ticker_.ScrollLine().LineCount()) << step;
    EXPECT_TRUE(Frame().empty()) << step;
  }
}

TEST_F(CheckNoticeStagesTest, WithoutTheLineTheLoopsRunUntilStopped) {
  WriteSet(true, false);
  ticker_.ParseNoticeText("TYPE=0#TIME=3");
  for (uint32_t ms : {kHeadMs + 1, kIntroMs + 1, 60000u, 600000u}) {
    After(ms);
    Frame();
  }
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageLoops);
  ticker_.StopNotice();
  EXPECT_EQ(ticker_.Stage(), 0);
}

TEST_F(CheckNoticeStagesTest, WithoutTheSetNothingIsBoundAndNoticesStillEnd) {
  WriteSet(false, true);
  ticker_.ParseNoticeText("TYPE=1#TIME=12#MSG=m");
  for (int32_t p = 0; p < P::kPlayers; ++p) EXPECT_EQ(ticker_.BoundIndex(P(p)), -1) << p;
  // The unbound head rests at once: straight on to the line.
  Frame();
  EXPECT_EQ(ticker_.Stage(), CCheckNotice::kStageLoops);
  After(kLineMs + 1);
  Frame();
  EXPECT_EQ(ticker_.IsShown(), 0);
}

TEST_F(CheckNoticeStagesTest, DrawMarksTheStripDirtyOnlyWhileShownAndAnswersOne) {
  WriteSet();
  ticker_.SetDirty(0);
  EXPECT_EQ(DrawStrip(), 1);
  EXPECT_EQ(ticker_.IsDirty(), 0);
  EXPECT_FALSE(Lit());
  ticker_.ParseNoticeText("TYPE=0#TIME=3");
  for (int32_t frame = 0; frame < 3; ++frame) {
    ticker_.SetDirty(0);
    EXPECT_EQ(DrawStrip(), 1);
    EXPECT_EQ(ticker_.IsDirty(), 1) << frame;
    After(kHeadMs);
  }
  EXPECT_TRUE(Lit());
  // The widget's own visibility is not what decides.
  ticker_.Show(0);
  ticker_.SetDirty(0);
  DrawStrip();
  EXPECT_EQ(ticker_.IsDirty(), 1);
}

}  // namespace check_notice_stages_test
