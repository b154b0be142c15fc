// The sprite library's GIF decoder and its bit set: GDI bitmaps and masks in both
// bitmap modes, transparency, timing on the virtual clock, disposal, seeking,
// the colour key's fourth byte, drawing with raster operations,
// resources, released GDI objects, and the bit set's rows, crop, monochrome bitmaps and
// file form. Damaged files: GifReadersTest.
#include "graphics/KKGIF.h"

#include <gtest/gtest.h>

#include "base/ByteReader.h"
#include "graphics/GraphicsTestKit.h"
#include "graphics/KFileHandle.h"
#include "graphics/KKBitBOOL.h"
#include "graphics/KK_GdiScope.h"
#include "plat/sim.h"

namespace kkgif_test {

using namespace gfx_test;
using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;
using Pixels = std::vector<uint32_t>;
constexpr auto Read = ReadBitmap;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;  // 0x00RRGGBB

// The screen the GDI bitmaps are made for: the simulated desktop's format and size.
void UseScreen(int bits, int width, int height) {
  plat::sim::SetDesktopFormat(bits == 16 ? plat::sim::DisplayFormat::Rgb565
                                         : plat::sim::DisplayFormat::Xrgb8888);
  plat::sim::SetDesktopSize(width, height);
}

GifDesc Screen(uint16_t w, uint16_t h) {
  return GifScreen(w, h, {0x000000, kRed, kGreen, kBlue, kWhite, 0x808080, 0x111111, 0x222222});
}

GifFrameDesc Keyed(GifFrameDesc f, std::vector<uint8_t> indices, uint8_t transparentIndex = 0) {
  f.indices = std::move(indices);
  f.transparent = true;
  f.transparentIndex = transparentIndex;
  return f;
}

KKGIF& Load(KKGIF& gif, const GifDesc& desc) {
  const Bytes bytes = EncodeGif(desc);
  EXPECT_EQ(gif.LoadMemory(bytes.data(), bytes.size()), 1);
  return gif;
}

int32_t Depth(HBITMAP bitmap) {
  BITMAP bm{};
  return bitmap && GetObjectA(bitmap, sizeof bm, &bm) ? bm.bmBitsPixel : 0;
}

// A 32-bit top-down DIB section in a memory DC: what the game draws GIFs onto.
class Target {
 public:
  Target(int32_t w, int32_t h, uint32_t fill = 0) : m_w(w) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<uint8_t*>(bits);
    m_dc.Select(m_bitmap.Get());
    for (int32_t i = 0; i < w * h; ++i) Set(i % w, i / w, fill);
  }
  HDC dc() const { return m_dc.Get(); }
  uint32_t At(int32_t x, int32_t y) const { return LoadU32(m_bits + size_t(y * m_w + x) * 4); }
  void Set(int32_t x, int32_t y, uint32_t v) { StoreU32(m_bits + size_t(y * m_w + x) * 4, v); }

 private:
  int32_t m_w;
  uint8_t* m_bits = nullptr;
  KK_GdiObject<HBITMAP> m_bitmap;  // outlives the DC's hold on it
  KK_MemoryDC m_dc;
};

// Every test ends with the GDI objects and DCs it started with; the decoder's bitmap
// mode is a shared setting, so each test starts from device-dependent bitmaps.
class KKGIFTest : public testing::Test {
 protected:
  void SetUp() override { KKGIF::SetDibSectionMode(false); }
  void TearDown() override {
    balance_.Check();
    KKGIF::SetDibSectionMode(false);
    UseScreen(32, 1024, 768);
    plat::sim::ClearFaults();
  }
  GdiBalance balance_;
};

using KKBitBOOLTest = KKGIFTest;

TEST_F(KKGIFTest, FramesAreBitmapsOfTheScreenOrEightBitDibSections) {
  // Device-dependent bitmaps take the screen's format; DIB sections keep the indices.
  // Pure colours survive 5-6-5, so every mode draws the same picture.
  struct Case {
    bool dibSections;
    int screenBits;
    int imageBits;
  } cases[] = {{false, 32, 32}, {false, 16, 16}, {true, 32, 8}, {true, 16, 8}};
  GifDesc g = Screen(2, 2);
  GifFrameDesc f = SolidFrame(0, 0, 2, 2, 1);
  f.indices = {1, 2, 3, 4};
  g.frames.push_back(f);
  g.frames.push_back(SolidFrame(1, 1, 1, 1, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.imageBits);
    UseScreen(c.screenBits, 64, 64);
    KKGIF::SetDibSectionMode(c.dibSections);
    KKGIF gif;
    Load(gif, g);
    EXPECT_EQ(Depth(gif.GetFrameBitmap(0)), c.imageBits);
    EXPECT_EQ(Depth(gif.GetFrameBitmap(-1)), c.dibSections ? 32 : c.screenBits);
    EXPECT_EQ(gif.CanvasBits() != nullptr, c.dibSections);
    gif.SeekFrame(1);
    Target t(2, 2);
    gif.Draw(t.dc(), 0, 0);
    EXPECT_EQ((Pixels{t.At(0, 0), t.At(1, 0), t.At(0, 1), t.At(1, 1)}), (Pixels{kRed, kGreen, kBlue, 0}));
  }
}

TEST_F(KKGIFTest, MagentaMatchesTheKeyOverFourBytesTheTargetsColoursAreIgnoredAndUnusedKeysDropped) {
  // Transparent pixels keep the target, opaque ones replace all four bytes, and a
  // magenta pixel comes out as 0x00FF00FF: the fourth byte is 0. The mask's raster
  // operations must not take the target's text and background colours.
  GifDesc g = Screen(3, 1);
  g.globalTable[5] = 0xFF00FF;
  g.frames.push_back(Keyed(SolidFrame(0, 0, 3, 1, 5), {5, 1, 3}, 3));
  for (bool dibSections : {false, true}) {
    KKGIF::SetDibSectionMode(dibSections);
    KKGIF gif;
    Load(gif, g);
    EXPECT_EQ(Read(gif.GetFrameMask(0)), (Pixels{0, 0, kWhite}));
    EXPECT_EQ(Read(gif.GetFrameBitmap(0)), (Pixels{0xFF00FF, kRed, 0}));  // the transparent entry turns black
    Target t(3, 1, 0xEE123456);
    SetTextColor(t.dc(), RGB(0, 255, 0));
    SetBkColor(t.dc(), RGB(0, 0, 128));
    gif.Draw(t.dc(), 0, 0);
    // SRCAND with white clears the fourth byte of the transparent pixel.
    EXPECT_EQ((Pixels{t.At(0, 0), t.At(1, 0), t.At(2, 0)}), (Pixels{0x00FF00FF, kRed, 0x00123456}));
    EXPECT_EQ((Pixels{GetTextColor(t.dc()), GetBkColor(t.dc())}), (Pixels{RGB(0, 255, 0), RGB(0, 0, 128)}));
  }
  // Transparency without transparent pixels is dropped, and the frame drawn opaque.
  GifDesc unused = Screen(2, 2);
  unused.frames.push_back(Keyed(SolidFrame(0, 0, 2, 2, 2), Bytes(4, 2), 1));
  KKGIF gif;
  Load(gif, unused);
  EXPECT_EQ(gif.GetFrame(0)->transparent, 0);
  EXPECT_EQ(gif.GetFrameMask(0), nullptr);
  Target t(2, 2, 0x00ABCDEF);
  gif.Draw(t.dc(), 0, 0);
  EXPECT_EQ(t.At(0, 0), kGreen);
}

TEST_F(KKGIFTest, TickWaitsForTheDelayInHundredthsAndForceSkipsTheClock) {
  GifDesc g = Screen(4, 4);
  for (uint8_t i : {1, 2}) {
    g.frames.push_back(SolidFrame(0, 0, 4, 4, i));
    g.frames.back().delay = 10;
  }
  plat::sim::SetTickBase(0xFFFFFFC0u);  // the wait crosses the 32-bit wrap
  KKGIF gif;
  Load(gif, g);
  EXPECT_EQ(gif.GetStartTick(), 0xFFFFFFC0u);
  auto state = [&](int stepped) { return std::vector<int64_t>{stepped, gif.GetCurrentFrame(), gif.GetStartTick()}; };
  plat::sim::AdvanceClock(99);
  EXPECT_EQ(state(gif.Tick(false)), (std::vector<int64_t>{0, 0, 0xFFFFFFC0u}));
  plat::sim::AdvanceClock(1);
  EXPECT_EQ(state(gif.Tick(false)), (std::vector<int64_t>{1, 1, 0xFFFFFFC0u + 100}));
  EXPECT_EQ(Read(gif.GetFrameBitmap(-1)), Pixels(16, kGreen));
  EXPECT_EQ(state(gif.Tick(true)), (std::vector<int64_t>{1, 0, 0xFFFFFFC0u + 100}));
  EXPECT_EQ(Read(gif.GetFrameBitmap(-1)), Pixels(16, kRed));
  // Only a picture that meets the rectangle steps; (10, 0) touches only the edge.
  plat::sim::AdvanceClock(1000);
  EXPECT_EQ((std::vector<int>{gif.TickIfVisible(RECT{0, 0, 10, 10}, 10, 0), gif.TickIfVisible(RECT{0, 0, 10, 10}, -4, 5),
                              gif.GetCurrentFrame(), gif.TickIfVisible(RECT{0, 0, 10, 10}, -3, 9), gif.GetCurrentFrame()}),
            (std::vector<int>{0, 0, 0, 1, 1}));
}

TEST_F(KKGIFTest, DisposalTwoRestoresBlackAndWhiteThreeLeavesTheCanvas) {
  for (uint8_t disposal : {2, 3}) {
    SCOPED_TRACE(int(disposal));
    GifDesc g = Screen(4, 4);
    g.frames = {SolidFrame(0, 0, 4, 4, 1), SolidFrame(1, 1, 2, 2, 2), SolidFrame(3, 3, 1, 1, 3)};
    g.frames[1].disposal = disposal;
    KKGIF gif;
    Load(gif, g);
    gif.SeekFrame(2);
    const Pixels canvas = Read(gif.GetFrameBitmap(-1));
    EXPECT_EQ(canvas[5], disposal == 2 ? 0u : kGreen);
    EXPECT_EQ(canvas[0], kRed);
    EXPECT_EQ(canvas[15], kBlue);
    // The restored rectangle turns white on the mask, which stays unused: the opaque
    // first frame covered everything and only a whole-screen restore turns it back on.
    EXPECT_EQ(Read(gif.GetFrameMask(-1))[5], disposal == 2 ? kWhite : 0u);
    EXPECT_FALSE(gif.MaskInUse());
  }
  GifDesc g = Screen(2, 2);
  g.frames = {SolidFrame(0, 0, 2, 2, 1), SolidFrame(1, 1, 1, 1, 3)};
  g.frames[0].disposal = 2;
  for (bool dibSections : {false, true}) {
    KKGIF::SetDibSectionMode(dibSections);
    KKGIF gif;
    Load(gif, g);
    gif.SeekFrame(1);
    EXPECT_TRUE(gif.MaskInUse());
    EXPECT_EQ(Read(gif.GetFrameBitmap(-1)), (Pixels{0, 0, 0, kBlue}));
    EXPECT_EQ(Read(gif.GetFrameMask(-1)), (Pixels{kWhite, kWhite, kWhite, 0}));
    Target t(2, 2, 0x00445566);
    gif.Draw(t.dc(), 0, 0);
    EXPECT_EQ(t.At(0, 0), 0x00445566u);
    EXPECT_EQ(t.At(1, 1), kBlue);
  }
}

TEST_F(KKGIFTest, DrawingIsLimitedToThePictureTheRectangleAndTheFrame) {
  GifDesc g = Screen(4, 4);
  GifFrameDesc back = SolidFrame(0, 0, 4, 4, 1);
  for (size_t i = 0; i < 16; ++i) back.indices[i] = uint8_t(1 + i % 4);
  g.frames = {back, Keyed(SolidFrame(1, 2, 2, 1, 3), {3, 0})};
  KKGIF gif;
  Load(gif, g);
  const uint32_t kPaper = 0x00777777;
  // Only the meeting of the picture at (2, 1) and the rectangle changes, with the
  // source moved by the same amount.
  Target clipped(8, 8, kPaper);
  gif.DrawClipped(clipped.dc(), RECT{3, 0, 5, 3}, 2, 1);
  // A frame lands at its own offset with its own size, through its mask.
  Target frame(8, 8, kPaper);
  gif.DrawFrame(frame.dc(), 3, 3, 1);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const bool inside = x >= 3 && x < 5 && y >= 1 && y < 3;
      const uint32_t want = inside ? g.globalTable[1 + size_t((y - 1) * 4 + (x - 2)) % 4] : kPaper;
      EXPECT_EQ(clipped.At(x, y), want) << x << "," << y;
      EXPECT_EQ(frame.At(x, y), x == 4 && y == 5 ? kBlue : kPaper) << x << "," << y;
    }
  gif.DrawFrame(frame.dc(), 0, 0, 7);  // out of range: frame 0
  EXPECT_EQ(frame.At(3, 3), g.globalTable[4]);
}

TEST_F(KKGIFTest, FailingBitmapsLeaveFramesWithoutPicturesAndLeakNothing) {
  GifDesc g = Screen(2, 2);
  g.frames = {Keyed(SolidFrame(0, 0, 2, 2, 1), {1, 0, 0, 1}), SolidFrame(0, 0, 2, 2, 2)};
  KKGIF::SetDibSectionMode(true);
  for (int32_t skip = 0; skip < 4; ++skip) {
    plat::sim::FailNext("CreateDIBSection", 1, uint32_t(skip));
    KKGIF gif;
    Load(gif, g);
    plat::sim::ClearFaults();
    gif.SeekFrame(1);
    Target t(2, 2, 0x00010203);
    gif.Draw(t.dc(), 0, 0);
    gif.DrawFrame(t.dc(), 0, 0, 0);
  }
}

TEST_F(KKGIFTest, ABogusSignatureIsParsedFromOffsetSix) {
  GifDesc g = Screen(3, 2);
  g.bogusSignature = true;
  g.frames.push_back(SolidFrame(0, 0, 3, 2, 1));
  KKGIF gif;
  Load(gif, g);
  ASSERT_EQ(gif.GetFrameCount(), 1);
  EXPECT_EQ(Read(gif.GetFrameBitmap(0)), Pixels(6, kRed));
  EXPECT_EQ(gif.LoadMemory(nullptr, 5), 0);
  const uint8_t shortHeader[12] = {};
  EXPECT_EQ(gif.LoadMemory(shortHeader, sizeof shortHeader), 0);
}

TEST_F(KKGIFTest, FrameBitmapLookUps) {
  GifDesc one = Screen(2, 2);
  one.frames.push_back(SolidFrame(0, 0, 2, 2, 1));
  KKGIF gif;
  Load(gif, one);
  for (int32_t i : {-1, 0, 1, 5}) EXPECT_EQ(gif.GetFrameBitmap(i), gif.GetFrameBitmap(0)) << i;
  EXPECT_NE(gif.GetFrameBitmap(0), nullptr);

  GifDesc two = one;
  GifFrameDesc hole = SolidFrame(0, 0, 1, 1, 0);
  hole.transparent = true;
  two.frames.push_back(hole);
  Load(gif, two);
  EXPECT_NE(gif.GetFrameBitmap(-1), gif.GetFrameBitmap(0));
  EXPECT_EQ(Depth(gif.GetFrameMask(-1)), 1);
  EXPECT_EQ(Depth(gif.GetFrameMask(1)), 1);
  EXPECT_EQ(gif.GetFrameMask(0), nullptr);
  EXPECT_EQ(gif.GetFrameBitmap(2), nullptr);
  EXPECT_EQ(gif.GetFrameDelay(2), 0);
  EXPECT_EQ(gif.GetFrameDelay(-1), 0);
}

TEST_F(KKGIFTest, LoadResourceParsesARegisteredResource) {
  GifDesc g = Screen(2, 1);
  g.frames.push_back(SolidFrame(0, 0, 2, 1, 3));
  const Bytes bytes = EncodeGif(g);
  ASSERT_TRUE(plat::RegisterResource(nullptr, "GIF", MAKEINTRESOURCEA(301), bytes.data(), bytes.size()));
  ASSERT_TRUE(plat::RegisterResource(nullptr, "GIF", "EMPTY", bytes.data(), 0));
  KKGIF gif;
  ASSERT_EQ(gif.LoadResource(nullptr, MAKEINTRESOURCEA(301), "GIF"), 1);
  EXPECT_EQ(Read(gif.GetFrameBitmap(0)), Pixels(2, kBlue));
  EXPECT_EQ(gif.LoadResource(nullptr, "#301", "gif"), 1);  // the resource naming rules
  EXPECT_EQ(gif.LoadResource(nullptr, MAKEINTRESOURCEA(302), "GIF"), 0);
  EXPECT_EQ(gif.GetFrameCount(), 0);
  EXPECT_EQ(gif.LoadResource(nullptr, "EMPTY", "GIF"), 0);
}

TEST_F(KKGIFTest, LoadFileReadsTheWholeHandleAndFailsOnAFailedRead) {
  testing_support::TempDir dir;
  plat::sim::MapPathPrefix("C:\\Gif\\", dir.path());
  GifDesc g = Screen(2, 2);
  g.frames.push_back(SolidFrame(0, 0, 2, 2, 4));
  g.frames.push_back(SolidFrame(0, 0, 1, 1, 1));
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

TEST_F(KKBitBOOLTest, RowsAreWholeWords) {
  KKBitBOOL bits;
  struct Case {
    int32_t w, h, perRow;  // perRow 0: refused
  } cases[] = {{1, 1, 2},         {8, 1, 2},         {9, 1, 2},          {16, 1, 2},    {17, 1, 4},
               {33, 1, 6},        {65535, 1, 8192},  {65536, 1, 0},      {1, 65535, 2}, {1, 65536, 0},
               {65535, 8192, 8192}, {65535, 8193, 0}};  // the last two: exactly the byte cap, one row past it
  for (const Case& c : cases) {
    ASSERT_EQ(bits.Create(c.w, c.h), c.perRow ? 1 : 0) << c.w << "x" << c.h;
    EXPECT_EQ(bits.BytesPerRow(), c.perRow) << c.w << "x" << c.h;
  }
  EXPECT_EQ(bits.Create(0, 1), 0);
  EXPECT_TRUE(bits.Empty());
  EXPECT_EQ(bits.Test(0, 0), 0);
  bits.Set(0, 0);  // ignored on an empty set
  EXPECT_EQ(bits.CreateMonoBitmap(), nullptr);
}

TEST_F(KKBitBOOLTest, CroppingASingleBit) {
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

TEST_F(KKBitBOOLTest, FromBitmapWriteFileReadMemoryRoundTrips) {
  // A 1-bit bitmap 19 wide: 4 bytes a row both as CreateBitmap takes them and as
  // GetDIBits hands them over; the set keeps the same 4.
  Bytes rows(12);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(0x5A + 31 * i);
  KK_GdiObject<HBITMAP> mono(CreateBitmap(19, 3, 1, 1, rows.data()));
  KKBitBOOL bits;
  ASSERT_EQ(bits.FromBitmap(mono.Get()), 1);
  EXPECT_EQ(bits.BytesPerRow(), 4);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 19; ++x)
      EXPECT_EQ(bits.Test(x, y), (rows[size_t(y * 4 + x / 8)] >> (7 - x % 8)) & 1) << x << "," << y;
  // And back: the set's own bitmap reads as the same set.
  KK_GdiObject<HBITMAP> again(bits.CreateMonoBitmap());
  KKBitBOOL copy;
  ASSERT_EQ(copy.FromBitmap(again.Get()), 1);
  EXPECT_EQ(copy.SaveToBytes(), bits.SaveToBytes());

  testing_support::TempDir dir;
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
  Bytes exact(12), oneShort(11);
  EXPECT_EQ(bits.CopyBitsTo(oneShort.data(), oneShort.size()), 0);
  ASSERT_EQ(bits.CopyBitsTo(exact.data(), exact.size()), 1);
  const Bytes form = bits.SaveToBytes();  // width, height, then the same bits
  EXPECT_EQ(exact, Bytes(form.begin() + 8, form.end()));
  plat::sim::ClearPathPrefixes();
}

TEST_F(KKBitBOOLTest, FromBitmapTakesOnlyOneBitBitmaps) {
  KK_GdiObject<HBITMAP> colour(CreateBitmap(4, 4, 1, 32, nullptr));
  KKBitBOOL bits;
  EXPECT_EQ(bits.FromBitmap(colour.Get()), 0);
  EXPECT_EQ(bits.FromBitmap(nullptr), 0);
  EXPECT_TRUE(bits.Empty());
}

}  // namespace kkgif_test
