// PNG files without a compression library: the image data goes into stored (not
// compressed) deflate blocks, which every PNG reader takes. Enough for a test host's
// frames, where the size of the file does not matter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace winhost {

// An RGB picture: 3 bytes per pixel, rows top-down, no padding.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// The whole file's bytes; empty for a picture whose size and bytes disagree.
std::vector<uint8_t> EncodePng(const RgbPicture& picture);
bool WritePngFile(const RgbPicture& picture, const std::string& path);

}  // namespace winhost
