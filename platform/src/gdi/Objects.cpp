// GDI object creation, stock objects, deletion and GetObjectA.
#include <algorithm>
#include <cstring>

#include "core/Faults.h"
#include "gdi/GdiObjects.h"
#include "plat/error.h"
#include "plat/gdi.h"

namespace plat::detail::gdi {
namespace {

// Bitmaps larger than this are refused before any allocation.
constexpr uint64_t kMaxBitmapBytes = 256ull << 20;
constexpr int32_t kMaxBitmapSide = 65535;
constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

LOGFONTA StockFont(LONG height, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

std::shared_ptr<GdiObject> MakeStock(int index) {
  auto brush = [](UINT style, COLORREF c) {
    auto b = std::make_shared<BrushObject>();
    b->brush = {style, c, 0};
    return b;
  };
  auto pen = [](UINT style, COLORREF c) {
    auto p = std::make_shared<PenObject>();
    p->pen = {style, {1, 0}, c};
    return p;
  };
  auto font = [](LOGFONTA lf) {
    auto f = std::make_shared<FontObject>();
    f->font = lf;
    return f;
  };
  switch (index) {
    case WHITE_BRUSH: return brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH: return brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH: return brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH: return brush(BS_NULL, 0);
    case WHITE_PEN: return pen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN: return pen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN: return pen(PS_NULL, 0);
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT: return font(StockFont(16, "System"));
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT: return font(StockFont(-12, "\xB1\xBC\xB8\xB2"));  // 굴림
    case DEFAULT_PALETTE: {
      auto p = std::make_shared<PaletteObject>();
      p->entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
      return p;
    }
    default: return nullptr;
  }
}

struct StockTable {
  HGDIOBJ handles[kStockCount] = {};
  HBITMAP bitmap = nullptr;
};

StockTable& Stock() {
  static StockTable* table = [] {
    auto* t = new StockTable;
    for (int i = 0; i < kStockCount; ++i) {
      std::shared_ptr<GdiObject> o = MakeStock(i);
      if (!o) continue;
      o->stock = true;
      t->handles[i] = InsertObject(std::move(o));
    }
    std::shared_ptr<BitmapObject> bm = NewBitmap(1, 1, 1, nullptr);
    bm->stock = true;
    t->bitmap = static_cast<HBITMAP>(InsertObject(bm));
    return t;
  }();
  return *table;
}

template <class T>
int CopyOut(const T& value, int size, LPVOID buffer) {
  if (!buffer) return static_cast<int>(sizeof(T));
  if (size < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(buffer, &value, sizeof(T));
  return static_cast<int>(sizeof(T));
}

}  // namespace

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object) {
  return ToHandle<HGDIOBJ>(Handles().Insert(HandleKind::GdiObject, std::move(object)));
}

std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle) {
  return Handles().Get<GdiObject>(FromHandle(handle), HandleKind::GdiObject);
}

std::shared_ptr<BitmapObject> NewBitmap(int32_t width, int32_t height, int bpp, const uint32_t* masks) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int64_t stride = DibStride(width, bpp);
  if (stride <= 0 || static_cast<uint64_t>(stride) * static_cast<uint64_t>(height) > kMaxBitmapBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto bm = std::make_shared<BitmapObject>();
  SetFormat(bm->pixels, width, height, bpp, masks);
  bm->storage.reset(new (std::nothrow) uint8_t[bm->pixels.ByteSize()]());
  if (!bm->storage) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  bm->pixels.bits = bm->storage.get();
  return bm;
}

HGDIOBJ StockObject(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  return Stock().handles[index];
}

HBITMAP StockBitmap() { return Stock().bitmap; }

}  // namespace plat::detail::gdi

using namespace plat::detail::gdi;

HGDIOBJ GetStockObject(int index) { return StockObject(index); }

HBRUSH CreateSolidBrush(COLORREF color) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return CreateBrushIndirect(&lb);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush || plat::detail::ShouldFail("CreateBrushIndirect")) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = std::make_shared<BrushObject>();
  b->brush = *brush;
  b->brush.lbColor &= 0x00FFFFFF;
  return static_cast<HBRUSH>(InsertObject(std::move(b)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  LOGPEN lp{static_cast<UINT>(style), {width, 0}, color};
  return CreatePenIndirect(&lp);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen || plat::detail::ShouldFail("CreatePenIndirect")) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = std::make_shared<PenObject>();
  p->pen = *pen;
  p->pen.lopnColor &= 0x00FFFFFF;
  return static_cast<HPEN>(InsertObject(std::move(p)));
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = std::make_shared<PaletteObject>();
  p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return static_cast<HPALETTE>(InsertObject(std::move(p)));
}

BOOL GdiFlush() { return TRUE; }

BOOL DeleteObject(HGDIOBJ object) {
  std::shared_ptr<GdiObject> o = FindObject(object);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (o->stock) return TRUE;
  if (o->selections.load() > 0) return FALSE;
  plat::detail::Handles().Remove(plat::detail::FromHandle(object), plat::detail::HandleKind::GdiObject);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ object) {
  std::shared_ptr<GdiObject> o = FindObject(object);
  if (!o) return 0;
  switch (o->type) {
    case GdiType::Bitmap: return OBJ_BITMAP;
    case GdiType::Brush: return OBJ_BRUSH;
    case GdiType::Pen: return OBJ_PEN;
    case GdiType::Font: return OBJ_FONT;
    case GdiType::Region: return OBJ_REGION;
    case GdiType::Palette: return OBJ_PAL;
  }
  return 0;
}

int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  std::shared_ptr<GdiObject> o = FindObject(object);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  switch (o->type) {
    case GdiType::Bitmap: {
      const auto& bm = static_cast<const BitmapObject&>(*o);
      const PixelBuffer& px = bm.pixels;
      BITMAP b{};
      b.bmWidth = px.width;
      b.bmHeight = px.height;
      // Device-dependent bitmaps report GDI's word-aligned rows, DIB sections their own.
      b.bmWidthBytes = bm.dibSection ? px.stride : ((px.width * px.bpp + 15) / 16) * 2;
      b.bmPlanes = 1;
      b.bmBitsPixel = static_cast<WORD>(px.bpp);
      b.bmBits = bm.dibSection ? px.bits : nullptr;
      if (bm.dibSection && (!buffer || size >= static_cast<int>(sizeof(DIBSECTION)))) {
        DIBSECTION ds{};
        ds.dsBm = b;
        ds.dsBmih = bm.dibHeader;
        if (px.bpp == 16 || px.bpp == 32) std::copy(px.masks, px.masks + 3, ds.dsBitfields);
        return CopyOut(ds, size, buffer);
      }
      return CopyOut(b, size, buffer);
    }
    case GdiType::Brush: return CopyOut(static_cast<const BrushObject&>(*o).brush, size, buffer);
    case GdiType::Pen: return CopyOut(static_cast<const PenObject&>(*o).pen, size, buffer);
    case GdiType::Font: {
      const LOGFONTA& lf = static_cast<const FontObject&>(*o).font;
      if (!buffer) return static_cast<int>(sizeof(LOGFONTA));
      const int n = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
      if (n <= 0) return 0;
      std::memcpy(buffer, &lf, static_cast<size_t>(n));
      return n;
    }
    case GdiType::Palette: {
      const WORD count = static_cast<WORD>(static_cast<const PaletteObject&>(*o).entries.size());
      return CopyOut(count, size, buffer);
    }
    case GdiType::Region: break;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}
