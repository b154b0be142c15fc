// Images read from and written to files: 32-bit TGA with its alpha kept as 0..31, and
// BMP in any of the library's formats. Readers check every header field and size
// before use; TGA also reads from an open file, BMP files are read whole first.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/K_Dib.h"

class KFileHandle;

class K_Dib_Image : public K_Dib_Draw {
 public:
  static constexpr size_t kTgaHeaderSize = 18;
  static constexpr size_t kBmpFileHeaderSize = 14;
  static constexpr size_t kBmpMaskBytes = 12;

  // Uncompressed true-colour or grey TGA (types 2, 3) at 32 bits only, read bottom row
  // first; every fourth byte becomes its top five bits (alpha 0..31). 1 or 0.
  int32_t LoadTGAFromBytes(std::span<const uint8_t> bytes);
  int32_t LoadTGA(const char* fileName);
  // From the handle's position; on success the position is just past the pixels.
  int32_t LoadTGA(KFileHandle& file);

  // A BMP (1, 4, 8, 16, 24 or 32 bits, plain or with colour masks at 16 and 32) in the
  // given format code, 0 meaning the effect manager's, as a DIB section. 1 or 0.
  int32_t LoadBMP(std::span<const uint8_t> bytes, int32_t format);
  int32_t LoadBMPFile(const char* fileName, int32_t format);

  // The file as SaveBMP writes it: file header, the image's description (with the
  // three masks of a 5-6-5 image) and its rows top-down; empty without pixels.
  std::vector<uint8_t> SaveBMPToBytes() const;
  int32_t SaveBMP(const char* fileName) const;
};
