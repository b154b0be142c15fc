// A headless host for the module: it loads Dorvik2.so, owns the host window the game
// window lives in, answers the module's callbacks through a recording host, drives
// the virtual clock, and writes a transcript of what passed between the two.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dorvik2Api.h"
#include "plat/sim_display.h"
#include "plat/user.h"
#include "support/RecordingHost.h"
#include "testhost/ModuleLibrary.h"
#include "testhost/TimedHost.h"

namespace testhost {

class TestHost {
 public:
  // The host window's client area leaves room for the game window at (3, 3).
  static constexpr int kHostClientWidth = 806;
  static constexpr int kHostClientHeight = 606;
  static constexpr const char* kHostClassName = "Dorvik2TestHost";

  TestHost();
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  bool LoadModule(const std::string& path, std::string& error);
  // The exports given as they are, for a program linking the module itself.
  void UseExports(CreateGameWndFn create, InitGameWndFn init, DestroyGameWndFn destroy);
  const ModuleLibrary& Module() const { return module_; }

  // The three exports, each noted in the transcript.
  int32_t Create();
  HWND Init(const std::u16string& gameFolder, const std::u16string& portalFolder, int32_t loadInThread);
  int32_t Destroy();

  IClientInterface* Client() const { return client_; }
  HWND HostWindow() const { return hostWnd_; }
  HWND GameWindow() const { return gameWnd_; }
  IHostInterface* HostInterface() { return &timed_; }
  testing_support::RecordingHost& Recorder() { return recorder_; }

  // Dispatches what is queued for this thread.
  void Pump();
  // Moves virtual time, pumping at each step.
  void Advance(uint32_t ms);
  // Runs `hook` on the window thread each time a modal loop (a message box) is about
  // to wait, with its dialog: it may read the dialog, inject input at dialog
  // coordinates, or return so that virtual time runs on. Empty removes it.
  void OnModal(std::function<void(HWND dialog)> hook);
  // Sees each command the module sends, after it is recorded. Empty removes it.
  void OnSend(std::function<void(const uint8_t* data, int32_t length)> observer);
  // Pumps until every loader thread has ended; false when `realMs` of real time pass
  // first (a loader measures real work, so this wait is real).
  bool WaitForLoader(uint32_t realMs);

  // Export calls, host calls and messages posted to the host window in the order of
  // their virtual time, each line "<ms> <what>".
  std::vector<std::string> Transcript() const;

  // What the game window shows, as a PNG through the layer's frame capture; false with
  // `error` set when there is no game window or the file cannot be written.
  bool WriteGamePicture(const std::string& path, std::string& error) const;

 private:
  struct Note {
    DWORD tick;
    std::string text;
  };
  void NoteExport(std::string text);
  DWORD Elapsed(DWORD tick) const { return tick - startTick_; }

  ModuleLibrary module_;
  testing_support::RecordingHost recorder_;
  TimedHost timed_{recorder_};
  mutable std::mutex mutex_;
  std::vector<Note> exports_;
  DWORD startTick_ = 0;
  HWND hostWnd_ = nullptr;
  HWND gameWnd_ = nullptr;
  IClientInterface* client_ = nullptr;
};

// "WM_GAME_LOADED(1, 0)" for the module's messages, "message 0x1234(...)" otherwise.
std::string DescribePosted(const MSG& message);

// The desktop formats a run can ask for by name: "565", "555" and "32".
std::optional<plat::sim::DisplayFormat> DesktopFormatNamed(std::string_view name);

}  // namespace testhost
