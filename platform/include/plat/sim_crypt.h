// Test control of the cryptography part of the layer: counts of live handles, so a test
// can tell that every context, hash and key it caused was released.
#pragma once

#include <cstdint>

namespace plat::sim {

struct CryptHandleCounts {
  uint32_t providers = 0;
  uint32_t hashes = 0;
  uint32_t keys = 0;
  bool operator==(const CryptHandleCounts&) const = default;
};
CryptHandleCounts LiveCryptHandles();

}  // namespace plat::sim
