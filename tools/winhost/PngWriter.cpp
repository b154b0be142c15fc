// The chunks and their CRCs, each row under the filter that leaves the smallest sum of
// differences, and the image data through zlib at its default level: the same choices
// libpng makes for the headless host's frames, so both records take the same room.
#include "tools/winhost/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace winhost {

namespace {

constexpr size_t kChannels = 3;
enum Filter : uint8_t { kNone, kSub, kUp, kAverage, kPaeth, kFilters };

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

uint8_t PaethPredictor(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// One row under one filter, `above` the previous row (zeros for the first).
void FilterRow(Filter f, const uint8_t* row, const uint8_t* above, size_t bytes, uint8_t* into) {
  for (size_t i = 0; i < bytes; ++i) {
    const int a = i >= kChannels ? row[i - kChannels] : 0, b = above[i], c = i >= kChannels ? above[i - kChannels] : 0;
    int predicted = 0;
    if (f == kSub) predicted = a;
    if (f == kUp) predicted = b;
    if (f == kAverage) predicted = (a + b) / 2;
    if (f == kPaeth) predicted = PaethPredictor(a, b, c);
    into[i] = static_cast<uint8_t>(row[i] - predicted);
  }
}

// The filtered bytes read as signed differences: the smaller their sum, the better the
// row compresses as a rule.
uint64_t Cost(const uint8_t* filtered, size_t bytes) {
  uint64_t sum = 0;
  for (size_t i = 0; i < bytes; ++i) sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(filtered[i])));
  return sum;
}

}  // namespace

std::vector<uint8_t> EncodePng(const RgbPicture& picture) {
  const size_t rowBytes = static_cast<size_t>(picture.width) * kChannels;
  if (picture.width <= 0 || picture.height <= 0 || picture.rgb.size() != rowBytes * static_cast<size_t>(picture.height))
    return {};
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig32(header, static_cast<uint32_t>(picture.width));
  PutBig32(header, static_cast<uint32_t>(picture.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, not interlaced
  PutChunk(out, "IHDR", header);

  std::vector<uint8_t> raw((rowBytes + 1) * static_cast<size_t>(picture.height));
  const std::vector<uint8_t> zeros(rowBytes, 0);
  std::array<std::vector<uint8_t>, kFilters> tried;
  for (auto& t : tried) t.resize(rowBytes);
  for (size_t y = 0; y < static_cast<size_t>(picture.height); ++y) {
    const uint8_t* row = picture.rgb.data() + rowBytes * y;
    const uint8_t* above = y ? row - rowBytes : zeros.data();
    size_t best = kNone;
    uint64_t bestCost = UINT64_MAX;
    for (size_t f = kNone; f < kFilters; ++f) {
      FilterRow(static_cast<Filter>(f), row, above, rowBytes, tried[f].data());
      const uint64_t cost = Cost(tried[f].data(), rowBytes);
      if (cost < bestCost) {
        best = f;
        bestCost = cost;
      }
    }
    uint8_t* into = raw.data() + (rowBytes + 1) * y;
    into[0] = static_cast<uint8_t>(best);
    std::copy(tried[best].begin(), tried[best].end(), into + 1);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    return {};
  packed.resize(packedSize);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePngFile(const RgbPicture& picture, const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = EncodePng(picture);
  if (bytes.empty()) return false;
  // Opened by the path's own characters (UTF-16 on Windows), not through a code page.
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  file.close();
  return bool(file);
}

}  // namespace winhost
