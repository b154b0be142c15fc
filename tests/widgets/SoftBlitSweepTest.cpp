// Fast blitters against the per-channel reference over a seeded sweep: every format,
// every level, keys on and off, odd and even widths, rectangles crossing every edge and
// lying far outside, on buffers fenced by guard pages. One CRC pins the whole sweep;
// --case=N replays a case alone.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "support/FencedBuffer.h"
#include "support/SimdTargets.h"
#include "support/Sweep.h"
#include "widgets/SoftBlit.h"

namespace {

using testing_support::CaseRng;
using testing_support::FencedBuffer;

constexpr int32_t kFormats[] = {kk::kFormat555, kk::kFormat565, kk::kFormat24, kk::kFormat32};

DDSURFACEDESC2 DescribeFormat(int32_t f) {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  d.dwFlags = DDSD_PIXELFORMAT;
  d.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  d.ddpfPixelFormat.dwFlags = DDPF_RGB;
  switch (f) {
    case kk::kFormat555: d.ddpfPixelFormat.dwRGBBitCount = 16, d.ddpfPixelFormat.dwRBitMask = 0x7C00; break;
    case kk::kFormat565: d.ddpfPixelFormat.dwRGBBitCount = 16, d.ddpfPixelFormat.dwRBitMask = 0xF800; break;
    case kk::kFormat24: d.ddpfPixelFormat.dwRGBBitCount = 24, d.ddpfPixelFormat.dwRBitMask = 0xFF0000; break;
    default: d.ddpfPixelFormat.dwRGBBitCount = 32, d.ddpfPixelFormat.dwRBitMask = 0xFF0000; break;
  }
  return d;
}

// A fenced pixel plane with its locked-surface description.
struct FencedPlane {
  FencedPlane(int32_t f, int32_t w, int32_t h, FencedBuffer::Fence fence)
      : format(f), width(w), height(h), buffer(h, w * kk::BytesPerPixel(f), fence) {}
  DDSURFACEDESC2 Desc() {
    DDSURFACEDESC2 d = DescribeFormat(format);
    d.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE;
    d.dwWidth = static_cast<DWORD>(width);
    d.dwHeight = static_cast<DWORD>(height);
    d.lPitch = buffer.Pitch();
    d.lpSurface = buffer.Bits();
    return d;
  }
  std::vector<uint8_t> Rows() {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < height; ++y) out.insert(out.end(), buffer.Row(y), buffer.Row(y) + buffer.RowBytes());
    return out;
  }
  void SetRows(const std::vector<uint8_t>& bytes) {
    for (int32_t y = 0; y < height; ++y)
      std::memcpy(buffer.Row(y), bytes.data() + size_t(y) * size_t(buffer.RowBytes()), size_t(buffer.RowBytes()));
  }
  int32_t format;
  int32_t width, height;
  FencedBuffer buffer;
};

// A coordinate near the span [0, size]: mostly just around its edges, now and then far
// away or at the ends of the 32-bit range.
int32_t Edge(CaseRng& rng, int32_t size) {
  switch (rng.Below(12)) {
    case 0: return rng.Chance(50) ? -1000000 : 1000000;
    case 1: return rng.Chance(50) ? INT_MIN / 2 : INT_MAX / 2;
    case 2: return rng.Range(-3, 3);
    case 3: return size + rng.Range(-3, 3);
    default: return rng.Range(-8, size + 8);
  }
}

// Mostly rectangles that overlap the surface and cross one of its edges; now and then
// one edge anywhere (far outside, the 32-bit ends, inverted or empty rectangles).
RECT RandomRect(CaseRng& rng, int32_t w, int32_t h) {
  RECT r;
  r.left = rng.Range(rng.Chance(70) ? 0 : -4, w - 1);
  r.top = rng.Range(rng.Chance(70) ? 0 : -4, h - 1);
  r.right = r.left + rng.Range(1, w + 3);
  r.bottom = r.top + rng.Range(1, h + 3);
  if (rng.Chance(25)) {
    switch (rng.Below(4)) {
      case 0: r.left = Edge(rng, w); break;
      case 1: r.top = Edge(rng, h); break;
      case 2: r.right = Edge(rng, w); break;
      default: r.bottom = Edge(rng, h); break;
    }
  }
  return r;
}

// Random pixels, with the key and the extremes of each channel well represented.
void FillRandom(CaseRng& rng, FencedPlane& p, uint32_t key) {
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      uint32_t v = uint32_t(rng.Next());
      const int32_t pick = rng.Below(8);
      v = pick == 0 ? key : pick == 1 ? 0xFFFFFFFFu : pick == 2 ? 0 : v;
      std::memcpy(p.buffer.Row(y) + x * kk::BytesPerPixel(p.format), &v, size_t(kk::BytesPerPixel(p.format)));
    }
}

uint32_t ReadPixel(FencedPlane& p, int32_t x, int32_t y) {
  uint32_t v = 0;
  std::memcpy(&v, p.buffer.Row(y) + x * kk::BytesPerPixel(p.format), size_t(kk::BytesPerPixel(p.format)));
  return v;
}

enum Family { kLevelBlend, kStretch, kAlphaPlane };

struct CaseResult { HRESULT fast, reference; std::vector<uint8_t> before, fastRows, referenceRows; };

// Narrow cases cross every edge of small surfaces; wide ones run rows long enough for
// whole vectors plus their tails, and make half the stretches 1:1.
enum class Shapes { kNarrow, kWide };

CaseResult RunCase(int32_t index, Shapes shapes) {
  const bool wide = shapes == Shapes::kWide;
  CaseRng rng{uint64_t(index) + (wide ? 0x71DE : 0x5B17)};
  const Family family = static_cast<Family>(index % 3);
  int32_t format = kFormats[rng.Below(4)];
  if (family == kAlphaPlane && format == kk::kFormat24) format = kk::kFormat32;
  // Every level over the sweep, a few beyond 255 for the clamp.
  const uint32_t level = uint32_t(index / 3 % 260);
  const int32_t maxWidth = wide ? 75 : 21;
  const int32_t sw = rng.Range(1, maxWidth), sh = rng.Range(1, 13), tw = rng.Range(1, maxWidth), th = rng.Range(1, 13);
  const auto fence = [&] { return rng.Chance(50) ? FencedBuffer::Fence::kEnds : FencedBuffer::Fence::kEveryRow; };
  FencedPlane source(format, sw, sh, fence());
  FencedPlane fastTarget(format, tw, th, fence());
  FencedPlane refTarget(format, tw, th, fence());
  FillRandom(rng, source, 0);
  // The key: one of the source's own pixels, so it really occurs.
  const bool keyed = rng.Chance(50);
  const uint32_t key = keyed ? ReadPixel(source, rng.Below(sw), rng.Below(sh)) : 0xFFFFFFFFu;
  FillRandom(rng, fastTarget, key);
  const std::vector<uint8_t> before = fastTarget.Rows();
  refTarget.SetRows(before);
  const RECT src = RandomRect(rng, sw, sh);
  RECT dst = RandomRect(rng, tw, th);
  if (wide && rng.Chance(50) && int64_t{dst.left} + src.right - src.left <= INT_MAX) {
    dst.right = dst.left + (src.right - src.left);
  }
  std::vector<uint8_t> alpha(size_t(sw) * size_t(sh));
  for (auto& a : alpha) a = rng.Chance(30) ? (rng.Chance(50) ? 0 : 255) : rng.Byte();
  // Now and then a plane one byte short, which must draw nothing.
  const size_t alphaSize = rng.Chance(10) ? alpha.size() - 1 : alpha.size();
  const SoftBlitMembers& fast = *SoftBlitMembersFor(format, BlitPath::kFast);
  const SoftBlitMembers& ref = *SoftBlitMembersFor(format, BlitPath::kReference);
  const DDSURFACEDESC2 sd = source.Desc(), fd = fastTarget.Desc(), rd = refTarget.Desc();
  auto run = [&](const SoftBlitMembers& m, const DDSURFACEDESC2& d) {
    if (family == kLevelBlend) return m.alphaBlend(d, dst.left, dst.top, sd, src, level, keyed, key);
    if (family == kStretch) return m.stretch(d, dst, sd, src, level, key);
    return m.alphaPlane(d, dst, sd, src, level, alpha.data(), alphaSize);
  };
  CaseResult r{};
  r.fast = run(fast, fd);
  r.reference = run(ref, rd);
  r.before = before;
  r.fastRows = fastTarget.Rows();
  r.referenceRows = refTarget.Rows();
  return r;
}

// Runs `count` cases of one shape; the CRC of every result, and the count of cases that
// drew anything, come back.
struct SweepOutcome { uint32_t crc = 0; int32_t drawn = 0, total = 0; };

SweepOutcome RunSweep(int32_t count, Shapes shapes) {
  SweepOutcome out;
  int32_t failures = 0;
  for (int32_t index : testing_support::SweepCases(count)) {
    const CaseResult r = RunCase(index, shapes);
    EXPECT_EQ(r.fast, r.reference) << "case " << index;
    if (r.fastRows != r.referenceRows && ++failures <= 5) ADD_FAILURE() << "pixels differ, --case=" << index;
    ++out.total;
    out.drawn += r.fastRows != r.before ? 1 : 0;
    out.crc = testing_support::Crc32(&r.fast, sizeof r.fast, out.crc);
    out.crc = testing_support::Crc32(r.fastRows.data(), r.fastRows.size(), out.crc);
  }
  EXPECT_EQ(failures, 0);
  return out;
}

TEST(SoftBlitSweepTest, FastMembersEqualReferenceByteForByteOnEverySimdTarget) {
  for (int64_t target : testing_support::SimdTargets()) {
  SCOPED_TRACE(testing_support::SimdTargetName(target));
  testing_support::OnlySimdTarget only(target);
  const SweepOutcome out = RunSweep(6000, Shapes::kNarrow);
  if (!testing_support::ReplayingOneCase()) {
    // A sweep whose rectangles mostly miss would prove little.
    EXPECT_GT(out.drawn * 2, out.total) << out.drawn << " of " << out.total << " cases drew";
    EXPECT_EQ(out.crc, 0xC0EA8F9Fu) << std::hex << "crc 0x" << out.crc;
  }
  }
}

TEST(SoftBlitSweepTest, WideRowsAndOneToOneStretchesEqualReferenceOnEverySimdTarget) {
  for (int64_t target : testing_support::SimdTargets()) {
  SCOPED_TRACE(testing_support::SimdTargetName(target));
  testing_support::OnlySimdTarget only(target);
  const SweepOutcome out = RunSweep(3000, Shapes::kWide);
  if (!testing_support::ReplayingOneCase()) {
    EXPECT_GT(out.drawn * 2, out.total) << out.drawn << " of " << out.total << " cases drew";
    EXPECT_EQ(out.crc, 0x29B397D7u) << std::hex << "crc 0x" << out.crc;
  }
  }
}

// Every pair of channel values at every level, through the 16-bit level blend's pair
// rows and the stretch: source pixel x carries x in each channel, target row y carries
// y (5-bit channels take x & 31 and x >> 1, so they meet every pair too).
TEST(SoftBlitSweepTest, EveryChannelPairAtEveryLevelEqualsReferenceOnEverySimdTarget) {
  constexpr int32_t kSide = 64;
  for (int64_t target : testing_support::SimdTargets())
  for (const int32_t format : {kk::kFormat555, kk::kFormat565}) {
    SCOPED_TRACE(testing_support::SimdTargetName(target));
    testing_support::OnlySimdTarget only(target);
    const bool is565 = format == kk::kFormat565;
    auto pixel = [&](int32_t v) {
      const uint32_t red = uint32_t(v) >> 1, green = is565 ? uint32_t(v) : uint32_t(v) & 31, blue = uint32_t(v) & 31;
      return is565 ? red << 11 | green << 5 | blue : red << 10 | green << 5 | blue;
    };
    FencedPlane source(format, kSide, kSide, FencedBuffer::Fence::kEnds);
    FencedPlane fastTarget(format, kSide, kSide, FencedBuffer::Fence::kEnds);
    FencedPlane refTarget(format, kSide, kSide, FencedBuffer::Fence::kEnds);
    std::vector<uint8_t> before;
    for (int32_t y = 0; y < kSide; ++y)
      for (int32_t x = 0; x < kSide; ++x) {
        const uint16_t s = uint16_t(pixel(x)), t = uint16_t(pixel(y));
        std::memcpy(source.buffer.Row(y) + 2 * x, &s, 2);
        before.push_back(uint8_t(t)), before.push_back(uint8_t(t >> 8));
      }
    const SoftBlitMembers& fast = *SoftBlitMembersFor(format, BlitPath::kFast);
    const SoftBlitMembers& ref = *SoftBlitMembersFor(format, BlitPath::kReference);
    const RECT all{0, 0, kSide, kSide};
    for (uint32_t level = 0; level <= 255; ++level) {
      for (const Family family : {kLevelBlend, kStretch}) {
        fastTarget.SetRows(before);
        refTarget.SetRows(before);
        const DDSURFACEDESC2 sd = source.Desc();
        for (auto [m, plane] : {std::pair{&fast, &fastTarget}, std::pair{&ref, &refTarget}}) {
          const DDSURFACEDESC2 d = plane->Desc();
          if (family == kLevelBlend) m->alphaBlend(d, 0, 0, sd, all, level, FALSE, 0);
          else m->stretch(d, all, sd, all, level, 0xFFFFFFFFu);
        }
        ASSERT_EQ(fastTarget.Rows(), refTarget.Rows())
            << (is565 ? "565" : "555") << (family == kLevelBlend ? " level blend" : " stretch") << " level " << level;
      }
    }
  }
}

}  // namespace
