// PNG files of RGB pictures, compressed as the headless host's are (adaptive row
// filters, zlib), so that a Windows record takes about the room of a headless one.
#pragma once

#include <cstdint>
#include <filesystem>
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
bool WritePngFile(const RgbPicture& picture, const std::filesystem::path& path);

}  // namespace winhost
