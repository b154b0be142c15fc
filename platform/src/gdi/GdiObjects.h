// The GDI objects behind HGDIOBJ handles (one handle kind, a type tag per object)
// and their lookup. An object selected into a DC counts its selections, so
// DeleteObject can refuse it.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "core/HandleTable.h"
#include "gdi/PixelBuffer.h"
#include "gdi/Region.h"
#include "plat/gdi.h"

namespace plat::detail::gdi {

enum class GdiType : uint8_t { Bitmap, Brush, Pen, Font, Region, Palette };

struct GdiObject : Object {
  explicit GdiObject(GdiType t) : type(t) {}
  const GdiType type;
  bool stock = false;
  std::atomic<int32_t> selections{0};
};

struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(GdiType::Bitmap) {}
  PixelBuffer pixels;
  std::unique_ptr<uint8_t[]> storage;
  bool dibSection = false;
  BITMAPINFOHEADER dibHeader{};  // as created, for GetObjectA(DIBSECTION)
};

struct BrushObject : GdiObject {
  BrushObject() : GdiObject(GdiType::Brush) {}
  LOGBRUSH brush{};
  bool Hollow() const { return brush.lbStyle == BS_NULL; }
};

struct PenObject : GdiObject {
  PenObject() : GdiObject(GdiType::Pen) {}
  LOGPEN pen{};
  bool Hollow() const { return pen.lopnStyle == PS_NULL; }
};

struct FontInstance;  // realised font (gdi/FontEngine.h)

struct FontObject : GdiObject {
  FontObject() : GdiObject(GdiType::Font) {}
  LOGFONTA font{};
  std::once_flag realiseOnce;
  std::shared_ptr<FontInstance> instance;
};

struct RegionObject : GdiObject {
  RegionObject() : GdiObject(GdiType::Region) {}
  Region region;
};

struct PaletteObject : GdiObject {
  PaletteObject() : GdiObject(GdiType::Palette) {}
  std::vector<PALETTEENTRY> entries;
};

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle);

template <class T>
std::shared_ptr<T> FindAs(HGDIOBJ handle, GdiType type) {
  std::shared_ptr<GdiObject> o = FindObject(handle);
  if (!o || o->type != type) return nullptr;
  return std::static_pointer_cast<T>(o);
}

// A bitmap of `bpp` bits, zero-filled, with DIB rows (4-byte padding) top-down.
std::shared_ptr<BitmapObject> NewBitmap(int32_t width, int32_t height, int bpp, const uint32_t* masks);
// Stock object handle by index (GetStockObject), also the DC defaults.
HGDIOBJ StockObject(int index);
// The 1x1 monochrome bitmap every fresh memory DC holds.
HBITMAP StockBitmap();
// Realises a font once (implemented by the font engine).
std::shared_ptr<FontInstance> Realise(FontObject& font);

}  // namespace plat::detail::gdi
