// The PSD layer reader: header, guides from the grid-and-guides resource, layer
// records and their channel data, raw or PackBits.
#include "graphics/PsdLayers.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"

namespace {

constexpr size_t kMaxPsdFileBytes = size_t{256} * 1024 * 1024;
constexpr uint16_t kGuidesResource = 0x0408;
constexpr uint32_t kGuidesHeaderBytes = 16;
// Guide positions are in fractions of a pixel: a grid cycle of 576 (18 x 32) is the
// usual 1/32 pixel.
constexpr uint32_t kDefaultGridCycle = 576;
constexpr uint32_t kGridCycleDivisions = 18;
constexpr uint32_t kUnnamedMs = 200;
constexpr uint64_t kMsPerSecond = 1000;
constexpr uint8_t kOpaque = 255;
// PackBits at its best repeats one byte 128 times for two bytes of data, so a layer
// needs at least a byte of channel data for every 64 of its pixels before its buffer
// is made.
constexpr uint64_t kMaxPixelsPerDataByte = 64;

// Big-endian fields over the sticky-failure reader.
class BigEndian {
 public:
  explicit BigEndian(std::span<const uint8_t> bytes) : in_(bytes) {}
  uint32_t U(size_t n) {
    const auto b = in_.Bytes(n);
    uint32_t v = 0;
    for (uint8_t x : b) v = (v << 8) | x;
    return v;
  }
  uint8_t U8() { return static_cast<uint8_t>(U(1)); }
  uint16_t U16() { return static_cast<uint16_t>(U(2)); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() { return U(4); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  std::span<const uint8_t> Bytes(size_t n) { return in_.Bytes(n); }
  // A length field followed by that many bytes.
  std::span<const uint8_t> Block() { return Bytes(U32()); }
  void Skip(size_t n) { in_.Skip(n); }
  bool Failed() const { return in_.Failed(); }
  size_t Remaining() const { return in_.Remaining(); }

 private:
  ByteReader in_;
};

struct Guides {
  std::optional<int32_t> vertical, horizontal;
};

void ReadGuides(std::span<const uint8_t> data, Guides& guides) {
  BigEndian in(data);
  in.U32();  // version
  in.U32();
  uint32_t cycle = in.U32();
  if (cycle < kGridCycleDivisions) cycle = kDefaultGridCycle;
  const int64_t divisor = cycle / kGridCycleDivisions;
  const uint32_t count = in.U32();
  bool sawVertical = false, sawHorizontal = false;
  for (uint32_t i = 0; i < count && !(sawVertical && sawHorizontal); ++i) {
    const int32_t location = in.I32();
    const uint8_t direction = in.U8();
    if (in.Failed()) return;
    const auto at = static_cast<int32_t>(location / divisor);
    if (direction == 0) guides.vertical = at, sawVertical = true;
    if (direction == 1) guides.horizontal = at, sawHorizontal = true;
  }
}

// Walks the image resources up to the guides; false when a resource leaves the section.
bool ReadResources(std::span<const uint8_t> section, Guides& guides) {
  BigEndian in(section);
  while (in.Remaining() > 0) {
    in.Skip(4);  // signature
    const uint16_t id = in.U16();
    const uint8_t nameLength = in.U8();
    in.Skip(nameLength + ((nameLength + 1u) % 2));  // length byte and name padded to even
    const auto data = in.Block();
    if (in.Failed()) return false;
    if (data.size() % 2 && in.Remaining() > 0) in.Skip(1);
    if (id == kGuidesResource && data.size() > kGuidesHeaderBytes) {
      ReadGuides(data, guides);
      return true;
    }
  }
  return true;
}

struct ChannelInfo {
  int16_t id;
  uint32_t length;
};

struct LayerRecord {
  int32_t top = 0, left = 0, bottom = 0, right = 0;
  std::vector<ChannelInfo> channels;
  std::string name;
};

bool ReadRecord(BigEndian& in, LayerRecord& r) {
  r.top = in.I32();
  r.left = in.I32();
  r.bottom = in.I32();
  r.right = in.I32();
  const uint16_t channels = in.U16();
  for (uint16_t c = 0; c < channels && !in.Failed(); ++c) {
    const int16_t id = in.I16();
    r.channels.push_back({id, in.U32()});
  }
  in.Skip(12);  // blend signature and key, opacity, clipping, flags, filler
  BigEndian extra(in.Block());
  extra.Block();  // layer mask
  extra.Block();  // blending ranges
  const auto name = extra.Bytes(extra.U8());
  r.name.assign(name.begin(), name.end());
  return !in.Failed() && !extra.Failed();
}

// Byte of a pixel each channel id fills; -1 for channels whose data is dropped.
int ChannelByte(int16_t id) {
  switch (id) {
    case 0: return 2;
    case 1: return 1;
    case 2: return 0;
    case -1: return 3;
    default: return -1;
  }
}

// Raw rows, or one PackBits stream over the layer after the row counts; either way
// no more than the layer's pixels and no more than the channel's bytes.
// Fills byte `byte` of each four-byte pixel of `out`, by index: an empty layer's
// buffer has no storage to offset.
void DecodeChannel(std::span<const uint8_t> data, std::vector<uint8_t>& buffer, size_t byte, int32_t rows) {
  const size_t pixels = buffer.size() / 4;
  uint8_t* const out = buffer.data();
  BigEndian in(data);
  const uint16_t compression = in.U16();
  if (in.Failed()) return;
  size_t p = 0;
  if (compression != 1) {
    for (uint8_t v : data.subspan(2, std::min(pixels, data.size() - 2))) out[4 * p++ + byte] = v;
    return;
  }
  in.Skip(2 * static_cast<size_t>(rows));
  while (p < pixels) {
    const auto header = static_cast<int8_t>(in.U8());
    if (in.Failed()) return;
    if (header >= 0) {
      for (int i = 0; i <= header && p < pixels; ++i) {
        const uint8_t v = in.U8();
        if (in.Failed()) return;
        out[4 * p++ + byte] = v;
      }
    } else if (header != -128) {
      const uint8_t v = in.U8();
      if (in.Failed()) return;
      for (int i = 0; i < 1 - header && p < pixels; ++i) out[4 * p++ + byte] = v;
    }
  }
}

int32_t Offset(int32_t edge, const std::optional<int32_t>& guide) {
  return guide ? static_cast<int32_t>(int64_t{edge} - *guide) : 0;
}

bool ReadLayers(std::span<const uint8_t> info, const Guides& guides, PsdLayerSet& out) {
  BigEndian in(info);
  const int count = std::abs(static_cast<int>(in.I16()));
  std::vector<LayerRecord> records;
  for (int i = 0; i < count; ++i) {
    LayerRecord r;
    if (!ReadRecord(in, r)) return false;
    records.push_back(std::move(r));
  }
  int64_t total = 0;
  for (const LayerRecord& r : records) {
    const int64_t w = int64_t{r.right} - r.left, h = int64_t{r.bottom} - r.top;
    // Each side must fit the set's 32-bit sizes, even when the other makes the area 0.
    if (w < 0 || h < 0 || w > INT32_MAX || h > INT32_MAX || w * h > kMaxPsdLayerPixels) return false;
    total += w * h;
    if (total > kMaxPsdTotalPixels) return false;
    const auto pixels = static_cast<size_t>(w * h);
    uint64_t data = 0;
    for (const ChannelInfo& c : r.channels) data += c.length;
    if (pixels / kMaxPixelsPerDataByte > std::min<uint64_t>(data, in.Remaining())) return false;
    std::vector<uint8_t> buffer(pixels * 4);
    bool alpha = false;
    for (const ChannelInfo& c : r.channels) {
      const auto data = in.Bytes(c.length);
      if (in.Failed()) return false;
      const int byte = ChannelByte(c.id);
      if (byte < 0) continue;
      alpha |= byte == 3;
      DecodeChannel(data, buffer, static_cast<size_t>(byte), static_cast<int32_t>(h));
    }
    if (!alpha)
      for (size_t p = 0; p < pixels; ++p) buffer[4 * p + 3] = kOpaque;
    out.pixels.push_back(std::move(buffer));
    out.sizes.emplace_back(static_cast<int32_t>(w), static_cast<int32_t>(h));
    out.offsets.emplace_back(Offset(r.left, guides.vertical), Offset(r.top, guides.horizontal));
    out.durations.push_back(PsdLayerDuration(r.name));
    out.names.push_back(r.name);
  }
  return true;
}

bool Parse(std::span<const uint8_t> bytes, PsdLayerSet& out) {
  static constexpr uint8_t kSignature[] = {'8', 'B', 'P', 'S'};
  BigEndian in(bytes);
  const auto signature = in.Bytes(4);
  in.Skip(22);  // the rest of the file header
  if (in.Failed() || !std::equal(signature.begin(), signature.end(), kSignature)) return false;
  in.Block();  // colour-mode data
  const auto resources = in.Block();
  const auto layersAndMasks = in.Block();
  if (in.Failed()) return false;
  Guides guides;
  if (!ReadResources(resources, guides)) return false;
  if (layersAndMasks.empty()) return true;
  BigEndian section(layersAndMasks);
  const auto info = section.Block();
  if (section.Failed()) return false;
  return info.empty() || ReadLayers(info, guides, out);
}

}  // namespace

uint32_t PsdLayerDuration(std::string_view name) {
  if (name.empty()) return 0;
  if (name.find_first_not_of("0123456789.") != std::string_view::npos) return kUnnamedMs;
  // Whole seconds, then up to three decimals as milliseconds; the rest is truncated.
  uint64_t ms = 0;
  size_t i = 0;
  for (; i < name.size() && name[i] != '.'; ++i) ms = std::min<uint64_t>(ms * 10 + (name[i] - '0'), UINT32_MAX);
  ms = std::min<uint64_t>(ms * kMsPerSecond, UINT32_MAX);
  uint64_t scale = kMsPerSecond / 10;
  for (++i; i < name.size() && name[i] != '.' && scale > 0; ++i, scale /= 10) ms += (name[i] - '0') * scale;
  return static_cast<uint32_t>(std::min<uint64_t>(ms, UINT32_MAX));
}

bool ParsePsdLayers(std::span<const uint8_t> bytes, PsdLayerSet& out) {
  out.Clear();
  if (Parse(bytes, out)) return true;
  out.Clear();
  return false;
}

bool ParsePsdLayers(const std::string& fileName, PsdLayerSet& out) {
  out.Clear();
  std::vector<uint8_t> bytes;
  return kk::ReadFileBytes(fileName.c_str(), kMaxPsdFileBytes, bytes) && ParsePsdLayers(bytes, out);
}
