// Pictures decoded by the file entries go onto a new system-memory surface in the
// screen's own format; this writes them row by row through one lock, so the TGA and
// layered entries share the packing of 8-bit channels into 5-6-5, 5-5-5 and 32 bits.
#pragma once

#include <cstdint>
#include <functional>

#include "base/DDSurfaceUtil.h"
#include "base/GGeometry.h"

enum class EntryFormat { k565, k555, k32 };

// The colours a row writer is given, one pixel at a time.
class EntryRow {
 public:
  EntryRow(uint8_t* row, EntryFormat format) : row_(row), format_(format) {}
  EntryFormat Format() const { return format_; }
  // The colour's top bits in the 16-bit formats; at 32 bits blue, green and red,
  // the fourth byte left as the surface had it.
  void Put(int32_t x, uint8_t r, uint8_t g, uint8_t b) const;
  // The screen's transparent colour (0xF81F, 0x7C1F, or FF 00 FF FF at 32 bits).
  void PutKey(int32_t x) const;
  // The fourth byte of a 32-bit pixel.
  void PutFourth(int32_t x, uint8_t v) const { row_[4 * x + 3] = v; }

 private:
  uint8_t* row_;
  EntryFormat format_;
};

// Makes `out` a new surface of the size and has `fill` write each row, top row first.
// S_FALSE when the surface cannot be made or locked or its format is none of the three;
// `out` is then empty.
HRESULT FillNewEntrySurface(const DDObject& dd, GSize size, DDSurface& out,
                            const std::function<void(int32_t y, const EntryRow& row)>& fill);
