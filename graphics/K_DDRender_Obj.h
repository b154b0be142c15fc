// Lends a drawing surface to the sprite library as an image for as long as it is
// locked. The surface is reached through K_RenderSurface, the few operations the
// library needs of it (lock the whole surface, unlock, hand out a device context).
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/K_Dib.h"
#include "plat/types.h"

// What a locked surface reports: its memory, the pitch when the surface gave one, the
// bit count (15 and 16 both take two bytes) and its size.
struct K_SurfaceLock {
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  bool hasPitch = false;
  int32_t bitCount = 0;
  int32_t width = 0;
  int32_t height = 0;
};

class K_RenderSurface {
 public:
  enum class LockResult { kLocked, kStillDrawing, kFailed };
  virtual ~K_RenderSurface() = default;
  virtual LockResult Lock(K_SurfaceLock& out) = 0;
  virtual void Unlock() = 0;
  virtual HDC GetDC() = 0;
  virtual void ReleaseDC(HDC dc) = 0;
};

class K_DDRender_Obj {
 public:
  // Tries before a surface that keeps answering "still drawing" counts as failed.
  static constexpr int32_t kMaxLockTries = 1000;

  explicit K_DDRender_Obj(std::shared_ptr<K_RenderSurface> surface) : m_surface(std::move(surface)) {}
  virtual ~K_DDRender_Obj();
  K_DDRender_Obj(const K_DDRender_Obj&) = delete;
  K_DDRender_Obj& operator=(const K_DDRender_Obj&) = delete;

  // The image over the surface's memory, or null. Already locked, or while a device
  // context is out, the image is returned as it is.
  K_Dib_Draw* Lock();
  void Unlock();
  // A device context of the surface; the surface is unlocked first.
  HDC GetDC();
  void ReleaseDC();
  bool IsLocked() const { return m_locked; }

 private:
  std::shared_ptr<K_RenderSurface> m_surface;
  K_Dib_Draw m_image;
  HDC m_dc = nullptr;
  bool m_locked = false;
};
