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

}  // namespace gveffect_anim_wnd_test
