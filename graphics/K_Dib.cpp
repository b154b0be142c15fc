// Image creation, borrowing, copying and clipping, and the library status value.
#include "graphics/K_Dib.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "base/PixelFormat.h"
#include "graphics/K_DibDC.h"

namespace kk {
namespace {
std::atomic<int32_t> g_status{kStatusOk};
}
void SetStatus(int32_t status) { g_status.store(status); }
int32_t GetStatus() { return g_status.load(); }
}  // namespace kk

namespace {
constexpr uint32_t kMask565[3] = {0xF800, 0x07E0, 0x001F};
int32_t PitchFor(int32_t width, int32_t bpp) { return (width * bpp + 3) & ~3; }
}  // namespace

int32_t K_DibHeader::FormatCode() const {
  switch (biBitCount) {
    case 16:
      return biCompression == BI_BITFIELDS && masks[1] == kMask565[1] ? kk::kFormat565 : kk::kFormat555;
    case 24: return kk::kFormat24;
    case 32: return kk::kFormat32;
    default: return kk::kFormatNone;
  }
}

K_DibHeader K_Dib::Describe(int32_t width, int32_t rows, int32_t format) {
  K_DibHeader header;
  header.biWidth = width;
  header.biHeight = -rows;
  header.biBitCount = uint16_t(format == kk::kFormat555 ? 16 : format);
  header.biSizeImage = uint32_t(int64_t(PitchFor(width, kk::BytesPerPixel(format))) * rows);
  if (format == kk::kFormat565) {
    // A 5-6-5 image says so through its masks; a plain 16-bit description means 5-5-5.
    header.biCompression = BI_BITFIELDS;
    std::copy(std::begin(kMask565), std::end(kMask565), header.masks);
  }
  return header;
}

const BITMAPINFO* K_Dib::DescribeForGdi(K_DibHeader& scratch) const {
  if (m_header) return m_header->Info();
  // Borrowed memory has no description; one can be made when its rows are packed as a
  // DIB's would be.
  if (!m_bits || m_pitch != PitchFor(m_width, m_bpp)) return nullptr;
  scratch = Describe(m_width, m_height, FormatCode());
  return scratch.Info();
}

int32_t K_Dib::Create(int32_t width, int32_t height, int32_t format, int32_t asDibSection) {
  if (width < 1 || height == 0 || m_bits) return 0;
  const int32_t bpp = kk::BytesPerPixel(format);
  const int32_t rows = height < 0 ? -height : height;
  if (bpp == 0 || width > kMaxSide || rows > kMaxSide) return 0;
  kk::SetStatus(kk::kStatusCreating);
  const int32_t pitch = PitchFor(width, bpp);
  const int64_t size = int64_t(pitch) * rows;
  if (size > kMaxPixelBytes) return 0;
  auto header = std::make_unique<K_DibHeader>(Describe(width, rows, format));
  if (asDibSection) {
    K_DibDC screen;
    void* bits = nullptr;
    HBITMAP bitmap = screen.WindowDC()
                         ? CreateDIBSection(screen.WindowDC(), header->Info(), DIB_RGB_COLORS, &bits, nullptr, 0)
                         : nullptr;
    if (!bitmap) return 0;
    m_bitmap = bitmap;
    m_bits = static_cast<uint8_t*>(bits);
  } else {
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[size_t(size)]());
    if (!pixels) return 0;
    m_owned = std::move(pixels);
    m_bits = m_owned.get();
  }
  m_header = std::move(header);
  m_pitch = pitch;
  m_bpp = bpp;
  m_width = width;
  m_height = rows;
  SetFullClip();
  kk::SetStatus(kk::kStatusOk);
  return 1;
}

int32_t K_Dib::Copy(const K_Dib& other) {
  Release();
  if (!other.m_bits) return 0;
  const int32_t format = other.m_header ? other.m_header->FormatCode() : (other.m_bpp == 2 ? kk::kFormat565 : other.m_bpp * 8);
  if (!Create(other.m_width, other.m_height, format)) return 0;
  for (int32_t y = 0; y < m_height; ++y)
    std::memcpy(m_bits + ptrdiff_t(y) * m_pitch, other.m_bits + ptrdiff_t(y) * other.m_pitch, size_t(m_width) * m_bpp);
  return 1;
}

int32_t K_Dib::Detach(K_Dib& target) {
  if (&target == this) return 0;
  target.Release();
  target.m_header = std::move(m_header);
  target.m_bitmap = m_bitmap;
  target.m_owned = std::move(m_owned);
  target.m_bits = m_bits;
  target.m_pitch = m_pitch;
  target.m_bpp = m_bpp;
  target.m_width = m_width;
  target.m_height = m_height;
  target.SetFullClip();
  m_bitmap = nullptr;
  m_bits = nullptr;
  m_pitch = m_bpp = m_width = m_height = 0;
  m_clip = {};
  return 1;
}

void K_Dib::Release() {
  if (m_bitmap) DeleteObject(m_bitmap);
  m_bitmap = nullptr;
  m_header.reset();
  m_owned.reset();
  m_bits = nullptr;
  m_pitch = m_bpp = m_width = m_height = 0;
  m_clip = {};
}

int32_t K_Dib::Attach(uint8_t* bits, int32_t pitch, int32_t bytesPerPixel, int32_t width, int32_t height) {
  Release();
  if (!bits || width < 1 || height < 1 || bytesPerPixel < 1 || bytesPerPixel > 4 ||
      int64_t(pitch) < int64_t(width) * bytesPerPixel)
    return 0;
  m_bits = bits;
  m_pitch = pitch;
  m_bpp = bytesPerPixel;
  m_width = width;
  m_height = height;
  SetFullClip();
  return 1;
}

void K_Dib::DetachBits() {
  if (!m_owned && !m_bitmap) Release();
}

int32_t K_Dib::SetPixels(const uint8_t* data, uint32_t size) {
  if (!m_header || !m_bits || !data || size != m_header->biSizeImage) return 0;
  std::memcpy(m_bits, data, size);
  return 1;
}

void K_Dib::SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  m_clip.left = std::clamp(left, 0, m_width);
  m_clip.top = std::clamp(top, 0, m_height);
  m_clip.right = std::clamp(right, m_clip.left, m_width);
  m_clip.bottom = std::clamp(bottom, m_clip.top, m_height);
}

void K_Dib::IntersectClip(K_Rect& rect) const {
  rect.left = std::max(rect.left, m_clip.left);
  rect.top = std::max(rect.top, m_clip.top);
  rect.right = std::min(rect.right, m_clip.right);
  rect.bottom = std::min(rect.bottom, m_clip.bottom);
}

bool K_Dib::ClipArea(int32_t& x, int32_t& y, int32_t& w, int32_t& h) const {
  int64_t x0 = x, y0 = y, w0 = w, h0 = h;
  if (x0 < m_clip.left) w0 -= m_clip.left - x0, x0 = m_clip.left;
  if (y0 < m_clip.top) h0 -= m_clip.top - y0, y0 = m_clip.top;
  w0 = std::min<int64_t>(w0, m_clip.right - x0);
  h0 = std::min<int64_t>(h0, m_clip.bottom - y0);
  x = int32_t(x0), y = int32_t(y0);
  w = int32_t(std::max<int64_t>(w0, -1)), h = int32_t(std::max<int64_t>(h0, -1));
  return w0 >= 1 && h0 >= 1;
}

uint8_t* K_Dib::PixelAddress(int32_t x, int32_t y) {
  return m_bits ? m_bits + ptrdiff_t(y) * m_pitch + ptrdiff_t(x) * m_bpp : nullptr;
}

uint32_t K_Dib::GetPixel(int32_t x, int32_t y) const {
  if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  const uint8_t* p = m_bits + ptrdiff_t(y) * m_pitch + ptrdiff_t(x) * m_bpp;
  uint32_t v = 0;
  for (int32_t b = 0; b < m_bpp; ++b) v |= uint32_t(p[b]) << (8 * b);
  return v;
}
