// Bounds-checked reads of the constant tables: the callers' indices come from host
// records and saved options, so an index outside a table answers the empty text
// instead of reading past it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tables_detail {

inline constexpr const char* kEmptyText = "";

template <size_t N>
constexpr bool InTable(int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < N;
}

template <size_t N>
constexpr const char* EntryOrEmpty(const char* const (&table)[N], int32_t index) {
  return InTable<N>(index) ? table[index] : kEmptyText;
}

// For static_assert: a table written with fewer entries than its bound would hold
// null pointers at the end.
template <size_t N>
constexpr bool AllEntriesSet(const char* const (&table)[N]) {
  for (const char* entry : table) {
    if (entry == nullptr) return false;
  }
  return true;
}

}  // namespace tables_detail
