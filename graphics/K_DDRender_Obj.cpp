// Surface loans: lock, attach the memory to the image, and undo both in order.
#include "graphics/K_DDRender_Obj.h"

K_DDRender_Obj::~K_DDRender_Obj() {
  ReleaseDC();
  Unlock();
}

K_Dib_Draw* K_DDRender_Obj::Lock() {
  if (m_locked || m_dc) return &m_image;
  if (!m_surface) return nullptr;
  K_SurfaceLock lock;
  K_RenderSurface::LockResult r = K_RenderSurface::LockResult::kStillDrawing;
  for (int32_t i = 0; i < kMaxLockTries && r == K_RenderSurface::LockResult::kStillDrawing; ++i)
    r = m_surface->Lock(lock);
  if (r != K_RenderSurface::LockResult::kLocked) return nullptr;
  // Without a pitch the rows cannot be found; Attach refuses a pitch shorter than a row.
  const int32_t pitch = lock.hasPitch ? lock.pitch : 0;
  if (!m_image.Attach(lock.bits, pitch, (lock.bitCount + 1) / 8, lock.width, lock.height)) {
    m_surface->Unlock();
    return nullptr;
  }
  m_locked = true;
  return &m_image;
}

void K_DDRender_Obj::Unlock() {
  if (!m_locked) return;
  m_image.DetachBits();
  m_surface->Unlock();
  m_locked = false;
}

HDC K_DDRender_Obj::GetDC() {
  if (m_dc) return m_dc;
  Unlock();
  if (m_surface) m_dc = m_surface->GetDC();
  return m_dc;
}

void K_DDRender_Obj::ReleaseDC() {
  if (!m_dc) return;
  m_surface->ReleaseDC(m_dc);
  m_dc = nullptr;
}
