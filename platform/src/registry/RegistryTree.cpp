#include "registry/RegistryTree.h"

#include "plat/codepage.h"

namespace plat::detail {

std::string FoldRegistryName(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size();) {
    const size_t n = plat::Cp949CharLength(std::string_view(out).substr(i));
    if (n == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    i += n;
  }
  return out;
}

namespace {

template <class T, class Vec>
T* FindNamed(Vec& items, std::string_view name) {
  const std::string folded = FoldRegistryName(name);
  for (auto& item : items)
    if (FoldRegistryName(item.name) == folded) return &item;
  return nullptr;
}

}  // namespace

RegNode* RegNode::Child(std::string_view n) { return FindNamed<RegNode>(children, n); }
const RegNode* RegNode::Child(std::string_view n) const { return FindNamed<const RegNode>(children, n); }
RegValue* RegNode::Value(std::string_view n) { return FindNamed<RegValue>(values, n); }
const RegValue* RegNode::Value(std::string_view n) const { return FindNamed<const RegValue>(values, n); }

}  // namespace plat::detail
