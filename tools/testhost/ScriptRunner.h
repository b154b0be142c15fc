// Plays a game script against the loaded module: host messages, keys and clicks on
// one virtual timeline, every command the module sends checked against the script's
// bytes in order. Host messages arrive as the real host delivers them: a multimedia
// timer posts message 0x373 to a socket window, whose procedure calls OnReceive, so a
// message due while a handler waits reaches the module inside that wait.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "plat/user.h"
#include "testhost/TestHost.h"

namespace testhost {

class ScriptRunner {
 public:
  // The socket window's message, as the host's network layer posts it.
  static constexpr UINT kSocketMessage = 0x373;
  // Virtual time a script may run past its last event before it counts as runaway.
  static constexpr uint32_t kRunawayMs = 60000;

  explicit ScriptRunner(TestHost& host);
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Reads the script; false with `error` naming the line.
  bool Load(const std::string& text, std::string& error);
  // My user number from the header ("me 101"); -1 when not given.
  int32_t Me() const { return me_; }
  // Where a checkpoint whose frame differs writes the frame it saw, "<name>.png".
  void SetFrameFolder(std::string folder) { frameFolder_ = std::move(folder); }
  // Plays the loaded script on the started module to its `end`, then destroys the
  // game window. False with the first failure: its script line, the virtual time and
  // what differed.
  bool Run(std::string& failure);

  // Called by the socket window and the timers; public for their C callbacks.
  void DeliverNext();
  void Fire(size_t event);

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
  enum class Verb { Msg, KeyDown, KeyUp, Click, Press, Release, Move, ExpectCmd, ExpectHost, Box, Checkpoint, End };
  struct Event {
    int line = 0;
    uint32_t at = 0;  // ms after the script's start
    Verb verb = Verb::End;
    std::vector<uint8_t> bytes;  // a message's block or an expected command
    std::string text;            // the host call, box answer or checkpoint name
    int x = 0;
    int y = 0;
    uint64_t hash = 0;
  };

  bool ParseEvent(const std::string& line, int number, Event& out, std::string& error);
  void OnSend(const uint8_t* data, int32_t length);
  void Fail(int line, const std::string& what);
  uint32_t Now() const;
  void Answer(HWND dialog);

  TestHost& host_;
  HWND socket_ = nullptr;
  int32_t me_ = -1;
  std::vector<Event> events_;
  std::vector<size_t> commands_;  // events that expect a command, in order
  size_t nextCommand_ = 0;
  std::deque<std::vector<uint8_t>> inbound_;
  std::deque<std::string> answers_;
  std::vector<UINT> timers_;
  DWORD start_ = 0;
  std::string failure_;
  std::string frameFolder_;
  // Observers.
  void Note(int line, const std::string& what) {
    if (noteHook_) noteHook_(Now(), line, what);
  }
  uint32_t framePeriodMs_ = 0;
  FrameHook frameHook_;
  NoteHook noteHook_;
  std::string pauseAt_;
};

// 64-bit FNV-1a of the game window's captured pixels.
uint64_t FrameHash(HWND window);

}  // namespace testhost
