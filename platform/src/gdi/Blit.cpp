// The blit engine. Per destination row: gather source pixels (nearest neighbour),
// convert them to destination values (mono rules included), combine with pattern and
// destination by the raster operation, write back. Only clipped pieces are touched,
// so no coordinate can reach memory outside either buffer.
#include "gdi/Blit.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace plat::detail::gdi {
namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint8_t Rop3(DWORD rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }
bool UsesSource(uint8_t r) { return ((r >> 2) & 0x33) != (r & 0x33); }
bool UsesPattern(uint8_t r) { return ((r >> 4) & 0x0F) != (r & 0x0F); }
bool UsesDest(uint8_t r) { return ((r >> 1) & 0x55) != (r & 0x55); }

// Any ternary raster operation: bit i of the code is the result for pattern bit
// (i >> 2), source bit (i >> 1) & 1 and destination bit i & 1.
uint32_t AnyRop(uint8_t r, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t out = 0;
  for (int i = 0; i < 8; ++i) {
    if ((r >> i) & 1) out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return out;
}

void CombineRow(uint8_t r, uint32_t p, const uint32_t* s, uint32_t* d, int32_t n, uint32_t mask) {
  switch (r) {
    case 0xCC: std::memcpy(d, s, sizeof(uint32_t) * static_cast<size_t>(n)); return;
    case 0x88: for (int32_t i = 0; i < n; ++i) d[i] &= s[i]; return;
    case 0xEE: for (int32_t i = 0; i < n; ++i) d[i] |= s[i]; return;
    case 0x66: for (int32_t i = 0; i < n; ++i) d[i] ^= s[i]; return;
    case 0x33: for (int32_t i = 0; i < n; ++i) d[i] = ~s[i] & mask; return;
    case 0x00: std::fill(d, d + n, 0u); return;
    case 0xFF: std::fill(d, d + n, mask); return;
    case 0xF0: std::fill(d, d + n, p); return;
    default:
      for (int32_t i = 0; i < n; ++i) d[i] = AnyRop(r, p, s ? s[i] : 0, d[i]) & mask;
  }
}

// Source values -> destination values.
class Converter {
 public:
  Converter(const PixelBuffer& src, COLORREF srcBk, bool monoByPalette, const DeviceContext& dest)
      : src_(src), dst_(dest.Target()) {
    if (src.Mono() && monoByPalette) {
      mode_ = SameFormat(src, dst_) ? Mode::Same : Mode::Convert;
    } else if (src.Mono() && !dst_.Mono()) {
      mode_ = Mode::MonoToColor;
      zero_ = ColorToDevice(dst_, dest.state.text);
      one_ = ColorToDevice(dst_, dest.state.bk);
    } else if (!src.Mono() && dst_.Mono()) {
      mode_ = Mode::ColorToMono;
      srcBk_ = ColorToDevice(src, srcBk);
    } else if (SameFormat(src, dst_) || (src.Mono() && dst_.Mono())) {
      mode_ = Mode::Same;
    }
  }
  void operator()(uint32_t* v, int32_t n) const {
    switch (mode_) {
      case Mode::Same: return;
      case Mode::MonoToColor:
        for (int32_t i = 0; i < n; ++i) v[i] = v[i] ? one_ : zero_;
        return;
      case Mode::ColorToMono:
        for (int32_t i = 0; i < n; ++i) v[i] = v[i] == srcBk_ ? 1 : 0;
        return;
      case Mode::Convert: ConvertValues(src_, dst_, v, n); return;
    }
  }

 private:
  enum class Mode { Same, MonoToColor, ColorToMono, Convert };
  const PixelBuffer& src_;
  const PixelBuffer& dst_;
  Mode mode_ = Mode::Convert;
  uint32_t zero_ = 0, one_ = 0, srcBk_ = 0;
};

struct Snapshot {
  PixelBuffer pixels;
  std::vector<uint8_t> bytes;
};

}  // namespace

bool Blit(const DeviceContext& dest, const BlitSource* src, const BlitRequest& q) {
  const uint8_t rop = Rop3(q.rop);
  const bool needS = UsesSource(rop) || q.keyed;
  const bool needP = UsesPattern(rop);
  const bool needD = UsesDest(rop) || q.keyed;
  if (needS && (!src || !src->pixels || !src->pixels->bits)) return false;
  const PixelBuffer& dst = dest.Target();
  if (!dst.bits) return true;

  uint32_t pattern = 0;
  if (needP) {
    const auto& brush = dest.state.brush;
    if (!brush || brush->Hollow()) return true;
    pattern = ColorToDevice(dst, brush->brush.lbColor);
  }

  int64_t x = q.x, y = q.y, w = q.width, h = q.height;
  int64_t xs = q.xSrc, ys = q.ySrc, ws = needS ? q.srcWidth : w, hs = needS ? q.srcHeight : h;
  bool mirrorX = false, mirrorY = false;
  if (w < 0) x += w, w = -w, mirrorX = !mirrorX;
  if (h < 0) y += h, h = -h, mirrorY = !mirrorY;
  if (ws < 0) xs += ws, ws = -ws, mirrorX = !mirrorX;
  if (hs < 0) ys += hs, hs = -hs, mirrorY = !mirrorY;
  if (w == 0 || h == 0 || ws == 0 || hs == 0) return true;
  if (!needS) mirrorX = mirrorY = false;
  const bool scaled = ws != w || hs != h;

  // Reading and writing the same pixels: read from a copy.
  const PixelBuffer* sp = needS ? src->pixels : nullptr;
  Snapshot snapshot;
  if (sp && sp->bits == dst.bits) {
    snapshot.pixels = *sp;
    snapshot.bytes.assign(sp->bits, sp->bits + sp->ByteSize());
    snapshot.pixels.bits = snapshot.bytes.data();
    sp = &snapshot.pixels;
  }
  const Converter convert = sp ? Converter(*sp, src->bk, src->monoByPalette, dest) : Converter(dst, 0, false, dest);
  const uint32_t mask = ValueMask(dst);
  const uint32_t keyValue = (sp && q.keyed && !sp->Indexed()) ? ColorToDevice(*sp, q.key) : 0;
  auto isKey = [&](uint32_t v) {
    return sp->Indexed() ? DeviceToColor(*sp, v) == (q.key & 0xFFFFFF) : v == keyValue;
  };
  const bool direct = sp && rop == 0xCC && !q.keyed && !scaled && !mirrorX && dst.bpp >= 8 && SameFormat(*sp, dst);

  std::vector<uint32_t> sv, dv;
  std::vector<uint8_t> skip;
  std::vector<int64_t> sxs;
  const RECT area{Clamp32(x), Clamp32(y), Clamp32(x + w), Clamp32(y + h)};
  dest.ForEachVisible(area, [&](const RECT& c) {
    const int32_t n = c.right - c.left;
    int32_t a = 0, b = n;
    if (sp) {
      // Source columns of this piece; the valid ones form one run.
      sxs.resize(static_cast<size_t>(n));
      for (int32_t i = 0; i < n; ++i) {
        int64_t dx = c.left + i - x;
        if (mirrorX) dx = w - 1 - dx;
        sxs[static_cast<size_t>(i)] = xs + (scaled ? dx * ws / w : dx);
      }
      while (a < b && (sxs[static_cast<size_t>(a)] < 0 || sxs[static_cast<size_t>(a)] >= sp->width)) ++a;
      while (b > a && (sxs[static_cast<size_t>(b - 1)] < 0 || sxs[static_cast<size_t>(b - 1)] >= sp->width)) --b;
      if (a >= b) return;
    }
    const int32_t count = b - a;
    const int32_t x0 = c.left + a;
    sv.resize(static_cast<size_t>(count));
    dv.resize(static_cast<size_t>(count));
    skip.resize(static_cast<size_t>(count));
    for (int32_t row = c.top; row < c.bottom; ++row) {
      if (sp) {
        int64_t dy = row - y;
        if (mirrorY) dy = h - 1 - dy;
        const int64_t sy = ys + (scaled ? dy * hs / h : dy);
        if (sy < 0 || sy >= sp->height) continue;
        const int32_t syi = static_cast<int32_t>(sy);
        if (direct) {
          const int bytes = dst.bpp / 8;
          std::memcpy(dst.Row(row) + static_cast<ptrdiff_t>(x0) * bytes,
                      sp->Row(syi) + sxs[static_cast<size_t>(a)] * bytes, static_cast<size_t>(count) * bytes);
          continue;
        }
        if (!scaled && !mirrorX) {
          ReadRow(*sp, static_cast<int32_t>(sxs[static_cast<size_t>(a)]), syi, count, sv.data());
        } else {
          for (int32_t i = 0; i < count; ++i)
            sv[static_cast<size_t>(i)] = ReadPixel(*sp, static_cast<int32_t>(sxs[static_cast<size_t>(a + i)]), syi);
        }
        if (q.keyed)
          for (int32_t i = 0; i < count; ++i) skip[static_cast<size_t>(i)] = isKey(sv[static_cast<size_t>(i)]);
        convert(sv.data(), count);
      }
      if (needD) ReadRow(dst, x0, row, count, dv.data());
      if (q.keyed) {
        for (int32_t i = 0; i < count; ++i)
          if (!skip[static_cast<size_t>(i)]) dv[static_cast<size_t>(i)] = sv[static_cast<size_t>(i)];
      } else {
        CombineRow(rop, pattern, sp ? sv.data() : nullptr, dv.data(), count, mask);
      }
      WriteRow(dst, x0, row, count, dv.data());
    }
  });
  return true;
}

void FillSolid(const DeviceContext& dc, const RECT& rect, COLORREF color) {
  const PixelBuffer& dst = dc.Target();
  if (!dst.bits) return;
  const uint32_t value = ColorToDevice(dst, color);
  std::vector<uint32_t> row;
  dc.ForEachVisible(rect, [&](const RECT& c) {
    const int32_t n = c.right - c.left;
    if (dst.bpp == 32) {
      for (int32_t y = c.top; y < c.bottom; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(dst.Row(y)) + c.left;
        std::fill(p, p + n, value);
      }
      return;
    }
    row.assign(static_cast<size_t>(n), value);
    for (int32_t y = c.top; y < c.bottom; ++y) WriteRow(dst, c.left, y, n, row.data());
  });
}

bool DibView(const BITMAPINFO* info, UINT /*usage*/, const void* bits, int64_t lines, PixelBuffer& out) {
  if (!info || !bits) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int bpp = h.biBitCount;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  const bool bitfields = h.biCompression == BI_BITFIELDS;
  if (!(h.biCompression == BI_RGB || (bitfields && (bpp == 16 || bpp == 32)))) return false;
  const int64_t height = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
  const int64_t rows = std::min(height, lines);
  const int64_t stride = DibStride(h.biWidth, bpp);
  if (rows <= 0 || stride <= 0) return false;
  const auto* extra = reinterpret_cast<const uint8_t*>(info) + h.biSize;
  uint32_t masks[3];
  if (bitfields) {
    // Masks follow a 40-byte header; larger headers carry them at offset 40.
    const uint8_t* m = h.biSize >= 52 ? reinterpret_cast<const uint8_t*>(info) + 40 : extra;
    std::memcpy(masks, m, sizeof(masks));
  } else {
    std::copy(bpp == 16 ? kMask555 : kMask888, (bpp == 16 ? kMask555 : kMask888) + 3, masks);
  }
  out = PixelBuffer{};
  out.width = h.biWidth;
  out.height = static_cast<int32_t>(rows);
  out.bpp = bpp;
  std::copy(masks, masks + 3, out.masks);
  out.stride = static_cast<int32_t>(stride);
  out.topDown = h.biHeight < 0;
  out.bits = const_cast<uint8_t*>(static_cast<const uint8_t*>(bits));
  if (bpp <= 8) {
    const uint32_t max = 1u << bpp;
    const uint32_t count = (h.biClrUsed && h.biClrUsed < max) ? h.biClrUsed : max;
    out.palette.resize(count);
    std::memcpy(out.palette.data(), extra, count * sizeof(RGBQUAD));
  }
  return true;
}

}  // namespace plat::detail::gdi
