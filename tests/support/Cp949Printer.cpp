#include "support/Cp949Printer.h"

#include <cstdio>

#include "plat/codepage.h"

namespace testing_support {

void PrintTo(const Cp949& s, std::ostream* os) {
  *os << '"' << plat::Cp949ToUtf8(s.bytes) << "\" [" << HexBytes(s.bytes) << ']';
}

std::string HexBytes(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
    if (i) out += ' ';
    out += buf;
  }
  return out;
}

}  // namespace testing_support
