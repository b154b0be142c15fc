// The game window's DirectDraw screen: set-up for a window or the whole display,
// the back buffer's pixel layout, and presenting with lost surfaces restored on the way.
#include "widgets/GDDScreen.h"

#include "plat/gdi.h"
#include "plat/user.h"

namespace {

// Zero bits below the lowest one bit, and the run of one bits from there.
void MaskShape(DWORD mask, int32_t& shift, int32_t& bits) {
  shift = 0;
  bits = 0;
  if (mask == 0) return;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++shift;
  }
  while ((mask & 1u) != 0) {
    mask >>= 1;
    ++bits;
  }
}

}  // namespace

GDDScreen::~GDDScreen() {
  GDDScreen::ReleaseSurfaces();
  ReleaseDirectDraw();
}

void GDDScreen::ReleaseDirectDraw() {
  LeaveCooperativeLevel();
  dd_ = nullptr;
}

void GDDScreen::LeaveCooperativeLevel() {
  if (!dd_) return;
  dd_->SetCooperativeLevel(coopWnd_, DDSCL_NORMAL);
}

BOOL GDDScreen::CreateScreen(HWND cooperativeWindow, HWND clipWindow, int32_t width, int32_t height,
                             BOOL fullScreen, int32_t depth) {
  // A rebuild keeps the DirectDraw object: every picture the game loaded is a surface
  // of it, and a surface does not work with another object (a blit from it onto the new
  // object's back buffer fails, and the table comes back black). Only its level and the
  // display mode it set go with the old screen.
  ReleaseSurfaces();
  LeaveCooperativeLevel();
  coopWnd_ = cooperativeWindow;
  clipWnd_ = clipWindow;
  width_ = width;
  height_ = height;
  fullScreen_ = fullScreen;
  depth_ = depth;
  backRect_.SetRect(0, 0, width, height);
  BOOL ok = 0;
  if (fullScreen) {
    ok = InitFullScreenDirectDraw(cooperativeWindow, clipWindow, width, height, depth);
  } else {
    // A window shares the desktop's mode, whatever depth the caller wished for.
    HDC dc = GetDC(cooperativeWindow);
    depth_ = dc ? GetDeviceCaps(dc, BITSPIXEL) : 0;
    if (dc) ReleaseDC(cooperativeWindow, dc);
    ok = InitWindowedDirectDraw(cooperativeWindow, clipWindow, width, height);
  }
  if (!ok) {
    Destroy();
    return 0;
  }
  return 1;
}

void GDDScreen::Destroy() {
  ReleaseSurfaces();
  ReleaseDirectDraw();
}

void GDDScreen::ReleaseSurfaces() {
  back_ = nullptr;
  primary_ = nullptr;
}

BOOL GDDScreen::RestoreAllSurfaces() { return dd_ && SUCCEEDED(dd_->RestoreAllSurfaces()) ? 1 : 0; }

BOOL GDDScreen::InitDirectDraw(HWND cooperativeWindow, DWORD level) {
  if (!dd_ && FAILED(CreateDirectDraw4(dd_))) return 0;
  return SUCCEEDED(dd_->SetCooperativeLevel(cooperativeWindow, level)) ? 1 : 0;
}

BOOL GDDScreen::FinishSetUp(HWND clipWindow, int32_t width, int32_t height) {
  // Presenting is always a blit from system memory; no flip chain is made.
  if (!CreateScreenSurfaces(width, height, 0, 0)) return 0;
  if (!AttachClipper(clipWindow)) return 0;
  UpdateScreenRect();
  ReadPixelMasks();
  return 1;
}

BOOL GDDScreen::InitWindowedDirectDraw(HWND cooperativeWindow, HWND clipWindow, int32_t width, int32_t height) {
  if (!InitDirectDraw(cooperativeWindow, DDSCL_NORMAL)) return 0;
  return FinishSetUp(clipWindow, width, height);
}

BOOL GDDScreen::InitFullScreenDirectDraw(HWND cooperativeWindow, HWND clipWindow, int32_t width, int32_t height,
                                         int32_t depth) {
  if (!InitDirectDraw(cooperativeWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT)) return 0;
  if (FAILED(dd_->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height), static_cast<DWORD>(depth),
                                 0, 0)))
    return 0;
  return FinishSetUp(clipWindow, width, height);
}

BOOL GDDScreen::CreateScreenSurfaces(int32_t width, int32_t height, BOOL flipChain, BOOL videoMemory) {
  flip_ = flipChain;
  DDSURFACEDESC2 desc;
  primary_ = nullptr;
  if (flipChain) {
    back_ = nullptr;
    InitSurfaceDesc(desc, DDSD_CAPS | DDSD_BACKBUFFERCOUNT, 0, 0,
                    DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    desc.dwBackBufferCount = 1;
    if (FAILED(CreateSurface(dd_, primary_, &desc))) return 0;
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface4* attached = nullptr;
    if (FAILED(primary_->GetAttachedSurface(&caps, &attached))) return 0;
    back_ = DDSurface(attached);  // the screen keeps a reference of its own
    attached->Release();
    return 1;
  }
  InitSurfaceDesc(desc, DDSD_CAPS, 0, 0, DDSCAPS_PRIMARYSURFACE);
  if (FAILED(CreateSurface(dd_, primary_, &desc))) return 0;
  back_ = nullptr;
  InitSurfaceDesc(desc, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, static_cast<DWORD>(width),
                  static_cast<DWORD>(height),
                  DDSCAPS_OFFSCREENPLAIN | (videoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY));
  return SUCCEEDED(CreateSurface(dd_, back_, &desc)) ? 1 : 0;
}

BOOL GDDScreen::AttachClipper(HWND window) {
  // A clipper without a window would let presents cover the whole display.
  if (!window || !dd_ || !primary_) return 0;
  ComPtr<IDirectDrawClipper> clipper;
  if (FAILED(dd_->CreateClipper(0, clipper.ReleaseAndGetAddressOf(), nullptr))) return 0;
  if (FAILED(clipper->SetHWnd(0, window))) return 0;
  return SUCCEEDED(primary_->SetClipper(clipper.Get())) ? 1 : 0;
}

BOOL GDDScreen::ReadPixelMasks() {
  if (!primary_ || !back_) return 0;
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc);
  if (FAILED(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0;
  back_->Unlock(nullptr);
  const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
  MaskShape(pf.dwRBitMask, redShift_, redBits_);
  MaskShape(pf.dwGBitMask, greenShift_, greenBits_);
  MaskShape(pf.dwBBitMask, blueShift_, blueBits_);
  switch (redBits_ + greenBits_ + blueBits_) {
    case 15:
      pixelFormat_ = kFormat555;
      colorKey_ = 0x7C1F;
      return 1;
    case 16:
      pixelFormat_ = kFormat565;
      colorKey_ = 0xF81F;
      return 1;
    case 24:
      pixelFormat_ = kFormat32;
      colorKey_ = 0xFF00FF;
      return 1;
    default:
      pixelFormat_ = kFormatUnknown;
      colorKey_ = 0;
      return 0;
  }
}

void GDDScreen::UpdateScreenRect() {
  screenRect_.SetRect(0, 0, width_, height_);
  if (fullScreen_) return;
  POINT topLeft{screenRect_.left, screenRect_.top};
  POINT bottomRight{screenRect_.right, screenRect_.bottom};
  ClientToScreen(coopWnd_, &topLeft);
  ClientToScreen(coopWnd_, &bottomRight);
  screenRect_.SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

BOOL GDDScreen::Present(GRect area) {
  if (!primary_ || !back_) return 0;
  UpdateScreenRect();
  return fullScreen_ ? PresentFullScreen(area) : PresentWindowed(area);
}

void GDDScreen::SourceAndDest(const GRect& area, bool offset, RECT& source, RECT& dest) const {
  const GRect from = area.IsNull() ? backRect_ : GRect(area.TopLeft(), GSize(area.Width(), area.Height()));
  source = RECT{from.left, from.top, from.right, from.bottom};
  GRect to = from;
  if (offset) to.Offset(screenRect_.TopLeft());
  dest = RECT{to.left, to.top, to.right, to.bottom};
}

BOOL GDDScreen::RestoreBoth() {
  HRESULT hr = primary_->Restore();
  if (SUCCEEDED(hr)) hr = back_->Restore();
  if (FAILED(hr)) {
    SetLastResult(hr);
    return 0;
  }
  return 1;
}

BOOL GDDScreen::PresentWindowed(const GRect& area) {
  RECT source, dest;
  SourceAndDest(area, true, source, dest);
  for (int i = 0; i < kPresentTries; ++i) {
    const HRESULT hr = primary_->Blt(&dest, back_.Get(), &source, DDBLT_WAIT, nullptr);
    SetLastResult(hr);
    if (hr == DDERR_SURFACELOST) {
      if (!RestoreBoth()) return 0;
    } else if (hr != DDERR_WASSTILLDRAWING) {
      return 1;
    }
  }
  // Out of tries: a surface still lost is a failed present; a busy one is reported
  // like any other present failure, through the result word only.
  return GetLastResult() == DDERR_SURFACELOST ? 0 : 1;
}

BOOL GDDScreen::PresentFullScreen(const GRect& area) {
  RECT source, dest;
  SourceAndDest(area, false, source, dest);
  for (int i = 0; i < kPresentTries; ++i) {
    const HRESULT hr = flip_ ? primary_->Flip(back_.Get(), DDFLIP_WAIT)
                             : primary_->Blt(&dest, back_.Get(), &source, DDBLT_WAIT, nullptr);
    SetLastResult(hr);
    // The restored display holds nothing worth showing; the next frame is drawn whole.
    if (hr == DDERR_SURFACELOST) return RestoreBoth();
    if (hr != DDERR_WASSTILLDRAWING) return 1;
  }
  return 1;
}
