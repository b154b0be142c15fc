#include "registry/RegistryFile.h"

#include <cstring>
#include <unordered_set>

#include "text/NoCase.h"

namespace plat::detail {
namespace {

constexpr char kMagic[4] = {'D', 'V', 'R', 'G'};
constexpr uint32_t kVersion = 1;
// Smallest encodings: a count larger than the bytes left could hold is corruption,
// caught before the loop (nothing is reserved from a count read from the file).
constexpr size_t kMinValueBytes = 12;
constexpr size_t kMinKeyBytes = 12;

uint32_t Fnv1a(std::string_view bytes) {
  uint32_t h = 2166136261u;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutBytes(std::string& out, std::string_view s) {
  PutU32(out, static_cast<uint32_t>(s.size()));
  out.append(s);
}

void PutKey(std::string& out, const RegNode& node) {
  PutBytes(out, node.name);
  PutU32(out, static_cast<uint32_t>(node.values.size()));
  for (const RegValue& v : node.values) {
    PutBytes(out, v.name);
    PutU32(out, v.type);
    PutBytes(out, v.data);
  }
  PutU32(out, static_cast<uint32_t>(node.children.size()));
  for (const RegNode& child : node.children) PutKey(out, child);
}

// Reads fail once: past the end the reader is marked failed and yields defaults.
class HiveReader {
 public:
  explicit HiveReader(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  size_t left() const { return bytes_.size() - pos_; }
  void Fail() { ok_ = false; }

  uint32_t U32() {
    if (!ok_ || left() < 4) return Fail(), 0;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return v;
  }
  std::string Bytes(size_t limit) {
    const uint32_t n = U32();
    if (!ok_ || n > limit || n > left()) return Fail(), std::string();
    std::string s(bytes_.substr(pos_, n));
    pos_ += n;
    return s;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

bool ReadKey(HiveReader& r, RegNode& node, size_t depth) {
  if (depth > kRegMaxDepth) return false;
  node.name = r.Bytes(kRegMaxKeyName);
  const uint32_t valueCount = r.U32();
  if (!r.ok() || valueCount > r.left() / kMinValueBytes) return false;
  // Duplicate names are corruption; a set keeps the check linear on hostile input.
  std::unordered_set<std::string> names;
  for (uint32_t i = 0; i < valueCount; ++i) {
    RegValue v;
    v.name = r.Bytes(kRegMaxValueName);
    v.type = r.U32();
    v.data = r.Bytes(kRegMaxValueData);
    if (!r.ok() || !names.insert(FoldCp949(v.name)).second) return false;
    node.values.push_back(std::move(v));
  }
  const uint32_t childCount = r.U32();
  if (!r.ok() || childCount > r.left() / kMinKeyBytes) return false;
  names.clear();
  for (uint32_t i = 0; i < childCount; ++i) {
    RegNode child;
    if (!ReadKey(r, child, depth + 1)) return false;
    if (child.name.empty() || child.name.find('\\') != std::string::npos) return false;
    if (!names.insert(FoldCp949(child.name)).second) return false;
    node.children.push_back(std::move(child));
  }
  return r.ok();
}

}  // namespace

std::string EncodeRegistry(const RegTree& tree) {
  std::string out(kMagic, sizeof kMagic);
  PutU32(out, kVersion);
  uint32_t used = 0;
  for (const RegNode& root : tree.roots)
    if (!root.values.empty() || !root.children.empty()) ++used;
  PutU32(out, used);
  for (size_t i = 0; i < tree.roots.size(); ++i) {
    const RegNode& root = tree.roots[i];
    if (root.values.empty() && root.children.empty()) continue;
    PutU32(out, kRegRootBase + static_cast<uint32_t>(i));
    PutKey(out, root);
  }
  PutU32(out, Fnv1a(out));
  return out;
}

bool DecodeRegistry(std::string_view bytes, RegTree* out) {
  *out = RegTree{};
  if (bytes.size() < sizeof kMagic + 12 || bytes.size() > kRegMaxFileSize) return false;
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
  const std::string_view body = bytes.substr(0, bytes.size() - 4);
  HiveReader tail(bytes.substr(bytes.size() - 4));
  if (tail.U32() != Fnv1a(body)) return false;

  HiveReader r(body.substr(sizeof kMagic));
  if (r.U32() != kVersion) return false;
  const uint32_t rootCount = r.U32();
  if (!r.ok() || rootCount > kRegRootCount) return false;
  bool seen[kRegRootCount] = {};
  for (uint32_t i = 0; i < rootCount; ++i) {
    const uint32_t id = r.U32() - kRegRootBase;
    if (!r.ok() || id >= kRegRootCount || seen[id]) return false;
    seen[id] = true;
    RegNode& root = out->roots[id];
    if (!ReadKey(r, root, 0) || !root.name.empty()) return false;
  }
  return r.ok() && r.left() == 0;
}

}  // namespace plat::detail
