// A DirectDraw clipper: names the window whose visible client area a primary-surface
// blit is clipped to and lands in. The palette object lives here too: it only keeps
// its entries.
#pragma once

#include <atomic>

#include "plat/ddraw.h"

namespace plat::detail::ddraw {

class Clipper final : public IDirectDrawClipper {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetHWnd(HWND* hwnd) override;
  HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND hwnd) override;

  Clipper();
  // Caller holds the display lock.
  HWND WindowLocked() const { return hwnd_; }

 private:
  ~Clipper();
  std::atomic<uint32_t> refs_{1};
  HWND hwnd_ = nullptr;
};

// A new clipper with no window (the "CreateClipper" fault makes it fail).
HRESULT NewClipper(IDirectDrawClipper** clipper);

class Palette final : public IDirectDrawPalette {
 public:
  Palette(DWORD caps, const PALETTEENTRY* entries);
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetCaps(LPDWORD caps) override;
  HRESULT STDMETHODCALLTYPE GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;
  HRESULT STDMETHODCALLTYPE SetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;

 private:
  static constexpr DWORD kEntries = 256;
  ~Palette();
  std::atomic<uint32_t> refs_{1};
  DWORD caps_;
  PALETTEENTRY entries_[kEntries] = {};
};

}  // namespace plat::detail::ddraw
