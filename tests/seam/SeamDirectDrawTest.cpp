// DirectDraw as the module uses it: one object per screen at the normal cooperative
// level, surfaces in system memory, the desktop's pixel format.
#include "Seam.h"
#include "SeamWindow.h"

#include "plat/comptr.h"
#include "plat/ddraw.h"

namespace {

ComPtr<IDirectDraw4> MakeDirectDraw(HWND window) {
  IDirectDraw* first = nullptr;
  if (FAILED(DirectDrawCreate(nullptr, &first, nullptr))) return {};
  void* four = nullptr;
  const HRESULT hr = first->QueryInterface(IID_IDirectDraw4, &four);
  first->Release();
  if (FAILED(hr)) return {};
  ComPtr<IDirectDraw4> dd;
  dd.Attach(static_cast<IDirectDraw4*>(four));
  if (FAILED(dd->SetCooperativeLevel(window, DDSCL_NORMAL))) return {};
  return dd;
}

TEST(SeamDirectDraw, AnOffscreenSurfaceHasTheDesktopsDepth) {
  seam::SeamWindow window(0, 0, 64, 64);
  ComPtr<IDirectDraw4> dd = MakeDirectDraw(window.Handle());
  ASSERT_TRUE(dd);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = 16;
  desc.dwHeight = 8;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ComPtr<IDirectDrawSurface4> surface;
  ASSERT_EQ(dd->CreateSurface(&desc, surface.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  ASSERT_EQ(surface->GetPixelFormat(&format), DD_OK);
  EXPECT_EQ(format.dwRGBBitCount, static_cast<DWORD>(seam::Depth()));
}

}  // namespace
