// The sprite-set widget: loading and swapping sets, frame selection, per-frame sprites.
#include "widgets/GVPSPWnd.h"

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/ddraw.h"
#include "widgets/GVSpriteSupport.h"

namespace rm = _QLSRsc_MANAGER_;

namespace {

// A set from the file, or 0; anything else the file holds is given back at once.
uint32_t LoadSet(const char* fileName) {
  const uint32_t h = rm::LoadSpriteResourceByName(fileName);
  if (h && !rm::GetSpriteSet(h)) {
    rm::ReleaseSpriteResource(h);
    return 0;
  }
  return h;
}

}  // namespace

GVPSPWnd::~GVPSPWnd() { GVPSPWnd::ReleaseImage(); }

void GVPSPWnd::ReleaseImage() {
  frame_ = 0;
  frameCount_ = 0;
  GVQLSWnd::ReleaseImage();
}

int32_t GVPSPWnd::Load(const char* fileName) {
  const uint32_t h = LoadSet(fileName);
  gv_sprite::ReplaceHeld(*this, h);
  frame_ = 0;
  frameCount_ = h ? rm::GetSpriteSet(h)->GetFrameCount() : 0;
  if (!h) return 0;
  GVQLSWnd::SetPos(GPoint(0, 0));
  return 1;
}

int32_t GVPSPWnd::ChangeSprite(const char* fileName) {
  const uint32_t h = LoadSet(fileName);
  if (!h) return 0;
  gv_sprite::ReplaceHeld(*this, h);
  frameCount_ = rm::GetSpriteSet(h)->GetFrameCount();
  frameTimer_ = 0;
  if (frame_ >= frameCount_) frame_ = 0;
  UpdateRect();
  return 1;
}

const KK_LLESprite* GVPSPWnd::GetSprite(int32_t frame) {
  const uint32_t h = gv_sprite::HeldHandle(*this);
  if (!h) return nullptr;
  return rm::GetSpriteFrame(h, frame < 0 ? frame_ : frame);
}

void GVPSPWnd::SetFrame(int32_t frame) {
  const int32_t f = frame >= 0 && frame < frameCount_ ? frame : 0;
  if (f == frame_) return;
  frame_ = f;
  UpdateRect();
}
