// An insertion-ordered list of {key, value} pairs with linear lookups; repeated keys
// are kept and a lookup reaches the first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

template <class K, class T>
class CTPairVector {
 public:
  struct Pair {
    K key;
    T value;
  };

  // Index of the first pair with `key` (its value in *out), or -1.
  int32_t Find(K key, T** out = nullptr) {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].key == key) {
        if (out) *out = &items_[i].value;
        return static_cast<int32_t>(i);
      }
    return -1;
  }
  // 1 with the value at `index` in *out; 0 when the index is outside the list.
  int32_t GetAt(int32_t index, T** out = nullptr) {
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return 0;
    if (out) *out = &items_[static_cast<size_t>(index)].value;
    return 1;
  }
  // Appends a pair with a default value and gives its index.
  int32_t Add(K key) {
    items_.push_back(Pair{key, T{}});
    return static_cast<int32_t>(items_.size() - 1);
  }
  void RemoveAt(int32_t index) {
    if (index >= 0 && static_cast<size_t>(index) < items_.size()) items_.erase(items_.begin() + index);
  }
  void Clear() { items_.clear(); }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  typename std::vector<Pair>::iterator begin() { return items_.begin(); }
  typename std::vector<Pair>::iterator end() { return items_.end(); }

 private:
  std::vector<Pair> items_;
};
