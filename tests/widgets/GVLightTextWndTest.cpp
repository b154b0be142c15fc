#include "widgets/GVLightTextWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "graphics/XResEntryMgr.h"
#include "plat/gdi.h"
#include "plat/sim.h"
#include "widgets/WidgetTestSupport.h"

namespace gvlight_text_wnd_test {

using widget_test::DevicePixel;
using widget_test::DisplayFormat;
using widget_test::ReadPixels;

constexpr uint32_t kBlack = 0;
constexpr COLORREF kWhiteText = 0x00FFFFFF;
constexpr int32_t kTargetW = 160, kTargetH = 60;

class GVLightTextWndTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    XResEntryMgr::Global().ReleaseAll();
    target_ = widget_test::MakeSurface(dd_, kTargetW, kTargetH);
    ClearSurface(target_, kBlack);
    // A white label "WWWWWWWW" of 120 x 20 at (20, 20).
    ASSERT_EQ(w.Create(SIZE{120, 20}, 0xFFFFFFFFu, 16, 700), 1);
    w.SetPos(GPoint(20, 20));
    w.SetTextColor(kWhiteText);
    w.SetText("WWWWWWWW");
  }
  void TearDown() override {
    w.ReleaseImage();
    target_ = nullptr;
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  // Whether pixels changed from black lie inside and outside a rectangle.
  std::pair<bool, bool> Ink(const GRect& inside) {
    bool in = false, out = false;
    const auto px = ReadPixels(target_);
    for (size_t i = 0; i < px.size(); ++i) {
      if (px[i] == kBlack) continue;
      (inside.PtInRect(static_cast<int32_t>(i % kTargetW), static_cast<int32_t>(i / kTargetW)) ? in : out) = true;
    }
    return {in, out};
  }
  DDSurface target_;
  GVLightTextWnd w;
};

TEST_F(GVLightTextWndTest, TextIsDrawnInItsColourInsideTheWidgetAndTheClip) {
  const GRect clip(30, 0, 60, kTargetH);  // cuts through the text
  EXPECT_EQ(w.Draw(target_.Get(), clip), 1);
  EXPECT_EQ(Ink(clip), std::pair(true, false));
  // A later draw is not held to the earlier clip, and stays inside the widget.
  EXPECT_EQ(w.Draw(target_.Get(), GRect(0, 0, kTargetW, kTargetH)), 1);
  EXPECT_EQ(Ink(w.GetRect()), std::pair(true, false));
  // Drawn straight onto the picture, the bold glyphs take the system's smoothing: their
  // edges are levels of the white text over the black beneath, never another colour.
  bool full = false;
  for (uint32_t v : ReadPixels(target_)) {
    ASSERT_TRUE((v >> 16) == ((v >> 8) & 0xFF) && (v & 0xFF) == ((v >> 8) & 0xFF)) << std::hex << v;
    full = full || v == 0xFFFFFF;
  }
  EXPECT_TRUE(full);
  EXPECT_EQ(w.IsDirty(), 0);
  ClearSurface(target_, kBlack);
  w.SetText("ab");
  w.SetTextFormat(DT_RIGHT);
  w.Draw(target_.Get(), GRect(0, 0, kTargetW, kTargetH));
  EXPECT_EQ(Ink(GRect(20, 20, 80, 40)), std::pair(false, true)) << "right-aligned: nothing in the left half";
}

TEST_F(GVLightTextWndTest, EmptyTextStillFillsHiddenDrawsNothingAndAMissedClipOrNoTargetGivesZero) {
  const uint32_t fill = DevicePixel(DisplayFormat::Xrgb8888, 0, 0, 128);
  w.SetBkColor(fill);
  w.SetText("");
  EXPECT_EQ(w.Draw(target_.Get(), GRect(0, 0, kTargetW, kTargetH)), 1);
  EXPECT_EQ(Ink(GRect(20, 20, 140, 40)), std::pair(true, false));
  EXPECT_EQ(widget_test::PixelAt(target_, 139, 39), fill);
  ClearSurface(target_, kBlack);
  w.SetText("WWWW");
  w.Show(0);
  EXPECT_EQ(w.Draw(target_.Get(), GRect(0, 0, kTargetW, kTargetH)), 1);
  for (uint32_t v : ReadPixels(target_)) ASSERT_EQ(v, kBlack);
  w.Show(1);
  EXPECT_EQ(w.Draw(target_.Get(), GRect(0, 0, 10, 10)), 0);
  EXPECT_EQ(w.Draw(nullptr, GRect(0, 0, kTargetW, kTargetH)), 0);
  for (uint32_t v : ReadPixels(target_)) ASSERT_EQ(v, kBlack);
}

TEST_F(GVLightTextWndTest, FontIsSharedAndGivenBack) {
  XResEntryMgr& m = XResEntryMgr::Global();
  ASSERT_EQ(m.GdiCacheSize(), 1u);  // the label's
  {
    GVLightTextWnd a, b;
    ASSERT_EQ(a.Create(SIZE{10, 10}, 0xFFFFFFFFu, 12, 400), 1);
    ASSERT_EQ(b.Create(SIZE{10, 10}, 0x1234u, 12, 400), 1);
    EXPECT_EQ(a.GetFont(), b.GetFont());
    EXPECT_EQ(std::pair(a.HasColorKey(), b.HasColorKey()), std::pair(0, 1));
    EXPECT_EQ(m.GdiCacheSize(), 2u);
    a.SetText("x");
    a.ReleaseImage();
    EXPECT_EQ(a.GetText(), "");
  }
  EXPECT_EQ(m.GdiCacheSize(), 1u);
  plat::sim::FailNext("CreateFontIndirectA");
  GVLightTextWnd none;
  EXPECT_EQ(none.Create(SIZE{10, 10}, 0xFFFFFFFFu, 12, 400), 0);
  EXPECT_EQ(none.GetFont(), nullptr);
}

TEST_F(GVLightTextWndTest, SettersMarkDirtyAndSizeLeavesTheRectangle) {
  const std::function<void()> setters[] = {
      [&] { w.SetText("x"); },
      [&] { w.SetTextColor(0x0000FF); },
      [&] { w.SetTextFormat(DT_CENTER); },
      [&] { w.SetFont(12, 400); },
      [&] { EXPECT_EQ(w.SetSize(10, 10), 1); },
  };
  for (const auto& set : setters) {
    w.SetDirty(0);
    w.SetDrawnRect(GRect());
    set();
    EXPECT_EQ(w.IsDirty(), 1);
    EXPECT_EQ(w.GetDrawnRect(), GRect(20, 20, 140, 40));
  }
  EXPECT_EQ(w.GetSize(), GSize(10, 10));
  EXPECT_EQ(w.GetRect(), GRect(20, 20, 140, 40));
}

}  // namespace gvlight_text_wnd_test
