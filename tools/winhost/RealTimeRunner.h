// Plays a game script against the real module in real time, on the window thread of a
// Windows host: host messages reach OnReceive through a socket window as the real
// host's network layer delivers them, keys and the pointer go through the system's
// input queue, and every expectation is checked in a window of the real clock around
// its script time. A periodic multimedia timer drives the script, so events keep
// coming while a modal loop of the module runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "testhost/ScriptReader.h"
#include "testhost/TimedHost.h"
#include "tools/winhost/PngWriter.h"

namespace winhost {

// A message the module sent or posted to its host window, when it came.
struct HostWindowMessage {
  DWORD tick;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RealTimeRunner {
 public:
  // An expectation at script time T holds when what it expects happens on the real
  // clock from T - kEarlyMs until kLateMs after the script's next later event (the
  // script's "+0" after an input or message means "in answer to it", which may take an
  // animation's time), the window's end as much later as the input before it was fired
  // late; a host call or post is checked when that window closes.
  static constexpr uint32_t kEarlyMs = 50;
  static constexpr uint32_t kLateMs = 1000;
  // A checkpoint is captured at each of these offsets from its time; the comparison
  // takes the capture nearest the headless frame.
  static constexpr int kCaptureOffsetsMs[] = {-100, -50, 0, 50, 100};
  // The periodic frames, besides the checkpoints'.
  static constexpr uint32_t kFramePeriodMs = 500;
  // How often the script's clock is looked at.
  static constexpr UINT kTickMs = 2;
  static constexpr UINT kSocketMessage = 0x373;

  struct Frame {
    uint32_t ms;             // script time it was captured at
    std::string checkpoint;  // "" for a periodic frame
    int offsetMs = 0;        // from the checkpoint's time
    RgbPicture picture;
  };

  // The runner answers boxes and destroys the game window at `end` through `destroy`;
  // `hostMessages` is what the host window procedure keeps of the module's messages.
  RealTimeRunner(const testhost::Script& script, testhost::TimedHost& host, testing_support::RecordingHost& recorder,
                 const std::vector<HostWindowMessage>& hostMessages, IClientInterface* client, HWND gameWindow,
                 std::function<int32_t()> destroy);
  ~RealTimeRunner();
  RealTimeRunner(const RealTimeRunner&) = delete;
  RealTimeRunner& operator=(const RealTimeRunner&) = delete;

  // Plays to `end` (and its window), pumping the thread's messages; false with the
  // first failure: its line, the real time and what differed. `beforeDestroy` runs
  // when the script has ended and passed, before the game window is destroyed.
  bool Run(std::string& failure, const std::function<void()>& beforeDestroy);

  // Every frame captured, in order.
  const std::vector<Frame>& Frames() const { return frames_; }
  // "<ms> <what>" lines of what the runner did and checked, on the tick of GetTickCount.
  struct Note {
    DWORD tick;
    int order;  // at equal times: events fired, then checks
    std::string text;
  };
  const std::vector<Note>& Notes() const { return notes_; }
  DWORD StartTick() const { return start_; }
  // The time the game window's timer messages took to dispatch, each: the game's
  // ordinary frames.
  const std::vector<double>& TickDispatchMs() const { return tickDispatchMs_; }

  // How late each of the script's sounds may come, as this run measured itself: as late
  // as the input before it (a message, the pointer or a key) was fired, when the sound
  // answers it. (The stops of the runner's own clock, summed from the input to the
  // sound, and the gaps of the game's timers came to five to ten times what a loaded
  // machine put the sounds off by: they would let a late sound pass.) Empty when the
  // script holds no sounds or its inputs did not all come.
  struct SoundLate {
    uint32_t at;  // the sound's script time
    uint32_t ms;
    std::string name;
  };
  std::vector<SoundLate> SoundLateness() const;

  // A click the system delivered to no window of the game (Wine on a loaded machine now
  // and then drops one, or gives it to no window) is sent again once this long has gone
  // with no button press reaching the game, at most this many times in all; one that
  // reached the game stands, whatever the game made of it.
  static constexpr uint32_t kClickReachMs = 500;
  static constexpr int kClickTries = 3;

  // Called by the socket window; public for its C callback.
  void SocketMessage(UINT message);
  // Called by the thread's message hook with each button press taken from the queue, by
  // whichever loop takes it (the module's own too).
  void ButtonDown(HWND window);

 private:
  struct PendingCheck {
    size_t event;
    uint32_t due;
  };
  struct Capture {
    uint32_t at;
    std::string checkpoint;
    int offsetMs;
  };

  uint32_t Now() const { return GetTickCount() - start_; }
  void Due();
  void Fire(const testhost::ScriptEvent& e);
  void Check(size_t event);
  void AnswerBoxes();
  void OnSend(const uint8_t* data, int32_t length);
  void Fail(int line, const std::string& what);
  void NoteEvent(int line, int order, const std::string& what);
  bool InWindow(DWORD tick, size_t event) const;
  uint32_t WindowEnd(size_t event) const;
  uint32_t InputLateness(size_t event) const;
  std::string Window(size_t event) const;
  void Pointer(const testhost::ScriptEvent& e, DWORD buttons);
  void Key(int vk, bool down);

  const testhost::Script& script_;
  testhost::TimedHost& host_;
  testing_support::RecordingHost& recorder_;
  IClientInterface* client_;
  const std::vector<HostWindowMessage>& posted_;
  HWND gameWnd_;
  std::function<int32_t()> destroy_;
  HWND socket_ = nullptr;
  UINT timer_ = 0;
  std::atomic<bool> duePosted_{false};
  DWORD start_ = 0;
  size_t nextEvent_ = 0;
  size_t nextCapture_ = 0;
  std::vector<Capture> captures_;
  std::vector<PendingCheck> checks_;
  size_t nextCheck_ = 0;
  std::vector<std::vector<uint8_t>> inbound_;
  size_t nextInbound_ = 0;
  size_t nextCommand_ = 0;
  size_t hostCall_ = 0;
  size_t postSeen_ = 0;
  size_t boxSeen_ = 0;
  size_t nextAnswer_ = 0;
  std::vector<HWND> boxes_;
  bool ended_ = false;
  uint32_t endAt_ = 0;
  std::string failure_;
  std::vector<Frame> frames_;
  std::vector<Note> notes_;
  std::vector<double> tickDispatchMs_;
  std::vector<DWORD> firedAt_;  // each event's tick when it was fired; 0 not fired
  // The click last fired, until a press of it reached the game.
  struct PendingClick {
    size_t event;
    DWORD firedAt;
    int tries;
    bool reached;
  };
  std::optional<PendingClick> click_;
  HHOOK hook_ = nullptr;
  void ClickAgainIfLost();
};

}  // namespace winhost
