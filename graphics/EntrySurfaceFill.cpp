// The file entries' common surface writer: creation, lock, format choice, packing.
#include "graphics/EntrySurfaceFill.h"

#include <cstring>

#include "base/GDDSurfaceDesc.h"

namespace {
constexpr uint16_t kKeyPixel565 = 0xF81F;
constexpr uint16_t kKeyPixel555 = 0x7C1F;

void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, sizeof v); }
}  // namespace

void EntryRow::Put(int32_t x, uint8_t r, uint8_t g, uint8_t b) const {
  switch (format_) {
    case EntryFormat::k565:
      Store16(row_ + 2 * x, static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)));
      break;
    case EntryFormat::k555:
      Store16(row_ + 2 * x, static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)));
      break;
    case EntryFormat::k32:
      row_[4 * x] = b;
      row_[4 * x + 1] = g;
      row_[4 * x + 2] = r;
      break;
  }
}

void EntryRow::PutKey(int32_t x) const {
  switch (format_) {
    case EntryFormat::k565: Store16(row_ + 2 * x, kKeyPixel565); break;
    case EntryFormat::k555: Store16(row_ + 2 * x, kKeyPixel555); break;
    case EntryFormat::k32:
      Put(x, 0xFF, 0x00, 0xFF);
      PutFourth(x, 0xFF);
      break;
  }
}

HRESULT FillNewEntrySurface(const DDObject& dd, GSize size, DDSurface& out,
                            const std::function<void(int32_t y, const EntryRow& row)>& fill) {
  out = nullptr;
  DDSurface made;
  if (!dd || FAILED(CreateOffscreenSurface(dd, made, size)) || !made) return S_FALSE;
  GDDSurfaceDesc desc;
  if (FAILED(LockSurface(made, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY))) return S_FALSE;
  EntryFormat format;
  int32_t pitch = desc.lPitch;
  switch (desc.GetBitDepth()) {
    case 16: format = EntryFormat::k565; break;
    case 15: format = EntryFormat::k555; break;
    case 32: format = EntryFormat::k32; break;
    default: UnlockSurface(made, nullptr); return S_FALSE;
  }
  // 16-bit rows step by whole pixels even if the pitch were odd.
  if (format != EntryFormat::k32) pitch &= ~1;
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  const int32_t rows = static_cast<int32_t>(desc.dwHeight) < size.cy ? static_cast<int32_t>(desc.dwHeight) : size.cy;
  for (int32_t y = 0; y < rows; ++y) fill(y, EntryRow(base + static_cast<ptrdiff_t>(y) * pitch, format));
  UnlockSurface(made, nullptr);
  out = std::move(made);
  return S_OK;
}
