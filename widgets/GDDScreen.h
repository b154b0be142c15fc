// The game window's DirectDraw screen: the DirectDraw object, the primary surface, a
// system-memory back buffer every frame is drawn into, and the clipper that keeps
// presentation inside the game window. Windowed or exclusive full screen.
#pragma once

#include <cstdint>

#include "plat/com.h"
#include "plat/ddraw.h"
#include "plat/types.h"
#include "base/DDSurfaceUtil.h"
#include "base/GDXObj.h"
#include "base/GGeometry.h"

class GDDScreen : public GDXObj {
 public:
  // Pixel format codes of the back buffer.
  enum : int32_t { kFormatUnknown = 0, kFormat555 = 1, kFormat565 = 2, kFormat32 = 3 };
  // Tries of one present before it gives up on a surface that stays lost or busy.
  static constexpr int kPresentTries = 8;

  GDDScreen() = default;
  GDDScreen(const GDDScreen&) = delete;
  GDDScreen& operator=(const GDDScreen&) = delete;
  ~GDDScreen() override;

  virtual BOOL CreateScreen(HWND cooperativeWindow, HWND clipWindow, int32_t width, int32_t height, BOOL fullScreen,
                            int32_t depth);
  virtual void Destroy();
  virtual void ReleaseSurfaces();
  virtual BOOL RestoreAllSurfaces();
  virtual BOOL Present(GRect area);
  virtual int32_t OnExtra(int32_t, int32_t, int32_t, int32_t) { return 0; }

  BOOL InitWindowedDirectDraw(HWND cooperativeWindow, HWND clipWindow, int32_t width, int32_t height);
  BOOL InitFullScreenDirectDraw(HWND cooperativeWindow, HWND clipWindow, int32_t width, int32_t height,
                                int32_t depth);
  BOOL CreateScreenSurfaces(int32_t width, int32_t height, BOOL flipChain, BOOL videoMemory);
  BOOL AttachClipper(HWND window);
  BOOL ReadPixelMasks();
  void UpdateScreenRect();
  BOOL PresentWindowed(const GRect& area);
  BOOL PresentFullScreen(const GRect& area);

  const DDObject& DirectDraw() const { return dd_; }
  const DDSurface& Primary() const { return primary_; }
  const DDSurface& BackBuffer() const { return back_; }
  uint32_t ColorKey() const { return colorKey_; }
  int32_t PixelFormat() const { return pixelFormat_; }
  int32_t ColorDepth() const { return depth_; }
  BOOL IsFullScreen() const { return fullScreen_; }
  BOOL IsFlipChain() const { return flip_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  const GRect& BackRect() const { return backRect_; }
  const GRect& ScreenRect() const { return screenRect_; }
  HWND CooperativeWindow() const { return coopWnd_; }
  HWND ClipWindow() const { return clipWnd_; }
  int32_t RedBits() const { return redBits_; }
  int32_t GreenBits() const { return greenBits_; }
  int32_t BlueBits() const { return blueBits_; }
  int32_t RedShift() const { return redShift_; }
  int32_t GreenShift() const { return greenShift_; }
  int32_t BlueShift() const { return blueShift_; }

 private:
  BOOL InitDirectDraw(HWND cooperativeWindow, DWORD level);
  BOOL FinishSetUp(HWND clipWindow, int32_t width, int32_t height);
  void ReleaseDirectDraw();
  // Back to the normal level, which gives the desktop its mode back after a full screen.
  void LeaveCooperativeLevel();
  // Restores the primary, then the back buffer; the failing restore's result is kept.
  BOOL RestoreBoth();
  void SourceAndDest(const GRect& area, bool offset, RECT& source, RECT& dest) const;

  GRect backRect_;
  HWND coopWnd_ = nullptr;
  HWND clipWnd_ = nullptr;
  DDObject dd_;
  DDSurface primary_;
  DDSurface back_;
  BOOL fullScreen_ = 0;
  uint32_t colorKey_ = 0xFFFFFFFFu;
  int32_t depth_ = 0;
  int32_t redBits_ = 0, greenBits_ = 0, blueBits_ = 0;
  int32_t redShift_ = 0, greenShift_ = 0, blueShift_ = 0;
  int32_t width_ = 0, height_ = 0;
  GRect screenRect_;
  int32_t pixelFormat_ = kFormatUnknown;
  BOOL flip_ = 0;
};
