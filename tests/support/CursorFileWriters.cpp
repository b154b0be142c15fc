#include "support/CursorFileWriters.h"

#include <initializer_list>
#include <utility>

namespace testing_support {
namespace cursor_file_writers {

// Little-endian fields of the given byte widths, or four-character tags.
void Put(std::vector<uint8_t>& v, std::initializer_list<std::pair<uint32_t, int>> fields) {
  for (auto [value, bytes] : fields)
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
uint32_t Tag(const char* t) { return uint32_t(t[0]) | uint32_t(t[1]) << 8 | uint32_t(t[2]) << 16 | uint32_t(t[3]) << 24; }

}  // namespace cursor_file_writers

std::vector<uint8_t> CurFile(uint16_t type, uint16_t hotX, uint16_t hotY) {
  using cursor_file_writers::Put;
  std::vector<uint8_t> v;
  Put(v, {{0, 2}, {type, 2}, {1, 2}, {32, 1}, {32, 1}, {0, 2}, {hotX, 2}, {hotY, 2}, {8, 4}, {22, 4}});
  v.insert(v.end(), 8, 0xAB);
  return v;
}

std::vector<uint8_t> AniFile(uint32_t frames) {
  using cursor_file_writers::Put;
  using cursor_file_writers::Tag;
  const std::vector<uint8_t> icon = CurFile(1, 0, 0);
  const auto size = static_cast<uint32_t>(icon.size());
  std::vector<uint8_t> v;
  Put(v, {{Tag("RIFF"), 4}, {4 + 8 + 36 + 12 + 8 + size, 4}, {Tag("ACON"), 4}, {Tag("anih"), 4}, {36, 4}, {36, 4},
          {frames, 4}, {0, 4}, {0, 4}, {0, 4}, {0, 4}, {0, 4}, {0, 4}, {0, 4},
          {Tag("LIST"), 4}, {4 + 8 + size, 4}, {Tag("fram"), 4}, {Tag("icon"), 4}, {size, 4}});
  v.insert(v.end(), icon.begin(), icon.end());
  return v;
}

}  // namespace testing_support
