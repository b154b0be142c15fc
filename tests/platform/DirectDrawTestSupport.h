#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "WindowTestSupport.h"
#include "plat/ddraw.h"
#include "plat/sim.h"
#include "plat/user.h"

namespace ddraw_test {

using plat::sim::DisplayFormat;

inline DDSURFACEDESC2 Desc() {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  return d;
}

inline ComPtr<IDirectDraw4> MakeDirectDraw(HWND window = nullptr, DWORD level = DDSCL_NORMAL) {
  ComPtr<IDirectDraw> first;
  if (FAILED(DirectDrawCreate(nullptr, first.ReleaseAndGetAddressOf(), nullptr))) return {};
  ComPtr<IDirectDraw4> dd;
  if (FAILED(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(dd.ReleaseAndGetAddressOf()))))
    return {};
  if (FAILED(dd->SetCooperativeLevel(window, level))) return {};
  return dd;
}

inline HRESULT MakeOffscreen(IDirectDraw4* dd, int w, int h, ComPtr<IDirectDrawSurface4>* out,
                             const DDPIXELFORMAT* format = nullptr) {
  DDSURFACEDESC2 d = Desc();
  d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  d.dwWidth = static_cast<DWORD>(w);
  d.dwHeight = static_cast<DWORD>(h);
  d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  if (format) {
    d.dwFlags |= DDSD_PIXELFORMAT;
    d.ddpfPixelFormat = *format;
  }
  return dd->CreateSurface(&d, out->ReleaseAndGetAddressOf(), nullptr);
}

inline HRESULT MakePrimary(IDirectDraw4* dd, ComPtr<IDirectDrawSurface4>* out) {
  DDSURFACEDESC2 d = Desc();
  d.dwFlags = DDSD_CAPS;
  d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  return dd->CreateSurface(&d, out->ReleaseAndGetAddressOf(), nullptr);
}

// Attaches a clipper on `window` to `surface`.
inline HRESULT ClipToWindow(IDirectDraw4* dd, IDirectDrawSurface4* surface, HWND window) {
  ComPtr<IDirectDrawClipper> clipper;
  HRESULT r = dd->CreateClipper(0, clipper.ReleaseAndGetAddressOf(), nullptr);
  if (SUCCEEDED(r)) r = clipper->SetHWnd(0, window);
  return SUCCEEDED(r) ? surface->SetClipper(clipper.Get()) : r;
}

inline HRESULT ColourFill(IDirectDrawSurface4* s, uint32_t value, RECT* area = nullptr) {
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = value;
  return s->Blt(area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

inline int BytesPerPixel(IDirectDrawSurface4* s) {
  DDPIXELFORMAT pf{};
  pf.dwSize = sizeof pf;
  s->GetPixelFormat(&pf);
  return static_cast<int>(pf.dwRGBBitCount + 7) / 8;
}

// Raw pixel values row by row, through the pitch.
inline std::vector<uint32_t> ReadPixels(IDirectDrawSurface4* s) {
  DDSURFACEDESC2 d = Desc();
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  const int bytes = static_cast<int>(d.ddpfPixelFormat.dwRGBBitCount + 7) / 8;
  std::vector<uint32_t> out;
  for (DWORD y = 0; y < d.dwHeight; ++y)
    for (DWORD x = 0; x < d.dwWidth; ++x) {
      uint32_t v = 0;
      std::memcpy(&v, static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bytes, static_cast<size_t>(bytes));
      out.push_back(v);
    }
  s->Unlock(nullptr);
  return out;
}

inline void WritePixels(IDirectDrawSurface4* s, const std::vector<uint32_t>& pixels) {
  DDSURFACEDESC2 d = Desc();
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  const int bytes = static_cast<int>(d.ddpfPixelFormat.dwRGBBitCount + 7) / 8;
  ASSERT_EQ(pixels.size(), size_t{d.dwWidth} * d.dwHeight);
  size_t i = 0;
  for (DWORD y = 0; y < d.dwHeight; ++y)
    for (DWORD x = 0; x < d.dwWidth; ++x, ++i)
      std::memcpy(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bytes, &pixels[i], static_cast<size_t>(bytes));
  s->Unlock(nullptr);
}

inline uint32_t PixelAt(IDirectDrawSurface4* s, int x, int y) {
  DDSURFACEDESC2 probe = Desc();
  s->GetSurfaceDesc(&probe);
  return ReadPixels(s)[static_cast<size_t>(y) * probe.dwWidth + static_cast<size_t>(x)];
}

class DirectDrawTest : public window_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    plat::sim::ClearFaults();
    plat::sim::ResetDisplay(DisplayFormat::Xrgb8888);
  }
  void TearDown() override {
    WindowTest::TearDown();
    plat::sim::ResetDisplay();
  }
  // A top-level window for the cooperative level, made on first use.
  HWND TopLevel() {
    if (!top_) top_ = MakeTop(0, 0, 640, 480);
    return top_;
  }

 private:
  HWND top_ = nullptr;
};

}  // namespace ddraw_test
