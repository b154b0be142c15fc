// RC4 over nettle's ARCFOUR: the state lives in the object, so successive calls
// continue one keystream.
#include "crypt/Rc4Stream.h"

namespace plat::detail {

Rc4Stream::Rc4Stream(std::span<const uint8_t> key) { arcfour_set_key(&state_, key.size(), key.data()); }

void Rc4Stream::Apply(std::span<uint8_t> data) {
  if (!data.empty()) arcfour_crypt(&state_, data.size(), data.data(), data.data());
}

}  // namespace plat::detail
