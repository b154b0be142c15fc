#include <gtest/gtest.h>

#include <vector>

#include "WidgetTestSupport.h"
#include "support/Sweep.h"
#include "base/DDSurfacePixel.h"
#include "widgets/SoftBlit.h"

namespace soft_blit_test {

using widget_test::DisplayFormat;
using widget_test::DisplayTest;
using widget_test::PixelAt;

constexpr uint32_t kNoKey = 0xFFFFFFFFu;

DDSurface MakeFormatSurface(const DDObject& dd, DisplayFormat f, int32_t w, int32_t h) {
  DDSURFACEDESC2 d;
  InitSurfaceDesc(d, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT, DWORD(w), DWORD(h),
                  DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
  d.ddpfPixelFormat.dwFlags = DDPF_RGB;
  auto& pf = d.ddpfPixelFormat;
  switch (f) {
    case DisplayFormat::Rgb565: pf.dwRGBBitCount = 16, pf.dwRBitMask = 0xF800, pf.dwGBitMask = 0x7E0, pf.dwBBitMask = 0x1F; break;
    case DisplayFormat::Rgb555: pf.dwRGBBitCount = 16, pf.dwRBitMask = 0x7C00, pf.dwGBitMask = 0x3E0, pf.dwBBitMask = 0x1F; break;
    case DisplayFormat::Rgb888: pf.dwRGBBitCount = 24, pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0xFF00, pf.dwBBitMask = 0xFF; break;
    default: pf.dwRGBBitCount = 32, pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0xFF00, pf.dwBBitMask = 0xFF; break;
  }
  DDSurface s;
  EXPECT_EQ(CreateSurface(dd, s, &d), S_OK);
  return s;
}

void Fill(const DDSurface& s, uint32_t v) {
  SIZE size{};
  QuerySurfaceSize(s, &size);
  for (int32_t y = 0; y < size.cy; ++y)
    for (int32_t x = 0; x < size.cx; ++x) SetSurfacePixel(s, x, y, v);
}

void SetRow(const DDSurface& s, std::initializer_list<uint32_t> px) {
  int32_t x = 0;
  for (uint32_t v : px) SetSurfacePixel(s, x++, 0, v);
}

std::vector<uint32_t> Row(const DDSurface& s, int32_t y, int32_t n) {
  std::vector<uint32_t> out;
  for (int32_t x = 0; x < n; ++x) out.push_back(PixelAt(s, x, y));
  return out;
}

// Every raw byte of a surface's memory, padding included.
std::vector<uint8_t> RawBytes(const DDSurface& s) {
  DDSURFACEDESC2 d;
  InitSurfaceDesc(d);
  std::vector<uint8_t> out;
  if (FAILED(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr))) return out;
  const auto* p = static_cast<const uint8_t*>(d.lpSurface);
  out.assign(p, p + size_t(d.lPitch) * d.dwHeight);
  s->Unlock(nullptr);
  return out;
}

class SoftBlitTest : public DisplayTest {
 protected:
  DDSurface Make(DisplayFormat f, int32_t w, int32_t h) { return MakeFormatSurface(dd_, f, w, h); }
};

class SoftBlit16Test : public SoftBlitTest, public testing::WithParamInterface<DisplayFormat> {};
class SoftBlitFormatTest : public SoftBlitTest, public testing::WithParamInterface<DisplayFormat> {};

TEST(BlendTableTest, HoldsFloorOfTheStepMixForEveryEntry) {
  EXPECT_EQ(sizeof(kBlendTable), 69632u);
  for (uint32_t s = 0; s < 64; ++s)
    for (uint32_t d = 0; d < 64; ++d) {
      for (uint32_t k = 0; k < 16; ++k) ASSERT_EQ(BlendTableAt(s, d, k), (s * (15 - k) + d * k) / 15) << s << " " << d;
      ASSERT_EQ(BlendTableAt(s, d, 16), 0);
    }
}

// Blue 31 over blue 0 at level 0 (a = 255): the single formula gives 30, the pair
// formula 31; a row of odd length takes its first pixel singly.
TEST_P(SoftBlit16Test, OddRowStartsWithTheSinglePixelThenPairs) {
  const DisplayFormat f = GetParam();
  const struct { int32_t length; std::vector<uint32_t> blue; } rows[] = {
      {1, {30}}, {2, {31, 31}}, {3, {30, 31, 31}}, {4, {31, 31, 31, 31}}, {5, {30, 31, 31, 31, 31}}};
  for (const auto& row : rows) {
    DDSurface src = Make(f, 6, 1), dst = Make(f, 6, 1);
    Fill(src, 0x1F);
    Fill(dst, 0);
    const RECT r{0, 0, row.length, 1};
    EXPECT_EQ(AlphaBlendSurface(0, 0, src, dst, r, 0, 0, 0), S_OK);
    std::vector<uint32_t> expected = row.blue;
    expected.resize(6, 0);
    EXPECT_EQ(Row(dst, 0, 6), expected) << "length " << row.length;
  }
}

TEST_P(SoftBlit16Test, KeyedPixelsOfAPairKeepTheTargetAndFullLevelKeepsEverything) {
  const DisplayFormat f = GetParam();
  const uint32_t key = widget_test::DevicePixel(f, 255, 0, 255), under = 0x0421;
  DDSurface src = Make(f, 4, 1), dst = Make(f, 4, 1);
  // Pairs (0,1) and (2,3): one keyed half, then both halves keyed.
  Fill(src, key);
  SetSurfacePixel(src, 0, 0, 0x1F);
  Fill(dst, under);
  const RECT r{0, 0, 4, 1};
  ASSERT_EQ(AlphaBlendSurface(0, 0, src, dst, r, 0, 1, key), S_OK);
  EXPECT_NE(PixelAt(dst, 0, 0), under);
  EXPECT_EQ(Row(dst, 0, 4), (std::vector<uint32_t>{PixelAt(dst, 0, 0), under, under, under}));
  const std::vector<uint8_t> before = RawBytes(dst);
  EXPECT_EQ(AlphaBlendSurface(0, 0, src, dst, r, 255, 0, key), S_OK);
  EXPECT_EQ(RawBytes(dst), before) << "level 255 keeps the target";
  ASSERT_EQ(AlphaBlendSurface(0, 0, src, dst, r, 0, 0, key), S_OK);
  EXPECT_NE(PixelAt(dst, 1, 0), under) << "a clear flag draws the key";
}

INSTANTIATE_TEST_SUITE_P(Formats, SoftBlit16Test, testing::Values(DisplayFormat::Rgb565, DisplayFormat::Rgb555),
                         widget_test::FormatParam);

TEST_F(SoftBlitTest, ByteChannelTargetsWriteThreeBytesOrKeepTheFourth) {
  // 24-bit: the byte after the pixel belongs to the next one and stays.
  DDSurface src24 = Make(DisplayFormat::Rgb888, 2, 1), dst24 = Make(DisplayFormat::Rgb888, 2, 1);
  Fill(src24, 0xFF8000);
  Fill(dst24, 0x0000FF);
  const RECT one{0, 0, 1, 1};
  ASSERT_EQ(AlphaBlendSurface(0, 0, src24, dst24, one, 0, 0, 0), S_OK);
  EXPECT_EQ(Row(dst24, 0, 2), (std::vector<uint32_t>{0xFF8000u, 0x0000FFu}));
  // 32-bit: the fourth byte is the target's.
  DDSurface src32 = Make(DisplayFormat::Xrgb8888, 1, 1), dst32 = Make(DisplayFormat::Xrgb8888, 1, 1);
  SetRow(src32, {0x11FFFFFF});
  SetRow(dst32, {0xAB000000});
  ASSERT_EQ(AlphaBlendSurface(0, 0, src32, dst32, one, 128, 0, 0), S_OK);
  // s + floor((t - s) x 128 / 256): 255 + floor(-255 / 2) = 127.
  EXPECT_EQ(PixelAt(dst32, 0, 0), 0xAB7F7F7Fu);
}

TEST_P(SoftBlitFormatTest, StretchAtTheLevelEnds) {
  const DisplayFormat f = GetParam();
  const bool wide = f == DisplayFormat::Xrgb8888;
  DDSurface src = Make(f, 2, 1), dst = Make(f, 2, 1);
  const uint32_t white = widget_test::DevicePixel(f, 255, 255, 255), grey = widget_test::DevicePixel(f, 80, 120, 40);
  SetRow(src, {white, grey});
  Fill(dst, 0);
  const RECT r{0, 0, 2, 1};
  ASSERT_EQ(BlendBlitStretch(dst, r, src, r, 0, kNoKey), S_OK);
  // 16-bit: step 0 is the source; 32-bit: floor(s x 255 / 256), so 255 becomes 254.
  EXPECT_EQ(Row(dst, 0, 2), wide ? (std::vector<uint32_t>{0xFEFEFEu, widget_test::DevicePixel(f, 79, 119, 39)})
                                 : (std::vector<uint32_t>{white, grey}));
  Fill(dst, grey);
  ASSERT_EQ(BlendBlitStretch(dst, r, src, r, 255, kNoKey), S_OK);
  // 32-bit: within one of the target, (80 x 255) >> 8 = 79.
  if (wide) EXPECT_EQ(PixelAt(dst, 0, 0), widget_test::DevicePixel(f, 79, 119, 39));
  else EXPECT_EQ(Row(dst, 0, 2), (std::vector<uint32_t>{grey, grey}));
}

TEST_P(SoftBlitFormatTest, StretchToDoubleWidthRepeatsEachPixelAndSkipsTheKey) {
  const DisplayFormat f = GetParam();
  DDSurface src = Make(f, 3, 1), dst = Make(f, 6, 1);
  const uint32_t key = widget_test::DevicePixel(f, 255, 0, 255);
  const uint32_t a = widget_test::DevicePixel(f, 0, 0, 248), b = widget_test::DevicePixel(f, 0, 248, 0);
  const uint32_t under = widget_test::DevicePixel(f, 8, 8, 8);
  SetRow(src, {a, key, b});
  Fill(dst, under);
  const RECT from{0, 0, 3, 1}, to{0, 0, 6, 1};
  ASSERT_EQ(BlendBlitStretch(dst, to, src, from, 0, key), S_OK);
  const std::vector<uint32_t> got = Row(dst, 0, 6);
  EXPECT_EQ(got, (std::vector<uint32_t>{got[0], got[0], under, under, got[4], got[4]}));
  EXPECT_NE(got[0], got[4]);
}

TEST_F(SoftBlitTest, SurfacesOfDifferentFormatsAreRefusedOrLeftAlone) {
  DDSurface src = Make(DisplayFormat::Rgb555, 2, 2), dst = Make(DisplayFormat::Rgb565, 2, 2);
  Fill(src, 0x7FFF);
  Fill(dst, 0x0841);
  const std::vector<uint8_t> before = RawBytes(dst);
  const RECT r{0, 0, 2, 2};
  const uint8_t alpha[4] = {255, 255, 255, 255};
  EXPECT_EQ(AlphaBlendSurface(0, 0, src, dst, r, 100, 0, 0), S_OK) << "the level blend draws nothing";
  EXPECT_EQ(BlendBlitStretch(dst, r, src, r, 10, kNoKey), E_INVALIDARG);
  EXPECT_EQ(BlendBlitAlpha(dst, r, src, r, 10, alpha, 4), E_INVALIDARG);
  EXPECT_EQ(RawBytes(dst), before);
  // A 24-bit alpha-plane blend draws nothing either.
  DDSurface src24 = Make(DisplayFormat::Rgb888, 2, 1), dst24 = Make(DisplayFormat::Rgb888, 2, 1);
  Fill(src24, 0xFFFFFF);
  Fill(dst24, 0);
  const RECT row{0, 0, 2, 1};
  EXPECT_EQ(BlendBlitAlpha(dst24, row, src24, row, 0, alpha, 2), S_OK);
  EXPECT_EQ(Row(dst24, 0, 2), (std::vector<uint32_t>{0, 0}));
}

// The weight as the system computes it: 255 less the alpha times the single-precision
// 1/255 times the level's complement, in double precision, truncated towards zero.
int32_t IndependentWeight(uint32_t a, uint32_t level) {
  const float oneOver255 = 1.0f / 255.0f;
  return int32_t(255.0 - double(a) * (double(255 - level) * double(oneOver255)));
}

TEST(AlphaPlaneWeightTest, FollowsTheSinglePrecisionConstant) {
  // The constant is a little above 1/255, so 255 - 128 x 255 x c is just below 127.
  const std::vector<int32_t> got{AlphaPlaneWeight(128, 0), AlphaPlaneWeight(129, 0), AlphaPlaneWeight(255, 0),
                                 AlphaPlaneWeight(0, 0), AlphaPlaneWeight(255, 255), AlphaPlaneWeight(255, 400)};
  EXPECT_EQ(got, (std::vector<int32_t>{126, 125, 0, 255, 255, 255}));
  for (uint32_t level = 0; level < 256; level += 5)
    for (uint32_t a = 0; a < 256; ++a) ASSERT_EQ(AlphaPlaneWeight(a, level), IndependentWeight(a, level));
}

TEST_P(SoftBlitFormatTest, AlphaPlaneBlendsByTheWeightCopiesOpaqueAndSkipsClear) {
  const DisplayFormat f = GetParam();
  const bool wide = f == DisplayFormat::Xrgb8888;
  DDSurface src = Make(f, 4, 1), dst = Make(f, 4, 1);
  const uint32_t white = widget_test::DevicePixel(f, 255, 255, 255), black = 0;
  Fill(src, white);
  Fill(dst, black);
  const uint8_t alpha[4] = {129, 255, 0, 128};
  const RECT r{0, 0, 4, 1};
  ASSERT_EQ(BlendBlitAlpha(dst, r, src, r, 0, alpha, 4), S_OK);
  const int32_t max = wide ? 255 : 31;
  auto blended = [&](int32_t w) { return (max * (255 - w)) >> 8; };
  const uint32_t mid129 = wide ? uint32_t(blended(125)) * 0x010101u : uint32_t(blended(125));
  EXPECT_EQ(PixelAt(dst, 0, 0) & (wide ? 0xFFu : 0x1Fu), mid129 & (wide ? 0xFFu : 0x1Fu));
  // An opaque byte at level 0 copies: white stays white, not one step below.
  EXPECT_EQ(std::pair(PixelAt(dst, 1, 0), PixelAt(dst, 2, 0)), std::pair(white, black));
  EXPECT_EQ(PixelAt(dst, 3, 0) & (wide ? 0xFFu : 0x1Fu), uint32_t(blended(126)));
  // Level 255 keeps the target even under an opaque byte; a plane shorter than the
  // source surface draws nothing, even over a part it would cover.
  Fill(dst, black);
  ASSERT_EQ(BlendBlitAlpha(dst, r, src, r, 255, alpha, 4), S_OK);
  EXPECT_EQ(Row(dst, 0, 4), (std::vector<uint32_t>(4, black)));
  const RECT part{0, 0, 2, 1};
  ASSERT_EQ(BlendBlitAlpha(dst, part, src, part, 0, alpha, 3), S_OK);
  EXPECT_EQ(Row(dst, 0, 4), (std::vector<uint32_t>(4, black)));
}

TEST_F(SoftBlitTest, LockFailureIsReturnedAndNothingStaysLocked) {
  DDSurface src = MakeFormatSurface(dd_, DisplayFormat::Xrgb8888, 2, 2), dst = Make(DisplayFormat::Xrgb8888, 2, 2);
  const RECT r{0, 0, 2, 2};
  plat::sim::SetStillDrawing(1);
  EXPECT_EQ(AlphaBlendSurface(0, 0, src, dst, r, 10, 0, 0), E_FAIL);
  plat::sim::SetStillDrawing(1);
  EXPECT_EQ(BlendBlitStretch(dst, r, src, r, 10, kNoKey), E_FAIL);
  EXPECT_FALSE(RawBytes(src).empty());  // both lock again
  EXPECT_FALSE(RawBytes(dst).empty());
}

// The drivers' two paths agree on real surfaces, whose rows are padded past their
// pixels: the padding must come out untouched as well.
TEST_P(SoftBlitFormatTest, FastAndReferencePathsAgreeOnPaddedSurfaces) {
  const DisplayFormat f = GetParam();
  testing_support::CaseRng rng(17);
  DDSurface src = Make(f, 13, 7);
  std::vector<uint8_t> alpha(13 * 7);
  for (auto& a : alpha) a = rng.Byte();
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 13; ++x) SetSurfacePixel(src, x, y, uint32_t(rng.Next()) & (f == DisplayFormat::Rgb555 ? 0x7FFF : 0xFFFFFFFF));
  const uint32_t key = PixelAt(src, 3, 3);
  const RECT from{-2, 1, 12, 9}, to{-3, 2, 20, 11};
  for (uint32_t level : {1u, 77u, 128u, 254u}) {
    auto run = [&](BlitPath path) {
      DDSurface t = Make(f, 17, 9);
      Fill(t, 0x5555);
      EXPECT_EQ(AlphaBlendSurface(1, -1, src, t, from, level, 1, key, path), S_OK);
      EXPECT_EQ(BlendBlitStretch(t, to, src, from, level, key, path), S_OK);
      EXPECT_EQ(BlendBlitAlpha(t, to, src, from, level, alpha.data(), alpha.size(), path), S_OK);
      return RawBytes(t);
    };
    EXPECT_EQ(run(BlitPath::kFast), run(BlitPath::kReference)) << "level " << level;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, SoftBlitFormatTest, widget_test::DesktopFormats(), widget_test::FormatParam);

}  // namespace soft_blit_test
