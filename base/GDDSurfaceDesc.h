// A DirectDraw surface description as a value: cleared, with the sizes every call of
// the program passes, and the few readings the manager, entries and blitters make.
#pragma once

#include <cstring>

#include "plat/ddraw.h"
#include "base/GGeometry.h"

class GDDSurfaceDesc : public DDSURFACEDESC2 {
 public:
  GDDSurfaceDesc() {
    std::memset(static_cast<DDSURFACEDESC2*>(this), 0, sizeof(DDSURFACEDESC2));
    dwSize = sizeof(DDSURFACEDESC2);
    ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  }

  static constexpr DWORD kRed565 = 0xF800;
  static constexpr DWORD kRed555 = 0x7C00;

  // 15 or 16 told apart by the red mask; 0 for an unknown 16-bit layout or no format.
  int GetBitDepth() const {
    if (!(dwFlags & DDSD_PIXELFORMAT)) return 0;
    const DWORD bits = ddpfPixelFormat.dwRGBBitCount;
    if (bits != 16) return static_cast<int>(bits);
    if (ddpfPixelFormat.dwRBitMask == kRed565) return 16;
    if (ddpfPixelFormat.dwRBitMask == kRed555) return 15;
    return 0;
  }
  GSize GetSize() const {
    return (dwFlags & DDSD_WIDTH) ? GSize(static_cast<int32_t>(dwWidth), static_cast<int32_t>(dwHeight)) : GSize();
  }
  int32_t GetPitch() const { return (dwFlags & DDSD_PITCH) ? lPitch : 0; }
  GRect GetRect() const { return (dwFlags & DDSD_WIDTH) ? GRect(GPoint(), GetSize()) : GRect(); }
};
