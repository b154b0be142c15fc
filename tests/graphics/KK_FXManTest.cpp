// The effect manager: its tables and mode choice checked by hand, and every fast row
// compared with the reference rows over a seeded sweep.
#include "graphics/KK_FXMan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "graphics/KK_FXLevelBlend.h"
#include "graphics/KK_FXMath.h"
#include "base/PixelFormat.h"
#include "support/SimdTargets.h"
#include "support/Sweep.h"

namespace kk_fxman_test {

using testing_support::CaseRng;

// One draw: the row function an effect selects and the parameters it filled.
struct Draw {
  KK_RowFn fn;
  KK_FXParams params;
  void operator()(void* dst, const void* src, int32_t count) const { fn(dst, src, count, params); }
};
Draw Mode(const KK_FXMan& m, uint32_t mode, int32_t level, uint32_t colour) {
  Draw d{nullptr, m.DrawParams()};
  d.fn = m.SetFXMode(d.params, mode, level, colour);
  return d;
}
Draw AlphaFill(const KK_FXMan& m, uint32_t colour, int32_t level) {
  Draw d{nullptr, m.DrawParams()};
  d.fn = m.SelectAlphaFill(d.params, colour, level);
  return d;
}

class FXManTest : public testing::Test {
 protected:
  void TearDown() override { DestroyFXManager(); }
  KK_FXMan& Make(int32_t format) {
    EXPECT_EQ(CreateFXManager(format), 1);
    return *GetFXManager();
  }
};

TEST_F(FXManTest, EndPointsOfTintColourAndAlphaFillsAndTableResultsKeepTheUnusedBitsZero) {
  KK_FXMan& m16 = Make(16);
  uint16_t d16[2] = {0xFFFF, 0x07E0}, s16[2] = {0x07E0, 0xFFFF};
  Mode(m16, 1, 13, 0)(d16, s16, 2);
  EXPECT_EQ((d16[0] | d16[1]) & 0x20, 0);  // the green low bit
  KK_FXMan& m = Make(32);
  uint32_t d32[1] = {0xAA102030}, s32[1] = {0xBB405060};
  Mode(m, 101, 0, 0)(d32, s32, 1);
  EXPECT_EQ(d32[0] >> 24, 0u);

  const uint32_t colour = 0x00FF8040;  // R 0x40, G 0x80, B 0xFF
  uint32_t d[1] = {0x00102030}, s[1] = {0x00A0B0C0};
  Mode(m, 151, 31, colour)(d, s, 1);
  EXPECT_EQ(d[0], 0x004080FFu);  // the shape filled with the colour
  d[0] = 0x00102030;
  Mode(m, 200, 0, colour)(d, s, 1);
  EXPECT_EQ(d[0], 0x004080FFu);
  d[0] = 0x00102030;
  Mode(m, 200, 30, colour)(d, s, 1);
  // The colour weighs 1/31: ((30 x 0x10 + 0x40) / 31 = 17.5 -> 18 for red.
  EXPECT_EQ((d[0] >> 16) & 0xFF, 18u);
  d[0] = 0x00102030;
  Mode(m, 151, 1, colour)(d, s, 1);
  EXPECT_EQ((d[0] >> 16) & 0xFF, (30u * 0xA0 + 0x40 + 15) / 31);  // source keeps 30/31

  EXPECT_EQ(AlphaFill(m, 0xFFFFFF, 31).fn, nullptr);
  const uint8_t plane[3] = {255, 7, 128};
  uint32_t blue[3] = {0x000000FF, 0x000000FF, 0x000000FF};
  AlphaFill(m, 0x0000FF, 0)(blue, plane, 3);  // red: solid, below 8 left, 16/31 of red over blue
  EXPECT_EQ((std::vector<uint32_t>(blue, blue + 3)), (std::vector<uint32_t>{0x00FF0000, 0x000000FF, 0x0084007B}));
}

// Mode 154 reads the plane value under each destination pixel, also walking backwards.
TEST_F(FXManTest, AlphaPlaneBlendReadsThePlaneUnderTheDestination) {
  KK_FXMan& m = Make(16);
  std::vector<uint16_t> image(4 * 3, 0x0000);
  ASSERT_EQ(m.PrepareAlphaPlane(reinterpret_cast<uint8_t*>(image.data()), 8, 3), 1);
  EXPECT_TRUE(m.IsAlphaPlaneFor(reinterpret_cast<uint8_t*>(image.data()), 8, 3));
  *m.AlphaPlane().Address(1, 2) = 255;
  *m.AlphaPlane().Address(2, 2) = 7;
  *m.AlphaPlane().Address(3, 2) = 128;
  const uint16_t src[3] = {0xFFFF, 0xFFFF, 0xFFFF};
  Mode(m, 154 | 0x10000, 0, 0)(&image[2 * 4 + 3], src, 3);
  EXPECT_EQ((std::vector<uint16_t>(&image[2 * 4 + 1], &image[2 * 4 + 4])),
            (std::vector<uint16_t>{0xFFFF, 0x0000, uint16_t(kk::Px565::FromTable(16, 16, 16))}));
}

// ---- the seeded sweep ----

constexpr uint32_t kModes[] = {0, 1, 100, 101, 102, 103, 150, 151, 152, 153, 154, 200};
constexpr int32_t kGuard = 16;
constexpr uint8_t kGuardByte = 0xA5;

struct RowCase {
  int32_t format, count, offset, alphaMode;
  uint32_t mode, colour;
  int32_t level;
};

RowCase PickRowCase(CaseRng& rng) {
  static const int32_t kFormats[] = {16, 17, 32};
  RowCase c{};
  c.format = kFormats[rng.Below(3)];
  c.mode = kModes[rng.Below(int32_t(std::size(kModes)))] | (rng.Chance(50) ? 0x10000u : 0u);
  c.level = rng.Chance(10) ? rng.Range(-3, 40) : rng.Range(0, 31);
  c.colour = uint32_t(rng.Next()) & 0xFFFFFF;
  c.count = rng.Chance(5) ? 800 : rng.Range(0, 33);
  c.offset = rng.Below(2);
  const int32_t alpha = rng.Below(3);
  c.alphaMode = alpha == 2 ? (c.format == 32 ? 1 : 2) : alpha;
  return c;
}

// Runs one row function over a guarded copy of `dst`; the walk starts at the last
// pixel under a backward direction.
std::vector<uint8_t> RunRow(KK_RowFn fn, KK_FXParams params, const RowCase& c, int32_t bpp,
                            const std::vector<uint8_t>& dst, const std::vector<uint8_t>& src,
                            const std::vector<uint8_t>& alpha, KK_FXMan& m) {
  std::vector<uint8_t> out(dst);
  uint8_t* row = out.data() + kGuard;
  if (c.mode == 154 || c.mode == (154 | 0x10000)) {
    m.PrepareAlphaPlane(row, int32_t(out.size()) - 2 * kGuard, 1);
    params.planeImage = row;
    params.planeImagePitch = int32_t(out.size()) - 2 * kGuard;
    CaseRng planeRng(uint64_t(c.count) * 7 + 1);
    for (int32_t i = 0; i < m.AlphaPlane().Width(); ++i) *m.AlphaPlane().Address(i, 0) = planeRng.Byte();
  }
  params.alphaMode = c.alphaMode;
  params.alpha = alpha.data();
  uint8_t* start = row + c.offset * bpp + (params.direction < 0 && c.count > 0 ? (c.count - 1) * bpp : 0);
  fn(start, src.data(), c.count, params);
  return out;
}

void CheckGuards(const std::vector<uint8_t>& out, int32_t index) {
  for (int32_t i = 0; i < kGuard; ++i) {
    ASSERT_EQ(out[size_t(i)], kGuardByte) << "case " << index;
    ASSERT_EQ(out[out.size() - 1 - size_t(i)], kGuardByte) << "case " << index;
  }
}

TEST_F(FXManTest, SweepFastRowsEqualReferenceRowsOnEverySimdTarget) {
  for (int64_t target : testing_support::SimdTargets()) {
  SCOPED_TRACE(testing_support::SimdTargetName(target));
  testing_support::OnlySimdTarget only(target);
  // One pass per format, so each manager is built once.
  uint32_t sum = 0;
  for (int32_t format : {16, 17, 32})
  for (int32_t index : testing_support::SweepCases(6000)) {
    CaseRng rng{uint64_t(index)};
    const RowCase c = PickRowCase(rng);
    if (c.format != format) continue;
    ASSERT_EQ(CreateFXManager(c.format), 1);
    KK_FXMan& m = *GetFXManager();
    const int32_t bpp = m.BytesPerPixel();
    const size_t rowBytes = size_t(c.count + 1) * size_t(bpp);
    std::vector<uint8_t> dst(rowBytes + 2 * kGuard, kGuardByte), src(size_t(c.count) * bpp + 4), alpha(size_t(c.count) + 1);
    for (size_t i = kGuard; i < kGuard + rowBytes; ++i) dst[i] = rng.Byte();
    for (auto& b : src) b = rng.Byte();
    for (auto& b : alpha) b = uint8_t(rng.Range(0, 40));
    const Draw draw = Mode(m, c.mode, c.level, c.colour);
    KK_RowFn fast = draw.fn;
    const KK_FXParams& params = draw.params;
    if (!fast) {
      sum = testing_support::Crc32(&index, sizeof index, sum);
      continue;
    }
    KK_RowFn ref = kk::ReferenceRow(c.format, params.row);
    const std::vector<uint8_t> a = RunRow(fast, params, c, bpp, dst, src, alpha, m);
    const std::vector<uint8_t> b = RunRow(ref, params, c, bpp, dst, src, alpha, m);
    CheckGuards(a, index);
    ASSERT_TRUE(a == b) << "case " << index << " (DORVIK_CASE=" << index << " replays it): format " << c.format
                    << " mode " << c.mode << " level " << c.level << " count " << c.count << " alpha " << c.alphaMode;
    sum = testing_support::Crc32(a.data(), a.size(), sum);
  }
  if (!testing_support::ReplayingOneCase()) {
    EXPECT_EQ(sum, 0xECC78CB9u) << std::hex << sum;
  }
  }
}

TEST_F(FXManTest, SweepBlurRowsEqualReference) {
  for (int32_t index : testing_support::SweepCases(300)) {
    CaseRng rng(uint64_t(index) + 1000000);
    static const int32_t kFormats[] = {16, 17, 32};
    const int32_t format = kFormats[rng.Below(3)];
    Make(format);
    const int32_t bpp = kk::BytesPerPixel(format);
    const int32_t count = rng.Chance(20) ? 800 : rng.Range(1, 40);
    static const int32_t kRadii[] = {0, 1, 2, 7, 200, 250};
    const int32_t radius = kRadii[rng.Below(6)];
    std::vector<uint8_t> src(size_t(count * bpp)), fast(src.size()), ref(src.size());
    for (auto& b : src) b = rng.Byte();
    GetFXManager()->BlurRow(fast.data(), src.data(), count, radius, 0, -1);
    kk::ReferenceBlurRow(ref.data(), src.data(), count, radius, 0, format);
    ASSERT_EQ(fast, ref) << "case " << index << " format " << format << " radius " << radius;
  }
}

TEST_F(FXManTest, LevelBlendsEqualTheReferenceForEveryChannelPairAtEveryLevelOnEverySimdTarget) {
  for (int64_t target : testing_support::SimdTargets())
  for (int32_t format : {16, 17, 32}) {
    SCOPED_TRACE(testing_support::SimdTargetName(target));
    testing_support::OnlySimdTarget only(target);
    KK_FXMan& m = Make(format);
    const int32_t bpp = m.BytesPerPixel(), max = m.ChannelMax();
    const int32_t count = (max + 1) * (max + 1);
    std::vector<uint8_t> dst(size_t(count) * bpp), src(dst.size());
    CaseRng rng{uint64_t(format)};
    for (int32_t i = 0; i < count; ++i) {
      const int32_t a = i / (max + 1), b = i % (max + 1);
      if (bpp == 2) {
        const bool six = format == 16;
        // All three channels carry the pair; the unused low green bit is noise.
        auto px = [&](int32_t c) {
          return uint16_t(six ? (c << 11) | (c << 6) | (rng.Below(2) << 5) | c : (c << 10) | (c << 5) | c);
        };
        kk::StorePixel<uint16_t>(&dst[size_t(i) * 2], px(a));
        kk::StorePixel<uint16_t>(&src[size_t(i) * 2], px(b));
      } else {
        kk::StorePixel<uint32_t>(&dst[size_t(i) * 4], uint32_t(a) * 0x010101u | uint32_t(rng.Byte()) << 24);
        kk::StorePixel<uint32_t>(&src[size_t(i) * 4], uint32_t(b) * 0x010101u | uint32_t(rng.Byte()) << 24);
      }
    }
    for (int32_t level = 1; level <= 30; ++level) {
      const Draw draw = Mode(m, 1, level, 0);
      KK_RowFn fast = draw.fn;
      ASSERT_NE(fast, nullptr);
      const KK_FXParams& params = draw.params;
      std::vector<uint8_t> a(dst), b(dst);
      fast(a.data(), src.data(), count, params);
      kk::ReferenceRow(format, params.row)(b.data(), src.data(), count, params);
      ASSERT_TRUE(a == b) << "format " << format << " level " << level;
    }
    DestroyFXManager();
  }
}

TEST_F(FXManTest, LevelRowsWeakenAlphaByLevel) {
  KK_FXMan& m = Make(16);
  EXPECT_EQ(m.LevelRow(1)[30], 30);
  EXPECT_EQ(m.LevelRow(30)[30], 2);
  EXPECT_EQ(m.LevelRow(30)[10], 0);  // 10 x 3 / 31
  EXPECT_EQ(m.LevelRow(16)[31 - 1], 16);  // 30 x 17 / 31 = 16.45
  EXPECT_EQ(m.LevelRow(0), nullptr);
  EXPECT_EQ(m.LevelRow(31), nullptr);
  for (int32_t l = 1; l <= 30; ++l) {
    EXPECT_EQ(m.LevelRow(l)[0], 0);
    for (int32_t a = 1; a < 31; ++a) EXPECT_GE(m.LevelRow(l)[a], m.LevelRow(l)[a - 1]);
    if (l < 30) {
      for (int32_t a = 0; a < 31; ++a) EXPECT_GE(m.LevelRow(l)[a], m.LevelRow(l + 1)[a]);
    }
  }
}

TEST_F(FXManTest, TablesHaveTheirSizesAndIndexOuterTimesWidthPlusInner) {
  KK_FXMan& m16 = Make(16);
  ASSERT_EQ(m16.TableCount(), 34);
  const auto* t0 = static_cast<const uint8_t*>(m16.BlendTable(0));
  EXPECT_EQ(static_cast<const uint8_t*>(m16.BlendTable(33)) - t0, 33 * 2048);  // 69632 bytes in all
  // Table 0 (level 1) keeps 1/31 of the outer (destination) value.
  auto e16 = [&](int32_t t, int32_t a, int32_t b) {
    return kk::LoadPixel<uint16_t>(static_cast<const uint8_t*>(m16.BlendTable(t)) + (a * 32 + b) * 2);
  };
  EXPECT_EQ(e16(0, 31, 0), 1);   // 31/31 rounded
  EXPECT_EQ(e16(0, 0, 31), 30);
  EXPECT_EQ(e16(29, 31, 0), 30);
  EXPECT_EQ(e16(14, 10, 20), 15);  // (16 x 20 + 15 x 10) / 31 = 15.16
  DestroyFXManager();
  KK_FXMan& m32 = Make(32);
  ASSERT_EQ(m32.TableCount(), 34);
  const auto* u0 = static_cast<const uint8_t*>(m32.BlendTable(0));
  EXPECT_EQ(static_cast<const uint8_t*>(m32.BlendTable(33)) - u0, 33 * 65536);  // 2228224 in all
  auto e32 = [&](int32_t t, int32_t a, int32_t b) { return static_cast<const uint8_t*>(m32.BlendTable(t))[a * 256 + b]; };
  EXPECT_EQ(e32(0, 255, 0), 8);  // 255/31 = 8.2
  EXPECT_EQ(e32(31, 255, 7), 255);
  EXPECT_EQ(e32(31, 0, 77), 77);
  EXPECT_EQ(e32(31, 100, 100), 160);  // 100 + 100 x 155 / 255 = 160.7 truncated
  EXPECT_EQ(e32(32, 200, 255), 0);
  EXPECT_EQ(e32(32, 200, 0), 200);
  EXPECT_EQ(e32(32, 200, 51), 160);
  EXPECT_EQ(e32(33, 10, 250), 240);
  EXPECT_EQ(e32(33, 250, 10), 240);
  EXPECT_EQ(m32.BlendTable(34), nullptr);
}

}  // namespace kk_fxman_test
