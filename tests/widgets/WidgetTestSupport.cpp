// The test BMP writer: file header, an info header of the asked size, the colour
// table and the rows, bottom row first unless the height is negative.
#include "WidgetTestSupport.h"

#include <cstdlib>

namespace widget_test {

namespace {
void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
}  // namespace

std::vector<uint8_t> WriteBmp(const BmpPicture& pic) {
  const uint32_t rows = static_cast<uint32_t>(std::abs(pic.height));
  const uint32_t rowLength = BmpRowLength(pic.bits, static_cast<uint32_t>(pic.width));
  const uint32_t offset = 14 + pic.infoSize + static_cast<uint32_t>(pic.palette.size()) * 4;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put(out, offset + rows * rowLength, 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  Put(out, pic.infoSize, 4);
  Put(out, static_cast<uint32_t>(pic.width), 4);
  Put(out, static_cast<uint32_t>(pic.height), 4);
  Put(out, 1, 2);
  Put(out, pic.bits, 2);
  Put(out, pic.compression, 4);
  Put(out, rows * rowLength, 4);
  out.resize(14 + pic.infoSize, 0);
  for (uint32_t c : pic.palette) Put(out, c & 0xFFFFFF, 4);  // B, G, R, 0
  for (uint32_t fileRow = 0; fileRow < rows; ++fileRow) {
    const uint32_t y = pic.height < 0 ? fileRow : rows - 1 - fileRow;
    std::vector<uint8_t> row(rowLength, 0);
    for (uint32_t x = 0; x < static_cast<uint32_t>(pic.width); ++x) {
      const uint32_t v = pic.pixels.at(static_cast<size_t>(y) * static_cast<uint32_t>(pic.width) + x);
      const uint32_t bitPos = x * pic.bits;
      switch (pic.bits) {
        case 1:
        case 2:
        case 4: {
          const uint32_t shift = 8 - pic.bits - (bitPos % 8);
          row[bitPos / 8] |= static_cast<uint8_t>(v << shift);
          break;
        }
        case 8: row[x] = static_cast<uint8_t>(v); break;
        case 16:
          row[x * 2] = static_cast<uint8_t>(v);
          row[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
          break;
        default: {
          const uint32_t bytes = pic.bits / 8;
          for (uint32_t i = 0; i < bytes; ++i) row[x * bytes + i] = static_cast<uint8_t>(v >> (8 * i));
        }
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace widget_test
