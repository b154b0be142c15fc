// Device contexts: creation, object selection, saved states, colours, modes, clipping
// and device capabilities.
#include "gdi/DeviceContext.h"

#include "core/Faults.h"
#include "plat/error.h"
#include "plat/sim_gdi.h"

namespace plat::detail::gdi {
namespace {

constexpr int kLogPixels = 96;

template <class T>
void Count(const std::shared_ptr<T>& o, int delta) {
  if (o) o->selections.fetch_add(delta);
}

}  // namespace

DeviceContext::~DeviceContext() { Release(state); }

void DeviceContext::Retain(const DcState& s) {
  Count(s.bitmap, 1);
  Count(s.brush, 1);
  Count(s.pen, 1);
  Count(s.font, 1);
}

void DeviceContext::Release(const DcState& s) {
  Count(s.bitmap, -1);
  Count(s.brush, -1);
  Count(s.pen, -1);
  Count(s.font, -1);
}

const Region& DeviceContext::Clip() const {
  const PixelBuffer& t = Target();
  if (!clipCache_ || t.width != clipWidth_ || t.height != clipHeight_) {
    clipWidth_ = t.width;
    clipHeight_ = t.height;
    Region r(RECT{0, 0, t.width, t.height});
    if (systemClip) r = Region::Combine(r, *systemClip, Region::Op::And);
    if (state.clip) r = Region::Combine(r, *state.clip, Region::Op::And);
    clipCache_ = std::move(r);
  }
  return *clipCache_;
}

std::shared_ptr<DeviceContext> FindDC(HDC hdc) {
  return Handles().Get<DeviceContext>(FromHandle(hdc), HandleKind::DeviceContext);
}

HDC InsertDC(std::shared_ptr<DeviceContext> dc) {
  return ToHandle<HDC>(Handles().Insert(HandleKind::DeviceContext, std::move(dc)));
}

std::shared_ptr<DeviceContext> NewDC(DeviceContext::Kind kind) {
  auto dc = std::make_shared<DeviceContext>();
  dc->kind = kind;
  DcState& s = dc->state;
  s.hBrush = StockObject(WHITE_BRUSH);
  s.hPen = StockObject(BLACK_PEN);
  s.hFont = StockObject(SYSTEM_FONT);
  s.brush = FindAs<BrushObject>(s.hBrush, GdiType::Brush);
  s.pen = FindAs<PenObject>(s.hPen, GdiType::Pen);
  s.font = FindAs<FontObject>(s.hFont, GdiType::Font);
  if (kind == DeviceContext::Kind::Memory) {
    s.hBitmap = StockBitmap();
    s.bitmap = FindAs<BitmapObject>(s.hBitmap, GdiType::Bitmap);
  }
  DeviceContext::Retain(s);
  return dc;
}

HDC OpenSurfaceDC(const PixelBuffer& pixels) {
  auto dc = NewDC(DeviceContext::Kind::Surface);
  dc->surface = pixels;
  return InsertDC(std::move(dc));
}

bool CloseSurfaceDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || dc->kind != DeviceContext::Kind::Surface) return false;
  return Handles().Remove(FromHandle(hdc), HandleKind::DeviceContext) != nullptr;
}

bool RetargetSurfaceDC(HDC hdc, const PixelBuffer& pixels) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || dc->kind != DeviceContext::Kind::Surface) return false;
  dc->surface = pixels;
  dc->InvalidateClip();
  return true;
}

}  // namespace plat::detail::gdi

using namespace plat::detail::gdi;

namespace {

int ClipComplexity(const DeviceContext& dc) { return dc.Clip().Complexity(); }

}  // namespace

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !FindDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (plat::detail::ShouldFail("CreateCompatibleDC")) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return InsertDC(NewDC(DeviceContext::Kind::Memory));
}

BOOL DeleteDC(HDC hdc) {
  if (!plat::detail::Handles().Remove(plat::detail::FromHandle(hdc), plat::detail::HandleKind::DeviceContext)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  std::shared_ptr<GdiObject> o = FindObject(object);
  if (!dc || !o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DcState& s = dc->state;
  auto swap = [&o, object](auto& slot, HGDIOBJ& handle) {
    using T = typename std::remove_reference_t<decltype(slot)>::element_type;
    HGDIOBJ previous = handle;
    if (slot) slot->selections.fetch_sub(1);
    slot = std::static_pointer_cast<T>(o);
    slot->selections.fetch_add(1);
    handle = object;
    return previous;
  };
  switch (o->type) {
    case GdiType::Brush: return swap(s.brush, s.hBrush);
    case GdiType::Pen: return swap(s.pen, s.hPen);
    case GdiType::Font: return swap(s.font, s.hFont);
    case GdiType::Bitmap: {
      if (dc->kind != DeviceContext::Kind::Memory) return nullptr;
      if (s.hBitmap == object) return object;
      // A bitmap lives in one DC at a time.
      if (!o->stock && o->selections.load() > 0) return nullptr;
      HGDIOBJ previous = swap(s.bitmap, s.hBitmap);
      dc->InvalidateClip();
      return previous;
    }
    case GdiType::Region: {
      const int r = SelectClipRgn(hdc, static_cast<HRGN>(object));
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(r));
    }
    case GdiType::Palette: return StockObject(DEFAULT_PALETTE);
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->state.hPen;
    case OBJ_BRUSH: return dc->state.hBrush;
    case OBJ_FONT: return dc->state.hFont;
    case OBJ_BITMAP: return dc->state.hBitmap;
    case OBJ_PAL: return StockObject(DEFAULT_PALETTE);
    default: return nullptr;
  }
}

int SaveDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  // Negative: relative to the newest state; positive: the level SaveDC returned.
  const int level = savedDC < 0 ? depth + 1 + savedDC : savedDC;
  if (savedDC == 0 || level < 1 || level > depth) return FALSE;
  DcState restored = dc->saved[static_cast<size_t>(level - 1)];
  // The restored bitmap may have gone to another DC meanwhile.
  if (restored.bitmap && restored.hBitmap != dc->state.hBitmap && !restored.bitmap->stock &&
      restored.bitmap->selections.load() > 0) {
    return FALSE;
  }
  DeviceContext::Release(dc->state);
  dc->state = std::move(restored);
  DeviceContext::Retain(dc->state);
  dc->saved.resize(static_cast<size_t>(level - 1));
  dc->InvalidateClip();
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  if (!FindDC(hdc)) return 0;
  // Every DC answers for the display, as memory DCs do on Windows.
  const PixelBuffer& display = DisplayFormat();
  switch (index) {
    case BITSPIXEL: return display.bpp;
    case PLANES: return 1;
    case NUMCOLORS: return display.bpp > 8 ? -1 : (1 << display.bpp);
    case HORZRES: return display.width;
    case VERTRES: return display.height;
    case LOGPIXELSX:
    case LOGPIXELSY: return kLogPixels;
    case SIZEPALETTE: return 0;
    case RASTERCAPS: return 0x0001 | 0x0008 | 0x0800;  // bitblt, bitmap64, stretchblt
    default: return 0;
  }
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->state.text;
  dc->state.text = color & 0x00FFFFFF;
  return previous;
}

COLORREF GetTextColor(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  return dc ? dc->state.text : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->state.bk;
  dc->state.bk = color & 0x00FFFFFF;
  return previous;
}

COLORREF GetBkColor(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  return dc ? dc->state.bk : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  const int previous = dc->state.bkMode;
  dc->state.bkMode = mode;
  return previous;
}

int GetBkMode(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  return dc ? dc->state.bkMode : 0;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return ERROR;
  Region r(RECT{left, top, right, bottom});
  dc->state.clip = dc->state.clip ? Region::Combine(*dc->state.clip, r, Region::Op::And) : r;
  dc->InvalidateClip();
  return ClipComplexity(*dc);
}

int SelectClipRgn(HDC hdc, HRGN region) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return ERROR;
  if (!region) {
    dc->state.clip.reset();
  } else {
    std::shared_ptr<RegionObject> r = FindAs<RegionObject>(region, GdiType::Region);
    if (!r) return ERROR;
    dc->state.clip = r->region;  // a copy: later changes to the region do not clip
  }
  dc->InvalidateClip();
  return ClipComplexity(*dc);
}

int GetClipBox(HDC hdc, LPRECT rect) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !rect) return ERROR;
  *rect = dc->Clip().Box();
  return ClipComplexity(*dc);
}

namespace plat::sim {

size_t LiveGdiObjects() {
  return plat::detail::Handles().LiveCount(plat::detail::HandleKind::GdiObject);
}

size_t LiveDeviceContexts() {
  return plat::detail::Handles().LiveCount(plat::detail::HandleKind::DeviceContext);
}

}  // namespace plat::sim
