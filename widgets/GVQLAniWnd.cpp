// The animation widget: binding through the sprite manager, the per-frame rectangles
// and their layout at the position, the tick, and drawing and hit-testing the current
// frame.
#include "widgets/GVQLAniWnd.h"

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Dib.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/ddraw.h"
#include "plat/time.h"
#include "widgets/GVSpriteSupport.h"

namespace rm = _QLSRsc_MANAGER_;

namespace {

// An animation from the file, or 0; anything else the file holds is given back at once.
uint32_t LoadAnimation(const std::string& fileName) {
  const uint32_t h = rm::LoadSpriteResourceByName(fileName.c_str());
  if (h && !rm::GetAnimationRsc(h)) {
    rm::ReleaseSpriteResource(h);
    return 0;
  }
  return h;
}

}  // namespace

GVQLAniWnd::GVQLAniWnd() { player_.emplace(); }

GVQLAniWnd::~GVQLAniWnd() { GVQLAniWnd::ReleaseImage(); }

void GVQLAniWnd::ReleaseImage() {
  gv_sprite::ReleaseHeld(*this);
  player_.emplace();
  frameRects_.clear();
  size_ = GSize();
  mirror_ = 0;
  moving_ = 0;
  name_.clear();
  GVWnd::ReleaseImage();
}

ComPtr<IDirectDrawSurface4> GVQLAniWnd::GetSurface() { return nullptr; }

K_Animation_RSC* GVQLAniWnd::Resource() const {
  const uint32_t h = gv_sprite::HeldHandle(*this);
  return h ? rm::GetAnimationRsc(h) : nullptr;
}

int32_t GVQLAniWnd::Load(const std::string& fileName, int32_t x, int32_t y) {
  const uint32_t h = LoadAnimation(fileName);
  if (!h) {
    ReleaseImage();
    SetImage(0);
    return 0;
  }
  Bind(h);
  pos_ = GPoint(x, y);
  return 1;
}

int32_t GVQLAniWnd::ChangeAnimation(const std::string& fileName) {
  const uint32_t h = LoadAnimation(fileName);
  if (!h) return 0;
  Bind(h);
  return 1;
}

void GVQLAniWnd::Bind(uint32_t handle) {
  // The new handle is taken before the old one goes, so that reloading the same file
  // keeps its count above zero.
  ReleaseImage();
  SetImage(static_cast<int32_t>(handle));
  player_->SetHandle(handle);
  TakeAnimation(*rm::GetAnimationRsc(handle));
}

void GVQLAniWnd::TakeAnimation(const K_Animation_RSC& rsc) {
  const tagAni_Header header = rsc.Header();
  name_.assign(header.name);
  size_ = GSize(header.right - header.left, header.bottom - header.top);
  frameRects_.clear();
  for (int32_t f = 0; f < rsc.FrameCount(); ++f) {
    K_Rect r;
    rsc.GetFrameRect(f, r, 0);
    frameRects_.push_back(GRect(r.left, r.top, r.right, r.bottom));
  }
  mirror_ = 0;
  moving_ = 0;
}

void GVQLAniWnd::Play(int32_t count, BOOL holdLastFrame) {
  if (!IsVisible()) Show(1);
  player_->Play(count);
  moving_ = player_->IsFrameMoving() ? 1 : 0;
  if (holdLastFrame) player_->SetStopFrame(K_Animation::kHoldLast);
  LayoutFrame(player_->CurrentFrame());
}

void GVQLAniWnd::Stop() {
  player_->Stop();
  Show(0);
  SetDirty(1);
}

void GVQLAniWnd::SetStopFrame(int32_t frame) {
  if (frame < 0) {
    player_->Pause();
  } else {
    player_->SetStopFrame(frame);
  }
}

uint32_t GVQLAniWnd::Resume() { return player_->Resume(); }

BOOL GVQLAniWnd::Update() {
  if (player_->StartTick() == 0) return 0;
  if (!player_->Step(timeGetTime())) {
    if (moving_) SetDirty(1);
    return moving_;
  }
  // A frame that ends the plays held, or reaches the stop frame, has stopped the clock
  // but is still shown, so it is laid out like any other.
  if (player_->CurrentFrame() >= 0) {
    LayoutFrame(player_->CurrentFrame());
    moving_ = player_->IsFrameMoving() ? 1 : 0;
    return 1;
  }
  player_->Stop();
  Show(0);
  SetDirty(1);
  return 1;
}

BOOL GVQLAniWnd::SetFrame(int32_t frame) {
  if (frame < 0 || frame >= GetFrameCount()) return 0;
  player_->SetFrame(frame);
  if (IsVisible()) LayoutFrame(frame);
  return 1;
}

void GVQLAniWnd::Rewind() {
  if (!IsVisible()) Show(1);
  player_->SetFrame(0);
  LayoutFrame(0);
}

int32_t GVQLAniWnd::NextFrame() {
  int32_t next = player_->CurrentFrame() + 1;
  if (next >= GetFrameCount()) next = 0;
  player_->SetFrame(next);
  LayoutFrame(next);
  return player_->CurrentFrame();
}

BOOL GVQLAniWnd::SelectAnimation(int32_t index) {
  K_Animation_RSC* rsc = Resource();
  K_Animation_RSC* sub = rsc ? rsc->GetSubAnimation(index) : nullptr;
  if (!sub) return 0;
  SetAnimation(index, sub);
  return 1;
}

BOOL GVQLAniWnd::SelectAnimationByName(const char* name) {
  K_Animation_RSC* rsc = Resource();
  if (!rsc || !name) return 0;
  int32_t index = -1;
  K_Animation_RSC* sub = rsc->FindByName(name, &index);
  if (!sub) return 0;
  SetAnimation(index, sub);
  return 1;
}

void GVQLAniWnd::SetAnimation(int32_t index, K_Animation_RSC* sub) {
  if (index == GetAnimationIndex() || !player_->SetSubAnimation(index)) return;
  TakeAnimation(*sub);
}

int32_t GVQLAniWnd::GetAnimationIndex() const {
  return gv_sprite::HeldHandle(*this) ? player_->SubAnimation() : -1;
}

GRect GVQLAniWnd::ScreenRect(int32_t frame) const {
  GRect r = frameRects_[size_t(frame)];
  if (mirror_ > 0) r.SetRect(geom::Neg(r.right), r.top, geom::Neg(r.left), r.bottom);
  return r + pos_;
}

void GVQLAniWnd::GetFrameRect(GRect& out) const {
  const int32_t f = player_->CurrentFrame();
  if (f >= 0 && f < GetFrameCount()) out = ScreenRect(f);
}

void GVQLAniWnd::LayoutFrame(int32_t frame) {
  if (frame < 0 || frame >= GetFrameCount()) return;
  SetRect(ScreenRect(frame));
  SetDirty(1);
}

void GVQLAniWnd::SetPos(GPoint pt) {
  pos_ = pt;
  if (player_->CurrentFrame() >= 0) LayoutFrame(player_->CurrentFrame());
}

GPoint GVQLAniWnd::GetPos() { return pos_; }

uint32_t GVQLAniWnd::CallFlags() const { return mirror_ > 0 ? K_Dib::kMirrorX : 0; }

BOOL GVQLAniWnd::HitTest(int32_t x, int32_t y, uint32_t flags) {
  if (!GVWnd::HitTest(x, y, flags)) return 0;
  if (!gv_sprite::HeldHandle(*this) || player_->CurrentFrame() < 0) return 0;
  return player_->HitTest(geom::Sub(x, pos_.x), geom::Sub(y, pos_.y), CallFlags()) ? 1 : 0;
}

BOOL GVQLAniWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible() || !target || player_->CurrentFrame() < 0 || !gv_sprite::HeldHandle(*this)) return 1;
  GVSpriteCanvas canvas(target, clip);
  if (canvas.Image()) player_->Draw(*canvas.Image(), pos_.x, pos_.y, CallFlags());
  return 1;
}
