// Fuzz target of the TGA reader that works on an open file: the input is a file on disk,
// read as a sprite made from a .tga file reads it, and then image after image from one
// handle. Each image the handle gives must be what the from-bytes reader makes of the
// bytes at that position and what its header announces (32-bit true colour or grey, of
// the header's size), the handle must stand just past its pixels, a refused image leaves
// no pixels behind, and the sprite is made exactly when the first image reads.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "ScratchFolder.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib_Image.h"

namespace {

constexpr size_t kMaxInput = 1u << 18;
constexpr int32_t kMaxImages = 8;
constexpr int32_t kSpriteFormat = 32;
constexpr size_t kBytesPerPixel = 4;
constexpr const char* kFolder = "T:\\Pictures\\";
constexpr const char* kFile = "T:\\Pictures\\fuzz.tga";

// Header fields by their offsets.
constexpr size_t kIdLength = 0, kMapType = 1, kType = 2, kMapLength = 5, kMapBits = 7, kWidth = 12, kHeight = 14,
                 kDepth = 16;
constexpr uint8_t kTrueColour = 2, kGrey = 3, kReadDepth = 32;

uint16_t U16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

bool AsAnnounced(std::span<const uint8_t> b, K_Dib_Image& image) {
  return (b[kType] == kTrueColour || b[kType] == kGrey) && b[kDepth] == kReadDepth && image.Width() == U16(b, kWidth) &&
         image.Height() == U16(b, kHeight);
}

// Where the image that starts the bytes ends, by its header: ID field, colour map, pixels.
size_t ImageEnd(std::span<const uint8_t> b) {
  const size_t map = b[kMapType] != 0 ? size_t{U16(b, kMapLength)} * ((size_t{b[kMapBits]} + 7) / 8) : 0;
  return K_Dib_Image::kTgaHeaderSize + b[kIdLength] + map + size_t{U16(b, kWidth)} * U16(b, kHeight) * kBytesPerPixel;
}

bool SamePixels(K_Dib_Image& a, K_Dib_Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  const size_t row = size_t(a.Width()) * kBytesPerPixel;
  for (int32_t y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.PixelAddress(0, y), b.PixelAddress(0, y), row) != 0) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  static const int32_t made = CreateFXManager(kSpriteFormat);
  (void)made;
  FuzzWriteInput("fuzz-tga-file", kFolder, "fuzz.tga", data, size);
  const std::span<const uint8_t> bytes(data, size);

  K_Dib_Image first;
  const bool firstReads = first.LoadTGAFromBytes(bytes) == 1;
  KK_LLESprite sprite;
  if ((sprite.CreateFromFile(kFile, kSpriteFormat) == 1) != firstReads) __builtin_trap();

  KFileHandle file;
  if (!file.Open(kFile, KFileHandle::kRead | KFileHandle::kShareRead)) __builtin_trap();
  size_t at = 0;
  for (int32_t n = 0; n < kMaxImages; ++n) {
    K_Dib_Image fromFile, fromBytes;
    const int32_t read = fromFile.LoadTGA(file);
    const int32_t expected = fromBytes.LoadTGAFromBytes(bytes.subspan(at));
    if (read != expected) __builtin_trap();
    if (read != 1) {
      if (fromFile.GetBits() != nullptr) __builtin_trap();
      break;
    }
    if (!SamePixels(fromFile, fromBytes) || !AsAnnounced(bytes.subspan(at), fromFile)) __builtin_trap();
    at += ImageEnd(bytes.subspan(at));
    if (at > size || file.Remaining() != static_cast<int64_t>(size - at)) __builtin_trap();
  }
  return 0;
}
