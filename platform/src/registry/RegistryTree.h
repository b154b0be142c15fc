// The registry's content in memory: keys with case-insensitive names and typed
// values. Plain values, so a change can be made on a copy and kept only once the
// copy is safely on disk.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat::detail {

// Registry limits; the file reader enforces the same ones.
constexpr size_t kRegMaxKeyName = 255;
constexpr size_t kRegMaxValueName = 16383;
constexpr size_t kRegMaxValueData = 1u << 20;
constexpr size_t kRegMaxDepth = 512;
constexpr uint32_t kRegRootBase = 0x80000000u;
constexpr size_t kRegRootCount = 4;

struct RegValue {
  std::string name;
  uint32_t type = 0;
  std::string data;
};

// Key and value names compare with their ASCII letters folded (FoldCp949: names are
// CP949, and a double-byte character's second byte is never folded).
struct RegNode {
  std::string name;
  std::vector<RegValue> values;
  std::vector<RegNode> children;

  RegNode* Child(std::string_view name);
  const RegNode* Child(std::string_view name) const;
  RegValue* Value(std::string_view name);
  const RegValue* Value(std::string_view name) const;
};

// HKEY_CLASSES_ROOT .. HKEY_USERS, indexed by the handle value minus kRegRootBase.
struct RegTree {
  std::array<RegNode, kRegRootCount> roots;
};

}  // namespace plat::detail
