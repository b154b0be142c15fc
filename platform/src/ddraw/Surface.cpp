// Surface operations. Every check that can refuse a call runs before anything is
// written, so a refused blit leaves both surfaces as they were.
#include "ddraw/Surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/Faults.h"
#include "ddraw/Clipper.h"
#include "ddraw/Region.h"
#include "ddraw/GdiSeam.h"
#include "ddraw/WindowSeam.h"

namespace plat::detail::ddraw {

namespace {

constexpr DWORD kBltKnownFlags = DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE | DDBLT_KEYDEST | DDBLT_ROP |
                                 DDBLT_WAIT | DDBLT_DONOTWAIT;
constexpr DWORD kBltFastKnownFlags =
    DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY | DDBLTFAST_WAIT | DDBLTFAST_DONOTWAIT;

bool Inside(const RECT& r, const RECT& bounds) {
  return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right && r.bottom <= bounds.bottom;
}

ColourKey KeyFrom(const DDCOLORKEY& k, const PixelFormat& f) {
  return ColourKey{true, k.dwColorSpaceLowValue, k.dwColorSpaceHighValue, f.colourMask};
}

// Converts what the display shows in `rects` (screen coordinates) into the window's store.
void CopyDisplayToWindow(Display& d, const WindowTarget& t, const std::vector<RECT>& rects) {
  const PixelView fb = FramebufferView(d);
  const RECT store{t.client.left, t.client.top, t.client.left + t.width, t.client.top + t.height};
  for (const RECT& raw : rects) {
    const RECT r = Intersect(Intersect(raw, store), RECT{0, 0, fb.width, fb.height});
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* s = fb.Row(y) + static_cast<ptrdiff_t>(r.left) * fb.bytes;
      uint32_t* out = t.pixels + static_cast<ptrdiff_t>(y - t.client.top) * t.width + (r.left - t.client.left);
      if (r.right > r.left) RowToXrgb(d.format, s, out, r.right - r.left);
    }
  }
}

}  // namespace

Surface::Surface(const Params& p) : params_(p) {
  Display& d = TheDisplay();
  generation_ = d.generation;
  if (!params_.primary) {
    pitch_ = PaddedPitch(params_.width, params_.format.bytes);
    memory_.resize(static_cast<size_t>(pitch_) * static_cast<size_t>(params_.height));
    FillPattern(ViewLocked());
  }
  d.surfaces.push_back(this);
}

Surface::~Surface() {
  Display& d = TheDisplay();
  auto lock = LockDisplay();
  std::erase(d.surfaces, this);
  if (dc_) DeleteSurfaceDc(dc_);
  if (clipper_) clipper_->Release();
  if (palette_) palette_->Release();
  if (backBuffer_) backBuffer_->Release();
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDirectDrawSurface4) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IDirectDrawSurface4*>(this);
  return S_OK;
}

ULONG Surface::AddRef() { return ++refs_; }

ULONG Surface::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

bool Surface::LostLocked() const {
  return lost_ || (params_.modeBound && generation_ != TheDisplay().generation);
}

void Surface::AttachBackBufferLocked(Surface* back) { backBuffer_ = back; }

PixelView Surface::ViewLocked() {
  if (params_.primary) return FramebufferView(TheDisplay());
  return PixelView{memory_.data(), params_.width, params_.height, pitch_, params_.format.bytes};
}

bool Surface::ValidDescSize(DWORD size) const { return size == sizeof(DDSURFACEDESC2) || size == kDdSurfaceDesc2Size32; }

void Surface::DescribeLocked(DDSURFACEDESC2* desc) const {
  const DWORD size = desc->dwSize;
  std::memset(desc, 0, sizeof(DDSURFACEDESC2));
  desc->dwSize = size;
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<DWORD>(params_.width);
  desc->dwHeight = static_cast<DWORD>(params_.height);
  desc->lPitch = params_.primary ? TheDisplay().pitch : pitch_;
  FillDdpf(params_.format, &desc->ddpfPixelFormat);
  desc->ddsCaps.dwCaps = params_.caps;
  if (sourceKey_) {
    desc->dwFlags |= DDSD_CKSRCBLT;
    desc->ddckCKSrcBlt = *sourceKey_;
  }
  if (backBuffer_) {
    desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc->dwBackBufferCount = 1;
  }
}

HWND Surface::ClipWindowLocked() const {
  return clipper_ ? static_cast<Clipper*>(clipper_)->WindowLocked() : nullptr;
}

// ---- Drawing -------------------------------------------------------------------------

HRESULT Surface::BlitLocked(const RECT& dest, Surface* source, const RECT* sourceRect, const ColourKey& key,
                            bool clipped, std::optional<uint32_t> fill) {
  Display& d = TheDisplay();
  const PixelView dst = ViewLocked();
  BlitOp op;
  op.dst = dst;
  op.dstRect = dest;
  op.key = key;
  if (source) {
    op.src = source->ViewLocked();
    op.srcRect = *sourceRect;
  }
  auto draw = [&](const std::vector<RECT>& clips) {
    for (const RECT& c : clips) {
      if (fill) {
        Fill(dst, c, *fill);
      } else {
        op.clip = c;
        Blit(op);
      }
    }
  };

  const RECT onSurface = Intersect(dest, Bounds());
  // The system's blit fails with an out-of-memory result, it never throws.
  try {
    if (HWND window = params_.primary ? ClipWindowLocked() : nullptr) {
      // The window's place is read at every blit, so moving it moves the output.
      WithWindowTarget(window, [&](WindowTarget& t) {
        const std::vector<RECT> clips = Clip(t.visible, onSurface);
        draw(clips);
        CopyDisplayToWindow(d, t, clips);
      });
      return DD_OK;
    }
    const std::vector<RECT> clips{clipped ? onSurface : dest};
    draw(clips);
    if (params_.primary) PresentLocked(clips);
  } catch (const std::bad_alloc&) {
    return DDERR_OUTOFMEMORY;
  }
  return DD_OK;
}

void Surface::PresentAllLocked() {
  if (HWND window = ClipWindowLocked()) {
    WithWindowTarget(window, [&](WindowTarget& t) { CopyDisplayToWindow(TheDisplay(), t, Clip(t.visible, Bounds())); });
    return;
  }
  PresentLocked({Bounds()});
}

void Surface::PresentLocked(const std::vector<RECT>& rects) {
  Display& d = TheDisplay();
  if (!d.exclusiveWindow) return;
  WithWindowTarget(d.exclusiveWindow, [&](WindowTarget& t) {
    std::vector<RECT> shown;
    for (const RECT& r : rects) {
      const std::vector<RECT> parts = Clip(t.visible, r);
      shown.insert(shown.end(), parts.begin(), parts.end());
    }
    CopyDisplayToWindow(d, t, shown);
  });
}

// A surface works only with the surfaces of the DirectDraw object that made it. Windows
// documents no answer for a blit from another object's surface; this is Wine's (the seam
// suite holds it as Wine answers it).
constexpr HRESULT kForeignSource = E_NOTIMPL;

HRESULT Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags, LPDDBLTFX fx) {
  auto lock = LockDisplay();
  Display& d = TheDisplay();
  if (flags & ~kBltKnownFlags) return DDERR_UNSUPPORTED;
  const bool needsFx = flags & (DDBLT_COLORFILL | DDBLT_KEYSRCOVERRIDE | DDBLT_ROP);
  if (needsFx && (!fx || fx->dwSize != sizeof(DDBLTFX))) return DDERR_INVALIDPARAMS;
  if ((flags & DDBLT_ROP) && fx->dwROP != DD_SRCCOPY) return DDERR_UNSUPPORTED;
  if (TakeStillDrawingLocked(d)) return DDERR_WASSTILLDRAWING;
  if (LostLocked()) return DDERR_SURFACELOST;
  if (hold_ != Hold::None) return DDERR_SURFACEBUSY;

  const RECT dest = destRect ? *destRect : Bounds();
  if (IsEmpty(dest)) return DDERR_INVALIDRECT;
  // With a clipper the blit is clipped; without one a rectangle that leaves the
  // surface is an error callers rely on.
  const bool clipped = clipper_ != nullptr;
  if (!clipped && !Inside(dest, Bounds())) return DDERR_INVALIDRECT;

  if (flags & DDBLT_COLORFILL) return BlitLocked(dest, nullptr, nullptr, ColourKey{}, clipped, fx->dwFillColor);

  if (!source) return DDERR_INVALIDPARAMS;
  auto* src = static_cast<Surface*>(source);
  if (src->params_.creator != params_.creator) return kForeignSource;
  if (src->LostLocked()) return DDERR_SURFACELOST;
  if (src != this && src->hold_ != Hold::None) return DDERR_SURFACEBUSY;
  if (src->params_.format.kind != params_.format.kind) return DDERR_INVALIDPIXELFORMAT;
  const RECT from = sourceRect ? *sourceRect : src->Bounds();
  if (IsEmpty(from) || !Inside(from, src->Bounds())) return DDERR_INVALIDRECT;

  // A blit keyed by the destination's key needs one, as the system has it; the layer
  // draws no destination-keyed blit (nothing of the game asks for one).
  if (flags & DDBLT_KEYDEST) return destKey_ ? DDERR_UNSUPPORTED : DDERR_INVALIDPARAMS;
  ColourKey key;
  if (flags & DDBLT_KEYSRCOVERRIDE) {
    key = KeyFrom(fx->ddckSrcColorkey, src->params_.format);
  } else if ((flags & DDBLT_KEYSRC) && src->sourceKey_) {
    // A source without a key copies opaquely: shared bitmaps may lack the key a
    // caller asks for.
    key = KeyFrom(*src->sourceKey_, src->params_.format);
  }
  return BlitLocked(dest, src, &from, key, clipped, std::nullopt);
}

HRESULT Surface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags) {
  auto lock = LockDisplay();
  Display& d = TheDisplay();
  if (flags & ~kBltFastKnownFlags) return DDERR_UNSUPPORTED;
  if (!source) return DDERR_INVALIDPARAMS;
  if (TakeStillDrawingLocked(d)) return DDERR_WASSTILLDRAWING;
  if (clipper_) return DDERR_BLTFASTCANTCLIP;
  auto* src = static_cast<Surface*>(source);
  if (src->params_.creator != params_.creator) return kForeignSource;
  if (LostLocked() || src->LostLocked()) return DDERR_SURFACELOST;
  if (hold_ != Hold::None || (src != this && src->hold_ != Hold::None)) return DDERR_SURFACEBUSY;
  if (src->params_.format.kind != params_.format.kind) return DDERR_INVALIDPIXELFORMAT;
  const RECT from = sourceRect ? *sourceRect : src->Bounds();
  if (IsEmpty(from) || !Inside(from, src->Bounds())) return DDERR_INVALIDRECT;
  const int64_t right = int64_t{x} + (from.right - from.left), bottom = int64_t{y} + (from.bottom - from.top);
  if (right > params_.width || bottom > params_.height) return DDERR_INVALIDRECT;
  const RECT dest{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(right), static_cast<LONG>(bottom)};

  // Keyed by a destination key the surface does not have, the blit keeps every pixel
  // of the destination and succeeds, as the system answers.
  if (flags & DDBLTFAST_DESTCOLORKEY) return destKey_ ? DDERR_UNSUPPORTED : DD_OK;
  ColourKey key;
  if ((flags & DDBLTFAST_SRCCOLORKEY) && src->sourceKey_) key = KeyFrom(*src->sourceKey_, src->params_.format);
  return BlitLocked(dest, src, &from, key, false, std::nullopt);
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE4 target, DWORD) {
  auto lock = LockDisplay();
  Display& d = TheDisplay();
  if (!params_.primary || !backBuffer_) return DDERR_NOTFLIPPABLE;
  if (target && target != backBuffer_) return DDERR_INVALIDPARAMS;
  if (TakeStillDrawingLocked(d)) return DDERR_WASSTILLDRAWING;
  if (LostLocked() || backBuffer_->LostLocked()) return DDERR_SURFACELOST;
  if (hold_ != Hold::None || backBuffer_->hold_ != Hold::None) return DDERR_SURFACEBUSY;
  // The back buffer has the display's size and pitch, so the two swap whole.
  d.pixels.swap(backBuffer_->memory_);
  ++d.memoryVersion;
  PresentLocked({Bounds()});
  return DD_OK;
}

// ---- Locks and device contexts ----------------------------------------------------------

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
  if (!desc || !ValidDescSize(desc->dwSize)) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  if (TakeStillDrawingLocked(TheDisplay())) return DDERR_WASSTILLDRAWING;
  if (LostLocked()) return DDERR_SURFACELOST;
  // A lock or DC out refuses another lock, the holder's own thread included: the
  // system's answer is "busy" whoever asks.
  if (hold_ != Hold::None) return DDERR_SURFACEBUSY;
  const RECT area = rect ? *rect : Bounds();
  if (IsEmpty(area) || !Inside(area, Bounds())) return DDERR_INVALIDRECT;
  const PixelView view = ViewLocked();
  DescribeLocked(desc);
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = view.Row(area.top) + static_cast<ptrdiff_t>(area.left) * view.bytes;
  hold_ = Hold::Lock;
  return DD_OK;
}

HRESULT Surface::Unlock(LPRECT) {
  auto lock = LockDisplay();
  if (hold_ != Hold::Lock) return DDERR_NOTLOCKED;
  hold_ = Hold::None;
  return DD_OK;
}

HRESULT Surface::GetDC(HDC* hdc) {
  if (!hdc) return DDERR_INVALIDPARAMS;
  *hdc = nullptr;
  auto lock = LockDisplay();
  if (LostLocked()) return DDERR_SURFACELOST;
  if (hold_ == Hold::Dc) return DDERR_DCALREADYCREATED;
  // The DC locks the surface itself, which a lock already out refuses.
  if (hold_ == Hold::Lock) return DDERR_SURFACEBUSY;
  if (ShouldFail("IDirectDrawSurface4::GetDC")) return DDERR_CANTCREATEDC;
  HDC dc = CreateSurfaceDc(ViewLocked(), params_.format);
  if (!dc) return DDERR_CANTCREATEDC;
  dc_ = dc;
  hold_ = Hold::Dc;
  *hdc = dc;
  return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC hdc) {
  auto lock = LockDisplay();
  if (hold_ != Hold::Dc || hdc != dc_) return DDERR_NODC;
  DeleteSurfaceDc(dc_);
  dc_ = nullptr;
  hold_ = Hold::None;
  // What GDI drew on the primary shows once the DC is given back.
  if (params_.primary && !LostLocked()) PresentAllLocked();
  return DD_OK;
}

void Surface::DisplayMemoryGoneLocked() {
  if (params_.primary && dc_) DetachSurfaceDc(dc_);
}

// ---- Loss -------------------------------------------------------------------------------

HRESULT Surface::IsLost() {
  auto lock = LockDisplay();
  return LostLocked() ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface::Restore() {
  auto lock = LockDisplay();
  if (ShouldFail("IDirectDrawSurface4::Restore")) return DDERR_GENERIC;
  // A surface made for another mode has no memory to come back to.
  if (params_.modeBound && generation_ != TheDisplay().generation) return DDERR_WRONGMODE;
  if (lost_) {
    lost_ = false;
    FillPattern(ViewLocked());
  }
  return backBuffer_ ? backBuffer_->Restore() : DD_OK;
}

// ---- Descriptions, keys, attachments -----------------------------------------------------

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
  if (!desc || !ValidDescSize(desc->dwSize)) return DDERR_INVALIDPARAMS;
  if (ShouldFail("IDirectDrawSurface4::GetSurfaceDesc")) return DDERR_GENERIC;
  auto lock = LockDisplay();
  DescribeLocked(desc);
  return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
  if (!format) return DDERR_INVALIDPARAMS;
  FillDdpf(params_.format, format);
  return DD_OK;
}

HRESULT Surface::GetCaps(LPDDSCAPS2 caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  *caps = DDSCAPS2{params_.caps, 0, 0, 0};
  return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  const DWORD which = flags & ~DDCKEY_COLORSPACE;
  if (which != DDCKEY_SRCBLT && which != DDCKEY_DESTBLT) return DDERR_UNSUPPORTED;
  if (ShouldFail("IDirectDrawSurface4::SetColorKey")) return DDERR_GENERIC;
  auto lock = LockDisplay();
  std::optional<DDCOLORKEY>& slot = which == DDCKEY_SRCBLT ? sourceKey_ : destKey_;
  if (!key) {
    slot.reset();
    return DD_OK;
  }
  DDCOLORKEY k = *key;
  // Without a colour space the key is one value.
  if (!(flags & DDCKEY_COLORSPACE)) k.dwColorSpaceHighValue = k.dwColorSpaceLowValue;
  slot = k;
  return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (!key || (flags != DDCKEY_SRCBLT && flags != DDCKEY_DESTBLT)) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  const std::optional<DDCOLORKEY>& slot = flags == DDCKEY_SRCBLT ? sourceKey_ : destKey_;
  if (!slot) return DDERR_NOCOLORKEY;
  *key = *slot;
  return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
  auto lock = LockDisplay();
  if (clipper) clipper->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = clipper;
  return DD_OK;
}

HRESULT Surface::GetClipper(LPDIRECTDRAWCLIPPER* clipper) {
  if (!clipper) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  *clipper = clipper_;
  if (!clipper_) return DDERR_NOCLIPPERATTACHED;
  clipper_->AddRef();
  return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE palette) {
  auto lock = LockDisplay();
  if (palette) palette->AddRef();
  if (palette_) palette_->Release();
  palette_ = palette;
  return DD_OK;
}

HRESULT Surface::GetPalette(LPDIRECTDRAWPALETTE* palette) {
  if (!palette) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  *palette = palette_;
  if (!palette_) return DDERR_NOPALETTEATTACHED;
  palette_->AddRef();
  return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* surface) {
  if (!caps || !surface) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  *surface = nullptr;
  if (!backBuffer_ || (backBuffer_->params_.caps & caps->dwCaps) != caps->dwCaps) return DDERR_NOTFOUND;
  backBuffer_->AddRef();
  *surface = backBuffer_;
  return DD_OK;
}

}  // namespace plat::detail::ddraw
