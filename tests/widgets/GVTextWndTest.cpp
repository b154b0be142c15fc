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

namespace {

using widget_test::DevicePixel;
using widget_test::DisplayFormat;
using widget_test::ReadPixels;

constexpr COLORREF kNoKey = 0xFFFFFFFFu;
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

TEST_F(GVTextWndTest, RenderedSurfaceHoldsOnlyTheKeyAndTheTextColour) {
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    UseFormat(f);
    GVTextWnd w;
    ASSERT_EQ(w.Create(kSize, key_, 14, 400), 1) << widget_test::FormatName(f);
    w.SetTextColor(kWhite);
    w.SetText("Hello 한글");
    EXPECT_EQ(Values(Surface(w)), (std::set<uint32_t>{key_, DevicePixel(f, 255, 255, 255)})) << widget_test::FormatName(f);
    w.SetText("");
    EXPECT_EQ(Values(Surface(w)), std::set<uint32_t>{key_}) << widget_test::FormatName(f);
  }
}

TEST_F(GVTextWndTest, WithoutKeyNewTextGoesOverTheOld) {
  auto inkAfter = [&](std::initializer_list<const char*> texts) {
    GVTextWnd w;
    EXPECT_EQ(w.Create(kSize, kNoKey, 14, 400), 1);
    w.SetTextColor(kWhite);
    for (const char* t : texts) w.SetText(t);
    std::set<size_t> lit;
    const auto px = ReadPixels(Surface(w));
    for (size_t i = 0; i < px.size(); ++i)
      if (px[i] == 0xFFFFFF) lit.insert(i);
    return lit;
  };
  std::set<size_t> both = inkAfter({"ll"});
  const std::set<size_t> second = inkAfter({"__"});
  both.insert(second.begin(), second.end());
  EXPECT_EQ(inkAfter({"ll", "__"}), both);
  EXPECT_GT(both.size(), second.size());
}

TEST_F(GVTextWndTest, FontAndFormatWaitForTheNextTextColourRendersAtOnce) {
  GVTextWnd w;
  ASSERT_EQ(w.Create(kSize, key_, 12, 400), 1);
  w.SetTextColor(kWhite);
  w.SetText("Abc");
  const auto first = ReadPixels(Surface(w));
  EXPECT_EQ(w.SetFont(18, 700), 1);
  w.SetTextFormat(DT_RIGHT);
  EXPECT_EQ(ReadPixels(Surface(w)), first);
  w.SetText("Abc");
  const auto bigRight = ReadPixels(Surface(w));
  EXPECT_NE(bigRight, first);
  w.SetTextColor(kRed);
  EXPECT_EQ(Values(Surface(w)), (std::set<uint32_t>{key_, 0xFF0000}));
  EXPECT_EQ(w.GetText(), "Abc");
}

TEST_F(GVTextWndTest, CreateSizesTheWidgetAtTheOriginWithItsKey) {
  GVTextWnd keyed;
  ASSERT_EQ(keyed.Create(SIZE{40, 12}, key_, 12, 400), 1);
  EXPECT_EQ(std::pair(keyed.GetRect(), keyed.GetSourceRect()), std::pair(GRect(0, 0, 40, 12), GRect(0, 0, 40, 12)));
  EXPECT_EQ(Entry(keyed)->font, keyed.GetFont());
  GVTextWnd plain;
  ASSERT_EQ(plain.Create(SIZE{40, 12}, kNoKey, 12, 400), 1);
  EXPECT_EQ(std::pair(keyed.HasColorKey(), plain.HasColorKey()), std::pair(1, 0));
  EXPECT_EQ(plain.GetFont(), keyed.GetFont());  // one shared font
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  GVTextWnd noSurface;
  EXPECT_EQ(noSurface.Create(SIZE{40, 12}, key_, 12, 400), 0);
  EXPECT_FALSE(noSurface.HasImage());
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
  EXPECT_EQ(GetSurfaceSize(Surface(w)), GSize(60, 30));
  // The rectangle keeps its size.
  EXPECT_EQ(std::pair(w.GetSourceRect(), w.GetRect()), std::pair(GRect(0, 0, 60, 30), GRect(0, 0, 100, 20)));
  EXPECT_GT(InkOf(Surface(w), key_), 0);    // the text drawn again
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(w.SetSize(SIZE{8, 8}), 0);
  EXPECT_EQ(w.GetSize(), GSize(60, 30));
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

}  // namespace
