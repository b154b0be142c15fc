// The box widget's set-up and its draw through the sprite library's fills and frames.
#include "widgets/GVBoxWnd.h"

#include "graphics/K_Dib.h"
#include "widgets/GVSpriteSupport.h"

int32_t GVBoxWnd::Create(int32_t x, int32_t y, int32_t w, int32_t h, COLORREF fill, int32_t level) {
  GVWnd::SetRect(GRect(x, y, geom::Add(x, w), geom::Add(y, h)));
  style_ = kFill;
  fill_ = fill;
  level_ = level;
  return 1;
}

void GVBoxWnd::SetFill(COLORREF colour, int32_t level) {
  style_ |= kFill;
  fill_ = colour;
  level_ = level;
}

void GVBoxWnd::SetBorder(COLORREF top, COLORREF bottom, BOOL rounded) {
  style_ &= ~kFrame;
  style_ |= rounded ? kRoundFrame : kFrame;
  top_ = top;
  bottom_ = bottom;
}

void GVBoxWnd::RemoveBorder() { style_ &= ~kFrame; }

BOOL GVBoxWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible() || !target) return 1;
  GVSpriteCanvas canvas(target, clip);
  K_Dib_Draw* image = canvas.Image();
  if (!image) return 1;
  const GRect r = GetRect();
  const K_Rect box{r.left, r.top, r.right, r.bottom};
  if (style_ & kFill) image->FillRectBlend(box, fill_, level_);
  if (style_ & kRoundFrame) {
    image->DrawRoundFrame(box, top_, bottom_);
  } else if (style_ & kFrame) {
    image->DrawFrame(box, top_, bottom_);
  }
  SetDirty(0);
  return 1;
}
