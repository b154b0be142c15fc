// The .psp and .qla writers: plain little-endian field writes at fixed offsets.
#include "support/SpriteFileWriters.h"

#include <algorithm>
#include <cstddef>

#include "graphics/KK_LLESprite.h"

namespace testing_support {

namespace {

constexpr uint8_t kMagic[4] = {0x6A, 0x09, 0x6B, 0x07};
constexpr uint32_t kKindSingle = 0x09F90000, kKindSet = 0x09F70000;
constexpr size_t kHeader = 96, kFrame = 44, kPart = 36, kName = 68;

void Put16(Bytes& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

Bytes ChunkHeader(uint32_t size, uint32_t kind) {
  Bytes h(12);
  Put32(h, 0, size);
  Put32(h, 4, kind);
  std::copy(std::begin(kMagic), std::end(kMagic), h.begin() + 8);
  return h;
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

}  // namespace

Bytes PspFile(const std::vector<Bytes>& chunks) {
  Bytes out;
  for (const Bytes& c : chunks) Append(out, c);
  return out;
}

Bytes SolidSpriteChunk(int32_t format, int32_t width, int32_t height, uint32_t colour, int32_t anchorX,
                       int32_t anchorY, int32_t holeX, int32_t holeY) {
  const int32_t bpp = format == 32 ? 4 : format == 24 ? 3 : 2;
  auto pack = [&](uint32_t ref) -> uint32_t {
    const uint32_t r = ref & 0xFF, g = (ref >> 8) & 0xFF, b = (ref >> 16) & 0xFF;
    if (format == 16) return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    if (format == 17) return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    return r << 16 | g << 8 | b;
  };
  Bytes pixels(size_t(width) * size_t(height) * size_t(bpp));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = pack(x == holeX && y == holeY ? 0xFF00FF : colour);
      for (int32_t k = 0; k < bpp; ++k) pixels[size_t((y * width + x) * bpp + k)] = uint8_t(v >> (8 * k));
    }
  return kk::EncodeSpriteChunk(format, width, height, width * bpp, pixels.data(), 0xFF00FF, anchorX, anchorY);
}

Bytes QlaPayload(const QlaAnimation& a) {
  size_t parts = 0;
  for (const QlaFrame& f : a.frames) parts += f.parts.size();
  Bytes b(kHeader + kFrame * a.frames.size() + kPart * parts, 0);
  b[0] = 'k';
  b[1] = 'a';
  Put16(b, 4, uint16_t(a.originX));
  Put16(b, 6, uint16_t(a.originY));
  Put32(b, 8, uint32_t(a.frames.size()));
  Put32(b, 16, a.useBounds ? 1 : 0);
  Put16(b, 20, uint16_t(a.left));
  Put16(b, 22, uint16_t(a.top));
  Put16(b, 24, uint16_t(a.right));
  Put16(b, 26, uint16_t(a.bottom));
  std::copy_n(a.name.begin(), std::min(a.name.size(), kName), b.begin() + 28);
  size_t part = kHeader + kFrame * a.frames.size();
  for (size_t i = 0; i < a.frames.size(); ++i) {
    const QlaFrame& f = a.frames[i];
    const size_t at = kHeader + kFrame * i;
    Put16(b, at + 2, f.duration);
    Put32(b, at + 8, uint32_t(f.parts.size()));
    Put16(b, at + 40, uint16_t(f.loopTarget));
    Put16(b, at + 42, f.repeat);
    for (const QlaPart& p : f.parts) {
      Put16(b, part + 2, p.sprite);
      Put16(b, part + 4, uint16_t(p.x));
      Put16(b, part + 6, uint16_t(p.y));
      Put32(b, part + 8, p.flags);
      b[part + 12] = p.level;
      b[part + 13] = p.r;
      b[part + 14] = p.g;
      b[part + 15] = p.b;
      Put16(b, part + 16, uint16_t(p.dx));
      Put16(b, part + 18, uint16_t(p.dy));
      Put32(b, part + 20, p.moves ? 1 : 0);
      part += kPart;
    }
  }
  return b;
}

namespace {

Bytes AnimationChunk(const QlaAnimation& a, uint32_t kind, size_t cut) {
  Bytes payload = QlaPayload(a);
  Bytes out = ChunkHeader(uint32_t(payload.size()), kind);
  payload.resize(payload.size() - std::min(cut, payload.size()));
  Append(out, payload);
  return out;
}

Bytes Sprites(const Bytes& chunks, size_t cut) {
  return Bytes(chunks.begin(), chunks.end() - ptrdiff_t(std::min(cut, chunks.size())));
}

}  // namespace

Bytes QlaFile(const QlaAnimation& a, const Bytes& spriteChunks, const QlaDamage& damage) {
  Bytes out = AnimationChunk(a, damage.kind.value_or(kKindSingle), damage.payloadCut);
  if (damage.payloadCut == 0) Append(out, Sprites(spriteChunks, damage.spriteCut));
  return out;
}

Bytes QlaSetFile(const std::vector<QlaAnimation>& animations, const Bytes& spriteChunks, const QlaDamage& damage) {
  Bytes out = ChunkHeader(damage.setCount.value_or(uint32_t(animations.size())), damage.kind.value_or(kKindSet));
  for (size_t i = 0; i < animations.size(); ++i)
    Append(out, AnimationChunk(animations[i], kKindSingle, i + 1 == animations.size() ? damage.payloadCut : 0));
  if (damage.payloadCut == 0) Append(out, Sprites(spriteChunks, damage.spriteCut));
  return out;
}

}  // namespace testing_support
