// DirectDraw object operations and DirectDrawCreate.
#include "ddraw/DirectDrawObject.h"

#include <cstring>

#include "core/Faults.h"
#include "ddraw/Clipper.h"
#include "ddraw/Display.h"
#include "ddraw/Surface.h"
#include "ddraw/WindowSeam.h"

namespace plat::detail::ddraw {

namespace {

constexpr int kMaxSurfaceSide = 8192;
constexpr size_t kMaxSurfaceBytes = size_t{256} << 20;
constexpr DWORD kRefreshRate = 60;
constexpr DWORD kVideoMemory = 64u << 20;

struct ModeSize {
  int width, height;
};
constexpr ModeSize kModes[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};

bool ValidDescSize(DWORD size) { return size == sizeof(DDSURFACEDESC2) || size == kDdSurfaceDesc2Size32; }

bool ModeSupported(int width, int height) {
  int dw = 0, dh = 0;
  DesktopSize(&dw, &dh);
  if (width == dw && height == dh) return true;
  for (const ModeSize& m : kModes)
    if (m.width == width && m.height == height) return true;
  return false;
}

// The card's 16-bit mode has the desktop's 16-bit layout, 5-6-5 otherwise.
PixelFormat ModeFormat(const Display& d, DWORD bpp) {
  if (bpp == 32) return FormatOf(DisplayFormat::Xrgb8888);
  return FormatOf(d.desktopFormat == DisplayFormat::Rgb555 ? DisplayFormat::Rgb555 : DisplayFormat::Rgb565);
}

}  // namespace

DirectDrawObject::DirectDrawObject() {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  id_ = d.nextId++;
  generation_ = d.generation;
  ++d.liveObjects;
}

DirectDrawObject::~DirectDrawObject() {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  if (IsOwnerLocked(d)) LeaveExclusiveLocked(d);
  --d.liveObjects;
}

HRESULT DirectDrawObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IDirectDraw4) {
    *object = static_cast<IDirectDraw4*>(this);
  } else if (riid == IID_IDirectDraw2) {
    *object = static_cast<IDirectDraw2*>(this);
  } else if (riid == IID_IDirectDraw || riid == IID_IUnknown) {
    *object = static_cast<IDirectDraw*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG DirectDrawObject::AddRef() { return ++refs_; }

ULONG DirectDrawObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

bool DirectDrawObject::IsOwnerLocked(const Display& d) const { return d.exclusiveOwner == id_; }

void DirectDrawObject::LeaveExclusiveLocked(Display& d) {
  d.exclusiveOwner = 0;
  d.exclusiveWindow = nullptr;
  if (!DesktopModeIsCurrentLocked(d)) SetDesktopModeLocked(d);
  generation_ = d.generation;
}

// ---- Cooperative level and display mode ----------------------------------------------

HRESULT DirectDrawObject::SetCooperativeLevel(HWND hwnd, DWORD flags) {
  const bool normal = flags & DDSCL_NORMAL, exclusive = flags & DDSCL_EXCLUSIVE;
  if (normal == exclusive) return DDERR_INVALIDPARAMS;
  if (exclusive != static_cast<bool>(flags & DDSCL_FULLSCREEN)) return DDERR_INVALIDPARAMS;
  if (exclusive && !IsTopLevelWindow(hwnd)) return DDERR_INVALIDPARAMS;
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  if (exclusive) {
    if (d.heldElsewhere || (d.exclusiveOwner != 0 && !IsOwnerLocked(d))) return DDERR_EXCLUSIVEMODEALREADYSET;
    d.exclusiveOwner = id_;
    d.exclusiveWindow = hwnd;
  } else if (IsOwnerLocked(d)) {
    LeaveExclusiveLocked(d);
  }
  level_ = flags;
  return DD_OK;
}

HRESULT DirectDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD, DWORD) {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  if (!IsOwnerLocked(d) || d.heldElsewhere) return DDERR_NOEXCLUSIVEMODE;
  if ((bpp != 16 && bpp != 32) || width > static_cast<DWORD>(kMaxSurfaceSide) ||
      height > static_cast<DWORD>(kMaxSurfaceSide) ||
      !ModeSupported(static_cast<int>(width), static_cast<int>(height)))
    return DDERR_INVALIDMODE;
  if (ShouldFail("IDirectDraw4::SetDisplayMode")) return DDERR_INVALIDMODE;
  const PixelFormat f = ModeFormat(d, bpp);
  if (d.width != static_cast<int>(width) || d.height != static_cast<int>(height) || d.format.kind != f.kind)
    SetModeLocked(d, static_cast<int>(width), static_cast<int>(height), f);
  generation_ = d.generation;
  return DD_OK;
}

HRESULT DirectDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bpp) {
  return SetDisplayMode(width, height, bpp, 0, 0);
}

HRESULT DirectDrawObject::RestoreDisplayMode() {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  if (IsOwnerLocked(d) && !DesktopModeIsCurrentLocked(d)) {
    SetDesktopModeLocked(d);
    generation_ = d.generation;
  }
  return DD_OK;
}

HRESULT DirectDrawObject::GetDisplayMode(LPDDSURFACEDESC2 desc) {
  if (!desc || !ValidDescSize(desc->dwSize)) return DDERR_INVALIDPARAMS;
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  const DWORD size = desc->dwSize;
  std::memset(desc, 0, sizeof(DDSURFACEDESC2));
  desc->dwSize = size;
  desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  desc->dwWidth = static_cast<DWORD>(d.width);
  desc->dwHeight = static_cast<DWORD>(d.height);
  desc->lPitch = d.pitch;
  desc->dwRefreshRate = kRefreshRate;
  FillDdpf(d.format, &desc->ddpfPixelFormat);
  return DD_OK;
}

HRESULT DirectDrawObject::TestCooperativeLevel() {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  if (level_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  if (IsOwnerLocked(d)) return d.heldElsewhere ? DDERR_NOEXCLUSIVEMODE : DD_OK;
  if (generation_ != d.generation) return DDERR_WRONGMODE;
  if (d.heldElsewhere || d.exclusiveOwner != 0) return DDERR_EXCLUSIVEMODEALREADYSET;
  return DD_OK;
}

// ---- Objects ------------------------------------------------------------------------

HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer) {
  if (!surface || outer || !desc || !ValidDescSize(desc->dwSize)) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  if (level_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  if (ShouldFail("IDirectDraw4::CreateSurface")) return DDERR_OUTOFMEMORY;
  DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;

  Surface::Params p;
  p.creator = id_;
  if (caps & DDSCAPS_PRIMARYSURFACE) {
    if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    const bool chain = caps & DDSCAPS_FLIP;
    if (chain) {
      if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount != 1)
        return DDERR_INVALIDCAPS;
      if (!IsOwnerLocked(d)) return DDERR_NOEXCLUSIVEMODE;
    }
    p.caps = caps | DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | (chain ? DDSCAPS_FRONTBUFFER : 0);
    p.width = d.width;
    p.height = d.height;
    p.format = d.format;
    p.primary = true;
    p.modeBound = true;
    auto* front = new Surface(p);
    if (chain) {
      Surface::Params b = p;
      b.caps = DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
      b.primary = false;
      front->AttachBackBufferLocked(new Surface(b));
    }
    *surface = front;
    // A windowed object that makes its primary again works in the mode of the day: the
    // real system answers its cooperative-level test with success from then on.
    generation_ = d.generation;
    return DD_OK;
  }

  if (caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_FRONTBUFFER)) return DDERR_INVALIDCAPS;
  if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > static_cast<DWORD>(kMaxSurfaceSide) ||
      desc->dwHeight > static_cast<DWORD>(kMaxSurfaceSide))
    return DDERR_INVALIDPARAMS;
  p.format = d.format;
  if (desc->dwFlags & DDSD_PIXELFORMAT) {
    auto f = FormatFromDdpf(desc->ddpfPixelFormat);
    if (!f) return DDERR_INVALIDPIXELFORMAT;
    p.format = *f;
  }
  p.width = static_cast<int>(desc->dwWidth);
  p.height = static_cast<int>(desc->dwHeight);
  if (static_cast<size_t>(PaddedPitch(p.width, p.format.bytes)) * static_cast<size_t>(p.height) > kMaxSurfaceBytes)
    return DDERR_OUTOFMEMORY;
  if (!(caps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY))) caps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
  p.caps = caps;
  auto* s = new Surface(p);
  if (desc->dwFlags & DDSD_CKSRCBLT) s->SetSourceKeyLocked(desc->ddckCKSrcBlt);
  *surface = s;
  return DD_OK;
}

HRESULT DirectDrawObject::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  if (flags != 0 || outer) return DDERR_INVALIDPARAMS;
  return NewClipper(clipper);
}

HRESULT DirectDrawObject::CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                        IUnknown* outer) {
  if (!palette || outer) return DDERR_INVALIDPARAMS;
  *palette = new Palette(flags, entries);
  return DD_OK;
}

HRESULT DirectDrawObject::RestoreAllSurfaces() {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  // Restoring may not add or remove surfaces, but work on a copy all the same.
  const std::vector<Surface*> all = d.surfaces;
  for (Surface* s : all) {
    if (s->Creator() != id_ || !s->LostLocked()) continue;
    const HRESULT hr = s->Restore();
    if (FAILED(hr)) return hr;
  }
  return DD_OK;
}

HRESULT DirectDrawObject::FlipToGDISurface() { return DD_OK; }

HRESULT DirectDrawObject::WaitForVerticalBlank(DWORD, HANDLE) { return DD_OK; }

HRESULT DirectDrawObject::GetCaps(LPDDCAPS driverCaps, LPDDCAPS emulationCaps) {
  if (!driverCaps && !emulationCaps) return DDERR_INVALIDPARAMS;
  for (LPDDCAPS caps : {driverCaps, emulationCaps}) {
    if (!caps) continue;
    if (caps->dwSize != sizeof(DDCAPS)) return DDERR_INVALIDPARAMS;
    *caps = DDCAPS{};
    caps->dwSize = sizeof(DDCAPS);
    caps->dwCaps = DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_BLTCOLORFILL | DDCAPS_COLORKEY;
    caps->dwCKeyCaps = DDCKEYCAPS_SRCBLT;
    caps->dwVidMemTotal = kVideoMemory;
    caps->dwVidMemFree = kVideoMemory;
    caps->ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY |
                           DDSCAPS_VIDEOMEMORY | DDSCAPS_FLIP;
  }
  return DD_OK;
}

}  // namespace plat::detail::ddraw

HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* object, IUnknown* outer) {
  using namespace plat::detail::ddraw;
  if (!object) return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (guid || outer) return DDERR_INVALIDPARAMS;
  {
    auto lock = LockDisplay();
    if (!TheDisplay().available) return DDERR_NODIRECTDRAWHW;
  }
  if (plat::detail::ShouldFail("DirectDrawCreate")) return DDERR_NODIRECTDRAWHW;
  *object = static_cast<IDirectDraw*>(new DirectDrawObject);
  return DD_OK;
}
