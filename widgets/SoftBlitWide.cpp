// SSE2 rows of the 16-bit fast blitters: each channel of eight pixels in its own 16-bit
// lane, with the integer steps of the word and table code beside them, so the bytes are
// the reference's. Without SSE2 nothing is done here and the word code does it all.
#include "widgets/SoftBlitWide.h"

#include <cstring>

#include "widgets/SoftBlitPixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace softblit {
namespace {

// A channel may be worked on in its own place, without shifting it down first, when
// its largest weighted sum still fits a 16-bit lane there.
constexpr int32_t kLargestInPlaceShift = 6;
static_assert((kDiv15Limit << kLargestInPlaceShift) <= 0xFFFF);

constexpr bool Div15IsExact() {
  for (uint32_t v = 0; v <= kDiv15Limit; ++v)
    for (int32_t shift = 0; shift <= kLargestInPlaceShift; ++shift)
      if ((Div15(v << shift) >> shift) != v / 15) return false;
  return true;
}
static_assert(Div15IsExact());

}  // namespace

#if defined(__SSE2__)
namespace {

constexpr int32_t kLanes = 8;
constexpr uint16_t kPairBias = 64;

__m128i Load(const uint8_t* p) {
  __m128i v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
void Store(uint8_t* p, __m128i v) { std::memcpy(p, &v, sizeof v); }

__m128i Splat(uint32_t v) { return _mm_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(v))); }

// Keyed source lanes take the target's lane; without a key `out` stands.
template <bool kKeyed>
__m128i KeepKeyed(__m128i out, __m128i s, __m128i t, __m128i key) {
  if constexpr (!kKeyed) return out;
  const __m128i hit = _mm_cmpeq_epi16(s, key);
  return _mm_or_si128(_mm_and_si128(hit, t), _mm_andnot_si128(hit, out));
}

// One channel of the 16-bit formats: its place and width.
template <int32_t kShift, int32_t kBits>
struct Channel {
  static constexpr uint16_t kMask = static_cast<uint16_t>((1u << kBits) - 1);
  static constexpr uint16_t kField = static_cast<uint16_t>(kMask << kShift);
  static constexpr bool kInPlace = kShift <= kLargestInPlaceShift;
  // The channel in the low bits of each lane; the top channel needs no mask.
  static __m128i Down(__m128i v) {
    const __m128i shifted = _mm_srli_epi16(v, kShift);
    if constexpr (kShift + kBits == 16) return shifted;
    else return _mm_and_si128(shifted, Splat(kMask));
  }

  // t + ((s - t + 64) x a >> 8) without the a / 4 (taken off all channels at once),
  // back in the channel's place. (v x a) >> 8 is the high half of v x (a << 8); a
  // channel left in place is v << kShift, so its multiplier is a << (8 - kShift).
  static __m128i PairStep(__m128i s, __m128i t, uint32_t a) {
    if constexpr (kInPlace) {
      const __m128i field = Splat(kField);
      const __m128i v = _mm_sub_epi16(_mm_add_epi16(_mm_and_si128(s, field), Splat(kPairBias << kShift)),
                                      _mm_and_si128(t, field));
      return _mm_slli_epi16(_mm_mulhi_epu16(v, Splat(a << (8 - kShift))), kShift);
    } else {
      const __m128i v = _mm_sub_epi16(_mm_add_epi16(Down(s), Splat(kPairBias)), Down(t));
      return _mm_slli_epi16(_mm_mulhi_epu16(v, Splat(a << 8)), kShift);
    }
  }

  // floor((s x (15 - k) + t x k) / 15), in the channel's place.
  static __m128i StretchStep(__m128i s, __m128i t, __m128i ks, __m128i k) {
    const __m128i div = Splat(kDiv15Multiplier);
    if constexpr (kInPlace) {
      const __m128i field = Splat(kField);
      const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, field), ks),
                                        _mm_mullo_epi16(_mm_and_si128(t, field), k));
      return _mm_and_si128(_mm_mulhi_epu16(sum, div), field);
    } else {
      const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(Down(s), ks), _mm_mullo_epi16(Down(t), k));
      return _mm_slli_epi16(_mm_mulhi_epu16(sum, div), kShift);
    }
  }
};

template <int32_t F>
struct Channels {
  static constexpr const Layout16& kLayout = F == kk::kFormat565 ? k565Layout : k555Layout;
  using Red = Channel<kLayout.redShift, 5>;
  using Green = Channel<kLayout.greenShift, kLayout.greenBits>;
  using Blue = Channel<0, 5>;
  static constexpr uint16_t kColours = Red::kField | Green::kField | Blue::kField;
  static constexpr uint16_t kOnes = 1u << kLayout.redShift | 1u << kLayout.greenShift | 1u;
};

// Each channel's result lies between its source and target values, so the three
// channels can be summed over the target's colour bits without carrying into each
// other, and a / 4 taken off all three in one subtraction.
template <int32_t F, bool kKeyed>
int32_t BlendPairs(uint8_t* target, const uint8_t* source, int32_t count, uint32_t a, uint32_t key) {
  using C = Channels<F>;
  const __m128i colours = Splat(C::kColours), quarters = Splat((a >> 2) * C::kOnes), keyLanes = Splat(key);
  int32_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    const __m128i s = Load(source + 2 * i), t = Load(target + 2 * i);
    const __m128i steps = _mm_add_epi16(_mm_add_epi16(C::Red::PairStep(s, t, a), C::Green::PairStep(s, t, a)),
                                        C::Blue::PairStep(s, t, a));
    const __m128i out = _mm_add_epi16(_mm_sub_epi16(_mm_and_si128(t, colours), quarters), steps);
    Store(target + 2 * i, KeepKeyed<kKeyed>(out, s, t, keyLanes));
  }
  return i;
}

template <int32_t F, bool kKeyed>
int32_t StretchBlend(uint8_t* target, const uint8_t* source, int32_t count, uint32_t k, uint32_t key) {
  using C = Channels<F>;
  const __m128i ks = Splat(15 - k), kt = Splat(k), keyLanes = Splat(key);
  int32_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    const __m128i s = Load(source + 2 * i), t = Load(target + 2 * i);
    const __m128i out = _mm_or_si128(_mm_or_si128(C::Red::StretchStep(s, t, ks, kt), C::Green::StretchStep(s, t, ks, kt)),
                                     C::Blue::StretchStep(s, t, ks, kt));
    Store(target + 2 * i, KeepKeyed<kKeyed>(out, s, t, keyLanes));
  }
  return i;
}

}  // namespace

template <int32_t F>
int32_t BlendPairsWide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t a, uint32_t key) {
  return key == kNoKey ? BlendPairs<F, false>(target, source, count, a, key)
                       : BlendPairs<F, true>(target, source, count, a, key);
}

template <int32_t F>
int32_t StretchBlendWide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t k, uint32_t key) {
  return key == kNoKey ? StretchBlend<F, false>(target, source, count, k, key)
                       : StretchBlend<F, true>(target, source, count, k, key);
}

#else

template <int32_t F>
int32_t BlendPairsWide(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t) {
  return 0;
}

template <int32_t F>
int32_t StretchBlendWide(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t) {
  return 0;
}

#endif

template int32_t BlendPairsWide<kk::kFormat555>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);
template int32_t BlendPairsWide<kk::kFormat565>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);
template int32_t StretchBlendWide<kk::kFormat555>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);
template int32_t StretchBlendWide<kk::kFormat565>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);

}  // namespace softblit
