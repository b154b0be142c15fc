#include "widgets/GVEffectAnimWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/XResEntryMgr.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "support/PictureFileWriters.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"

namespace gveffect_anim_wnd_test {

using testing_support::TgaFile;
using testing_support::TgaPicture;

constexpr int32_t kRows = 2, kColumns = 5;
constexpr int32_t kCellW = 8, kCellH = 6;
constexpr int32_t kInterval = 100;

// A 32-bit sheet of kRows x kColumns cells, each cell one opaque colour.
std::string Sheet(int32_t rows = kRows, int32_t columns = kColumns) {
  TgaPicture pic;
  pic.width = static_cast<int16_t>(columns * kCellW);
  pic.height = static_cast<int16_t>(rows * kCellH);
  // Rows are stored bottom row first.
  for (int32_t y = pic.height - 1; y >= 0; --y)
    for (int32_t x = 0; x < pic.width; ++x)
      pic.pixels.push_back(0xFF000000u | uint32_t((y / kCellH) * 16 + x / kCellW + 1));
  const testing_support::Bytes bytes = TgaFile(pic);
  return std::string(bytes.begin(), bytes.end());
}

class EffectAnimWndTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    dir.Write("sheet.tga", Sheet());
  }
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  void Make(GVEffectAnimWnd& w, int32_t interval) {
    ASSERT_EQ(w.Create(dir / "sheet.tga", kRows, kColumns, interval, 1), 1);
  }
  // Current frame, play mode and visibility.
  static std::vector<int32_t> State(GVEffectAnimWnd& w) { return {w.GetCurrentFrame(), w.GetPlayMode(), w.IsVisible()}; }
  // The results of `calls` step-mode AdvanceFrame calls.
  static std::vector<BOOL> Calls(GVEffectAnimWnd& w, int32_t calls) {
    std::vector<BOOL> out;
    for (int32_t i = 0; i < calls; ++i) out.push_back(w.AdvanceFrame());
    return out;
  }
  testing_support::TempDir dir;
};

TEST_F(EffectAnimWndTest, ALateTimedCallStepsEveryDueFrameAlsoAcrossTheClockWrap) {
  for (uint32_t base : {1000u, 0xFFFFFF00u}) {
    plat::sim::SetTickBase(base);
    GVEffectAnimWnd w;
    Make(w, kInterval);
    w.SetPlayMode(GVEffectAnimWnd::kPlayLoop);
    w.SetNextFrameTime(base + kInterval);
    SCOPED_TRACE(base);
    EXPECT_EQ(w.AdvanceFrame(), 0);
    plat::sim::AdvanceClock(kInterval);  // due now, not yet past
    EXPECT_EQ(w.AdvanceFrame(), 0);
    plat::sim::AdvanceClock(kInterval * 5 / 2);  // 2.5 durations late
    EXPECT_EQ(w.AdvanceFrame(), 1);
    EXPECT_EQ(std::pair(w.GetCurrentFrame(), w.GetNextFrameTime()), std::pair(3, timeGetTime() + kInterval));
    // Each frame's own duration decides the next time.
    w.SetFrameDuration(0, 4, 40);
    plat::sim::AdvanceClock(kInterval + 1);
    EXPECT_EQ(w.AdvanceFrame(), 1);
    EXPECT_EQ(std::pair(w.GetCurrentFrame(), w.GetNextFrameTime()), std::pair(4, timeGetTime() + 40));
  }
}

TEST_F(EffectAnimWndTest, ATimedPlayEndsWhenItsFramesRunOutWhileLate) {
  plat::sim::SetTickBase(5000);
  GVEffectAnimWnd w;
  Make(w, kInterval);
  w.SetHideAtEnd(1);
  w.SetPlayMode(GVEffectAnimWnd::kPlayOnce);
  w.SetNextFrameTime(5000);
  plat::sim::AdvanceClock(kInterval * 4);  // five frames due, four left
  EXPECT_EQ(w.AdvanceFrame(), 0);
  EXPECT_EQ(State(w), (std::vector<int32_t>{kColumns - 1, GVEffectAnimWnd::kStopped, 0}));
  EXPECT_EQ(w.GetNextFrameTime(), 0u);
}

TEST_F(EffectAnimWndTest, AFarOverdueClockOrAZeroDurationStepsWithoutLooping) {
  plat::sim::SetTickBase(0x7FFFFFF0u);
  GVEffectAnimWnd w;
  Make(w, 1);
  w.SetPlayMode(GVEffectAnimWnd::kPlayCounted);
  w.SetRepeatLimit(kColumns * 1000);
  // Next-frame time 0: about two thousand million steps are due.
  EXPECT_EQ(w.AdvanceFrame(), 0);  // the limit of passes is reached on the way
  EXPECT_EQ(w.GetCurrentFrame(), kColumns - 1);
  GVEffectAnimWnd z;
  Make(z, 0);
  z.SetPlayMode(GVEffectAnimWnd::kPlayLoop);
  z.SetNextFrameTime(0x7FFFFF00u);
  EXPECT_EQ(z.AdvanceFrame(), 1);
  // A duration of 0 counts as one step.
  EXPECT_EQ(std::pair(z.GetCurrentFrame(), z.GetNextFrameTime()), std::pair(1, timeGetTime()));
}

TEST_F(EffectAnimWndTest, CreateCutsTheSheetAndShowsTheFirstFrame) {
  GVEffectAnimWnd w;
  Make(w, kInterval);
  EXPECT_EQ(w.GetFrameSize(), GSize(kCellW, kCellH));
  EXPECT_EQ(w.GetSourceRect(), GRect(0, 0, kCellW, kCellH));
  EXPECT_EQ(w.GetRect(), GRect(0, 0, kCellW, kCellH));
  EXPECT_EQ(w.GetStepMode(), 0);
  EXPECT_EQ(w.GetFrameDuration(), uint32_t(kInterval));
  EXPECT_EQ(w.GetAlphaMode(), 1);  // a 32-bit sheet brings its alpha plane
  EXPECT_EQ(w.GetPlayMode(), GVEffectAnimWnd::kStopped);
  EXPECT_EQ(w.GetRepeatLimit(), GVEffectAnimWnd::kNoLimit);
  EXPECT_EQ(w.IsVisible(), 1);
  GVEffectAnimWnd hidden;
  ASSERT_EQ(hidden.Create(dir / "sheet.tga", kRows, kColumns, GVEffectAnimWnd::kStepInterval, 0), 1);
  EXPECT_EQ(hidden.IsVisible(), 0);
  EXPECT_EQ(hidden.GetStepMode(), 1);
}

TEST_F(EffectAnimWndTest, SetFrameMovesTheSourceToTheCellAndKeepsThePlace) {
  GVEffectAnimWnd w;
  Make(w, kInterval);
  w.SetPos(GPoint(30, 40));
  w.SetSequence(1);
  w.SetCurrentFrame(3);
  w.SetSequence(kRows);  // outside the grid: ignored
  w.SetCurrentFrame(-1);
  w.SetDirty(0);
  w.SetFrame();
  EXPECT_EQ(w.GetSourceRect(), GRect(3 * kCellW, kCellH, 4 * kCellW, 2 * kCellH));
  EXPECT_EQ(w.GetRect(), GRect(30, 40, 30 + kCellW, 40 + kCellH));
  EXPECT_EQ(w.IsDirty(), 1);
}

TEST_F(EffectAnimWndTest, TheShownCellIsWhatIsDrawn) {
  GVEffectAnimWnd w;
  Make(w, GVEffectAnimWnd::kStepInterval);
  w.SetPos(GPoint(4, 2));
  w.SetSequence(1);
  w.SetPlayMode(GVEffectAnimWnd::kPlayLoop);
  for (int32_t i = 0; i < 3; ++i) ASSERT_EQ(w.AdvanceFrame(), 1);
  const DDSurface target = widget_test::MakeSurface(dd_, 20, 12);
  ASSERT_TRUE(ClearSurface(target, 0));
  ASSERT_EQ(w.Draw(target.Get(), GRect(0, 0, 20, 12)), 1);
  EXPECT_EQ(widget_test::PixelAt(target, 4, 2), uint32_t(1 * 16 + 3 + 1));
  EXPECT_EQ(widget_test::PixelAt(target, 4 + kCellW - 1, 2 + kCellH - 1), uint32_t(1 * 16 + 3 + 1));
  EXPECT_EQ(widget_test::PixelAt(target, 4 + kCellW, 2), 0u);
}

TEST_F(EffectAnimWndTest, RefusedGridsAndSheets) {
  dir.Write("not-a-tga.tga", "BM not a picture");
  const struct {
    const char* file;
    int32_t rows, columns;
  } cases[] = {
      {"sheet.tga", 0, kColumns},   {"sheet.tga", kRows, 0},       {"sheet.tga", -1, -1},
      {"sheet.tga", kRows, 1000},   {"sheet.tga", 1000, kColumns}, {"missing.tga", kRows, kColumns},
      {"not-a-tga.tga", kRows, kColumns},
  };
  for (const auto& c : cases) {
    GVEffectAnimWnd w;
    EXPECT_EQ(w.Create(dir / c.file, c.rows, c.columns, kInterval, 1), 0) << c.file << " " << c.rows << "x" << c.columns;
    EXPECT_EQ(w.GetSequenceCount(), 0);
    // Nothing to step, whatever the owner sets.
    w.SetPlayMode(GVEffectAnimWnd::kPlayLoop);
    w.SetStepMode(1);
    EXPECT_EQ(w.AdvanceFrame(), 0);
  }
}

TEST_F(EffectAnimWndTest, PlayOnceInStepModeStopsOnTheLastFrame) {
  GVEffectAnimWnd w;
  Make(w, GVEffectAnimWnd::kStepInterval);
  EXPECT_EQ(w.AdvanceFrame(), 0);  // stopped
  w.SetPlayMode(GVEffectAnimWnd::kPlayOnce);
  EXPECT_EQ(Calls(w, 5), (std::vector<BOOL>{1, 1, 1, 1, 0}));
  EXPECT_EQ(w.GetCurrentFrame(), kColumns - 1);
  EXPECT_EQ(w.GetSourceRect().left, (kColumns - 1) * kCellW);
  EXPECT_EQ(w.GetPlayMode(), GVEffectAnimWnd::kStopped);
  EXPECT_EQ(w.IsVisible(), 1);
  EXPECT_EQ(w.AdvanceFrame(), 0);
}

TEST_F(EffectAnimWndTest, AnEndedPlayHidesTheWidgetWhenAsked) {
  GVEffectAnimWnd w;
  Make(w, GVEffectAnimWnd::kStepInterval);
  w.SetHideAtEnd(1);
  w.SetPlayMode(GVEffectAnimWnd::kPlayOnce);
  Calls(w, 4);
  EXPECT_EQ(w.IsVisible(), 1);
  EXPECT_EQ(w.AdvanceFrame(), 0);
  EXPECT_EQ(w.IsVisible(), 0);
  EXPECT_EQ(w.GetCurrentFrame(), kColumns - 1);
}

TEST_F(EffectAnimWndTest, CountedPlaysRepeatUpToTheLimitAndMinusOneLoops) {
  // A limit of two: frames 1..4, 0..4, then the end on frame 4; a limit of exactly one
  // ends on the first pass over the last frame.
  for (int32_t limit : {2, 1}) {
    GVEffectAnimWnd w;
    Make(w, GVEffectAnimWnd::kStepInterval);
    w.SetPlayMode(GVEffectAnimWnd::kPlayCounted);
    w.SetRepeatLimit(limit);
    std::vector<BOOL> expected(size_t(limit * kColumns - 1), 1);
    expected.push_back(0);
    EXPECT_EQ(Calls(w, limit * kColumns), expected) << limit;
    EXPECT_EQ(w.GetCurrentFrame(), kColumns - 1);
    EXPECT_EQ(w.GetRepeatsDone(), 0);
    EXPECT_EQ(w.GetPlayMode(), GVEffectAnimWnd::kStopped);
  }

  for (int32_t mode : {int32_t(GVEffectAnimWnd::kPlayCounted), int32_t(GVEffectAnimWnd::kPlayLoop), 7}) {
    GVEffectAnimWnd loop;
    Make(loop, GVEffectAnimWnd::kStepInterval);
    loop.SetPlayMode(mode);
    EXPECT_EQ(Calls(loop, 103), std::vector<BOOL>(103, 1)) << mode;
    EXPECT_EQ(loop.GetCurrentFrame(), 103 % kColumns) << mode;
    EXPECT_EQ(loop.GetPlayMode(), mode);
  }
}

}  // namespace gveffect_anim_wnd_test
