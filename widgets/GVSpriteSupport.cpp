// Sprite handles in the widget image field, and surface loans for sprite drawing.
#include "widgets/GVSpriteSupport.h"

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_DDSurfaceRender.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/ddraw.h"
#include "widgets/GVWnd.h"

namespace gv_sprite {

uint32_t HeldHandle(const GVWnd& wnd) {
  const int32_t h = wnd.GetImage();
  return h == GVWnd::kNoImage ? 0 : static_cast<uint32_t>(h);
}

void ReleaseHeld(GVWnd& wnd) {
  if (const uint32_t h = HeldHandle(wnd)) _QLSRsc_MANAGER_::ReleaseSpriteResource(h);
  wnd.SetImage(GVWnd::kNoImage);
}

void ReplaceHeld(GVWnd& wnd, uint32_t handle) {
  ReleaseHeld(wnd);
  wnd.SetImage(static_cast<int32_t>(handle));
}

}  // namespace gv_sprite

GVSpriteCanvas::GVSpriteCanvas(IDirectDrawSurface4* target, const GRect& clip)
    : render_(K_DDSurfaceRender::Make(target)) {
  image_ = render_.Lock();
  if (image_) image_->SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
}
