// Software blending blits on locked surface memory, for what DirectDraw's blits cannot
// do: a global blend level, a stretched blend and a per-pixel alpha plane. Each driver
// locks both surfaces and picks the member for their format code (base/PixelFormat.h);
// every member has a slow per-channel twin in namespace softblit_ref, the oracle for
// the fast one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "plat/ddraw.h"
#include "plat/types.h"
#include "base/DDSurfaceUtil.h"
#include "base/PixelFormat.h"

// Which implementation a driver runs: the fast rows, or the per-channel reference.
enum class BlitPath : int32_t { kFast, kReference };

// [s][d][k] at (s x 64 + d) x 17 + k: floor((s x (15 - k) + d x k) / 15) for k < 16,
// 0 for k = 16. Serves 5- and 6-bit channels.
constexpr size_t kBlendTableSide = 64;
constexpr size_t kBlendTableSteps = 17;
constexpr size_t kBlendTableSize = kBlendTableSide * kBlendTableSide * kBlendTableSteps;
extern const std::array<uint8_t, kBlendTableSize> kBlendTable;
inline uint8_t BlendTableAt(uint32_t s, uint32_t d, uint32_t k) { return kBlendTable[(s * 64 + d) * 17 + k]; }

// The alpha plane's weight of the target: 255 - trunc(a x (255 - level) x 1/255), the
// constant being the single-precision one.
int32_t AlphaPlaneWeight(uint32_t alpha, uint32_t level);

// ---- Drivers: lock both surfaces, check the formats, run the member, unlock ----
// The lock's failure is returned as it is.

// The source rectangle blended onto the target at (destX, destY); level 0 is the
// source, 255 (nearly) the target. A target of another format than the source, or a
// format without a member, draws nothing and gives 0.
HRESULT AlphaBlendSurface(int32_t destX, int32_t destY, const DDSurface& source, const DDSurface& target,
                          const RECT& sourceRect, uint32_t level, BOOL useKey, uint32_t key,
                          BlitPath path = BlitPath::kFast);
// The source rectangle scaled (nearest neighbour) over the destination rectangle;
// source pixels equal to `key` (-1 none) are skipped. E_INVALIDARG for formats that
// differ.
HRESULT BlendBlitStretch(const DDSurface& target, const RECT& destRect, const DDSurface& source,
                         const RECT& sourceRect, uint32_t level, uint32_t key, BlitPath path = BlitPath::kFast);
// 1:1 at the destination's top-left, weighted per pixel by the source's alpha plane
// (one byte per source-surface pixel, rows of the surface's width). A plane smaller
// than the surface, and 24-bit surfaces, draw nothing and give 0. E_INVALIDARG for
// formats that differ.
HRESULT BlendBlitAlpha(const DDSurface& target, const RECT& destRect, const DDSurface& source,
                       const RECT& sourceRect, uint32_t level, const uint8_t* alpha, size_t alphaSize,
                       BlitPath path = BlitPath::kFast);

// ---- Members on locked descriptions ----
// Each clips the source rectangle to the source surface and the destination to the
// target alike, checks both descriptions against its format (E_FAIL otherwise) and
// gives 0. A key of -1 is no key.
using AlphaBlendRectFn = HRESULT (*)(const DDSURFACEDESC2& target, int32_t destX, int32_t destY,
                                     const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,
                                     BOOL useKey, uint32_t key);
using BlendRectStretchFn = HRESULT (*)(const DDSURFACEDESC2& target, const RECT& destRect,
                                       const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,
                                       uint32_t key);
using BlendRectAlphaPlaneFn = HRESULT (*)(const DDSURFACEDESC2& target, const RECT& destRect,
                                          const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,
                                          const uint8_t* alpha, size_t alphaSize);

// The members of one format and path; a null alpha-plane member for 24 bits.
struct SoftBlitMembers {
  AlphaBlendRectFn alphaBlend;
  BlendRectStretchFn stretch;
  BlendRectAlphaPlaneFn alphaPlane;
};
// Null for kFormatNone and any other code without members.
const SoftBlitMembers* SoftBlitMembersFor(int32_t format, BlitPath path);

#define DORVIK_SOFTBLIT_MEMBERS(FMT)                                                                               \
  HRESULT AlphaBlendRect##FMT(const DDSURFACEDESC2& target, int32_t destX, int32_t destY,                        \
                              const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level, BOOL useKey, \
                              uint32_t key);                                                                     \
  HRESULT BlendRectStretch##FMT(const DDSURFACEDESC2& target, const RECT& destRect,                              \
                                const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,            \
                                uint32_t key);
#define DORVIK_SOFTBLIT_ALPHA_MEMBER(FMT)                                                                          \
  HRESULT BlendRectAlphaPlane##FMT(const DDSURFACEDESC2& target, const RECT& destRect,                          \
                                   const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,         \
                                   const uint8_t* alpha, size_t alphaSize);

DORVIK_SOFTBLIT_MEMBERS(555)
DORVIK_SOFTBLIT_MEMBERS(565)
DORVIK_SOFTBLIT_MEMBERS(24)
DORVIK_SOFTBLIT_MEMBERS(32)
DORVIK_SOFTBLIT_ALPHA_MEMBER(555)
DORVIK_SOFTBLIT_ALPHA_MEMBER(565)
DORVIK_SOFTBLIT_ALPHA_MEMBER(32)

namespace softblit_ref {
DORVIK_SOFTBLIT_MEMBERS(555)
DORVIK_SOFTBLIT_MEMBERS(565)
DORVIK_SOFTBLIT_MEMBERS(24)
DORVIK_SOFTBLIT_MEMBERS(32)
DORVIK_SOFTBLIT_ALPHA_MEMBER(555)
DORVIK_SOFTBLIT_ALPHA_MEMBER(565)
DORVIK_SOFTBLIT_ALPHA_MEMBER(32)
}  // namespace softblit_ref

#undef DORVIK_SOFTBLIT_MEMBERS
#undef DORVIK_SOFTBLIT_ALPHA_MEMBER
