// Plays a game script against the loaded module: host messages, keys and clicks on
// one virtual timeline, every command the module sends checked against the script's
// bytes in order. Host messages arrive as the real host delivers them: a multimedia
// timer posts message 0x373 to a socket window, whose procedure calls OnReceive, so a
// message due while a handler waits reaches the module inside that wait.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "plat/user.h"
#include "support/RecordingHost.h"
#include "testhost/MessageFields.h"
#include "testhost/ScriptMessages.h"
#include "testhost/ScriptReader.h"
#include "testhost/TestHost.h"

namespace testhost {

// Where a script's world comes from: the module file, the data folders a header does
// not name, the registry file (emptied first) and the folder for frames that differ.
struct ScriptEnvironment {
  std::string modulePath;
  std::string gameFolder;
  std::string portalFolder;
  std::string registryFile;
  std::string frameFolder;  // empty: the layer's
  bool updateHashes = false;  // as the environment switch does
  bool captureSound = false;  // the game's mixed sound into the outcome
};

// The folder of the game's sounds, which the script's sounds are named by, in the game
// folder the script's world uses.
std::string SoundFolderOf(const ScriptSetup& setup, const std::string& gameFolder);

// The Windows folders the host hands the module; the layer maps them to real ones.
inline constexpr const char* kHostGameFolder = "C:\\Dorvik2\\Game\\";
inline constexpr const char* kHostPortalFolder = "C:\\Dorvik2\\Portal\\";

// Before the host is made: windows, display (in the header's desktop format) and sound
// reset, a fresh registry file, the clock at the start tick and local time, the data
// folders mapped.
bool PrepareLayer(const ScriptSetup& setup, const ScriptEnvironment& environment, std::string& error);
// Create, Init with the synchronous build, the loader's sound set-up waited for and
// the screen refreshed, as dorvik2-run does.
bool StartModule(TestHost& host, const std::string& modulePath, std::string& error);

class ScriptRunner {
 public:
  // The socket window's message, as the host's network layer posts it.
  static constexpr UINT kSocketMessage = 0x373;
  // Virtual time a script may run past its last event before it counts as runaway.
  static constexpr uint32_t kRunawayMs = 60000;
  // The environment switch that makes checkpoints rewrite their hashes in the file.
  static constexpr const char* kUpdateSwitch = "DORVIK_UPDATE_SCRIPTS";

  explicit ScriptRunner(TestHost& host);
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Reads the script; false with `error` naming the line.
  bool Load(const std::string& text, std::string& error);
  // Reads the script from its file, which the update mode rewrites; its name is the
  // file's stem.
  bool LoadFile(const std::string& path, std::string& error);
  const ScriptSetup& Setup() const { return setup_; }
  // My user number from the header ("me 101"); -1 when not given.
  int32_t Me() const { return setup_.me; }
  // Checkpoint frames are named "<name>-<checkpoint>"; "script" unless set.
  void SetName(std::string name) { name_ = std::move(name); }
  // Where a checkpoint whose frame differs writes the frame it saw.
  void SetFrameFolder(std::string folder) { frameFolder_ = std::move(folder); }
  // Checkpoints take their frames' hashes instead of checking them, and the loaded
  // file is rewritten with them after the run. Set from the environment switch.
  void SetUpdateMode(bool update) { update_ = update; }
  // The desktop the world was set up with, when not the script's own: its checkpoints
  // check (or in the update mode take) the hashes written for that desktop.
  void SetDesktop(std::string desktop) { desktop_ = std::move(desktop); }
  static bool UpdateModeRequested();
  // Where the game's sound files are: the sounds heard are named by them, and checked
  // against the script's `sound` lines (or, in the update mode, written as them).
  void SetSoundFolder(std::string folder) { soundFolder_ = std::move(folder); }
  // Plays the loaded script on the started module to its `end`, then destroys the
  // game window. False with the first failure: its script line, the virtual time and
  // what differed.
  bool Run(std::string& failure);

  // Each checkpoint's name and the hash of the frame it saw, in order.
  const std::vector<std::pair<std::string, std::string>>& Checkpoints() const { return seenFrames_; }
  // Each message box's texts as it painted them (CP949, lines joined by '\n').
  std::vector<std::string> BoxTexts() const;

  // Called by the socket window, the timers and the modal hook; public for their C
  // callbacks.
  void DeliverNext();
  void Fire(size_t event);
  void OnModalWait(HWND dialog);

  // ---- Observers of a run, for a record of it (frames, transcript); none by default.
  // `hook` sees the game window at each checkpoint (with its name) and every `periodMs`
  // of virtual time from the start (with ""), at the script's virtual time.
  using FrameHook = std::function<void(uint32_t ms, const std::string& checkpoint)>;
  void OnFrame(uint32_t periodMs, FrameHook hook);
  // `hook` sees what the runner does and checks, with the script line it comes from (0
  // for none): events fired, commands matched, boxes answered, checkpoints' hashes.
  using NoteHook = std::function<void(uint32_t ms, int line, const std::string& note)>;
  void OnNote(NoteHook hook) { noteHook_ = std::move(hook); }
  // Stops the run at the checkpoint of this name, before it, leaving the game window
  // open (a benchmark's table). Run then returns true when nothing failed up to there.
  void PauseAt(std::string checkpoint) { pauseAt_ = std::move(checkpoint); }
  // Called by the frame timer; public for its C callback.
  void FrameDue();

 private:
  using Verb = ScriptVerb;
  using Event = ScriptEvent;
  struct Box {
    HWND dialog = nullptr;
    int answerEvent = -1;  // the `box` line answering it; -1 none
    bool answered = false;
    std::string text;
  };

  void OnSend(const uint8_t* data, int32_t length);
  void Fail(int line, const std::string& what);
  uint32_t Now() const;
  const std::string& Desktop() const { return desktop_.empty() ? setup_.desktop : desktop_; }
  void CheckEvent(const Event& e);
  bool WantsSound() const;
  void CheckSounds();
  void RewriteHashes() const;

  TestHost& host_;
  HWND socket_ = nullptr;
  Script script_;
  const ScriptSetup& setup_ = script_.setup;
  std::vector<Event>& events_ = script_.events;
  const std::vector<size_t>& commands_ = script_.commands;
  const std::vector<size_t>& answers_ = script_.answers;
  std::string name_ = "script";
  std::string path_;
  size_t nextCommand_ = 0;
  size_t nextAnswer_ = 0;
  std::deque<std::vector<uint8_t>> inbound_;
  std::vector<Box> boxes_;
  std::vector<UINT> timers_;
  size_t hostCall_ = 0;
  size_t posted_ = 0;
  size_t boxSeen_ = 0;
  DWORD start_ = 0;
  std::string failure_;
  std::string frameFolder_;
  std::string desktop_;
  bool update_ = UpdateModeRequested();
  std::vector<std::pair<std::string, std::string>> seenFrames_;
  std::map<int, std::string> newHashes_;  // line -> hash, in update mode
  std::string soundFolder_;
  bool ended_ = false;  // the script's `end` was played
  std::vector<ScriptSound> newSounds_;  // in update mode, once the script has passed
  bool soundsTaken_ = false;
  uint64_t soundStartMicros_ = 0;  // the layer's clock when the sound's capture began
  // Observers.
  void Note(int line, const std::string& what) {
    if (noteHook_) noteHook_(Now(), line, what);
  }
  uint32_t framePeriodMs_ = 0;
  FrameHook frameHook_;
  NoteHook noteHook_;
  std::string pauseAt_;
};

// Everything one script's run gives, from a fresh world to the module's destruction.
struct ScriptOutcome {
  std::string failure;  // "" when the script passed
  std::vector<std::string> transcript;
  std::vector<std::pair<std::string, std::string>> checkpoints;
  std::vector<std::string> boxes;
  std::vector<int16_t> sound;  // 44,100 Hz stereo, when the environment captures it
};
// Reads the script file, prepares the layer, starts the module and plays it.
ScriptOutcome PlayScriptFile(const std::string& path, const ScriptEnvironment& environment);
// The same for a script given as text, its frames named after `name`.
ScriptOutcome PlayScript(const std::string& text, const std::string& name, const ScriptEnvironment& environment);

// 64-bit FNV-1a of the game window's captured pixels.
uint64_t FrameHash(HWND window);

}  // namespace testhost
