// The alpha plane in memory: creation, combining planes, scaling and the run-length
// form of its values.
#include "graphics/KK_AlphaChannel.h"

#include <algorithm>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/K_Dib.h"
#include "graphics/KK_LLESprite.h"

namespace {
int32_t RoundUp4(int32_t v) { return (v + 3) & ~3; }
}  // namespace

void KK_AlphaChannel::Release() {
  m_width = m_height = m_dataSize = 0;
  m_data.clear();
  m_data.shrink_to_fit();
}

int32_t KK_AlphaChannel::Create(int32_t width, int32_t height) {
  Release();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
  m_width = width;
  m_height = height;
  m_dataSize = RoundUp4(width * height);
  m_data.assign(size_t(m_dataSize), 0);
  return 1;
}

void KK_AlphaChannel::Clear() { std::fill(m_data.begin(), m_data.end(), uint8_t{0}); }

uint8_t* KK_AlphaChannel::Address(int32_t x, int32_t y) {
  if (m_data.empty()) return nullptr;
  return m_data.data() + ptrdiff_t(y) * m_width + x;
}

const uint8_t* KK_AlphaChannel::Address(int32_t x, int32_t y) const {
  if (m_data.empty()) return nullptr;
  return m_data.data() + ptrdiff_t(y) * m_width + x;
}

void KK_AlphaChannel::Draw(const KK_AlphaChannel& source, int32_t x, int32_t y, int32_t operation) {
  if (Empty() || source.Empty()) return;
  const int32_t left = std::max(0, x), top = std::max(0, y);
  const int64_t right = std::min<int64_t>(m_width, int64_t(x) + source.m_width);
  const int64_t bottom = std::min<int64_t>(m_height, int64_t(y) + source.m_height);
  if (right <= left || bottom <= top) return;
  for (int32_t row = top; row < bottom; ++row) {
    uint8_t* d = Address(left, row);
    const uint8_t* s = source.Address(left - x, row - y);
    for (int32_t i = 0; i < right - left; ++i) {
      if (operation == 1) d[i] = std::max(d[i], s[i]);
      else if (operation == 2) d[i] = std::min(d[i], s[i]);
      else d[i] = s[i];
    }
  }
}

void KK_AlphaChannel::Scale(int32_t factor) {
  factor = std::clamp(factor, int32_t{0}, int32_t{255});
  for (int32_t i = 0; i < m_width * m_height; ++i) m_data[size_t(i)] = uint8_t(m_data[size_t(i)] * factor / 256);
}

int32_t KK_AlphaChannel::Encode(uint8_t* buffer) const {
  const int32_t total = m_width * m_height;
  int32_t out = 0;
  for (int32_t i = 0; i < total;) {
    const uint8_t v = m_data[size_t(i)];
    int32_t run = 1;
    while (i + run < total && run < 255 && m_data[size_t(i + run)] == v) ++run;
    buffer[out++] = v;
    buffer[out++] = uint8_t(run);
    i += run;
  }
  return out;
}

int32_t KK_AlphaChannel::Decode(const uint8_t* encoded, int32_t length) {
  const int32_t total = m_width * m_height;
  int32_t at = 0;
  for (int32_t i = 0; i + 1 < length; i += 2) {
    const int32_t count = encoded[i + 1];
    if (count < 1 || count > total - at) return 0;
    std::fill_n(m_data.begin() + at, count, encoded[i]);
    at += count;
  }
  return at == total && length % 2 == 0 ? 1 : 0;
}

std::vector<uint8_t> KK_AlphaChannel::SaveToBytes() const {
  std::vector<uint8_t> out;
  if (Empty()) return out;
  std::vector<uint8_t> encoded(size_t(m_dataSize) * 2 + 40);
  const int32_t encodedLength = Encode(encoded.data());
  const bool rle = encodedLength < m_dataSize;
  ByteWriter w(out);
  kk::WriteChunkHeader(w, {uint32_t(kHeaderSize + (rle ? encodedLength : m_dataSize)), rle ? kKindEncoded : kKindPlain});
  w.U8(0);
  w.U8('K');
  w.U8('A');
  w.U8(kVersion);
  w.U16(uint16_t(m_width));
  w.U16(uint16_t(m_height));
  w.U32(uint32_t(m_dataSize));
  if (rle) w.Bytes(std::span<const uint8_t>(encoded.data(), size_t(encodedLength)));
  else w.Bytes(m_data);
  return out;
}

int32_t KK_AlphaChannel::LoadFromBytes(std::span<const uint8_t> bytes, size_t* used) {
  Release();
  ByteReader in(bytes);
  tagChunk_Header chunk;
  if (!kk::ReadChunkHeader(in, chunk) || ((chunk.kind >> 8) & 0xFF) != 0x85) return 0;
  if (chunk.size < uint32_t(kHeaderSize) || chunk.size > in.Remaining()) return 0;
  const uint8_t zero = in.U8(), k = in.U8(), a = in.U8(), version = in.U8();
  const int32_t width = in.U16(), height = in.U16();
  const uint32_t dataSize = in.U32();
  if (in.Failed() || zero != 0 || k != 'K' || a != 'A' || version != kVersion) return 0;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
  if (dataSize != uint32_t(RoundUp4(width * height))) return 0;
  const auto body = in.Bytes(chunk.size - kHeaderSize);
  const bool encoded = (chunk.kind & 0x10) != 0;
  if (in.Failed() || (!encoded && body.size() < dataSize)) return 0;
  if (!Create(width, height)) return 0;
  if (encoded) {
    if (!Decode(body.data(), int32_t(body.size()))) {
      Release();
      return 0;
    }
  } else {
    std::copy(body.begin(), body.begin() + ptrdiff_t(dataSize), m_data.begin());
  }
  if (used) *used = in.Position();
  return 1;
}

namespace {
constexpr size_t kMaxAlphaFileBytes = size_t(256) << 20;
}  // namespace

int32_t KK_AlphaChannel::Save(const char* fileName) const {
  if (Empty()) return 0;
  return kk::WriteFileBytes(fileName, SaveToBytes());
}

int32_t KK_AlphaChannel::Load(const char* fileName) {
  Release();
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, kMaxAlphaFileBytes, bytes)) return 0;
  return LoadFromBytes(bytes);
}

int32_t KK_AlphaChannel::CreateFromImage(const K_Dib& image, int32_t byteIndex) {
  if (image.BytesPerPixel() != 4 || !image.GetBits()) return 0;
  if (!Create(image.Width(), image.Height())) return 0;
  const int32_t b = std::clamp(byteIndex, 0, 3);
  for (int32_t y = 0; y < m_height; ++y) {
    const uint8_t* row = image.GetBits() + ptrdiff_t(y) * image.Pitch();
    for (int32_t x = 0; x < m_width; ++x) *Address(x, y) = row[x * 4 + b];
  }
  return 1;
}

void KK_AlphaChannel::ClearImageAlpha(K_Dib& image) {
  if (image.BytesPerPixel() != 4 || !image.GetBits()) return;
  for (int32_t y = 0; y < image.Height(); ++y)
    for (int32_t x = 0; x < image.Width(); ++x) image.PixelAddress(x, y)[3] = 0;
}

void KK_AlphaChannelSet::Clear() {
  while (!m_planes.empty()) RemoveLast();
}

KK_AlphaChannel* KK_AlphaChannelSet::AddChannel() {
  m_planes.push_back(new KK_AlphaChannel);
  return m_planes.back();
}

void KK_AlphaChannelSet::RemoveLast() {
  if (m_planes.empty()) return;
  delete m_planes.back();
  m_planes.pop_back();
}

void KK_AlphaChannelSet::RemoveAt(int32_t index) {
  if (index < 0 || index >= Count()) return;
  delete m_planes[size_t(index)];
  m_planes.erase(m_planes.begin() + index);
}

void KK_AlphaChannelSet::Move(int32_t from, int32_t to) {
  if (from < 0 || to < 0 || from >= Count() || to >= Count() || from == to) return;
  KK_AlphaChannel* p = m_planes[size_t(from)];
  m_planes.erase(m_planes.begin() + from);
  m_planes.insert(m_planes.begin() + to, p);
}

KK_AlphaChannel* KK_AlphaChannelSet::At(int32_t index) {
  return index >= 0 && index < Count() ? m_planes[size_t(index)] : nullptr;
}

std::vector<uint8_t> KK_AlphaChannelSet::SaveToBytes() const {
  std::vector<uint8_t> out;
  for (const KK_AlphaChannel* p : m_planes) {
    const auto one = p->SaveToBytes();
    out.insert(out.end(), one.begin(), one.end());
  }
  return out;
}

int32_t KK_AlphaChannelSet::LoadFromBytes(std::span<const uint8_t> bytes) {
  Clear();
  size_t at = 0;
  for (;;) {
    KK_AlphaChannel* p = AddChannel();
    size_t used = 0;
    if (!p->LoadFromBytes(bytes.subspan(at), &used)) {
      RemoveLast();
      return 1;
    }
    at += used;
  }
}

int32_t KK_AlphaChannelSet::SaveFile(const char* fileName) const {
  if (m_planes.empty()) return 0;
  for (const KK_AlphaChannel* p : m_planes)
    if (p->Empty()) return 0;
  return kk::WriteFileBytes(fileName, SaveToBytes());
}

int32_t KK_AlphaChannelSet::LoadFile(const char* fileName) {
  Clear();
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, kMaxAlphaFileBytes, bytes)) return 1;
  return LoadFromBytes(bytes);
}

void KK_AlphaChannelSet::Split(const KK_AlphaChannel& source, int32_t columns, int32_t rows) {
  if (columns < 1 || rows < 1 || (columns == 1 && rows == 1)) return;
  Clear();
  const int32_t cw = source.Width() / columns, ch = source.Height() / rows;
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < columns; ++c) {
      KK_AlphaChannel* p = AddChannel();
      if (p->Create(cw, ch)) p->Draw(source, -c * cw, -r * ch, 0);
    }
}
