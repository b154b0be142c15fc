// A popup's shape is the same whatever section holds its picture: a 32-bit top-down
// section is scanned where it lies, others through a 32-bit top-down copy.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "panels/SkinnedPopup.h"
#include "plat/gdi.h"

namespace skin_region_sources_test {

using namespace skinned_popup;

constexpr int32_t kW = 37, kH = 23;

// Key, near-key (cut) and face pixels in stripes and blocks, with a runs-heavy row.
uint32_t Pixel(int32_t x, int32_t y) {
  if (y == 5) return x % 2 ? 0xFF00FFu : 0x123456u;
  if (x < 3 || y < 2 || x >= kW - 2) return 0xFF00FFu;
  if ((x + y) % 7 == 0) return 0xFF08FFu;
  if ((x * y) % 11 == 0) return 0xF000F0u;
  return 0x80C040u;
}

// A section of `bits` per pixel, top-down or bottom-up, holding the picture.
HBITMAP Section(int bits, bool topDown) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, topDown ? -kH : kH, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap || !pixels) return nullptr;
  const int32_t bytes = bits / 8, stride = ((kW * bytes + 3) / 4) * 4;
  for (int32_t y = 0; y < kH; ++y) {
    uint8_t* row = static_cast<uint8_t*>(pixels) + size_t(topDown ? y : kH - 1 - y) * size_t(stride);
    for (int32_t x = 0; x < kW; ++x) {
      const uint32_t p = Pixel(x, y);
      for (int32_t c = 0; c < bytes; ++c) row[x * bytes + c] = c < 3 ? uint8_t(p >> (8 * c)) : 0;
    }
  }
  return bitmap;
}

std::vector<uint8_t> Data(HRGN rgn) {
  std::vector<uint8_t> block(GetRegionData(rgn, 0, nullptr));
  GetRegionData(rgn, static_cast<DWORD>(block.size()), reinterpret_cast<RGNDATA*>(block.data()));
  return block;
}

TEST(SkinRegionSources, EverySectionGivesTheSameShape) {
  HBITMAP reference = Section(32, true);
  ASSERT_NE(reference, nullptr);
  DIBSECTION before{};
  ASSERT_EQ(GetObjectA(reference, sizeof(before), &before), int(sizeof(before)));
  const std::vector<uint8_t> pixels(static_cast<uint8_t*>(before.dsBm.bmBits),
                                    static_cast<uint8_t*>(before.dsBm.bmBits) + kW * kH * 4);
  HRGN want = CreateRegionFromBitmap(reference, kColourKey, kShapeTolerance);
  ASSERT_NE(want, nullptr);
  EXPECT_EQ(std::memcmp(before.dsBm.bmBits, pixels.data(), pixels.size()), 0) << "the picture is only read";
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      const uint32_t p = Pixel(x, y);
      ASSERT_EQ(PtInRegion(want, x, y) != 0, p != 0xFF00FFu && p != 0xFF08FFu) << x << ", " << y;
    }
  const struct { int bits; bool topDown; } others[] = {{32, false}, {24, true}, {24, false}};
  for (const auto& o : others) {
    SCOPED_TRACE(testing::Message() << o.bits << (o.topDown ? " top-down" : " bottom-up"));
    HBITMAP bitmap = Section(o.bits, o.topDown);
    ASSERT_NE(bitmap, nullptr);
    HRGN shape = CreateRegionFromBitmap(bitmap, kColourKey, kShapeTolerance);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(Data(shape), Data(want));
    DeleteObject(shape);
    DeleteObject(bitmap);
  }
  DeleteObject(want);
  DeleteObject(reference);
}

}  // namespace skin_region_sources_test
