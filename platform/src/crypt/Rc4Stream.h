// The layer's RC4 step: one keystream that runs on across calls, over nettle's ARCFOUR.
// Kept apart from the API so its known answers can be checked on their own.
#pragma once

#include <nettle/arcfour.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace plat::detail {

class Rc4Stream {
 public:
  // `key` is 1 to 256 bytes.
  explicit Rc4Stream(std::span<const uint8_t> key);
  // XORs the next `data.size()` keystream bytes into `data`.
  void Apply(std::span<uint8_t> data);

 private:
  arcfour_ctx state_;
};

}  // namespace plat::detail
