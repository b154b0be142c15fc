// The DirectDraw object: one object answering the IDirectDraw, IDirectDraw2 and
// IDirectDraw4 identities. Keeps its cooperative level and the display mode it was
// made in, and gives the desktop its mode back when it leaves exclusive mode.
#pragma once

#include <atomic>

#include "plat/ddraw.h"

namespace plat::detail::ddraw {

struct Display;

class DirectDrawObject final : public IDirectDraw4, public IDirectDraw2, public IDirectDraw {
 public:
  DirectDrawObject();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                          IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                          IUnknown* outer) override;
  HRESULT STDMETHODCALLTYPE FlipToGDISurface() override;
  HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS driverCaps, LPDDCAPS emulationCaps) override;
  HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 desc) override;
  HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh,
                                           DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp) override;
  HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD flags, HANDLE event) override;
  HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override;
  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override;

 private:
  ~DirectDrawObject();
  bool IsOwnerLocked(const Display& d) const;
  // Gives up exclusive mode; the desktop gets its own mode back.
  void LeaveExclusiveLocked(Display& d);

  std::atomic<uint32_t> refs_{1};
  uint64_t id_ = 0;
  uint64_t generation_ = 0;
  DWORD level_ = 0;  // 0 until SetCooperativeLevel
};

}  // namespace plat::detail::ddraw
