// Host messages a script writes by name: "HM_JOIN_GAME" and "player.userNo=102",
// every other field at its constructor default, turned into the block the host hands
// to OnReceive. The names come from a table of the messages the scripts send.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testhost {

struct FieldValue {
  std::string name;   // a member, or a dotted path into an embedded record
  std::string value;  // a number, "quoted text" or a list "[3, 17, 22]"
};

// The message's bytes (type code first); false with `error` naming the unknown
// message, field or unreadable value.
bool HostMessageBytes(const std::string& type, const std::vector<FieldValue>& fields, std::vector<uint8_t>& bytes,
                      std::string& error);

}  // namespace testhost
