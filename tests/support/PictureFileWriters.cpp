// TGA, companion and PSD files written field by field.
#include "support/PictureFileWriters.h"

#include <algorithm>

namespace testing_support {
namespace {

void LE(Bytes& out, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void BE(Bytes& out, uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Text(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }
void Cut(Bytes& out, size_t n) { out.resize(out.size() - std::min(n, out.size())); }
void PatchLE(Bytes& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void PatchBE(Bytes& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}

// Channel c of 0xAARRGGBB pixels: 0 blue, 1 green, 2 red, 3 alpha.
uint8_t Channel(uint32_t pixel, int c) { return static_cast<uint8_t>(pixel >> (8 * c)); }

}  // namespace

Bytes TgaFile(const TgaPicture& p) {
  Bytes out;
  LE(out, static_cast<uint32_t>(p.id.size()), 1);
  LE(out, p.colourMapType, 1);
  LE(out, p.type, 1);
  LE(out, 0, 2);
  LE(out, p.colourMapLength, 2);
  LE(out, p.colourMapBits, 1);
  LE(out, 0, 2);
  LE(out, 0, 2);
  LE(out, static_cast<uint16_t>(p.width), 2);
  LE(out, static_cast<uint16_t>(p.height), 2);
  LE(out, p.depth, 1);
  LE(out, p.descriptor, 1);
  Text(out, p.id);
  if (p.colourMapType != 0) out.insert(out.end(), size_t{p.colourMapLength} * ((p.colourMapBits + 7u) / 8u), 0);
  for (uint32_t v : p.pixels) LE(out, v, p.depth / 8);
  Cut(out, p.cut);
  return out;
}

Bytes VtiFile(const std::vector<VtiLayer>& layers, const std::string& stamp, uint8_t runLimit,
              const VtiDamage& damage) {
  Bytes out;
  Text(out, "VTi.");
  std::string s = stamp.substr(0, 15);
  s.resize(15, '0');
  Text(out, s);
  out.push_back(0);
  LE(out, static_cast<uint32_t>(damage.count.value_or(static_cast<int32_t>(layers.size()))), 4);
  const size_t tableFields = out.size();
  out.resize(out.size() + 20, 0);
  uint32_t at[5];
  at[0] = static_cast<uint32_t>(out.size());
  for (const VtiLayer& l : layers) LE(out, static_cast<uint32_t>(l.width), 4), LE(out, static_cast<uint32_t>(l.height), 4);
  at[1] = static_cast<uint32_t>(out.size());
  for (const VtiLayer& l : layers) LE(out, static_cast<uint32_t>(l.x), 4), LE(out, static_cast<uint32_t>(l.y), 4);
  at[2] = static_cast<uint32_t>(out.size());
  for (const VtiLayer& l : layers) LE(out, l.duration, 4);
  at[3] = static_cast<uint32_t>(out.size());
  for (const VtiLayer& l : layers) {
    out.push_back(static_cast<uint8_t>(l.name.size()));
    Text(out, l.name);
  }
  at[4] = static_cast<uint32_t>(out.size());
  for (const VtiLayer& l : layers) {
    for (int c = 0; c < 4; ++c) {
      size_t lastPair = out.size();
      for (size_t i = 0; i < l.pixels.size();) {
        const uint8_t v = Channel(l.pixels[i], c);
        size_t run = 1;
        while (i + run < l.pixels.size() && run < runLimit && Channel(l.pixels[i + run], c) == v) ++run;
        lastPair = out.size();
        out.push_back(static_cast<uint8_t>(run));
        out.push_back(v);
        i += run;
      }
      if (damage.overrun && lastPair < out.size()) out[lastPair] = static_cast<uint8_t>(out[lastPair] + damage.overrun);
    }
  }
  for (int t = 0; t < 5; ++t)
    PatchLE(out, tableFields + 4 * t, damage.tables[t] ? static_cast<uint32_t>(*damage.tables[t]) : at[t]);
  Cut(out, damage.cut);
  return out;
}

Bytes PackBitsRow(const Bytes& row) {
  Bytes out;
  size_t i = 0;
  while (i < row.size()) {
    size_t run = 1;
    while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(257 - run));  // -(run - 1) as a signed byte
      out.push_back(row[i]);
      i += run;
      continue;
    }
    // A literal stretch up to the next pair of equal bytes.
    size_t n = 1;
    while (i + n < row.size() && n < 128 && !(i + n + 1 < row.size() && row[i + n] == row[i + n + 1])) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    out.insert(out.end(), row.begin() + static_cast<ptrdiff_t>(i), row.begin() + static_cast<ptrdiff_t>(i + n));
    i += n;
  }
  return out;
}

namespace {

// One channel's data as stored: the compression code, then raw or packed rows.
Bytes ChannelData(const PsdLayerDesc& l, int channel) {
  if (!l.channelData.empty() && channel >= 0) return l.channelData;
  const int32_t w = std::max(0, l.right - l.left), h = std::max(0, l.bottom - l.top);
  Bytes out;
  BE(out, l.packBits ? 1 : 0, 2);
  std::vector<Bytes> rows(static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
      rows[static_cast<size_t>(y)].push_back(channel < 0 ? 0x5A : i < l.pixels.size() ? Channel(l.pixels[i], channel) : 0);
    }
  if (!l.packBits) {
    for (const Bytes& r : rows) out.insert(out.end(), r.begin(), r.end());
    return out;
  }
  std::vector<Bytes> packed;
  for (const Bytes& r : rows) packed.push_back(PackBitsRow(r));
  for (const Bytes& r : packed) BE(out, static_cast<uint32_t>(r.size()), 2);
  for (const Bytes& r : packed) out.insert(out.end(), r.begin(), r.end());
  return out;
}

void Resource(Bytes& out, uint16_t id, const Bytes& data) {
  Text(out, "8BIM");
  BE(out, id, 2);
  BE(out, 0, 2);  // empty name, padded to even
  BE(out, static_cast<uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2) out.push_back(0);
}

}  // namespace

Bytes PsdFile(const PsdDesc& p) {
  Bytes out;
  Text(out, p.bogusSignature ? "8BPX" : "8BPS");
  BE(out, 1, 2);
  out.resize(out.size() + 6, 0);
  BE(out, 4, 2);
  BE(out, static_cast<uint32_t>(p.height), 4);
  BE(out, static_cast<uint32_t>(p.width), 4);
  BE(out, 8, 2);
  BE(out, 3, 2);  // RGB
  BE(out, 0, 4);  // no colour-mode data

  Bytes resources;
  Resource(resources, 0x03ED, Bytes(16, 0));  // a resolution record the walk passes over
  if (!p.guides.empty()) {
    Bytes g;
    BE(g, 1, 4);
    BE(g, p.gridCycle, 4);
    BE(g, p.gridCycle, 4);
    BE(g, static_cast<uint32_t>(p.guides.size()), 4);
    for (const PsdGuide& guide : p.guides) {
      BE(g, static_cast<uint32_t>(guide.location), 4);
      g.push_back(guide.horizontal ? 1 : 0);
    }
    Resource(resources, 0x0408, g);
  }
  BE(out, static_cast<uint32_t>(resources.size()), 4);
  out.insert(out.end(), resources.begin(), resources.end());

  Bytes info;
  const int16_t count = static_cast<int16_t>(p.layers.size());
  BE(info, static_cast<uint16_t>(p.negativeLayerCount ? -count : count), 2);
  std::vector<std::vector<std::pair<int16_t, Bytes>>> channels;
  for (const PsdLayerDesc& l : p.layers) {
    std::vector<std::pair<int16_t, Bytes>> list;
    if (l.alpha) list.emplace_back(-1, ChannelData(l, 3));
    list.emplace_back(0, ChannelData(l, 2));
    list.emplace_back(1, ChannelData(l, 1));
    list.emplace_back(2, ChannelData(l, 0));
    for (int16_t id : l.extraChannels) list.emplace_back(id, ChannelData(l, -1));
    BE(info, static_cast<uint32_t>(l.top), 4);
    BE(info, static_cast<uint32_t>(l.left), 4);
    BE(info, static_cast<uint32_t>(l.bottom), 4);
    BE(info, static_cast<uint32_t>(l.right), 4);
    BE(info, static_cast<uint32_t>(list.size()), 2);
    for (const auto& [id, data] : list) {
      BE(info, static_cast<uint16_t>(id), 2);
      BE(info, static_cast<uint32_t>(data.size()), 4);
    }
    Text(info, "8BIMnorm");
    info.insert(info.end(), {255, 0, 0, 0});
    Bytes extra;
    BE(extra, 0, 4);  // no layer mask
    BE(extra, 8, 4);  // blending ranges
    extra.insert(extra.end(), {0, 0, 255, 255, 0, 0, 255, 255});
    extra.push_back(static_cast<uint8_t>(l.name.size()));
    Text(extra, l.name);
    extra.insert(extra.end(), (4 - (l.name.size() + 1) % 4) % 4, 0);  // the name padded to 4
    BE(info, static_cast<uint32_t>(extra.size()), 4);
    info.insert(info.end(), extra.begin(), extra.end());
    channels.push_back(std::move(list));
  }
  for (const auto& list : channels)
    for (const auto& [id, data] : list) info.insert(info.end(), data.begin(), data.end());
  if (info.size() % 2) info.push_back(0);

  const size_t layerSection = out.size();
  BE(out, 0, 4);
  BE(out, static_cast<uint32_t>(info.size()), 4);
  out.insert(out.end(), info.begin(), info.end());
  BE(out, 0, 4);  // no global layer mask
  PatchBE(out, layerSection, static_cast<uint32_t>(out.size() - layerSection - 4));
  BE(out, 0, 2);  // the merged picture, raw and empty: not read
  Cut(out, p.cut);
  return out;
}

}  // namespace testing_support
