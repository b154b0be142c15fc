// The readers the arc_read fuzz target can apply, by the op byte that chooses them.
// Shared with the test that builds the seed corpus from our own writers.
#pragma once

#include <cstdint>

namespace arc_fuzz {

enum Op : uint8_t {
  kInt16,
  kUint16,
  kInt32,
  kUint32,
  kInt64,
  kUint64,
  kString,
  kBlob,
  kVariant,
  kVariantRaw,
  kModuleString32,
  kModuleString16,
  kBstr,
  kNetInt32,
  kNetUint32,
  kNetUint64,
  kNetString,
  kOpCount,
};

// Input layout: byte 0 = number of ops (mod kMaxOps), then that many op bytes
// (each mod kOpCount), then the bytes the readers work on.
constexpr uint8_t kMaxOps = 32;

}  // namespace arc_fuzz
