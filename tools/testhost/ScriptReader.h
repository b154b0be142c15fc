// A game script read into its header and its timed events, with nothing of a platform:
// the headless runner and the Windows host read the same format through it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "plat/types.h"
#include "support/RecordingHost.h"
#include "testhost/ScriptMessages.h"

namespace testhost {

// A sound the game is heard to play: where it starts (ms after the script's start) and
// its file in the game's sound folder ('/' between folders).
struct ScriptSound {
  int line = 0;
  uint32_t at = 0;
  std::string name;
};

// What a script's header asks of the world the module starts in.
struct ScriptSetup {
  static constexpr uint32_t kDefaultTickBase = 1000000;

  std::string desktop = "32";          // IsDesktopName
  uint32_t tickBase = kDefaultTickBase;  // GetTickCount at the start
  SYSTEMTIME localTime{2011, 9, 2, 27, 20, 0, 0, 0};
  int32_t me = -1;                     // my user number
  std::string gameFolder;              // empty: the caller's
  std::string portalFolder;
  bool plainDefaults = false;          // `defaults plain`
  std::vector<std::pair<int32_t, testing_support::RecordingHost::EventAnswer>> events;
  // `sound MS FILE` lines: every sound the game is heard to play, in time order, as a
  // run that takes the hashes writes them; none when the script holds no such line.
  std::vector<ScriptSound> sounds;
};

// The desktop formats a script may name: "565", "555" and "32".
bool IsDesktopName(const std::string& name);

// 16 hexadecimal digits at most, as a frame's hash is written.
bool IsFrameHash(const std::string& text);

// The header lines of a script alone; false with `error` naming the line.
bool ReadScriptSetup(const std::string& text, ScriptSetup& setup, std::string& error);

enum class ScriptVerb {
  Msg, KeyDown, KeyUp, Click, Press, Release, Move,
  ExpectCmd, ExpectHost, ExpectPost, ExpectBox, Box, Checkpoint, End
};

struct ScriptEvent {
  int line = 0;
  uint32_t at = 0;  // ms after the script's start
  ScriptVerb verb = ScriptVerb::End;
  std::vector<uint8_t> bytes;  // a message's block or an expected command
  std::string text;            // the host call, post, box text or answer, checkpoint name
  int x = 0;                   // a key's code, or a pointer position
  int y = 0;
  std::string hash;            // a checkpoint's expected frame on the script's desktop
  std::map<std::string, std::string> desktopHashes;  // on other desktops, by their names

  // The hash a checkpoint expects on that desktop; null when the script has none.
  const std::string* HashOn(const std::string& desktop, const ScriptSetup& setup) const;
  // Input that the host gives the module at its time: messages, keys and the pointer.
  bool IsInput() const;
};

// A whole script: its header, its events in time order (a press or release at the
// place the pointer last went) and its lines as read.
struct Script {
  ScriptSetup setup;
  std::vector<ScriptEvent> events;
  std::vector<size_t> commands;  // events that expect a command, in order
  std::vector<size_t> answers;   // `box` events, in order
  std::vector<std::string> lines;
};

// False with `error` naming the line; the script must finish with `end`.
bool ReadScript(const std::string& text, Script& script, std::string& error);

// Bytes as "0C 00 00 00".
std::string HexBytes(const uint8_t* data, size_t length);

// "WM_GAME_LOADED(1, 0)" for the module's messages to its host, "message 0x1234(...)"
// otherwise.
std::string DescribeHostMessage(UINT message, uint64_t wParam, int64_t lParam);

}  // namespace testhost
