// The sprite widget: loading through the sprite manager, the anchor-driven rectangle,
// the pixel hit test and the draw onto the back buffer.
#include "widgets/GVQLSWnd.h"

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/ddraw.h"
#include "widgets/GVSpriteSupport.h"

namespace rm = _QLSRsc_MANAGER_;

GVQLSWnd::~GVQLSWnd() {
  // The base destructor would read the sprite handle as a resource-manager handle.
  GVQLSWnd::ReleaseImage();
}

void GVQLSWnd::ReleaseImage() {
  gv_sprite::ReleaseHeld(*this);
  level_ = 0;
  flags_ = 0;
  colour_ = 0;
  sub_ = GRect();
  GVWnd::ReleaseImage();
}

ComPtr<IDirectDrawSurface4> GVQLSWnd::GetSurface() { return nullptr; }

void GVQLSWnd::SetPos(GPoint pt) {
  SetAnchor(pt);
  UpdateRect();
}

void GVQLSWnd::SetRect(GRect) {}

int32_t GVQLSWnd::Load(const char* fileName) {
  const uint32_t h = rm::LoadSpriteResourceByName(fileName);
  gv_sprite::ReplaceHeld(*this, h);
  if (!h) return 0;
  GVQLSWnd::SetPos(GPoint(0, 0));
  return 1;
}

int32_t GVQLSWnd::ChangeSprite(const char* fileName) {
  const uint32_t h = rm::LoadSpriteResourceByName(fileName);
  if (!h) return 0;
  gv_sprite::ReplaceHeld(*this, h);
  UpdateRect();
  return 1;
}

const KK_LLESprite* GVQLSWnd::GetSprite(int32_t) {
  const uint32_t h = gv_sprite::HeldHandle(*this);
  return h ? rm::GetLLESprite(h) : nullptr;
}

GSize GVQLSWnd::GetFrameSize(int32_t frame) {
  const KK_LLESprite* s = GetSprite(frame);
  return s ? GSize(s->FullWidth(), s->FullHeight()) : GSize();
}

void GVQLSWnd::UpdateRect() {
  const KK_LLESprite* s = GetSprite(-1);
  if (!s) return;
  const GPoint a = GetAnchor();
  const int32_t left = geom::Sub(a.x, s->Header().anchorX);
  const int32_t top = geom::Sub(a.y, s->Header().anchorY);
  GVWnd::SetRect(GRect(left, top, geom::Add(left, s->FullWidth()), geom::Add(top, s->FullHeight())));
}

BOOL GVQLSWnd::HitTest(int32_t x, int32_t y, uint32_t flags) {
  if (!GVWnd::HitTest(x, y, flags)) return 0;
  const KK_LLESprite* s = GetSprite(-1);
  if (!s) return 0;
  // The sprite's own test takes the point relative to its anchor, which sits at the
  // widget's anchor point.
  const GPoint a = GetAnchor();
  return s->HitTest(geom::Sub(x, a.x), geom::Sub(y, a.y)) ? 1 : 0;
}

BOOL GVQLSWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible() || !target) return 1;
  const KK_LLESprite* s = GetSprite(-1);
  if (!s) return 1;
  const GPoint a = GetAnchor();
  GRect area = clip;
  if (sub_.right > sub_.left) area = sub_ + a;
  GVSpriteCanvas canvas(target, area);
  if (!canvas.Image()) return 1;
  canvas.Image()->DrawSprite(a.x, a.y, *s, flags_, level_, colour_);
  SetDirty(0);
  return 1;
}
