// The software blit drivers: both surfaces locked, their formats agreed, the member of
// that format run (fast or reference), both unlocked again.
#include <iterator>

#include "widgets/SoftBlit.h"

namespace {

// The formats with members; the rows of kFast and kReference are in this order.
constexpr int32_t kMemberFormats[] = {kk::kFormat555, kk::kFormat565, kk::kFormat24, kk::kFormat32};
constexpr SoftBlitMembers kFast[] = {
    {AlphaBlendRect555, BlendRectStretch555, BlendRectAlphaPlane555},
    {AlphaBlendRect565, BlendRectStretch565, BlendRectAlphaPlane565},
    {AlphaBlendRect24, BlendRectStretch24, nullptr},
    {AlphaBlendRect32, BlendRectStretch32, BlendRectAlphaPlane32},
};
constexpr SoftBlitMembers kReference[] = {
    {softblit_ref::AlphaBlendRect555, softblit_ref::BlendRectStretch555, softblit_ref::BlendRectAlphaPlane555},
    {softblit_ref::AlphaBlendRect565, softblit_ref::BlendRectStretch565, softblit_ref::BlendRectAlphaPlane565},
    {softblit_ref::AlphaBlendRect24, softblit_ref::BlendRectStretch24, nullptr},
    {softblit_ref::AlphaBlendRect32, softblit_ref::BlendRectStretch32, softblit_ref::BlendRectAlphaPlane32},
};
static_assert(std::size(kFast) == std::size(kMemberFormats) && std::size(kReference) == std::size(kMemberFormats));

// Both surfaces locked for one scope; the descriptions and the first failure kept.
class LockedPair {
 public:
  LockedPair(const DDSurface& target, const DDSurface& source) : target_(target), source_(source) {
    InitSurfaceDesc(targetDesc);
    InitSurfaceDesc(sourceDesc);
    result_ = LockSurface(target_, &targetDesc, DDLOCK_WAIT);
    if (FAILED(result_)) return;
    targetLocked_ = true;
    result_ = LockSurface(source_, &sourceDesc, DDLOCK_WAIT);
    if (SUCCEEDED(result_)) sourceLocked_ = true;
  }
  ~LockedPair() {
    if (sourceLocked_) UnlockSurface(source_, nullptr);
    if (targetLocked_) UnlockSurface(target_, nullptr);
  }
  LockedPair(const LockedPair&) = delete;
  LockedPair& operator=(const LockedPair&) = delete;

  HRESULT Result() const { return result_; }
  DDSURFACEDESC2 targetDesc;
  DDSURFACEDESC2 sourceDesc;

 private:
  const DDSurface& target_;
  const DDSurface& source_;
  HRESULT result_ = S_OK;
  bool targetLocked_ = false;
  bool sourceLocked_ = false;
};

}  // namespace

const SoftBlitMembers* SoftBlitMembersFor(int32_t format, BlitPath path) {
  const SoftBlitMembers* set = path == BlitPath::kFast ? kFast : kReference;
  for (size_t i = 0; i < std::size(kMemberFormats); ++i)
    if (kMemberFormats[i] == format) return &set[i];
  return nullptr;
}

HRESULT AlphaBlendSurface(int32_t destX, int32_t destY, const DDSurface& source, const DDSurface& target,
                          const RECT& sourceRect, uint32_t level, BOOL useKey, uint32_t key, BlitPath path) {
  if (!source || !target) return E_POINTER;
  LockedPair locked(target, source);
  if (FAILED(locked.Result())) return locked.Result();
  // Blending across formats would read pixels as what they are not: nothing is drawn.
  const int32_t format = kk::PixelFormatOf(locked.sourceDesc);
  if (format != kk::PixelFormatOf(locked.targetDesc)) return 0;
  const SoftBlitMembers* m = SoftBlitMembersFor(format, path);
  if (!m) return 0;
  m->alphaBlend(locked.targetDesc, destX, destY, locked.sourceDesc, sourceRect, level, useKey, key);
  return 0;
}

HRESULT BlendBlitStretch(const DDSurface& target, const RECT& destRect, const DDSurface& source,
                         const RECT& sourceRect, uint32_t level, uint32_t key, BlitPath path) {
  if (!source || !target) return E_POINTER;
  LockedPair locked(target, source);
  if (FAILED(locked.Result())) return locked.Result();
  const int32_t format = kk::PixelFormatOf(locked.targetDesc);
  if (format != kk::PixelFormatOf(locked.sourceDesc)) return E_INVALIDARG;
  const SoftBlitMembers* m = SoftBlitMembersFor(format, path);
  if (!m) return E_FAIL;
  return m->stretch(locked.targetDesc, destRect, locked.sourceDesc, sourceRect, level, key);
}

HRESULT BlendBlitAlpha(const DDSurface& target, const RECT& destRect, const DDSurface& source,
                       const RECT& sourceRect, uint32_t level, const uint8_t* alpha, size_t alphaSize,
                       BlitPath path) {
  if (!source || !target) return E_POINTER;
  LockedPair locked(target, source);
  if (FAILED(locked.Result())) return locked.Result();
  const int32_t format = kk::PixelFormatOf(locked.targetDesc);
  if (format != kk::PixelFormatOf(locked.sourceDesc)) return E_INVALIDARG;
  const SoftBlitMembers* m = SoftBlitMembersFor(format, path);
  if (!m) return E_FAIL;
  if (!m->alphaPlane) return 0;
  return m->alphaPlane(locked.targetDesc, destRect, locked.sourceDesc, sourceRect, level, alpha, alphaSize);
}
