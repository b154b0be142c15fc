// The keyed 1:1 copy row and the masked copy row on the SIMD target chosen at run time.
#pragma once

#include <cstdint>

namespace plat::detail::ddraw {

// 2- or 4-byte pixels: a key hides v when (v - low) & mask <= range. False when the
// running target has no vectors, or for another pixel size: the caller copies the row.
bool KeyRowWide(uint8_t* d, const uint8_t* s, int n, int bytes, uint32_t low, uint32_t range, uint32_t mask);
// n 32-bit pixels, each with `mask` applied. False when the running target has no
// vectors: the caller converts the row.
bool MaskRow32(uint8_t* d, const uint8_t* s, int n, uint32_t mask);

}  // namespace plat::detail::ddraw
