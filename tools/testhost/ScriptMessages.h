// A script's host messages as bytes: a msg line's fields, the values `defaults plain`
// fills in and the seats the joins so far have taken. The script runner and the tool
// that makes the dispatcher's fuzzing seeds share it, so both send the same bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "testhost/MessageFields.h"

namespace testhost {

// The line without its comment and trailing blanks; "" for a blank line.
std::string StrippedScriptLine(std::string line);
// Event lines start with '@' (ms from the start) or '+' (ms after the previous event).
bool IsScriptEventLine(const std::string& line);
bool ReadScriptInt(const std::string& text, int64_t& out);

class ScriptMessages {
 public:
  // `rest` is what follows the message type on its line: name=value fields and the
  // flag `short`. `me` is my user number from the header.
  bool Bytes(const std::string& type, const std::string& rest, int32_t me, bool plainDefaults,
             std::vector<uint8_t>& bytes, std::string& why);

 private:
  std::vector<FieldValue> Defaults(const std::string& type, const std::vector<FieldValue>& fields, int32_t me,
                                   bool plainDefaults);

  std::map<int32_t, int32_t> seatUsers_;  // seat -> user, from the joins read so far
};

struct TimedMessage {
  uint32_t at = 0;  // ms after the script's start
  std::vector<uint8_t> bytes;
};

// Every msg line of a script in order, with its time, built as the runner builds it.
// Of the header only `me` and `defaults plain` matter here; the runner checks the rest.
// False with `error` naming the line.
bool ReadScriptMessages(const std::string& text, std::vector<TimedMessage>& out, std::string& error);

}  // namespace testhost
