// GIF decoding for the sprite library: block scan, per-image LZW into indices, 8-bit
// bitmaps with a monochrome mask for the transparent index, and the canvas composition
// that animated files are drawn from. Every read is bounds-checked against the bytes.
#include "graphics/KKGIF.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KKBitBOOL.h"
#include "plat/time.h"

namespace {

constexpr uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
constexpr uint8_t kLabelApplication = 0xFF, kLabelComment = 0xFE, kLabelControl = 0xF9, kLabelPlainText = 0x01;
constexpr size_t kScreenHeader = 13;
constexpr size_t kDescriptor = 10;
constexpr size_t kControlLength = 8;
constexpr uint8_t kDisposalRestoreBackground = 2;
constexpr WORD kImageBits = 8, kCanvasBits = 32;
constexpr size_t kPaletteEntries = 256;
constexpr size_t kMaxUnfilledPixels = 1024;

std::atomic<bool> g_dibSections{false};
std::atomic<HWND> g_bitmapWindow{nullptr};

size_t TableBytes(uint8_t packed) { return size_t(3) << ((packed & 7) + 1); }

// Past the sub-blocks starting at `pos`, through the zero-length one; the end of the
// data stops the walk.
size_t SkipSubBlocks(std::span<const uint8_t> d, size_t pos) {
  while (pos < d.size()) {
    const size_t n = d[pos++];
    if (n == 0) break;
    pos += n;
  }
  return std::min(pos, d.size());
}

std::vector<RGBQUAD> ReadTable(std::span<const uint8_t> bytes) {
  std::vector<RGBQUAD> table(bytes.size() / 3);
  for (size_t i = 0; i < table.size(); ++i) table[i] = {bytes[3 * i + 2], bytes[3 * i + 1], bytes[3 * i], 0};
  return table;
}

int32_t RowStride(int32_t width) { return (width + 3) & ~3; }

BITMAPINFOHEADER InfoHeader(int32_t width, int32_t height, WORD bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = BI_RGB;
  return h;
}

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Least-significant-bit-first codes across the sub-blocks of one image; a zero-length
// sub-block or the end of the data reads as the end code.
class CodeReader {
 public:
  CodeReader(std::span<const uint8_t> d, size_t pos, size_t end) : m_d(d), m_pos(pos), m_end(end) {}
  int32_t Read(int32_t size, int32_t endCode) {
    while (m_bits < size) {
      if (m_left == 0) {
        if (m_done || m_pos >= m_end) return endCode;
        m_left = m_d[m_pos++];
        if (m_left == 0) {
          m_done = true;
          return endCode;
        }
      }
      if (m_pos >= m_end) return endCode;
      m_acc |= uint32_t(m_d[m_pos++]) << m_bits;
      m_bits += 8;
      --m_left;
    }
    const int32_t code = int32_t(m_acc & ((1u << size) - 1));
    m_acc >>= size;
    m_bits -= size;
    return code;
  }

 private:
  std::span<const uint8_t> m_d;
  size_t m_pos, m_end;
  size_t m_left = 0;
  uint32_t m_acc = 0;
  int32_t m_bits = 0;
  bool m_done = false;
};

// Where decoded pixels go: rows in order, or the four interlace passes; pixels past the
// last row are dropped. The buffer grows with the rows the data reaches.
class PixelWriter {
 public:
  PixelWriter(std::vector<uint8_t>& out, int32_t w, int32_t stride, int32_t h, bool interlace)
      : m_out(out), m_w(w), m_stride(stride), m_h(h), m_interlace(interlace) {}
  bool Full() const { return m_row >= m_h; }
  void Put(uint8_t v) {
    if (m_row >= m_h) return;
    const size_t at = size_t(m_row) * size_t(m_stride) + size_t(m_x);
    if (at >= m_out.size()) m_out.resize(at - size_t(m_x) + size_t(m_stride), 0);
    m_out[at] = v;
    if (++m_x < m_w) return;
    m_x = 0;
    if (!m_interlace) {
      ++m_row;
      return;
    }
    static constexpr int32_t kStep[5] = {0, 8, 8, 4, 2};
    m_row += kStep[m_pass];
    // A pass whose first row lies below the image holds no rows at all.
    while (m_row >= m_h && m_pass < 4) {
      ++m_pass;
      m_row = 16 >> m_pass;
    }
  }

 private:
  std::vector<uint8_t>& m_out;
  int32_t m_w, m_stride, m_h;
  bool m_interlace;
  int32_t m_x = 0, m_row = 0, m_pass = 1;
};

}  // namespace

void KKGIF::SetDibSectionMode(bool on) { g_dibSections = on; }
bool KKGIF::DibSectionMode() { return g_dibSections; }
void KKGIF::SetBitmapWindow(HWND window) { g_bitmapWindow = window; }

uint32_t KKGIF::Now() {
  const uint32_t t = GetTickCount();
  return t ? t : 0xFFFFFFFFu;  // 0 means "not started"
}

int32_t KKGIF::LoadFile(KFileHandle& file, uint32_t size) {
  Reset();
  std::vector<uint8_t> bytes;
  uint8_t chunk[16 * 1024];
  const size_t want = size ? size : kMaxFileBytes;
  while (bytes.size() < want) {
    const int32_t got = file.Read(chunk, int32_t(std::min(sizeof chunk, want - bytes.size())));
    if (got < 0) return 0;
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  if (size && bytes.size() < size) return 0;
  return LoadMemory(bytes.data(), bytes.size());
}

int32_t KKGIF::LoadMemory(const uint8_t* data, size_t size) {
  Reset();
  if (!data || size == 0) return 0;
  return Parse(std::span<const uint8_t>(data, size));
}

int32_t KKGIF::LoadResource(HMODULE module, LPCSTR id, LPCSTR type) {
  Reset();
  HRSRC resource = FindResourceA(module, id, type);
  if (!resource) return 0;
  HGLOBAL loaded = ::LoadResource(module, resource);
  const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return 0;
  return LoadMemory(bytes, SizeofResource(module, resource));
}

void KKGIF::Reset() {
  m_frames.clear();
  m_canvas.Reset();
  m_canvasMask.Reset();
  m_canvasBits = nullptr;
  m_globalTable.clear();
  m_hasGlobalTable = false;
  m_background = 0;
  m_startTick = 0;
  m_width = m_height = 0;
  m_current = 0;
  m_decodedBytes = 0;
  m_maskInUse = false;
}

int32_t KKGIF::GetFrameDelay(int32_t i) const {
  return i >= 0 && i < GetFrameCount() ? m_frames[size_t(i)].delay : 0;
}

const KKGIF::Frame* KKGIF::GetFrame(int32_t i) const {
  if (GetFrameCount() == 1) return &m_frames[0];
  return i >= 0 && i < GetFrameCount() ? &m_frames[size_t(i)] : nullptr;
}

HBITMAP KKGIF::GetFrameBitmap(int32_t i) const {
  if (i < 0 && GetFrameCount() != 1) return m_canvas.Get();
  const Frame* f = GetFrame(i);
  return f ? f->image.Get() : nullptr;
}

HBITMAP KKGIF::GetFrameMask(int32_t i) const {
  if (i < 0 && GetFrameCount() != 1) return m_canvasMask.Get();
  const Frame* f = GetFrame(i);
  return f ? f->mask.Get() : nullptr;
}

std::vector<KKGIF::Block> KKGIF::ScanBlocks(std::span<const uint8_t> d, size_t pos) const {
  std::vector<Block> blocks;
  while (pos < d.size()) {
    Block b{Block::kUnknown, pos, 1};
    if (d[pos] == kExtension) {
      const uint8_t label = pos + 1 < d.size() ? d[pos + 1] : 0;
      if (label == kLabelApplication) b = {Block::kApplication, pos, SkipSubBlocks(d, pos + 14) - pos};
      else if (label == kLabelComment) b = {Block::kComment, pos, SkipSubBlocks(d, pos + 2) - pos};
      else if (label == kLabelControl) b = {Block::kControl, pos, kControlLength};
      else if (label == kLabelPlainText) b = {Block::kPlainText, pos, SkipSubBlocks(d, pos + 15) - pos};
    } else if (d[pos] == kImage) {
      size_t at = pos + kDescriptor;
      if (pos + kDescriptor <= d.size() && (d[pos + 9] & 0x80)) at += TableBytes(d[pos + 9]);
      b = {Block::kImage, pos, SkipSubBlocks(d, at + 1) - pos};
    } else if (d[pos] == kTrailer) {
      b.kind = Block::kTrailer;
    }
    b.length = std::max<size_t>(1, std::min(b.length, d.size() - pos));
    blocks.push_back(b);
    pos += b.length;
  }
  return blocks;
}

int32_t KKGIF::Parse(std::span<const uint8_t> d) {
  if (d.size() < kScreenHeader) return 0;
  // The first six bytes (signature and version) are not looked at.
  m_width = LoadU16(&d[6]);
  m_height = LoadU16(&d[8]);
  const uint8_t packed = d[10];
  size_t pos = kScreenHeader;
  if (packed & 0x80) {
    const size_t bytes = TableBytes(packed);
    if (bytes > d.size() - pos) return Reset(), 0;
    m_globalTable = ReadTable(d.subspan(pos, bytes));
    m_hasGlobalTable = true;
    if (d[11] < m_globalTable.size()) {
      const RGBQUAD& q = m_globalTable[d[11]];
      m_background = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    pos += bytes;
  }
  const std::vector<Block> blocks = ScanBlocks(d, pos);
  const size_t images = size_t(std::count_if(blocks.begin(), blocks.end(), [](const Block& b) {
    return b.kind == Block::kImage;
  }));
  m_frames.resize(images);
  size_t current = 0;
  for (const Block& b : blocks) {
    if (b.kind == Block::kControl) {
      // A control block after the last image has no frame to describe.
      if (current >= m_frames.size() || b.offset + kControlLength > d.size()) continue;
      Frame& f = m_frames[current];
      const uint8_t p = d[b.offset + 3];
      f.transparent = p & 1;
      f.disposal = (p >> 2) & 7;
      f.delay = LoadU16(&d[b.offset + 4]);
      f.transparentIndex = d[b.offset + 6];
    } else if (b.kind == Block::kImage) {
      DecodeImage(d, b, m_frames[current++]);
    }
  }
  m_current = 0;
  if (m_frames.size() < 2) return 1;
  m_maskInUse = true;
  if (CreateCanvas()) RenderCurrent(nullptr);
  m_startTick = Now();
  return 1;
}

void KKGIF::DecodeImage(std::span<const uint8_t> d, const Block& b, Frame& f) {
  if (b.offset + kDescriptor > d.size()) return;
  const uint8_t* p = &d[b.offset];
  f.left = LoadU16(p + 1);
  f.top = LoadU16(p + 3);
  f.width = LoadU16(p + 5);
  f.height = LoadU16(p + 7);
  const uint8_t packed = p[9];
  size_t pos = b.offset + kDescriptor;
  std::vector<RGBQUAD> palette;
  if (packed & 0x80) {
    const size_t bytes = TableBytes(packed);
    if (bytes > d.size() - pos) return;
    palette = ReadTable(d.subspan(pos, bytes));
    pos += bytes;
  } else if (m_hasGlobalTable) {
    palette = m_globalTable;
  }
  if (pos >= d.size()) return;
  const int32_t minCode = d[pos++];
  const int32_t stride = RowStride(f.width);
  const size_t pixels = size_t(stride) * size_t(f.height);
  // Indices, the bitmap (at most four bytes a pixel) and the mask stay under the cap.
  const size_t cost = pixels * 5 + pixels / 8;
  if (pixels == 0 || f.width > kMaxSide || f.height > kMaxSide || pixels > kMaxPixels ||
      m_decodedBytes + cost > kMaxDecodedBytes || minCode < 1 || minCode > 11)
    return;
  m_decodedBytes += cost;
  std::vector<uint8_t> indices;
  bool full = false;
  if (!DecodeLzw(d, pos, b.offset + b.length, minCode, f.width, stride, f.height, (packed & 0x40) != 0, indices,
                 full))
    return;
  // Data that ends early leaves index 0, but only a small image gets a whole bitmap
  // for a short stream.
  if (!full && pixels > kMaxUnfilledPixels) return;
  indices.resize(pixels, 0);

  if (f.transparent) {
    KKBitBOOL mask;
    bool any = false;
    if (mask.Create(f.width, f.height)) {
      const int32_t columns = std::min(f.width, m_width);
      for (int32_t y = 0; y < f.height; ++y)
        for (int32_t x = 0; x < columns; ++x)
          if (indices[size_t(y) * size_t(stride) + size_t(x)] == f.transparentIndex) {
            mask.Set(x, y);
            any = true;
          }
    }
    if (any) {
      f.mask.Reset(mask.CreateMonoBitmap());
      // Transparent pixels turn black so that SRCPAINT leaves what the mask kept; only
      // an index inside the palette has an entry to blacken.
      if (f.transparentIndex < palette.size()) palette[f.transparentIndex] = RGBQUAD{0, 0, 0, 0};
    } else {
      f.transparent = 0;
    }
  }
  f.image.Reset(CreateImage(indices, f.width, f.height, palette));
}

HBITMAP KKGIF::CreateImage(const std::vector<uint8_t>& pixels, int32_t width, int32_t height,
                           const std::vector<RGBQUAD>& palette) {
  BITMAPINFOHEADER header = InfoHeader(width, -height, kImageBits);  // top-down
  header.biSizeImage = DWORD(pixels.size());
  header.biClrUsed = header.biClrImportant = DWORD(palette.size());
  // Room for a full table: with no palette GDI reads all 256 entries, which stay black.
  std::vector<uint32_t> info((sizeof header + kPaletteEntries * sizeof(RGBQUAD)) / sizeof(uint32_t), 0);
  std::memcpy(info.data(), &header, sizeof header);
  if (!palette.empty())
    std::memcpy(reinterpret_cast<uint8_t*>(info.data()) + sizeof header, palette.data(),
                std::min(palette.size(), kPaletteEntries) * sizeof(RGBQUAD));
  const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
  KK_WindowDC screen(g_bitmapWindow);
  if (DibSectionMode()) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen.Get(), bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) std::memcpy(bits, pixels.data(), pixels.size());
    return bitmap;
  }
  if (!screen) return nullptr;
  return CreateDIBitmap(screen.Get(), &header, CBM_INIT, pixels.data(), bitmapInfo, DIB_RGB_COLORS);
}

bool KKGIF::CreateCanvas() {
  const size_t pixels = size_t(m_width) * size_t(m_height);
  const size_t cost = pixels * 4 + pixels / 8;
  if (pixels == 0 || pixels > kMaxPixels || m_decodedBytes + cost > kMaxDecodedBytes) return false;
  m_decodedBytes += cost;
  KK_WindowDC screen(g_bitmapWindow);
  if (DibSectionMode()) {
    BITMAPINFO info{};
    info.bmiHeader = InfoHeader(m_width, m_height, kCanvasBits);  // bottom-up
    m_canvas.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &m_canvasBits, nullptr, 0));
  } else if (screen) {
    m_canvas.Reset(CreateCompatibleBitmap(screen.Get(), m_width, m_height));
  }
  m_canvasMask.Reset(CreateBitmap(m_width, m_height, 1, 1, nullptr));
  if (m_canvas && m_canvasMask) return true;
  m_canvas.Reset();
  m_canvasMask.Reset();
  m_canvasBits = nullptr;
  return false;
}

bool KKGIF::DecodeLzw(std::span<const uint8_t> d, size_t pos, size_t end, int32_t minCode, int32_t width,
                      int32_t stride, int32_t height, bool interlace, std::vector<uint8_t>& indices,
                      bool& full) {
  const int32_t clear = 1 << minCode, endCode = clear + 1, firstFree = clear + 2;
  for (int32_t i = 0; i < clear; ++i) m_lzw[size_t(i)] = {uint8_t(i), uint8_t(i), 0};
  CodeReader codes(d, pos, std::min(end, d.size()));
  PixelWriter out(indices, width, stride, height, interlace);
  int32_t size = minCode + 1, free = firstFree, prev = -1;
  uint8_t stack[kLzwEntries];

  // Writes the string of `code` (a literal or a table entry below `free`).
  auto emit = [&](int32_t code) -> int32_t {
    int32_t n = 0;
    while (code >= clear) {
      const LzwEntry& e = m_lzw[size_t(code)];
      if (e.prefix >= code || n >= kLzwEntries - 1) return -1;  // links only point back
      stack[n++] = e.suffix;
      code = e.prefix;
    }
    stack[n++] = uint8_t(code);
    const uint8_t first = uint8_t(code);
    while (n > 0) out.Put(stack[--n]);
    return first;
  };

  for (int32_t code = codes.Read(size, endCode); code != endCode; code = codes.Read(size, endCode)) {
    if (code == clear) {
      free = firstFree;
      size = minCode + 1;
      prev = -1;
      continue;
    }
    int32_t first;
    if (code < free && (code < clear || code >= firstFree)) {
      first = emit(code);
      if (first < 0) return false;
    } else if (code == free && prev >= 0) {
      first = emit(prev);
      if (first < 0) return false;
      out.Put(uint8_t(first));
    } else {
      return false;
    }
    if (prev >= 0 && free < kLzwEntries) {
      // The new entry is the previous string followed by this string's first byte.
      m_lzw[size_t(free)] = {uint8_t(first), m_lzw[size_t(prev)].first, uint16_t(prev)};
      ++free;
      if (free == (1 << size) && size < 12) ++size;
    }
    prev = code;
  }
  full = out.Full();
  return true;
}

void KKGIF::RenderCurrent(HDC like) {
  if (m_frames.size() < 2 || !m_canvas) return;
  const Frame& f = m_frames[size_t(m_current)];
  if (!f.image) return;
  KK_MemoryDC target(like), source(like);
  if (!target.Select(m_canvas.Get())) return;
  const Frame* restored = nullptr;
  // A frame without a picture (its image failed) drew nothing, so it leaves nothing to
  // restore; its rectangle is only what its descriptor claimed.
  if (m_current > 0 && m_frames[size_t(m_current) - 1].disposal == kDisposalRestoreBackground &&
      m_frames[size_t(m_current) - 1].image)
    restored = &m_frames[size_t(m_current) - 1];
  auto fill = [&](const Frame& r, DWORD rop) { PatBlt(target.Get(), r.left, r.top, r.width, r.height, rop); };
  if (restored) fill(*restored, BLACKNESS);
  // The first frame always goes down whole: nothing lies under it to keep.
  const bool first = m_current == 0;
  Blit(target.Get(), {f.left, f.top, f.width, f.height, 0, 0}, f.image.Get(), first ? nullptr : f.mask.Get());

  if (!target.Select(m_canvasMask.Get())) return;
  if (restored) {
    fill(*restored, WHITENESS);
    if (restored->left == 0 && restored->top == 0 && restored->width == m_width && restored->height == m_height)
      m_maskInUse = true;
  }
  if (first) {
    m_maskInUse = f.mask && source.Select(f.mask.Get()) &&
                  BitBlt(target.Get(), f.left, f.top, f.width, f.height, source.Get(), 0, 0, SRCCOPY);
  } else if (m_maskInUse) {
    if (f.mask) {
      if (source.Select(f.mask.Get()))
        BitBlt(target.Get(), f.left, f.top, f.width, f.height, source.Get(), 0, 0, SRCAND);
    } else if (f.left == 0 && f.top == 0 && f.width >= m_width && f.height >= m_height) {
      m_maskInUse = false;
    } else {
      fill(f, BLACKNESS);
    }
  }
}

int32_t KKGIF::Tick(bool force) {
  if (m_frames.size() < 2) return 0;
  if (!force) {
    if (m_startTick == 0) return 0;
    const uint32_t now = Now();
    // An unsigned difference stays right across the 32-bit wrap of the tick count.
    if ((now - m_startTick) / 10 < uint32_t(m_frames[size_t(m_current)].delay)) return 0;
    m_startTick = now;
  }
  m_current = (m_current + 1) % GetFrameCount();
  RenderCurrent(nullptr);
  return 1;
}

int32_t KKGIF::TickIfVisible(const RECT& r, int32_t x, int32_t y) {
  const int64_t right = int64_t(x) + m_width, bottom = int64_t(y) + m_height;
  if (x >= r.right || y >= r.bottom || right <= r.left || bottom <= r.top) return 0;
  return Tick(false);
}

void KKGIF::SeekFrame(int32_t i, HDC dc) {
  if (i < 0 || i >= GetFrameCount()) i = 0;
  if (i == m_current) return;
  // Disposal depends on what came before, so the frames are replayed in order.
  if (m_current > i) m_current = 0;
  for (; m_current < i; ++m_current) RenderCurrent(dc);
  RenderCurrent(dc);
  m_startTick = Now();
}

void KKGIF::Blit(HDC dc, const Placement& at, HBITMAP image, HBITMAP mask) {
  if (!image || at.width <= 0 || at.height <= 0) return;
  KK_MemoryDC source(dc);
  const int32_t x = Clamp32(at.x), y = Clamp32(at.y), w = Clamp32(at.width), h = Clamp32(at.height);
  const int32_t sx = Clamp32(at.sx), sy = Clamp32(at.sy);
  if (mask && source.Select(mask)) {
    // Monochrome sources take the destination's text colour for 0 and its background
    // colour for 1: black and white make the mask keep exactly its white pixels.
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), background = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, w, h, source.Get(), sx, sy, SRCAND);
    SetTextColor(dc, text);
    SetBkColor(dc, background);
    if (source.Select(image)) BitBlt(dc, x, y, w, h, source.Get(), sx, sy, SRCPAINT);
  } else if (source.Select(image)) {
    BitBlt(dc, x, y, w, h, source.Get(), sx, sy, SRCCOPY);
  }
}

void KKGIF::DrawPicture(HDC dc, const RECT* limit, int32_t x, int32_t y) const {
  if (m_frames.empty()) return;
  HBITMAP image = m_canvas.Get(), mask = m_maskInUse ? m_canvasMask.Get() : nullptr;
  if (m_frames.size() == 1) image = m_frames[0].image.Get(), mask = m_frames[0].mask.Get();
  int64_t left = x, top = y, right = int64_t(x) + m_width, bottom = int64_t(y) + m_height;
  if (limit) {
    left = std::max<int64_t>(left, limit->left), top = std::max<int64_t>(top, limit->top);
    right = std::min<int64_t>(right, limit->right), bottom = std::min<int64_t>(bottom, limit->bottom);
  }
  Blit(dc, {left, top, right - left, bottom - top, left - x, top - y}, image, mask);
}

void KKGIF::Draw(HDC dc, int32_t x, int32_t y) const { DrawPicture(dc, nullptr, x, y); }

void KKGIF::DrawClipped(HDC dc, const RECT& rect, int32_t x, int32_t y) const { DrawPicture(dc, &rect, x, y); }

void KKGIF::DrawFrame(HDC dc, int32_t x, int32_t y, int32_t i) const {
  if (m_frames.empty()) return;
  if (i < 0) i = m_current;
  if (i >= GetFrameCount()) i = 0;
  const Frame& f = m_frames[size_t(i)];
  Blit(dc, {int64_t(x) + f.left, int64_t(y) + f.top, f.width, f.height, 0, 0}, f.image.Get(), f.mask.Get());
}
