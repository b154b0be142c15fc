// The game scene as far as the window shell needs it: construction, set-up, the
// build that makes it ready, the sound set-up, drawing, the game timers and the
// counters the window reads. The full scene replaces these bodies; until then
// tests steer the build through the controls at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "plat/threads.h"
#include "plat/user.h"
#include "widgets/GGeometry.h"
#include "widgets/GVWS.h"

class CDorvik2Wnd;
struct IDirectDrawSurface4;

class CDorvik2VWS : public GVWS {
 public:
  enum SceneMode : int32_t { kModeNone = -1, kModeWaiting = 1, kModePlaying = 2, kModeResult = 3 };
  static constexpr int32_t kEffectCount = 54;
  // Timers 0..4 are the scene's own and die with it; 5 (the chat macro's) outlives
  // a teardown.
  static constexpr UINT_PTR kTickTimer = 0;
  static constexpr UINT_PTR kTurnTimer = 1;
  static constexpr UINT_PTR kBlinkTimer = 2;
  static constexpr UINT_PTR kLastKilledTimer = 4;
  static constexpr UINT_PTR kLastTimer = 5;

  // The strip along the top of the game window that drags the host window when a
  // press there finds nothing to take it (right and bottom exclusive).
  static constexpr GRect kDragStrip{0, 0, 700, 20};

  explicit CDorvik2VWS(CDorvik2Wnd* owner);
  ~CDorvik2VWS() override;
  CDorvik2VWS(const CDorvik2VWS&) = delete;
  CDorvik2VWS& operator=(const CDorvik2VWS&) = delete;

  // Set-up with the scene's rectangle, the window system's screen rectangle first;
  // non-zero on success. Leaves the scene unready.
  BOOL SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  int32_t Init(const GRect& rect) { return SetRect(rect.left, rect.top, rect.right, rect.bottom); }
  // Loads everything and makes the panels; 1 and ready, or 0. May run on the loader
  // thread, and then stops early when the owner asks the loader to end.
  int32_t BuildSceneUI();
  // Set after a successful build (release), read by the window procedure (acquire).
  bool IsReady() const { return ready_.load(std::memory_order_acquire) != 0; }
  // The sound set-up on the loader thread after the build; only when ready.
  int32_t RegisterEffects();
  // 1 when effect `id` (0..kEffectCount-1) played; 0 before ready or for another id.
  int32_t PlayEffect(int32_t id, int32_t loop);
  // Draws what is dirty into the back buffer and presents it; the drawn area.
  GRect Draw(IDirectDrawSurface4* backBuffer, GRect rect) override;
  void MarkDirty() { dirty_ = 1; }
  // Redraws when marked dirty; 1 when it did.
  int32_t RedrawIfDirty();

  // Timers on the game window: 0 the 50 ms tick, 1 the turn countdown for `phase`,
  // 2 the blink, 3 and 4 one-shots. Id 1 gives the limit used (seconds), others 0.
  int32_t StartGameTimer(UINT_PTR id, int32_t phase);
  void StopGameTimer(UINT_PTR id);
  // Acts on the scene's timers (ids 0..5): 1; any other id (a widget's) 0.
  BOOL OnTimer(UINT_PTR id) override;

  // ---- Input the game window hands over ----
  // 0 with input off, and for a windowed press in the drag strip that no widget takes
  // (the window then lets the host drag its window); 1 otherwise. Takes the focus,
  // and the capture outside the strip.
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  int32_t OnSetFocus(HWND previous);
  int32_t OnKillFocus(HWND next);
  int32_t OnUserMessage100();
  // The kick after a build: dispatches the queue's head when ready and not busy.
  int32_t DispatchNextIfIdle();

  CDorvik2Wnd* Owner() const { return owner_; }
  int32_t GamesPlayed() const { return gamesPlayed_; }
  int32_t SceneModeValue() const { return sceneMode_; }
  int32_t TurnPhase() const { return turnPhase_; }
  bool IsDirty() const { return dirty_ != 0; }
  const std::vector<int32_t>& PlayedEffects() const { return playedEffects_; }
  // Written by the window after a screen (re)build.
  int32_t pixelFormat = 0;
  // Game ticks until the stored volume is applied again (the window sets it on
  // activation).
  int32_t volumeCountdown = 0;

  // ---- Test controls of this stand-in scene (shared by every scene) ----------------
  enum class BuildBlock : int32_t {
    None,
    UntilReleasedOrCancelled,  // a build that polls the loader's cancel flag
    IgnoringCancel,            // a build that never looks at it
  };
  struct TestControls {
    std::atomic<int32_t> initResult{1};
    std::atomic<int32_t> buildResult{1};
    std::atomic<bool> buildThrows{false};
    std::atomic<BuildBlock> block{BuildBlock::None};
    // Manual-reset events: set when a build starts, set by a test to release it, set
    // when a build returns.
    HANDLE buildStarted = nullptr;
    HANDLE buildRelease = nullptr;
    HANDLE buildFinished = nullptr;
    // Who ran what, and the scenes' lives.
    std::atomic<DWORD> buildThread{0};
    std::atomic<DWORD> effectsThread{0};
    std::atomic<int32_t> builds{0};
    std::atomic<int32_t> effectsRuns{0};
    std::atomic<int32_t> constructed{0};
    std::atomic<int32_t> destroyed{0};
    std::atomic<int32_t> destroyedWhileWindowExisted{0};
    std::atomic<int32_t> dispatchKicks{0};
    GRect initRect;
  };
  static TestControls& Controls();
  // Back to defaults: the events reset, counters zero.
  static void ResetControls();

 private:
  void KillGameTimers();

  CDorvik2Wnd* owner_;
  HWND gameWnd_ = nullptr;
  std::atomic<int32_t> ready_{0};
  int32_t dirty_ = 0;
  int32_t gamesPlayed_ = 0;
  int32_t sceneMode_ = kModeNone;
  int32_t turnPhase_ = 0;  // doubles as timer 1's running flag
  int32_t timerRunning_[kLastKilledTimer + 1] = {};
  std::vector<int32_t> playedEffects_;
};
