// A DirectDraw surface: memory in one pixel format with a padded pitch, or, for the
// primary, the display itself. Holds its colour keys, clipper, palette, the one lock
// or device context that may be out, and whether it is lost.
#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include "ddraw/Blitter.h"
#include "ddraw/Display.h"
#include "ddraw/PixelFormat.h"
#include "plat/ddraw.h"

namespace plat::detail::ddraw {

class Surface final : public IDirectDrawSurface4 {
 public:
  struct Params {
    uint64_t creator = 0;  // id of the DirectDraw object
    DWORD caps = 0;
    int width = 0;
    int height = 0;
    PixelFormat format;
    bool primary = false;      // shows the display's pixels
    bool modeBound = false;    // lost for good when the display mode changes
  };
  // Caller holds the display lock.
  explicit Surface(const Params& p);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags,
                                LPDDBLTFX fx) override;
  HRESULT STDMETHODCALLTYPE BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect,
                                    DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* surface) override;
  HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2 caps) override;
  HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
  HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT STDMETHODCALLTYPE GetDC(HDC* hdc) override;
  HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE* palette) override;
  HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
  HRESULT STDMETHODCALLTYPE IsLost() override;
  HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hdc) override;
  HRESULT STDMETHODCALLTYPE Restore() override;
  HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
  HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override;
  HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override;

  // Caller holds the display lock.
  uint64_t Creator() const { return params_.creator; }
  bool LostLocked() const;
  void MarkLostLocked() { lost_ = true; }
  bool InSystemMemory() const { return (params_.caps & DDSCAPS_SYSTEMMEMORY) != 0; }
  // Makes `back` the flip chain's back buffer (takes over the reference).
  void AttachBackBufferLocked(Surface* back);
  PixelView ViewLocked();
  const PixelFormat& Format() const { return params_.format; }
  void SetSourceKeyLocked(const DDCOLORKEY& key) { sourceKey_ = key; }
  // The display's memory was replaced: a primary's DC out on it draws nothing more.
  void DisplayMemoryGoneLocked();

 private:
  ~Surface();
  enum class Hold { None, Lock, Dc };

  bool ValidDescSize(DWORD size) const;
  void DescribeLocked(DDSURFACEDESC2* desc) const;
  RECT Bounds() const { return RECT{0, 0, params_.width, params_.height}; }
  HWND ClipWindowLocked() const;
  HRESULT BlitLocked(const RECT& dest, Surface* source, const RECT* sourceRect, const ColourKey& key, bool clipped,
                     std::optional<uint32_t> fill);
  // Shows what was written to the primary in the window that presents it.
  void PresentLocked(const std::vector<RECT>& rects);
  // The whole primary: into the clip window when there is one, else as PresentLocked.
  void PresentAllLocked();

  std::atomic<uint32_t> refs_{1};
  Params params_;
  std::vector<uint8_t> memory_;
  int pitch_ = 0;
  uint64_t generation_ = 0;
  bool lost_ = false;
  std::optional<DDCOLORKEY> sourceKey_;
  std::optional<DDCOLORKEY> destKey_;
  IDirectDrawClipper* clipper_ = nullptr;
  IDirectDrawPalette* palette_ = nullptr;
  Surface* backBuffer_ = nullptr;
  Hold hold_ = Hold::None;
  HDC dc_ = nullptr;
};

}  // namespace plat::detail::ddraw
