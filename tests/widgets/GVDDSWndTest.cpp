#include "widgets/GVDDSWnd.h"

#include <gtest/gtest.h>

#include <vector>

#include "WidgetTestSupport.h"
#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "support/TempDir.h"
#include "base/DDSurfacePixel.h"
#include "widgets/GVWS.h"

namespace widget_test {
namespace {

class GVDDSWndTest : public DisplayTest, public testing::WithParamInterface<DisplayFormat> {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    UseDesktop(GetParam());
    mgr().SetDirectDraw(dd_.Get());
    key_ = Px(255, 0, 255);
    mgr().SetColorKey(key_);
  }
  void TearDown() override {
    mgr().ReleaseAll();
    DisplayTest::TearDown();
  }
  static XResEntryMgr& mgr() { return XResEntryMgr::Global(); }
  uint32_t Px(uint8_t r, uint8_t g, uint8_t b) const { return DevicePixel(GetParam(), r, g, b); }
  bool Sixteen() const { return GetParam() != DisplayFormat::Xrgb8888; }
  // A blank picture of w x h whose pixel (x, y) is pixels[y * w + x].
  void MakePicture(GVDDSWnd& wnd, int32_t w, int32_t h, const std::vector<uint32_t>& pixels, COLORREF key) {
    ASSERT_EQ(wnd.CreateBlank(SIZE{w, h}, key), 1);
    const DDSurface s = wnd.GetSurface();
    ASSERT_TRUE(s);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) SetSurfacePixel(s, x, y, pixels[size_t(y * w + x)]);
  }
  // Distinct opaque colours, the key at the listed positions.
  std::vector<uint32_t> Pattern(int32_t w, int32_t h, std::vector<GPoint> keyed = {}) {
    std::vector<uint32_t> px;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) px.push_back(Px(uint8_t(16 + 24 * x), uint8_t(40 + 48 * y), 64));
    for (GPoint p : keyed) px[size_t(p.y * w + p.x)] = key_;
    return px;
  }
  DDSurface Target(uint32_t fill) {
    DDSurface t = MakeSurface(dd_, 40, 30);
    ClearSurface(t, fill);
    return t;
  }
  uint32_t key_ = 0;
};

TEST_P(GVDDSWndTest, FullTransparencyLeavesSixteenBitTargetsInEveryMode) {
  for (int32_t mode : {GVDDSWnd::kDrawPlain, GVDDSWnd::kDrawStretch, GVDDSWnd::kDrawTile}) {
    GVDDSWnd w;
    MakePicture(w, 4, 3, Pattern(4, 3), GVWnd::kNoColorKey);
    w.SetRect(GRect(2, 2, 14, 11));
    w.SetDrawMode(mode);
    w.SetOpacity(0);
    const uint32_t bg = Px(200, 100, 50);
    DDSurface t = Target(bg);
    const std::vector<uint32_t> before = ReadPixels(t);
    ASSERT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);
    EXPECT_EQ(w.GetLastResult(), S_OK);
    const std::vector<uint32_t> after = ReadPixels(t);
    if (Sixteen()) {
      EXPECT_EQ(after, before) << "mode " << mode;
    } else {
      for (size_t i = 0; i < after.size(); ++i)
        for (int32_t shift : {0, 8, 16})
          ASSERT_LE(std::abs(int32_t(after[i] >> shift & 255) - int32_t(before[i] >> shift & 255)), 1);
    }
  }
}

TEST_P(GVDDSWndTest, TilesStayAlignedToTheTargetWhenTheWidgetMovesLessThanATile) {
  GVDDSWnd w;
  const std::vector<uint32_t> px = Pattern(3, 2);
  MakePicture(w, 3, 2, px, GVWnd::kNoColorKey);
  w.SetTile();
  for (GRect r : {GRect(1, 1, 20, 12), GRect(2, 2, 21, 13), GRect(4, 3, 11, 8)}) {
    w.SetRect(r);
    DDSurface t = Target(Px(1, 2, 3));
    ASSERT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x)
        ASSERT_EQ(PixelAt(t, x, y), px[size_t((y % 2) * 3 + x % 3)]) << r << " at " << x << "," << y;
    EXPECT_EQ(PixelAt(t, r.right, r.top), Px(1, 2, 3));
  }
}

// A picture's key pixels show what lies below whichever way the widget draws it (plain,
// stretched or tiled: the blits keyed by the source), and no key colour reaches the target.
TEST_P(GVDDSWndTest, KeyPixelsShowTheTargetInEveryDrawMode) {
  const std::vector<GPoint> keyed = {{1, 0}, {0, 1}, {2, 1}};
  const uint32_t bg = Px(200, 100, 50);
  for (int32_t mode : {GVDDSWnd::kDrawPlain, GVDDSWnd::kDrawStretch, GVDDSWnd::kDrawTile}) {
    GVDDSWnd w;
    const std::vector<uint32_t> px = Pattern(3, 2, keyed);
    MakePicture(w, 3, 2, px, key_);
    // Tiles repeat the picture; the others draw it once at its own size.
    const GRect r = mode == GVDDSWnd::kDrawTile ? GRect(3, 2, 15, 10) : GRect(3, 2, 6, 4);
    w.SetRect(r);
    w.SetDrawMode(mode);
    DDSurface t = Target(bg);
    ASSERT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) {
        const uint32_t own = px[size_t(((y - r.top) % 2) * 3 + (x - r.left) % 3)];
        ASSERT_EQ(PixelAt(t, x, y), own == key_ ? bg : own) << "mode " << mode << " at " << x << "," << y;
      }
  }
}

TEST_P(GVDDSWndTest, FailedBlitKeepsDrawSucceedingWithItsResultButAFailedFillFails) {
  // The hardware modes keep the blit's word, the software path (opacity 50) its lock
  // failure; a failing base fill makes the draw fail.
  const struct { int32_t mode, opacity; uint32_t fill; BOOL drawn; HRESULT result; } cases[] = {
      {GVDDSWnd::kDrawPlain, 100, GVWnd::kNoFill, 1, DDERR_WASSTILLDRAWING},
      {GVDDSWnd::kDrawStretch, 100, GVWnd::kNoFill, 1, DDERR_WASSTILLDRAWING},
      {GVDDSWnd::kDrawTile, 100, GVWnd::kNoFill, 1, DDERR_WASSTILLDRAWING},
      {GVDDSWnd::kDrawPlain, 50, GVWnd::kNoFill, 1, E_FAIL},
      {GVDDSWnd::kDrawPlain, 100, Px(9, 9, 9), 0, DDERR_WASSTILLDRAWING}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " opacity " << c.opacity);
    GVDDSWnd w;
    MakePicture(w, 4, 3, Pattern(4, 3), GVWnd::kNoColorKey);
    w.SetDrawMode(c.mode);
    w.SetOpacity(c.opacity);
    w.SetBkColor(c.fill);
    DDSurface t = Target(0);
    plat::sim::SetStillDrawing(1);
    EXPECT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), c.drawn);
    EXPECT_EQ(w.GetLastResult(), c.result);
    plat::sim::SetStillDrawing(0);
  }
}

TEST_P(GVDDSWndTest, NothingToDrawStillSucceedsAndLeavesTheTarget) {
  GVDDSWnd empty;
  empty.SetRect(GRect(0, 0, 5, 5));
  DDSurface t = Target(Px(7, 7, 7));
  const std::vector<uint32_t> before = ReadPixels(t);
  EXPECT_EQ(empty.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);  // no picture
  GVDDSWnd w;
  MakePicture(w, 4, 3, Pattern(4, 3), GVWnd::kNoColorKey);
  EXPECT_EQ(w.Draw(nullptr, GRect(0, 0, 40, 30)), 1);
  EXPECT_EQ(w.Draw(t.Get(), GRect(20, 20, 40, 30)), 1);  // clip misses
  w.Show(0);
  EXPECT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);
  w.Show(1);
  w.SetSourceRect(0, 0, 0, 3);
  EXPECT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);
  EXPECT_EQ(ReadPixels(t), before);
}

TEST_P(GVDDSWndTest, ReloadsReleaseTheOldPictureAfterLoadingTheNew) {
  testing_support::TempDir dir;
  for (const char* name : {"a.bmp", "b.bmp"}) {
    const std::vector<uint8_t> bytes = WriteBmp(BmpPicture(3, 2, 24, std::vector<uint32_t>(6, 0x336699)));
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
  }
  GVDDSWnd w;
  ASSERT_EQ(w.LoadImage(dir / "a.bmp", key_), 1);
  const int32_t a = w.GetImage();
  EXPECT_EQ(std::pair(w.GetRect(), w.GetColorKey()), std::pair(GRect(0, 0, 3, 2), key_));
  ASSERT_EQ(w.LoadImage(dir / "a.bmp"), 1);  // the same file: shared, then the old reference dropped
  EXPECT_EQ(w.GetImage(), a);
  EXPECT_EQ(mgr().EntryAt(a)->refCount, 1u);
  EXPECT_FALSE(w.HasColorKey());
  ASSERT_EQ(w.LoadImage(dir / "b.bmp"), 1);
  EXPECT_EQ(mgr().EntryAt(a), nullptr);
  const int32_t b = w.GetImage();
  // A file without a picture: the entry is kept, the load fails with E_FAIL.
  EXPECT_EQ(w.LoadImage(dir / "missing.bmp"), 0);
  EXPECT_EQ(w.GetLastResult(), E_FAIL);
  EXPECT_EQ(mgr().EntryAt(b), nullptr);
  w.ReleaseImage();
}

TEST_P(GVDDSWndTest, FramesPlaceTheWidgetAtAnchorPlusOffsetAndIgnoreStrangers) {
  GVDDSWnd w;
  MakePicture(w, 2, 2, Pattern(2, 2), GVWnd::kNoColorKey);
  XBaseEntry* e = w.GetEntry();
  ASSERT_NE(e, nullptr);
  DDSurface f0 = MakeSurface(dd_, 3, 2), f1 = MakeSurface(dd_, 5, 4);
  ClearSurface(f1, Px(0, 255, 0));
  e->multiFrame = 1;
  e->frames = {f0, f1};
  e->frameSizes = {GSize(3, 2), GSize(5, 4)};
  e->frameOffsets = {GPoint(1, 1), GPoint(7, 3)};
  w.SetFrameOffsetMode(1);
  w.SetPos(GPoint(10, 20));
  w.SelectFrame(1);
  EXPECT_EQ(w.GetRect(), GRect(17, 23, 22, 27));
  EXPECT_EQ(w.GetSourceRect(), GRect(0, 0, 5, 4));
  EXPECT_EQ(w.GetSurface().Get(), f1.Get());
  EXPECT_EQ(w.GetFrameSize(0), GSize(3, 2));
  for (int32_t stranger : {2, -1, 99}) {
    w.SelectFrame(stranger);
    EXPECT_EQ(w.GetFrameIndex(), 1) << stranger;
    EXPECT_EQ(w.GetRect(), GRect(17, 23, 22, 27));
  }
  w.SetFrameOffsetMode(0);
  w.SetPos(GPoint(30, 1));
  EXPECT_EQ(w.GetRect(), GRect(30, 1, 35, 5));
  DDSurface t = Target(0);
  ASSERT_EQ(w.Draw(t.Get(), GRect(0, 0, 40, 30)), 1);
  EXPECT_EQ(PixelAt(t, 34, 4), Px(0, 255, 0));
  EXPECT_EQ(PixelAt(t, 29, 1), 0u);
}

TEST_P(GVDDSWndTest, BlankPictureTakesTheSizeAndKeyAndStaleHandlesAreRefused) {
  GVDDSWnd w;
  ASSERT_EQ(w.CreateBlank(SIZE{7, 5}, key_), 1);
  EXPECT_EQ(w.GetRect(), GRect(0, 0, 7, 5));
  EXPECT_EQ(w.GetFrameCount(), 1);
  EXPECT_EQ(std::pair(w.GetFrameSize(), w.GetFrameOffset()), std::pair(GSize(7, 5), GPoint()));
  const int32_t h = w.GetImage();
  // Another widget's entry in the same slot with a newer serial is not this widget's.
  mgr().ReleaseEntry(h);
  GVDDSWnd other;
  ASSERT_EQ(other.CreateBlank(SIZE{2, 2}, key_), 1);
  ASSERT_EQ(other.GetImage() & 0xFFFF, h & 0xFFFF);
  EXPECT_TRUE(w.GetEntry() == nullptr && !w.GetSurface());
  w.SetImage(GVWnd::kNoImage);
}

TEST(GVDDSWndSettings, OpacityMapsPercentToBlendLevel) {
  const struct {
    int32_t percent;
    uint32_t level;
  } cases[] = {{100, 0}, {60, 102}, {6, 239}, {0, 255}, {150, 0}, {-20, 255}, {50, 127}};
  for (const auto& c : cases) {
    GVDDSWnd a, b;
    a.SetOpacity(c.percent);
    b.SetTransparency(c.percent);
    EXPECT_EQ(a.GetBlendLevel(), c.level) << c.percent;
    EXPECT_EQ(b.GetBlendLevel(), c.level) << c.percent;
  }
  const struct {
    uint32_t asked, level;
  } levels[] = {{300, 255}, {17, 17}, {254, 254}, {255, 255}, {256, 255}};
  for (const auto& c : levels) {
    GVDDSWnd w;
    w.SetBlendLevel(c.asked);
    EXPECT_EQ(w.GetBlendLevel(), c.level) << c.asked;
  }
}

TEST(GVDDSWndSettings, DrawModeAccessors) {
  GVDDSWnd w;
  EXPECT_FALSE(w.IsStretch() || w.IsTile());
  w.SetStretch();
  EXPECT_TRUE(w.IsStretch());
  w.SetTile();
  EXPECT_TRUE(w.IsTile());
  EXPECT_FALSE(w.IsStretch());
  w.SetTile(0);
  EXPECT_EQ(w.GetDrawMode(), GVDDSWnd::kDrawPlain);
}

TEST_P(GVDDSWndTest, KeyPixelMissesAndTheWidgetBelowGetsThePoint) {
  const struct {
    int32_t mode;
    GRect rect;
    GPoint keyPoint, solidPoint;
  } cases[] = {
      {GVDDSWnd::kDrawPlain, GRect(10, 10, 14, 14), GPoint(11, 11), GPoint(12, 12)},
      {GVDDSWnd::kDrawStretch, GRect(10, 10, 18, 18), GPoint(12, 13), GPoint(10, 10)},
      {GVDDSWnd::kDrawTile, GRect(10, 10, 26, 26), GPoint(17, 13), GPoint(16, 16)},
  };
  for (const auto& c : cases) {
    GVWS ws;
    auto* below = new GVWnd;
    below->SetRect(GRect(0, 0, 40, 30));
    auto* top = new GVDDSWnd;
    MakePicture(*top, 4, 4, Pattern(4, 4, {{1, 1}}), key_);
    top->SetRect(c.rect);
    top->SetDrawMode(c.mode);
    ws.AddWndAtBottom(below);
    ws.AddWndAtTop(top);
    EXPECT_EQ(top->HitTest(c.keyPoint.x, c.keyPoint.y, GVWnd::kHitVisible), 0) << "mode " << c.mode;
    EXPECT_EQ(ws.FindWndAtPoint(c.keyPoint, GVWnd::kHitVisible), below) << "mode " << c.mode;
    EXPECT_EQ(ws.FindWndAtPoint(c.solidPoint, GVWnd::kHitVisible), top) << "mode " << c.mode;
    EXPECT_EQ(ws.FindWndAtPoint(GPoint(1, 1), GVWnd::kHitVisible), below);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, GVDDSWndTest, DesktopFormats(), FormatParam);

}  // namespace
}  // namespace widget_test
