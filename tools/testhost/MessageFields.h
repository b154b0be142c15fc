// Host messages a script writes by name: "HM_JOIN_GAME" and "player.userNo=102",
// every other field at its constructor default, turned into the block the host hands
// to OnReceive. The members are found by the names the records' field lists carry.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testhost {

struct FieldValue {
  std::string name;   // a member, or a dotted path: "room.sceneMode", "room.seats.1.userNo"
  std::string value;  // a number, "quoted text" (UTF-8, sent as CP949) or a list "[3, 17, 22]"
};

// The message's bytes (type code first); false with `error` naming the unknown
// message, field or unreadable value. Later fields overwrite earlier ones of the same
// name. With `olderLayout` a record that gained fields at its end is cut before them,
// as an older sender writes it; setting one of the cut fields is an error.
bool HostMessageBytes(const std::string& type, const std::vector<FieldValue>& fields, bool olderLayout,
                      std::vector<uint8_t>& bytes, std::string& error);

}  // namespace testhost
