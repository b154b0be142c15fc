// The render-surface seam over a DirectDraw surface, so that a K_DDRender_Obj can
// lend a real off-screen, back or primary surface to the sprite library.
#pragma once

#include <memory>

#include "graphics/K_DDRender_Obj.h"
#include "plat/com.h"
#include "plat/ddraw.h"

class K_DDSurfaceRender : public K_RenderSurface {
 public:
  // Holds a reference to `surface` for its lifetime.
  explicit K_DDSurfaceRender(IDirectDrawSurface4* surface) : m_surface(surface) {}

  // A render surface for `surface`, or null for a null surface.
  static std::shared_ptr<K_RenderSurface> Make(IDirectDrawSurface4* surface);

  // The whole surface. A surface still drawing, or held by another thread, answers
  // kStillDrawing so that the caller tries again; any other failure is kFailed.
  LockResult Lock(K_SurfaceLock& out) override;
  void Unlock() override;
  HDC GetDC() override;
  void ReleaseDC(HDC dc) override;

 private:
  ComPtr<IDirectDrawSurface4> m_surface;
};
