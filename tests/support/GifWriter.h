// A GIF writer for fixtures: real LZW (or a clear code before every code), global and
// local colour tables, graphic-control blocks, interlaced images and a bogus signature
// on request. Pixels are palette indices; any number of them may be given.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {

struct GifFrameDesc {
  uint16_t left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indices;       // row order (the writer interlaces them itself)
  std::vector<uint32_t> localTable;   // 0x00RRGGBB entries; empty: none
  bool interlace = false;
  bool control = false;               // write a graphic-control block before the image
  uint8_t disposal = 0;
  bool transparent = false;
  uint8_t transparentIndex = 0;
  uint16_t delay = 0;                 // hundredths of a second
};

struct GifDesc {
  uint16_t width = 0, height = 0;
  std::vector<uint32_t> globalTable;  // 0x00RRGGBB entries; empty: none
  uint8_t background = 0;
  std::vector<GifFrameDesc> frames;
  bool bogusSignature = false;
  bool clearBeforeEveryCode = false;
  bool trailingControl = false;       // a control block after the last image
};

std::vector<uint8_t> EncodeGif(const GifDesc& gif);

}  // namespace testing_support
