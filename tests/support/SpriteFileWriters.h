// Byte-level writers of the sprite library's set (.psp) and animation (.qla) files, from
// plain descriptions, with options to damage them. They never call the readers' code, so
// tests of the readers check them against an independent picture of the format; the
// fixture and corpus tools use them to make the game's synthetic data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

// A .psp file: the chunks one after another (each from kk::EncodeSpriteChunk or raw).
Bytes PspFile(const std::vector<Bytes>& chunks);

// A sprite chunk of one solid colour (a COLORREF) in a format, with its anchor; the
// pixel at (holeX, holeY) is the magenta key when it lies inside.
Bytes SolidSpriteChunk(int32_t format, int32_t width, int32_t height, uint32_t colour, int32_t anchorX,
                       int32_t anchorY, int32_t holeX = -1, int32_t holeY = -1);

struct QlaPart {
  uint16_t sprite = 0;
  int16_t x = 0, y = 0;
  uint32_t flags = 0;  // placement bits and effect mode
  uint8_t level = 0;
  uint8_t r = 0, g = 0, b = 0;
  int16_t dx = 0, dy = 0;
  bool moves = false;
};

struct QlaFrame {
  uint16_t duration = 1;  // tens of milliseconds
  int16_t loopTarget = 0;
  uint16_t repeat = 0;
  std::vector<QlaPart> parts;
};

struct QlaAnimation {
  int16_t originX = 0, originY = 0;
  bool useBounds = false;
  int16_t left = 0, top = 0, right = 0, bottom = 0;
  std::string name;  // up to 68 bytes; a 68-byte name has no terminator
  std::vector<QlaFrame> frames;
};

struct QlaDamage {
  std::optional<uint32_t> kind;      // of the (first) chunk header
  std::optional<uint32_t> setCount;  // the set chunk's count field
  size_t payloadCut = 0;             // bytes missing from the end of the (last) payload
  size_t spriteCut = 0;              // bytes missing from the end of the sprite chunks
};

// The 96 + 44 x frames + 36 x parts payload, every field at its offset, 0 elsewhere.
Bytes QlaPayload(const QlaAnimation& animation);
// A single-animation file: chunk header, payload, then the sprite chunks.
Bytes QlaFile(const QlaAnimation& animation, const Bytes& spriteChunks, const QlaDamage& damage = {});
// A set file: the set chunk, each animation's chunk, then the shared sprite chunks.
Bytes QlaSetFile(const std::vector<QlaAnimation>& animations, const Bytes& spriteChunks,
                 const QlaDamage& damage = {});

}  // namespace testing_support
