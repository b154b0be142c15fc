#include "widgets/GVAnimWnd.h"

#include <gtest/gtest.h>

#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim_display.h"
#include "support/GifWriter.h"
#include "support/TempDir.h"
#include "base/DDSurfacePixel.h"
#include "widgets/GVGifWnd.h"
#include "WidgetTestSupport.h"

namespace gvanim_wnd_test {

using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;
using widget_test::DisplayFormat;

constexpr uint8_t kClear = 7;  // transparent index of the test pictures

// `frames` frames of w x h, frame f filled with index f + 1 except a clear first pixel,
// each with `delay` hundredths.
GifDesc Animation(uint16_t w, uint16_t h, size_t frames, uint16_t delay) {
  GifDesc g;
  g.width = w, g.height = h;
  g.globalTable = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF, 0x808080};
  for (size_t f = 0; f < frames; ++f) {
    GifFrameDesc d;
    d.width = w, d.height = h;
    d.indices.assign(size_t(w) * h, uint8_t(f + 1));
    d.indices[0] = kClear;
    d.control = d.transparent = true;
    d.transparentIndex = kClear;
    d.delay = delay;
    g.frames.push_back(d);
  }
  return g;
}

class GVAnimWndTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Hand(DisplayFormat::Xrgb8888);
  }
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  // A fresh display of the format, handed to the manager as the window does.
  void Hand(DisplayFormat f) {
    XResEntryMgr::Global().ReleaseAll();
    UseDesktop(f);
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    key_ = GetDisplayColorKey(dd_);
    XResEntryMgr::Global().SetColorKey(key_);
  }
  std::string Write(const std::string& name, const GifDesc& g) {
    const auto bytes = EncodeGif(g);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    return dir_ / name;
  }
  // Four 2 x 1 frames of 100 ms, stepped by 50 ms.
  void LoadFour(GVAnimWnd& w) {
    ASSERT_EQ(w.LoadGif(Write("four.gif", Animation(2, 1, 4, 10)), GSize(2, 1), key_), 1);
    w.SetStep(50);
  }
  // Ticks until a frame is selected; the number of ticks it took.
  static int Ticks(GVAnimWnd& w) {
    for (int n = 1; n < 100; ++n)
      if (w.AdvanceFrame()) return n;
    return 0;
  }
  // Shown frame, elapsed time and play mode.
  static std::vector<int32_t> State(GVAnimWnd& w) { return {w.GetShownFrame(), w.GetElapsed(), w.GetPlayMode()}; }
  testing_support::TempDir dir_;
  COLORREF key_ = 0;
};

TEST_F(GVAnimWndTest, NameHeldByAnEntryWithoutSurfaceReportsFailure) {
  const int32_t held = XResEntryMgr::Global().LoadEntry(2, "pic.bmp", GSize(), key_);
  ASSERT_NE(held, -1);
  GVAnimWnd w;
  EXPECT_EQ(w.LoadGif("PIC.bmp", GSize(2, 1), key_), 0);
  EXPECT_EQ(w.GetLastResult(), E_FAIL);
  EXPECT_EQ(w.GetImage(), held);
}

TEST_F(GVAnimWndTest, FrameChangesWhenElapsedTimePassesTheDelay) {
  GVAnimWnd w;
  LoadFour(w);
  EXPECT_EQ(Ticks(w), 1);  // no delay yet: frame 0 at once
  EXPECT_EQ(w.GetFrameDelay(), 100);
  // 50 and 100 do not pass a delay of 100; 150 does.
  for (int32_t frame = 1; frame < 4; ++frame) {
    EXPECT_EQ(Ticks(w), 3);
    EXPECT_EQ(w.GetShownFrame(), frame);
    EXPECT_EQ(w.GetSourceRect(), GRect(2 * frame, 0, 2 * frame + 2, 1));
  }
}

TEST_F(GVAnimWndTest, PlayModesDecideWhatFollowsTheLastFrame) {
  // result: of the tick after the last frame; shown: the frame then on screen.
  struct Case { int32_t mode; BOOL hideAtEnd, result; int32_t shown, modeAfter; BOOL visible; };
  const Case cases[] = {
      {GVAnimWnd::kLoop, 0, 1, 0, GVAnimWnd::kLoop, 1},
      {GVAnimWnd::kLoop, 1, 1, 0, GVAnimWnd::kLoop, 1},
      {GVAnimWnd::kOnceToLast, 0, 0, 3, GVAnimWnd::kStopped, 1},
      {GVAnimWnd::kOnceToLast, 1, 0, 3, GVAnimWnd::kStopped, 0},
      {GVAnimWnd::kOnceToFirst, 0, 1, 0, GVAnimWnd::kStopped, 1},
      {GVAnimWnd::kOnceToFirst, 1, 1, 0, GVAnimWnd::kStopped, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " hide " << c.hideAtEnd);
    GVAnimWnd w;
    LoadFour(w);
    w.SetStep(500);  // every tick passes the delay
    w.SetPlayMode(c.mode);
    w.SetHideAtEnd(c.hideAtEnd);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(w.AdvanceFrame(), 1);
    ASSERT_EQ(w.GetShownFrame(), 3);
    EXPECT_EQ(w.AdvanceFrame(), c.result);
    EXPECT_EQ(w.GetSourceRect().left, 2 * c.shown);
    EXPECT_EQ((std::vector<int32_t>{w.GetShownFrame(), w.GetPlayMode(), w.IsVisible()}),
              (std::vector<int32_t>{c.shown, c.modeAfter, c.visible}));
    if (c.modeAfter == GVAnimWnd::kStopped) {
      EXPECT_EQ(w.AdvanceFrame(), 0);
    }
  }
}

TEST_F(GVAnimWndTest, HiddenAnimationIsFrozen) {
  GVAnimWnd w;
  LoadFour(w);
  Ticks(w);
  w.AdvanceFrame();
  ASSERT_EQ(w.GetElapsed(), 50);
  w.Show(0);
  w.SetDirty(0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(w.AdvanceFrame(), 0);
  EXPECT_EQ(State(w), (std::vector<int32_t>{0, 50, GVAnimWnd::kLoop}));
  EXPECT_FALSE(w.IsDirty());
  w.Show(1);
  EXPECT_EQ(w.AdvanceFrame(), 0);
  EXPECT_EQ(w.AdvanceFrame(), 1);
  EXPECT_EQ(w.GetShownFrame(), 1);
}

TEST_F(GVAnimWndTest, FrameWithoutDelayIsShownButReportsNoChange) {
  // A still picture is one frame without delays; made two frames long, its second
  // cell has no delay either.
  GVAnimWnd w;
  ASSERT_EQ(w.LoadGif(Write("still.gif", Animation(2, 1, 1, 10)), GSize(1, 1), key_), 1);
  auto* entry = const_cast<XGifEntry*>(AsGifEntry(w.GetEntry()));
  ASSERT_NE(entry, nullptr);
  ASSERT_EQ(entry->GetDelayCount(), 0);
  entry->SetFrameCount(2);
  for (int32_t frame : {0, 1}) {
    EXPECT_EQ(w.AdvanceFrame(), 0);
    EXPECT_EQ(w.GetShownFrame(), frame);
  }
  EXPECT_EQ(w.GetSourceRect(), GRect(1, 0, 2, 1));
  EXPECT_EQ(w.GetFrameDelay(), 0);
}

TEST_F(GVAnimWndTest, GoldenFramesOverABackground) {
  struct Case { DisplayFormat format; const char* first; const char* later; };
  // Frame 0 (red) after the first tick, frame 2 (blue) six ticks later; the clear
  // corner pixel shows the background.
  const Case cases[] = {
      {DisplayFormat::Rgb565, "333b6443363958e7", "2272811681a19f3f"},
      {DisplayFormat::Rgb555, "920b6cac00ba6ff8", "8489d8a3417c6f90"},
      {DisplayFormat::Xrgb8888, "7e4b8766d2f9ce58", "e40f79fcd9d150f0"},
  };
  for (const Case& c : cases) {
    const std::string format = widget_test::FormatName(c.format);
    SCOPED_TRACE(format);
    Hand(c.format);
    DDSurface back = widget_test::MakeSurface(dd_, 10, 6);
    const DWORD background = MatchSurfaceColor(back, 0x604020);
    GVAnimWnd w;
    ASSERT_EQ(w.LoadGif(Write("golden.gif", Animation(4, 3, 4, 10)), GSize(4, 3), key_), 1);
    w.SetPos(GPoint(3, 2));
    w.SetStep(50);
    auto frameAt = [&](int ticks, const char* name, const char* hash) {
      for (int i = 0; i < ticks; ++i) w.AdvanceFrame();
      ASSERT_TRUE(ClearSurface(back, background));
      w.Draw(back.Get(), GRect(0, 0, 10, 6));
      const auto check = plat::sim::CheckFrame(plat::sim::CaptureSurface(back.Get()), name, hash);
      EXPECT_TRUE(check.matches) << name << " " << check.actualHash << " " << check.actualPath;
    };
    frameAt(1, ("anim_first_" + format).c_str(), c.first);
    frameAt(6, ("anim_later_" + format).c_str(), c.later);
  }
}

TEST_F(GVAnimWndTest, GifWidgetTakesTheWholeStripAndKeepsItsValue) {
  GVGifWnd w;
  ASSERT_EQ(w.LoadGif(Write("strip.gif", Animation(3, 2, 4, 10)), 42), 1);
  EXPECT_EQ(w.GetRect(), GRect(0, 0, 12, 2));
  EXPECT_EQ(w.GetValue(), 42);
  // Each request decodes again: the widget holds an entry of its own.
  GVGifWnd other;
  ASSERT_EQ(other.LoadGif(dir_ / "strip.gif", 0), 1);
  EXPECT_NE(other.GetImage(), w.GetImage());
  EXPECT_EQ((std::vector<BOOL>{other.HitTest(0, 0, 0), other.HitTest(1, 0, 0)}), (std::vector<BOOL>{0, 1}));
  EXPECT_EQ(w.LoadGif(dir_ / "absent.gif", 7), 0);
  EXPECT_FALSE(w.HasImage());
  XResEntryMgr::Global().LoadEntry(2, "held.bmp", GSize(), key_);
  EXPECT_EQ(w.LoadGif("held.bmp", 7), 0);
  EXPECT_EQ(w.GetLastResult(), E_FAIL);
}

TEST_F(GVAnimWndTest, RewindAndStop) {
  GVAnimWnd w;
  LoadFour(w);
  w.SetStep(500);
  for (int i = 0; i < 3; ++i) w.AdvanceFrame();
  ASSERT_EQ(w.GetShownFrame(), 2);
  w.SetDirty(0);
  EXPECT_EQ(w.Stop(0), 1);
  EXPECT_EQ(w.GetPlayMode(), GVAnimWnd::kStopped);
  EXPECT_EQ(w.GetShownFrame(), 2);
  EXPECT_EQ(w.AdvanceFrame(), 0);
  EXPECT_EQ(w.Stop(1), 1);
  EXPECT_TRUE(w.IsDirty());
  EXPECT_EQ(w.GetShownFrame(), 0);
  EXPECT_EQ(w.GetNextFrame(), 0);
  EXPECT_EQ(w.GetElapsed(), 0);
  EXPECT_EQ(w.GetFrameDelay(), 100);
  EXPECT_EQ(w.GetSourceRect(), GRect(0, 0, 2, 1));
  // Frame 0 is shown again for its delay before frame 0 is selected as the next.
  w.SetPlayMode(GVAnimWnd::kLoop);
  w.SetStep(50);
  EXPECT_EQ(Ticks(w), 3);
  EXPECT_EQ(w.GetShownFrame(), 0);
}

}  // namespace gvanim_wnd_test
