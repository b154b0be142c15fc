// The game scene as far as the window shell needs it: construction, set-up, the
// build that makes it ready, the sound set-up, drawing, the game timers and the
// counters the window reads. The full scene replaces these bodies; until then
// tests steer the build through the controls at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "module/RCRoomData.h"
#include "module/RCUser.h"
#include "plat/threads.h"
#include "plat/user.h"
#include "sound/CGameSoundMgr.h"
#include "widgets/GGeometry.h"

class CDorvik2Wnd;
struct IDirectDrawSurface4;

class CDorvik2VWS {
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

  explicit CDorvik2VWS(CDorvik2Wnd* owner);
  virtual ~CDorvik2VWS();
  CDorvik2VWS(const CDorvik2VWS&) = delete;
  CDorvik2VWS& operator=(const CDorvik2VWS&) = delete;

  // Set-up with the scene's rectangle; non-zero on success. Leaves the scene unready.
  virtual int32_t Init(const GRect& rect);
  // Loads everything and makes the panels; 1 and ready, or 0. May run on the loader
  // thread, and then stops early when the owner asks the loader to end.
  int32_t BuildSceneUI();
  // Set after a successful build (release), read by the window procedure (acquire).
  bool IsReady() const { return ready_.load(std::memory_order_acquire) != 0; }
  // Draws what is dirty into the back buffer and presents it; the drawn area.
  GRect Draw(IDirectDrawSurface4* backBuffer, const GRect& rect);
  void MarkDirty() { dirty_ = 1; }
  // Redraws when marked dirty; 1 when it did.
  int32_t RedrawIfDirty();

  // Timers on the game window: 0 the 50 ms tick, 1 the turn countdown for `phase`,
  // 2 the blink, 3 and 4 one-shots. Id 1 gives the limit used (seconds), others 0.
  int32_t StartGameTimer(UINT_PTR id, int32_t phase);
  void StopGameTimer(UINT_PTR id);
  // Acts on the scene's timers (ids 0..5): 1; any other id (a widget's) 0.
  int32_t OnTimer(UINT_PTR id);

  CDorvik2Wnd* Owner() const { return owner_; }
  int32_t GamesPlayed() const { return gamesPlayed_; }
  int32_t SceneModeValue() const { return sceneMode_; }
  int32_t TurnPhase() const { return turnPhase_; }
  bool IsDirty() const { return dirty_ != 0; }
  // Written by the window after a screen (re)build.
  int32_t pixelFormat = 0;
  // Game ticks until the stored volume is applied again (the window sets it on
  // activation).
  int32_t volumeCountdown = 0;

  // Teardown: timers, looping sounds, readiness, then the sound device. Also run by
  // the destructor.
  void DestroyAll();

  // ---- Sound: effects by id, voice lines by cue, the effect volume ---------------------
  // Voice ids name rows of the voice-cue table.
  static constexpr int32_t kRobotQuietAbove = 10020;  // robots say only the ids up to this
  static constexpr int32_t kSilentVolume = -10000;
  static constexpr int32_t kQuietestAudible = -4999;  // anything lower is silence
  // Loader thread, after the build: loads every effect from the sound folder on the
  // host window's device. 1 when it got to the end; 0 when the device cannot be made,
  // or the scene stopped being ready or the loader was asked to end (then the scene
  // stays silent). A file that cannot be loaded is skipped.
  int32_t RegisterEffects();
  // 1 when effect `id` (0..kEffectCount-1) was started at the effect volume; 0 before
  // the effects are registered or for another id.
  int32_t PlayEffect(int32_t id, int32_t loop);
  // 0 for an id outside 0..kEffectCount-1, else 1 (stopped if it was playing).
  int32_t StopEffect(int32_t id);
  void StopLoopingEffects();
  // Seat 0 or 1, or -1 for the turn user's seat. 1 when a file was handed to the sound
  // manager (whether or not it could play it), else 0.
  int32_t PlayVoice(int32_t id, int32_t seat);
  // Variant 1 of a line in the given voice set, for the voice choice; seat -1 speaks
  // with this client's own gender. 1 when a file was handed over, else 0.
  int32_t PreviewVoice(int32_t id, int32_t voiceSet, int32_t seat);
  // Below kQuietestAudible becomes silent, above 0 becomes 0; then every effect and
  // file channel takes it.
  void SetEffectVolume(int32_t volume);
  // Every effect and file channel takes the stored volume again.
  void ReapplyEffectVolume();
  int32_t EffectVolume() const { return effectVolume_.load(std::memory_order_acquire); }
  // Set after the last effect loaded and the volume is in place (release).
  bool IsSoundReady() const { return soundReady_.load(std::memory_order_acquire) != 0; }
  const std::string& SoundFolder() const { return soundFolder_; }
  CGameSoundMgr& SoundMgr() { return soundMgr_; }
  // Users whose voice lines are not played (the muted list of the seat menu).
  void AddMutedUser(int32_t userNo);
  void RemoveMutedUser(int32_t userNo);
  bool IsMutedUser(int32_t userNo) const;
  void ClearMutedUsers() { mutedUsers_.clear(); }
  // 0 silences voice lines (effects keep playing).
  int32_t Option_SoundEffect = 1;

  // ---- Seats as the voice lines read them (stand-in until the seat queries land) ------
  // The seat's record; a seat outside 0..1 throws std::out_of_range.
  PlayerInfo& GetPlayer(int32_t seat) { return room_.seats.Player(seat); }
  // 0 or 1; -1 when the user holds no seat.
  int32_t GetSeatOfUser(int32_t userNo) const { return room_.seats.SeatOfUser(userNo); }
  // 1 when the seat's robot field is negative or its user number is below -1.
  int32_t IsRobotSeat(int32_t seat) const;
  RCRoomData& Room() { return room_; }
  RCUser& OwnUser() { return ownUser_; }
  int32_t turnUserNo = RCUser::kNoUser;

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
    // The last RegisterEffects result (-1 before any), and a hook run before each
    // effect file is loaded and once more with kEffectCount just before the effects
    // may play (on the thread that registers).
    std::atomic<int32_t> effectsResult{-1};
    std::atomic<void (*)(CDorvik2VWS& scene, int32_t effectId)> beforeEffectLoad{nullptr};
    std::atomic<int32_t> constructed{0};
    std::atomic<int32_t> destroyed{0};
    std::atomic<int32_t> destroyedWhileWindowExisted{0};
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

  // ---- Sound ----------------------------------------------------------------------------
  // Whether registration may go on: the scene still ready and the loader not asked to end.
  bool MayRegister() const;
  // "<Male|Female><set>\\<cue><variant>.ogg" or "Robot\\<cue><variant>.ogg".
  static std::string VoiceFile(int32_t gender, int32_t voiceSetNumber, const char* cue, int32_t variant);
  std::atomic<int32_t> soundReady_{0};
  std::string soundFolder_;
  std::atomic<int32_t> effectVolume_{0};
  // Storing and applying the volume is one step, so that the loader's final apply
  // cannot put back a value the window thread has just replaced.
  CSoundLock volumeLock_;
  std::vector<int32_t> mutedUsers_;
  CGameSoundMgr soundMgr_;

  // ---- Seats (stand-in) -----------------------------------------------------------------
  RCRoomData room_;
  RCUser ownUser_;
};
