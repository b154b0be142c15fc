// DirectDraw as the module uses it: one object per screen at the normal cooperative
// level, a primary surface clipped to the game window, offscreen surfaces in system
// memory in the desktop's pixel format, keyed blits and fills, GDI on a surface, and
// the primary lost to another object's display mode.
#include "Seam.h"
#include "SeamWindow.h"

#include <cstring>
#include <string>
#include <vector>

#include "plat/comptr.h"
#include "plat/ddraw.h"
#include "plat/gdi.h"
#include "plat/winuser.h"

namespace {

using Surface = ComPtr<IDirectDrawSurface4>;

ComPtr<IDirectDraw4> MakeDirectDraw(HWND window, DWORD level = DDSCL_NORMAL) {
  IDirectDraw* first = nullptr;
  if (FAILED(DirectDrawCreate(nullptr, &first, nullptr))) return {};
  void* four = nullptr;
  const HRESULT hr = first->QueryInterface(IID_IDirectDraw4, &four);
  first->Release();
  if (FAILED(hr)) return {};
  ComPtr<IDirectDraw4> dd;
  dd.Attach(static_cast<IDirectDraw4*>(four));
  if (FAILED(dd->SetCooperativeLevel(window, level))) return {};
  return dd;
}

DDSURFACEDESC2 EmptyDesc() {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  return desc;
}

Surface MakeOffscreen(IDirectDraw4* dd, int width, int height) {
  DDSURFACEDESC2 desc = EmptyDesc();
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  Surface surface;
  if (FAILED(dd->CreateSurface(&desc, surface.ReleaseAndGetAddressOf(), nullptr))) return {};
  return surface;
}

Surface MakePrimary(IDirectDraw4* dd) {
  DDSURFACEDESC2 desc = EmptyDesc();
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  Surface surface;
  if (FAILED(dd->CreateSurface(&desc, surface.ReleaseAndGetAddressOf(), nullptr))) return {};
  return surface;
}

// The pixel value of a colour in the run's format, as the module packs it.
DWORD Pack(int r, int g, int b) {
  if (seam::Depth() == 16) return DWORD(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
  return DWORD((r << 16) | (g << 8) | b);
}

// The transparent key of each format: magenta.
DWORD Key() { return Pack(255, 0, 255); }

int BytesPerPixel() { return seam::Depth() / 8; }

// A surface's pixels read and written through Lock, one call each.
DWORD ReadPixel(IDirectDrawSurface4* surface, int x, int y) {
  DDSURFACEDESC2 desc = EmptyDesc();
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return 0xDEADBEEF;
  const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
  DWORD value = 0;
  if (BytesPerPixel() == 2) {
    uint16_t v;
    std::memcpy(&v, row + x * 2, 2);
    value = v;
  } else {
    std::memcpy(&value, row + x * 4, 4);
    value &= 0xFFFFFF;
  }
  surface->Unlock(nullptr);
  return value;
}

void FillWith(IDirectDrawSurface4* surface, DWORD pixel, RECT* area = nullptr) {
  DDBLTFX fx;
  std::memset(&fx, 0, sizeof fx);
  fx.dwSize = sizeof fx;
  fx.dwFillColor = pixel;
  ASSERT_EQ(surface->Blt(area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
}

// A row of `width` pixels as the run's format stores them.
std::vector<DWORD> ReadRow(IDirectDrawSurface4* surface, int y, int width) {
  std::vector<DWORD> row;
  for (int x = 0; x < width; ++x) row.push_back(ReadPixel(surface, x, y));
  return row;
}

class SeamDirectDraw : public testing::Test {
 protected:
  void SetUp() override {
    dd_ = MakeDirectDraw(window_.Handle());
    ASSERT_TRUE(dd_);
  }

  seam::SeamWindow window_{40, 40, 96, 64};
  ComPtr<IDirectDraw4> dd_;
};

// ---- Pixel formats --------------------------------------------------------------------

TEST_F(SeamDirectDraw, SurfacesAndTheDisplayModeShareTheDesktopsRgbFormat) {
  const DWORD red = seam::Depth() == 16 ? 0xF800u : 0xFF0000u;
  const DWORD green = seam::Depth() == 16 ? 0x07E0u : 0x00FF00u;
  const DWORD blue = seam::Depth() == 16 ? 0x001Fu : 0x0000FFu;
  auto expectFormat = [&](const DDPIXELFORMAT& format, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_TRUE(format.dwFlags & DDPF_RGB);
    EXPECT_EQ(format.dwRGBBitCount, DWORD(seam::Depth()));
    EXPECT_EQ(format.dwRBitMask, red);
    EXPECT_EQ(format.dwGBitMask, green);
    EXPECT_EQ(format.dwBBitMask, blue);
    EXPECT_EQ(format.dwRGBAlphaBitMask, 0u);
  };
  Surface offscreen = MakeOffscreen(dd_.Get(), 16, 8);
  Surface primary = MakePrimary(dd_.Get());
  ASSERT_TRUE(offscreen && primary);
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  ASSERT_EQ(offscreen->GetPixelFormat(&format), DD_OK);
  expectFormat(format, "offscreen");
  ASSERT_EQ(primary->GetPixelFormat(&format), DD_OK);
  expectFormat(format, "primary");
  DDSURFACEDESC2 mode = EmptyDesc();
  ASSERT_EQ(dd_->GetDisplayMode(&mode), DD_OK);
  expectFormat(mode.ddpfPixelFormat, "display mode");
  // The module reads the depth of a window's DC to know the mode it shares.
  HDC dc = GetDC(window_.Handle());
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), seam::Depth());
  ReleaseDC(window_.Handle(), dc);
}

// ---- Lock -----------------------------------------------------------------------------

TEST_F(SeamDirectDraw, LockGivesAnAlignedPitchAndKeepsWhatWasWritten) {
  constexpr int kWidth = 13, kHeight = 5;
  Surface surface = MakeOffscreen(dd_.Get(), kWidth, kHeight);
  ASSERT_TRUE(surface);
  DDSURFACEDESC2 desc = EmptyDesc();
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(desc.dwWidth, DWORD(kWidth));
  EXPECT_EQ(desc.dwHeight, DWORD(kHeight));
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, DWORD(seam::Depth()));
  // The sprite renderer steps by the pitch only when the lock says it gave one.
  EXPECT_TRUE(desc.dwFlags & DDSD_PITCH);
  // An odd width at 16 bits shows whether rows are padded: the module steps by the pitch.
  ASSERT_GE(desc.lPitch, kWidth * BytesPerPixel());
  EXPECT_EQ(desc.lPitch % 4, 0);
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const DWORD v = Pack(x * 16, y * 40, 200);
      std::memcpy(base + y * desc.lPitch + x * BytesPerPixel(), &v, size_t(BytesPerPixel()));
    }
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(ReadPixel(surface.Get(), 12, 4), Pack(12 * 16, 4 * 40, 200));
  EXPECT_EQ(ReadPixel(surface.Get(), 0, 0), Pack(0, 0, 200));

  // A rectangle's lock starts at its corner, with the surface's pitch.
  RECT area{3, 2, 7, 4};
  DDSURFACEDESC2 part = EmptyDesc();
  ASSERT_EQ(surface->Lock(&area, &part, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(part.lPitch, desc.lPitch);
  DWORD corner = 0;
  std::memcpy(&corner, part.lpSurface, size_t(BytesPerPixel()));
  EXPECT_EQ(corner, Pack(3 * 16, 2 * 40, 200));
  ASSERT_EQ(surface->Unlock(&area), DD_OK);
}

// ---- Fills and keyed blits ---------------------------------------------------------------

TEST_F(SeamDirectDraw, AColourFillWritesTheRawPixelValueInItsRectangleOnly) {
  Surface surface = MakeOffscreen(dd_.Get(), 8, 4);
  ASSERT_TRUE(surface);
  FillWith(surface.Get(), Pack(10, 20, 30));
  RECT area{2, 1, 5, 3};
  FillWith(surface.Get(), Key(), &area);
  EXPECT_EQ(ReadPixel(surface.Get(), 2, 1), Key());
  EXPECT_EQ(ReadPixel(surface.Get(), 4, 2), Key());
  EXPECT_EQ(ReadPixel(surface.Get(), 5, 2), Pack(10, 20, 30));
  EXPECT_EQ(ReadPixel(surface.Get(), 2, 3), Pack(10, 20, 30));
}

// A 4x1 source: key, red, key, green.
Surface MakeKeyedSource(IDirectDraw4* dd) {
  Surface source = MakeOffscreen(dd, 4, 1);
  if (!source) return {};
  FillWith(source.Get(), Key());
  RECT red{1, 0, 2, 1}, green{3, 0, 4, 1};
  FillWith(source.Get(), Pack(255, 0, 0), &red);
  FillWith(source.Get(), Pack(0, 255, 0), &green);
  return source;
}

TEST_F(SeamDirectDraw, BltWithTheSourceKeySkipsKeyedPixels) {
  Surface source = MakeKeyedSource(dd_.Get());
  Surface dest = MakeOffscreen(dd_.Get(), 6, 2);
  ASSERT_TRUE(source && dest);
  DDCOLORKEY key{Key(), Key()};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  DDCOLORKEY read{};
  ASSERT_EQ(source->GetColorKey(DDCKEY_SRCBLT, &read), DD_OK);
  EXPECT_EQ(read.dwColorSpaceLowValue, Key());
  EXPECT_EQ(read.dwColorSpaceHighValue, Key());

  const DWORD blue = Pack(0, 0, 255);
  FillWith(dest.Get(), blue);
  RECT to{1, 1, 5, 2};
  ASSERT_EQ(dest->Blt(&to, source.Get(), nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadRow(dest.Get(), 1, 6),
            (std::vector<DWORD>{blue, blue, Pack(255, 0, 0), blue, Pack(0, 255, 0), blue}));
  // Without a key flag the key colour is copied like any other.
  ASSERT_EQ(dest->Blt(&to, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadPixel(dest.Get(), 1, 1), Key());
}

TEST_F(SeamDirectDraw, BltWithAKeyOverrideUsesTheGivenKeyInsteadOfTheSurfaces) {
  Surface source = MakeKeyedSource(dd_.Get());
  Surface dest = MakeOffscreen(dd_.Get(), 4, 1);
  ASSERT_TRUE(source && dest);
  // The surface's own key is red; the override names magenta.
  DDCOLORKEY own{Pack(255, 0, 0), Pack(255, 0, 0)};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &own), DD_OK);
  const DWORD blue = Pack(0, 0, 255);
  FillWith(dest.Get(), blue);
  DDBLTFX fx;
  std::memset(&fx, 0, sizeof fx);
  fx.dwSize = sizeof fx;
  fx.ddckSrcColorkey = DDCOLORKEY{Key(), Key()};
  ASSERT_EQ(dest->Blt(nullptr, source.Get(), nullptr, DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT, &fx), DD_OK);
  EXPECT_EQ(ReadRow(dest.Get(), 0, 4), (std::vector<DWORD>{blue, Pack(255, 0, 0), blue, Pack(0, 255, 0)}));
}

TEST_F(SeamDirectDraw, BltFastCopiesAtAPointWithOrWithoutTheSourceKey) {
  Surface source = MakeKeyedSource(dd_.Get());
  Surface dest = MakeOffscreen(dd_.Get(), 8, 2);
  ASSERT_TRUE(source && dest);
  DDCOLORKEY key{Key(), Key()};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  const DWORD blue = Pack(0, 0, 255), red = Pack(255, 0, 0), green = Pack(0, 255, 0);
  FillWith(dest.Get(), blue);
  ASSERT_EQ(dest->BltFast(2, 0, source.Get(), nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
  RECT part{1, 0, 4, 1};
  ASSERT_EQ(dest->BltFast(0, 1, source.Get(), &part, DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(ReadRow(dest.Get(), 0, 8), (std::vector<DWORD>{blue, blue, blue, red, blue, green, blue, blue}));
  EXPECT_EQ(ReadRow(dest.Get(), 1, 8), (std::vector<DWORD>{red, Key(), green, blue, blue, blue, blue, blue}));
}

// A blit asked to key by the destination's key, onto a surface that has none (a
// source-keyed blit with the wrong flag): nothing of the source lands.
TEST_F(SeamDirectDraw, ABlitKeyedByADestinationKeyTheSurfaceLacksDrawsNothing) {
  seam::HeldAsWineAnswers("a destination-keyed blit onto a surface without a destination key: BltFast DD_OK, Blt "
                          "DDERR_INVALIDPARAMS, the destination as it was");
  Surface source = MakeKeyedSource(dd_.Get());
  Surface dest = MakeOffscreen(dd_.Get(), 8, 1);
  ASSERT_TRUE(source && dest);
  DDCOLORKEY key{Key(), Key()};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  DDCOLORKEY none{};
  EXPECT_EQ(dest->GetColorKey(DDCKEY_DESTBLT, &none), DDERR_NOCOLORKEY);
  const DWORD blue = Pack(0, 0, 255);
  const std::vector<DWORD> untouched(8, blue);
  FillWith(dest.Get(), blue);
  EXPECT_EQ(dest->BltFast(2, 0, source.Get(), nullptr, DDBLTFAST_DESTCOLORKEY | DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(ReadRow(dest.Get(), 0, 8), untouched);
  EXPECT_EQ(dest->BltFast(2, 0, source.Get(), nullptr, DDBLTFAST_DESTCOLORKEY | DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT),
            DD_OK);
  EXPECT_EQ(ReadRow(dest.Get(), 0, 8), untouched);
  RECT to{2, 0, 6, 1};
  EXPECT_EQ(dest->Blt(&to, source.Get(), nullptr, DDBLT_KEYDEST | DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(ReadRow(dest.Get(), 0, 8), untouched);
}

TEST_F(SeamDirectDraw, BlitsThatLeaveTheDestinationAreRefusedWholeWithoutAClipper) {
  Surface source = MakeKeyedSource(dd_.Get());
  Surface dest = MakeOffscreen(dd_.Get(), 4, 2);
  ASSERT_TRUE(source && dest);
  const DWORD blue = Pack(0, 0, 255);
  FillWith(dest.Get(), blue);
  EXPECT_EQ(dest->BltFast(2, 0, source.Get(), nullptr, DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  RECT past{2, 0, 6, 1};
  EXPECT_EQ(dest->Blt(&past, source.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(ReadRow(dest.Get(), 0, 4), (std::vector<DWORD>(4, blue)));
}

// ---- GDI on a surface ---------------------------------------------------------------------

TEST_F(SeamDirectDraw, ASurfacesDcDrawsIntoItsPixelsInItsFormat) {
  Surface surface = MakeOffscreen(dd_.Get(), 8, 4);
  ASSERT_TRUE(surface);
  FillWith(surface.Get(), Pack(0, 0, 0));
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), seam::Depth());
  // What a surface DC holds is the surface's: the fill shows through GDI.
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
  RECT area{1, 1, 3, 3};
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  // A colour the format cannot hold is cut to its bits, not rounded to the nearest.
  SetPixel(dc, 5, 0, RGB(0x87, 0x43, 0x25));
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(ReadPixel(surface.Get(), 1, 1), Key());
  EXPECT_EQ(ReadPixel(surface.Get(), 2, 2), Key());
  EXPECT_EQ(ReadPixel(surface.Get(), 3, 3), Pack(0, 0, 0));
  EXPECT_EQ(ReadPixel(surface.Get(), 5, 0), Pack(0x87, 0x43, 0x25));
}

TEST_F(SeamDirectDraw, PicturesCopiedOntoASurfaceThroughGdiAreCutToItsFormat) {
  // The module loads its pictures as bitmaps and copies them on through the surface's DC.
  const COLORREF colours[] = {RGB(0x87, 0x43, 0x25), RGB(255, 0, 255), RGB(255, 255, 255), RGB(7, 3, 7)};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(picture && bits);
  for (int x = 0; x < 4; ++x) {
    const COLORREF c = colours[x];
    static_cast<uint32_t*>(bits)[x] = uint32_t(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
  }
  Surface surface = MakeOffscreen(dd_.Get(), 4, 1);
  ASSERT_TRUE(surface);
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, picture);
  EXPECT_TRUE(StretchBlt(dc, 0, 0, 4, 1, memory, 0, 0, 4, 1, SRCCOPY));
  SelectObject(memory, old);
  DeleteDC(memory);
  // Read back through GDI, a 16-bit pixel's colour repeats its top bits in the low ones,
  // so white stays white.
  const COLORREF white = GetPixel(dc, 2, 0), brown = GetPixel(dc, 0, 0);
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  DeleteObject(picture);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(ReadPixel(surface.Get(), x, 0),
              Pack(GetRValue(colours[x]), GetGValue(colours[x]), GetBValue(colours[x])))
        << x;
  EXPECT_EQ(white, RGB(255, 255, 255));
  EXPECT_EQ(brown, seam::Depth() == 16 ? RGB(0x84, 0x41, 0x21) : RGB(0x87, 0x43, 0x25));
}

TEST_F(SeamDirectDraw, ALockedSurfaceRefusesASecondLockAndItsDc) {
  Surface surface = MakeOffscreen(dd_.Get(), 8, 4);
  ASSERT_TRUE(surface);
  DDSURFACEDESC2 desc = EmptyDesc();
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  DDSURFACEDESC2 again = EmptyDesc();
  const HRESULT second = surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr);
  HDC dc = nullptr;
  const HRESULT dcWhileLocked = surface->GetDC(&dc);
  if (SUCCEEDED(second)) surface->Unlock(nullptr);
  if (SUCCEEDED(dcWhileLocked)) surface->ReleaseDC(dc);
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(second, DDERR_SURFACEBUSY);
  EXPECT_EQ(dcWhileLocked,
            seam::WineDiffers(DDERR_SURFACEBUSY, DD_OK,
                              "Wine 8 hands out the DC of a locked surface; the system's GetDC locks the surface "
                              "itself (documented), so the lock already out refuses it: DDERR_SURFACEBUSY is "
                              "inferred from that, the system's page does not list it among GetDC's answers"));
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(SeamDirectDraw, ASurfaceWithItsDcOutRefusesALock) {
  Surface surface = MakeOffscreen(dd_.Get(), 8, 4);
  ASSERT_TRUE(surface);
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  DDSURFACEDESC2 desc = EmptyDesc();
  const HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  // The sprite renderer takes "busy" for a surface to try again, a bounded number of times.
  EXPECT_EQ(locked, DDERR_SURFACEBUSY);
  if (SUCCEEDED(locked)) surface->Unlock(nullptr);
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  surface->Unlock(nullptr);
}

// The screen's draws take "busy" for a target someone else is writing: a blit, a fast
// blit and a fill onto a surface that is locked or has its DC out are refused, and
// leave its pixels alone; so is a blit from such a surface. Wine refuses the blits but
// not the fill.
TEST_F(SeamDirectDraw, BlitsOntoOrFromALockedSurfaceOrOneWithItsDcOutAreBusy) {
  Surface target = MakeOffscreen(dd_.Get(), 8, 4), source = MakeOffscreen(dd_.Get(), 8, 4),
          spare = MakeOffscreen(dd_.Get(), 8, 4);
  ASSERT_TRUE(target && source && spare);
  FillWith(target.Get(), Pack(0, 0, 255));
  FillWith(source.Get(), Pack(255, 0, 0));
  DDBLTFX fx;
  std::memset(&fx, 0, sizeof fx);
  fx.dwSize = sizeof fx;
  fx.dwFillColor = Pack(0, 255, 0);
  struct Held {
    const char* how;
    HRESULT blt = DD_OK, bltFast = DD_OK, fill = DD_OK, from = DD_OK, fastFrom = DD_OK;
  };
  std::vector<Held> seen;
  for (const char* how : {"locked", "with its DC out"}) {
    Held h{how};
    DDSURFACEDESC2 desc = EmptyDesc();
    HDC dc = nullptr;
    const bool locked = how[0] == 'l';
    ASSERT_EQ(locked ? target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) : target->GetDC(&dc), DD_OK);
    h.blt = target->Blt(nullptr, source.Get(), nullptr, 0, nullptr);
    h.bltFast = target->BltFast(0, 0, source.Get(), nullptr, 0);
    h.fill = target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    h.from = spare->Blt(nullptr, target.Get(), nullptr, 0, nullptr);
    h.fastFrom = spare->BltFast(0, 0, target.Get(), nullptr, 0);
    ASSERT_EQ(locked ? target->Unlock(nullptr) : target->ReleaseDC(dc), DD_OK);
    seen.push_back(h);
  }
  const std::string fillReason =
      "Wine 8 fills a surface that is locked or has its DC out; a fill is a blit, which the system refuses on a "
      "surface in use";
  for (const Held& h : seen) {
    SCOPED_TRACE(h.how);
    EXPECT_EQ(h.blt, DDERR_SURFACEBUSY);
    EXPECT_EQ(h.bltFast, DDERR_SURFACEBUSY);
    EXPECT_EQ(h.fill, seam::WineDiffers(DDERR_SURFACEBUSY, DD_OK, fillReason));
    EXPECT_EQ(h.from, DDERR_SURFACEBUSY);
    EXPECT_EQ(h.fastFrom, DDERR_SURFACEBUSY);
  }
  EXPECT_EQ(ReadRow(target.Get(), 0, 8),
            std::vector<DWORD>(8, seam::WineDiffers(Pack(0, 0, 255), Pack(0, 255, 0), fillReason)));
}

// The game's pictures are surfaces of the screen's first object, which a rebuild keeps:
// a blit from a surface of another object is refused. Windows documents no answer for
// it; Wine's is "not implemented", and the headless layer gives the same.
TEST_F(SeamDirectDraw, ABlitFromAnotherObjectsSurfaceIsRefused) {
  seam::HeldAsWineAnswers("E_NOTIMPL for a blit from another DirectDraw object's surface");
  ComPtr<IDirectDraw4> other = MakeDirectDraw(window_.Handle());
  ASSERT_TRUE(other);
  Surface target = MakeOffscreen(dd_.Get(), 8, 4), foreign = MakeOffscreen(other.Get(), 8, 4);
  ASSERT_TRUE(target && foreign);
  FillWith(target.Get(), Pack(0, 0, 255));
  FillWith(foreign.Get(), Pack(255, 0, 0));
  EXPECT_EQ(target->Blt(nullptr, foreign.Get(), nullptr, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(target->BltFast(0, 0, foreign.Get(), nullptr, 0), E_NOTIMPL);
  EXPECT_EQ(ReadRow(target.Get(), 0, 8), std::vector<DWORD>(8, Pack(0, 0, 255)));
}

// ---- The primary and its clipper ---------------------------------------------------------

// What the window shows at a client point, read back through GDI.
COLORREF WindowPixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

TEST_F(SeamDirectDraw, ABlitToTheClippedPrimaryLandsInTheWindowAndNowhereElse) {
  seam::SeamWindow neighbour(140, 40, 64, 64);
  Surface primary = MakePrimary(dd_.Get());
  ASSERT_TRUE(primary);
  ComPtr<IDirectDrawClipper> clipper;
  ASSERT_EQ(dd_->CreateClipper(0, clipper.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  ASSERT_EQ(clipper->SetHWnd(0, window_.Handle()), DD_OK);
  ASSERT_EQ(primary->SetClipper(clipper.Get()), DD_OK);

  // The neighbour shows black; the game window is painted red from a back buffer whose
  // rectangle, in screen terms, runs over both.
  HDC neighbourDc = GetDC(neighbour.Handle());
  RECT all{0, 0, 64, 64};
  FillRect(neighbourDc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(neighbour.Handle(), neighbourDc);
  Surface back = MakeOffscreen(dd_.Get(), 200, 64);
  ASSERT_TRUE(back);
  FillWith(back.Get(), Pack(255, 0, 0));
  POINT origin{0, 0};
  ClientToScreen(window_.Handle(), &origin);
  EXPECT_EQ(origin.x, 40);
  RECT to{origin.x, origin.y, origin.x + 200, origin.y + 64};
  ASSERT_EQ(primary->Blt(&to, back.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  seam::SeamWindow::Pump();
  EXPECT_EQ(WindowPixel(window_.Handle(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(WindowPixel(window_.Handle(), 95, 63), RGB(255, 0, 0));
  EXPECT_EQ(WindowPixel(neighbour.Handle(), 10, 10), RGB(0, 0, 0));
}

// ---- Lost surfaces -----------------------------------------------------------------------

TEST_F(SeamDirectDraw, AnotherObjectsDisplayModeLosesThePrimaryButNotSystemMemory) {
  Surface primary = MakePrimary(dd_.Get());
  Surface back = MakeOffscreen(dd_.Get(), 32, 32);
  ASSERT_TRUE(primary && back);
  FillWith(back.Get(), Pack(0, 255, 0));
  EXPECT_EQ(primary->IsLost(), DD_OK);

  // A full-screen object elsewhere takes the display and sets another mode: from 32 bits
  // to 16, and at 16 bits another size (Wine's virtual desktop on a 16-bit X screen has
  // no 32-bit modes).
  seam::SeamWindow fullScreen(0, 0, 640, 480);
  ComPtr<IDirectDraw4> other =
      MakeDirectDraw(fullScreen.Handle(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT);
  ASSERT_TRUE(other);
  const DWORD otherDepth = 16;
  ASSERT_EQ(other->SetDisplayMode(640, 480, otherDepth, 0, 0), DD_OK);

  const char* kept =
      "Wine 8 keeps the primary of another DirectDraw object across a display mode change (IsLost and Blt "
      "answer DD_OK); Windows frees surfaces whose mode changed";
  EXPECT_EQ(primary->IsLost(), seam::WineDiffers(DDERR_SURFACELOST, DD_OK, kept));
  RECT to{0, 0, 32, 32};
  EXPECT_EQ(primary->Blt(&to, back.Get(), nullptr, DDBLT_WAIT, nullptr),
            seam::WineDiffers(DDERR_SURFACELOST, DD_OK, kept));
  // Made for the old mode, the primary cannot come back in the new one: the module
  // rebuilds its screen instead.
  EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);
  // The back buffer in system memory keeps its pixels.
  EXPECT_EQ(back->IsLost(), DD_OK);
  EXPECT_EQ(back->Restore(), DD_OK);
  EXPECT_EQ(ReadPixel(back.Get(), 5, 5), Pack(0, 255, 0));

  // The rebuilt screen's primary has the new mode's format.
  ComPtr<IDirectDraw4> rebuilt = MakeDirectDraw(window_.Handle());
  ASSERT_TRUE(rebuilt);
  Surface newPrimary = MakePrimary(rebuilt.Get());
  ASSERT_TRUE(newPrimary);
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  ASSERT_EQ(newPrimary->GetPixelFormat(&format), DD_OK);
  EXPECT_EQ(format.dwRGBBitCount, otherDepth);
  newPrimary = nullptr;
  rebuilt = nullptr;
  EXPECT_EQ(other->RestoreDisplayMode(), DD_OK);
}

}  // namespace
