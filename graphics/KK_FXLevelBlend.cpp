// SSE2 level blends (the x86-64 baseline). Per channel: (2L x destination +
// 2(31 - L) x source + 31) / 62, the rounded mix the level tables are built from
// (for 5-bit channels in its halved form, (L x d + (31 - L) x s + 15) / 31).
// Without SSE2 nothing is done here and the table rows do all of it.
#include "graphics/KK_FXLevelBlend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kk {

#if defined(__SSE2__)
namespace {

struct Weights {
  __m128i dst, src, round, mul;
  explicit Weights(int32_t level)
      : dst(_mm_set1_epi16(int16_t(2 * level))),
        src(_mm_set1_epi16(int16_t(2 * (31 - level)))),
        round(_mm_set1_epi16(31)),
        mul(_mm_set1_epi16(int16_t(kDiv62Multiplier))) {}
  // One channel per 16-bit lane, values 0..255.
  __m128i Mix(__m128i d, __m128i s) const {
    const __m128i v = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(d, dst), _mm_mullo_epi16(s, src)), round);
    return _mm_srli_epi16(_mm_mulhi_epu16(v, mul), kDiv62Shift - 16);
  }
};

// A 5-bit channel may be mixed in its own place, without shifting it down first, when
// its largest rounded sum still fits a 16-bit lane there.
constexpr int kLargestInPlaceShift = 6;
static_assert((kDiv31Limit << kLargestInPlaceShift) <= 0xFFFF);

constexpr bool Div31IsExact() {
  for (uint32_t v = 0; v <= kDiv31Limit; ++v) {
    if ((2 * v + 31) / 62 != (v + 15) / 31) return false;
    for (int shift = 0; shift <= kLargestInPlaceShift; ++shift)
      if ((Div31(v << shift) >> shift) != v / 31) return false;
  }
  return true;
}
static_assert(Div31IsExact());

// 16-bit pixels: the table channels are the top five bits of each field; green's
// lowest bit comes out 0. Channels low enough are mixed in place (the quotient's bits
// below the field masked off), the top one shifted down and back.
template <int kRedShift, int kGreenShift>
int32_t Blend16(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level) {
  const __m128i dstWeight = _mm_set1_epi16(int16_t(level)), srcWeight = _mm_set1_epi16(int16_t(31 - level));
  const __m128i div = _mm_set1_epi16(int16_t(kDiv31Multiplier));
  auto sum = [&](__m128i d, __m128i s, int16_t round) {
    return _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(d, dstWeight), _mm_mullo_epi16(s, srcWeight)),
                         _mm_set1_epi16(round));
  };
  auto inPlace = [&](__m128i d, __m128i s, int shift) {
    const __m128i field = _mm_set1_epi16(int16_t(31 << shift));
    const __m128i v = sum(_mm_and_si128(d, field), _mm_and_si128(s, field), int16_t(15 << shift));
    const __m128i quotient = _mm_mulhi_epu16(v, div);
    return shift == 0 ? quotient : _mm_and_si128(quotient, field);
  };
  const __m128i five = _mm_set1_epi16(31);
  auto down = [&](__m128i v) {
    const __m128i shifted = _mm_srli_epi16(v, kRedShift);
    return kRedShift + 5 == 16 ? shifted : _mm_and_si128(shifted, five);
  };
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 2));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 2));
    const __m128i r = _mm_slli_epi16(_mm_mulhi_epu16(sum(down(d), down(s), 15), div), kRedShift);
    const __m128i out = _mm_or_si128(_mm_or_si128(r, inPlace(d, s, kGreenShift)), inPlace(d, s, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 2), out);
  }
  return i;
}

}  // namespace

int32_t LevelBlendWide565(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level) {
  return Blend16<11, 6>(dst, src, count, level);
}

int32_t LevelBlendWide555(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level) {
  return Blend16<10, 5>(dst, src, count, level);
}

int32_t LevelBlendWide32(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level) {
  const Weights w(level);
  const __m128i zero = _mm_setzero_si128();
  const __m128i noAlpha = _mm_set1_epi32(0x00FFFFFF);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
    const __m128i lo = w.Mix(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    const __m128i hi = w.Mix(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), _mm_and_si128(_mm_packus_epi16(lo, hi), noAlpha));
  }
  return i;
}

#else

int32_t LevelBlendWide565(uint8_t*, const uint8_t*, int32_t, int32_t) { return 0; }
int32_t LevelBlendWide555(uint8_t*, const uint8_t*, int32_t, int32_t) { return 0; }
int32_t LevelBlendWide32(uint8_t*, const uint8_t*, int32_t, int32_t) { return 0; }

#endif

}  // namespace kk
