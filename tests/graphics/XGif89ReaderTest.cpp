// The avatar composer's GIF reader: version and block rules with their results, frames
// built on the previous one (transparent index, disposal, delays), interlaced rows, LZW
// streams, image rectangles off the screen, and the limits on what a file can make.
#include "graphics/XGif89Reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/GifWriter.h"
#include "support/TempDir.h"

namespace {

using namespace testing_support;
using Bytes = std::vector<uint8_t>;

GifDesc Screen(uint16_t w, uint16_t h) {
  GifDesc g;
  g.width = w, g.height = h;
  g.globalTable = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  return g;
}

GifFrameDesc Solid(uint16_t l, uint16_t t, uint16_t w, uint16_t h, uint8_t index) {
  GifFrameDesc f;
  f.left = l, f.top = t, f.width = w, f.height = h;
  f.indices.assign(size_t(w) * h, index);
  f.control = true;
  return f;
}

// A frame's indices, row by row, over the screen.
std::vector<uint8_t> Indices(const XDibFrame& f) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < f.dib.Height(); ++y)
    for (int32_t x = 0; x < f.dib.Width(); ++x) out.push_back(*f.dib.PixelAt(x, y));
  return out;
}

TEST(XGif89ReaderTest, OnlyVersion89aIsRead) {
  GifDesc g = Screen(2, 1);
  g.frames.push_back(Solid(0, 0, 2, 1, 1));
  Bytes bytes = EncodeGif(g);
  XDibAnimation a;
  ASSERT_EQ(DecodeGif89a(bytes, a), 1);
  EXPECT_EQ(a.FrameCount(), 1);
  bytes[4] = '7';
  XDibAnimation refused;
  EXPECT_EQ(DecodeGif89a(bytes, refused), 0);
  EXPECT_EQ(refused.Count(), 0);
  EXPECT_EQ(DecodeGif89a(Bytes(bytes.begin(), bytes.begin() + 8), refused), 0);  // screen cut short
}

TEST(XGif89ReaderTest, FramesCoverTheScreenWithTheActiveTable) {
  GifDesc g = Screen(3, 2);
  GifFrameDesc f = Solid(1, 1, 2, 1, 2);
  f.localTable = {0x102030, 0x405060, 0x708090};
  g.frames.push_back(f);
  XDibAnimation a;
  ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
  const XDibFrame& frame = *a.Frame(0);
  EXPECT_EQ(frame.dib.Width(), 3);
  EXPECT_EQ(frame.dib.BitCount(), 8);
  // No transparency: the first frame starts as index 255.
  EXPECT_EQ(Indices(frame), (std::vector<uint8_t>{255, 255, 255, 255, 2, 2}));
  EXPECT_EQ(frame.dib.Header()->colors[2].rgbRed, 0x70);
  EXPECT_EQ(frame.dib.Header()->colors[3].rgbRed, 0);  // cleared up to 16 entries
  EXPECT_EQ(frame.transparent, -1);
}

TEST(XGif89ReaderTest, DelaysAreMillisecondsAndZeroPlaysAtOneHundred) {
  GifDesc g = Screen(1, 1);
  for (uint16_t delay : {0, 5, 30}) {
    GifFrameDesc f = Solid(0, 0, 1, 1, 1);
    f.delay = delay;
    g.frames.push_back(f);
  }
  XDibAnimation a;
  ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
  EXPECT_EQ(a.Frame(0)->delay, 100);
  EXPECT_EQ(a.Frame(1)->delay, 50);
  EXPECT_EQ(a.Frame(2)->delay, 300);
  EXPECT_EQ(a.Duration(), 450);
}

TEST(XGif89ReaderTest, EachFrameStartsFromThePreviousOne) {
  GifDesc g = Screen(4, 1);
  GifFrameDesc first = Solid(0, 0, 4, 1, 1);
  first.transparent = true, first.transparentIndex = 3;
  first.indices = {1, 3, 1, 1};
  g.frames.push_back(first);
  // Same transparency, drawn over the right half only; its own index 3 pixel is skipped.
  GifFrameDesc second = Solid(2, 0, 2, 1, 2);
  second.transparent = true, second.transparentIndex = 3;
  second.indices = {2, 3};
  g.frames.push_back(second);
  // Another transparent index: the old transparent pixels take the new one.
  GifFrameDesc third = Solid(0, 0, 1, 1, 0);
  third.transparent = true, third.transparentIndex = 0;
  third.indices = {0};
  g.frames.push_back(third);
  XDibAnimation a;
  ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
  ASSERT_EQ(a.Count(), 3);
  EXPECT_EQ(Indices(*a.Frame(0)), (std::vector<uint8_t>{1, 3, 1, 1}));
  EXPECT_EQ(Indices(*a.Frame(1)), (std::vector<uint8_t>{1, 3, 2, 1}));
  EXPECT_EQ(Indices(*a.Frame(2)), (std::vector<uint8_t>{1, 0, 2, 1}));
  EXPECT_EQ(a.Frame(2)->transparent, 0);
}

TEST(XGif89ReaderTest, RestoreDisposalsClearThePreviousRectangle) {
  for (uint8_t disposal : {0, 1, 2, 3}) {
    SCOPED_TRACE(int(disposal));
    GifDesc g = Screen(3, 1);
    GifFrameDesc first = Solid(0, 0, 2, 1, 1);
    first.transparent = true, first.transparentIndex = 0;
    first.disposal = disposal;
    g.frames.push_back(first);
    GifFrameDesc second = Solid(2, 0, 1, 1, 2);
    second.transparent = true, second.transparentIndex = 0;
    g.frames.push_back(second);
    XDibAnimation a;
    ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
    const uint8_t kept = disposal > 1 ? 0 : 1;
    EXPECT_EQ(Indices(*a.Frame(1)), (std::vector<uint8_t>{kept, kept, 2}));
  }
}

TEST(XGif89ReaderTest, InterlacedRowsArePlacedByPass) {
  constexpr uint16_t kRows = 11;
  GifDesc g = Screen(1, kRows);
  GifFrameDesc f = Solid(0, 0, 1, kRows, 0);
  f.interlace = true;
  for (uint16_t y = 0; y < kRows; ++y) f.indices[y] = uint8_t(y % 4);
  g.frames.push_back(f);
  XDibAnimation a;
  ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
  for (int32_t y = 0; y < kRows; ++y) EXPECT_EQ(*a.Frame(0)->dib.PixelAt(0, y), y % 4) << y;
}

TEST(XGif89ReaderTest, LzwStreamsDecodeWhateverTheEncoderChose) {
  // A varied image makes the code size grow to 12 bits and the table fill up; a clear
  // before every code exercises the restart path.
  for (bool clearEveryCode : {false, true}) {
    SCOPED_TRACE(clearEveryCode);
    GifDesc g = Screen(128, 96);
    g.globalTable.resize(256);
    g.clearBeforeEveryCode = clearEveryCode;
    GifFrameDesc f = Solid(0, 0, 128, 96, 0);
    uint32_t seed = 12345;
    for (uint8_t& v : f.indices) {
      seed = seed * 1103515245 + 12345;
      v = uint8_t((seed >> 16) % 7 == 0 ? (seed >> 8) : 4);
    }
    g.frames.push_back(f);
    XDibAnimation a;
    ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
    std::vector<uint8_t> got = Indices(*a.Frame(0));
    EXPECT_EQ(got, f.indices);
  }
}

TEST(XGif89ReaderTest, EndOfDataDecidesTheResult) {
  GifDesc g = Screen(4, 4);
  g.frames.push_back(Solid(0, 0, 4, 4, 1));
  g.frames.push_back(Solid(0, 0, 4, 4, 2));
  const Bytes whole = EncodeGif(g);
  XDibAnimation noTrailer;
  EXPECT_EQ(DecodeGif89a(Bytes(whole.begin(), whole.end() - 1), noTrailer), 0);
  EXPECT_EQ(noTrailer.FrameCount(), 2);  // both frames stay
  // Cut inside the second image's codes: that frame is dropped, the file counts as read.
  XDibAnimation cut;
  EXPECT_EQ(DecodeGif89a(Bytes(whole.begin(), whole.end() - 5), cut), 1);
  EXPECT_EQ(cut.FrameCount(), 1);
  EXPECT_EQ(cut.Duration(), 100);
}

TEST(XGif89ReaderTest, UnknownBlocksAndLabelsFailButKeepEarlierFrames) {
  GifDesc g = Screen(1, 1);
  g.frames.push_back(Solid(0, 0, 1, 1, 1));
  Bytes base = EncodeGif(g);
  base.pop_back();  // the trailer
  struct Case {
    const char* name;
    Bytes tail;
    int result;
  };
  const Case cases[] = {
      {"comment then trailer", {0x21, 0xFE, 2, 'h', 'i', 0, 0x3B}, 1},
      {"application then trailer", {0x21, 0xFF, 3, 'a', 'b', 'c', 1, 'x', 0, 0x3B}, 1},
      {"plain text then trailer", {0x21, 0x01, 1, 'q', 0, 0x3B}, 1},
      {"unknown label", {0x21, 0x33, 0, 0x3B}, 0},
      {"unknown block", {0x55, 0x3B}, 0},
      {"comment cut short", {0x21, 0xFE, 9, 'h'}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = base;
    bytes.insert(bytes.end(), c.tail.begin(), c.tail.end());
    XDibAnimation a;
    EXPECT_EQ(DecodeGif89a(bytes, a), c.result);
    EXPECT_EQ(a.FrameCount(), 1);
  }
}

TEST(XGif89ReaderTest, ImageRectanglesOffTheScreenWriteOnlyTheInsidePart) {
  GifDesc g = Screen(4, 3);
  GifFrameDesc f = Solid(2, 1, 5, 4, 3);  // three columns and two rows fall outside
  f.disposal = 2;
  g.frames.push_back(f);
  g.frames.push_back(Solid(60000, 60000, 3, 3, 2));  // wholly outside, then disposed
  XDibAnimation a;
  ASSERT_EQ(DecodeGif89a(EncodeGif(g), a), 1);
  EXPECT_EQ(Indices(*a.Frame(0)), (std::vector<uint8_t>{255, 255, 255, 255, 255, 255, 3, 3, 255, 255, 3, 3}));
  EXPECT_EQ(Indices(*a.Frame(1)), std::vector<uint8_t>(12, 255));  // the first rectangle cleared
}

TEST(XGif89ReaderTest, LimitsRefuseWhatWouldOutgrowTheirTables) {
  GifDesc tall = Screen(1, 1);
  GifFrameDesc f = Solid(0, 0, 1, kGif89MaxInterlacedRows + 1, 1);
  f.interlace = true;
  tall.frames.push_back(Solid(0, 0, 1, 1, 2));
  tall.frames.push_back(f);
  XDibAnimation a;
  EXPECT_EQ(DecodeGif89a(EncodeGif(tall), a), 0);
  EXPECT_EQ(a.FrameCount(), 1);  // the frame before stays

  GifDesc huge = Screen(4096, 2048);  // 8 M pixels, above the screen cap
  huge.frames.push_back(Solid(0, 0, 1, 1, 1));
  XDibAnimation b;
  EXPECT_EQ(DecodeGif89a(EncodeGif(huge), b), 0);

  // A minimum code size of 12 would make 13-bit codes.
  GifDesc g = Screen(1, 1);
  g.frames.push_back(Solid(0, 0, 1, 1, 1));
  Bytes bytes = EncodeGif(g);
  const size_t codeSize = bytes.size() - 1 - 5;  // trailer, then 4 data bytes and a size before the codes
  ASSERT_EQ(bytes[codeSize], 2);
  bytes[codeSize] = 12;
  XDibAnimation c;
  EXPECT_EQ(DecodeGif89a(bytes, c), 0);
}

TEST(XGif89ReaderTest, FilesAreReadWholeThroughTheLayer) {
  GifDesc g = Screen(2, 2);
  g.frames.push_back(Solid(0, 0, 2, 2, 1));
  const Bytes bytes = EncodeGif(g);
  TempDir dir;
  dir.Write("a.gif", std::string(bytes.begin(), bytes.end()));
  XDibAnimation a;
  EXPECT_EQ(DecodeGif89aFile((dir / "a.gif").c_str(), a), 1);
  EXPECT_EQ(a.FrameCount(), 1);
  XDibAnimation b;
  EXPECT_EQ(DecodeGif89aFile((dir / "none.gif").c_str(), b), 0);
}

}  // namespace
