// The script format: header lines, event lines with their times, and the names of keys
// and of the module's messages to its host.
#include "testhost/ScriptReader.h"

#include <charconv>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "host/Dorvik2Messages.h"
#include "plat/codepage.h"
#include "plat/crt.h"
#include "plat/time.h"
#include "plat/user.h"

namespace testhost {

namespace {

const std::map<std::string, int>& KeyNames() {
  static const std::map<std::string, int> names = {
      {"SPACE", VK_SPACE}, {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"F1", VK_F1}, {"F2", VK_F2},
      {"F3", VK_F3},       {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},   {"UP", VK_UP}, {"DOWN", VK_DOWN},
  };
  return names;
}

// "SPACE", "VK_SPACE", or a digit or capital letter for its own key.
bool KeyNamed(std::string name, int& vk) {
  if (name.rfind("VK_", 0) == 0) name = name.substr(3);
  if (name.size() == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z'))) {
    vk = name[0];
    return true;
  }
  const auto it = KeyNames().find(name);
  if (it == KeyNames().end()) return false;
  vk = it->second;
  return true;
}

bool ReadHex(std::istringstream& in, std::vector<uint8_t>& out) {
  std::string byte;
  while (in >> byte) {
    uint32_t v = 0;
    const auto r = std::from_chars(byte.data(), byte.data() + byte.size(), v, 16);
    if (byte.size() != 2 || r.ec != std::errc{} || r.ptr != byte.data() + byte.size()) return false;
    out.push_back(static_cast<uint8_t>(v));
  }
  return !out.empty();
}

// `"text"` to the text; nullopt when not quoted.
std::optional<std::string> Quoted(std::string text) {
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  return text.substr(1, text.size() - 2);
}

// Why a line is no header, with what cannot be seen named: a byte-order mark an editor
// wrote, a line of tabs, an event line indented, other bytes below the space as \xNN.
std::string UnknownHeader(const std::string& line) {
  if (line.rfind("\xEF\xBB\xBF", 0) == 0)
    return "the line starts with a byte-order mark (EF BB BF): save the script as UTF-8 without one";
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return "the line holds only tabs and spaces: a blank line holds nothing or spaces";
  if (first > 0 && (line[first] == '@' || line[first] == '+'))
    return "an event line starts with its time at the line's start; this one is indented";
  std::string shown;
  for (const char c : line) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) shown += c;
    else if (c == '\t') shown += "\\t";
    else shown += plat::FormatString("\\x%02X", static_cast<unsigned char>(c));
  }
  return "unknown header " + shown;
}

// "YYYY-MM-DD HH:MM:SS" exactly, each field decimal digits, into year, month, day,
// hour, minute and second; a number too wide for 32 bits reads as UINT32_MAX, so that
// the range check refuses it.
bool ReadDateTime(const std::string& text, uint32_t (&fields)[6]) {
  constexpr char kAfter[] = {'-', '-', ' ', ':', ':'};
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (size_t i = 0; i < std::size(fields); ++i) {
    if (i > 0) {
      if (at == end || *at != kAfter[i - 1]) return false;
      ++at;
    }
    if (at == end || *at < '0' || *at > '9') return false;
    const auto r = std::from_chars(at, end, fields[i]);
    if (r.ec == std::errc::result_out_of_range) fields[i] = UINT32_MAX;
    at = r.ptr;
  }
  return at == end;
}

// A sound's file as a script names it: a plain relative path, '/' between folders.
bool IsSoundName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.back() == '/' || name.find("//") != std::string::npos) return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || c == '\\' || c == ':') return false;
  return ("/" + name + "/").find("/../") == std::string::npos && ("/" + name + "/").find("/./") == std::string::npos;
}

// One header line into the setup (line `number` of the script); false with `why`.
bool ReadHeaderLine(const std::string& line, int number, ScriptSetup& setup, std::string& why) {
  std::istringstream in(line);
  std::string key, value;
  in >> key >> value;
  int64_t v = 0;
  if (key == "me" && ReadScriptInt(value, v)) {
    setup.me = static_cast<int32_t>(v);
  } else if (key == "desktop" && IsDesktopName(value)) {
    setup.desktop = value;
  } else if (key == "tick" && ReadScriptInt(value, v) && v >= 0 && v <= UINT32_MAX) {
    setup.tickBase = static_cast<uint32_t>(v);
  } else if (key == "localtime") {
    const std::string rest = line.substr(line.find(value));
    uint32_t f[6] = {};
    if (!ReadDateTime(rest, f)) {
      why = "localtime wants YYYY-MM-DD HH:MM:SS";
      return false;
    }
    // Each field in its range before it narrows to the system's 16-bit one (65,536 hours
    // would wrap to none); the system's own test of the whole date then fails a 31st of
    // April here, not when the world is set up after the build.
    SYSTEMTIME t{};
    FILETIME ignored{};
    const bool inRange = f[0] <= 30827 && f[1] <= 12 && f[2] <= 31 && f[3] <= 23 && f[4] <= 59 && f[5] <= 59;
    if (inRange) {
      t.wYear = static_cast<WORD>(f[0]);
      t.wMonth = static_cast<WORD>(f[1]);
      t.wDay = static_cast<WORD>(f[2]);
      t.wHour = static_cast<WORD>(f[3]);
      t.wMinute = static_cast<WORD>(f[4]);
      t.wSecond = static_cast<WORD>(f[5]);
    }
    if (!inRange || !SystemTimeToFileTime(&t, &ignored)) {
      why = "localtime " + rest + " is no date";
      return false;
    }
    setup.localTime = t;
  } else if (key == "data") {
    std::string portal;
    in >> portal;
    if (value.empty() || portal.empty()) {
      why = "data wants the game folder and the portal folder";
      return false;
    }
    setup.gameFolder = value;
    setup.portalFolder = portal;
  } else if (key == "event" && ReadScriptInt(value, v)) {
    // event <code> "<text the host writes>" | event <code> <result>
    std::string rest, word;
    std::getline(in, rest);
    std::istringstream(rest) >> word;
    testing_support::RecordingHost::EventAnswer answer;
    int64_t result = 0;
    if (const auto text = Quoted(rest)) {
      answer.writeData = true;
      answer.dataBack = plat::Utf8ToCp949(*text);
    } else if (ReadScriptInt(word, result) && rest.find_first_not_of(' ', rest.find(word) + word.size()) == std::string::npos) {
      answer.result = static_cast<int32_t>(result);
    } else {
      why = "event wants a code and a quoted text or a result";
      return false;
    }
    setup.events.emplace_back(static_cast<int32_t>(v), answer);
  } else if (key == "defaults" && value == "plain") {
    setup.plainDefaults = true;
  } else if (key == "sound") {
    std::string name, more;
    in >> name >> more;
    if (!ReadScriptInt(value, v) || v < 0 || v > UINT32_MAX || !IsSoundName(name) || !more.empty()) {
      why = "sound wants its onset in ms and its file in the sound folder";
      return false;
    }
    if (!setup.sounds.empty() && v < setup.sounds.back().at) {
      why = "the sounds' times run backwards";
      return false;
    }
    setup.sounds.push_back({number, static_cast<uint32_t>(v), name});
  } else {
    why = UnknownHeader(line);
    return false;
  }
  return true;
}

bool ParseEvent(const std::string& line, int number, const ScriptSetup& setup, ScriptMessages& messages,
                ScriptEvent& e, std::string& error) {
  std::istringstream in(line.substr(1));
  std::string time, verb;
  in >> time >> verb;
  int64_t at = 0;
  auto bad = [&](const std::string& why) {
    error = plat::FormatString("line %d: ", number) + why;
    return false;
  };
  if (!ReadScriptInt(time, at) || at < 0) return bad("unreadable time");
  e.line = number;
  e.at = static_cast<uint32_t>(at);
  std::string word;
  if (verb == "msg") {
    std::string type, rest;
    in >> type;
    std::getline(in, rest);
    e.verb = ScriptVerb::Msg;
    std::string why;
    if (!messages.Bytes(type, rest, setup.me, setup.plainDefaults, e.bytes, why)) return bad(why);
  } else if (verb == "key") {
    std::string dir, key;
    in >> dir >> key;
    if ((dir != "down" && dir != "up") || !KeyNamed(key, e.x)) return bad("unknown key " + key);
    e.verb = dir == "down" ? ScriptVerb::KeyDown : ScriptVerb::KeyUp;
  } else if (verb == "click" || verb == "move") {
    std::string x, y;
    int64_t vx = 0, vy = 0;
    in >> x >> y;
    if (!ReadScriptInt(x, vx) || !ReadScriptInt(y, vy)) return bad("unreadable position");
    e.verb = verb == "click" ? ScriptVerb::Click : ScriptVerb::Move;
    e.x = static_cast<int>(vx);
    e.y = static_cast<int>(vy);
  } else if (verb == "press" || verb == "release") {
    e.verb = verb == "press" ? ScriptVerb::Press : ScriptVerb::Release;
  } else if (verb == "expect") {
    in >> word;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (word == "cmd") {
      e.verb = ScriptVerb::ExpectCmd;
      std::istringstream hex(rest);
      if (!ReadHex(hex, e.bytes)) return bad("unreadable command bytes");
    } else if (word == "host") {
      e.verb = ScriptVerb::ExpectHost;
      e.text = rest;
    } else if (word == "post") {
      e.verb = ScriptVerb::ExpectPost;
      e.text = rest;
      if (e.text.empty()) return bad("expect post wants a message");
    } else if (word == "box") {
      const auto text = Quoted(rest);
      if (!text) return bad("expect box wants a quoted text");
      e.verb = ScriptVerb::ExpectBox;
      e.text = plat::Utf8ToCp949(*text);
    } else {
      return bad("unknown expectation " + word);
    }
  } else if (verb == "box") {
    in >> e.text;
    if (e.text != "ok" && e.text != "yes" && e.text != "no" && e.text != "wait") return bad("unknown box answer");
    e.verb = ScriptVerb::Box;
  } else if (verb == "checkpoint") {
    // checkpoint <name> [<hash on the script's desktop>] [<desktop>=<hash> ...]
    in >> e.text;
    if (e.text.empty() || e.text.find('=') != std::string::npos) return bad("unreadable checkpoint");
    for (std::string field; in >> field;) {
      const size_t equals = field.find('=');
      const std::string desktop = equals == std::string::npos ? "" : field.substr(0, equals);
      const std::string hash = equals == std::string::npos ? field : field.substr(equals + 1);
      if (equals != std::string::npos && !IsDesktopName(desktop)) return bad("checkpoint: no desktop " + desktop);
      if (!IsFrameHash(hash)) return bad("checkpoint: unreadable hash " + field);
      if (equals == std::string::npos ? !e.hash.empty() || !e.desktopHashes.empty()
                                      : !e.desktopHashes.emplace(desktop, hash).second)
        return bad("checkpoint: a second hash " + field);
      if (equals == std::string::npos) e.hash = hash;
    }
    e.verb = ScriptVerb::Checkpoint;
  } else if (verb == "end") {
    e.verb = ScriptVerb::End;
  } else {
    return bad("unknown event " + verb);
  }
  return true;
}

}  // namespace

bool IsDesktopName(const std::string& name) { return name == "565" || name == "555" || name == "32"; }

bool IsFrameHash(const std::string& text) {
  uint64_t value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return !text.empty() && r.ec == std::errc{} && r.ptr == text.data() + text.size();
}

const std::string* ScriptEvent::HashOn(const std::string& desktop, const ScriptSetup& setup) const {
  if (desktop == setup.desktop) return &hash;
  const auto it = desktopHashes.find(desktop);
  return it == desktopHashes.end() ? nullptr : &it->second;
}

bool ReadScriptSetup(const std::string& text, ScriptSetup& setup, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    line = StrippedScriptLine(line);
    if (line.empty() || IsScriptEventLine(line)) continue;
    std::string why;
    if (!ReadHeaderLine(line, number, setup, why)) {
      error = plat::FormatString("line %d: ", number) + why;
      return false;
    }
  }
  return true;
}

bool ScriptEvent::IsInput() const {
  switch (verb) {
    case ScriptVerb::Msg:
    case ScriptVerb::KeyDown:
    case ScriptVerb::KeyUp:
    case ScriptVerb::Click:
    case ScriptVerb::Move:
    case ScriptVerb::Press:
    case ScriptVerb::Release: return true;
    default: return false;
  }
}

bool ReadScript(const std::string& text, Script& script, std::string& error) {
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  uint32_t previous = 0;
  ScriptMessages messages;
  while (std::getline(in, raw)) {
    ++number;
    script.lines.push_back(raw);
    const std::string line = StrippedScriptLine(raw);
    if (line.empty()) continue;
    if (!IsScriptEventLine(line)) {
      std::string why;
      if (ReadHeaderLine(line, number, script.setup, why)) continue;
      error = plat::FormatString("line %d: ", number) + why;
      return false;
    }
    ScriptEvent e;
    if (!ParseEvent(line, number, script.setup, messages, e, error)) return false;
    if (e.desktopHashes.count(script.setup.desktop)) {
      error = plat::FormatString("line %d: %s is the script's own desktop: its hash stands first, without a name",
                                 number, script.setup.desktop.c_str());
      return false;
    }
    if (line[0] == '+') e.at += previous;
    if (e.at < previous) {
      error = plat::FormatString("line %d: time runs backwards", number);
      return false;
    }
    previous = e.at;
    if (e.verb == ScriptVerb::ExpectCmd) script.commands.push_back(script.events.size());
    if (e.verb == ScriptVerb::Box) script.answers.push_back(script.events.size());
    script.events.push_back(std::move(e));
  }
  if (script.events.empty() || script.events.back().verb != ScriptVerb::End) {
    error = "the script does not finish with end";
    return false;
  }
  // The game's sound is heard until its window goes at `end`.
  if (!script.setup.sounds.empty() && script.setup.sounds.back().at > script.events.back().at) {
    error = plat::FormatString("line %d: a sound after the end", script.setup.sounds.back().line);
    return false;
  }
  // A press or release happens where the pointer last went.
  int lastX = 0, lastY = 0;
  for (ScriptEvent& e : script.events) {
    if (e.verb == ScriptVerb::Move || e.verb == ScriptVerb::Click) {
      lastX = e.x;
      lastY = e.y;
    }
    if (e.verb == ScriptVerb::Press || e.verb == ScriptVerb::Release) {
      e.x = lastX;
      e.y = lastY;
    }
  }
  return true;
}

std::string HexBytes(const uint8_t* data, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; ++i) out += plat::FormatString(i ? " %02X" : "%02X", data[i]);
  return out;
}

std::string DescribeHostMessage(UINT message, uint64_t wParam, int64_t lParam) {
  const char* name = nullptr;
  switch (message) {
    case WM_GAME_CLOSE: name = "WM_GAME_CLOSE"; break;
    case WM_GAME_ENTER_KEY: name = "WM_GAME_ENTER_KEY"; break;
    case WM_GAME_SCREEN_READY: name = "WM_GAME_SCREEN_READY"; break;
    case WM_GAME_LOADED: name = "WM_GAME_LOADED"; break;
    case WM_NCLBUTTONDOWN: name = "WM_NCLBUTTONDOWN"; break;
    case WM_SYSCOMMAND: name = "WM_SYSCOMMAND"; break;
    default: break;
  }
  const std::string args = plat::FormatString("(%I64u, %I64i)", wParam, lParam);
  return name ? name + args : plat::FormatString("message 0x%04X", message) + args;
}

}  // namespace testhost
