// The script reader, the socket window and timers that deliver the script's events,
// the in-order check of the module's commands, the boxes' answers and the runaway
// guard.
#include "testhost/ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "plat/codepage.h"
#include "plat/crt.h"
#include "plat/mmsystem.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "plat/time.h"

namespace testhost {

namespace {

constexpr const char* kSocketClassName = "Dorvik2TestSocket";
constexpr int kBoxCaptionChars = 256;
constexpr uint32_t kFnvOffset32High = 0xCBF29CE4u;
constexpr uint64_t kFnvOffset = (uint64_t{kFnvOffset32High} << 32) | 0x84222325u;
constexpr uint64_t kFnvPrime = 0x100000001B3ull;
constexpr uint32_t kLoaderWaitRealMs = 30000;

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

void CALLBACK FrameTimerFired(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  if (g_running) g_running->FrameDue();
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

// `"text"` to the text; nullopt when not quoted.
std::optional<std::string> Quoted(std::string text) {
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  return text.substr(1, text.size() - 2);
}

// One header line into the setup; false with `why`.
bool ReadHeaderLine(const std::string& line, ScriptSetup& setup, std::string& why) {
  std::istringstream in(line);
  std::string key, value;
  in >> key >> value;
  int64_t v = 0;
  if (key == "me" && ReadScriptInt(value, v)) {
    setup.me = static_cast<int32_t>(v);
  } else if (key == "desktop" && DesktopFormatNamed(value)) {
    setup.desktop = value;
  } else if (key == "tick" && ReadScriptInt(value, v) && v >= 0 && v <= UINT32_MAX) {
    setup.tickBase = static_cast<uint32_t>(v);
  } else if (key == "localtime") {
    SYSTEMTIME t{};
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const std::string rest = line.substr(line.find(value));
    char tail = 0;
    if (std::sscanf(rest.c_str(), "%u-%u-%u %u:%u:%u%c", &year, &month, &day, &hour, &minute, &second, &tail) != 6) {
      why = "localtime wants YYYY-MM-DD HH:MM:SS";
      return false;
    }
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
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
  } else {
    why = "unknown header " + line;
    return false;
  }
  return true;
}

std::string JoinLines(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += (out.empty() ? "" : "\n") + t;
  return out;
}

}  // namespace

uint64_t FrameHash(HWND window) {
  const plat::sim::RgbImage frame = plat::sim::CaptureWindow(window);
  uint64_t h = kFnvOffset;
  for (uint8_t b : frame.rgb) h = (h ^ b) * kFnvPrime;
  return h;
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
    if (!ReadHeaderLine(line, setup, why)) {
      error = plat::FormatString("line %d: ", number) + why;
      return false;
    }
  }
  return true;
}

bool PrepareLayer(const ScriptSetup& setup, const ScriptEnvironment& environment, std::string& error) {
  plat::sim::UseVirtualClock();
  // The clock goes on from wherever the last world left it, part way into a
  // millisecond; a script starts on one, so that its sound (44.1 frames to the
  // millisecond) mixes the same samples every time.
  constexpr uint64_t kMicrosPerMs = 1000;
  if (const uint64_t into = plat::sim::NowMicros() % kMicrosPerMs) plat::sim::AdvanceClockMicros(kMicrosPerMs - into);
  plat::sim::ResetWindowSystem();
  plat::sim::ResetDisplay(*DesktopFormatNamed(setup.desktop));
  plat::sim::ResetSound();
  std::error_code ignored;
  std::filesystem::remove(environment.registryFile, ignored);
  plat::sim::SetRegistryFile(environment.registryFile);
  plat::sim::ClearPathPrefixes();
  plat::sim::MapPathPrefix(kHostGameFolder, setup.gameFolder.empty() ? environment.gameFolder : setup.gameFolder);
  plat::sim::MapPathPrefix(kHostPortalFolder,
                           setup.portalFolder.empty() ? environment.portalFolder : setup.portalFolder);
  if (!environment.frameFolder.empty()) plat::sim::SetFrameFolder(environment.frameFolder);
  plat::sim::SetTickBase(setup.tickBase);
  if (!plat::sim::SetLocalTimeStart(setup.localTime)) {
    error = "the local time is no date";
    return false;
  }
  return true;
}

bool StartModule(TestHost& host, const std::string& modulePath, std::string& error) {
  if (!host.LoadModule(modulePath, error)) return false;
  if (host.Create() != 0) {
    error = "CreateGameWnd failed";
    return false;
  }
  if (!host.Init(plat::Utf8ToUtf16(kHostGameFolder), plat::Utf8ToUtf16(kHostPortalFolder), 0)) {
    error = "InitGameWnd failed";
    return false;
  }
  if (!host.WaitForLoader(kLoaderWaitRealMs)) {
    error = "the loader did not end";
    return false;
  }
  host.Client()->RefreshScreen(0);
  return true;
}

bool ScriptRunner::UpdateModeRequested() {
  const char* value = std::getenv(kUpdateSwitch);
  return value != nullptr && *value != '\0' && std::string(value) != "0";
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
  if (socket_ && IsWindow(socket_)) DestroyWindow(socket_);
}

bool ScriptRunner::LoadFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  path_ = path;
  name_ = std::filesystem::path(path).stem().string();
  return Load(text.str(), error);
}

bool ScriptRunner::Load(const std::string& text, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  uint32_t previous = 0;
  while (std::getline(in, line)) {
    ++number;
    lines_.push_back(line);
    if (!ReadLine(StrippedScriptLine(line), number, previous, error)) return false;
  }
  if (events_.empty() || events_.back().verb != Verb::End) {
    error = "the script does not finish with end";
    return false;
  }
  return true;
}

bool ScriptRunner::ReadLine(const std::string& line, int number, uint32_t& previous, std::string& error) {
  if (line.empty()) return true;
  if (!IsScriptEventLine(line)) {
    std::string why;
    if (ReadHeaderLine(line, setup_, why)) return true;
    error = plat::FormatString("line %d: ", number) + why;
    return false;
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
  if (e.verb == Verb::Box) answers_.push_back(events_.size());
  events_.push_back(std::move(e));
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
  if (!ReadScriptInt(time, at) || at < 0) return bad("unreadable time");
  e.line = number;
  e.at = static_cast<uint32_t>(at);
  std::string word;
  if (verb == "msg") {
    std::string type, rest;
    in >> type;
    std::getline(in, rest);
    e.verb = Verb::Msg;
    std::string why;
    if (!messages_.Bytes(type, rest, setup_.me, setup_.plainDefaults, e.bytes, why)) return bad(why);
  } else if (verb == "key") {
    std::string dir, key;
    in >> dir >> key;
    if ((dir != "down" && dir != "up") || !KeyNamed(key, e.x)) return bad("unknown key " + key);
    e.verb = dir == "down" ? Verb::KeyDown : Verb::KeyUp;
  } else if (verb == "click" || verb == "move") {
    std::string x, y;
    int64_t vx = 0, vy = 0;
    in >> x >> y;
    if (!ReadScriptInt(x, vx) || !ReadScriptInt(y, vy)) return bad("unreadable position");
    e.verb = verb == "click" ? Verb::Click : Verb::Move;
    e.x = static_cast<int>(vx);
    e.y = static_cast<int>(vy);
  } else if (verb == "press" || verb == "release") {
    e.verb = verb == "press" ? Verb::Press : Verb::Release;
  } else if (verb == "expect") {
    in >> word;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (word == "cmd") {
      e.verb = Verb::ExpectCmd;
      std::istringstream hex(rest);
      if (!ReadHex(hex, e.bytes)) return bad("unreadable command bytes");
    } else if (word == "host") {
      e.verb = Verb::ExpectHost;
      e.text = rest;
    } else if (word == "post") {
      e.verb = Verb::ExpectPost;
      e.text = rest;
      if (e.text.empty()) return bad("expect post wants a message");
    } else if (word == "box") {
      const auto text = Quoted(rest);
      if (!text) return bad("expect box wants a quoted text");
      e.verb = Verb::ExpectBox;
      e.text = plat::Utf8ToCp949(*text);
    } else {
      return bad("unknown expectation " + word);
    }
  } else if (verb == "box") {
    in >> e.text;
    if (e.text != "ok" && e.text != "yes" && e.text != "no" && e.text != "wait") return bad("unknown box answer");
    e.verb = Verb::Box;
  } else if (verb == "checkpoint") {
    in >> e.text >> e.hash;
    std::string extra;
    uint64_t value = 0;
    const auto r = std::from_chars(e.hash.data(), e.hash.data() + e.hash.size(), value, 16);
    const bool hashOk = e.hash.empty() || (r.ec == std::errc{} && r.ptr == e.hash.data() + e.hash.size());
    if (e.text.empty() || !hashOk || (in >> extra)) return bad("unreadable checkpoint");
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
  const std::string differs = actual == expected ? "" : "command " + actual + ", expected " + expected;
  if (!differs.empty()) Fail(e.line, differs);
  Note(e.line, differs.empty() ? "command as expected" : differs);
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
  Note(e.line, "");
  switch (e.verb) {
    case Verb::Msg:
      inbound_.push_back(e.bytes);
      PostMessageA(socket_, kSocketMessage, 0, 0);
      break;
    case Verb::KeyDown: plat::sim::KeyDown(e.x); break;
    case Verb::KeyUp: plat::sim::KeyUp(e.x); break;
    case Verb::Click: plat::sim::Click(game, e.x, e.y); break;
    case Verb::Move: plat::sim::MouseMove(game, e.x, e.y); break;
    case Verb::Press: plat::sim::MouseDown(game, e.x, e.y); break;
    case Verb::Release: plat::sim::MouseUp(game, e.x, e.y); break;
    default: break;
  }
}

// Each wait of a box's loop: its text is noted, the script's next answer given once
// its time has come; past the runaway limit, or once the script has failed, the box is
// closed so that the run can end.
void ScriptRunner::OnModalWait(HWND dialog) {
  auto box = std::find_if(boxes_.begin(), boxes_.end(), [&](const Box& b) { return b.dialog == dialog; });
  if (box == boxes_.end()) {
    // A box's texts come with its first paint, which may still be pending.
    UpdateWindow(dialog);
    Box fresh;
    fresh.dialog = dialog;
    if (nextAnswer_ < answers_.size()) fresh.answerEvent = static_cast<int>(answers_[nextAnswer_++]);
    boxes_.push_back(fresh);
    box = boxes_.end() - 1;
  }
  const std::vector<std::string> texts = plat::sim::DrawnTexts(dialog);
  if (!texts.empty()) box->text = JoinLines(texts);
  if (g_blocked) Fail(events_.back().line, "the window thread is blocked with nothing scheduled");
  const uint32_t last = events_.empty() ? 0 : events_.back().at;
  if (failure_.empty() && Now() > last + kRunawayMs)
    Fail(events_.back().line, "runaway: a box is still open 60 s after the last event: \"" +
                                  plat::Cp949ToUtf8(box->text) + "\"");
  if (box->answered) return;
  if (!failure_.empty()) {
    box->answered = true;
    plat::sim::PressKey(VK_ESCAPE);
    return;
  }
  if (box->answerEvent < 0) return;
  const Event& answer = events_[static_cast<size_t>(box->answerEvent)];
  if (answer.text == "wait" || Now() < answer.at) return;
  box->answered = true;
  Note(answer.line, "box \"" + plat::Cp949ToUtf8(box->text) + "\" answered " + answer.text);
  plat::sim::PressKey(answer.text == "no" ? VK_ESCAPE : VK_RETURN);
}

std::vector<std::string> ScriptRunner::BoxTexts() const {
  std::vector<std::string> out;
  for (const Box& b : boxes_) out.push_back(b.text);
  return out;
}

void ScriptRunner::CheckEvent(const Event& e) {
  switch (e.verb) {
    case Verb::Checkpoint: {
      const plat::sim::RgbImage frame = plat::sim::CaptureWindow(host_.GameWindow());
      if (frameHook_) frameHook_(Now(), e.text);
      if (update_) {
        const std::string hash = plat::sim::HashImage(frame);
        seenFrames_.emplace_back(e.text, hash);
        newHashes_[e.line] = hash;
        Note(e.line, "frame " + hash);
        break;
      }
      const auto check = plat::sim::CheckFrame(frame, name_ + "-" + e.text, e.hash);
      seenFrames_.emplace_back(e.text, check.actualHash);
      Note(e.line, "frame " + check.actualHash);
      if (!check.matches)
        Fail(e.line, "checkpoint " + e.text + ": frame " + check.actualHash +
                         (check.actualPath.empty() ? "" : " (" + check.actualPath + ")"));
      break;
    }
    case Verb::ExpectHost: {
      const auto seen = host_.Recorder().Calls();
      while (hostCall_ < seen.size() && seen[hostCall_].ToString() != e.text) ++hostCall_;
      if (hostCall_ >= seen.size()) Fail(e.line, "no host call " + e.text);
      if (hostCall_ < seen.size()) Note(e.line, "host call seen");
      ++hostCall_;
      break;
    }
    case Verb::ExpectPost: {
      const auto seen = plat::sim::PostedMessages(host_.HostWindow());
      while (posted_ < seen.size() && DescribePosted(seen[posted_]) != e.text) ++posted_;
      if (posted_ >= seen.size()) Fail(e.line, "no post " + e.text);
      ++posted_;
      break;
    }
    case Verb::ExpectBox: {
      while (boxSeen_ < boxes_.size() && boxes_[boxSeen_].text.find(e.text) == std::string::npos) ++boxSeen_;
      if (boxSeen_ >= boxes_.size()) Fail(e.line, "no box saying \"" + plat::Cp949ToUtf8(e.text) + "\"");
      ++boxSeen_;
      break;
    }
    case Verb::End: {
      if (nextCommand_ < commands_.size()) {
        const Event& missing = events_[commands_[nextCommand_]];
        Fail(missing.line, "command " + Hex(missing.bytes.data(), missing.bytes.size()) + " was not sent");
      }
      if (nextAnswer_ < answers_.size())
        Fail(events_[answers_[nextAnswer_]].line, "no box came for this answer");
      if (const auto wordless = host_.Recorder().WordlessButtonStates(); !wordless.empty())
        Fail(e.line, "a button state without its word: " + wordless.front());
      if (failure_.empty() && host_.Destroy() != 0) Fail(e.line, "the game window did not close cleanly");
      break;
    }
    default: break;
  }
}

bool ScriptRunner::Run(std::string& failure) {
  g_running = this;
  g_blocked = false;
  const auto previousHandler = plat::sim::SetFatalErrorHandler(WindowThreadBlocked);
  start_ = GetTickCount();
  for (const auto& [code, answer] : setup_.events) host_.Recorder().ScriptEvent(code, answer);
  host_.OnSend([this](const uint8_t* data, int32_t length) { OnSend(data, length); });
  host_.OnModal([this](HWND dialog) { OnModalWait(dialog); });
  int lastX = 0, lastY = 0;
  for (size_t i = 0; i < events_.size(); ++i) {
    Event& e = events_[i];
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
                       e.verb == Verb::Click || e.verb == Verb::Move || e.verb == Verb::Press ||
                       e.verb == Verb::Release;
    if (timed) timers_.push_back(timeSetEvent(std::max<uint32_t>(e.at, 1), 1, TimerFired, i, TIME_ONESHOT));
  }
  UINT frameTimer = 0;
  if (frameHook_ && framePeriodMs_) frameTimer = timeSetEvent(framePeriodMs_, 1, FrameTimerFired, 0, TIME_PERIODIC);
  for (const Event& e : events_) {
    if (e.at > Now()) host_.Advance(e.at - Now());
    host_.Pump();
    if (g_blocked) Fail(e.line, "the window thread is blocked with nothing scheduled");
    if (!failure_.empty()) break;
    if (e.verb == Verb::Checkpoint && !pauseAt_.empty() && e.text == pauseAt_) break;
    CheckEvent(e);
    if (!failure_.empty()) break;
  }
  if (frameTimer) timeKillEvent(frameTimer);
  host_.OnSend(nullptr);
  host_.OnModal(nullptr);
  plat::sim::SetFatalErrorHandler(previousHandler);
  g_running = nullptr;
  if (update_ && failure_.empty()) RewriteHashes();
  failure = failure_;
  return failure_.empty();
}

// ---- Observers
void ScriptRunner::OnFrame(uint32_t periodMs, FrameHook hook) {
  framePeriodMs_ = periodMs;
  frameHook_ = std::move(hook);
}

void ScriptRunner::FrameDue() {
  // A frame due with the window already gone (after `end`) has nothing to show.
  if (frameHook_ && host_.GameWindow()) frameHook_(Now(), "");
}

// Each checkpoint line gets the hash its frame had; everything else stays as written.
void ScriptRunner::RewriteHashes() const {
  if (path_.empty() || newHashes_.empty()) return;
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string line = lines_[i];
    const auto hash = newHashes_.find(static_cast<int>(i + 1));
    if (hash != newHashes_.end()) {
      const size_t verb = line.find("checkpoint");
      size_t name = line.find_first_not_of(' ', verb + std::string_view("checkpoint").size());
      size_t nameEnd = line.find_first_of(" #", name);
      if (nameEnd == std::string::npos) nameEnd = line.size();
      size_t old = line.find_first_not_of(' ', nameEnd);
      size_t oldEnd = old == std::string::npos ? nameEnd : line.find_first_of(" #", old);
      if (old == std::string::npos || line[old] == '#') old = oldEnd = nameEnd;
      if (oldEnd == std::string::npos) oldEnd = line.size();
      line = line.substr(0, nameEnd) + " " + hash->second + line.substr(oldEnd);
    }
    text += line + "\n";
  }
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out << text;
}

namespace {

// From a fresh world to the module's destruction; the script from its file, or as text.
ScriptOutcome Play(const std::string* path, const std::string& text, const std::string& name,
                   const ScriptEnvironment& environment) {
  ScriptOutcome out;
  std::string script = text;
  if (path) {
    std::ifstream in(*path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    script = all.str();
  }
  ScriptSetup setup;
  std::string error;
  if (!ReadScriptSetup(script, setup, error)) {
    out.failure = "load: " + error;
    return out;
  }
  if (!PrepareLayer(setup, environment, error)) {
    out.failure = "setup: " + error;
    return out;
  }
  if (environment.captureSound) plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  TestHost host;
  if (!StartModule(host, environment.modulePath, error)) {
    out.failure = "start: " + error;
  } else {
    // The game's sound alone: the build's and the set-up's stay out.
    if (environment.captureSound) plat::sim::ClearCapturedSound();
    ScriptRunner runner(host);
    runner.SetName(name);
    if (environment.updateHashes) runner.SetUpdateMode(true);
    if (!(path ? runner.LoadFile(*path, error) : runner.Load(script, error))) {
      out.failure = "load: " + error;
    } else if (!runner.Run(error)) {
      out.failure = error;
    }
    out.checkpoints = runner.Checkpoints();
    out.boxes = runner.BoxTexts();
    if (environment.captureSound) out.sound = plat::sim::CapturedSound();
  }
  if (environment.captureSound) plat::sim::SetSoundSink(plat::sim::SoundSink::Null);
  out.transcript = host.Transcript();
  return out;
}

}  // namespace

ScriptOutcome PlayScriptFile(const std::string& path, const ScriptEnvironment& environment) {
  return Play(&path, "", "", environment);
}

ScriptOutcome PlayScript(const std::string& text, const std::string& name, const ScriptEnvironment& environment) {
  return Play(nullptr, text, name, environment);
}

}  // namespace testhost
