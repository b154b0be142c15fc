// The msg line's fields, the plain game's defaults, and a whole script's messages on
// its timeline.
#include "testhost/ScriptMessages.h"

#include <charconv>
#include <sstream>
#include <string_view>

#include "plat/crt.h"

namespace testhost {

namespace {

// `defaults plain`: the values a plain two-human game's messages carry.
constexpr int32_t kPlainClientVersion = 20110927;
constexpr int32_t kPlainStakePerPoint = 1000;
constexpr int32_t kPlainWaitingScene = 1;
constexpr int32_t kPlainPlayerEntry = 1;
constexpr int32_t kPlainSettlementDone = 1;
// Enough that the result offers no item purchase to my seat.
constexpr int64_t kPlainItemOfferAmount = 100000000;

// The fields of a msg line: name=value, where a list value may hold spaces, and the
// flag `short` for a record in its older layout.
bool ReadFields(std::string rest, std::vector<FieldValue>& out, bool& olderLayout) {
  constexpr std::string_view kShort = "short";
  size_t at = 0;
  while (at < rest.size()) {
    while (at < rest.size() && rest[at] == ' ') ++at;
    if (at >= rest.size()) break;
    if (rest.compare(at, kShort.size(), kShort) == 0 &&
        (at + kShort.size() == rest.size() || rest[at + kShort.size()] == ' ')) {
      olderLayout = true;
      at += kShort.size();
      continue;
    }
    const size_t eq = rest.find('=', at);
    if (eq == std::string::npos) return false;
    FieldValue f{rest.substr(at, eq - at), ""};
    size_t end = eq + 1;
    if (end < rest.size() && rest[end] == '[') {
      end = rest.find(']', end);
      if (end == std::string::npos) return false;
      ++end;
    } else if (end < rest.size() && rest[end] == '"') {
      end = rest.find('"', end + 1);
      if (end == std::string::npos) return false;
      ++end;
    } else {
      end = rest.find(' ', end);
      if (end == std::string::npos) end = rest.size();
    }
    f.value = rest.substr(eq + 1, end - eq - 1);
    out.push_back(std::move(f));
    at = end;
  }
  return true;
}

}  // namespace

std::string StrippedScriptLine(std::string line) {
  const size_t hash = line.find('#');
  if (hash != std::string::npos && line.find('"') > hash) line.erase(hash);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  if (line.find_first_not_of(' ') == std::string::npos) return "";
  return line;
}

bool IsScriptEventLine(const std::string& line) { return line[0] == '@' || line[0] == '+'; }

bool ReadScriptInt(const std::string& text, int64_t& out) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, out);
  return !text.empty() && r.ec == std::errc{} && r.ptr == end;
}

std::vector<FieldValue> ScriptMessages::Defaults(const std::string& type, const std::vector<FieldValue>& fields,
                                                 int32_t me, bool plainDefaults) {
  auto given = [&](const std::string& name, int64_t fallback) {
    int64_t v = fallback;
    for (const FieldValue& f : fields)
      if (f.name == name) ReadScriptInt(f.value, v);
    return v;
  };
  const std::string myUser = std::to_string(me);
  auto mySeat = [&] {
    for (const auto& [seat, user] : seatUsers_)
      if (user == me) return seat;
    return 0;
  };
  // A joiner takes the seat whatever the defaults say.
  if (type == "HM_JOIN_GAME" && given("result", 0) == 0)
    seatUsers_[static_cast<int32_t>(given("seat", 0))] = static_cast<int32_t>(given("userNo", 0));
  if (!plainDefaults) return {};
  const std::string zero = "0";
  if (type == "HM_ROOM_ENTER")
    return {{"clientVersion", std::to_string(kPlainClientVersion)},
            {"myUser.userNo", myUser},
            {"entryKind", std::to_string(kPlainPlayerEntry)},
            {"room.sceneMode", std::to_string(kPlainWaitingScene)},
            {"room.roomState", zero},
            {"room.speedKind", zero},
            {"room.antiLeaveLevel", zero},
            {"stakePerPoint", std::to_string(kPlainStakePerPoint)},
            {"entryUserNo", myUser}};
  if (type == "HM_JOIN_GAME") return {{"result", zero}, {"player.userNo", std::to_string(given("userNo", 0))}};
  if (type == "HM_GAME_RESULT")
    return {{"threshold1", zero},
            {"threshold2", zero},
            {"itemOfferAmount." + std::to_string(mySeat()), std::to_string(kPlainItemOfferAmount)}};
  if (type == "HM_SETTLEMENT") {
    const auto first = seatUsers_.find(0);
    return {{"resultCode", std::to_string(kPlainSettlementDone)},
            {"firstSeatUser", std::to_string(first == seatUsers_.end() ? me : first->second)}};
  }
  return {};
}

bool ScriptMessages::Bytes(const std::string& type, const std::string& rest, int32_t me, bool plainDefaults,
                           std::vector<uint8_t>& bytes, std::string& why) {
  std::vector<FieldValue> fields;
  bool olderLayout = false;
  if (!ReadFields(rest, fields, olderLayout)) {
    why = "unreadable fields";
    return false;
  }
  std::vector<FieldValue> all = Defaults(type, fields, me, plainDefaults);
  all.insert(all.end(), fields.begin(), fields.end());
  return HostMessageBytes(type, all, olderLayout, bytes, why);
}

bool ReadScriptMessages(const std::string& text, std::vector<TimedMessage>& out, std::string& error) {
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  int32_t me = -1;
  bool plainDefaults = false;
  uint32_t previous = 0;
  ScriptMessages messages;
  auto bad = [&](const std::string& why) {
    error = plat::FormatString("line %d: ", number) + why;
    return false;
  };
  while (std::getline(in, raw)) {
    ++number;
    const std::string line = StrippedScriptLine(raw);
    if (line.empty()) continue;
    std::istringstream words(IsScriptEventLine(line) ? line.substr(1) : line);
    std::string first, second;
    words >> first >> second;
    if (!IsScriptEventLine(line)) {
      int64_t user = 0;
      if (first == "me" && ReadScriptInt(second, user)) me = static_cast<int32_t>(user);
      if (first == "defaults" && second == "plain") plainDefaults = true;
      continue;
    }
    int64_t at = 0;
    if (!ReadScriptInt(first, at) || at < 0) return bad("unreadable time");
    if (line[0] == '+') at += previous;
    if (at < previous || at > UINT32_MAX) return bad("time runs backwards");
    previous = static_cast<uint32_t>(at);
    if (second != "msg") continue;
    std::string type, rest, why;
    words >> type;
    std::getline(words, rest);
    TimedMessage message{previous, {}};
    if (!messages.Bytes(type, rest, me, plainDefaults, message.bytes, why)) return bad(why);
    out.push_back(std::move(message));
  }
  return true;
}

}  // namespace testhost
