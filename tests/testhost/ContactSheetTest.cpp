// Thumbnails are block means of the frame; the sheet lays them out in time order, eight
// to a row, on a background that shows between them.
#include "testhost/ContactSheet.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using plat::sim::RgbImage;
using testhost::ContactSheet;

// Every channel of pixel (x, y) is `f(x, y)`.
template <class F>
RgbImage SheetPicture(int width, int height, F f) {
  RgbImage image{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) image.rgb.push_back(static_cast<uint8_t>(f(x, y)));
  return image;
}

uint8_t SheetPixel(const RgbImage& image, int x, int y) { return image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3]; }

TEST(ContactSheetTest, ShrinkAveragesEachBlockAndDropsPartialEdges) {
  // 0..15 in a 4x4 block: the mean is 7.5, rounded to 8.
  const RgbImage ramp = SheetPicture(9, 5, [](int x, int y) { return (y % 4) * 4 + (x % 4); });
  const RgbImage small = testhost::ShrinkImage(ramp, 4);
  ASSERT_EQ(small.width, 2);
  ASSERT_EQ(small.height, 1);
  EXPECT_EQ(SheetPixel(small, 0, 0), 8);
  EXPECT_EQ(SheetPixel(small, 1, 0), 8);
  const struct {
    RgbImage image;
    int factor;
  } refused[] = {
      {SheetPicture(3, 8, [](int, int) { return 1; }), 4},  // narrower than a block
      {SheetPicture(8, 8, [](int, int) { return 1; }), 0},
      {RgbImage{8, 8, std::vector<uint8_t>(10)}, 4},    // pixels missing
  };
  for (const auto& r : refused) EXPECT_EQ(testhost::ShrinkImage(r.image, r.factor).width, 0);
}

TEST(ContactSheetTest, ThumbnailsFillRowsOfEightInOrder) {
  constexpr int kFrames = 9, kThumb = 2, kCell = kThumb + ContactSheet::kGap;
  ContactSheet sheet;
  EXPECT_EQ(sheet.Compose().width, 0);
  for (int i = 0; i < kFrames; ++i) {
    sheet.Add(SheetPicture(kThumb * ContactSheet::kShrink, kThumb * ContactSheet::kShrink, [i](int, int) { return 100 + i; }));
    sheet.Add(RgbImage{});  // a window already gone
  }
  ASSERT_EQ(sheet.Count(), size_t(kFrames));
  const RgbImage composed = sheet.Compose();
  ASSERT_EQ(composed.width, ContactSheet::kGap + ContactSheet::kColumns * kCell);
  ASSERT_EQ(composed.height, ContactSheet::kGap + 2 * kCell);
  for (int i = 0; i < kFrames; ++i) {
    SCOPED_TRACE(i);
    const int left = ContactSheet::kGap + (i % ContactSheet::kColumns) * kCell;
    const int top = ContactSheet::kGap + (i / ContactSheet::kColumns) * kCell;
    EXPECT_EQ(SheetPixel(composed, left, top), 100 + i);
    EXPECT_EQ(SheetPixel(composed, left + kThumb - 1, top + kThumb - 1), 100 + i);
    EXPECT_EQ(SheetPixel(composed, left + kThumb, top), ContactSheet::kBackground);
  }
  // The second row's unused cells stay background.
  EXPECT_EQ(SheetPixel(composed, ContactSheet::kGap + kCell, ContactSheet::kGap + kCell), ContactSheet::kBackground);
}

}  // namespace
