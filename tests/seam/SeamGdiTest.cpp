// GDI as the module uses it: memory DCs over DIB sections, blits with its raster
// operations, msimg32's keyed and blended blits, regions and its fonts' text.
#include "Seam.h"

#include <cstring>

#include "plat/gdi.h"

namespace {

TEST(SeamGdi, APixelSetOnATopDownDibSectionLandsInItsBits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bits, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::memset(bits, 0, 4 * 2 * 4);
  SetPixel(dc, 2, 1, RGB(0x12, 0x34, 0x56));
  GdiFlush();
  EXPECT_EQ(static_cast<const uint32_t*>(bits)[1 * 4 + 2], 0x00123456u);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

}  // namespace
