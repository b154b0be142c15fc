// GIF entries: the layer order for 9, 7 and 1 parts, refused part counts, and the frame
// count and delays of the longest part with shorter parts wrapping. Through the
// manager: XResEntryMgrPicturesTest.
#include "graphics/XGifEntry.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "graphics/GraphicsTestKit.h"
#include "widgets/WidgetTestSupport.h"

namespace xgif_entry_test {

using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;
using Pixels = std::vector<uint32_t>;

constexpr uint32_t kKey = 0xFF00FF;  // the 32-bit surfaces' key
constexpr uint8_t kClear = 15;       // the parts' transparent index

uint32_t Colour(size_t i) { return uint32_t(0x101010 * (i + 1)); }

// A part: one frame per row of indices, each `width` x 1 on a screen of that size,
// index kClear transparent.
GifDesc Part(const std::vector<std::vector<uint8_t>>& frames, uint16_t delayStep = 0) {
  GifDesc g;
  g.width = uint16_t(frames.front().size());
  g.height = 1;
  for (size_t i = 0; i < 16; ++i) g.globalTable.push_back(Colour(i));
  uint16_t delay = 0;
  for (const auto& row : frames) {
    GifFrameDesc f;
    f.width = g.width;
    f.height = 1;
    f.indices = row;
    f.control = f.transparent = true;
    f.transparentIndex = kClear;
    f.delay = delay += delayStep;
    g.frames.push_back(f);
  }
  return g;
}

class XGifEntryTest : public widget_test::DisplayTest {
 protected:
  std::string Write(const std::string& name, const GifDesc& g) { return dir_.Put(name, EncodeGif(g)); }
  HRESULT Compose(XGifEntry& e, const std::vector<std::string>& names) {
    e.SetPartNames(names);
    return e.Load(dd_, kKey);
  }
  uint32_t Px(size_t i) const { return Colour(i); }
  gfx_test::Folder dir_;
};

TEST_F(XGifEntryTest, PartsAreLaidBottomToTopInTheLayerOrder) {
  struct Case {
    size_t parts;
    std::vector<size_t> order;
  };
  const Case cases[] = {
      {9, {8, 2, 1, 4, 0, 3, 5, 6, 7}},
      {7, {2, 1, 4, 0, 3, 5, 6}},
      {1, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parts);
    // Part k is clear left of its rank, so column x shows the part drawn x-th.
    std::vector<std::string> names;
    for (size_t k = 0; k < c.parts; ++k) {
      const size_t rank = size_t(std::find(c.order.begin(), c.order.end(), k) - c.order.begin());
      std::vector<uint8_t> row(c.parts, uint8_t(k));
      std::fill(row.begin(), row.begin() + ptrdiff_t(rank), kClear);
      names.push_back(Write("part" + std::to_string(k) + ".gif", Part({row})));
    }
    XGifEntry e;
    ASSERT_GE(Compose(e, names), 0);
    Pixels want;
    for (size_t k : c.order) want.push_back(Px(k));
    EXPECT_EQ(widget_test::ReadPixels(e.surface), want);
    DDCOLORKEY key{};
    EXPECT_EQ((std::vector<int64_t>{e.GetFrameCount(), e.GetDelayCount(), e.surface->GetColorKey(DDCKEY_SRCBLT, &key),
                                    key.dwColorSpaceLowValue}),
              (std::vector<int64_t>{1, 0, S_OK, kKey}));
  }
}

TEST_F(XGifEntryTest, PartCountsWithoutALayerOrderAndListsWithoutALoadablePartAreRefused) {
  const std::string part = Write("p.gif", Part({{1}}));
  for (size_t n : {0, 2, 8, 10}) {
    XGifEntry e;
    EXPECT_EQ(Compose(e, std::vector<std::string>(n, part)), E_INVALIDARG) << n;
    EXPECT_FALSE(e.surface);
  }
  XGifEntry e;
  std::vector<std::string> names(7);
  names[3] = dir_ / "absent.gif";
  EXPECT_EQ((std::vector<HRESULT>{Compose(e, {dir_ / "absent.gif"}), Compose(e, names)}), (std::vector<HRESULT>{E_FAIL, E_FAIL}));
  EXPECT_FALSE(e.surface);
}

TEST_F(XGifEntryTest, TheFirstLongestPartSetsSizeFramesAndDelaysAndShorterPartsWrap) {
  // Part 1 (5 frames) shows in column 0; part 0 (2 frames, drawn above it) in column 1.
  std::vector<std::string> names(7);
  names[1] = Write("long.gif", Part({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}, 10));
  names[0] = Write("short.gif", Part({{kClear, 10}, {kClear, 11}}, 3));
  names[5] = Write("still.gif", Part({{kClear, kClear}}));
  XGifEntry e;
  ASSERT_GE(Compose(e, names), 0);
  EXPECT_EQ(e.frameRect, GRect(0, 0, 2, 1));
  ASSERT_EQ(std::make_pair(e.GetFrameCount(), e.GetDelayCount()), std::make_pair(5, 5));
  for (int32_t f = 0; f < 5; ++f) EXPECT_EQ(e.GetFrameDelay(f), 100 * (f + 1));
  EXPECT_THROW(e.GetFrameDelay(5), std::out_of_range);
  EXPECT_EQ(widget_test::ReadPixels(e.surface),
            (Pixels{Px(1), Px(10), Px(2), Px(11), Px(3), Px(10), Px(4), Px(11), Px(5), Px(10)}));
  // The first of the longest parts gives the picture size.
  std::vector<std::string> even(7);
  even[2] = Write("narrow.gif", Part({{1, 1}, {2, 2}}));
  even[4] = Write("wide.gif", Part({{1, 1, 1}, {2, 2, 2}}));
  XGifEntry two;
  ASSERT_GE(Compose(two, even), 0);
  EXPECT_EQ(two.frameRect, GRect(0, 0, 2, 1));
  EXPECT_EQ(widget_test::ReadPixels(two.surface).size(), 4u);
}

}  // namespace xgif_entry_test
