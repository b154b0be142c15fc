// Wide level blends: the table blend of levels 1..30 computed eight 16-bit channels at
// a time from the same formula the tables hold, so it gives the tables' bytes without
// their memory traffic. Each call does the longest prefix it can and says how long.
#pragma once

#include <cstdint>

namespace kk {

// Pixels done (a multiple of the vector width); the caller finishes the rest.
int32_t LevelBlendWide565(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level);
int32_t LevelBlendWide555(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level);
int32_t LevelBlendWide32(uint8_t* dst, const uint8_t* src, int32_t count, int32_t level);

// floor(v / 62) for 0 <= v <= 15841 (the largest rounded level sum of 8-bit channels)
// as a multiply and shift: exact over that range.
constexpr uint32_t kDiv62Multiplier = 33826;
constexpr int32_t kDiv62Shift = 21;
constexpr uint32_t Div62(uint32_t v) { return (v * kDiv62Multiplier) >> kDiv62Shift; }

// The same rounded mix on 5-bit channels is floor((L x d + (31 - L) x s + 15) / 31)
// (half of 31 rounds the same as 31 / 62), at most 31 x 31 + 15: floor(v / 31) as a
// multiply and a 16-bit shift, exact up to that limit.
constexpr uint32_t kDiv31Multiplier = 2115;
constexpr uint32_t kDiv31Limit = 31 * 31 + 15;
constexpr uint32_t Div31(uint32_t v) { return (v * kDiv31Multiplier) >> 16; }

}  // namespace kk
