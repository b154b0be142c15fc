#include "panels/CVTextShadowWnd.h"

BOOL CVTextShadowWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  const COLORREF own = GetTextColor();
  Offset(GSize(1, 1));
  SetTextColor(shadow_);
  GVDDSWnd::Draw(target, clip);
  Offset(GSize(-1, -1));
  SetTextColor(own);
  GVDDSWnd::Draw(target, clip);
  return 1;
}
