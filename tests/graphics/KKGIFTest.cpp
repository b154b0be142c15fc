// The sprite library's GIF decoder and its bit set: parsing without a signature check,
// transparency, timing on the virtual clock, disposal, seeking, interlace, LZW limits,
// the colour key's fourth byte, and the bit set's rows, crop and file form.
#include "graphics/KKGIF.h"

#include <gtest/gtest.h>

#include "graphics/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KKBitBOOL.h"
#include "graphics/K_Dib.h"
#include "plat/sim.h"
#include "support/GifWriter.h"
#include "support/Sweep.h"
#include "support/TempDir.h"

namespace {

using namespace testing_support;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;  // 0x00RRGGBB

GifFrameDesc Solid(uint16_t l, uint16_t t, uint16_t w, uint16_t h, uint8_t index) {
  GifFrameDesc f;
  f.left = l, f.top = t, f.width = w, f.height = h;
  f.indices.assign(size_t(w) * h, index);
  f.control = true;
  return f;
}

GifDesc Screen(uint16_t w, uint16_t h) {
  GifDesc g;
  g.width = w, g.height = h;
  g.globalTable = {0x000000, kRed, kGreen, kBlue, kWhite, 0x808080, 0x111111, 0x222222};
  return g;
}

KKGIF& Load(KKGIF& gif, const GifDesc& desc) {
  const Bytes bytes = EncodeGif(desc);
  EXPECT_EQ(gif.LoadMemory(bytes.data(), bytes.size()), 1);
  return gif;
}

uint32_t At(const KKGIF& gif, int32_t x, int32_t y) { return gif.Canvas()[size_t(y * gif.GetWidth() + x)]; }

TEST(KKGIFTest, ABogusSignatureIsParsedFromOffsetSix) {
  GifDesc g = Screen(3, 2);
  g.bogusSignature = true;
  g.frames.push_back(Solid(0, 0, 3, 2, 1));
  KKGIF gif;
  Load(gif, g);
  ASSERT_EQ(gif.GetFrameCount(), 1);
  EXPECT_EQ(gif.GetFrame(0)->image[5], kRed);
  EXPECT_EQ(gif.LoadMemory(nullptr, 5), 0);
  const uint8_t shortHeader[12] = {};
  EXPECT_EQ(gif.LoadMemory(shortHeader, sizeof shortHeader), 0);
}

TEST(KKGIFTest, TransparencyWithoutTransparentPixelsIsDroppedAndDrawnOpaque) {
  GifDesc g = Screen(2, 2);
  GifFrameDesc f = Solid(0, 0, 2, 2, 2);
  f.transparent = true;
  f.transparentIndex = 1;  // not used by any pixel
  g.frames.push_back(f);
  KKGIF gif;
  Load(gif, g);
  EXPECT_EQ(gif.GetFrame(0)->transparent, 0);
  EXPECT_FALSE(gif.GetFrame(0)->HasMask());
  K_Dib dc;
  dc.Create(2, 2, 32);
  StoreU32(dc.PixelAddress(0, 0), 0x00ABCDEF);
  gif.Draw(dc, 0, 0);
  EXPECT_EQ(dc.GetPixel(0, 0), kGreen);
}

TEST(KKGIFTest, MagentaMatchesTheKeyOverFourBytes) {
  // Transparent pixels keep the target, opaque ones replace all four bytes, and a
  // magenta pixel comes out as 0x00FF00FF: the fourth byte is 0.
  GifDesc g = Screen(3, 1);
  g.globalTable[5] = 0xFF00FF;
  GifFrameDesc f = Solid(0, 0, 3, 1, 5);
  f.indices = {5, 1, 3};
  f.transparent = true;
  f.transparentIndex = 3;
  g.frames.push_back(f);
  KKGIF gif;
  Load(gif, g);
  K_Dib dc;
  dc.Create(3, 1, 32);
  for (int32_t x = 0; x < 3; ++x) StoreU32(dc.PixelAddress(x, 0), 0xEE123456);
  gif.Draw(dc, 0, 0);
  EXPECT_EQ(dc.GetPixel(0, 0), 0x00FF00FFu);
  EXPECT_EQ(dc.GetPixel(1, 0), kRed);
  EXPECT_EQ(dc.GetPixel(2, 0), 0x00123456u);  // SRCAND with white clears the fourth byte
}

TEST(KKGIFTest, TickWaitsForTheDelayInHundredthsAndForceSkipsTheClock) {
  GifDesc g = Screen(2, 2);
  for (uint8_t i : {1, 2}) {
    GifFrameDesc f = Solid(0, 0, 2, 2, i);
    f.delay = 10;
    g.frames.push_back(f);
  }
  plat::sim::SetTickBase(0xFFFFFFC0u);  // the wait crosses the 32-bit wrap
  KKGIF gif;
  Load(gif, g);
  EXPECT_EQ(gif.GetStartTick(), 0xFFFFFFC0u);
  plat::sim::AdvanceClock(99);
  EXPECT_EQ(gif.Tick(false), 0);
  EXPECT_EQ(gif.GetCurrentFrame(), 0);
  plat::sim::AdvanceClock(1);
  EXPECT_EQ(gif.Tick(false), 1);
  EXPECT_EQ(gif.GetCurrentFrame(), 1);
  EXPECT_EQ(At(gif, 0, 0), kGreen);
  const uint32_t start = gif.GetStartTick();
  EXPECT_EQ(start, 0xFFFFFFC0u + 100);
  EXPECT_EQ(gif.Tick(true), 1);
  EXPECT_EQ(gif.GetCurrentFrame(), 0);
  EXPECT_EQ(gif.GetStartTick(), start);
}

TEST(KKGIFTest, DisposalTwoRestoresBlackAndWhiteThreeLeavesTheCanvas) {
  for (uint8_t disposal : {2, 3}) {
    GifDesc g = Screen(4, 4);
    g.frames.push_back(Solid(0, 0, 4, 4, 1));
    GifFrameDesc mid = Solid(1, 1, 2, 2, 2);
    mid.disposal = disposal;
    g.frames.push_back(mid);
    GifFrameDesc last = Solid(3, 3, 1, 1, 3);
    g.frames.push_back(last);
    KKGIF gif;
    Load(gif, g);
    gif.SeekFrame(2);
    EXPECT_EQ(At(gif, 1, 1), disposal == 2 ? 0u : kGreen) << int(disposal);
    EXPECT_EQ(At(gif, 0, 0), kRed);
    EXPECT_EQ(At(gif, 3, 3), kBlue);
    // The restored rectangle turns white on the mask, which stays unused: the opaque
    // first frame covered everything and only a whole-screen restore turns it back on.
    EXPECT_EQ(gif.CanvasMask().Test(1, 1), disposal == 2 ? 1 : 0);
    EXPECT_FALSE(gif.MaskInUse());
  }
  GifDesc g = Screen(2, 2);
  GifFrameDesc whole = Solid(0, 0, 2, 2, 1);
  whole.disposal = 2;
  g.frames.push_back(whole);
  g.frames.push_back(Solid(1, 1, 1, 1, 3));
  KKGIF gif;
  Load(gif, g);
  gif.SeekFrame(1);
  EXPECT_TRUE(gif.MaskInUse());
  EXPECT_EQ(gif.Canvas(), (std::vector<uint32_t>{0, 0, 0, kBlue}));
  EXPECT_EQ(gif.CanvasMask().Test(0, 0), 1);
  EXPECT_EQ(gif.CanvasMask().Test(1, 1), 0);
  K_Dib dc;
  dc.Create(2, 2, 32);
  for (int32_t i = 0; i < 4; ++i) StoreU32(dc.PixelAddress(i % 2, i / 2), 0x00445566);
  gif.Draw(dc, 0, 0);
  EXPECT_EQ(dc.GetPixel(0, 0), 0x00445566u);
  EXPECT_EQ(dc.GetPixel(1, 1), kBlue);
}

TEST(KKGIFTest, SeekingBackRendersFromTheFirstFrame) {
  GifDesc g = Screen(6, 1);
  for (uint16_t i = 0; i < 6; ++i) g.frames.push_back(Solid(i, 0, 1, 1, uint8_t(1 + i % 7)));
  KKGIF gif;
  Load(gif, g);
  gif.SeekFrame(5);
  EXPECT_EQ(At(gif, 5, 0), g.globalTable[6]);
  gif.SeekFrame(2);
  EXPECT_EQ(gif.GetCurrentFrame(), 2);
  // Frame 0 is opaque and leaves the rest of the canvas as it was: 3..5 keep the
  // pixels of the earlier pass, 0..2 are drawn again in order.
  for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(At(gif, x, 0), g.globalTable[size_t(1 + x)]) << x;
  gif.SeekFrame(9);
  EXPECT_EQ(gif.GetCurrentFrame(), 0);
}

TEST(KKGIFTest, InterlacedRowsLandInPassOrder) {
  for (uint16_t height : {10, 3, 1}) {
    GifDesc g = Screen(1, height);
    GifFrameDesc f = Solid(0, 0, 1, height, 0);
    for (uint16_t y = 0; y < height; ++y) f.indices[y] = uint8_t(y % 8);
    f.interlace = true;
    g.frames.push_back(f);
    KKGIF gif;
    Load(gif, g);
    for (uint16_t y = 0; y < height; ++y) EXPECT_EQ(gif.GetFrame(0)->image[y], g.globalTable[y % 8]) << y;
  }
}

TEST(KKGIFTest, LzwBeyondTheTableAndSurplusPixelsStayInBounds) {
  // 200 x 200 noise fills the 4096-entry table long before the end without a clear
  // code; surplus pixels follow a small image.
  GifDesc big = Screen(200, 200);
  big.globalTable.resize(256);
  GifFrameDesc noise = Solid(0, 0, 200, 200, 0);
  CaseRng rng(7);
  for (uint8_t& v : noise.indices) v = rng.Byte();
  big.frames.push_back(noise);
  KKGIF gif;
  Load(gif, big);
  ASSERT_TRUE(gif.GetFrame(0)->HasImage());
  for (size_t i = 0; i < noise.indices.size(); i += 997)
    EXPECT_EQ(gif.GetFrame(0)->image[i], big.globalTable[noise.indices[i]]) << i;

  for (bool clearEvery : {false, true}) {
    GifDesc small = Screen(2, 2);
    small.clearBeforeEveryCode = clearEvery;
    GifFrameDesc f = Solid(0, 0, 2, 2, 1);
    f.indices.resize(40, 2);
    small.frames.push_back(f);
    Load(gif, small);
    EXPECT_EQ(gif.GetFrame(0)->image, (std::vector<uint32_t>{kRed, kRed, kRed, kRed}));
  }
}

TEST(KKGIFTest, ControlBlocksAfterTheLastImageAndMissingPalettesAreHarmless) {
  GifDesc g = Screen(2, 1);
  g.trailingControl = true;
  g.globalTable.clear();
  GifFrameDesc f = Solid(0, 0, 2, 1, 0);
  f.indices = {0, 3};
  f.transparent = true;
  f.transparentIndex = 3;
  g.frames.push_back(f);
  KKGIF gif;
  Load(gif, g);
  ASSERT_EQ(gif.GetFrameCount(), 1);
  EXPECT_EQ(gif.GetFrame(0)->image, (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(gif.GetFrame(0)->mask.Test(1, 0), 1);
}

TEST(KKGIFTest, LoadFileReadsTheWholeHandleAndFailsOnAFailedRead) {
  TempDir dir;
  plat::sim::MapPathPrefix("C:\\Gif\\", dir.path());
  GifDesc g = Screen(2, 2);
  g.frames.push_back(Solid(0, 0, 2, 2, 4));
  g.frames.push_back(Solid(0, 0, 1, 1, 1));
  const Bytes bytes = EncodeGif(g);
  dir.Write("a.gif", std::string(bytes.begin(), bytes.end()));
  KKGIF gif;
  KFileHandle file;
  ASSERT_TRUE(file.Open("C:\\Gif\\a.gif", KFileHandle::kRead | KFileHandle::kShareRead));
  EXPECT_EQ(gif.LoadFile(file, 0), 1);
  EXPECT_EQ(gif.GetFrameCount(), 2);
  ASSERT_TRUE(file.Open("C:\\Gif\\a.gif", KFileHandle::kRead | KFileHandle::kShareRead));
  plat::sim::FailNext("ReadFile");
  EXPECT_EQ(gif.LoadFile(file, 0), 0);
  EXPECT_EQ(gif.GetFrameCount(), 0);
  plat::sim::ClearFaults();
  plat::sim::ClearPathPrefixes();
}

TEST(KKBitBOOLTest, RowsAreWholeWords) {
  KKBitBOOL bits;
  struct Case {
    int32_t w, perRow;
  } cases[] = {{1, 2}, {8, 2}, {9, 2}, {16, 2}, {17, 4}, {33, 6}};
  for (const Case& c : cases) {
    ASSERT_EQ(bits.Create(c.w, 1), 1);
    EXPECT_EQ(bits.BytesPerRow(), c.perRow) << c.w;
  }
  EXPECT_EQ(bits.Create(0, 1), 0);
  EXPECT_TRUE(bits.Empty());
  EXPECT_EQ(bits.Test(0, 0), 0);
  bits.Set(0, 0);  // ignored on an empty set
}

TEST(KKBitBOOLTest, CroppingASingleBit) {
  KKBitBOOL bits, out;
  bits.Create(10, 10);
  KKPoint origin;
  EXPECT_EQ(bits.CropTo(origin, out), 0);
  bits.Set(3, 4);
  bits.Set(12, 4);  // outside: ignored
  ASSERT_EQ(bits.CropTo(origin, out), 1);
  EXPECT_EQ(out.GetWidth(), 1);
  EXPECT_EQ(out.GetHeight(), 1);
  EXPECT_EQ(origin.x, 3);
  EXPECT_EQ(origin.y, 4);
  EXPECT_EQ(out.Test(0, 0), 1);
  ASSERT_EQ(bits.Crop(origin), 1);
  EXPECT_EQ(bits.GetWidth(), 1);
}

TEST(KKBitBOOLTest, FromBitmapWriteFileReadMemoryRoundTrips) {
  // A 1-bit bitmap with rows padded to four bytes, as GetDIBits hands them over.
  KKMonoBitmap mono{19, 3, 4, std::vector<uint8_t>(12)};
  for (size_t i = 0; i < mono.bits.size(); ++i) mono.bits[i] = uint8_t(0x5A + 31 * i);
  KKBitBOOL bits;
  ASSERT_EQ(bits.FromBitmap(mono), 1);
  EXPECT_EQ(bits.BytesPerRow(), 4);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 19; ++x)
      EXPECT_EQ(bits.Test(x, y), (mono.bits[size_t(y * 4 + x / 8)] >> (7 - x % 8)) & 1) << x << "," << y;

  TempDir dir;
  plat::sim::MapPathPrefix("C:\\Bits\\", dir.path());
  {
    KFileHandle file;
    ASSERT_TRUE(file.Open("C:\\Bits\\m.bit", KFileHandle::kWrite | KFileHandle::kCreateAlways));
    EXPECT_EQ(bits.WriteFile(file), bits.GetFileSize());
  }
  const std::string saved = dir.Read("m.bit");
  KKBitBOOL back;
  EXPECT_EQ(back.ReadMemory(reinterpret_cast<const uint8_t*>(saved.data()), saved.size()), saved.size());
  EXPECT_EQ(back.SaveToBytes(), bits.SaveToBytes());
  EXPECT_EQ(back.ReadMemory(reinterpret_cast<const uint8_t*>(saved.data()), saved.size() - 1), 0u);
  uint8_t small[4];
  EXPECT_EQ(bits.CopyBitsTo(small, sizeof small), 0);
  plat::sim::ClearPathPrefixes();
}

}  // namespace
