// The game scene: the one object that holds what the table shows and knows. It is
// made and initialised by the game window, ticks every 50 ms, draws what changed,
// takes the host's messages one at a time and hands each to its handler.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "host/GameCommand.h"
#include "host/HostMessage.h"
#include "host/RCRoomData.h"
#include "host/RCUser.h"
#include "panels/CCheckNotice.h"
#include "panels/CVCountWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/CVQLATextWnd.h"
#include "panels/CVTextShadowWnd.h"
#include "panels/CVObserveSystemWnd.h"
#include "panels/IPanelScene.h"
#include "panels/CDorvik2PromotionMgr.h"
#include "panels/CDorvik2VIPMgr.h"
#include "panels/SeatPanels.h"
#include "panels/CVDorvik2BijouWnd.h"
#include "panels/CVGFPlayCountWnd.h"
#include "panels/CVGoBakAlertUIWnd.h"
#include "panels/CVItemWnd.h"
#include "panels/CVMissionWnd.h"
#include "panels/CVNotifyWnd.h"
#include "panels/CVRankingPointWnd.h"
#include "panels/CVRestrictOptionWnd.h"
#include "panels/CVResultWnd.h"
#include "panels/CVUserOptionWnd.h"
#include "plat/sysinfo.h"
#include "plat/threads.h"
#include "plat/user.h"
#include "game/CGameInfo.h"
#include "game/CGameModel.h"
#include "game/COpenInfo.h"
#include "scene/CHostQueue.h"
#include "scene/CSceneOptions.h"
#include "scene/CSceneSenders.h"
#include "scene/CSceneSound.h"
#include "scene/CSceneTimers.h"
#include "scene/CCardTable.h"
#include "scene/CTimeMgr.h"
#include "scene/CVHTWnd.h"
#include "scene/ICardTableHost.h"
#include "scene/ISceneOwner.h"
#include "scene/SceneEffects.h"
#include "scene/SceneHandlers.h"
#include "tables/SceneBuildTable.h"
#include "base/GGeometry.h"
#include "widgets/GVWS.h"

struct IDirectDrawSurface4;
class GVAnimWnd;
class GVAvatarWnd;
class GVBoxWnd;
class GVDDSWnd;
class GVLightTextWnd;
class GVPSPNumberWnd;
class GVPSPWnd;
class GVPushBtn;
class GVQLAniWnd;
class GVQLSWnd;
class GVSlideWnd;
class GVTextWnd;

class CDorvik2VWS : public GVWS,
                    public IPanelScene,
                    public ICardTableHost,
                    private CSceneSound::ITable,
                    private IHostQueueSite {
 public:
  using SceneMode = CGameModel::SceneMode;
  static constexpr SceneMode kModeNone = CGameModel::kModeNone;
  static constexpr SceneMode kModeWaiting = CGameModel::kModeWaiting;
  static constexpr SceneMode kModePlaying = CGameModel::kModePlaying;
  static constexpr SceneMode kModeResult = CGameModel::kModeResult;
  static constexpr UINT_PTR kTickTimer = CSceneTimers::kTickTimer;
  static constexpr UINT_PTR kTurnTimer = CSceneTimers::kTurnTimer;
  static constexpr UINT_PTR kBlinkTimer = CSceneTimers::kBlinkTimer;
  static constexpr UINT_PTR kBannerTimer = CSceneTimers::kBannerTimer;
  static constexpr UINT_PTR kLastKilledTimer = CSceneTimers::kLastKilledTimer;
  static constexpr UINT_PTR kLastTimer = CSceneTimers::kLastTimer;

  static constexpr int32_t kSeats = CGameInfo::kSeats;
  static constexpr int32_t kPlayTimeNotices = CGameModel::kPlayTimeNotices;

  // Every widget, panel and animation the scene build makes, in build order; all null
  // before it and after a teardown. The widget list owns them: nothing here deletes
  // one. The handlers' names for them are noted where they differ.
  template <class T>
  using PerSide = std::array<T*, kSeats>;
  struct SceneWidgets {
    GVDDSWnd* background = nullptr;
    GVWnd* robotTitle = nullptr;
    CVGFPlayCountWnd* playCountPanel = nullptr;
    GVTextWnd* statusText = nullptr;    // the status label
    GVQLAniWnd* turnMarker = nullptr;   // the turn blink
    GVWnd* titleBarBack = nullptr;
    CVPSPPushBtn* autoPlaySettingButton = nullptr;
    CVPSPPushBtn* memoButton = nullptr;
    GVQLAniWnd* memoNotice = nullptr;
    CVPSPPushBtn* captureButton = nullptr;
    CVPSPPushBtn* minimiseButton = nullptr;
    CVPSPPushBtn* maximiseButton = nullptr;
    CVPSPPushBtn* closeButton = nullptr;
    CVPSPPushBtn* watchButton = nullptr;
    CVPSPPushBtn* joinButton = nullptr;
    CVPSPPushBtn* optionButton = nullptr;
    CVPSPPushBtn* vipButton = nullptr;
    CVPSPPushBtn* exitButton = nullptr;
    CVPSPPushBtn* cancelExitButton = nullptr;
    GVWnd* pointMoneyBack = nullptr;          // the stake display's back; with its text the
                                              // robot room's two captions
    CVTextShadowWnd* pointMoneyText = nullptr;  // the stake display
    PerSide<CVUserInfoWnd> seatPanels{};
    PerSide<CVJumsuInfoWnd> scorePanels{};
    PerSide<CVHTIconWnd> cardIcons{};
    PerSide<CVBakIconWnd> bakIcons{};
    GVQLAniWnd* remainCloseAnim = nullptr;     // the marker on the revealed deck card
    PerSide<GVQLAniWnd> remainHoldAnims{};     // a seat's reveal animation
    CVRestrictOptionWnd* restrictCaption = nullptr;  // the anti-leave panel
    GVWnd* inviteBack = nullptr;               // the empty-seat hint's two widgets
    CVPSPPushBtn* inviteButton = nullptr;
    GVWnd* robotCharacter = nullptr;           // the robot-room widget
    std::array<GVAnimWnd*, 5> robotAvatars{};  // the five robot characters
    GVAnimWnd* robotAvatar = nullptr;          // the one shown, and its expression
    PerSide<GVWnd> disconnectMarks{};          // a side's two seat markers: this one ...
    PerSide<GVWnd> voiceOffMarks{};
    PerSide<GVWnd> blacklistMarks{};
    PerSide<GVWnd> firstPlayerIcons{};         // ... and this one
    CVRankingPointWnd* rankingPointPanel = nullptr;
    CVMissionWnd* missionPanel = nullptr;
    CVGoBakAlertUIWnd* goBakAlert = nullptr;
    GVQLAniWnd* robotPlayAnim = nullptr;       // the robot animation
    GVWnd* playStart = nullptr;
    GVWnd* waitingSprite = nullptr;            // the same sprite as playStart
    GVQLAniWnd* sunPickAnim = nullptr;         // the pick-card animation
    GVWnd* autoPlayCancelButton = nullptr;     // with the auto-play notice: the two indicators
    std::array<GVQLAniWnd*, 8> eventAnims{};   // the eight floor events
    PerSide<GVQLAniWnd> sunNotices{};          // the two seat marks
    GVQLAniWnd* countdownAnim = nullptr;       // the countdown
    GVQLAniWnd* startAnim = nullptr;
    CVPSPPushBtn* startButton = nullptr;
    GVQLAniWnd* bettingBack = nullptr;
    std::array<CVPSPPushBtn*, 3> betButtons{};
    GVTextWnd* bettingText = nullptr;
    std::array<GVQLAniWnd*, 2> bettingKindAnims{};
    GVWnd* dieWarning = nullptr;
    GVQLAniWnd* multiplierAnim = nullptr;
    std::array<GVQLAniWnd*, 9> comboAnims{};   // the nine event banners
    CVObserveSystemWnd* observePanel = nullptr;
    CVNotifyWnd* notifyPrompt = nullptr;
    GVQLAniWnd* winnerAnim = nullptr;
    CVResultWnd* resultPanel = nullptr;
    GVWnd* winMoneyLimit = nullptr;
    GVWnd* chanceSprite = nullptr;
    GVTextWnd* chanceText = nullptr;
    GVQLAniWnd* moneyBellNotice = nullptr;     // the notice animation
    GVQLAniWnd* moneyBellAnim = nullptr;       // the money-bell sign
    GVQLAniWnd* moneyBellOtherAnim = nullptr;
    PerSide<GVQLAniWnd> autoRefillAnims{};
    PerSide<GVTextWnd> autoRefillTexts{};
    CVDorvik2BijouWnd* bijouPanel = nullptr;
    GVQLAniWnd* bijouEffect = nullptr;
    CVUserOptionWnd* optionPanel = nullptr;
    GVQLAniWnd* gameLevelAnim = nullptr;       // the room-entry animation
    GVQLAniWnd* hourAnimation = nullptr;       // the number-one (on-the-hour) animation
    GVWnd* moneyLimitTooltip = nullptr;
    GVQLAniWnd* moneyLimitTooltipAnim = nullptr;
    GVQLAniWnd* moneyLimitExplainAnim = nullptr;
    CCheckNotice* noticeTicker = nullptr;
    // Made when a player's avatar arrives, not by the build.
    PerSide<GVAvatarWnd> avatars{};
    // Made after the bijou, beside the remaining-cards board and its picture.
    GVWnd* roomBanner = nullptr;
    GVQLAniWnd* pickBanner = nullptr;      // from the first-player pick to the deal
    GVQLAniWnd* inGameBanner = nullptr;    // from the game's first turn on
    GVQLAniWnd* deckAnim = nullptr;        // before cards leave the deck
    GVWnd* noTurnSign = nullptr;           // a game handed back with nobody's turn
    // No build member: the handlers skip it (the turn-hint widget).
    bool operator==(const SceneWidgets&) const = default;
  };

  explicit CDorvik2VWS(ISceneOwner* owner);
  ~CDorvik2VWS() override;
  CDorvik2VWS(const CDorvik2VWS&) = delete;
  CDorvik2VWS& operator=(const CDorvik2VWS&) = delete;

  // Init: the window system's rectangle first, then the folders, the portal file, the
  // registry path, the cursors and the stored options. Non-zero on success, 0 when the
  // portal file names no company or domain or no cursor can be had. Leaves the scene
  // unready.
  BOOL SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  int32_t Init(const GRect& rect) { return SetRect(rect.left, rect.top, rect.right, rect.bottom); }
  int32_t ClientVersion() const { return model_.clientVersion; }
  const std::string& RegistryBasePath() const { return options_.RegistryBasePath(); }
  const std::string& ImageFolder() const { return imageFolder_; }
  HCURSOR NormalCursor() const { return cursors_.normal; }
  HCURSOR ClickCursor() const { return cursors_.click; }
  // The title of a grade 0..8; "" outside.
  std::string GetGradeName(int32_t index) const override;
  // Loads everything and makes the panels; 1 and ready, or 0. May run on the loader
  // thread, and then stops early when the owner asks the loader to end.
  int32_t BuildSceneUI();
  // The loader was asked to end: the build and the factory open no more files.
  bool BuildCancelled() const;
  // Set after a successful build (release), read by the window procedure (acquire).
  bool IsReady() const { return ready_.load(std::memory_order_acquire) != 0; }
  // Draws what is dirty into the back buffer and presents it; the drawn area (empty
  // when nothing was drawn, also without a screen). A null target means the screen's
  // back buffer. A display-mode change rebuilds the screen first.
  GRect Draw(IDirectDrawSurface4* backBuffer, GRect rect) override;
  void MarkDirty() { dirty_ = 1; }
  // Marks the scene and the widget (when there is one) for the next draw.
  void MarkWidgetDirty(GVWnd* wnd);
  // Redraws when marked dirty and ready; 1 when it did. Before the scene is ready the
  // flag stays set: a build on the loader thread may be filling the widget list.
  int32_t RedrawIfDirty();
  // The animation step of the 50 ms tick: 0 when less than 50 ms passed since the last
  // one, else 1. Starts at most one queued host message. Draws nothing.
  int32_t AnimationTick();
  // The nested wait: ticks, draws and dispatches input and timer messages until `ms`
  // have passed, leaving other messages queued. Returns at once while closing.
  void WaitPumpingMessages(uint32_t ms);

  // Timers on the game window (CSceneTimers).
  // Id 1 runs for the phase's limit as this client's speed, auto-play, anti-leave
  // counters and time-outs make it, and returns it; others 0.
  int32_t StartGameTimer(UINT_PTR id, int32_t phase);
  // KillTimer's result for a running timer, else the id; stopping 2 also stops the
  // turn marker.
  int32_t StopGameTimer(UINT_PTR id);
  bool IsGameTimerRunning(UINT_PTR id) const { return timers_.IsRunning(id); }
  // Acts on the scene's timers (ids 0..5): 1; any other id (a widget's) 0.
  BOOL OnTimer(UINT_PTR id) override;
  CSceneTimers& Timers() { return timers_; }
  const CSceneTimers& Timers() const { return timers_; }

  // ---- Input the game window hands over ----
  // 0 with input off, and for a windowed press in the drag strip that no widget takes
  // (the window then lets the host drag its window); 1 otherwise. Takes the focus,
  // and the capture outside the strip.
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  int32_t OnSetFocus(HWND previous);
  int32_t OnKillFocus(HWND next);
  int32_t OnUserMessage100();

  ISceneOwner* Owner() const { return owner_; }
  int32_t GamesPlayed() const { return model_.gamesPlayed; }
  int32_t GetSceneMode() const { return model_.sceneMode; }
  int32_t GetPhase() const { return timers_.Phase(); }
  bool IsDirty() const { return dirty_ != 0; }
  // The screen's colour key, written by the window after every screen (re)build; the
  // widgets the scene makes take it as their key. Under the resource manager's lock,
  // which the window holds across its screen's hand-over: a build on the loader thread
  // reads the key of the screen its pictures are made with.
  int32_t ColorKey() const;
  void SetColorKey(int32_t key);
  // Bits per pixel of the current display mode (15 and 16 told apart by the red
  // mask), 0 when it cannot be read; also kept for DisplayBitDepth. Sets the card
  // moves' frame time again.
  int32_t GetDisplayBitDepth();
  int32_t DisplayBitDepth() const { return screen_.displayBitDepth; }
  int32_t CardFrameMs() const { return cardTable_.CardFrameMs(); }
  // Game ticks until the stored volume is applied again (the window sets it on
  // activation).
  void SetVolumeCountdown(int32_t ticks) { sound_.SetVolumeCountdown(ticks); }
  int32_t VolumeCountdown() const { return sound_.VolumeCountdown(); }

  // Teardown: game timers 0..4, looping sounds, every widget, readiness, the pop-up,
  // the sound device, the room. Every widget pointer is null afterwards. Also run by
  // the destructor.
  void DestroyAll() override;
  const SceneWidgets& Widgets() const { return built_.widgets; }
  // The animated widgets the tick advances, in the order they were appended.
  const plist<GVQLAniWnd>& Animations() const { return built_.animations; }
  // The popup-menu buttons.
  const pvector<CVPSPPushBtn>& Buttons() const { return built_.buttons; }
  // The window was destroyed under a running handler: no host call or post from now
  // on, nested waits end, and the owner is told when the outermost handler returns.
  void BeginClosing() { closing_ = 1; }
  // Closes the pop-ups the scene made over the game window. They belong to the host's
  // frame, not to the game window, and only the thread that made them may close them.
  void ClosePopups();
  bool IsClosing() const { return closing_ != 0; }

  // ==== Options (CSceneOptions, CDorvik2VWS_Options.cpp) ================================
  // Under HKEY_CURRENT_USER "Software\<company>\<domain>\<subKey>"; 1 on success.
  int32_t ReadRegString(const std::string& subKey, const char* name, std::string& out) const {
    return options_.ReadRegString(subKey, name, out);
  }
  // The stored speed, skin and sound-effect switch.
  CSceneOptions& Options() { return options_; }
  const CSceneOptions& Options() const { return options_; }
  // The three animation step counts from the speed option.
  void ApplySpeed();
  int32_t AnimSteps(int32_t which) const { return cardTable_.AnimSteps(which); }
  // The host's "macro" button shown enabled (17) or disabled (1).
  void SetMacroButtonEnabled(int32_t enabled);

  // ==== Sound: effects by id, voice lines by cue, the effect volume ====================
  // (CSceneSound, CDorvik2VWS_Sound.cpp)
  // Loader thread, after the build: loads every effect from the sound folder on the
  // host window's device. 1 when it got to the end; 0 when the device cannot be made,
  // or the scene stopped being ready or the loader was asked to end (then the scene
  // stays silent). A file that cannot be loaded is skipped.
  int32_t RegisterEffects();
  // 1 when effect `id` (0..scene_effects::kCount-1) was started at the effect volume; 0
  // before the effects are registered or for another id.
  int32_t PlayEffect(int32_t id, int32_t loop) { return sound_.PlayEffect(id, loop); }
  // 0 for an id outside the effects, else 1 (stopped if it was playing).
  int32_t StopEffect(int32_t id) { return sound_.StopEffect(id); }
  void StopLoopingEffects() { sound_.StopLoopingEffects(); }
  // Seat 0 or 1, or -1 for the turn user's seat. 1 when a file was handed to the sound
  // manager (whether or not it could play it), else 0.
  int32_t PlayVoice(int32_t id, int32_t seat) override { return sound_.PlayVoice(id, seat); }
  // Variant 1 of a line in the given voice set, for the voice choice; seat -1 speaks
  // with this client's own gender. 1 when a file was handed over, else 0.
  int32_t PreviewVoice(int32_t id, int32_t voiceSet, int32_t seat) { return sound_.PreviewVoice(id, voiceSet, seat); }
  // Below CSceneSound::kQuietestAudible becomes silent, above 0 becomes 0; then every
  // effect and file channel takes it.
  void SetEffectVolume(int32_t volume) { sound_.SetEffectVolume(volume); }
  // The game tick's part: while the countdown runs and the volume is below 0, one
  // step of the countdown nudges every channel off the volume and back.
  void ReapplyVolumeOnTick() { sound_.ReapplyVolumeOnTick(); }
  int32_t EffectVolume() const { return sound_.EffectVolume(); }
  bool IsSoundReady() const { return sound_.IsReady(); }
  const std::string& SoundFolder() const { return sound_.Folder(); }
  CGameSoundMgr& SoundMgr() { return sound_.Mgr(); }
  // Users whose voice lines are not played (the muted list of the seat menu).
  void AddMutedUser(int32_t userNo) { sound_.AddMutedUser(userNo); }
  void RemoveMutedUser(int32_t userNo) { sound_.RemoveMutedUser(userNo); }
  bool IsMutedUser(int32_t userNo) const { return sound_.IsMutedUser(userNo); }
  void ClearMutedUsers() { sound_.ClearMutedUsers(); }
  // The macro stays off while anybody is muted.
  bool HasMutedUsers() const { return sound_.HasMutedUsers(); }
  // A hook a test installs to act on the thread that registers the effects: before
  // each effect file (its id), and once more with scene_effects::kCount just before the
  // effects may play. Null removes it.
  using EffectLoadHook = void (*)(CDorvik2VWS& scene, int32_t effectId);
  static void SetEffectLoadHook(EffectLoadHook hook);
  static std::string VoiceFile(int32_t gender, int32_t voiceSetNumber, const char* cue, int32_t variant) {
    return CSceneSound::VoiceFile(gender, voiceSetNumber, cue, variant);
  }

  // ==== The trace: what a test watches the scene and its panels do =====================
  // Null (the product's) records nothing. The trace outlives the scene or is removed,
  // and is installed while no loader runs: the build and the registration read it.
  void SetTrace(ISceneTrace* trace) {
    trace_ = trace;
    sound_.SetTrace(trace);
  }
  ISceneTrace* Trace() const { return trace_; }
  // ==== end of the sound block ===========================================================

  // ==== Widget factory (CDorvik2VWS_Factory.cpp) ========================================
  // Each makes one widget from a path under the image folder, placed, keyed with the
  // scene's colour key, shown or hidden and enabled or not; on failure it records the
  // error, destroys the half-made widget and returns null. The caller owns the result.
  struct LoadErrorRecord {
    int32_t kind = 0;  // 0 recorded only, 1 a picture failed and the host was told
    std::string text;  // kind 1: the relative path as the caller gave it
    bool operator==(const LoadErrorRecord&) const = default;
  };
  static constexpr int32_t kLoadFailedEvent = 36;
  static constexpr GPoint kAvatarTrims{6, 16};
  static constexpr GSize kAvatarSize = scene_build::kAvatarSize;
  static constexpr GPoint kPiCounterPoints[kSeats] = {{405, 388}, {472, 40}};
  static constexpr const char* kPiCounterPicture = "Hwatoo\\pee_count.bmp";
  void LogLoadError(const std::string& text);
  // Also tells the host (event 36) from whichever thread builds.
  void ReportLoadError(const std::string& text);
  const std::vector<LoadErrorRecord>& LoadErrors() const { return built_.loadErrors; }
  void ClearLoadErrors() { built_.loadErrors.clear(); }
  CVHTWnd* CreateHTWnd(int32_t number, const std::string& relPath, const GSize& size) override;
  // Columns or rows below 1 give a kind-0 record and null.
  GVDDSWnd* CreateDDSWnd(const std::string& relPath, const GPoint& pos, BOOL useColorKey, BOOL show, int32_t columns,
                         int32_t rows) override;
  GVTextWnd* CreateTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                           int32_t fontHeight, int32_t fontWeight) override;
  GVLightTextWnd* CreateLightTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                     int32_t fontHeight, int32_t fontWeight) override;
  GVSlideWnd* CreateSlideWnd(const GPoint& pos, const GSize& size, const std::string& knobRelPath, bool vertical,
                             const GPoint& trackOrigin, int32_t length) override;
  GVAnimWnd* CreateAnimWnd(const std::string& relPath, const GPoint& pos, GSize frameSize) override;
  // Full paths; an empty list, or one that cannot be composed, becomes the default
  // avatar, and the caller's list changes with it.
  GVAvatarWnd* CreateAvatarWnd(std::vector<std::string>& parts, const GPoint& pos);
  GVQLAniWnd* CreateQLAniWnd(const std::string& relPath, const GPoint& pos) override;
  GVPSPWnd* CreatePSPWnd(const std::string& relPath, const GPoint& pos, BOOL show) override;
  GVQLSWnd* CreateQLSWnd(const std::string& relPath, const GPoint& pos, BOOL show) override;
  GVBoxWnd* CreateBoxWnd(const GPoint& pos, const GSize& size, COLORREF fill, BOOL show, int32_t blendLevel) override;
  // A surface of its own, filled with the colour key, for the scene to draw on.
  GVDDSWnd* CreateBlankDDSWnd(const GPoint& pos, const GSize& size, BOOL show, BOOL enable);
  // Panels: made and their children built; a panel whose children fail goes with them
  // and adds no record of its own.
  CVItemWnd* CreateItemWnd() override;
  void AddAnimation(GVQLAniWnd* animation) override;
  void AddSceneWnd(GVWnd* wnd) override { AddWnd(wnd); }
  void InsertSceneWndAfter(GVWnd* ref, GVWnd* wnd) override { InsertWndAfter(ref, wnd); }
  int32_t CardSetOf(int32_t card) override { return CardInfoOf(card).set; }
  CVGFPlayCountWnd* CreateGFPlayCountWnd();
  CVUserInfoWnd* CreateUserInfoWnd(int32_t screenPos);
  CVJumsuInfoWnd* CreateJumsuInfoWnd(int32_t screenPos);
  CVHTIconWnd* CreateHTIconWnd(int32_t screenPos);
  CVBakIconWnd* CreateBakIconWnd(int32_t screenPos);
  CVRestrictOptionWnd* CreateRestrictOptionWnd();
  CVRankingPointWnd* CreateRankingPointWnd();
  CVMissionWnd* CreateMissionWnd();
  CVGoBakAlertUIWnd* CreateGoBakAlertUIWnd();
  CVObserveSystemWnd* CreateObserveSystemWnd();
  CVNotifyWnd* CreateNotifyWnd();
  CVResultWnd* CreateResultWnd();
  CVDorvik2BijouWnd* CreateBijouWnd();
  CVUserOptionWnd* CreateUserOptionWnd();
  CCheckNotice* CreateCheckNotice();
  // The pi counter at hand slot 0 of screen side 0 or 1, hidden.
  CVCountWnd* CreateCountWnd(int32_t screenPos) override;
  CVPSPPushBtn* CreatePSPPushBtn(const std::string& relPath, const GPoint& pos, BOOL show, int32_t setCount) override;
  CVTextShadowWnd* CreateTextShadowWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                       int32_t fontHeight, int32_t fontWeight) override;
  // The row's characters come from CreateQLAniWnd, whose record is the only one.
  CVQLATextWnd* CreateQLATextWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                 const GSize& charSize, int32_t spacing, int32_t alignment) override;
  GVPSPNumberWnd* CreatePSPNumberWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                     uint32_t styleFlags, int32_t spacing, BOOL show) override;

  // ==== Host link: the incoming queue, the seats and the senders ======================
  // (CDorvik2VWS_Queue.cpp, CDorvik2VWS_Seats.cpp, CDorvik2VWS_Senders.cpp)

  // Turn phases: the answer the turn countdown waits for.
  enum TurnPhaseValue : int32_t {
    kPhaseNone = 0,
    kPhaseStakeVote = 1,
    kPhaseSunPick = 3,
    kPhaseFourOfMonth = 6,
    kPhasePlayCard = 8,
    kPhaseShake = 9,
    kPhasePickFloorCard = 11,
    kPhase9Ten = 14,
    kPhaseGoOrStop = 15,
  };
  // Host top-bar button states (host event 45).
  static constexpr int32_t kButtonHidden = 0;
  static constexpr int32_t kButtonDisabled = 1;
  static constexpr int32_t kButtonEnabled = 17;
  static constexpr int32_t kBetButtonCount = 3;
  static constexpr int32_t kGoEffect = scene_effects::kGo;

  // ---- Queue and dispatcher (CHostQueue; the scene's slots in CDorvik2VWS_Queue.cpp) ----
  // A handler gets the message it handles; the dispatcher owns it for the call.
  using HostMessageHandler = std::function<void(CDorvik2VWS&, HostMessage&)>;
  // Installs the handler of a type; false (nothing installed) for 0, 55, 58, 60 and
  // 64 on, which are dropped unhandled.
  bool SetHostMessageHandler(uint32_t type, HostMessageHandler handler);
  // Appends a message read by OnReceive.
  void EnqueueHostMessage(HostMessage&& msg) { hostQueue_.Enqueue(std::move(msg)); }
  // Dispatches the queue's head when ready and not busy: 1 when one was handled.
  // OnReceive, the 50 ms tick and the kick after the build call it.
  int32_t DispatchNextIfIdle() { return hostQueue_.DispatchNextIfIdle(); }
  // Takes the head out of the queue, handles it with busy and full redraw set,
  // destroys it and clears busy. Nothing when the queue is empty. When the window
  // was torn down under the handler, the owner is told once the outermost handler
  // has returned; the scene must then be touched no more.
  void DispatchHostMessage() { hostQueue_.DispatchHead(); }
  bool IsBusy() const { return hostQueue_.IsBusy(); }
  uint32_t QueuedCount() const { return hostQueue_.QueuedCount(); }
  // Per-game reset: mode -1, timer flags, counters and auto-play cleared, queued
  // messages destroyed unhandled, the table state reset. A message being handled stays
  // with its handler, and busy stays set until that handler returns.
  void ResetGameState();
  // Floor positions, the countdown, the hand and the card state back to a new game.
  void ResetTableState();
  // End of a game and a new room: timers 1..4, prompts, cards and panels back.
  void ClearTable();
  // A user left: 1 when the user held a seat (a robot seat keeps its robot), else 0.
  int32_t RemovePlayer(int32_t userNo);
  // Scene mode 2 only: the turn marker and the hands placed again after a seat change.
  void RelayoutSeats();
  // A card widget takes picture set and size 0 tiny, 1 medium, 2 large.
  void SetCardSize(GVWnd* card, int32_t size);
  // The game model: the room, the seats and the game in play.
  CGameModel& Model() override { return model_; }
  const CGameModel& Model() const { return model_; }
  const CGameInfo& GameInfo() const { return model_.game; }
  const COpenInfo& GetFloorState() const { return model_.floor; }
  int32_t PlayTimeNotice(int32_t index) const { return model_.playTimeNotices.at(static_cast<size_t>(index)); }
  int32_t CountdownThreshold() const { return timers_.CountdownThreshold(); }
  // Leave request: GC_LEAVE up to three times while seated; otherwise, or when all
  // were lost, mode 1, play state 3 and WM_GAME_CLOSE reason 1.
  void RequestExit() { senders_.RequestExit(); }

  // ---- Seats (the room record) ----
  int32_t GetUserNoById(const std::string& userId) const;
  int32_t GetSeatOfUser(int32_t userNo) const override;
  int32_t IsRobotSeat(int32_t seat) const override;
  // -1 stands for this client's own number (and gives 0 while that is -1).
  int32_t IsSeated(int32_t userNo) const;
  int32_t HasRobotPlayer() const;
  int32_t HasSeatWithoutUser() const;
  // Byte-wise comparison of the whole id text; -1 when no seated user has it.
  int32_t GetSeatById(const std::string& userId) const;
  int32_t HasPositiveRobotField(int32_t seat) const;
  // Seat 0 or 1; another index throws std::out_of_range.
  PlayerInfo& GetPlayer(int32_t seat) { return model_.room.seats.Player(seat); }
  // The seat holding the user, seat 0's when none does.
  PlayerInfo& GetPlayerByUserNo(int32_t userNo);
  // 1 when playing `card` from the hand takes nothing although the hand could have.
  int32_t IsUnmatchedPlay(int32_t card) const;

  // ---- What the host calls ----
  void SetPlayerAvatar(const std::string& userId, const std::vector<std::string>& parts);
  void SetPlayerDisplayName(const std::string& userId, const std::string& name);
  const std::string& StatusText() const { return model_.statusText; }
  void ResetRoomView();
  void OnHostCardList(int32_t userNo, int32_t code, const std::string& text);
  void ShowMemoButton(int32_t count);
  // Host event 27 with "%ld" of the seat's user number and its grade as the value;
  // nothing for a user without a seat.
  void ReportUserNumbers(int32_t userNo);
  void ShowStartButton(int32_t show);
  void ShowBombCardHint(int32_t state);
  void ShowHandCardHints(int32_t show);
  void CloseResultWnd() override;

  // ---- Senders (CSceneSenders): 1 when the command reached the host, 0 when refused or lost ----
  int32_t SendGameCommand(const GameCommand& command) { return senders_.SendGameCommand(command); }
  int32_t SendMyVoice() { return senders_.SendMyVoice(); }
  int32_t SendPlay(int32_t flag) { return senders_.SendPlay(flag); }
  int32_t SendObserve() { return senders_.SendObserve(); }
  int32_t SendLeave() { return senders_.SendLeave(); }
  int32_t SendKick(int32_t targetUserNo) { return senders_.SendKick(targetUserNo); }
  int32_t SendOptionChange(int32_t code, int32_t value) { return senders_.SendOptionChange(code, value); }
  int32_t SendStakeVoteAnswer(int32_t answer) { return senders_.SendStakeVoteAnswer(answer); }
  int32_t SendStart() { return senders_.SendStart(); }
  int32_t SendSunPick(int32_t pick, int32_t timedOut) { return senders_.SendSunPick(pick, timedOut); }
  int32_t SendFourOfMonthAnswer(int32_t answer) { return senders_.SendFourOfMonthAnswer(answer); }
  int32_t SendPlayCard(int32_t card, int32_t timedOut) { return senders_.SendPlayCard(card, timedOut); }
  int32_t SendPickFloorCard(int32_t card, int32_t timedOut) { return senders_.SendPickFloorCard(card, timedOut); }
  int32_t SendShakeAnswer(int32_t answer, int32_t timedOut) { return senders_.SendShakeAnswer(answer, timedOut); }
  int32_t Send9TenAnswer(int32_t answer, int32_t timedOut) { return senders_.Send9TenAnswer(answer, timedOut); }
  int32_t SendGoOrStopAnswer(int32_t answer, int32_t timedOut) { return senders_.SendGoOrStopAnswer(answer, timedOut); }
  int32_t SendUnused17(int32_t a, int32_t b, int64_t c) { return senders_.SendUnused17(a, b, c); }
  int32_t SendResultDone() override { return senders_.SendResultDone(); }
  int32_t SendPromotionRequest(int32_t kind, int32_t value) { return senders_.SendPromotionRequest(kind, value); }
  int32_t SendHostValues(int32_t id, int64_t a, int64_t b) { return senders_.SendHostValues(id, a, b); }
  int32_t SendBetChoice(int32_t button) { return senders_.SendBetChoice(button); }
  int32_t SendObserveMode(int32_t state) override { return senders_.SendObserveMode(state); }
  int32_t SendNumberKey(int32_t phrase) { return senders_.SendNumberKey(phrase); }
  void SendAutoPlay(int32_t on) { senders_.SendAutoPlay(on); }
  void SendTimeoutCount(int32_t count) { senders_.SendTimeoutCount(count); }
  void SendHostNoticeAck() { senders_.SendHostNoticeAck(); }
  int32_t SendTextLine(const std::string& text) { return senders_.SendTextLine(text); }
  void RequestItem(int64_t amount) { senders_.RequestItem(amount); }

  // ---- Fields the senders and the host link read and write ----
  RCUser& MyUser() { return model_.myUser; }
  int32_t MyUserNo() const override { return model_.myUser.userNo; }
  // The owner's link; a scene without an owner has none (every call reaches nothing).
  const CHostLink& HostLink() const override;
  RCRoomData& GetRoomData() { return model_.room; }
  void SetSceneMode(int32_t mode) { model_.sceneMode = mode; }
  int32_t PendingLeaveValue() const { return model_.pendingLeaveValue; }
  void SetPendingLeaveValue(int32_t value) { model_.pendingLeaveValue = value; }
  // Null until the scene build is done: a build on the loader thread may still be
  // making them, and the ready flag is what hands them to the window thread.
  CCheckNotice* NoticeTicker() { return IsReady() ? built_.widgets.noticeTicker : nullptr; }
  CVObserveSystemWnd* ObservePanel() { return IsReady() ? built_.widgets.observePanel : nullptr; }
  CDorvik2VIPMgr& VipManager() { return vipMgr_; }
  CDorvik2PromotionMgr& PromotionManager() { return promotionMgr_; }
  int32_t ObserveState() const { return model_.observeState; }
  // Null before the scene is ready.
  CVPSPPushBtn* BetButton(int32_t index) {
    return IsReady() ? built_.widgets.betButtons.at(static_cast<size_t>(index)) : nullptr;
  }
  // ==== end of the host link block ====================================================

  // ==== Host message handlers (CDorvik2VWS_Handlers.cpp) ================================
#define DORVIK_DECLARE_SCENE_HANDLER(code, name) void name(HostRecordOf_t<code>& msg);
  DORVIK_SCENE_HANDLERS(DORVIK_DECLARE_SCENE_HANDLER)
#undef DORVIK_DECLARE_SCENE_HANDLER

  // ==== The client's rules over the game state (CDorvik2VWS_Cards.cpp) ==================
  // Seat 0, 1 or 2 (both): each seat's multiplier and score, its opponent's bak flags.
  void ComputeScoreMultiplier(int32_t seat, int32_t septemberFlag);
  // The card to play for this client (-1: none) when its turn runs out, and in auto-play.
  int32_t ChooseTimeoutCard();
  int32_t ChooseAutoPlayCard();

  // ==== Steps on widgets the scene build makes (CDorvik2VWS_Resets.cpp) ================
  // Each does nothing on a missing widget; until the widgets exist they note the call.
  static constexpr int32_t kNoSeatEvent = 5;
  void PlayHourAnimation();
  // Hides the September marker (show 0), or puts it beside card 32 of the seat's
  // animal pile: 1 when it is shown.
  int32_t ShowNineTenClip(int32_t seat, int32_t show);
  void ShowNineTenClip(int32_t show) { ShowNineTenClip(0, show); }
  // A kind outside 0..8 hides every banner.
  void ShowEventBanner(int32_t kind, int32_t count);
  // Kind kNoSeatEvent hides the robot character; a null point keeps its place.
  void ShowSeatEvent(int32_t kind, const GPoint* pt);
  void UpdateCardBoard() { UpdateCardBoard(kNoCard, 1); }
  // The room banner (CDorvik2VWS_TableSigns.cpp) runs in room states 5..10 without a
  // robot, with me seated: the pick's animation replaces the banner and the game's, the
  // game's loops from the first turn.
  bool IsBannerRoom() const;
  void PlayPickBanner();
  void StopPickBanner();
  void PlayInGameBanner();
  // Once, over the deck, before cards leave it.
  void PlayDeckAnimation();
  void ShowNoTurnSign(BOOL show);
  void ShowMaximiseButtonState();
  void ResetSeatDisplays(int32_t slot);
  void ResetTableDisplays();
  // The two seat markers of a screen side hidden; a side outside 0..1 has none.
  void HideSeatMarkers(int32_t side);


  // ==== Cards: the card table's face on the scene (CCardTable*.cpp) ======================
  // (CDorvik2VWS_Cards.cpp: the scene as the card table's host)
  using CardList = CCardTable::CardList;
  using CardTableWidgets = CCardTable::Widgets;
  static constexpr int32_t kCardWidgets = CCardTable::kCardWidgets;
  static constexpr GPoint kDeckPoint = CCardTable::kDeckPoint;
  static constexpr auto& kFloorSlotPoints = CCardTable::kFloorSlotPoints;
  // The card table: the card widgets, piles, layout, moves and deals.
  CCardTable& CardTable() { return cardTable_; }
  const CCardTable& CardTable() const { return cardTable_; }
  const CardTableWidgets& CardWidgets() const { return cardTable_.GetWidgets(); }
  CVHTWnd* CardWndById(int32_t index) const { return cardTable_.CardWndById(index); }
  FlowerCard CardIdOfWidget(int32_t index) const override { return cardTable_.CardIdOfWidget(index); }
  int32_t CountCardsOfMonth(const CardList& l, CardMonth m) const override {
    return cardTable_.CountCardsOfMonth(l, m);
  }
  int32_t CountCardsOfSet(const CardList& l, CardSet set) const { return cardTable_.CountCardsOfSet(l, set); }
  int32_t FindCardInPile(const CardList& l, FlowerCard id) const override { return cardTable_.FindCardInPile(l, id); }
  int32_t FindCardOfMonth(const CardList& l, CardMonth m) const { return cardTable_.FindCardOfMonth(l, m); }
  int32_t FindCardOfSet(const CardList& l, CardSet set) const { return cardTable_.FindCardOfSet(l, set); }
  int32_t FindWidgetOfCard(const CardList& l, FlowerCard id) const { return cardTable_.FindWidgetOfCard(l, id); }
  static int32_t FirstCard(const CardList& list) { return CCardTable::FirstCard(list); }
  static int32_t LastCard(const CardList& list) { return CCardTable::LastCard(list); }
  static int32_t ListContains(const CardList& list, int32_t value) { return CCardTable::ListContains(list, value); }
  int32_t PileHasCard(const CardList& list, FlowerCard id) const { return cardTable_.PileHasCard(list, id); }
  void UpdateCardBoard(FlowerCard id, int32_t reset) { cardTable_.UpdateCardBoard(id, reset); }
  int32_t SideOfSeat(int32_t seat) override;
  bool IsMyHumanSeat(int32_t seat) override;
  CHTUser& Seat(int32_t seat) override { return model_.game.seats.at(static_cast<size_t>(seat)); }

  // ---- Layout ----
  static GPoint HandSlotPoint(int32_t side, int32_t slot) { return CCardTable::HandSlotPoint(side, slot); }
  void RestackFloorSlot(int32_t slot) { cardTable_.RestackFloorSlot(slot); }
  void RelayoutCapturedPile(int32_t seat, int32_t kind) { cardTable_.RelayoutCapturedPile(seat, kind); }
  void RelayoutPiPile(int32_t seat) { cardTable_.RelayoutPiPile(seat); }
  int32_t PlaceFloorCards(const std::vector<FlowerCard>& ids, std::vector<std::array<int32_t, 2>>& bonusPairs,
                          int32_t keep, FlowerCard lastId) {
    return cardTable_.PlaceFloorCards(ids, bonusPairs, keep, lastId);
  }
  void StackDeck(int32_t all) { cardTable_.StackDeck(all); }
  void SetPiCountText(int32_t side, int32_t n) { cardTable_.SetPiCountText(side, n); }
  int32_t SpeedValue() const { return options_.speed; }

  // ---- Moves ----
  static void BuildLinePath(CVHTWnd* card, GPoint target, int32_t n) { CCardTable::BuildLinePath(card, target, n); }
  static void BuildLinePath(std::list<GPoint>& path, GPoint start, GPoint target, int32_t n) {
    CCardTable::BuildLinePath(path, start, target, n);
  }
  static int32_t BuildArcPath(CVHTWnd* card, GPoint target, int32_t n) {
    return CCardTable::BuildArcPath(card, target, n);
  }
  static GPoint BezierPoint(std::vector<GPoint> points, int32_t a, int32_t b, int32_t degree, int32_t n) {
    return CCardTable::BezierPoint(std::move(points), a, b, degree, n);
  }
  void MoveCardTo(int32_t widget, GPoint target, int32_t steps, int32_t face, int32_t zoom) {
    cardTable_.MoveCardTo(widget, target, steps, face, zoom);
  }
  void MoveCardSprites(int32_t first, int32_t count) { cardTable_.MoveCardSprites(first, count); }
  void DealHandCards(int32_t seat, int32_t first, int32_t count) { cardTable_.DealHandCards(seat, first, count); }
  void OpeningDeal() { cardTable_.OpeningDeal(); }
  void PlayCardToFloor(FlowerCard card, int32_t seat, int32_t flag) { cardTable_.PlayCardToFloor(card, seat, flag); }
  void FlipDeckCard(FlowerCard card, int32_t seat) { cardTable_.FlipDeckCard(card, seat); }
  void TakeFloorCard(FlowerCard card, int32_t seat) { cardTable_.TakeFloorCard(card, seat); }
  void StealPi(FlowerCard card, int32_t from, int32_t to) { cardTable_.StealPi(card, from, to); }
  void MoveCapturedCard(FlowerCard card, int32_t seat, int32_t fromKind, int32_t toKind) {
    cardTable_.MoveCapturedCard(card, seat, fromKind, toKind);
  }
  void AddDeckCardsToPile(int32_t seat, int32_t kind, const std::vector<FlowerCard>& ids) {
    cardTable_.AddDeckCardsToPile(seat, kind, ids);
  }
  void DrawCardToHand(int32_t seat, FlowerCard card = kNoCard) { cardTable_.DrawCardToHand(seat, card); }
  void DealDummyCards(int32_t seat, int32_t count) { cardTable_.DealDummyCards(seat, count); }
  void SortMyHand(int32_t seat, int32_t flag) { cardTable_.SortMyHand(seat, flag); }
  int32_t GatherFloorMonths() { return cardTable_.GatherFloorMonths(); }
  // The mission panel's part of a capture, while the game's mission runs.
  void NoteMissionCard(int32_t seat, FlowerCard card, int32_t exclusive) override;
  void ShowMissionCardMarks(int32_t show) override;
  // The mission panel's capture marks follow the seats' screen positions.
  void RefreshMissionMarks();

  // ---- manager services (IPanelScene; Model, FindCardInPile, CountCardsOfMonth,
  // CardIdOfWidget, IsRobotSeat and SideOfSeat are the scene's own) ----
  int32_t PlaySceneEffect(int32_t id) override { return PlayEffect(id, 0); }
  int32_t StopSceneEffect(int32_t id) override { return StopEffect(id); }
  GVWnd* HoldAlertHint(int32_t slot) override { return slot >= 0 && slot < CVHTWnd::kHandMarks ? CardWidgets().handHints[size_t(slot)][scene_build::kHoldAlertHint] : nullptr; }

  // ==== panel services (IPanelScene): forwarders to the scene's own operations ========
  const RCUser& MyUserRecord() const override { return model_.myUser; }
  const RCRoomData& RoomRecord() const override { return model_.room; }
  const PlayerInfo& SeatPlayer(int32_t seat) const override { return model_.room.seats.Player(seat); }
  int32_t AnySeatWithoutUser() const override { return HasSeatWithoutUser(); }
  int32_t AnyRobotPlayer() const override { return HasRobotPlayer(); }
  int32_t GamesPlayedCount() const override { return GamesPlayed(); }
  int32_t AntiLeaveFlag() const override { return model_.antiLeave; }
  int32_t CurrentObserveState() const override { return ObserveState(); }
  int32_t RequestSeat(int32_t flag) override { return SendPlay(flag); }
  int32_t PlayPanelEffect(int32_t id) override { return PlayEffect(id, 0); }
  int32_t ShowPromotionBanner(int32_t show) override { return promotionMgr_.ShowBanner(show), 1; }
  void SetCardOfWidget(GVDDSWnd* card, int32_t id) override { static_cast<CVHTWnd*>(card)->SetCard(id); }
  int32_t CardOfWidget(const GVDDSWnd* card) const override { return static_cast<const CVHTWnd*>(card)->cardId; }
  // ==== Game start, the deal and the turn; the decision prompt =====================
  // (CDorvik2VWS_TurnHandlers.cpp, CDorvik2VWS_Prompt.cpp)
  // Where the countdown stands, by screen side.
  static constexpr GPoint kCountdownPoints[kSeats] = {{320, 361}, {320, 104}};
  // Where a side's first-player pick and its stamp stand, by screen side.
  static constexpr GPoint kMarkPoints[kSeats] = {{128, 446}, {128, 73}};
  // A countdown of `limit` seconds at the side's point: start := limit, shown :=
  // limit - 1, shown from `threshold` down.
  void StartCountdown(int32_t side, int32_t limit, int32_t threshold);
  // The countdown animation stopped, shown := start; timer 1 too when asked.
  void StopCountdown(bool stopTurnTimer) { timers_.StopCountdown(stopTurnTimer); }
  // Room state 8..10 with the anti-leave rule on; with the flag set too, a room where
  // leaving is held back during a game.
  bool IsAntiLeaveRoomState() const;
  bool IsAntiLeaveRoom() const;
  int32_t IsInGame() const { return IsAntiLeaveRoomState() ? 1 : 0; }
  // The limit table's seconds of a phase (the countdown's start).
  int32_t TableTurnLimit(int32_t phase) const;
  // The prompt panel: the scene's side of its answers and its cards.
  int32_t SendPromptAnswer(PromptSender sender, int32_t value) override;
  void HideNotifyPrompt() override;
  void ShowCardOnWidget(GVDDSWnd* card, int32_t id) override;
  int32_t ShowNotice(int32_t mode, std::list<int32_t>& cards);
  int32_t ShowNotifyPrompt(int32_t mode, int32_t n, int64_t amount, int32_t yesSetBase, int32_t otherAmount,
                           BOOL showSideMark);
  int32_t ShowMissionSuccess(int32_t mode, int32_t missionCode, int64_t reward);
  // The stake display, the promotion's start intro and a new game's empty seat areas.
  void ShowMoneyPerPoint();
  void PlayPromotionIntro(int32_t kind, int32_t flag);
  void ResetSeatAreas();
  // ==== Room entry, seats, observers and exit reasons =====================================
  // (CDorvik2VWS_RoomHandlers.cpp, CDorvik2VWS_ExitReasons.cpp)
  static constexpr COLORREF kNoticeBoxColour = 0xCF7F00;  // RGB(0, 127, 207)
  static constexpr int32_t kMsgBoxYesNo = 1;
  static constexpr int32_t kMsgBoxNo = 2;
  // The game window's modal box: 1 OK/Yes, 2 No or timed out, -1 when it cannot be
  // shown. Busy stays set while it waits.
  int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                     COLORREF headingColour) override;
  // An OK box with no heading in the notices' colour.
  int32_t ShowNoticeBox(const std::string& text, uint32_t autoCloseMs) {
    return ShowMsgBox(text, kMsgBoxOk, autoCloseMs, std::string(), kNoticeBoxColour);
  }
  // Tells the reason with its box, then keeps this client as an observer or asks the
  // host to close the game.
  void OnExitReason(int32_t reason, const std::string& text, int32_t leaveFlag);
  // My seat at the bottom, after every seat change.
  void AssignScreenPositions() {
    model_.room.seats.AssignScreenPositions(model_.myUser.userNo);
    RefreshMissionMarks();
  }
  // Both seats' owner and kick marks cleared, then set for seat 0's user and the
  // kick-permitted user.
  void PlaceOwnerAndKickMarks();
  // Asks the host for its text (event 62) and sends it to the server.
  void SendHostTextLine();
  // The stake display's back and text at the room's places.
  void PlaceStakeDisplay(GPoint back, GPoint text);
  // The panel of a seat's screen position; null before the build or for no side.
  CVUserInfoWnd* SeatPanelOf(int32_t seat);
  // The anti-leave panel; null before the scene is ready.
  CVRestrictOptionWnd* AntiLeaveCaption() { return IsReady() ? built_.widgets.restrictCaption : nullptr; }
  // The empty seat's invitation (its back and button) shown or hidden; 0 in a robot room.
  int32_t ShowWidgetPair(int32_t show);
  // ==== end of the room-entry block =======================================================
  // ==== Result, settlement and money notices (CDorvik2VWS_ResultHandlers.cpp) ==========
  // The result and item panels' services (IPanelScene); SendResultDone, CloseResultWnd
  // and PlayVoice are the scene's own.
  int32_t ReadOptionDword(const char* name, uint32_t* out) const override;
  int32_t SaveOptionDword(const char* name, uint32_t value) override;
  GVWnd* WinMoneyLimitMark() override { return IsReady() ? built_.widgets.winMoneyLimit : nullptr; }
  GVPSPWnd* ItemChanceIcon() override;
  GVTextWnd* ItemChanceCaption() override { return IsReady() ? built_.widgets.chanceText : nullptr; }
  int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading);
  // The display helpers on the result record's own shapes (no record shows nothing).
  int32_t ShowResultWnd(const GameResultMsg* msg);
  void RevealResultCards(const std::list<int32_t>& nextDeckCards, const ArcArrayT<std::list<int32_t>, 2>& hands);
  // Puts the status text below the play-count panel: the panel set with the day's
  // count from 500 games on, else closed. After a result the last games of the day's
  // allowance also run the panel's limit notice.
  void LayOutPlayCount(bool afterResult);
  // The settlement's steps for my own seat: the money-total cap notice (once until the
  // per-game reset), the reward counter's tickets, kind and countdown, the play-time
  // notice.
  void CheckMoneyTotalCap();
  void NoteBijouCounts(int32_t count, int32_t eventCount);
  void NotePlayTime(int32_t seconds);
  // ==== Player options, the option panel and the host top bar ===========================
  // (CDorvik2VWS_Options.cpp, CDorvik2VWS_TopBar.cpp)
  // Saves and applies the option panel's choices once OK has closed it; a save that
  // fails keeps the value in force, and the panel shows it again.
  void ApplyUserOptions() override;
  // The table cloth of `skin` (its picture loaded again when `reload`), handed to the
  // seat panels and the option panel: 1; 0 with nothing changed when the picture
  // cannot be had.
  int32_t SetSkinBackground(int32_t skin, int32_t reload);
  // The options in force as one chat line.
  void OptionsSummaryText();
  int32_t PreviewSceneVoice(int32_t id, int32_t voiceSet, int32_t seat) override {
    return PreviewVoice(id, voiceSet, seat);
  }
  void SetSceneEffectVolume(int32_t volume) override { SetEffectVolume(volume); }
  // The option panel for this client's gender, its speed locked at the fastest in a
  // fast room: 1 when it opened.
  int32_t OpenOptionPanel();
  // Host event 45 for the word (hidden 0, disabled 1, enabled 17), then the word's
  // local button. An unknown word goes out as "" and touches nothing; an image set
  // of -1, or one the button lacks, keeps the set it shows.
  void SetButtonState(const std::string& word, int32_t shown, int32_t enabled, int32_t imageSet = -1);
  void UpdatePlayButtons(int32_t show);
  void UpdateExitButtons(int32_t show);
  void ShowVipButton() override;
  int32_t ShowVipButtonIfOpen();
  // After a screen rebuild: the help popup keeps to the game window's corner when
  // fullScreen is 1.
  void FollowHelperPopup(HWND gameWnd, int32_t fullScreen);
  // Host event 27: a click on the host's top bar.
  void OnHostButton(const std::string& word, int32_t value);
  // The chat macro allowed or not; a cleared one comes back after a pause (timer 5).
  void SetMacroSetting(int32_t flag);
  // Phrase 0..9 spoken by the user; this client's own also goes to the host.
  void SendChatMacro(int32_t index, int32_t speakerUserNo);
  void SetAutoPlay(int32_t on);
  // The table owner's kick of a seated user, after the cost is confirmed.
  void RequestKick(int32_t userNo);
  // The stake text of index 0..8; any other index gives the first.
  static std::string StakeLabel(int32_t index);
  // Host event 31 with "|user=money,total|" for each seat with a side.
  void AppendMoneyRecord();
  void MoneyBellNotice(const std::list<MoneyNoticeEntry>& entries);
  void RefillNotice(int32_t kind, const std::list<MoneyNoticeEntry>& entries);
  // Effect 49 looped for this client's seat, 50 for the other.
  void PlayResultEffect(int32_t seat);
  void PostHostRefresh();
  // Kept as state always; shown on the status line once the scene is ready.
  void SetStatusText(const std::string& text);
  // Seconds auto-play waits in a turn phase (0 outside the phases).
  static int32_t AutoPlayLimitSeconds(int32_t phase);
  // ==== end of the options and top bar block ============================================

  // ==== Plays, captures and the players' choices (CDorvik2VWS_PlayHandlers.cpp) ========
  // The turn countdown shown for a seat: limit `limitSeconds`, shown one below it.
  void StartCountdown(int32_t seat, int32_t limitSeconds);
  // The three score panels of the seat (2: both) that has a screen position.
  void RefreshSeatScores(int32_t seat);
  void RefreshGoBakAlert();
  // A seat's money (game money and total) from a record, shown on its user panel.
  void SetSeatMoney(int32_t seat, int64_t money, int64_t totalMoney);
  // Every card of both seats' piles told to the mission panel, in mission mode 1.
  void MarkCapturedMissionCards();
  // Each floor slot laid out again.
  void RestackFloor();
  // The stop's worth for the seat asked to go or stop, capped by the players' money;
  // `allOfAsker` tells that the asker's own money capped it while the other is richer.
  int64_t MoneyIfStopping(int32_t seat, bool& allOfAsker);
  // ==== end of the plays block =========================================================
  // ==== Game timers, turn time-outs, scene input, hand input and helpers =================
  // (CDorvik2VWS_Timers.cpp, CDorvik2VWS_Input.cpp, CDorvik2VWS_HandInput.cpp,
  // CDorvik2VWS_Helpers.cpp)
  // ---- Timers ----
  // Which of a seat's game counters are the two anti-leave counts.
  static constexpr size_t kFirstAntiLeaveCounter = 0;
  static constexpr size_t kSecondAntiLeaveCounter = 1;
  // Room state 8..10 with anti-leave level 1..3 and the anti-leave flag set.
  int32_t IsAntiLeaveGame() const;
  // The table limit of a phase (the countdown's start) and the limit timer 1 runs for.
  int32_t TurnTableLimit(int32_t phase) const;
  int32_t TurnLimit(int32_t phase) const;
  // What every timed answer shares: timer 1 stopped, the countdown hidden and back at
  // its start.
  void EndTurnCountdown();
  // The expiry of timer 1: the phase's default answer goes out.
  void OnTurnTimeout();
  // Timer 2: the countdown display and the blink.
  void StepCountdownDisplay();
  void PlayHurryVoice();
  // ---- Scene input ----
  BOOL OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  BOOL OnKeyUp(UINT key, UINT repeat, UINT flags) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  // The second press of a double click: the widget's when it takes it, else a press
  // like the first.
  BOOL OnLButtonDblClk(UINT keyFlags, GPoint pt) override;
  BOOL OnImeStartComposition(WPARAM wParam, LPARAM lParam) override;
  BOOL OnImeComposition(WPARAM wParam, LPARAM lParam) override;
  BOOL OnImeEndComposition(WPARAM wParam, LPARAM lParam) override;
  // The option panel is hit only inside this rectangle.
  static constexpr GRect kOptionPanelHitRect{609, 177, 800, 519};
  // The top visible widget under the point, passing over those that only show: the
  // table's background, the notice strip, the seat panels, the avatars and the
  // bomb-dummy markers (the press, the release and the cursor find the last three by
  // their rectangles).
  GVWnd* WidgetAtPoint(GPoint pt);
  bool PassesPointer(const GVWnd* wnd) const;
  // Position 1..hand size plays that hand card; past the hand, the bomb-dummy marker
  // of that rank is hidden and the deck card played; 11 plays it without a marker.
  int32_t PickHandCardByKey(int32_t n);
  // Hover (1) or press (2) on the card shown by `wnd`, rest for the others: 1 when
  // anything changed.
  int32_t HighlightHandCards(GVWnd* wnd, int32_t pressed, int32_t floorMode);
  void ResetHandCards(int32_t floorMode);
  void OpenSeatMenu(int32_t show, int32_t userNo, GPoint pt);
  void OnSeatMenuCommand(int32_t command);
  int32_t SeatMenuUser() const { return model_.seatMenuUser; }
  // The anti-leave question before leaving or watching, when the rules ask it: 1 to go
  // on, 0 when the player said no.
  int32_t ConfirmAntiLeave(int32_t exempt);
  // A release over a widget other than the seat menu: the table's buttons, then a card.
  void OnTableButtonUp(GVWnd* wnd, UINT keyFlags, GPoint pt, int32_t floorMode);
  int32_t CursorKind() const { return cursors_.kind; }
  void SetCursorKind(int32_t kind);
  // Seated only: the money-limit tooltip over its mark (room states 5..10, no robot),
  // and the betting buttons' explanation and the die warning under the pointer.
  void ShowMoneyLimitTooltip(GPoint pt);
  void ShowBettingHover(GVWnd* wnd);
  // The seat's count that raises the die warning above 9 (a field the server keeps
  // for this; the record names it no further).
  static int32_t DieWarningValue(const PlayerInfo& p) { return p.f14; }
  // ---- Hand input and avatars ----
  CVHTWnd* HandCardAt(GVWnd* wnd, int32_t floorFlag);
  int32_t PlayClickedCard(GVWnd* wnd);
  int32_t PickSunCard(GVWnd* wnd);
  int32_t LoadSeatAvatar(int32_t seat);
  void LoadAvatars();
  int32_t RemoveAvatar(int32_t seat);
  // A new avatar widget for a screen side, replacing the old one: 1 when made.
  int32_t PlaceAvatar(int32_t side, std::vector<std::string>& parts);
  // The avatar widget of a screen side destroyed; always 1.
  int32_t RemoveSideAvatar(int32_t side);
  // The seats changed sides: each avatar follows its user to the badge of the other side.
  void ExchangeSideAvatars();
  // ---- Display helpers ----
  int32_t ShowResultWnd(const GameResultMsg& result);
  void RefreshObserverPanel(int32_t flag);
  void StopRefillAnimations();
  void ShowMoneyBellSign(int32_t flag);
  void SendHostEvent14();
  void RevealResultCards(const std::vector<FlowerCard>& deckCards,
                         const std::array<std::vector<FlowerCard>, kSeats>& hands);
  void RefreshSeatPanels(int32_t seat);
  void PlayAnimationAt(GVQLAniWnd* anim, GPoint pt, int32_t count, int32_t hold);
  void ShowFloorSlotMarks(int32_t flag);
  // Kinds 0..7 play at the last floor slot; 8 hides them all.
  void ShowFloorEvent(int32_t kind);
  void HideTurnWidgets(int32_t flag);
  void SendUserEvent(int32_t userNo) { ReportUserNumbers(userNo); }
  void SendHostTextEvent(uint32_t code, const std::string& text, const std::string& second);
  // The host's player list is the kick reservations.
  bool SendPlayerList();
  // The numbers of a "|"-delimited text; a field that is no number counts as 0.
  static void ParseNumberList(const std::string& text, std::vector<int32_t>& list);
  // The result panel's item offer: its panel closed (1 when it was), and the result
  // panel laid out again for it.
  int32_t CloseItemPanel();
  void SetResultItemPanelShown(int32_t shown);
  // ---- Accessors ----
  int32_t ExchangePhase(int32_t phase);
  int32_t ExchangeSceneMode(int32_t mode);
  int32_t GetRoomState() const { return model_.room.roomState; }
  int32_t IsRoomState60() const;
  const CardList& GetCapturedList(int32_t seat, int32_t kind) const;
  int32_t GetBombDummyCount(int32_t seat) const;
  int32_t IsMonthPairLeft(CardMonth month) const;
  int32_t GetCardSlot(const GVWnd* wnd) const;
  int32_t GetCardId(const GVWnd* wnd) const;
  int32_t GetCardMonth(const GVWnd* wnd) const;
  // ==== end of the timers and input block ================================================

  // ==== VIP helper popup services (IPanelScene; CDorvik2VWS_HelperPopup.cpp) ==========
  const std::string& SceneImageFolder() const override { return imageFolder_; }
  int32_t ReadSettingDword(const std::string& subKey, const char* name, uint32_t* out) const override {
    return options_.ReadRegDword(subKey, name, out);
  }
  int32_t SaveSettingDword(const std::string& subKey, const char* name, uint32_t value) override {
    return options_.SaveRegDword(subKey, name, value);
  }
  std::string PortalPageAddress(const std::string& page) const override { return options_.PortalPageAddress(page); }

 private:
  void ReadOptions();
  bool LoadCursors();
  // Clears the dirty flag and draws, when ready and not closing.
  void DrawPending();
  // The per-game card state and the turn user.
  void ResetGameInfo();
  // The seat's money on its panel.
  void ShowSeatMoney(int32_t seat);

  // ---- Members in the scene's order ----
  ISceneOwner* owner_;
  HWND gameWnd_ = nullptr;
  std::atomic<int32_t> ready_{0};
  std::string imageFolder_;
  CGameModel model_;
  // What the build made: the members, the lists the tick and the seat menu walk, and
  // the load failures.
  struct BuiltTable {
    SceneWidgets widgets;
    plist<GVQLAniWnd> animations;
    pvector<CVPSPPushBtn> buttons;
    std::vector<LoadErrorRecord> loadErrors;
  };
  BuiltTable built_;
  // The screen and the machine as the window reported them.
  struct ScreenFacts {
    int32_t colorKey = -1;
    int32_t displayBitDepth = 0;
    int32_t windowsNt = 0;
    SYSTEM_INFO systemInfo{};
  };
  ScreenFacts screen_;
  struct Cursors {
    HCURSOR normal = nullptr;
    HCURSOR click = nullptr;
    bool fromFiles[2] = {false, false};
    int32_t kind = 1;  // the one in use: 1 normal, 2 click
  };
  Cursors cursors_;
  int32_t dirty_ = 0;
  CDorvik2PromotionMgr promotionMgr_{this};
  CDorvik2VIPMgr vipMgr_{this};
  int32_t closing_ = 0;
  CCardTable cardTable_{model_, *this};
  // The widgets belong to the window thread only once the build is done (the ready
  // flag); before, the host's calls change state and leave every widget alone.
  bool WidgetsLive() const { return IsReady(); }
  void ClearTableWidgets();
  void ResetRoomWidgets();
  // ---- The scene build's parts (CDorvik2VWS_Build.cpp): each false when a widget
  // could not be made or the loader was asked to end ----
  bool BuildTableAndBars();
  bool BuildSeats();
  bool BuildCards();
  bool BuildGameFlow();
  bool BuildBoardAndSigns();
  bool BuildPanelsAndExtras();
  // Keeps the widget in its member and adds it on top of the drawing order; false
  // for null, or when the loader was asked to end.
  template <class M, class W>
  bool Keep(M*& member, W* made);
  bool KeepAnimated(GVQLAniWnd*& member, GVQLAniWnd* made);
  CVPSPPushBtn* MakeButton(const scene_build::Placed& p);
  GVTextWnd* MakeCentredText(const scene_build::TextStyle& t, GPoint pos);
  // ---- The scene as the card table's host (CDorvik2VWS_Cards.cpp) ----
  void PlayCardEffect(int32_t effect) override;
  void PlayCardVoice(int32_t cue, int32_t seat) override;
  void WaitWhileCardsMove(uint32_t ms) override;
  void MarkCardsDirty() override;
  void RedrawCards() override;
  GVWS& CardWndList() override;
  GVWnd* CardCeiling() override;
  GVWnd* RemainingCardsBoard() override;

  // ---- Host link state ----
  // The queue's gate: ready and not closing.
  bool MayDispatchHostMessage() const override { return IsReady() && !closing_; }
  void OnHostMessageDispatching() override { SetFullRedraw(); }
  // The scene's handler of every type, and the VIP manager's.
  CHostQueue::HandlerTable SceneHostMessageHandlers();
  CSceneTimers timers_;
  CHostQueue hostQueue_{*this, SceneHostMessageHandlers()};
  CSceneSenders senders_{*this};
  // RestoreScreen for a draw; a failure asks the host to end the game. False when the
  // draw must give up its frame.
  bool RebuildScreen();

  // ---- Sound, options and the trace ----
  // What the sound cues ask of the table.
  bool MayRegisterEffects() const override;
  void BeforeEffectLoad(int32_t id) override;
  bool VoicesOn() const override;
  int32_t TurnSeat() const override;
  CSceneSound::Speaker SpeakerAt(int32_t seat) const override;
  int32_t MyGender() const override;
  ISceneTrace* trace_ = nullptr;
  CSceneOptions options_;
  CSceneSound sound_{*this};
};
