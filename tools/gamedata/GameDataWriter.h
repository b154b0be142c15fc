// Writes the data folder: every manifest entry encoded with the project's own writers,
// through the layer's files, so the bytes depend only on the inputs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/gamedata/GameDataManifest.h"

namespace game_data {

struct PortalSettings {
  std::string dllVersion = "1";
  std::string company = "Varnet";
  std::string domain = "Quell";
};

struct WriteOptions {
  std::string dataFolder;    // native path
  std::string portalFolder;  // native path
  uint32_t seed = 1;
  PortalSettings portal;
};

// The bytes of one file.
std::vector<uint8_t> EncodeEntry(const ManifestEntry& entry, const WriteOptions& options);
// Every manifest file; the number written, or -1 at the first that cannot be written.
int32_t WriteGameData(const WriteOptions& options);

}  // namespace game_data
