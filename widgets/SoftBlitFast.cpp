// The fast blitters: rectangles clipped once, rows walked with pointers, the blends a
// vector of pixels at a time on the SIMD target chosen at run time (SoftBlitWide), else
// in pair words with a 16-bit lane per channel or looked up in the blend table, and the
// alpha plane's weights made once per call. Results equal the reference members' byte for byte.
#include <algorithm>
#include <cstring>

#include "widgets/SoftBlit.h"
#include "widgets/SoftBlitPixels.h"
#include "widgets/SoftBlitWide.h"

using namespace softblit;

namespace {

// ---- Clipping of the 1:1 families ----

struct Span {
  int32_t tx, ty, sx, sy, w, h;
};

// The source rectangle, at most maxW x maxH of it, placed at (destX, destY): clipped to
// the source surface and to the target, both sides shrinking alike.
bool Clip(const Plane& t, int64_t destX, int64_t destY, const Plane& s, const RECT& src, int64_t maxW,
          int64_t maxH, Span& out) {
  int64_t sl = src.left, st = src.top;
  int64_t sr = std::min<int64_t>(src.right, sl + maxW), sb = std::min<int64_t>(src.bottom, st + maxH);
  int64_t dx = destX, dy = destY;
  if (sl < 0) dx -= sl, sl = 0;
  if (st < 0) dy -= st, st = 0;
  sr = std::min<int64_t>(sr, s.width);
  sb = std::min<int64_t>(sb, s.height);
  if (dx < 0) sl -= dx, dx = 0;
  if (dy < 0) st -= dy, dy = 0;
  const int64_t w = std::min<int64_t>(sr - sl, t.width - dx), h = std::min<int64_t>(sb - st, t.height - dy);
  if (w <= 0 || h <= 0) return false;
  out = {static_cast<int32_t>(dx), static_cast<int32_t>(dy), static_cast<int32_t>(sl),
         static_cast<int32_t>(st), static_cast<int32_t>(w),  static_cast<int32_t>(h)};
  return true;
}

constexpr int64_t kUnlimited = int64_t{1} << 40;

// ---- Per-format pixel access ----

template <int32_t F>
struct Fmt {
  static constexpr bool kWide = F == kk::kFormat24 || F == kk::kFormat32;
  static constexpr int32_t kBytes = kk::BytesPerPixel(F);
  static constexpr const Layout16& kLayout = F == kk::kFormat565 ? k565Layout : k555Layout;
  static constexpr uint32_t kGreen = F == kk::kFormat565 ? 0x3Fu : 0x1Fu;
  static uint32_t Read(const uint8_t* p) {
    if constexpr (F == kk::kFormat24) return Read24(p);
    else if constexpr (F == kk::kFormat32) return Read32(p);
    else return Read16(p);
  }
  static void Write(uint8_t* p, uint32_t v) {
    if constexpr (F == kk::kFormat24) Write24(p, v);
    else if constexpr (F == kk::kFormat32) Write32(p, v);
    else Write16(p, v);
  }
  static bool Keyed(uint32_t p, uint32_t key) { return kWide ? KeyMatches24(p, key) : KeyMatches16(p, key); }
};

// (s x ws + t x wt) >> 8 on the three byte channels at once (red and blue share a
// word, one 16-bit lane each); the fourth byte stays the target's. ws + wt <= 256.
inline uint32_t Mix24(uint32_t s, uint32_t t, uint32_t ws, uint32_t wt) {
  const uint32_t rb = (((s & 0xFF00FFu) * ws + (t & 0xFF00FFu) * wt) >> 8) & 0xFF00FFu;
  const uint32_t g = (((s & 0xFF00u) * ws + (t & 0xFF00u) * wt) >> 8) & 0xFF00u;
  return (t & ~kRgbMask) | rb | g;
}

// The 16-bit channels spread to three lanes of a 64-bit word (blue at bit 0, green at
// bit 21 or so, red at bit 42 or so): room for an 8-bit weight on each.
template <int32_t F>
struct Spread16 {
  static constexpr uint64_t kBlue = 0x1F;
  static constexpr uint64_t kGreen = uint64_t{Fmt<F>::kGreen} << Fmt<F>::kLayout.greenShift;
  static constexpr uint64_t kRed = uint64_t{0x1F} << Fmt<F>::kLayout.redShift;
  static constexpr uint64_t kLanes = kBlue | kGreen << 16 | kRed << 32;
  static uint64_t Out(uint32_t p) { return (p & kBlue) | (p & kGreen) << 16 | (p & kRed) << 32; }
  static uint32_t In(uint64_t x) {
    return static_cast<uint32_t>((x & kBlue) | ((x >> 16) & kGreen) | ((x >> 32) & kRed));
  }
  // (s x ws + t x wt) >> 8 per channel; ws + wt <= 255.
  static uint32_t Mix(uint32_t s, uint32_t t, uint32_t ws, uint32_t wt) {
    return In(((Out(s) * ws + Out(t) * wt) >> 8) & kLanes);
  }
};

// ---- Level blend of a source rectangle ----

// A pixel pair of one 32-bit word: each channel of both pixels in a 16-bit lane, biased
// by 64 so the difference stays positive, then t + ((s - t + 64) x a >> 8) - a / 4.
template <int32_t F>
inline uint32_t BlendPair(uint32_t s, uint32_t t, uint32_t a, uint32_t quarter) {
  constexpr uint32_t kFive = 0x001F001Fu;
  constexpr uint32_t kGreenLanes = Fmt<F>::kGreen * 0x00010001u;
  constexpr uint32_t kBias = 0x00400040u;
  constexpr uint32_t kLow = 0x00FF00FFu;
  constexpr int32_t rs = Fmt<F>::kLayout.redShift, gs = Fmt<F>::kLayout.greenShift;
  auto lane = [&](uint32_t cs, uint32_t ct) { return ct + ((((cs + kBias - ct) * a) >> 8) & kLow) - quarter; };
  const uint32_t b = lane(s & kFive, t & kFive);
  const uint32_t g = lane((s >> gs) & kGreenLanes, (t >> gs) & kGreenLanes);
  const uint32_t r = lane((s >> rs) & kFive, (t >> rs) & kFive);
  return r << rs | g << gs | b;
}

// The leading pixel of an odd row: t + floor((s - t) x a / 256) per channel.
template <int32_t F>
inline uint32_t BlendSingle(uint32_t s, uint32_t t, int32_t a) {
  constexpr int32_t rs = Fmt<F>::kLayout.redShift, gs = Fmt<F>::kLayout.greenShift;
  auto ch = [&](int32_t shift, uint32_t mask) {
    const int32_t cs = static_cast<int32_t>((s >> shift) & mask), ct = static_cast<int32_t>((t >> shift) & mask);
    return static_cast<uint32_t>(ct + (((cs - ct) * a) >> 8)) << shift;
  };
  return ch(rs, 0x1F) | ch(gs, Fmt<F>::kGreen) | ch(0, 0x1F);
}

// Pair words hold each pixel in its own 16-bit lane, so the loop below has no branch
// and the compiler runs eight lanes (four pair words) at once.
// The pair formula t + ((s - t + 64) x a >> 8) - a / 4 on whole pair words; every
// intermediate fits its 16-bit lane.
template <int32_t F>
void BlendPairWords(uint8_t* __restrict t, const uint8_t* __restrict s, int32_t count, uint16_t a, bool keyed,
                    uint16_t key) {
  constexpr int32_t rs = Fmt<F>::kLayout.redShift, gs = Fmt<F>::kLayout.greenShift;
  constexpr uint16_t gm = static_cast<uint16_t>(Fmt<F>::kGreen), five = 0x1F;
  const uint16_t quarter = static_cast<uint16_t>(a >> 2);
  auto lane = [&](uint16_t cs, uint16_t ct) {
    const auto product = static_cast<uint16_t>(static_cast<uint16_t>(cs + 64 - ct) * a);
    return static_cast<uint16_t>(ct + (product >> 8) - quarter);
  };
  for (int32_t i = 0; i < count; ++i) {
    uint16_t sv, tv;
    std::memcpy(&sv, s + 2 * i, 2);
    std::memcpy(&tv, t + 2 * i, 2);
    const uint16_t b = lane(sv & five, tv & five);
    const uint16_t g = lane((sv >> gs) & gm, (tv >> gs) & gm);
    const uint16_t r = lane((sv >> rs) & five, (tv >> rs) & five);
    const auto out = static_cast<uint16_t>(r << rs | g << gs | b);
    // A keyed half keeps the target's half (both keyed: the word goes back as it was).
    const uint16_t v = keyed && sv == key ? tv : out;
    std::memcpy(t + 2 * i, &v, 2);
  }
}

template <int32_t F>
void BlendRow16(uint8_t* tp, const uint8_t* sp, int32_t n, uint32_t a, uint32_t key) {
  if (n & 1) {
    const uint32_t s = Read16(sp);
    if (!KeyMatches16(s, key)) Write16(tp, BlendSingle<F>(s, Read16(tp), static_cast<int32_t>(a)));
    tp += 2, sp += 2, --n;
  }
  const int32_t done = BlendPairsWide<F>(tp, sp, n, a, key);
  BlendPairWords<F>(tp + 2 * done, sp + 2 * done, n - done, static_cast<uint16_t>(a), key != kNoKey,
                    static_cast<uint16_t>(key));
}

// Byte-channel rows go through a small buffer: all bytes mixed first, then the fourth
// byte and keyed pixels taken back from the target. Both loops run many lanes at once.
constexpr int32_t kChunk = 256;

// out = (s x ws + t x wt) >> 8 on every byte; ws + wt <= 256.
void MixBytes(uint8_t* __restrict out, const uint8_t* __restrict s, const uint8_t* __restrict t, int32_t count,
              uint16_t ws, uint16_t wt) {
  for (int32_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>(static_cast<uint16_t>(s[i] * ws + t[i] * wt) >> 8);
}

void StoreMixed32(uint8_t* __restrict t, const uint8_t* __restrict s, const uint8_t* __restrict mixed,
                  int32_t count, uint32_t key) {
  const uint32_t k24 = key == kNoKey ? 0xFFFFFFFFu : key & kRgbMask;
  for (int32_t i = 0; i < count; ++i) {
    uint32_t sv, tv, mv;
    std::memcpy(&sv, s + 4 * i, 4);
    std::memcpy(&tv, t + 4 * i, 4);
    std::memcpy(&mv, mixed + 4 * i, 4);
    const uint32_t v = (sv & kRgbMask) == k24 ? tv : (mv & kRgbMask) | (tv & ~kRgbMask);
    std::memcpy(t + 4 * i, &v, 4);
  }
}

void MixRow32(uint8_t* tp, const uint8_t* sp, int32_t n, uint16_t ws, uint16_t wt, uint32_t key) {
  if (MixRow32Wide(tp, sp, n, ws, wt, key)) return;
  uint8_t mixed[kChunk * 4];
  while (n > 0) {
    const int32_t m = std::min(n, kChunk);
    MixBytes(mixed, sp, tp, m * 4, ws, wt);
    StoreMixed32(tp, sp, mixed, m, key);
    tp += m * 4, sp += m * 4, n -= m;
  }
}

template <int32_t F>
void BlendRowWide(uint8_t* tp, const uint8_t* sp, int32_t n, uint32_t level, uint32_t key) {
  // s + floor((t - s) x L / 256) is (s x (256 - L) + t x L) >> 8, all terms positive.
  if constexpr (F == kk::kFormat32) {
    MixRow32(tp, sp, n, static_cast<uint16_t>(256 - level), static_cast<uint16_t>(level), key);
  } else {
    for (; n > 0; --n, tp += Fmt<F>::kBytes, sp += Fmt<F>::kBytes) {
      const uint32_t s = Fmt<F>::Read(sp);
      if (Fmt<F>::Keyed(s, key)) continue;
      Fmt<F>::Write(tp, Mix24(s, Fmt<F>::Read(tp), 256 - level, level));
    }
  }
}

template <int32_t F>
HRESULT AlphaBlend(const DDSURFACEDESC2& target, int32_t destX, int32_t destY, const DDSURFACEDESC2& source,
                   const RECT& src, uint32_t level, BOOL useKey, uint32_t key) {
  Plane t, s;
  if (!PlaneOf(target, F, t) || !PlaneOf(source, F, s)) return E_FAIL;
  if (src.bottom <= src.top) return 0;
  Span span;
  if (!Clip(t, destX, destY, s, src, kUnlimited, kUnlimited, span)) return 0;
  level = ClampLevel(level);
  if (!useKey) key = kNoKey;
  for (int32_t y = 0; y < span.h; ++y) {
    uint8_t* tp = t.At(span.tx, span.ty + y);
    const uint8_t* sp = s.At(span.sx, span.sy + y);
    if constexpr (Fmt<F>::kWide) BlendRowWide<F>(tp, sp, span.w, level, key);
    else BlendRow16<F>(tp, sp, span.w, kMaxLevel - level, key);
  }
  return 0;
}

// ---- Stretched blend ----

// The first i >= 0 with floor(i x num / den) >= m (num, den > 0).
int64_t FirstAtLeast(int64_t m, int64_t num, int64_t den) {
  if (m <= 0) return 0;
  return MulDiv(m, den, num) + (MulMod(m, den, num) != 0 ? 1 : 0);
}

// floor(i x num / den) for i = first, first + 1, ... (num >= 0, den > 0), one division
// for the first and none for the steps after it.
class Steps {
 public:
  Steps(int64_t first, int64_t num, int64_t den)
      : value_(MulDiv(first, num, den)), part_(MulMod(first, num, den)), whole_(num / den), rest_(num % den),
        den_(den) {}
  int64_t Value() const { return value_; }
  void Next() {
    value_ += whole_;
    part_ += rest_;
    if (part_ >= den_) part_ -= den_, ++value_;
  }

 private:
  int64_t value_, part_;
  const int64_t whole_, rest_, den_;
};

// The blend table's column for one step, [s][d] in 4 KB: the whole table is too large
// for the first-level cache when the pixels vary.
void TableSlice(uint8_t (&slice)[kBlendTableSide * kBlendTableSide], uint32_t k) {
  for (size_t i = 0; i < kBlendTableSide * kBlendTableSide; ++i) slice[i] = kBlendTable[i * kBlendTableSteps + k];
}

template <int32_t F>
void StretchRowPerPixel(uint8_t* __restrict tp, const uint8_t* __restrict from, int32_t n, uint32_t level,
                      uint32_t key, const uint8_t* __restrict slice) {
  if constexpr (Fmt<F>::kWide) {
    for (; n > 0; --n, tp += Fmt<F>::kBytes, from += Fmt<F>::kBytes) {
      const uint32_t sp = Fmt<F>::Read(from);
      if (!Fmt<F>::Keyed(sp, key)) Fmt<F>::Write(tp, Mix24(sp, Fmt<F>::Read(tp), 255 - level, level));
    }
  } else {
    constexpr int32_t rs = Fmt<F>::kLayout.redShift, gs = Fmt<F>::kLayout.greenShift;
    constexpr uint32_t gm = Fmt<F>::kGreen;
    const uint32_t k16 = key == kNoKey ? 0x10000u : key & 0xFFFFu;
    // Whole vectors compute the table's entries; the table finishes the row.
    for (int32_t i = StretchBlendWide<F>(tp, from, n, level >> 4, key); i < n; ++i) {
      const uint32_t sp = Read16(from + 2 * i), tv = Read16(tp + 2 * i);
      auto look = [&](int32_t shift, uint32_t mask) {
        return uint32_t{slice[((sp >> shift) & mask) * kBlendTableSide + ((tv >> shift) & mask)]} << shift;
      };
      const uint32_t looked = look(rs, 0x1F) | look(gs, gm) | look(0, 0x1F);
      Write16(tp + 2 * i, sp == k16 ? tv : looked);
    }
  }
}

// One row segment of the stretch: `from` holds the scaled source pixels of `n` target
// pixels in a row.
template <int32_t F>
void StretchRow(uint8_t* tp, const uint8_t* from, int32_t n, uint32_t level, uint32_t key, const uint8_t* slice) {
  if constexpr (F == kk::kFormat32) {
    MixRow32(tp, from, n, static_cast<uint16_t>(255 - level), static_cast<uint16_t>(level), key);
  } else {
    StretchRowPerPixel<F>(tp, from, n, level, key, slice);
  }
}

template <int32_t F>
HRESULT Stretch(const DDSURFACEDESC2& target, const RECT& dst, const DDSURFACEDESC2& source, const RECT& src,
                uint32_t level, uint32_t key) {
  Plane t, s;
  if (!PlaneOf(target, F, t) || !PlaneOf(source, F, s)) return E_FAIL;
  if (src.bottom <= src.top) return 0;
  const int64_t sw = int64_t{src.right} - src.left, sh = int64_t{src.bottom} - src.top;
  const int64_t dw = int64_t{dst.right} - dst.left, dh = int64_t{dst.bottom} - dst.top;
  if (sw <= 0 || dw <= 0 || dh <= 0) return 0;
  level = ClampLevel(level);
  // Columns i of the destination that land on the target and whose source column
  // src.left + floor(i x sw / dw) lies on the source surface.
  const int64_t i0 = std::max({int64_t{0}, -int64_t{dst.left}, FirstAtLeast(-int64_t{src.left}, sw, dw)});
  const int64_t i1 = std::min({dw, t.width - int64_t{dst.left}, FirstAtLeast(s.width - int64_t{src.left}, sw, dw)});
  const int64_t j0 = std::max(int64_t{0}, -int64_t{dst.top});
  const int64_t j1 = std::min(dh, t.height - int64_t{dst.top});
  if (i0 >= i1 || j0 >= j1) return 0;
  uint8_t slice[kBlendTableSide * kBlendTableSide];
  if constexpr (!Fmt<F>::kWide) TableSlice(slice, level >> 4);
  const Steps firstColumn(i0, sw, dw);
  Steps rows(j0, sh, dh);
  uint8_t gathered[kChunk * 4];
  for (int64_t j = j0; j < j1; ++j, rows.Next()) {
    const int64_t sy = src.top + rows.Value();
    if (sy < 0 || sy >= s.height) continue;
    uint8_t* tp = t.At(static_cast<int32_t>(dst.left + i0), static_cast<int32_t>(dst.top + j));
    const uint8_t* row = s.At(0, static_cast<int32_t>(sy));
    if (sw == dw) {
      // 1:1: the source row is the scaled row.
      const int64_t sx = src.left + firstColumn.Value();
      StretchRow<F>(tp, row + sx * Fmt<F>::kBytes, static_cast<int32_t>(i1 - i0), level, key, slice);
      continue;
    }
    Steps column = firstColumn;
    for (int64_t i = i0; i < i1;) {
      const int32_t m = static_cast<int32_t>(std::min<int64_t>(i1 - i, kChunk));
      uint8_t* g = gathered;
      for (int32_t c = 0; c < m; ++c, g += Fmt<F>::kBytes, column.Next())
        std::memcpy(g, row + (src.left + column.Value()) * Fmt<F>::kBytes, Fmt<F>::kBytes);
      StretchRow<F>(tp, gathered, m, level, key, slice);
      tp += m * Fmt<F>::kBytes, i += m;
    }
  }
  return 0;
}

// ---- Alpha-plane blend ----

// (s x (255 - w) + t x w) >> 8 per channel, with w = 255 keeping the target and w = 0
// copying the source; one 16-bit lane per pixel.
template <int32_t F>
void AlphaRow16(uint8_t* __restrict t, const uint8_t* __restrict s, const uint16_t* __restrict w, int32_t n) {
  constexpr int32_t rs = Fmt<F>::kLayout.redShift, gs = Fmt<F>::kLayout.greenShift;
  constexpr uint16_t gm = static_cast<uint16_t>(Fmt<F>::kGreen), five = 0x1F;
  constexpr uint16_t colours = static_cast<uint16_t>(five << rs | gm << gs | five);
  for (int32_t i = 0; i < n; ++i) {
    uint16_t sv, tv;
    std::memcpy(&sv, s + 2 * i, 2);
    std::memcpy(&tv, t + 2 * i, 2);
    const uint16_t wt = w[i], ws = static_cast<uint16_t>(255 - wt);
    auto ch = [&](uint16_t cs, uint16_t ct) { return static_cast<uint16_t>(static_cast<uint16_t>(cs * ws + ct * wt) >> 8); };
    const auto mixed = static_cast<uint16_t>(ch((sv >> rs) & five, (tv >> rs) & five) << rs |
                                             ch((sv >> gs) & gm, (tv >> gs) & gm) << gs | ch(sv & five, tv & five));
    const uint16_t v = wt == 255 ? tv : wt == 0 ? static_cast<uint16_t>(sv & colours) : mixed;
    std::memcpy(t + 2 * i, &v, 2);
  }
}

void AlphaRow32(uint8_t* __restrict t, const uint8_t* __restrict s, const uint16_t* __restrict w, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    uint32_t sv, tv;
    std::memcpy(&sv, s + 4 * i, 4);
    std::memcpy(&tv, t + 4 * i, 4);
    const uint32_t wt = w[i];
    const uint32_t copied = (sv & kRgbMask) | (tv & ~kRgbMask);
    const uint32_t v = wt == 255 ? tv : wt == 0 ? copied : Mix24(sv, tv, 255 - wt, wt);
    std::memcpy(t + 4 * i, &v, 4);
  }
}

template <int32_t F>
HRESULT AlphaPlane(const DDSURFACEDESC2& target, const RECT& dst, const DDSURFACEDESC2& source, const RECT& src,
                   uint32_t level, const uint8_t* alpha, size_t alphaSize) {
  Plane t, s;
  if (!PlaneOf(target, F, t) || !PlaneOf(source, F, s)) return E_FAIL;
  if (src.bottom <= src.top) return 0;
  if (!alpha || alphaSize < static_cast<size_t>(s.width) * static_cast<size_t>(s.height)) return 0;
  Span span;
  const int64_t maxW = int64_t{dst.right} - dst.left, maxH = int64_t{dst.bottom} - dst.top;
  if (maxW <= 0 || maxH <= 0 || !Clip(t, dst.left, dst.top, s, src, maxW, maxH, span)) return 0;
  level = ClampLevel(level);
  // The weight depends on the alpha byte and the level only: one table per call.
  uint16_t weights[256];
  for (uint32_t a = 0; a < 256; ++a) weights[a] = static_cast<uint16_t>(AlphaPlaneWeight(a, level));
  uint16_t w[kChunk];
  for (int32_t y = 0; y < span.h; ++y) {
    uint8_t* tp = t.At(span.tx, span.ty + y);
    const uint8_t* sp = s.At(span.sx, span.sy + y);
    const uint8_t* ap = alpha + static_cast<size_t>(span.sy + y) * static_cast<size_t>(s.width) + span.sx;
    for (int32_t x = 0; x < span.w;) {
      const int32_t m = std::min(span.w - x, kChunk);
      for (int32_t i = 0; i < m; ++i) w[i] = weights[ap[x + i]];
      if (!AlphaRowWide(F, tp, sp, w, m)) {
        if constexpr (F == kk::kFormat32) AlphaRow32(tp, sp, w, m);
        else AlphaRow16<F>(tp, sp, w, m);
      }
      tp += m * Fmt<F>::kBytes, sp += m * Fmt<F>::kBytes, x += m;
    }
  }
  return 0;
}

}  // namespace

int32_t AlphaPlaneWeight(uint32_t alpha, uint32_t level) {
  constexpr float kOneOver255 = 0.003921569f;
  const double f = static_cast<double>(kMaxLevel - ClampLevel(level)) * static_cast<double>(kOneOver255);
  // The whole weight is truncated, not the product: a = 128 at level 0 gives
  // 126.99999... and so 126.
  return static_cast<int32_t>(255.0 - alpha * f);
}

#define DORVIK_FAST_MEMBERS(FMT)                                                                                  \
  HRESULT AlphaBlendRect##FMT(const DDSURFACEDESC2& target, int32_t destX, int32_t destY,                        \
                              const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level, BOOL useKey, \
                              uint32_t key) {                                                                    \
    return AlphaBlend<kk::kFormat##FMT>(target, destX, destY, source, sourceRect, level, useKey, key);           \
  }                                                                                                              \
  HRESULT BlendRectStretch##FMT(const DDSURFACEDESC2& target, const RECT& destRect,                              \
                                const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,            \
                                uint32_t key) {                                                                  \
    return Stretch<kk::kFormat##FMT>(target, destRect, source, sourceRect, level, key);                          \
  }
#define DORVIK_FAST_ALPHA_MEMBER(FMT)                                                                           \
  HRESULT BlendRectAlphaPlane##FMT(const DDSURFACEDESC2& target, const RECT& destRect,                         \
                                   const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,        \
                                   const uint8_t* alpha, size_t alphaSize) {                                    \
    return AlphaPlane<kk::kFormat##FMT>(target, destRect, source, sourceRect, level, alpha, alphaSize);         \
  }

DORVIK_FAST_MEMBERS(555)
DORVIK_FAST_MEMBERS(565)
DORVIK_FAST_MEMBERS(24)
DORVIK_FAST_MEMBERS(32)
DORVIK_FAST_ALPHA_MEMBER(555)
DORVIK_FAST_ALPHA_MEMBER(565)
DORVIK_FAST_ALPHA_MEMBER(32)
