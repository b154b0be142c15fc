// The fast blitters' hottest 16-bit rows, a vector of pixels at a time on the SIMD
// target chosen at run time. Each call does the whole row and says so, or 0 where the
// running target has no vectors; the caller's word and table code does what is left.
#pragma once

#include <cstdint>

#include "widgets/SoftBlit.h"

namespace softblit {

// The level blend's pair formula t + ((s - t + 64) x a >> 8) - a / 4 per channel, for
// pixels that lie in pairs (the caller has already taken an odd row's single pixel).
// Source pixels equal to `key` (kNoKey none) keep the target.
template <int32_t F>
int32_t BlendPairsWide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t a, uint32_t key);

// The stretch's table entry floor((s x (15 - k) + t x k) / 15) per channel, computed
// instead of looked up (k = level >> 4, 0..15). Keyed source pixels keep the target.
template <int32_t F>
int32_t StretchBlendWide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t k, uint32_t key);

// 32-bit rows: (s x ws + t x wt) >> 8 on each colour byte (ws + wt <= 256); the fourth
// byte, and every byte of a pixel whose colour is `key` (kNoKey none), keep the
// target's. False where the running target has no vectors.
bool MixRow32Wide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t ws, uint32_t wt, uint32_t key);

// The alpha-plane rows of format 16, 17 or 32: weight w[i] (0..255) keeps w of the
// target over 255 - w of the source per channel, (s x (255 - w) + t x w) >> 8; 255
// keeps the target, 0 copies the source's colour bits. False as above.
bool AlphaRowWide(int32_t format, uint8_t* target, const uint8_t* source, const uint16_t* w, int32_t count);

// floor(v / 15) for 0 <= v <= 63 x 15 as a multiply by kDiv15Multiplier and a 16-bit
// shift: exact over that range, and also when v comes shifted left into a channel's
// place (the low bits of the quotient are then masked off).
constexpr uint32_t kDiv15Multiplier = 4370;
constexpr uint32_t kDiv15Limit = 63 * 15;
constexpr uint32_t Div15(uint32_t v) { return (v * kDiv15Multiplier) >> 16; }

}  // namespace softblit
