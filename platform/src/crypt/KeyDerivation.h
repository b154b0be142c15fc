// How an RC4 key is made from an MD5 digest: the one place that knows the provider's
// default length and its salt.
#pragma once

#include <nettle/md5.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "plat/types.h"

namespace plat::detail {

using Md5Digest = std::array<uint8_t, MD5_DIGEST_SIZE>;

// The RC4 key bytes for CryptDeriveKey's `flags`; nothing when the flags ask for a
// length or option this provider does not offer.
std::optional<std::vector<uint8_t>> Rc4KeyFromDigest(const Md5Digest& digest, DWORD flags);

}  // namespace plat::detail
