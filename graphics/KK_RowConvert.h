// Pixel-format row converters between the library's formats: from 24 to 16, 17, 32 and
// from 32 to 16, 17, 24. Used by sprite conversion and image depth conversion.
#pragma once

#include <cstdint>

namespace kk {

using RowConverter = void (*)(void* dst, const void* src, int32_t count);

// The converter for (from, to), or null when the pair has none.
RowConverter GetRowConverter(int32_t from, int32_t to);

// Rotates a 32-bit value left by one bit.
constexpr uint32_t RotateLeft1(uint32_t v) { return (v << 1) | (v >> 31); }

}  // namespace kk
