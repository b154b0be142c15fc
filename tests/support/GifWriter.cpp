// GIF encoding for fixtures: block layout and an LZW encoder whose code-size steps
// follow the decoder's lag of one entry.
#include "support/GifWriter.h"

#include <algorithm>
#include <cstddef>
#include <map>

namespace testing_support {

namespace {

using Bytes = std::vector<uint8_t>;

// Table size exponent: 2^(n+1) entries hold `count`.
uint8_t TableBits(size_t count) {
  uint8_t n = 0;
  while ((size_t(2) << n) < count && n < 7) ++n;
  return n;
}

void PutTable(Bytes& out, const std::vector<uint32_t>& table) {
  const size_t entries = size_t(2) << TableBits(table.size());
  for (size_t i = 0; i < entries; ++i) {
    const uint32_t c = i < table.size() ? table[i] : 0;
    out.push_back(uint8_t(c >> 16));
    out.push_back(uint8_t(c >> 8));
    out.push_back(uint8_t(c));
  }
}

void Put16(Bytes& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

class BitSink {
 public:
  void Code(uint32_t code, int32_t size) {
    m_acc |= code << m_bits;
    m_bits += size;
    while (m_bits >= 8) {
      m_data.push_back(uint8_t(m_acc));
      m_acc >>= 8;
      m_bits -= 8;
    }
  }
  void SubBlocks(Bytes& out) {
    if (m_bits > 0) m_data.push_back(uint8_t(m_acc));
    for (size_t at = 0; at < m_data.size(); at += 255) {
      const size_t n = std::min<size_t>(255, m_data.size() - at);
      out.push_back(uint8_t(n));
      out.insert(out.end(), m_data.begin() + ptrdiff_t(at), m_data.begin() + ptrdiff_t(at + n));
    }
    out.push_back(0);
  }

 private:
  Bytes m_data;
  uint32_t m_acc = 0;
  int32_t m_bits = 0;
};

// Codes as given, each as wide as the decoder's table needs at that point: a code
// after another (not after a clear) adds an entry, and the width grows when the entry
// count reaches 2^width.
void RawCodes(Bytes& out, const std::vector<int32_t>& codes, int32_t minCode) {
  out.push_back(uint8_t(minCode));
  BitSink sink;
  const int32_t clear = 1 << minCode, end = clear + 1;
  int32_t size = minCode + 1, next = clear + 2;
  bool previous = false;
  for (int32_t code : codes) {
    sink.Code(uint32_t(code), size);
    if (code == clear) {
      size = minCode + 1;
      next = clear + 2;
      previous = false;
      continue;
    }
    if (code == end) continue;
    if (previous && next < 4096 && ++next == (1 << size) && size < 12) ++size;
    previous = true;
  }
  sink.SubBlocks(out);
}

void Lzw(Bytes& out, const std::vector<uint8_t>& pixels, int32_t minCode, bool clearEvery, bool leadingClear) {
  out.push_back(uint8_t(minCode));
  BitSink sink;
  const int32_t clear = 1 << minCode, end = clear + 1;
  if (clearEvery) {
    for (uint8_t p : pixels) {
      sink.Code(uint32_t(clear), minCode + 1);
      sink.Code(p, minCode + 1);
    }
    sink.Code(uint32_t(end), minCode + 1);
    sink.SubBlocks(out);
    return;
  }
  int32_t size = minCode + 1, next = clear + 2;
  std::map<std::pair<int32_t, uint8_t>, int32_t> dict;
  if (leadingClear) sink.Code(uint32_t(clear), size);
  // After each code the decoder's table has one entry fewer than ours; the size grows
  // when that count reaches 2^size, as the decoder sees it.
  auto emit = [&](int32_t code) {
    sink.Code(uint32_t(code), size);
    if (next >= (1 << size) && size < 12) ++size;
  };
  if (pixels.empty()) {
    sink.Code(uint32_t(end), size);
    sink.SubBlocks(out);
    return;
  }
  int32_t w = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    const uint8_t k = pixels[i];
    auto it = dict.find({w, k});
    if (it != dict.end()) {
      w = it->second;
      continue;
    }
    emit(w);
    if (next < 4096) dict[{w, k}] = next++;
    w = k;
  }
  emit(w);
  sink.Code(uint32_t(end), size);
  sink.SubBlocks(out);
}

std::vector<uint8_t> Interlaced(const GifFrameDesc& f) {
  std::vector<uint8_t> out;
  static constexpr int32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int32_t pass = 0; pass < 4; ++pass)
    for (int32_t y = kStart[pass]; y < f.height; y += kStep[pass])
      for (int32_t x = 0; x < f.width; ++x) {
        const size_t i = size_t(y) * f.width + size_t(x);
        out.push_back(i < f.indices.size() ? f.indices[i] : 0);
      }
  // Surplus pixels follow the image.
  const size_t area = size_t(f.width) * f.height;
  if (f.indices.size() > area) out.insert(out.end(), f.indices.begin() + ptrdiff_t(area), f.indices.end());
  return out;
}

void Control(Bytes& out, uint8_t disposal, bool transparent, uint8_t index, uint16_t delay) {
  out.insert(out.end(), {0x21, 0xF9, 0x04, uint8_t((disposal & 7) << 2 | (transparent ? 1 : 0))});
  Put16(out, delay);
  out.push_back(index);
  out.push_back(0);
}

}  // namespace

std::vector<uint8_t> EncodeGif(const GifDesc& gif) {
  const char* sig = gif.bogusSignature ? "XYZ12a" : gif.version87a ? "GIF87a" : "GIF89a";
  Bytes out(sig, sig + 6);
  Put16(out, gif.width);
  Put16(out, gif.height);
  const bool global = !gif.globalTable.empty();
  out.push_back(uint8_t((global ? 0x80 : 0) | (global ? TableBits(gif.globalTable.size()) : 0)));
  out.push_back(gif.background);
  out.push_back(0);
  if (global) PutTable(out, gif.globalTable);
  for (const GifFrameDesc& f : gif.frames) {
    if (f.control) Control(out, f.disposal, f.transparent, f.transparentIndex, f.delay);
    out.push_back(0x2C);
    Put16(out, f.left);
    Put16(out, f.top);
    Put16(out, f.width);
    Put16(out, f.height);
    const bool local = !f.localTable.empty();
    out.push_back(uint8_t((local ? 0x80 | TableBits(f.localTable.size()) : 0) | (f.interlace ? 0x40 : 0)));
    if (local) PutTable(out, f.localTable);
    const size_t entries = size_t(2) << TableBits(local ? f.localTable.size() : gif.globalTable.size());
    int32_t minCode = 2;
    while ((size_t(1) << minCode) < entries) ++minCode;
    if (f.minCodeSize) minCode = f.minCodeSize;
    if (!f.codes.empty())
      RawCodes(out, f.codes, minCode);
    else
      Lzw(out, f.interlace ? Interlaced(f) : f.indices, minCode, gif.clearBeforeEveryCode, f.leadingClear);
  }
  if (gif.trailingControl) Control(out, 2, true, 0, 7);
  out.push_back(0x3B);
  return out;
}

}  // namespace testing_support
