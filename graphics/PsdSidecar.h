// The companion file of a layered picture (same name, extension "VTi"): the layers
// already decoded to 32-bit pixels and run-length packed, with the picture's
// last-write time so that a changed picture is decoded again.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/PsdLayers.h"

// A damaged companion cannot ask for more layers than this.
constexpr int32_t kMaxSidecarLayers = 4096;
// Runs the builder packs are at most this long.
constexpr uint32_t kSidecarMaxRun = 201;
constexpr size_t kSidecarHeaderSize = 44;
constexpr size_t kSidecarStampLength = 15;

// The name up to and including its last "." followed by "VTi"; empty without a ".".
std::string PsdSidecarName(const std::string& pictureName);

// False, with `out` empty, for a count above the cap, a table or pixel run outside the
// file, or a layer whose size is negative or above the caps.
bool ReadPsdSidecar(std::span<const uint8_t> bytes, PsdLayerSet& out);
// The companion of the picture; false also when it has no name or cannot be opened.
bool ReadPsdSidecar(const std::string& pictureName, PsdLayerSet& out);

// The last-write time as local time, "YYYYMMDDhhmm" and milliseconds (no seconds);
// false when the file cannot be opened.
bool FileModTimeString(const std::string& fileName, std::string& out);

// The companion's bytes for the layers and the picture's time text.
std::vector<uint8_t> EncodePsdSidecar(const PsdLayerSet& layers, std::string_view stamp);

enum class PsdSidecarBuild {
  kNoPicture,  // no "." in the name, or the picture cannot be opened
  kUpToDate,   // the companion has the magic and the picture's time text
  kBuilt,
  kFailed,     // the picture is no PSD file, or the companion cannot be written
};
// Makes the companion when it is missing or was made from another version of the picture.
PsdSidecarBuild BuildPsdSidecar(const std::string& pictureName);
