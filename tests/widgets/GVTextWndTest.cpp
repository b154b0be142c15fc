#include "widgets/GVTextWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/gdi.h"
#include "plat/sim.h"
#include "base/DDSurfacePixel.h"
#include "widgets/WidgetTestSupport.h"

namespace gvtext_wnd_test {

using widget_test::DevicePixel;
using widget_test::DisplayFormat;
using widget_test::ReadPixels;

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kRed = 0x000000FF;  // COLORREF order: 0x00BBGGRR
const SIZE kSize{100, 20};

std::set<uint32_t> Values(const DDSurface& s) {
  const auto px = ReadPixels(s);
  return {px.begin(), px.end()};
}

// Pixels other than `background`.
int32_t InkOf(const DDSurface& s, uint32_t background) {
  const auto px = ReadPixels(s);
  return static_cast<int32_t>(px.size() - static_cast<size_t>(std::count(px.begin(), px.end(), background)));
}

class GVTextWndTest : public widget_test::DisplayTest {
 protected:
  void UseFormat(DisplayFormat f) {
    format_ = f;
    UseDesktop(f);
    XResEntryMgr::Global().ReleaseAll();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    key_ = DevicePixel(f, 255, 0, 255);
    XResEntryMgr::Global().SetColorKey(key_);
  }
  void SetUp() override {
    DisplayTest::SetUp();
    UseFormat(DisplayFormat::Xrgb8888);
  }
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  DDSurface Surface(GVTextWnd& w) { return w.GetSurface(); }
  XTextEntry* Entry(GVTextWnd& w) { return static_cast<XTextEntry*>(w.GetEntry()); }
  DisplayFormat format_ = DisplayFormat::Xrgb8888;
  uint32_t key_ = 0;
};

// Whatever the system's smoothing, at the sizes and weights it smooths too (a bold made
// from the regular face, a large size): a smoothed edge would mix the text with the key.
TEST_F(GVTextWndTest, RenderedSurfaceHoldsOnlyTheKeyAndTheTextColour) {
  const std::pair<int32_t, int32_t> fonts[] = {{14, 400}, {16, 700}, {24, 400}};
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    for (const auto& [height, weight] : fonts) {
      UseFormat(f);
      GVTextWnd w;
      ASSERT_EQ(w.Create(SIZE{kSize.cx, 30}, key_, height, weight), 1) << widget_test::FormatName(f);
      w.SetTextColor(kWhite);
      w.SetText("Hello 한글");
      EXPECT_EQ(Values(Surface(w)), (std::set<uint32_t>{key_, DevicePixel(f, 255, 255, 255)}))
          << widget_test::FormatName(f) << ", " << height << "/" << weight;
      w.SetText("");
      EXPECT_EQ(Values(Surface(w)), std::set<uint32_t>{key_}) << widget_test::FormatName(f);
    }
  }
}

TEST_F(GVTextWndTest, FailedSetFontLeavesNoFontAndTextOnlyClears) {
  XResEntryMgr& m = XResEntryMgr::Global();
  GVTextWnd w;
  ASSERT_EQ(w.Create(kSize, key_, 14, 400), 1);
  w.SetTextColor(kWhite);
  w.SetText("before");
  ASSERT_GT(InkOf(Surface(w), key_), 0);
  const HFONT old = w.GetFont();
  plat::sim::FailNext("CreateFontIndirectA");
  EXPECT_EQ(w.SetFont(30, 700), 0);
  EXPECT_EQ(std::pair(w.GetFont(), Entry(w)->font), std::pair(HFONT{}, HFONT{}));
  EXPECT_EQ(GetObjectType(old), 0u);  // given back, and it was the last user
  EXPECT_EQ(m.GdiCacheSize(), 0u);
  w.SetText("after");
  w.SetTextColor(kRed);
  EXPECT_EQ(InkOf(Surface(w), key_), 0);
  EXPECT_EQ(w.SetFont(14, 400), 1);
  w.SetText("again");
  EXPECT_GT(InkOf(Surface(w), key_), 0);
}

TEST_F(GVTextWndTest, PsdFrameOfAMissingPictureGivesZeroAndHoldsNothing) {
  GVTextWnd w;
  EXPECT_EQ(w.CreateFromPsdFrame("panel.psd", 0, 12, 400, 1), 0);
  EXPECT_FALSE(w.HasImage());
  EXPECT_EQ(w.GetFont(), nullptr);
  EXPECT_EQ(XResEntryMgr::Global().GdiCacheSize(), 0u);
}

TEST_F(GVTextWndTest, SetSizeMakesANewSurfaceOnlyForADifferentSize) {
  GVTextWnd w;
  ASSERT_EQ(w.Create(kSize, key_, 14, 400), 1);
  w.SetTextColor(kWhite);
  w.SetText("Wide");
  const DDSurface before = Surface(w);
  w.SetDirty(0);
  EXPECT_EQ(w.SetSize(kSize), 1);
  EXPECT_EQ(Surface(w).Get(), before.Get());
  EXPECT_EQ(w.IsDirty(), 0);

  EXPECT_EQ(w.SetSize(SIZE{60, 30}), 1);
  EXPECT_NE(Surface(w).Get(), before.Get());
  EXPECT_EQ(GetSurfaceSize(Surface(w)), GSize(60, 30));
  EXPECT_EQ(w.GetSourceRect(), GRect(0, 0, 60, 30));
  EXPECT_EQ(w.GetRect(), GRect(0, 0, 100, 20));  // the rectangle keeps its size
  EXPECT_GT(InkOf(Surface(w), key_), 0);  // the text drawn again

  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(w.SetSize(SIZE{8, 8}), 0);
  EXPECT_EQ(w.GetSize(), GSize(60, 30));
}

}  // namespace gvtext_wnd_test
