// A pop-up's shape from its background: the runs of kept pixels of each row, gathered
// in blocks of rectangles that are or-ed into the region as they fill. Rows go top to
// bottom so that every block continues where the last ended and the layer can append.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "panels/SkinnedPopup.h"

namespace skinned_popup {
namespace {

constexpr DWORD kBlockGrowth = 100;
constexpr DWORD kRectsPerRegion = 2000;
constexpr uint32_t kByteMax = 0xFF;

// The rectangles collected since the last combine, behind a region-data header.
class RectBlock {
 public:
  RectBlock() { Grow(); }
  DWORD Count() const { return Header().nCount; }
  void Add(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (Count() == capacity_) Grow();
    RGNDATAHEADER& h = Header();
    RECT* rects = Rects();
    rects[h.nCount++] = RECT{left, top, right, bottom};
    RECT& b = h.rcBound;
    b.left = std::min<LONG>(b.left, left);
    b.top = std::min<LONG>(b.top, top);
    b.right = std::max<LONG>(b.right, right);
    b.bottom = std::max<LONG>(b.bottom, bottom);
  }
  // Or-s the block into `*result` (made on the first call); the block starts again.
  // False when the system could not make a region of it.
  bool FlushInto(HRGN* result) {
    if (Count() == 0) return true;
    HRGN piece = ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + Count() * sizeof(RECT)),
                                 reinterpret_cast<const RGNDATA*>(data_.data()));
    Reset();
    if (!piece) return false;
    if (!*result) {
      *result = piece;
      return true;
    }
    const bool ok = CombineRgn(*result, *result, piece, RGN_OR) != ERROR;
    DeleteObject(piece);
    return ok;
  }

 private:
  RGNDATAHEADER& Header() { return *reinterpret_cast<RGNDATAHEADER*>(data_.data()); }
  const RGNDATAHEADER& Header() const { return *reinterpret_cast<const RGNDATAHEADER*>(data_.data()); }
  RECT* Rects() { return reinterpret_cast<RECT*>(data_.data() + sizeof(RGNDATAHEADER)); }
  void Grow() {
    const bool fresh = data_.empty();
    capacity_ += kBlockGrowth;
    data_.resize(sizeof(RGNDATAHEADER) + capacity_ * sizeof(RECT));
    if (fresh) Reset();
  }
  void Reset() {
    RGNDATAHEADER& h = Header();
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = 0;
    h.nRgnSize = 0;
    h.rcBound = RECT{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  }
  // Allocated by operator new, so aligned for the RECTs behind the header.
  std::vector<uint8_t> data_;
  DWORD capacity_ = 0;
};

// The region of the pixels outside the key range, from 32-bit top-down rows; null
// when the system could not make it.
HRGN ScanRuns(const uint8_t* rows, int32_t width, int32_t height, COLORREF key, COLORREF tolerance) {
  uint8_t low[3], high[3];
  for (int c = 0; c < 3; ++c) {
    low[c] = static_cast<uint8_t>(key >> (8 * c));
    high[c] = static_cast<uint8_t>(std::min<uint32_t>(kByteMax, low[c] + ((tolerance >> (8 * c)) & kByteMax)));
  }
  auto cut = [&](const uint8_t* px) {
    return px[0] >= low[0] && px[0] <= high[0] && px[1] >= low[1] && px[1] <= high[1] && px[2] >= low[2] &&
           px[2] <= high[2];
  };
  HRGN result = nullptr;
  RectBlock block;
  bool ok = true;
  for (int32_t y = 0; y < height && ok; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    for (int32_t x = 0; x < width;) {
      while (x < width && cut(row + 4 * x)) ++x;
      const int32_t start = x;
      while (x < width && !cut(row + 4 * x)) ++x;
      if (x > start) {
        block.Add(start, y, x, y + 1);
        if (block.Count() == kRectsPerRegion) ok = block.FlushInto(&result);
      }
    }
  }
  if (ok) ok = block.FlushInto(&result);
  if (!ok && result) {
    DeleteObject(result);
    result = nullptr;
  }
  return result;
}

}  // namespace

HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;
  const int32_t width = info.bmWidth, height = info.bmHeight;
  // A 32-bit top-down section already is the copy the scan wants.
  DIBSECTION dib{};
  if (GetObjectA(bitmap, sizeof(dib), &dib) == static_cast<int>(sizeof(dib)) && dib.dsBm.bmBits &&
      dib.dsBmih.biBitCount == 32 && dib.dsBmih.biCompression == BI_RGB && dib.dsBmih.biHeight < 0 &&
      dib.dsBm.bmWidthBytes == width * 4) {
    return ScanRuns(static_cast<const uint8_t*>(dib.dsBm.bmBits), width, height, key, tolerance);
  }

  BITMAPINFO copyInfo{};
  copyInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC copyDc = CreateCompatibleDC(nullptr);
  HDC sourceDc = CreateCompatibleDC(nullptr);
  HBITMAP copy = copyDc ? CreateDIBSection(copyDc, &copyInfo, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  HRGN result = nullptr;
  if (copy && sourceDc && bits) {
    HGDIOBJ oldCopy = SelectObject(copyDc, copy);
    HGDIOBJ oldSource = SelectObject(sourceDc, bitmap);
    BitBlt(copyDc, 0, 0, width, height, sourceDc, 0, 0, SRCCOPY);
    SelectObject(sourceDc, oldSource);
    result = ScanRuns(static_cast<const uint8_t*>(bits), width, height, key, tolerance);
    SelectObject(copyDc, oldCopy);
  }
  if (copy) DeleteObject(copy);
  if (sourceDc) DeleteDC(sourceDc);
  if (copyDc) DeleteDC(copyDc);
  return result;
}

}  // namespace skinned_popup
