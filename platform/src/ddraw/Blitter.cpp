// Fast paths of the surface blitter. Rows are handled one at a time (pitches are
// padded); the keyed copy runs on the SIMD target chosen at run time, else a loop per
// pixel size.
#include "ddraw/Blitter.h"

#include <cstring>
#include <vector>

#include "ddraw/KeyRows.h"
#include "ddraw/PixelFormat.h"

namespace plat::detail::ddraw {
namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

int MapCoord(int d, int dstStart, int dstLen, int srcStart, int srcLen) {
  return srcStart + static_cast<int>(static_cast<int64_t>(d - dstStart) * srcLen / dstLen);
}

// Keyed 1:1 row: the destination pixel is rewritten with itself where the key hides
// the source, which keeps the loop free of branches.
template <class T>
void KeyRow(T* d, const T* s, int n, T low, T range, T mask) {
  if (range == 0) {
    // One key value (the usual case): an equality test vectorises into fewer steps.
    for (int i = 0; i < n; ++i) {
      const T v = s[i];
      d[i] = static_cast<T>((v ^ low) & mask) == 0 ? d[i] : v;
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    const T v = s[i];
    d[i] = static_cast<T>((v - low) & mask) <= range ? d[i] : v;
  }
}

void KeyRowAny(uint8_t* d, const uint8_t* s, int n, int bytes, const ColourKey& key) {
  for (int i = 0; i < n; ++i, d += bytes, s += bytes) {
    uint32_t v = ReadPixel(s, bytes);
    if (!key.Hides(v)) std::memcpy(d, s, static_cast<size_t>(bytes));
  }
}

void KeyedCopyRow(uint8_t* d, const uint8_t* s, int n, int bytes, const ColourKey& key) {
  uint32_t low = key.low, range = (key.high - key.low) & key.mask;
  if ((bytes == 4 || key.mask <= 0xFFFF) && KeyRowWide(d, s, n, bytes, low, range, key.mask)) return;
  if (bytes == 2 && key.mask <= 0xFFFF) {
    KeyRow(reinterpret_cast<uint16_t*>(d), reinterpret_cast<const uint16_t*>(s), n, static_cast<uint16_t>(low),
           static_cast<uint16_t>(range), static_cast<uint16_t>(key.mask));
  } else if (bytes == 4) {
    KeyRow(reinterpret_cast<uint32_t*>(d), reinterpret_cast<const uint32_t*>(s), n, low, range, key.mask);
  } else {
    KeyRowAny(d, s, n, bytes, key);
  }
}

// Whether the two rectangles of one buffer share memory rows that a forward copy
// would overwrite before reading.
bool SameMemory(const BlitOp& op) { return op.dst.bits == op.src.bits; }

}  // namespace

void Blit(const BlitOp& op) {
  const int bytes = op.dst.bytes;
  const int cw = Width(op.clip), ch = Height(op.clip);
  if (cw <= 0 || ch <= 0) return;
  const int dw = Width(op.dstRect), dh = Height(op.dstRect);
  const int sw = Width(op.srcRect), sh = Height(op.srcRect);
  const bool stretch = dw != sw || dh != sh;

  // A blit within one surface reads from a copy of the source when the pixels it
  // writes could be read later.
  PixelView src = op.src;
  RECT srcRect = op.srcRect;
  std::vector<uint8_t> copy;
  if (SameMemory(op) && (stretch || op.key.active)) {
    const int rowBytes = sw * bytes;
    copy.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(sh));
    for (int y = 0; y < sh; ++y)
      std::memcpy(copy.data() + static_cast<size_t>(y) * rowBytes,
                  op.src.Row(op.srcRect.top + y) + static_cast<ptrdiff_t>(op.srcRect.left) * bytes,
                  static_cast<size_t>(rowBytes));
    src = PixelView{copy.data(), sw, sh, rowBytes, bytes};
    srcRect = RECT{0, 0, sw, sh};
  }

  if (!stretch) {
    const int sx = srcRect.left + (op.clip.left - op.dstRect.left);
    const int sy0 = srcRect.top + (op.clip.top - op.dstRect.top);
    const size_t rowBytes = static_cast<size_t>(cw) * bytes;
    // Whole rows of two surfaces with one pitch are one block: a single copy lets the
    // C library pick its best method for the size (the padding carries no pixels).
    if (!op.key.active && !SameMemory(op) && op.dst.pitch == src.pitch && cw == op.dst.width &&
        cw == src.width && op.clip.left == 0 && sx == 0) {
      std::memcpy(op.dst.Row(op.clip.top), src.Row(sy0),
                  static_cast<size_t>(op.dst.pitch) * static_cast<size_t>(ch - 1) + rowBytes);
      return;
    }
    // Rows bottom-up when an overlapping copy moves downwards.
    const bool upward = SameMemory(op) && op.clip.top > sy0;
    for (int i = 0; i < ch; ++i) {
      const int r = upward ? ch - 1 - i : i;
      uint8_t* d = op.dst.Row(op.clip.top + r) + static_cast<ptrdiff_t>(op.clip.left) * bytes;
      const uint8_t* s = src.Row(sy0 + r) + static_cast<ptrdiff_t>(sx) * bytes;
      if (op.key.active)
        KeyedCopyRow(d, s, cw, bytes, op.key);
      else if (SameMemory(op))
        std::memmove(d, s, rowBytes);
      else
        std::memcpy(d, s, rowBytes);
    }
    return;
  }

  std::vector<int> columns(static_cast<size_t>(cw));
  for (int i = 0; i < cw; ++i)
    columns[static_cast<size_t>(i)] = MapCoord(op.clip.left + i, op.dstRect.left, dw, srcRect.left, sw) * bytes;
  for (int y = op.clip.top; y < op.clip.bottom; ++y) {
    const uint8_t* s = src.Row(MapCoord(y, op.dstRect.top, dh, srcRect.top, sh));
    uint8_t* d = op.dst.Row(y) + static_cast<ptrdiff_t>(op.clip.left) * bytes;
    switch (bytes) {
      case 2: {
        auto* d16 = reinterpret_cast<uint16_t*>(d);
        for (int i = 0; i < cw; ++i) {
          uint16_t v;
          std::memcpy(&v, s + columns[static_cast<size_t>(i)], 2);
          if (!op.key.Hides(v)) d16[i] = v;
        }
        break;
      }
      case 4: {
        auto* d32 = reinterpret_cast<uint32_t*>(d);
        for (int i = 0; i < cw; ++i) {
          uint32_t v;
          std::memcpy(&v, s + columns[static_cast<size_t>(i)], 4);
          if (!op.key.Hides(v)) d32[i] = v;
        }
        break;
      }
      default:
        for (int i = 0; i < cw; ++i) {
          const uint8_t* p = s + columns[static_cast<size_t>(i)];
          if (!op.key.Hides(ReadPixel(p, bytes))) std::memcpy(d + i * bytes, p, static_cast<size_t>(bytes));
        }
    }
  }
}

void Fill(const PixelView& dst, const RECT& r, uint32_t value) {
  const int w = Width(r);
  if (w <= 0 || Height(r) <= 0) return;
  for (int y = r.top; y < r.bottom; ++y) {
    uint8_t* d = dst.Row(y) + static_cast<ptrdiff_t>(r.left) * dst.bytes;
    switch (dst.bytes) {
      case 1:
        std::memset(d, static_cast<int>(value & 0xFF), static_cast<size_t>(w));
        break;
      case 2: {
        auto* d16 = reinterpret_cast<uint16_t*>(d);
        for (int i = 0; i < w; ++i) d16[i] = static_cast<uint16_t>(value);
        break;
      }
      case 4: {
        auto* d32 = reinterpret_cast<uint32_t*>(d);
        for (int i = 0; i < w; ++i) d32[i] = value;
        break;
      }
      default:
        for (int i = 0; i < w; ++i) WritePixel(d + i * dst.bytes, dst.bytes, value);
    }
  }
}

}  // namespace plat::detail::ddraw
