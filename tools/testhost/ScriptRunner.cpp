// The script reader, the socket window and timers that deliver the script's events,
// and the in-order check of the module's commands.
#include "testhost/ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>

#include "plat/crt.h"
#include "plat/mmsystem.h"
#include "plat/time.h"
#include "plat/sim.h"
#include "testhost/MessageFields.h"

namespace testhost {

namespace {

constexpr const char* kSocketClassName = "Dorvik2TestSocket";
constexpr uint32_t kFnvOffset32High = 0xCBF29CE4u;
constexpr uint64_t kFnvOffset = (uint64_t{kFnvOffset32High} << 32) | 0x84222325u;
constexpr uint64_t kFnvPrime = 0x100000001B3ull;

// One runner plays at a time; the layer's callbacks find it here.
ScriptRunner* g_running = nullptr;
bool g_blocked = false;

LRESULT CALLBACK SocketWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ScriptRunner::kSocketMessage) {
    if (g_running) g_running->DeliverNext();
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CALLBACK TimerFired(UINT, UINT, DWORD_PTR event, DWORD_PTR, DWORD_PTR) {
  if (g_running) g_running->Fire(static_cast<size_t>(event));
}

void WindowThreadBlocked(const char*) { g_blocked = true; }

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

bool ReadInt(const std::string& text, int64_t& out) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, out);
  return !text.empty() && r.ec == std::errc{} && r.ptr == end;
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

std::string Hex(const uint8_t* data, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; ++i) out += plat::FormatString(i ? " %02X" : "%02X", data[i]);
  return out;
}

// The fields of a msg line: name=value, where a list value may hold spaces, and the
// flag `short` for a record in its older layout.
bool ReadFields(std::string rest, std::vector<FieldValue>& out, bool& olderLayout) {
  constexpr std::string_view kShort = "short";
  size_t at = 0;
  while (at < rest.size()) {
    while (at < rest.size() && rest[at] == ' ') ++at;
    if (at >= rest.size()) break;
    if (rest.compare(at, kShort.size(), kShort) == 0 && (at + kShort.size() == rest.size() || rest[at + kShort.size()] == ' ')) {
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

uint64_t FrameHash(HWND window) {
  const plat::sim::RgbImage frame = plat::sim::CaptureWindow(window);
  uint64_t h = kFnvOffset;
  for (uint8_t b : frame.rgb) h = (h ^ b) * kFnvPrime;
  return h;
}

ScriptRunner::ScriptRunner(TestHost& host) : host_(host) {
  WNDCLASSA existing{};
  if (!GetClassInfoA(nullptr, kSocketClassName, &existing)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = SocketWindowProc;
    wc.lpszClassName = kSocketClassName;
    RegisterClassA(&wc);
  }
  socket_ = CreateWindowExA(0, kSocketClassName, "socket", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

ScriptRunner::~ScriptRunner() {
  for (UINT id : timers_) timeKillEvent(id);
  if (g_running == this) g_running = nullptr;
  host_.OnSend(nullptr);
  host_.OnModal(nullptr);
  if (socket_) DestroyWindow(socket_);
}

bool ScriptRunner::Load(const std::string& text, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  uint32_t previous = 0;
  while (std::getline(in, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos && line.find('"') > hash) line.erase(hash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    if (line[0] != '@' && line[0] != '+') {
      std::istringstream header(line);
      std::string key, value;
      int64_t v = 0;
      header >> key >> value;
      if (key != "me" || !ReadInt(value, v)) {
        error = plat::FormatString("line %d: unknown header ", number) + line;
        return false;
      }
      me_ = static_cast<int32_t>(v);
      continue;
    }
    Event e;
    if (!ParseEvent(line, number, e, error)) return false;
    if (line[0] == '+') e.at += previous;
    if (e.at < previous) {
      error = plat::FormatString("line %d: time runs backwards", number);
      return false;
    }
    previous = e.at;
    if (e.verb == Verb::ExpectCmd) commands_.push_back(events_.size());
    events_.push_back(std::move(e));
  }
  if (events_.empty() || events_.back().verb != Verb::End) {
    error = "the script does not finish with end";
    return false;
  }
  return true;
}

bool ScriptRunner::ParseEvent(const std::string& line, int number, Event& e, std::string& error) {
  std::istringstream in(line.substr(1));
  std::string time, verb;
  in >> time >> verb;
  int64_t at = 0;
  auto bad = [&](const std::string& why) {
    error = plat::FormatString("line %d: ", number) + why;
    return false;
  };
  if (!ReadInt(time, at) || at < 0) return bad("unreadable time");
  e.line = number;
  e.at = static_cast<uint32_t>(at);
  std::string word;
  if (verb == "msg") {
    std::string type, rest;
    in >> type;
    std::getline(in, rest);
    std::vector<FieldValue> fields;
    bool olderLayout = false;
    if (!ReadFields(rest, fields, olderLayout)) return bad("unreadable fields");
    e.verb = Verb::Msg;
    std::string why;
    if (!HostMessageBytes(type, fields, olderLayout, e.bytes, why)) return bad(why);
  } else if (verb == "key") {
    std::string dir, key;
    in >> dir >> key;
    if ((dir != "down" && dir != "up") || !KeyNamed(key, e.x)) return bad("unknown key " + key);
    e.verb = dir == "down" ? Verb::KeyDown : Verb::KeyUp;
  } else if (verb == "click" || verb == "move") {
    std::string x, y;
    int64_t vx = 0, vy = 0;
    in >> x >> y;
    if (!ReadInt(x, vx) || !ReadInt(y, vy)) return bad("unreadable position");
    e.verb = verb == "click" ? Verb::Click : Verb::Move;
    e.x = static_cast<int>(vx);
    e.y = static_cast<int>(vy);
  } else if (verb == "press" || verb == "release") {
    e.verb = verb == "press" ? Verb::Press : Verb::Release;
  } else if (verb == "expect") {
    in >> word;
    if (word == "cmd") {
      e.verb = Verb::ExpectCmd;
      if (!ReadHex(in, e.bytes)) return bad("unreadable command bytes");
    } else if (word == "host") {
      e.verb = Verb::ExpectHost;
      std::getline(in >> std::ws, e.text);
    } else {
      return bad("unknown expectation " + word);
    }
  } else if (verb == "box") {
    in >> e.text;
    if (e.text != "ok" && e.text != "yes" && e.text != "no" && e.text != "wait") return bad("unknown box answer");
    e.verb = Verb::Box;
  } else if (verb == "checkpoint") {
    std::string hash;
    in >> e.text >> hash;
    const auto r = std::from_chars(hash.data(), hash.data() + hash.size(), e.hash, 16);
    if (e.text.empty() || r.ec != std::errc{}) return bad("unreadable checkpoint");
    e.verb = Verb::Checkpoint;
  } else if (verb == "end") {
    e.verb = Verb::End;
  } else {
    return bad("unknown event " + verb);
  }
  return true;
}

uint32_t ScriptRunner::Now() const { return GetTickCount() - start_; }

void ScriptRunner::Fail(int line, const std::string& what) {
  if (failure_.empty()) failure_ = plat::FormatString("line %d at %u ms: ", line, Now()) + what;
}

void ScriptRunner::OnSend(const uint8_t* data, int32_t length) {
  const std::string actual = Hex(data, static_cast<size_t>(std::max(length, 0)));
  if (nextCommand_ >= commands_.size()) {
    Fail(events_.back().line, "unexpected command " + actual);
    return;
  }
  const Event& e = events_[commands_[nextCommand_++]];
  const std::string expected = Hex(e.bytes.data(), e.bytes.size());
  if (actual != expected) Fail(e.line, "command " + actual + ", expected " + expected);
}

void ScriptRunner::DeliverNext() {
  if (inbound_.empty() || !host_.Client()) return;
  std::vector<uint8_t> block = std::move(inbound_.front());
  inbound_.pop_front();
  auto length = static_cast<int32_t>(block.size());
  host_.Client()->OnReceive(0, 0, block.data(), &length);
}

void ScriptRunner::Fire(size_t index) {
  const Event& e = events_[index];
  const HWND game = host_.GameWindow();
  switch (e.verb) {
    case Verb::Msg:
      inbound_.push_back(e.bytes);
      PostMessageA(socket_, kSocketMessage, 0, 0);
      break;
    case Verb::KeyDown: plat::sim::KeyDown(e.x); break;
    case Verb::KeyUp: plat::sim::KeyUp(e.x); break;
    case Verb::Click: plat::sim::Click(game, e.x, e.y); break;
    case Verb::Move: plat::sim::MouseMove(game, e.x, e.y); break;
    default: break;
  }
}

void ScriptRunner::Answer(HWND) {
  if (answers_.empty()) return;
  const std::string answer = answers_.front();
  answers_.pop_front();
  if (answer == "ok" || answer == "yes") plat::sim::PressKey(VK_RETURN);
  if (answer == "no") plat::sim::PressKey(VK_ESCAPE);
}

bool ScriptRunner::Run(std::string& failure) {
  g_running = this;
  g_blocked = false;
  const auto previousHandler = plat::sim::SetFatalErrorHandler(WindowThreadBlocked);
  start_ = GetTickCount();
  host_.OnSend([this](const uint8_t* data, int32_t length) { OnSend(data, length); });
  host_.OnModal([this](HWND dialog) { Answer(dialog); });
  int lastX = 0, lastY = 0;
  for (size_t i = 0; i < events_.size(); ++i) {
    Event& e = events_[i];
    if (e.verb == Verb::Box) answers_.push_back(e.text);
    if (e.verb == Verb::Move || e.verb == Verb::Click) {
      lastX = e.x;
      lastY = e.y;
    }
    // A press or release happens where the pointer last went.
    if (e.verb == Verb::Press || e.verb == Verb::Release) {
      e.x = lastX;
      e.y = lastY;
    }
    const bool timed = e.verb == Verb::Msg || e.verb == Verb::KeyDown || e.verb == Verb::KeyUp ||
                       e.verb == Verb::Click || e.verb == Verb::Move;
    if (timed) timers_.push_back(timeSetEvent(std::max<uint32_t>(e.at, 1), 1, TimerFired, i, TIME_ONESHOT));
  }
  size_t hostCall = 0;
  const auto calls = [this] { return host_.Recorder().Calls(); };
  for (const Event& e : events_) {
    if (e.at > Now()) host_.Advance(e.at - Now());
    host_.Pump();
    if (g_blocked) Fail(e.line, "the window thread is blocked with nothing scheduled");
    if (!failure_.empty()) break;
    if (e.verb == Verb::Press) plat::sim::MouseDown(host_.GameWindow(), e.x, e.y);
    if (e.verb == Verb::Release) plat::sim::MouseUp(host_.GameWindow(), e.x, e.y);
    if (e.verb == Verb::Checkpoint) {
      const uint64_t actual = FrameHash(host_.GameWindow());
      if (actual != e.hash && !frameFolder_.empty())
        plat::sim::WritePng(plat::sim::CaptureWindow(host_.GameWindow()), frameFolder_ + "/" + e.text + ".png");
      if (actual != e.hash) Fail(e.line, plat::FormatString("checkpoint %s: frame %016I64x", e.text.c_str(), actual));
    }
    if (e.verb == Verb::ExpectHost) {
      const auto seen = calls();
      while (hostCall < seen.size() && seen[hostCall].ToString() != e.text) ++hostCall;
      if (hostCall >= seen.size()) Fail(e.line, "no host call " + e.text);
      ++hostCall;
    }
    if (e.verb == Verb::End) {
      if (nextCommand_ < commands_.size()) {
        const Event& missing = events_[commands_[nextCommand_]];
        Fail(missing.line, "command " + Hex(missing.bytes.data(), missing.bytes.size()) + " was not sent");
      }
      if (failure_.empty() && host_.Destroy() != 0) Fail(e.line, "the game window did not close cleanly");
    }
    if (!failure_.empty()) break;
  }
  host_.OnSend(nullptr);
  host_.OnModal(nullptr);
  plat::sim::SetFatalErrorHandler(previousHandler);
  g_running = nullptr;
  failure = failure_;
  return failure_.empty();
}

}  // namespace testhost
