// The CP949 character boundary, which every side cuts text at the same way.
#include "plat/utf16.h"

namespace plat {

size_t Cp949CharLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto lead = static_cast<uint8_t>(s[0]);
  return lead >= 0x81 && lead <= 0xFE && s.size() >= 2 ? 2 : 1;
}

}  // namespace plat
