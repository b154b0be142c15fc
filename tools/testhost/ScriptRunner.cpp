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
#include "testhost/HeardSounds.h"
#include "testhost/SoundFiles.h"

namespace testhost {

namespace {

constexpr const char* kSocketClassName = "Dorvik2TestSocket";
constexpr int kBoxCaptionChars = 256;
constexpr uint32_t kFnvOffset32High = 0xCBF29CE4u;
constexpr uint64_t kFnvOffset = (uint64_t{kFnvOffset32High} << 32) | 0x84222325u;
constexpr uint64_t kFnvPrime = 0x100000001B3ull;
constexpr uint32_t kLoaderWaitRealMs = 30000;
// What stands above the sounds a run takes into the script.
constexpr const char* kSoundsHeading[] = {
    "# The sounds heard: each onset (ms after the start) with its file in the game's sound",
    "# folder, as a run with --new-hashes takes them.",
};

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

std::string SoundFolderOf(const ScriptSetup& setup, const std::string& gameFolder) {
  return (std::filesystem::path(setup.gameFolder.empty() ? gameFolder : setup.gameFolder) / "GameSound").string();
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
  script_ = Script{};
  return ReadScript(text, script_, error);
}

uint32_t ScriptRunner::Now() const { return GetTickCount() - start_; }

void ScriptRunner::Fail(int line, const std::string& what) {
  if (failure_.empty()) failure_ = plat::FormatString("line %d at %u ms: ", line, Now()) + what;
}

void ScriptRunner::OnSend(const uint8_t* data, int32_t length) {
  const std::string actual = HexBytes(data, static_cast<size_t>(std::max(length, 0)));
  if (nextCommand_ >= commands_.size()) {
    Fail(events_.back().line, "unexpected command " + actual);
    return;
  }
  const Event& e = events_[commands_[nextCommand_++]];
  const std::string expected = HexBytes(e.bytes.data(), e.bytes.size());
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
      const std::string* expected = e.HashOn(Desktop(), setup_);
      const auto check = plat::sim::CheckFrame(frame, name_ + "-" + e.text, expected ? *expected : "");
      seenFrames_.emplace_back(e.text, check.actualHash);
      Note(e.line, "frame " + check.actualHash);
      if (!expected)
        Fail(e.line, "checkpoint " + e.text + ": the script has no hash for a " + Desktop() + " desktop");
      else if (!check.matches)
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
      ended_ = true;
      if (nextCommand_ < commands_.size()) {
        const Event& missing = events_[commands_[nextCommand_]];
        Fail(missing.line, "command " + HexBytes(missing.bytes.data(), missing.bytes.size()) + " was not sent");
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
  for (size_t i = 0; i < events_.size(); ++i) {
    if (events_[i].IsInput())
      timers_.push_back(timeSetEvent(std::max<uint32_t>(events_[i].at, 1), 1, TimerFired, i, TIME_ONESHOT));
  }
  // The game's sound from the script's start, heard as a sound card would play it.
  if (WantsSound()) {
    plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
    plat::sim::ClearCapturedSound();
    plat::sim::ClearSoundEvents();
    soundStartMicros_ = plat::sim::NowMicros();
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
  if (ended_ && failure_.empty() && WantsSound()) CheckSounds();
  if (update_ && failure_.empty()) RewriteHashes();
  failure = failure_;
  return failure_.empty();
}

// Taken when hashes are taken into the file; checked when the script holds any.
bool ScriptRunner::WantsSound() const { return update_ ? !path_.empty() : !setup_.sounds.empty(); }

// The sounds heard against the script's, whole: each onset's time and file, none missing
// and none more.
void ScriptRunner::CheckSounds() {
  const int endLine = events_.back().line;
  if (soundFolder_.empty()) return Fail(endLine, "no sound folder to tell the game's sounds by");
  std::vector<int16_t> stereo = plat::sim::CapturedSound();
  SoundTrack track;
  track.rate = plat::sim::kMixRate;
  for (size_t i = 0; i + 1 < stereo.size(); i += 2)
    track.mono.push_back((float(stereo[i]) + float(stereo[i + 1])) / 65536.0f);
  const std::vector<NamedSound> sounds = ReadSoundFolder(soundFolder_, track.rate);
  if (sounds.empty()) return Fail(endLine, "no sound files in " + soundFolder_);
  // The layer knows when each sound was started, as a sound card would: sounds started
  // together are told apart.
  std::vector<double> starts;
  for (const plat::sim::SoundEvent& e : plat::sim::SoundEvents())
    if (e.kind == plat::sim::SoundEventKind::Play) starts.push_back(double(e.ms) - double(soundStartMicros_ / 1000));
  const std::vector<HeardSound> heard = NameHeardSounds(track, sounds, starts);
  if (update_) {
    for (const HeardSound& h : heard) newSounds_.push_back({0, h.ms, h.name});
    soundsTaken_ = true;
    return;
  }
  const std::vector<ScriptSound>& expected = setup_.sounds;
  for (size_t i = 0; i < std::max(heard.size(), expected.size()); ++i) {
    const std::string got = i < heard.size() ? plat::FormatString("sound %u ", heard[i].ms) + heard[i].name : "none";
    if (i >= expected.size()) return Fail(endLine, "a sound the script does not hold: " + got);
    const ScriptSound& e = expected[i];
    if (i >= heard.size() || heard[i].ms != e.at || heard[i].name != e.name)
      return Fail(e.line, plat::FormatString("sound %u ", e.at) + e.name + " of " +
                              std::to_string(expected.size()) + " expected, heard " + got + " of " +
                              std::to_string(heard.size()));
  }
  Note(endLine, std::to_string(heard.size()) + " sounds as expected");
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

// Each checkpoint line gets the hash its frame had on the desktop played, beside those of
// other desktops; everything else stays as written. The file is replaced whole, so a run
// that stops half way leaves it as it was.
void ScriptRunner::RewriteHashes() const {
  if (path_.empty() || (newHashes_.empty() && !soundsTaken_)) return;
  std::string text;
  for (size_t i = 0; i < script_.lines.size(); ++i) {
    std::string line = script_.lines[i];
    // The sounds taken stand, with their heading, right before `end`, in place of those
    // the script held.
    const std::string stripped = StrippedScriptLine(line);
    if (soundsTaken_ && (stripped.rfind("sound ", 0) == 0 ||
                         std::find(std::begin(kSoundsHeading), std::end(kSoundsHeading), line) != std::end(kSoundsHeading)))
      continue;
    if (soundsTaken_ && !newSounds_.empty() && int(i + 1) == events_.back().line) {
      for (const char* heading : kSoundsHeading) text += std::string(heading) + "\n";
      for (const ScriptSound& sound : newSounds_) text += plat::FormatString("sound %u ", sound.at) + sound.name + "\n";
    }
    const auto hash = newHashes_.find(static_cast<int>(i + 1));
    if (hash != newHashes_.end()) {
      const size_t commentAt = line.find('#');
      const std::string comment = commentAt == std::string::npos ? "" : " " + line.substr(commentAt);
      std::istringstream words(line.substr(0, commentAt));
      std::string time, verb, name, own;
      std::map<std::string, std::string> others;
      words >> time >> verb >> name;
      for (std::string field; words >> field;) {
        const size_t equals = field.find('=');
        if (equals == std::string::npos) own = field;
        else others[field.substr(0, equals)] = field.substr(equals + 1);
      }
      (Desktop() == setup_.desktop ? own : others[Desktop()]) = hash->second;
      line = time + " " + verb + " " + name + (own.empty() ? "" : " " + own);
      for (const auto& [desktop, value] : others) line += " " + desktop + "=" + value;
      line += comment;
    }
    text += line + "\n";
  }
  const std::string fresh = path_ + ".new";
  std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  std::error_code ec;
  if (out) std::filesystem::rename(fresh, path_, ec);
  if (!out || ec) std::filesystem::remove(fresh, ec);
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
    runner.SetSoundFolder(SoundFolderOf(setup, environment.gameFolder));
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
