// The avatar composer's GIF reader: image rectangles off the screen and the limits on
// what a file can make. Rows, interlace, LZW streams and damaged files: GifReadersTest.
#include "graphics/XGif89Reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/GraphicsTestKit.h"

namespace xgif89_reader_test {

using namespace gfx_test;
using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;
using Indices = std::vector<uint8_t>;

GifDesc Screen(uint16_t w, uint16_t h) { return GifScreen(w, h, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}); }

// A frame's indices, row by row, over the screen.
Indices Pixels(const XDibFrame& f) {
  Indices out;
  for (int32_t y = 0; y < f.dib.Height(); ++y)
    for (int32_t x = 0; x < f.dib.Width(); ++x) out.push_back(*f.dib.PixelAt(x, y));
  return out;
}

XDibAnimation Decode(const GifDesc& g) {
  XDibAnimation a;
  EXPECT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
  return a;
}

TEST(XGif89ReaderTest, ImageRectanglesOffTheScreenWriteOnlyTheInsidePart) {
  GifDesc g = Screen(4, 3);
  g.frames.push_back(SolidFrame(2, 1, 5, 4, 3));  // three columns and two rows fall outside
  g.frames.back().disposal = 2;
  g.frames.push_back(SolidFrame(60000, 60000, 3, 3, 2));  // wholly outside, then disposed
  const XDibAnimation a = Decode(g);
  EXPECT_EQ(Pixels(*a.Frame(0)), (Indices{255, 255, 255, 255, 255, 255, 3, 3, 255, 255, 3, 3}));
  EXPECT_EQ(Pixels(*a.Frame(1)), Indices(12, 255));  // the first rectangle cleared
}

TEST(XGif89ReaderTest, LimitsRefuseWhatWouldOutgrowTheirTables) {
  GifDesc tall = Screen(1, 1);
  tall.frames.push_back(SolidFrame(0, 0, 1, 1, 2));
  tall.frames.push_back(SolidFrame(0, 0, 1, kGif89MaxInterlacedRows + 1, 1));
  tall.frames.back().interlace = true;
  XDibAnimation a;
  EXPECT_EQ(DecodeGif89a(EncodeGif(tall), a), 0);
  EXPECT_EQ(a.FrameCount(), 1);  // the frame before stays
  GifDesc huge = Screen(4096, 2048);  // 8 M pixels, above the screen cap
  huge.frames.push_back(SolidFrame(0, 0, 1, 1, 1));
  XDibAnimation b;
  EXPECT_EQ(DecodeGif89a(EncodeGif(huge), b), 0);
}

}  // namespace xgif89_reader_test
