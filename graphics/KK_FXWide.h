// Whole-row kernels of the effect manager's arithmetic rows, compiled for every SIMD
// target the build offers and chosen at run time. Each gives the bytes of the per-pixel
// row it stands for (KK_FXFastRows.cpp), head and tail included.
#pragma once

#include <cstdint>

namespace kk {

// kLevel mixes the destination over the source at `level`; kTintSource and kTintDest
// mix `colour` over the source or the destination at `level`; kPlane lays the source
// over the destination at the plane byte's top five bits.
enum class WideOp : int32_t { kCopy, kLighten, kDarken, kHalfMix, kLevel, kTintSource, kTintDest, kPlane };

struct WideRow {
  int32_t format = 0;  // 16, 17 or 32
  WideOp op = WideOp::kCopy;
  uint8_t* dst = nullptr;
  bool mirror = false;  // the destination walks backwards from `dst`
  const uint8_t* src = nullptr;
  int32_t count = 0;
  // 0: every pixel takes the op's result; 1: the source's fourth byte (32-bit) is the
  // alpha; 2: one alpha byte per pixel at `alpha`, clamped to 31.
  int32_t alphaMode = 0;
  const uint8_t* alpha = nullptr;
  int32_t alphaLevel = 0;  // 1..30 weakens the alpha as the level rows do; 0 leaves it
  int32_t level = 0;  // kLevel and the tints: 1..30, the share of the top in 31sts
  uint32_t colour = 0;  // the tints: a pixel of the format holding the table channels
  const uint8_t* plane = nullptr;  // kPlane: one byte per pixel
};

// False when the running target has no wide kernel; the caller walks the row itself.
bool RunWideRow(const WideRow& row);

}  // namespace kk
