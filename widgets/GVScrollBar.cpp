// The vertical scroll bar: part layout, thumb placement from the target's window,
// drags and track clicks as thumb-track positions, and arrow repeat on a window timer
// whose WM_TIMER the timer window's owner hands to OnTimer.
#include "widgets/GVScrollBar.h"

#include <atomic>

#include "plat/winuser.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVPushBtn.h"

namespace {

constexpr int32_t kButtonRows = 1;
constexpr int32_t kButtonColumns = 4;  // normal, highlighted, pressed, disabled

// Constant-initialised data, not a made global: nothing to make at load or free after.
constinit std::atomic<UINT> g_nextTimerId{GVScrollBar::kFirstTimerId};

UINT NextTimerId() { return g_nextTimerId.fetch_add(1); }

}  // namespace

GVScrollBar::GVScrollBar() : timerId_(NextTimerId()) {}

GVScrollBar::~GVScrollBar() { GVScrollBar::ReleaseImage(); }

void GVScrollBar::ReleaseImage() {
  delete track_;
  delete up_;
  delete down_;
  delete thumb_;
  track_ = nullptr;
  up_ = down_ = thumb_ = nullptr;
  active_ = nullptr;
}

BOOL GVScrollBar::Create(GVWnd* target, const std::string& trackPath, const std::string& upPath,
                         const std::string& downPath, const std::string& thumbPath, COLORREF colorKey, HWND timerWnd) {
  if (target) target_ = target;
  ReleaseImage();
  track_ = new GVDDSWnd;
  if (!track_->LoadImage(trackPath, colorKey)) return 0;
  track_->SetStretch();
  GVPushBtn** buttons[] = {&up_, &down_, &thumb_};
  const std::string* paths[] = {&upPath, &downPath, &thumbPath};
  for (size_t i = 0; i < 3; ++i) {
    *buttons[i] = new GVPushBtn;
    if (!(*buttons[i])->LoadImage(*paths[i], colorKey, kButtonRows, kButtonColumns)) return 0;
  }
  timerWnd_ = timerWnd;
  return 1;
}

void GVScrollBar::LayoutParts(const GRect& rect) {
  if (rect.right < rect.left || rect.bottom < rect.top) return;
  GVWnd::SetRect(rect);
  if (track_ && up_ && down_ && thumb_) {
    const int32_t upHeight = up_->GetRect().Height();
    const int32_t downHeight = down_->GetRect().Height();
    track_->SetRect(GRect(rect.left, rect.top + upHeight, rect.right, rect.bottom - downHeight));
    up_->SetPos(GPoint(rect.left, rect.top));
    down_->SetPos(GPoint(rect.left, rect.bottom - downHeight));
    thumb_->SetPos(GPoint(up_->GetRect().left, up_->GetRect().bottom));
  }
  SetDirty(1);
}

void GVScrollBar::Enable(BOOL enable) {
  SetDirty(1);
  GVWnd::Enable(enable);
  for (GVPushBtn* b : {up_, down_, thumb_})
    if (b) b->Enable(enable);
}

int32_t GVScrollBar::FreeTravel() {
  if (!up_ || !down_ || !thumb_) return 0;
  return GetRect().Height() - up_->GetRect().Height() - down_->GetRect().Height() - thumb_->GetRect().Height();
}

int32_t GVScrollBar::UpButtonBottom() { return up_ ? up_->GetRect().bottom : GetRect().top; }

int32_t GVScrollBar::ThumbOffset(int32_t travel, uint32_t visible, uint32_t total, uint32_t first) {
  int64_t offset = 0;
  if (total > visible) {
    // The last page pins the thumb to the end whatever the rounding.
    offset = total - first == visible ? travel : int64_t{travel} * first / (total - visible);
  }
  if (offset < 0) offset = 0;
  if (offset > travel) offset = travel;
  return static_cast<int32_t>(offset);
}

bool GVScrollBar::DragPosition(int32_t offset, int32_t travel, int32_t* position) {
  if (travel <= 0) return false;
  *position = static_cast<int32_t>(int64_t{offset} * kPositionScale / travel);
  return true;
}

void GVScrollBar::SetThumbPos(uint32_t visible, uint32_t total, uint32_t first) {
  if (!thumb_) return;
  const int32_t offset = ThumbOffset(FreeTravel(), visible, total, first);
  thumb_->SetPos(GPoint(thumb_->GetRect().left, UpButtonBottom() + offset));
  SetDirty(1);
}

HWND GVScrollBar::SetTimerWnd(HWND wnd) { return timerWnd_ = wnd; }
HWND GVScrollBar::GetTimerWnd() { return timerWnd_; }

void GVScrollBar::StartTimer(UINT delay) {
  if (timerWnd_) SetTimer(timerWnd_, timerId_, delay, nullptr);
}

void GVScrollBar::StopTimer() {
  if (timerWnd_) KillTimer(timerWnd_, timerId_);
}

GRect GVScrollBar::GetDrawnRect() { return GetRect(); }

BOOL GVScrollBar::Draw(IDirectDrawSurface4* target, const GRect&) {
  if (!IsVisible()) return 1;
  // Every part draws within the bar whatever the caller's clip: the bar always
  // redraws whole (see GetDrawnRect).
  const GRect own = GetRect();
  GVWnd* parts[] = {track_, up_, down_, thumb_};
  for (GVWnd* part : parts)
    if (part && !part->Draw(target, own)) return 0;
  return 1;
}

BOOL GVScrollBar::OnScroll(int32_t code, int32_t position, GVWnd* sender) {
  if (!target_) return 0;
  if (!target_->OnScroll(code, position, sender)) return 0;
  SetDirty(1);
  return 1;
}

bool GVScrollBar::Hits(GVWnd* part, GPoint pt) { return part && part->HitTest(pt.x, pt.y, kHitVisible) > 0; }

bool GVScrollBar::PressButton(GVPushBtn* button, UINT keyFlags, GPoint pt) {
  return button->OnLButtonDown(keyFlags, pt) && button->IsHover();
}

BOOL GVScrollBar::OnLButtonDown(UINT keyFlags, GPoint pt) {
  StopTimer();
  for (GVPushBtn* arrow : {up_, down_}) {
    if (!Hits(arrow, pt)) continue;
    SetDirty(1);
    if (!PressButton(arrow, keyFlags, pt)) return 0;
    active_ = arrow;
    SetHover(1);
    StartTimer(repeatDelay_);
    return OnScroll(arrow == up_ ? SB_LINEUP : SB_LINEDOWN, 0, this);
  }
  if (Hits(thumb_, pt)) {
    SetDirty(1);
    if (!PressButton(thumb_, keyFlags, pt)) return 0;
    active_ = thumb_;
    SetHover(1);
    grab_ = pt.y - thumb_->GetRect().top;
    return 1;
  }
  if (!thumb_) return 0;
  // A click on the track jumps the thumb under the pointer as if it were dragged there.
  SetDirty(1);
  thumb_->OnLButtonUp(keyFlags, pt);
  active_ = thumb_;
  SetHover(1);
  grab_ = kTrackClickGrab;
  OnMouseMove(keyFlags, pt);
  return 1;
}

BOOL GVScrollBar::OnMouseMove(UINT keyFlags, GPoint pt) {
  if (IsHover()) {
    SetDirty(1);
    if (keyFlags & MK_LBUTTON) {
      if (active_ == thumb_ && target_) {
        const int32_t offset = pt.y - grab_ - UpButtonBottom();
        int32_t position = 0;
        // The target judges the position: it refuses anything outside 0..1000 and the
        // thumb then stays where it was.
        if (DragPosition(offset, FreeTravel(), &position) && target_->OnScroll(SB_THUMBTRACK, position, this))
          thumb_->SetPos(GPoint(thumb_->GetRect().left, UpButtonBottom() + offset));
      } else if (active_ && (active_ == up_ || active_ == down_)) {
        if (active_->OnMouseMove(keyFlags, pt)) {
          if (Hits(active_, pt))
            StartTimer(kRepeatPeriod);
          else
            StopTimer();
        }
      }
    }
    if (active_) active_->OnMouseMove(keyFlags, pt);
    if (!active_ || !active_->IsHover()) {
      active_ = nullptr;
      SetHover(0);
    }
    return 1;
  }
  for (GVPushBtn* part : {up_, down_, thumb_}) {
    if (!Hits(part, pt)) continue;
    if (!part->OnMouseMove(keyFlags, pt)) return 0;
    SetDirty(1);
    if (!part->IsHover()) return 0;
    active_ = part;
    SetHover(1);
    return 1;
  }
  active_ = nullptr;
  SetHover(0);
  return 0;
}

BOOL GVScrollBar::OnLButtonUp(UINT keyFlags, GPoint pt) {
  StopTimer();
  if (!IsHover() || !active_) return 0;
  if (!active_->OnLButtonUp(keyFlags, pt)) return 0;
  SetDirty(1);
  return 1;
}

BOOL GVScrollBar::OnLButtonDblClk(UINT, GPoint) { return 1; }

BOOL GVScrollBar::OnTimer(UINT_PTR id) {
  if (id != timerId_) return 0;
  if (!active_ || (active_ != up_ && active_ != down_)) return 0;
  StopTimer();
  StartTimer(kRepeatPeriod);
  return OnScroll(active_ == up_ ? SB_LINEUP : SB_LINEDOWN, 0, this);
}
