// Byte-level writers of the picture files the resource manager's entries read: TGA
// files, the layered pictures' companion (.VTi) files and small big-endian PSD files.
// They share nothing with the readers, so tests check the readers against an
// independent picture of each format; options damage the files on request.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

struct TgaPicture {
  uint8_t type = 2;
  uint8_t depth = 32;
  int16_t width = 0, height = 0;
  uint8_t descriptor = 0;          // written as given; bit 5 claims top row first
  std::string id;                  // the ID field
  uint8_t colourMapType = 0;
  uint16_t colourMapLength = 0;    // entries of colourMapBits each, written as zeros
  uint8_t colourMapBits = 24;
  // In file order (a normal file stores its bottom row first); each value's low
  // depth / 8 bytes little-endian, so 0xAARRGGBB is stored blue, green, red, alpha.
  std::vector<uint32_t> pixels;
  size_t cut = 0;                  // bytes missing from the end
};
Bytes TgaFile(const TgaPicture& picture);

struct VtiLayer {
  int32_t width = 0, height = 0;
  int32_t x = 0, y = 0;
  uint32_t duration = 0;
  std::string name;                // up to 255 bytes
  std::vector<uint32_t> pixels;    // 0xAARRGGBB, top row first
};

struct VtiDamage {
  std::optional<int32_t> count;
  // Table offsets in file order: sizes, offsets, durations, names, pixel data.
  std::optional<int32_t> tables[5];
  size_t cut = 0;                  // bytes missing from the end
  uint8_t overrun = 0;             // added to the count of every channel's last pair
};

// Runs are packed up to `runLimit` bytes; the timestamp is written as its first 15
// characters (padded with '0').
Bytes VtiFile(const std::vector<VtiLayer>& layers, const std::string& stamp = "000000000000000",
              uint8_t runLimit = 255, const VtiDamage& damage = {});

struct PsdLayerDesc {
  int32_t top = 0, left = 0, bottom = 0, right = 0;
  std::string name;
  bool alpha = true;               // false: the layer has no alpha channel
  bool packBits = false;           // PackBits rows instead of raw rows
  std::vector<uint32_t> pixels;    // 0xAARRGGBB, top row first
  std::vector<int16_t> extraChannels;  // further channel ids, each with data of 0x5A
  // When not empty, every colour and alpha channel's data as stored, compression code
  // included, in place of the packing of `pixels`.
  Bytes channelData;
};

struct PsdGuide {
  int32_t location = 0;            // in the file's unit (1/32 pixel for a cycle of 576)
  bool horizontal = false;
};

struct PsdDesc {
  int32_t width = 0, height = 0;
  uint32_t gridCycle = 576;
  std::vector<PsdGuide> guides;    // none: no grid-and-guides resource
  std::vector<PsdLayerDesc> layers;
  bool negativeLayerCount = false;
  bool bogusSignature = false;
  size_t cut = 0;                  // bytes missing from the end
};
Bytes PsdFile(const PsdDesc& picture);

// The PackBits packing of one row, as the PSD writer stores it.
Bytes PackBitsRow(const Bytes& row);

}  // namespace testing_support
