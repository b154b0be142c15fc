// The slider's geometry (knob place, click area, point to position), its picture
// loading and its mouse states. Products of pixels and range are taken in 64 bits so
// wide ranges cannot overflow.
#include "widgets/GVSlideWnd.h"

#include <algorithm>

#include "graphics/XResEntryMgr.h"
#include "plat/ddraw.h"
#include "plat/winuser.h"
#include "base/DDSurfaceUtil.h"
#include "widgets/GVDDSWnd.h"

namespace {
// The first of the picture kinds the loaders know; the slider takes no other.
constexpr int32_t kBitmapFileType = 0;
constexpr int32_t kBitmapSelector = 2;
}  // namespace

GVSlideWnd::~GVSlideWnd() {
  // The base destructor releases only the background.
  GVSlideWnd::ReleaseImage();
}

void GVSlideWnd::ReleaseImage() {
  if (knobImage_ != kNoImage) {
    XResEntryMgr::Global().ReleaseEntry(knobImage_);
    knobImage_ = kNoImage;
  }
  GVWnd::ReleaseImage();
}

bool GVSlideWnd::IsKnobPath(const std::string& path) {
  return GetImageFileType(path) == kBitmapFileType;
}

BOOL GVSlideWnd::Create(int32_t width, int32_t height, const std::string& knobPath) {
  if (width >= 1 && height >= 1) {
    SetRect(GRect(0, 0, width, height));
  } else if (!HasImage()) {
    return 0;
  }
  if (!IsKnobPath(knobPath)) return 0;
  XResEntryMgr& manager = XResEntryMgr::Global();
  if (knobImage_ != kNoImage) {
    manager.ReleaseEntry(knobImage_);
    knobImage_ = kNoImage;
  }
  knobImage_ = manager.LoadEntry(kBitmapSelector, knobPath, GSize(), kNoColorKey);
  if (knobImage_ == kNoImage) return 0;
  const DDSurface surface = manager.GetEntrySurface(knobImage_);
  if (!surface) {
    SetLastResult(E_FAIL);
    return 0;
  }
  SIZE size{};
  const HRESULT hr = QuerySurfaceSize(surface, &size);
  SetLastResult(hr);
  if (FAILED(hr)) return 0;
  knobWidth_ = size.cx / kKnobCells;
  knobHeight_ = size.cy;
  return 1;
}

BOOL GVSlideWnd::CreateWithBackground(const std::string& backgroundPath, const std::string& knobPath) {
  if (!IsKnobPath(knobPath)) return 0;
  GVWnd::ReleaseImage();
  XResEntryMgr& manager = XResEntryMgr::Global();
  const int32_t background = manager.LoadEntry(kBitmapSelector, backgroundPath, GSize(), kNoColorKey);
  if (background == kNoImage) return 0;
  SetImage(background);
  const DDSurface surface = manager.GetEntrySurface(background);
  SIZE size{};
  if (FAILED(QuerySurfaceSize(surface, &size))) return 0;
  SetRect(GRect(0, 0, size.cx, size.cy));
  return Create(-1, -1, knobPath);
}

void GVSlideWnd::SetTrack(BOOL vertical, int32_t x, int32_t y, int32_t length) {
  vertical_ = vertical;
  trackX_ = x;
  trackY_ = y;
  trackLength_ = std::max(length, 0);
  const int32_t w2 = knobWidth_ / 2, h2 = knobHeight_ / 2;
  if (!vertical_) {
    hitRect_.SetRect(x - w2 - kHitMargin, y - h2 - kHitMargin, x + w2 + trackLength_ + kHitMargin,
                     y - h2 - kHitMargin + knobHeight_ + 2 * kHitMargin);
  } else {
    // Along a vertical track the margin is half the knob's width, as across it.
    hitRect_.SetRect(x - w2 - kHitMargin, y - w2 - kHitMargin, x + w2 + kHitMargin,
                     y + w2 + trackLength_ + kHitMargin);
  }
  PlaceKnob();
}

void GVSlideWnd::SetRange(int32_t min, int32_t max) {
  const int32_t span = static_cast<int32_t>(int64_t(max) - min);
  if (min != minimum_ || int64_t(max) != int64_t(minimum_) + span_) SetDirty(1);
  minimum_ = min;
  span_ = span;
  if (position_ > span_) position_ = span_;
  PlaceKnob();
}

void GVSlideWnd::SetPosition(int32_t pos) {
  if (pos != position_) SetDirty(1);
  position_ = std::max(std::min(pos, span_), 0);
  PlaceKnob();
}

void GVSlideWnd::PlaceKnob() {
  const int32_t offset = span_ == 0 ? 0 : static_cast<int32_t>(int64_t(trackLength_) * position_ / span_);
  int32_t left = trackX_ - knobWidth_ / 2;
  int32_t top = trackY_ - knobHeight_ / 2;
  (vertical_ ? top : left) += offset;
  knobRect_.SetRect(left, top, left + knobWidth_, top + knobHeight_);
}

GPoint GVSlideWnd::Relative(GPoint pt) {
  const GRect r = GetRect();
  return GPoint(pt.x - r.left, pt.y - r.top);
}

bool GVSlideWnd::IsOverKnob(GPoint pt) {
  const GPoint p = Relative(pt);
  return knobRect_.PtInRect(p.x, p.y);
}

void GVSlideWnd::SetPositionFromPoint(GPoint pt) {
  const GPoint p = Relative(pt);
  const int32_t along = vertical_ ? p.y - trackY_ : p.x - trackX_;
  const int32_t d = std::max(std::min(along, trackLength_), 0);
  // A track of no length has no place but its start.
  SetPosition(trackLength_ == 0 ? 0 : static_cast<int32_t>(int64_t(span_) * d / trackLength_));
}

BOOL GVSlideWnd::OnLButtonDown(UINT, GPoint pt) {
  if (!Accepts()) return 0;
  const GPoint p = Relative(pt);
  if (knobRect_.PtInRect(p.x, p.y)) {
    state_ = kStateDrag;
    SetDirty(1);
  } else if (hitRect_.PtInRect(p.x, p.y)) {
    SetPositionFromPoint(pt);
    SetDirty(1);
  }
  return 1;
}

BOOL GVSlideWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  if (!Accepts()) return 0;
  switch (state_) {
    case kStateIdle:
      if (IsOverKnob(pt)) {
        state_ = kStateHover;
        SetDirty(1);
      }
      break;
    case kStateHover:
      if (!IsOverKnob(pt)) {
        state_ = kStateIdle;
        SetDirty(1);
      }
      break;
    case kStateDrag:
      if (keyFlags & MK_LBUTTON) {
        SetPositionFromPoint(pt);
      } else {
        state_ = kStateIdle;
      }
      SetDirty(1);
      break;
    default: break;
  }
  return 1;
}

BOOL GVSlideWnd::OnLButtonUp(UINT, GPoint pt) {
  if (!Accepts()) return 0;
  state_ = IsOverKnob(pt) ? kStateHover : kStateIdle;
  SetDirty(1);
  return 1;
}

BOOL GVSlideWnd::Draw(IDirectDrawSurface4* target, const GRect&) {
  if (!IsVisible()) return 1;
  if (!target) return 0;
  const DDSurface dest(target);
  const GRect r = GetRect();
  if (HasImage()) {
    if (const DDSurface background = GetSurface())
      BltFastSurface(dest, static_cast<DWORD>(r.left), static_cast<DWORD>(r.top), background, nullptr,
                     DDBLTFAST_NOCOLORKEY);
  }
  if (knobImage_ != kNoImage) {
    if (const DDSurface knob = XResEntryMgr::Global().GetEntrySurface(knobImage_)) {
      RECT cell{state_ * knobWidth_, 0, (state_ + 1) * knobWidth_, knobHeight_};
      SetLastResult(BltFastKeyed(dest, GPoint(r.left + knobRect_.left, r.top + knobRect_.top), knob, &cell,
                                 DDBLTFAST_NOCOLORKEY));
    }
  }
  return 1;
}
