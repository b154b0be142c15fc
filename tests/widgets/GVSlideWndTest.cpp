#include "widgets/GVSlideWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/winuser.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"

namespace gvslide_wnd_test {

using widget_test::BmpPicture;
using widget_test::PixelAt;

constexpr uint32_t kMagenta = 0xFF00FF;
// One colour per knob cell, 0xRRGGBB (the 32-bit desktop's pixel values too).
constexpr uint32_t kCellColour[GVSlideWnd::kKnobCells] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
// The volume slider: range, track and size of the options panel.
constexpr int32_t kMin = -5000, kMax = 0;
constexpr int32_t kTrackX = 6, kTrackY = 4, kLength = 100;
constexpr int32_t kWidth = 140, kHeight = 18;
const GPoint kPos(20, 30);

// A knob strip of four cells of w x h, each of its cell colour with a magenta centre.
std::string KnobBmp(int32_t cellW, int32_t h) {
  BmpPicture pic(cellW * GVSlideWnd::kKnobCells, h, 24);
  pic.pixels.resize(size_t(pic.width) * size_t(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < pic.width; ++x) {
      const bool centre = x % cellW == cellW / 2 && y == h / 2;
      pic.pixels[size_t(y * pic.width + x)] = centre ? kMagenta : kCellColour[x / cellW];
    }
  const std::vector<uint8_t> bytes = widget_test::WriteBmp(pic);
  return std::string(bytes.begin(), bytes.end());
}

class SlideWndTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    XResEntryMgr::Global().SetColorKey(kMagenta);
    dir.Write("knob.bmp", KnobBmp(25, 20));
    MakeVolume(s);
  }
  void TearDown() override {
    s.ReleaseImage();
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  // The volume slider with a 25 x 20 knob, at kPos, set to `value`.
  void MakeVolume(GVSlideWnd& w, int32_t value = kMax, const char* knob = "knob.bmp") {
    ASSERT_EQ(w.Create(kWidth, kHeight, dir / knob), 1);
    w.SetPos(kPos);
    w.SetTrack(0, kTrackX, kTrackY, kLength);
    w.SetRange(kMin, kMax);
    w.SetValue(value);
  }
  // A point `along` pixels along the track (widget coordinates of the parent).
  static GPoint Along(int32_t along, int32_t dy = 0) { return GPoint(kPos.x + kTrackX + along, kPos.y + kTrackY + dy); }
  static GPoint KnobCentre(GVSlideWnd& w) {
    const GRect k = w.GetKnobRect();
    return GPoint(kPos.x + k.left + k.Width() / 2, kPos.y + k.top + k.Height() / 2);
  }
  testing_support::TempDir dir;
  GVSlideWnd s;  // the volume slider at kMax
};

TEST_F(SlideWndTest, AClickOnTheTrackSetsTheValueOfThatPlace) {
  struct Case { int32_t before, along, position, value; } cases[] = {
      {kMax, 30, 1500, -3500}, {kMax, -5, 0, kMin}, {kMin, 114, 5000, kMax},
      {kMin, 100, 5000, kMax}, {kMax, 0, 0, kMin},  {kMax, 1, 50, -4950},
  };
  for (const Case& c : cases) {
    GVSlideWnd v;
    MakeVolume(v, c.before);
    v.SetDirty(0);
    EXPECT_EQ(v.OnLButtonDown(0, Along(c.along)), 1);
    EXPECT_EQ((std::vector<int32_t>{v.GetPosition(), v.GetValue(), v.GetState(), v.IsDirty()}),
              (std::vector<int32_t>{c.position, c.value, GVSlideWnd::kStateIdle, 1}))
        << c.along;
  }
}

TEST_F(SlideWndTest, TheKnobCentreSitsOnTheTrackAtThePositionsShareClampedToTheRange) {
  s.SetValue(-2500);
  EXPECT_EQ(s.GetKnobRect(), GRect(kTrackX - 12 + 50, kTrackY - 10, kTrackX + 13 + 50, kTrackY + 10));
  EXPECT_EQ(KnobCentre(s), Along(50));
  for (auto [value, position] : {std::pair{kMin - 1, 0}, {kMax + 1, kMax - kMin}}) {
    s.SetValue(value);
    EXPECT_EQ(s.GetPosition(), position);
  }
  s.SetRange(0, 100);  // a narrower range pulls the position in
  EXPECT_EQ(KnobCentre(s), Along(kLength));
  // A span of zero or a track without length keep the knob at the track's origin.
  s.SetRange(7, 7);
  s.SetPosition(3);
  EXPECT_EQ(s.GetPosition(), 0);
  s.OnLButtonDown(0, Along(60));
  EXPECT_EQ(KnobCentre(s), Along(0));
  for (int32_t length : {0, -40}) {
    s.SetRange(kMin, kMax);
    s.SetValue(-1000);
    s.SetTrack(0, kTrackX, kTrackY, length);
    EXPECT_EQ(s.GetTrackLength(), 0);
    EXPECT_EQ(s.OnLButtonDown(0, Along(2, 12)), 1);  // in the click area, below the knob
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(KnobCentre(s), Along(0));
  }
}

TEST_F(SlideWndTest, ADragFollowsThePointerClampedWhileTheButtonIsHeld) {
  s.SetValue(-2500);
  ASSERT_EQ(s.OnLButtonDown(MK_LBUTTON, KnobCentre(s)), 1);
  EXPECT_EQ(s.GetState(), GVSlideWnd::kStateDrag);
  EXPECT_EQ(s.GetPosition(), 2500);  // grabbing the knob does not move it
  // Far outside the click area, above and to the left: the knob stays at the start.
  s.OnMouseMove(MK_LBUTTON, GPoint(-500, -300));
  EXPECT_EQ(s.GetValue(), kMin);
  s.OnMouseMove(MK_LBUTTON, Along(20, 90));
  EXPECT_EQ(s.GetPosition(), 1000);
  s.OnMouseMove(MK_LBUTTON, Along(400));
  EXPECT_EQ(s.GetValue(), kMax);
  EXPECT_EQ(s.GetState(), GVSlideWnd::kStateDrag);
  // A move without the button ends the drag where the knob is.
  s.SetDirty(0);
  s.OnMouseMove(0, Along(10));
  EXPECT_EQ((std::vector<int32_t>{s.GetState(), s.GetValue(), s.IsDirty()}),
            (std::vector<int32_t>{GVSlideWnd::kStateIdle, kMax, 1}));
}

TEST_F(SlideWndTest, HiddenOrDisabledSlidersTakeNoInput) {
  for (int32_t hidden : {0, 1}) {
    GVSlideWnd v;
    MakeVolume(v, -2500);
    if (hidden) v.Show(0);
    else v.Enable(0);
    const GPoint on = KnobCentre(v);
    EXPECT_EQ((std::vector<BOOL>{v.OnLButtonDown(MK_LBUTTON, on), v.OnMouseMove(MK_LBUTTON, Along(0)),
                                 v.OnLButtonUp(0, on)}),
              (std::vector<BOOL>{0, 0, 0}));
    EXPECT_EQ(std::pair(v.GetState(), v.GetPosition()), std::pair(int32_t(GVSlideWnd::kStateIdle), 2500));
  }
}

TEST_F(SlideWndTest, CreateRefusesNoSizeAMissingKnobAndKnobsThatAreNotBmp) {
  // Every knob file holds a valid bitmap: only the name decides.
  const struct { const char* name; BOOL ok; } cases[] = {
      {"knob.tga", 0}, {"knob.psd", 0}, {"knob.Bmp", 1}, {"knob.BMP", 1},
      {"knob", 0},     {"knob.bmp.tga", 0}, {"knob.", 0}};
  for (const auto& c : cases) {
    dir.Write(c.name, KnobBmp(25, 20));
    GVSlideWnd v;
    EXPECT_EQ(v.Create(kWidth, kHeight, dir / c.name), c.ok) << c.name;
    EXPECT_EQ(v.GetKnobImage() != GVWnd::kNoImage, c.ok == 1) << c.name;
  }
  GVSlideWnd v;
  EXPECT_EQ(v.Create(0, kHeight, dir / "knob.bmp") + v.Create(kWidth, -1, dir / "knob.bmp"), 0);
  EXPECT_EQ(v.GetKnobImage(), GVWnd::kNoImage);
  EXPECT_EQ(v.Create(kWidth, kHeight, dir / "missing.bmp"), 0);
  EXPECT_EQ(v.GetLastResult(), E_FAIL);
}

TEST_F(SlideWndTest, TheClickAreaOfBothOrientations) {
  // Horizontal: half the knob and 3 pixels beyond the track's ends, the knob's height
  // and 3 pixels above and below.
  EXPECT_EQ(s.GetHitRect(), GRect(6 - 12 - 3, 4 - 10 - 3, 6 + 12 + 100 + 3, 4 - 10 - 3 + 20 + 6));
  // Vertical: half the knob's width on every side.
  s.SetTrack(1, kTrackX, kTrackY, kLength);
  EXPECT_EQ(s.GetHitRect(), GRect(6 - 12 - 3, 4 - 12 - 3, 6 + 12 + 3, 4 + 12 + 100 + 3));
  s.SetValue(-2500);
  EXPECT_EQ(KnobCentre(s), GPoint(kPos.x + kTrackX, kPos.y + kTrackY + 50));
  s.OnLButtonDown(0, GPoint(kPos.x + kTrackX, kPos.y + kTrackY + 80));
  EXPECT_EQ(s.GetPosition(), 4000);
  // Outside the area a click changes nothing and marks nothing.
  s.SetDirty(0);
  EXPECT_EQ(s.OnLButtonDown(0, GPoint(kPos.x + kTrackX + 22, kPos.y + kTrackY + 80)), 1);
  EXPECT_EQ(std::pair(s.GetPosition(), s.IsDirty()), std::pair(4000, 0));
}

TEST_F(SlideWndTest, HoverAndButtonUpFollowThePointerOverTheKnob) {
  s.SetValue(-2500);
  const GPoint on = KnobCentre(s), off = Along(-4);
  std::vector<int32_t> states;
  for (GPoint p : {off, on, off}) s.OnMouseMove(0, p), states.push_back(s.GetState());
  for (GPoint p : {on, off}) {
    s.OnLButtonDown(MK_LBUTTON, on);
    EXPECT_EQ(s.OnLButtonUp(0, p), 1);
    states.push_back(s.GetState());
  }
  using S = GVSlideWnd;
  EXPECT_EQ(states, (std::vector<int32_t>{S::kStateIdle, S::kStateHover, S::kStateIdle, S::kStateHover, S::kStateIdle}));
}

TEST_F(SlideWndTest, ABackgroundGivesTheSizeAndReleaseDropsItWithTheKnob) {
  s.ReleaseImage();  // shares the knob
  XResEntryMgr& m = XResEntryMgr::Global();
  dir.Write("back.bmp", KnobBmp(10, 6));
  GVSlideWnd v;
  EXPECT_EQ(v.CreateWithBackground(dir / "back.bmp", dir / "knob.tga"), 0);
  ASSERT_EQ(v.CreateWithBackground(dir / "back.bmp", dir / "knob.bmp"), 1);
  EXPECT_EQ(std::pair(v.GetRect(), v.GetKnobSize()), std::pair(GRect(0, 0, 40, 6), GSize(25, 20)));
  const int32_t knob = v.GetKnobImage(), back = v.GetImage();
  v.ReleaseImage();
  EXPECT_EQ(v.GetKnobImage(), GVWnd::kNoImage);
  EXPECT_TRUE(m.EntryAt(knob) == nullptr && m.EntryAt(back) == nullptr);
  int32_t again = GVWnd::kNoImage;
  {
    GVSlideWnd t;
    ASSERT_EQ(t.Create(kWidth, kHeight, dir / "knob.bmp"), 1);
    ASSERT_EQ(t.Create(kWidth, kHeight, dir / "knob.bmp"), 1);  // the first knob is given back
    again = t.GetKnobImage();
    EXPECT_EQ(m.EntryAt(again)->refCount, 1u);
  }
  EXPECT_EQ(m.EntryAt(again), nullptr);
}

TEST_F(SlideWndTest, EachStateDrawsItsOwnCellOpaque) {
  s.SetValue(-2500);
  const DDSurface target = widget_test::MakeSurface(dd_, 200, 80);
  const GRect k = s.GetKnobRect() + GSize(kPos.x, kPos.y);
  auto drawState = [&](int32_t state) {
    ASSERT_TRUE(ClearSurface(target, 0));
    ASSERT_EQ(s.Draw(target.Get(), GRect(0, 0, 200, 80)), 1);
    EXPECT_EQ(s.GetLastResult(), S_OK);
    // The magenta in the keyless knob is drawn like any colour.
    EXPECT_EQ((std::vector<uint32_t>{PixelAt(target, k.left, k.top), PixelAt(target, k.right - 1, k.bottom - 1),
                                     PixelAt(target, k.right, k.top), PixelAt(target, k.left + 12, k.top + 10)}),
              (std::vector<uint32_t>{kCellColour[state], kCellColour[state], 0, kMagenta}))
        << state;
  };
  drawState(GVSlideWnd::kStateIdle);
  s.OnMouseMove(0, KnobCentre(s));
  ASSERT_EQ(s.GetState(), GVSlideWnd::kStateHover);
  drawState(GVSlideWnd::kStateHover);
  s.OnLButtonDown(MK_LBUTTON, KnobCentre(s));
  ASSERT_EQ(s.GetState(), GVSlideWnd::kStateDrag);
  drawState(GVSlideWnd::kStateDrag);
  // Hidden: nothing drawn, still a success; no target is a failure.
  ASSERT_TRUE(ClearSurface(target, 0));
  s.Show(0);
  EXPECT_EQ(s.Draw(target.Get(), GRect(0, 0, 200, 80)), 1);
  EXPECT_EQ(PixelAt(target, k.left, k.top), 0u);
  s.Show(1);
  EXPECT_EQ(s.Draw(nullptr, GRect(0, 0, 200, 80)), 0);
}

TEST_F(SlideWndTest, TheOptionsPanelKnobIsDrawnWholeAboveTheRectangle) {
  dir.Write("slidebtn.bmp", KnobBmp(12, 12));
  MakeVolume(s, kMax, "slidebtn.bmp");
  EXPECT_EQ(s.GetKnobRect(), GRect(100, -2, 112, 10));
  const DDSurface target = widget_test::MakeSurface(dd_, 200, 80);
  ASSERT_TRUE(ClearSurface(target, 0));
  // A clip that misses the knob does not stop it.
  ASSERT_EQ(s.Draw(target.Get(), GRect(0, 0, 1, 1)), 1);
  for (int32_t y = kPos.y - 4; y < kPos.y + kHeight; ++y)
    for (int32_t x = kPos.x + 90; x < kPos.x + 120; ++x)
      EXPECT_EQ(PixelAt(target, x, y) != 0, x >= kPos.x + 100 && x < kPos.x + 112 && y >= kPos.y - 2 && y < kPos.y + 10)
          << x << "," << y;
}

}  // namespace gvslide_wnd_test
