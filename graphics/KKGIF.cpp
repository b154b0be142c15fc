// GIF decoding for the sprite library: block scan, per-image LZW into indices, palette
// to 32-bit pixels with a mask for the transparent index, and the canvas composition
// that animated files are drawn from. Every read is bounds-checked against the bytes.
#include "graphics/KKGIF.h"

#include <algorithm>

#include "graphics/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/K_Dib.h"
#include "plat/time.h"

namespace {

constexpr uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
constexpr uint8_t kLabelApplication = 0xFF, kLabelComment = 0xFE, kLabelControl = 0xF9, kLabelPlainText = 0x01;
constexpr size_t kScreenHeader = 13;
constexpr size_t kDescriptor = 10;
constexpr size_t kControlLength = 8;
constexpr uint8_t kDisposalRestoreBackground = 2;
constexpr uint32_t kWhiteMask = 0x00FFFFFF;  // a set mask bit expanded to a 32-bit pixel

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

std::vector<uint32_t> ReadTable(std::span<const uint8_t> bytes) {
  std::vector<uint32_t> table(bytes.size() / 3);
  for (size_t i = 0; i < table.size(); ++i)
    table[i] = uint32_t(bytes[3 * i]) << 16 | uint32_t(bytes[3 * i + 1]) << 8 | bytes[3 * i + 2];
  return table;
}

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
// last row are dropped.
class PixelWriter {
 public:
  PixelWriter(std::vector<uint8_t>& out, int32_t w, int32_t h, bool interlace)
      : m_out(out), m_w(w), m_h(h), m_interlace(interlace) {}
  void Put(uint8_t v) {
    if (m_row >= m_h) return;
    m_out[size_t(m_row) * size_t(m_w) + size_t(m_x)] = v;
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
  int32_t m_w, m_h;
  bool m_interlace;
  int32_t m_x = 0, m_row = 0, m_pass = 1;
};

}  // namespace

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

void KKGIF::Reset() {
  m_frames.clear();
  m_canvas.clear();
  m_canvas.shrink_to_fit();
  m_canvasMask.Destroy();
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
    if (d[11] < m_globalTable.size()) m_background = m_globalTable[d[11]];
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
  const size_t pixels = size_t(m_width) * size_t(m_height);
  if (m_width > 0 && m_height > 0 && pixels <= kMaxPixels && m_decodedBytes + pixels * 4 <= kMaxDecodedBytes &&
      m_canvasMask.Create(m_width, m_height)) {
    m_canvas.assign(pixels, 0);
    m_decodedBytes += pixels * 4;
  }
  m_maskInUse = true;
  RenderCurrent();
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
  std::vector<uint32_t> palette;
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
  const size_t pixels = size_t(f.width) * size_t(f.height);
  // Indices, pixels and mask together stay under the file's cap.
  const size_t cost = pixels * 5 + pixels / 8;
  if (pixels == 0 || f.width > kMaxSide || f.height > kMaxSide || pixels > kMaxPixels ||
      m_decodedBytes + cost > kMaxDecodedBytes || minCode < 1 || minCode > 11)
    return;
  m_decodedBytes += cost;
  std::vector<uint8_t> indices(pixels, 0);
  if (!DecodeLzw(d, pos, b.offset + b.length, minCode, f.width, f.height, (packed & 0x40) != 0, indices)) return;

  if (f.transparent) {
    KKBitBOOL mask;
    bool any = false;
    if (mask.Create(f.width, f.height)) {
      const int32_t columns = std::min(f.width, m_width);
      for (int32_t y = 0; y < f.height; ++y)
        for (int32_t x = 0; x < columns; ++x)
          if (indices[size_t(y) * size_t(f.width) + size_t(x)] == f.transparentIndex) {
            mask.Set(x, y);
            any = true;
          }
    }
    if (any) {
      f.mask.CopyFrom(mask);
      // Only an index inside the palette has an entry to blacken.
      if (f.transparentIndex < palette.size()) palette[f.transparentIndex] = 0;
    } else {
      f.transparent = 0;
    }
  }
  f.image.resize(pixels);
  for (size_t i = 0; i < pixels; ++i) f.image[i] = indices[i] < palette.size() ? palette[indices[i]] : 0;
}

bool KKGIF::DecodeLzw(std::span<const uint8_t> d, size_t pos, size_t end, int32_t minCode, int32_t width,
                      int32_t height, bool interlace, std::vector<uint8_t>& indices) {
  const int32_t clear = 1 << minCode, endCode = clear + 1, firstFree = clear + 2;
  for (int32_t i = 0; i < clear; ++i) m_lzw[size_t(i)] = {uint8_t(i), uint8_t(i), 0};
  CodeReader codes(d, pos, std::min(end, d.size()));
  PixelWriter out(indices, width, height, interlace);
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
  return true;
}

void KKGIF::RenderCurrent() {
  if (m_frames.size() < 2 || m_canvas.empty()) return;
  const Frame& f = m_frames[size_t(m_current)];
  if (!f.HasImage()) return;
  auto rect = [&](const Frame& r, auto fn) {
    for (int32_t y = std::max(r.top, 0); y < std::min(r.top + r.height, m_height); ++y)
      for (int32_t x = std::max(r.left, 0); x < std::min(r.left + r.width, m_width); ++x) fn(x, y);
  };
  const Frame* restored = nullptr;
  if (m_current > 0 && m_frames[size_t(m_current) - 1].disposal == kDisposalRestoreBackground) {
    restored = &m_frames[size_t(m_current) - 1];
    rect(*restored, [&](int32_t x, int32_t y) { m_canvas[size_t(y) * size_t(m_width) + size_t(x)] = 0; });
  }
  const bool first = m_current == 0;
  const bool masked = f.transparent && f.HasMask() && !first;
  rect(f, [&](int32_t x, int32_t y) {
    uint32_t& c = m_canvas[size_t(y) * size_t(m_width) + size_t(x)];
    const uint32_t src = f.image[size_t(y - f.top) * size_t(f.width) + size_t(x - f.left)];
    c = masked ? (c & (f.mask.Test(x - f.left, y - f.top) ? kWhiteMask : 0)) | src : src;
  });

  if (restored) {
    rect(*restored, [&](int32_t x, int32_t y) { m_canvasMask.Set(x, y); });
    if (restored->left == 0 && restored->top == 0 && restored->width == m_width && restored->height == m_height)
      m_maskInUse = true;
  }
  if (first) {
    if (f.transparent && f.HasMask()) {
      rect(f, [&](int32_t x, int32_t y) {
        if (f.mask.Test(x - f.left, y - f.top)) m_canvasMask.Set(x, y);
        else m_canvasMask.Clear(x, y);
      });
      m_maskInUse = true;
    } else {
      m_maskInUse = false;
    }
  } else if (m_maskInUse) {
    if (f.transparent && f.HasMask()) {
      rect(f, [&](int32_t x, int32_t y) {
        if (!f.mask.Test(x - f.left, y - f.top)) m_canvasMask.Clear(x, y);
      });
    } else if (f.left == 0 && f.top == 0 && f.width >= m_width && f.height >= m_height) {
      m_maskInUse = false;
    } else {
      rect(f, [&](int32_t x, int32_t y) { m_canvasMask.Clear(x, y); });
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
  RenderCurrent();
  return 1;
}

int32_t KKGIF::TickIfVisible(const K_Rect& r, int32_t x, int32_t y) {
  const int64_t right = int64_t(x) + m_width, bottom = int64_t(y) + m_height;
  if (x >= r.right || y >= r.bottom || right <= r.left || bottom <= r.top) return 0;
  return Tick(false);
}

void KKGIF::SeekFrame(int32_t i) {
  if (i < 0 || i >= GetFrameCount()) i = 0;
  if (i == m_current) return;
  // Disposal depends on what came before, so the frames are replayed in order.
  if (m_current > i) m_current = 0;
  for (; m_current < i; ++m_current) RenderCurrent();
  RenderCurrent();
  m_startTick = Now();
}

void KKGIF::Blit(K_Dib& dc, int32_t x, int32_t y, const K_Rect* limit, const Picture& pic) const {
  if (dc.BytesPerPixel() != 4 || !dc.GetBits() || !pic.pixels) return;
  K_Rect area{x, y, int32_t(std::min<int64_t>(int64_t(x) + pic.width, INT32_MAX)),
              int32_t(std::min<int64_t>(int64_t(y) + pic.height, INT32_MAX))};
  dc.IntersectClip(area);
  if (limit) {
    area.left = std::max(area.left, limit->left), area.top = std::max(area.top, limit->top);
    area.right = std::min(area.right, limit->right), area.bottom = std::min(area.bottom, limit->bottom);
  }
  for (int32_t py = area.top; py < area.bottom; ++py)
    for (int32_t px = area.left; px < area.right; ++px) {
      const int32_t sx = px - x, sy = py - y;
      const uint32_t src = pic.pixels[size_t(sy) * size_t(pic.pitch) + size_t(sx)];
      uint8_t* dst = dc.PixelAddress(px, py);
      uint32_t v = src;
      if (pic.mask) v = (LoadU32(dst) & (pic.mask->Test(sx, sy) ? kWhiteMask : 0)) | src;  // SRCAND, SRCPAINT
      StoreU32(dst, v);
    }
}

void KKGIF::Draw(K_Dib& dc, int32_t x, int32_t y) const { DrawClipped(dc, K_Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, x, y); }

void KKGIF::DrawClipped(K_Dib& dc, const K_Rect& rect, int32_t x, int32_t y) const {
  if (m_frames.empty()) return;
  if (m_frames.size() == 1) {
    const Frame& f = m_frames[0];
    if (!f.HasImage()) return;
    Blit(dc, x, y, &rect,
         {f.image.data(), f.width, f.HasMask() ? &f.mask : nullptr, std::min(f.width, m_width),
          std::min(f.height, m_height)});
    return;
  }
  if (m_canvas.empty()) return;
  Blit(dc, x, y, &rect, {m_canvas.data(), m_width, m_maskInUse ? &m_canvasMask : nullptr, m_width, m_height});
}

void KKGIF::DrawFrame(K_Dib& dc, int32_t x, int32_t y, int32_t i) const {
  if (m_frames.empty()) return;
  if (i < 0) i = m_current;
  if (i >= GetFrameCount()) i = 0;
  const Frame& f = m_frames[size_t(i)];
  if (!f.HasImage()) return;
  const auto clamp = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  Blit(dc, clamp(int64_t(x) + f.left), clamp(int64_t(y) + f.top), nullptr,
       {f.image.data(), f.width, f.HasMask() ? &f.mask : nullptr, f.width, f.height});
}
