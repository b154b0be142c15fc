// Image-to-image operations: clipped and mirrored area blits, plain pixel and row
// copies, transfers to device contexts, depth conversion and the row-wise box blur.
#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"
#include "graphics/KK_RowConvert.h"
#include "graphics/K_Dib.h"
#include "graphics/K_DibDC.h"
#include "graphics/K_DibPlacement.h"

int32_t K_Dib::FormatCode() const {
  if (m_header) return m_header->FormatCode();
  return m_bpp == 2 ? kk::kFormat565 : m_bpp * 8;
}

void K_Dib::BlitImage(const K_Dib& source, int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w, int32_t h,
                      uint32_t flags, uint32_t mode, int32_t level, uint32_t colour) {
  if (!m_bits || !source.m_bits || source.m_bpp != m_bpp) return;
  if (w <= 0 || h <= 0) sx = 0, sy = 0, w = source.m_width, h = source.m_height;
  const bool mx = (flags & kMirrorX) != 0, my = (flags & kMirrorY) != 0;
  kk::BlitArea a{sx, sy, int64_t(sx) + w, int64_t(sy) + h, x, y, int64_t(x) + w, int64_t(y) + h};
  if (!kk::ResolveCuts(a, {0, 0, source.m_width, source.m_height}, m_clip, mx, my)) return;
  const int32_t width = int32_t(a.sr - a.sl);
  KK_RowFn fn = nullptr;
  KK_FXParams params;
  if (flags != 0) {
    const KK_FXMan* m = GetFXManager();
    if (!m || m->BytesPerPixel() != m_bpp) return;
    params = m->DrawParams();
    fn = m->SetFXMode(params, (mode & 0xFFFF) | (flags & (kMirrorX | kMirrorY)), level, colour);
    if (!fn) return;
  }
  for (int64_t sRow = a.st; sRow < a.sb; ++sRow) {
    const int64_t dRow = my ? a.db - 1 - (sRow - a.st) : a.dt + (sRow - a.st);
    const uint8_t* s = source.m_bits + ptrdiff_t(sRow) * source.m_pitch + ptrdiff_t(a.sl) * m_bpp;
    uint8_t* d = PixelAddress(int32_t(mx ? a.dr - 1 : a.dl), int32_t(dRow));
    if (fn) fn(d, s, width, params);
    else std::memmove(d, s, size_t(width) * size_t(m_bpp));
  }
}

int32_t K_Dib::CopyPixels(const K_Dib& source) {
  if (!m_bits || !source.m_bits || source.m_width != m_width || source.m_height != m_height ||
      source.m_bpp != m_bpp)
    return 0;
  for (int32_t row = 0; row < m_height; ++row)
    std::memmove(m_bits + ptrdiff_t(row) * m_pitch, source.m_bits + ptrdiff_t(row) * source.m_pitch,
                 size_t(m_width) * size_t(m_bpp));
  return 1;
}

void K_Dib::CopyRows(uint8_t* dst, const uint8_t* src, int32_t bytesPerRow, int32_t rows, int32_t srcPitch) {
  if (!dst || !src || bytesPerRow <= 0) return;
  for (int32_t row = 0; row < rows; ++row)
    std::memcpy(dst + ptrdiff_t(row) * bytesPerRow, src + ptrdiff_t(row) * srcPitch, size_t(bytesPerRow));
}

int32_t K_Dib::DrawToDC(HDC hdc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw,
                        int32_t sh) const {
  K_DibHeader scratch;
  const BITMAPINFO* info = DescribeForGdi(scratch);
  if (!info) return 0;
  if (w != sw || h != sh)
    return StretchDIBits(hdc, x, y, w, h, sx, sy, sw, sh, m_bits, info, DIB_RGB_COLORS, SRCCOPY);
  if (w <= 0 || h <= 0) return 0;
  return SetDIBitsToDevice(hdc, x, y, DWORD(w), DWORD(h), sx, sy, 0, UINT(m_height), m_bits, info, DIB_RGB_COLORS);
}

int32_t K_Dib::ConvertDepth(int32_t format) {
  const int32_t toBpp = kk::BytesPerPixel(format);
  if (!m_bits || toBpp == 0) return 0;
  if (toBpp == m_bpp) return 1;
  kk::SetStatus(kk::kStatusConverting);
  K_Dib converted;
  if (!converted.Create(m_width, m_height, format, 1)) return 0;
  if (const kk::RowConverter convert = kk::GetRowConverter(FormatCode(), format)) {
    for (int32_t row = 0; row < m_height; ++row)
      convert(converted.PixelAddress(0, row), m_bits + ptrdiff_t(row) * m_pitch, m_width);
  } else {
    K_DibDC dc;
    HDC memory = dc.Select(converted.m_bitmap);
    if (!memory || DrawToDC(memory, 0, 0, m_width, m_height, 0, 0, m_width, m_height) != m_height) return 0;
  }
  const K_Rect clip = m_clip;
  converted.Detach(*this);
  SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
  kk::SetStatus(kk::kStatusOk);
  return 1;
}

namespace {

void BlurRows(K_Dib& image, const K_Dib& source, int32_t radius, const K_Rect& rect, int32_t format) {
  KK_FXMan* m = GetFXManager();
  if (!m || !image.GetBits() || !source.GetBits() || image.BytesPerPixel() != source.BytesPerPixel()) return;
  K_Rect r = rect;
  image.IntersectClip(r);
  r.right = std::min(r.right, source.Width());
  r.bottom = std::min(r.bottom, source.Height());
  if (r.Width() < 1 || r.Height() < 1) return;
  const int32_t bpp = image.BytesPerPixel();
  // The blur reads pixels behind the one it writes, so an image blurred onto itself
  // works from a copy of each row.
  std::vector<uint8_t> row(&image == &source ? size_t(r.Width()) * size_t(bpp) : 0);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const uint8_t* s = source.GetBits() + ptrdiff_t(y) * source.Pitch() + ptrdiff_t(r.left) * bpp;
    if (!row.empty()) s = static_cast<const uint8_t*>(std::memcpy(row.data(), s, row.size()));
    m->BlurRow(image.PixelAddress(r.left, y), s, r.Width(), radius, 0, format);
  }
}

}  // namespace

void K_Dib::Blur(const K_Dib& source, int32_t radius, const K_Rect& rect) {
  if (m_bpp == 3) return;
  BlurRows(*this, source, radius, rect, FormatCode());
}

void K_Dib::Blur32(const K_Dib& source, int32_t radius, const K_Rect& rect) {
  if (m_bpp != 4) return;
  BlurRows(*this, source, radius, rect, kk::kFormat32);
}
