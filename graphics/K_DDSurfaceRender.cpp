// Locking a DirectDraw surface for the sprite library: the description the lock
// fills in becomes the image's memory, pitch and depth.
#include "graphics/K_DDSurfaceRender.h"

std::shared_ptr<K_RenderSurface> K_DDSurfaceRender::Make(IDirectDrawSurface4* surface) {
  if (!surface) return nullptr;
  return std::make_shared<K_DDSurfaceRender>(surface);
}

K_RenderSurface::LockResult K_DDSurfaceRender::Lock(K_SurfaceLock& out) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  const HRESULT hr = m_surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_SURFACEMEMORYPTR, nullptr);
  if (hr == DDERR_WASSTILLDRAWING || hr == DDERR_SURFACEBUSY) return LockResult::kStillDrawing;
  if (FAILED(hr)) return LockResult::kFailed;
  out.bits = static_cast<uint8_t*>(desc.lpSurface);
  out.hasPitch = (desc.dwFlags & DDSD_PITCH) != 0;
  out.pitch = out.hasPitch ? desc.lPitch : 0;
  out.bitCount = static_cast<int32_t>(desc.ddpfPixelFormat.dwRGBBitCount);
  out.width = static_cast<int32_t>(desc.dwWidth);
  out.height = static_cast<int32_t>(desc.dwHeight);
  return LockResult::kLocked;
}

void K_DDSurfaceRender::Unlock() { m_surface->Unlock(nullptr); }

HDC K_DDSurfaceRender::GetDC() {
  HDC dc = nullptr;
  if (FAILED(m_surface->GetDC(&dc))) return nullptr;
  return dc;
}

void K_DDSurfaceRender::ReleaseDC(HDC dc) { m_surface->ReleaseDC(dc); }
