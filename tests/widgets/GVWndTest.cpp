#include "widgets/GVWnd.h"

#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "graphics/XResEntryMgr.h"
#include "graphics/XBaseEntry.h"

namespace widget_test {
namespace {

class GVWndTest : public DisplayTest {
 protected:
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
};

TEST(GVWnd, HitTestExcludesEdgesAndHonoursFlags) {
  GVWnd w;
  w.SetRect(GRect(10, 10, 20, 20));
  struct Case { int32_t x, y; uint32_t flags; bool visible, enabled; BOOL hit; };
  const Case cases[] = {
      {10, 10, 0, true, true, 1},   {19, 19, 3, true, true, 1},   {20, 15, 0, true, true, 0},
      {15, 20, 0, true, true, 0},   {15, 15, 3, false, true, 0},  {15, 15, 3, true, false, 0},
      {15, 15, 0, false, false, 1}, {15, 15, 1, true, false, 1},  {15, 15, 2, false, true, 1},
  };
  for (const Case& c : cases) {
    w.Show(c.visible);
    w.Enable(c.enabled);
    EXPECT_EQ(w.HitTest(c.x, c.y, c.flags), c.hit) << c.x << "," << c.y << " flags " << c.flags;
  }
}

TEST(GVWnd, IntersectsNeedsPositiveOverlapAndTheFlaggedStates) {
  GVWnd a, b;
  a.SetRect(GRect(0, 0, 10, 10));
  b.SetRect(GRect(10, 0, 20, 10));
  EXPECT_EQ(a.Intersects(&b, 0), 0);  // edge contact only
  b.SetRect(GRect(5, 5, 20, 20));
  EXPECT_EQ(a.Intersects(&b, 3), 1);
  b.Show(0);
  EXPECT_EQ(a.Intersects(&b, 1), 0);
  EXPECT_EQ(a.Intersects(&b, 2), 1);
  b.Enable(0);
  EXPECT_EQ(a.Intersects(&b, 2), 0);
  EXPECT_EQ(a.Intersects(nullptr, 0), 0);
}

TEST(GVWnd, MovesGoThroughSetRectWhichWidensTheDrawnRectangle) {
  GVWnd w;
  w.SetRect(GRect(10, 10, 20, 30));
  w.SetDirty(0);
  w.Offset(GSize(5, -5));
  EXPECT_EQ(std::pair(w.GetRect(), w.GetDrawnRect()), std::pair(GRect(15, 5, 25, 25), GRect(10, 5, 25, 30)));
  EXPECT_TRUE(w.IsDirty());
  w.SetDirty(0);
  w.SetTopLeft(GPoint(0, 0));
  EXPECT_EQ(std::pair(w.GetRect(), w.GetDrawnRect()), std::pair(GRect(0, 0, 10, 20), GRect(0, 0, 25, 25)));
  w.SetDirty(0);
  w.SetPos(GPoint(100, 200));
  EXPECT_EQ(w.GetPos(), GPoint(100, 200));
  EXPECT_EQ(w.GetDrawnRect(), GRect(0, 0, 110, 220));
}

TEST(GVWnd, KeyZeroIsAKeyAndTheBaseDeclinesInput) {
  GVWnd w;
  EXPECT_EQ(w.SetColorKey(0), 1);
  EXPECT_TRUE(w.HasColorKey());
  w.SetColorKey(GVWnd::kNoColorKey);
  EXPECT_FALSE(w.HasColorKey());
  w.SetRect(GRect(0, 0, 10, 10));
  EXPECT_EQ((std::vector<BOOL>{w.OnLButtonDown(0, GPoint(1, 1)), w.OnKeyDown('A', 1, 0), w.OnScroll(1, 500, &w),
                               w.OnTimer(3), w.OnKillFocus(nullptr)}),
            (std::vector<BOOL>(5, 0)));
}

TEST_F(GVWndTest, DrawFillsOnlyTheClippedAreaAndWithoutAFillOnlyCleans) {
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    UseDesktop(f);
    DDSurface back = MakeSurface(dd_, 40, 30);
    ClearSurface(back, 0);
    const uint32_t red = DevicePixel(f, 255, 0, 0);
    GVWnd w;
    w.SetRect(GRect(10, 5, 30, 25));
    w.SetBkColor(red);
    EXPECT_EQ(w.Draw(back.Get(), GRect(0, 0, 20, 15)), 1) << FormatName(f);
    const std::vector<uint32_t> px = ReadPixels(back);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) {
        const bool inside = x >= 10 && x < 20 && y >= 5 && y < 15;
        ASSERT_EQ(px[static_cast<size_t>(y) * 40 + x], inside ? red : 0u) << FormatName(f) << " " << x << "," << y;
      }
    EXPECT_FALSE(w.IsDirty());
    EXPECT_EQ(w.GetLastResult(), S_OK);
  }
  DDSurface back = MakeSurface(dd_, 64, 64);
  ClearSurface(back, 0x123456);
  GVWnd plain;
  plain.SetRect(GRect(10, 10, 20, 20));
  EXPECT_EQ(plain.Draw(back.Get(), GRect(0, 0, 64, 64)), 1);
  EXPECT_FALSE(plain.IsDirty());
  EXPECT_EQ(plain.GetDrawnRect(), GRect(10, 10, 20, 20));
  for (uint32_t v : ReadPixels(back)) ASSERT_EQ(v, 0x123456u);
}

TEST_F(GVWndTest, DrawsThatCannotFillReportWhyAndStayDirty) {
  DDSurface back = MakeSurface(dd_, 40, 30);
  ClearSurface(back, 0);
  GVWnd w;
  w.SetRect(GRect(0, 0, 10, 10));
  w.SetDirty(0);
  w.SetRect(GRect(20, 20, 30, 30));
  w.SetBkColor(0xFF);
  plat::sim::SetStillDrawing(1);
  EXPECT_EQ(w.Draw(back.Get(), GRect(0, 0, 40, 30)), 0);
  EXPECT_EQ(w.GetLastResult(), DDERR_WASSTILLDRAWING);
  EXPECT_TRUE(w.IsDirty());
  EXPECT_EQ(w.GetDrawnRect(), GRect(0, 0, 30, 30));
  // No target, then a clip that misses.
  EXPECT_EQ(w.Draw(nullptr, GRect(0, 0, 40, 30)) + w.Draw(back.Get(), GRect(0, 0, 20, 30)), 0);
  EXPECT_TRUE(w.IsDirty());
  w.Show(0);
  EXPECT_EQ(w.Draw(back.Get(), GRect(0, 0, 40, 30)), 1);  // hidden: done, nothing drawn
  EXPECT_TRUE(w.IsDirty());
  for (uint32_t v : ReadPixels(back)) ASSERT_EQ(v, 0u);
}

TEST_F(GVWndTest, ReleaseDropsOneReferenceAndTheDestructorReleases) {
  XResEntryMgr& m = XResEntryMgr::Global();
  m.SetDirectDraw(dd_.Get());
  const int32_t h = m.LoadEntry(0, "", GSize(2, 2), 0xFFFFFFFFu);
  ASSERT_NE(h, XResEntryMgr::kNoHandle);
  m.EntryAt(h)->refCount = 2;  // a second widget holds it too
  GVWnd w;
  EXPECT_FALSE(w.GetSurface());
  w.SetImage(h);
  EXPECT_EQ(w.GetSurface().Get(), m.EntryAt(h)->surface.Get());
  w.ReleaseImage();
  EXPECT_FALSE(w.HasImage());
  EXPECT_EQ(m.EntryAt(h)->refCount, 1u);
  {
    GVWnd last;
    last.SetImage(h);
  }
  EXPECT_EQ(m.EntryAt(h), nullptr);
  w.SetImage(h);  // a stale handle: the release answers 0 and the widget keeps it
  w.ReleaseImage();
  EXPECT_EQ(w.GetImage(), h);
  EXPECT_EQ(m.ReleaseEntry(XResEntryMgr::kNoHandle), 0);
}

}  // namespace
}  // namespace widget_test
