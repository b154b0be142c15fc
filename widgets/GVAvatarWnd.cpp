// The avatar widget: building the avatar entry, stepping and composing its parts, and
// the pointer handling of a clickable avatar.
#include "widgets/GVAvatarWnd.h"

#include "graphics/XAvatarEntry.h"
#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/time.h"
#include "base/DDSurfacePixel.h"

namespace {

constexpr int32_t kNoPartHandle = -1;

// The part entry behind a handle the avatar holds; null when its slot no longer holds it.
XBaseEntry* PartEntry(int32_t handle) {
  if (handle == kNoPartHandle) return nullptr;
  XBaseEntry* e = XResEntryMgr::Global().EntryAt(handle);
  if (!e || e->serial != static_cast<uint16_t>(static_cast<uint32_t>(handle) >> 16)) return nullptr;
  return e;
}

int32_t DelayOf(const XBaseEntry* part, int32_t frame) {
  return frame < EntryDelayCount(part) ? EntryFrameDelay(part, frame) : 0;
}

// The clock wraps every 49.7 days; a difference read as signed stays right across it.
bool IsDue(uint32_t next, uint32_t now) { return static_cast<int32_t>(next - now) <= 0; }

}  // namespace

XAvatarEntry* GVAvatarWnd::GetAvatarEntry() { return dynamic_cast<XAvatarEntry*>(GetEntry()); }

BOOL GVAvatarWnd::Create(const std::vector<std::string>& parts, GPoint trims, GSize size, COLORREF colorKey) {
  if (parts.empty()) return 0;
  SetColorKey(colorKey);
  ReplaceImage(XResEntryMgr::Global().CreateAvatar(parts, size, colorKey));
  if (!HasImage()) return 0;
  const DDSurface surface = GetSurface();
  if (!surface) {
    SetLastResult(E_FAIL);
    return 0;
  }
  RECT r{};
  const HRESULT hr = GetSurfaceRect(surface, &r);
  if (FAILED(hr)) {
    SetLastResult(hr);
    return 0;
  }
  source_ = GRect(r);
  frames_.clear();
  nextTimes_.clear();
  const uint32_t now = timeGetTime();
  if (XAvatarEntry* avatar = GetAvatarEntry()) {
    for (int32_t handle : avatar->PartHandles()) {
      const XBaseEntry* part = PartEntry(handle);
      frames_.push_back(0);
      nextTimes_.push_back(part ? now + static_cast<uint32_t>(DelayOf(part, 0)) : 0);
    }
  }
  topTrim_ = trims.x;
  bottomTrim_ = trims.y;
  SetRect(source_);
  AnimateParts();
  return 1;
}

BOOL GVAvatarWnd::AnimateParts() {
  if (!IsVisible() || !HasImage()) return 0;
  XAvatarEntry* avatar = GetAvatarEntry();
  if (!avatar || !avatar->surface) return 0;
  const DDSurface target = avatar->surface;
  ClearSurface(target, GetColorKey());
  const uint32_t now = timeGetTime();
  const GRect area = GetRect();
  const std::vector<int32_t>& handles = avatar->PartHandles();
  for (size_t i = 0; i < handles.size() && i < frames_.size(); ++i) {
    const XBaseEntry* part = PartEntry(handles[i]);
    if (!part || !part->surface) continue;
    if (IsDue(nextTimes_[i], now)) {
      if (++frames_[i] >= EntryFrameCount(part)) frames_[i] = 0;
      nextTimes_[i] = now + static_cast<uint32_t>(DelayOf(part, frames_[i]));
    }
    const GSize cell = EntryFrameRect(part).Size();
    GRect dest(0, 0, area.Width(), area.Height());
    GRect src(cell.cx * frames_[i], 0, cell.cx * frames_[i] + cell.cx, cell.cy);
    // Centred across: a narrow avatar shows the middle of the part, a wide one has
    // the part in its middle. Heights are left to the blit's stretch.
    if (dest.Width() < src.Width()) {
      src.left += (src.Width() - dest.Width()) / 2;
      src.right = src.left + dest.Width();
    } else if (dest.Width() > src.Width()) {
      dest.left += (dest.Width() - src.Width()) / 2;
      dest.right = dest.left + src.Width();
    }
    if (topTrim_ != 0 || bottomTrim_ != 0) {
      src.top += topTrim_;
      src.bottom -= bottomTrim_;
    }
    RECT d{}, s{};
    dest.CopyTo(&d);
    src.CopyTo(&s);
    BltWithColorKey(target, &d, part->surface, &s, DDBLT_WAIT);
  }
  SetDirty(1);
  return 1;
}

BOOL GVAvatarWnd::OnMouseMove(UINT, GPoint pt) {
  if (!Active()) {
    hover_ = 0;
    pressed_ = 0;
    return 0;
  }
  if (GVDDSWnd::HitTest(pt.x, pt.y, kHitVisible) > 0)
    hover_ = 1;
  else if (!pressed_)
    hover_ = 0;
  return 1;
}

BOOL GVAvatarWnd::OnLButtonDown(UINT, GPoint) {
  if (!Active()) return 0;
  pressed_ = 1;
  return 1;
}

BOOL GVAvatarWnd::OnLButtonUp(UINT, GPoint pt) {
  if (!pressed_) return 0;
  pressed_ = 0;
  return GVDDSWnd::HitTest(pt.x, pt.y, kHitVisible) > 0 ? 1 : 0;
}

BOOL GVAvatarWnd::OnRButtonDown(UINT, GPoint) { return Active() ? 1 : 0; }
BOOL GVAvatarWnd::OnRButtonUp(UINT, GPoint) { return Active() ? 1 : 0; }
