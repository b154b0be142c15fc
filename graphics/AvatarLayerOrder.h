// The order avatar parts are stacked in: the part list as the caller numbers it is
// rebuilt bottom layer first, from a fixed table of part numbers.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

inline constexpr std::array<size_t, 24> kAvatarLayerOrder = {8,  9,  10, 11, 12, 4,  2,  1,  0,  3,  14, 15,
                                                             16, 13, 5,  6,  17, 18, 19, 20, 21, 22, 7,  23};

// Position k takes part kAvatarLayerOrder[k]; numbers beyond the list are skipped, so
// n parts stay n long (for n up to 24).
template <class T>
std::vector<T> InAvatarLayerOrder(const std::vector<T>& parts) {
  std::vector<T> out;
  out.reserve(parts.size());
  for (size_t part : kAvatarLayerOrder)
    if (part < parts.size()) out.push_back(parts[part]);
  return out;
}
