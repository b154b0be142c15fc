#include "panels/CVNumberWnd.h"

void CVNumberWnd::SetDigitRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  SetDirty(1);
  SetSourceRect(left, top, right, bottom);
  cell_ = GSize(right - left, bottom - top);
}

void CVNumberWnd::SetRect(GRect rect) {
  GVWnd::SetRect(rect);
  full_ = rect;
}

BOOL CVNumberWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  const GRect source = GetSourceRect();
  GRect at = full_;
  at.left = at.right - cell_.cx;
  BOOL result = 1;
  for (int32_t d : digits) {
    GVWnd::SetRect(at);
    SetSourceRect(d * cell_.cx, source.top, d * cell_.cx + cell_.cx, source.bottom);
    if (!GVDDSWnd::Draw(target, clip)) {
      result = 0;
      break;
    }
    at.right = at.left - gap;
    at.left = at.right - cell_.cx;
  }
  GVWnd::SetRect(full_);
  return result;
}
