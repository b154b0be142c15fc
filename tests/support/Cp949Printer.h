// GoogleTest shows module strings (CP949 bytes) as UTF-8 in failure messages when a
// test wraps them in Cp949.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace testing_support {

struct Cp949 {
  std::string bytes;
  explicit Cp949(std::string_view b) : bytes(b) {}
  bool operator==(const Cp949& o) const { return bytes == o.bytes; }
};

void PrintTo(const Cp949& s, std::ostream* os);

// Hex dump of bytes, for byte-exact comparisons.
std::string HexBytes(std::string_view bytes);

}  // namespace testing_support
