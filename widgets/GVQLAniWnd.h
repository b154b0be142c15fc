// The animation widget: plays a .qla animation of the sprite-resource manager from the
// scene's tick, keeps its rectangle equal to the current frame's bounds so that only
// that area is redrawn, mirrors on request, hit-tests the drawn pixels and switches
// between the sub-animations of a set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphics/K_Animation.h"
#include "widgets/GVWnd.h"

class K_Animation_RSC;

class GVQLAniWnd : public GVWnd {
 public:
  GVQLAniWnd();
  ~GVQLAniWnd() override;

  // The handle in the image field belongs to the sprite manager.
  void ReleaseImage() override;
  ComPtr<IDirectDrawSurface4> GetSurface() override;
  // The point the animation's origin is drawn at; a current frame follows it.
  void SetPos(GPoint pt) override;
  GPoint GetPos() override;
  BOOL HitTest(int32_t x, int32_t y, uint32_t flags) override;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // Binds the file's animation with its origin at (x, y), not started. 0 when the file
  // gives no animation (the widget then holds none).
  int32_t Load(const std::string& fileName, int32_t x, int32_t y);
  // As Load, keeping the position; 0 (the old animation kept) when the file gives none.
  int32_t ChangeAnimation(const std::string& fileName);

  // Shows the widget and starts from frame 0; `count` as the player takes it (negative
  // for ever). Held, the last frame stays when the plays are done.
  void Play(int32_t count, BOOL holdLastFrame);
  // Ends at once: stopped, hidden and marked for redrawing, playing or not.
  void Stop();
  // A negative frame pauses the clock on the current frame; any other pauses there.
  void SetStopFrame(int32_t frame);
  // Continues a paused player from a fresh clock; its start tick.
  uint32_t Resume();
  // Per tick: whether the widget needs redrawing. At the end of the plays (not held)
  // the widget stops and hides itself.
  BOOL Update();

  // By hand, without starting the clock. SetFrame gives 0 for a frame outside.
  BOOL SetFrame(int32_t frame);
  void Rewind();
  int32_t NextFrame();

  BOOL SelectAnimation(int32_t index);
  BOOL SelectAnimationByName(const char* name);

  // -1 before a load.
  int32_t GetAnimationIndex() const;
  const char* GetName() const { return name_.c_str(); }
  // The current frame's rectangle on the screen; `out` untouched without one.
  void GetFrameRect(GRect& out) const;
  int32_t GetFrame() const { return player_->CurrentFrame(); }
  int32_t GetFrameCount() const { return int32_t(frameRects_.size()); }
  bool IsPlaying() const { return player_->IsPlaying(); }
  GSize GetAnimationSize() const { return size_; }
  // Positive mirrors horizontally about the position; cleared by loads and selections.
  int32_t GetMirror() const { return mirror_; }
  void SetMirror(int32_t mirror) { mirror_ = mirror; }
  BOOL IsMoving() const { return moving_; }

 private:
  // Binds a handle known to hold an animation; position untouched.
  void Bind(uint32_t handle);
  // Frame table, size and name of `rsc`; mirror cleared.
  void TakeAnimation(const K_Animation_RSC& rsc);
  void SetAnimation(int32_t index, K_Animation_RSC* sub);
  void LayoutFrame(int32_t frame);
  GRect ScreenRect(int32_t frame) const;
  uint32_t CallFlags() const;
  K_Animation_RSC* Resource() const;

  // Re-made on release, so that nothing of an old binding survives.
  std::optional<K_Animation_RscMan> player_;
  std::vector<GRect> frameRects_;
  GSize size_;
  GPoint pos_;
  int32_t mirror_ = 0;
  BOOL moving_ = 0;
  std::string name_;
};
