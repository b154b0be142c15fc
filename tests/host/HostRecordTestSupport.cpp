// Helpers of the host record tests.
#include "HostRecordTestSupport.h"

#include <cctype>
#include <stdexcept>

namespace host_test {

std::string Hex(const std::string& text) {
  std::string out;
  int pending = -1;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    const int nibble = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
    if (nibble < 0 || nibble > 15) throw std::invalid_argument("not a hex digit");
    if (pending < 0) {
      pending = nibble;
    } else {
      out.push_back(static_cast<char>(pending * 16 + nibble));
      pending = -1;
    }
  }
  return out;
}

ReadResult ReadBlock(HostMessage& msg, const std::string& bytes) {
  Buf buf(bytes);
  ReadResult r;
  r.result = ReadHostMessage(msg, buf.get());
  r.consumed = static_cast<uint32_t>(bytes.size()) - buf.length();
  return r;
}

std::string WriteBlock(const HostMessage& msg) {
  Buf buf;
  WriteHostMessage(msg, buf.get());
  return buf.bytes();
}

HostMessage FilledMessage(uint32_t code) {
  HostMessage msg;
  msg.type = code;
  ForEachHostType([&]<class R>(uint32_t c) {
    if (c == code) {
      msg.record = std::make_unique<HostRecordT<R>>(Filled<R>());
    }
  });
  return msg;
}

}  // namespace host_test
