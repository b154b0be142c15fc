#include "registry/RegistryTree.h"

#include "text/NoCase.h"

namespace plat::detail {
namespace {

template <class T, class Vec>
T* FindNamed(Vec& items, std::string_view name) {
  const std::string folded = FoldCp949(name);
  for (auto& item : items)
    if (FoldCp949(item.name) == folded) return &item;
  return nullptr;
}

}  // namespace

RegNode* RegNode::Child(std::string_view n) { return FindNamed<RegNode>(children, n); }
const RegNode* RegNode::Child(std::string_view n) const { return FindNamed<const RegNode>(children, n); }
RegValue* RegNode::Value(std::string_view n) { return FindNamed<RegValue>(values, n); }
const RegValue* RegNode::Value(std::string_view n) const { return FindNamed<const RegValue>(values, n); }

}  // namespace plat::detail
