// Fixed-count array of host-record elements: always exactly N elements, read and
// written as N elements with no count. Indexing goes through at(), so a seat index
// that came from the wire can never reach past the array.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <class T, std::size_t N>
class ArcArrayT {
 public:
  ArcArrayT() : items_(N) {}
  ArcArrayT(const ArcArrayT&) = default;
  // Moves the elements, not the vector: a moved-from array still holds N elements.
  ArcArrayT(ArcArrayT&& other) : items_(N) {
    for (std::size_t i = 0; i < N; ++i) {
      items_[i] = std::move(other.items_[i]);
    }
  }
  ~ArcArrayT() = default;

  // Element by element, so a source that somehow holds fewer elements throws
  // std::out_of_range instead of shrinking this array.
  ArcArrayT& operator=(const ArcArrayT& other) {
    if (this != &other) {
      for (std::size_t i = 0; i < N; ++i) {
        items_[i] = other.items_.at(i);
      }
    }
    return *this;
  }
  ArcArrayT& operator=(ArcArrayT&& other) {
    if (this != &other) {
      for (std::size_t i = 0; i < N; ++i) {
        items_[i] = std::move(other.items_.at(i));
      }
    }
    return *this;
  }

  static constexpr std::size_t size() { return N; }
  T& at(std::size_t i) { return items_.at(i); }
  const T& at(std::size_t i) const { return items_.at(i); }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  bool operator==(const ArcArrayT& other) const { return items_ == other.items_; }

 private:
  std::vector<T> items_;
};
