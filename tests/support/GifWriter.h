// A GIF writer for fixtures: real LZW (or a clear code before every code), global and
// local colour tables, graphic-control blocks, interlaced images, either version and a
// bogus signature on request. Pixels are palette indices; any number of them may be
// given. The encoder never clears a full table, so long images carry 12-bit codes into
// a full table; a frame can also be given as a raw code list to make streams no real
// encoder makes (no leading clear code, codes above the table after a clear, ...).
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
  bool leadingClear = true;           // the LZW stream starts with a clear code
  // When not empty, written instead of the indices' LZW stream, exactly as given (no
  // clear or end code added), each code as wide as a decoder's table then needs.
  std::vector<int32_t> codes;
  uint8_t minCodeSize = 0;            // 0: from the table size
};

struct GifDesc {
  uint16_t width = 0, height = 0;
  std::vector<uint32_t> globalTable;  // 0x00RRGGBB entries; empty: none
  uint8_t background = 0;
  std::vector<GifFrameDesc> frames;
  bool bogusSignature = false;
  bool clearBeforeEveryCode = false;
  bool trailingControl = false;       // a control block after the last image
  bool version87a = false;            // "GIF87a" instead of "GIF89a"
};

std::vector<uint8_t> EncodeGif(const GifDesc& gif);

}  // namespace testing_support
