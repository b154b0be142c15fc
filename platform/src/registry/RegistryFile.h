// The registry file's byte layout (version 1, little-endian):
//   "DVRG", u32 version, u32 root count, then per root: u32 root id (0x80000000..3)
//   and its key; a key is u32 name length + name, u32 value count + values (u32 name
//   length + name, u32 type, u32 data length + data), u32 child count + child keys;
//   last, u32 FNV-1a of every byte before it.
#pragma once

#include <string>
#include <string_view>

#include "registry/RegistryTree.h"

namespace plat::detail {

constexpr size_t kRegMaxFileSize = 16u << 20;

std::string EncodeRegistry(const RegTree& tree);
// False for anything but a well-formed file within the registry's limits (`out` is
// then unspecified).
bool DecodeRegistry(std::string_view bytes, RegTree* out);

}  // namespace plat::detail
