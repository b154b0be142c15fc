// What the sprite-library widgets share: the sprite-manager handle they keep in the
// widget's image field (where the base would read a resource-manager handle), and the
// back buffer lent to the sprite library as a clipped image for one draw.
#pragma once

#include <cstdint>

#include "graphics/K_DDRender_Obj.h"
#include "base/GGeometry.h"

class GVWnd;
struct IDirectDrawSurface4;

namespace gv_sprite {

// The sprite-manager handle held in the image field; 0 when there is none (0 or -1).
uint32_t HeldHandle(const GVWnd& wnd);
// Gives the held handle back to the sprite manager and leaves -1 in the field, so that
// the base release, which reads the field as a resource-manager handle, finds nothing.
void ReleaseHeld(GVWnd& wnd);
// Stores a handle just loaded (0 for a failed load) in place of the one held. The old
// one is released after the load, so reloading the same file keeps its count.
void ReplaceHeld(GVWnd& wnd, uint32_t handle);

}  // namespace gv_sprite

// The target surface locked as a sprite-library image clipped to `clip`, for the
// lifetime of the object; Image() is null when the surface could not be locked.
class GVSpriteCanvas {
 public:
  GVSpriteCanvas(IDirectDrawSurface4* target, const GRect& clip);
  GVSpriteCanvas(const GVSpriteCanvas&) = delete;
  GVSpriteCanvas& operator=(const GVSpriteCanvas&) = delete;

  K_Dib_Draw* Image() const { return image_; }

 private:
  K_DDRender_Obj render_;
  K_Dib_Draw* image_ = nullptr;
};
