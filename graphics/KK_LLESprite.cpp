// Run-length sprites: chunk header, reading with every length checked once at load,
// writing, encoding from pixels and format conversion. Walks after a load (drawing,
// unpacking, hit tests, conversion) trust the records because the load checked them.
#include "graphics/KK_LLESprite.h"

#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"
#include "graphics/KK_RowConvert.h"

namespace kk {

bool ReadChunkHeader(ByteReader& in, tagChunk_Header& header) {
  header.size = in.U32();
  header.kind = in.U32();
  const auto magic = in.Bytes(4);
  return !in.Failed() && std::equal(magic.begin(), magic.end(), std::begin(kChunkMagic));
}

void WriteChunkHeader(ByteWriter& out, const tagChunk_Header& header) {
  out.U32(header.size);
  out.U32(header.kind);
  out.Bytes(kChunkMagic);
}

}  // namespace kk

namespace {

constexpr uint8_t kSpriteSignature[2] = {'K', 'S'};
constexpr size_t kReservedTail = 7;

size_t RoundUpTo4(size_t v) { return (v + 3) & ~size_t{3}; }

bool IsSpriteChunk(const tagChunk_Header& h) { return (h.kind & kk::kKindSpriteMask) == kk::kKindSpriteFamily; }

}  // namespace

uint16_t tagLLE_Line::Skip(int32_t i) const { return LoadU16(record + kHeadSize + size_t(i) * 4); }
uint16_t tagLLE_Line::Copy(int32_t i) const { return LoadU16(record + kHeadSize + size_t(i) * 4 + 2); }

tagLLE_Line KK_LLESprite::ReadLine(const uint8_t* record) {
  tagLLE_Line line;
  line.record = record;
  line.runCount = LoadI16(record);
  line.length = LoadU16(record + 2);
  line.rightMargin = LoadU16(record + 4);
  line.mark = record[7];
  return line;
}

tagLLE_Line KK_LLESprite::Line(int32_t i) const {
  tagLLE_Line line = ReadLine(m_runs);
  for (int32_t k = 0; k < i; ++k) line = NextLine(line);
  return line;
}

size_t KK_LLESprite::RunDataBytes(int32_t copy, int32_t bpp, int32_t alphaMode) {
  return size_t(copy) * size_t(bpp) + (alphaMode == 2 ? size_t(copy) : 0);
}

int32_t KK_LLESprite::BytesPerPixel() const { return m_hasHeader ? kk::BytesPerPixel(m_header.format) : 0; }

void KK_LLESprite::Release() {
  m_hasHeader = false;
  m_header = tagLLE_Header{};
  m_hasExtra = false;
  m_extra.fill(0);
  m_runStore.clear();
  m_runStore.shrink_to_fit();
  m_runs = nullptr;
  m_flags = 0;
}

bool KK_LLESprite::ParseHeader(ByteReader& in, tagLLE_Header& h) {
  h.format = in.U8();
  const auto sig = in.Bytes(2);
  h.layout = in.U8();
  h.fullWidth = in.U16();
  h.fullHeight = in.U16();
  h.trimLeft = in.U16();
  h.trimTop = in.U16();
  h.trimWidth = in.U16();
  h.trimHeight = in.U16();
  h.anchorX = in.I16();
  h.anchorY = in.I16();
  in.U16();
  h.headerSize = in.U16();
  h.runSize = in.U32();
  h.alphaMode = in.U8();
  in.Skip(kReservedTail);
  return !in.Failed() && std::equal(sig.begin(), sig.end(), std::begin(kSpriteSignature));
}

void KK_LLESprite::WriteHeader(ByteWriter& out, const tagLLE_Header& h) {
  out.U8(h.format);
  out.Bytes(kSpriteSignature);
  out.U8(h.layout);
  for (uint16_t v : {h.fullWidth, h.fullHeight, h.trimLeft, h.trimTop, h.trimWidth, h.trimHeight,
                     uint16_t(h.anchorX), uint16_t(h.anchorY), uint16_t{0}, h.headerSize})
    out.U16(v);
  out.U32(h.runSize);
  out.U8(h.alphaMode);
  out.Fill(0, kReservedTail);
}

bool KK_LLESprite::CheckHeader(const tagLLE_Header& h, bool extra) {
  const int32_t bpp = kk::BytesPerPixel(h.format);
  if (bpp == 0) return false;
  if (h.layout != (extra ? 2 : 1)) return false;
  if (h.headerSize != (extra ? tagLLE_Header::kSizeWithExtra : tagLLE_Header::kSize)) return false;
  if (h.alphaMode > 3 || (h.alphaMode == 1 && bpp != 4) || (h.alphaMode == 2 && bpp != 2)) return false;
  if (h.fullWidth > kMaxSide || h.fullHeight > kMaxSide) return false;
  return int32_t(h.trimLeft) + h.trimWidth <= h.fullWidth && int32_t(h.trimTop) + h.trimHeight <= h.fullHeight;
}

bool KK_LLESprite::CheckRuns(const tagLLE_Header& h, std::span<const uint8_t> runs) {
  if (h.trimWidth == 0 || h.trimHeight == 0) return true;
  const int32_t bpp = kk::BytesPerPixel(h.format);
  size_t pos = 0;
  for (int32_t i = 0; i < h.trimHeight; ++i) {
    if (runs.size() - pos < tagLLE_Line::kHeadSize) return false;
    const tagLLE_Line line = ReadLine(runs.data() + pos);
    if (line.runCount < 0) return false;
    const size_t table = tagLLE_Line::kHeadSize + size_t(line.runCount) * 4;
    if (line.length < table || line.length % 4 != 0 || line.length > runs.size() - pos) return false;
    int32_t span = 0;
    size_t data = table;
    for (int32_t r = 0; r < line.runCount; ++r) {
      span += line.Skip(r) + line.Copy(r);
      if (span > h.trimWidth) return false;
      data = RoundUpTo4(data + RunDataBytes(line.Copy(r), bpp, h.alphaMode));
      if (data > line.length) return false;
    }
    if (line.mark == tagLLE_Line::kLastMark) return true;
    pos += line.length;
  }
  return true;
}

bool KK_LLESprite::TakePayload(ByteReader& in, std::optional<bool> extraFromKind, std::span<const uint8_t>& runs) {
  tagLLE_Header header;
  if (!ParseHeader(in, header)) return false;
  const bool extra = extraFromKind.value_or(header.layout == 2);
  if (!CheckHeader(header, extra)) return false;
  const auto extraBytes = extra ? in.Bytes(kExtraSize) : std::span<const uint8_t>{};
  runs = in.Bytes(header.runSize);
  if (in.Failed() || !CheckRuns(header, runs)) return false;
  m_hasHeader = true;
  m_header = header;
  m_hasExtra = extra;
  std::copy(extraBytes.begin(), extraBytes.end(), m_extra.begin());
  return true;
}

int32_t KK_LLESprite::LoadFromBytes(std::span<const uint8_t> bytes, int32_t skip, int32_t convert, size_t* used) {
  Release();
  ByteReader in(bytes);
  tagChunk_Header chunk;
  if (!kk::ReadChunkHeader(in, chunk) || !IsSpriteChunk(chunk)) return 0;
  for (int32_t s = 0; s < skip; ++s) {
    in.Skip(chunk.size);
    if (!kk::ReadChunkHeader(in, chunk) || !IsSpriteChunk(chunk)) return 0;
  }
  if (chunk.size > in.Remaining() || chunk.size > kMaxChunkBytes) return 0;
  ByteReader payload(in.Bytes(chunk.size));
  std::span<const uint8_t> runs;
  if (!TakePayload(payload, (chunk.kind & 0xFF) == 2, runs)) return 0;
  m_runStore.assign(runs.begin(), runs.end());
  m_runs = m_runStore.data();
  m_flags = kOwnBlock | (m_hasExtra ? kOwnExtra : 0);
  if (used) *used = in.Position();
  const int32_t screen = GetPixelFormatCode();
  if (convert && m_header.format == kk::kFormat32 && screen != kk::kFormatNone && screen != kk::kFormat32)
    ConvertFormat(screen);
  return 1;
}

namespace {
// Sprite files are read whole; a set or animation file may hold many chunks.
constexpr size_t kMaxSpriteFileBytes = size_t(256) << 20;
}  // namespace

int32_t KK_LLESprite::Load(const char* fileName, int32_t skip, int32_t convert) {
  Release();
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, kMaxSpriteFileBytes, bytes)) return 0;
  return LoadFromBytes(bytes, skip, convert);
}

int32_t KK_LLESprite::SaveLLESprite(const char* fileName) const {
  if (!m_hasHeader) return 0;
  return kk::WriteFileBytes(fileName, SaveToBytes());
}

bool KK_LLESprite::LoadArray(const char* fileName, KK_LLESprite* sprites, int32_t count) {
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, kMaxSpriteFileBytes, bytes)) return false;
  size_t at = 0;
  for (int32_t i = 0; i < count; ++i) {
    size_t used = 0;
    if (!sprites[i].LoadFromBytes(std::span<const uint8_t>(bytes).subspan(at), 0, 1, &used)) return false;
    at += used;
  }
  return true;
}

int32_t KK_LLESprite::AttachMemory(const uint8_t* buffer, size_t size) {
  Release();
  if (!buffer) return 0;
  ByteReader in(std::span<const uint8_t>(buffer, size));
  std::span<const uint8_t> runs;
  if (!TakePayload(in, std::nullopt, runs)) return 0;
  m_runs = runs.data();
  m_flags = kBorrowed;
  return 1;
}

std::vector<uint8_t> KK_LLESprite::SaveToBytes() const {
  std::vector<uint8_t> out;
  if (!m_hasHeader) return out;
  ByteWriter w(out);
  kk::WriteChunkHeader(w, {uint32_t(m_header.headerSize) + m_header.runSize,
                           m_hasExtra ? kk::kKindSpriteExtra : kk::kKindSprite});
  WriteHeader(w, m_header);
  if (m_hasExtra) w.Bytes(m_extra);
  if (m_header.runSize) w.Bytes(std::span<const uint8_t>(m_runs, m_header.runSize));
  return out;
}

int32_t KK_LLESprite::EncodeLLESprite(int32_t format, int32_t width, int32_t height, int32_t pitch,
                                      const uint8_t* bits, uint32_t key) {
  return Encode(format, width, height, pitch, bits, true, key, 0);
}

int32_t KK_LLESprite::CreateFromAlpha(int32_t width, int32_t height, int32_t pitch, const uint8_t* bits,
                                      int32_t threshold, int32_t format) {
  if (format != kk::kFormat32 && kk::BytesPerPixel(format) != 2) return 0;
  if (!Encode(format, width, height, pitch, bits, false, 0, threshold < 0 ? 0 : threshold)) return 0;
  // At 16 bits every run carries its alpha bytes, so the sprite is in mode 2 whatever
  // the threshold.
  if (format != kk::kFormat32) m_header.alphaMode = 2;
  else m_header.alphaMode = threshold >= 0 ? 3 : 1;
  return 1;
}

namespace {

// The key in the stored layout, as bytes compared pixel by pixel.
std::array<uint8_t, 4> KeyBytes(int32_t format, uint32_t key) {
  uint32_t v = 0;
  switch (format) {
    case kk::kFormat565: v = kk::Px565::FromRef(key); break;
    case kk::kFormat555: v = kk::Px555::FromRef(key); break;
    case kk::kFormat24: v = kk::RefBlue(key) | (kk::RefGreen(key) << 8) | (kk::RefRed(key) << 16); break;
    default: v = kk::Px8888::FromRef(key); break;
  }
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

struct Run {
  uint16_t skip, copy;
};

}  // namespace

int32_t KK_LLESprite::Encode(int32_t format, int32_t width, int32_t height, int32_t pitch, const uint8_t* bits,
                             bool keyed, uint32_t key, int32_t threshold) {
  Release();
  const int32_t bpp = kk::BytesPerPixel(format);
  // Without a key the source is 32-bit whatever is stored: a 16-bit sprite keeps the
  // fourth bytes as alpha bytes after each run.
  const int32_t srcBpp = keyed ? bpp : 4;
  const bool alphaBytes = !keyed && bpp == 2;
  const kk::RowConverter toStored = alphaBytes ? kk::GetRowConverter(kk::kFormat32, format) : nullptr;
  const int32_t lines = height < 0 ? -height : height;
  if (bpp == 0 || !bits || width < 1 || lines < 1 || width > kMaxSide || lines > kMaxSide ||
      int64_t(pitch) < int64_t(width) * srcBpp || (!keyed && bpp != 4 && !toStored))
    return 0;
  const auto keyBytes = KeyBytes(format, key);
  auto transparent = [&](const uint8_t* px) {
    if (keyed) return std::memcmp(px, keyBytes.data(), size_t(bpp)) == 0;
    return px[3] <= threshold;
  };

  // A growable work buffer: the worst case (alternating pixels, one-pixel columns)
  // needs more than a fixed multiple of the image size.
  std::vector<uint8_t> work;
  ByteWriter w(work);
  std::vector<size_t> starts;  // record offsets of stored lines, from `top`
  std::vector<Run> runs;
  int32_t left = width, top = 0, bottom = 0, minRight = width;
  for (int32_t line = 0; line < lines; ++line) {
    const uint8_t* row = bits + ptrdiff_t(height > 0 ? lines - 1 - line : line) * pitch;
    runs.clear();
    int32_t x = 0;
    while (x < width) {
      const int32_t s0 = x;
      while (x < width && transparent(row + ptrdiff_t(x) * srcBpp)) ++x;
      if (x == width) break;
      const int32_t c0 = x;
      while (x < width && !transparent(row + ptrdiff_t(x) * srcBpp)) ++x;
      runs.push_back({uint16_t(c0 - s0), uint16_t(x - c0)});
    }
    if (runs.empty() && starts.empty()) {
      ++top;
      continue;
    }
    const size_t start = work.size();
    starts.push_back(start);
    w.U16(uint16_t(runs.size()));
    w.U16(0);
    w.U16(0);
    w.U8(0);
    w.U8(0);
    if (!runs.empty()) {
      bottom = line + 1;
      left = std::min<int32_t>(left, runs.front().skip);
      for (const Run& r : runs) {
        w.U16(r.skip);
        w.U16(r.copy);
      }
      int32_t px = 0;
      for (const Run& r : runs) {
        px += r.skip;
        const uint8_t* from = row + ptrdiff_t(px) * srcBpp;
        if (alphaBytes) {
          const size_t at = work.size();
          work.resize(at + size_t(r.copy) * size_t(bpp));
          toStored(work.data() + at, from, r.copy);
          for (int32_t k = 0; k < r.copy; ++k) w.U8(from[size_t(k) * 4 + 3]);
        } else {
          w.Bytes(std::span<const uint8_t>(from, size_t(r.copy) * size_t(bpp)));
        }
        px += r.copy;
        w.Fill(tagLLE_Line::kPadding, RoundUpTo4(work.size() - start) - (work.size() - start));
      }
      const int32_t remaining = width - px;
      StoreU16(&work[start + 4], uint16_t(remaining));
      minRight = std::min(minRight, remaining);
    }
    StoreU16(&work[start + 2], uint16_t(work.size() - start));
  }

  m_hasHeader = true;
  m_flags = kOwnHeader;
  m_header = tagLLE_Header{};
  m_header.format = uint8_t(format);
  m_header.fullWidth = uint16_t(width);
  m_header.fullHeight = uint16_t(lines);
  if (bottom <= top) return 1;  // nothing drawn: an empty trim box and no run data

  for (int32_t line = top; line < bottom; ++line) {
    uint8_t* rec = &work[starts[size_t(line - top)]];
    if (LoadI16(rec) > 0) {
      StoreU16(rec + 4, uint16_t(LoadU16(rec + 4) - minRight));
      StoreU16(rec + 8, uint16_t(LoadU16(rec + 8) - left));
    }
  }
  work[starts[size_t(bottom - 1 - top)] + 7] = tagLLE_Line::kLastMark;
  size_t dataSize = work.size();
  const int32_t trailing = lines - bottom;
  // Trailing empty records are dropped but for the first four bytes of the first one.
  if (trailing > 0) dataSize = dataSize - size_t(trailing) * tagLLE_Line::kHeadSize + 4;

  m_header.trimLeft = uint16_t(left);
  m_header.trimTop = uint16_t(top);
  m_header.trimWidth = uint16_t(width - minRight - left);
  m_header.trimHeight = uint16_t(bottom - top);
  m_header.runSize = uint32_t(dataSize);
  m_runStore.assign(work.begin(), work.begin() + ptrdiff_t(dataSize));
  m_runs = m_runStore.data();
  m_flags |= kOwnRuns;
  return 1;
}

int32_t KK_LLESprite::ConvertFormat(int32_t target) {
  if (!m_hasHeader || m_header.format == target) return 1;
  const int32_t toBpp = kk::BytesPerPixel(target);
  if (toBpp == 0) return 0;
  const kk::RowConverter convert = kk::GetRowConverter(m_header.format, target);
  if (!convert) return 0;
  const int32_t fromBpp = BytesPerPixel();
  // Alpha kept in the fourth byte moves to alpha bytes after each run; a 24-bit target
  // has no place for it.
  const bool alphaBytes = m_header.alphaMode == 1 && toBpp == 2;
  const uint8_t newMode = m_header.alphaMode == 1 ? (alphaBytes ? 2 : 0) : m_header.alphaMode;
  // An empty trim box has no runs to convert, but its header must still agree with
  // the new format.
  if (m_header.trimWidth == 0 || m_header.trimHeight == 0) {
    m_header.format = uint8_t(target);
    m_header.alphaMode = newMode;
    return 1;
  }
  std::vector<uint8_t> out;
  ByteWriter w(out);
  const uint8_t* rec = m_runs;
  for (int32_t i = 0; i < m_header.trimHeight; ++i) {
    const tagLLE_Line line = ReadLine(rec);
    const size_t start = out.size();
    w.Bytes(std::span<const uint8_t>(rec, tagLLE_Line::kHeadSize + size_t(line.runCount) * 4));
    size_t src = tagLLE_Line::kHeadSize + size_t(line.runCount) * 4;
    for (int32_t r = 0; r < line.runCount; ++r) {
      const int32_t copy = line.Copy(r);
      const uint8_t* px = rec + src;
      const size_t at = out.size();
      out.resize(at + size_t(copy) * size_t(toBpp));
      convert(out.data() + at, px, copy);
      if (alphaBytes)
        for (int32_t k = 0; k < copy; ++k) w.U8(px[size_t(k) * 4 + 3]);
      w.Fill(tagLLE_Line::kPadding, RoundUpTo4(out.size() - start) - (out.size() - start));
      src = RoundUpTo4(src + RunDataBytes(copy, fromBpp, m_header.alphaMode));
    }
    StoreU16(&out[start + 2], uint16_t(out.size() - start));
    if (line.mark == tagLLE_Line::kLastMark) break;
    rec += line.length;
  }
  m_header.format = uint8_t(target);
  m_header.alphaMode = newMode;
  m_header.runSize = uint32_t(out.size());
  m_runStore = std::move(out);
  m_runs = m_runStore.data();
  m_flags = (m_flags & ~kBorrowed) | kOwnRuns;
  return 1;
}

void KK_LLESprite::SetAnchor(int32_t x, int32_t y) {
  if (!m_hasHeader) return;
  m_header.anchorX = int16_t(x);
  m_header.anchorY = int16_t(y);
}

void KK_LLESprite::OffsetAnchor(int32_t dx, int32_t dy) {
  if (!m_hasHeader) return;
  m_header.anchorX = int16_t(m_header.anchorX + dx);
  m_header.anchorY = int16_t(m_header.anchorY + dy);
}

void KK_LLESprite::SetExtra(const uint8_t* extra32) {
  if (!m_hasHeader) return;
  m_hasExtra = extra32 != nullptr;
  if (extra32) std::copy(extra32, extra32 + kExtraSize, m_extra.begin());
  m_header.layout = m_hasExtra ? 2 : 1;
  m_header.headerSize = uint16_t(m_hasExtra ? tagLLE_Header::kSizeWithExtra : tagLLE_Header::kSize);
}

bool KK_LLESprite::GetBounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height) const {
  if (!m_hasHeader) return false;
  *left = m_header.trimLeft - m_header.anchorX;
  *top = m_header.trimTop - m_header.anchorY;
  *width = m_header.trimWidth;
  *height = m_header.trimHeight;
  return *width >= 1 && *height >= 1;
}

bool KK_LLESprite::HitTest(int32_t x, int32_t y) const {
  if (!m_hasHeader || m_header.trimWidth == 0 || m_header.trimHeight == 0) return false;
  int64_t px = int64_t(x) + m_header.anchorX - m_header.trimLeft;
  const int64_t py = int64_t(y) + m_header.anchorY - m_header.trimTop;
  if (px < 0 || py < 0 || px >= m_header.trimWidth || py >= m_header.trimHeight) return false;
  tagLLE_Line line = ReadLine(m_runs);
  for (int64_t i = 0; i < py; ++i) {
    if (line.mark == tagLLE_Line::kLastMark) return false;
    line = NextLine(line);
  }
  for (int32_t r = 0; r < line.runCount; ++r) {
    if (px < line.Skip(r)) return false;
    px -= line.Skip(r);
    if (px < line.Copy(r)) return true;
    px -= line.Copy(r);
  }
  return false;
}

void KK_LLESprite::UnpackAlpha(uint8_t* dst, int32_t pitch) const {
  if (m_hasHeader && m_header.alphaMode == 2) UnpackBytes(dst, pitch, true);
}

void KK_LLESprite::Unpack(uint8_t* dst, int32_t pitch) const { UnpackBytes(dst, pitch, false); }

void KK_LLESprite::UnpackBytes(uint8_t* dst, int32_t pitch, bool alpha) const {
  if (!m_hasHeader || m_header.trimWidth == 0 || !m_runs) return;
  const int32_t bpp = BytesPerPixel();
  const uint8_t* rec = m_runs;
  for (int32_t i = 0; i < m_header.trimHeight; ++i) {
    const tagLLE_Line line = ReadLine(rec);
    size_t src = tagLLE_Line::kHeadSize + size_t(line.runCount) * 4;
    int32_t x = 0;
    for (int32_t r = 0; r < line.runCount; ++r) {
      x += line.Skip(r);
      const int32_t copy = line.Copy(r);
      if (alpha) std::memcpy(dst + ptrdiff_t(i) * pitch + x, rec + src + size_t(copy) * size_t(bpp), size_t(copy));
      else std::memcpy(dst + ptrdiff_t(i) * pitch + ptrdiff_t(x) * bpp, rec + src, size_t(copy) * size_t(bpp));
      x += line.Copy(r);
      src = RoundUpTo4(src + RunDataBytes(line.Copy(r), bpp, m_header.alphaMode));
    }
    if (line.mark == tagLLE_Line::kLastMark) break;
    rec += line.length;
  }
}

namespace kk {

std::vector<uint8_t> EncodeSpriteChunk(int32_t format, int32_t width, int32_t height, int32_t pitch,
                                       const uint8_t* bits, uint32_t key, int32_t anchorX, int32_t anchorY,
                                       const uint8_t* extra32) {
  KK_LLESprite sprite;
  if (!sprite.EncodeLLESprite(format, width, -height, pitch, bits, key)) return {};
  sprite.SetAnchor(anchorX, anchorY);
  sprite.SetExtra(extra32);
  return sprite.SaveToBytes();
}

}  // namespace kk
