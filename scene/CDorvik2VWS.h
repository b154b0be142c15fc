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
#include "scene/CTimeMgr.h"
#include "scene/CVHTWnd.h"
#include "scene/ISceneOwner.h"
#include "scene/SceneEffects.h"
#include "scene/SceneHandlers.h"
#include "scene/SceneWidgetStub.h"
#include "sound/CGameSoundMgr.h"
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

class CDorvik2VWS : public GVWS, public IPanelScene {
 public:
  using SceneMode = CGameModel::SceneMode;
  static constexpr SceneMode kModeNone = CGameModel::kModeNone;
  static constexpr SceneMode kModeWaiting = CGameModel::kModeWaiting;
  static constexpr SceneMode kModePlaying = CGameModel::kModePlaying;
  static constexpr SceneMode kModeResult = CGameModel::kModeResult;
  static constexpr int32_t kEffectCount = scene_effects::kCount;
  // Timers 0..4 are the scene's own and die with it; 5 (the chat macro's) outlives
  // a teardown.
  static constexpr UINT_PTR kTickTimer = 0;
  static constexpr UINT_PTR kTurnTimer = 1;
  static constexpr UINT_PTR kBlinkTimer = 2;
  static constexpr UINT_PTR kBannerTimer = 3;
  static constexpr UINT_PTR kLastKilledTimer = 4;
  static constexpr UINT_PTR kLastTimer = 5;

  // The strip along the top of the game window that drags the host window when a
  // press there finds nothing to take it (right and bottom exclusive).
  static constexpr GRect kDragStrip{0, 0, 700, 20};

  static constexpr int32_t kSeats = 2;
  static constexpr int32_t kPlayTimeNotices = CGameModel::kPlayTimeNotices;
  static constexpr int32_t kCardFrameMs = 8;  // the card moves' frame time
  static constexpr int32_t kDefaultAnimSteps = 3;
  static constexpr int32_t kCountdownThreshold = 10;
  static constexpr const char* kOptionsSubKey = "14";

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
    GVWnd* pointMoneyBack = nullptr;          // the stake display's back
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
    // No build member: the handlers skip them (the remaining-cards board, the room
    // banner and its animations, the deck animation, the robot captions, the no-turn
    // and turn-hint widgets).
    GVWnd* cardBoard = nullptr;
    bool operator==(const SceneWidgets&) const = default;
  };

  explicit CDorvik2VWS(ISceneOwner* owner);
  ~CDorvik2VWS() override;
  CDorvik2VWS(const CDorvik2VWS&) = delete;
  CDorvik2VWS& operator=(const CDorvik2VWS&) = delete;
  // The scene made last and not yet destroyed (for code without a scene argument).
  static CDorvik2VWS* Current();

  // Init: the window system's rectangle first, then the folders, the portal file, the
  // registry path, the cursors and the stored options. Non-zero on success, 0 when the
  // portal file names no company or domain or no cursor can be had. Leaves the scene
  // unready.
  BOOL SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  int32_t Init(const GRect& rect) { return SetRect(rect.left, rect.top, rect.right, rect.bottom); }
  int32_t ClientVersion() const { return model_.clientVersion; }
  const std::string& Company() const { return company_; }
  const std::string& RegistryBasePath() const { return registryBase_; }
  const std::string& ImageFolder() const { return imageFolder_; }
  HCURSOR NormalCursor() const { return normalCursor_; }
  HCURSOR ClickCursor() const { return clickCursor_; }
  // The title of a grade 0..8; "" outside.
  std::string GetGradeName(int32_t index) const;
  // Loads everything and makes the panels; 1 and ready, or 0. May run on the loader
  // thread, and then stops early when the owner asks the loader to end.
  int32_t BuildSceneUI();
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
  // 1 the first time it is called in a local second whose minute and second are 0.
  int32_t IsHourStartOnce();

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

  ISceneOwner* Owner() const { return owner_; }
  int32_t GamesPlayed() const { return model_.gamesPlayed; }
  int32_t GetSceneMode() const { return model_.sceneMode; }
  int32_t GetPhase() const { return turnPhase_; }
  bool IsDirty() const { return dirty_ != 0; }
  // The screen's colour key, written by the window after every screen (re)build; the
  // widgets the scene makes take it as their key.
  int32_t colorKey = -1;
  // Bits per pixel of the current display mode (15 and 16 told apart by the red
  // mask), 0 when it cannot be read; also kept for DisplayBitDepth. Sets the card
  // moves' frame time again.
  int32_t GetDisplayBitDepth();
  int32_t DisplayBitDepth() const { return displayBitDepth_; }
  int32_t CardFrameMs() const { return cardFrameMs_; }
  // Game ticks until the stored volume is applied again (the window sets it on
  // activation).
  int32_t volumeCountdown = 0;

  // Teardown: game timers 0..4, looping sounds, every widget, readiness, the pop-up,
  // the sound device, the room. Every widget pointer is null afterwards. Also run by
  // the destructor.
  void DestroyAll() override;
  const SceneWidgets& Widgets() const { return widgets_; }
  // The animated widgets the tick advances, in the order they were appended.
  const plist<GVQLAniWnd>& Animations() const { return animations_; }
  // The popup-menu buttons.
  const pvector<CVPSPPushBtn>& Buttons() const { return buttons_; }
  // For the scene build (and tests standing in for it).
  SceneWidgets& EditWidgets() { return widgets_; }
  // The window was destroyed under a running handler: no host call or post from now
  // on, nested waits end, and the owner is told when the outermost handler returns.
  void BeginClosing() { closing_ = 1; }
  bool IsClosing() const { return closing_ != 0; }

  // ==== Options (CDorvik2VWS_Options.cpp) =================================================
  // Under HKEY_CURRENT_USER "Software\<company>\<domain>\<subKey>"; 1 on success.
  int32_t ReadRegString(const std::string& subKey, const char* name, std::string& out) const;
  int32_t SaveRegString(const std::string& subKey, const char* name, const std::string& text) const;
  int32_t SaveRegDword(const std::string& subKey, const char* name, uint32_t value) const;
  // The three animation step counts from Option_Speed.
  void ApplySpeed();
  int32_t AnimSteps(int32_t which) const { return animSteps_.at(static_cast<size_t>(which)); }
  // The host's "macro" button shown enabled (17) or disabled (1).
  void SetMacroButtonEnabled(int32_t enabled);
  int32_t Option_Speed = 0;
  int32_t Option_Skin = 0;

  // ==== Sound: effects by id, voice lines by cue, the effect volume ====================
  // (CDorvik2VWS_Sound.cpp)
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
  // Every in-range id PlayEffect was asked for, heard or not (for tests).
  const std::vector<int32_t>& PlayedEffects() const { return playedEffects_; }
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
  // The game tick's part: while the countdown runs and the volume is below 0, one
  // step of the countdown nudges every channel off the volume and back.
  void ReapplyVolumeOnTick();
  int32_t EffectVolume() const { return effectVolume_.load(std::memory_order_acquire); }
  // Set after the last effect loaded and the volume is in place (release).
  bool IsSoundReady() const { return soundReady_.load(std::memory_order_acquire) != 0; }
  // Every in-range id StopEffect was asked for (for tests).
  const std::vector<int32_t>& StoppedEffects() const { return stoppedEffects_; }
  const std::string& SoundFolder() const { return soundFolder_; }
  CGameSoundMgr& SoundMgr() { return soundMgr_; }
  // Users whose voice lines are not played (the muted list of the seat menu).
  void AddMutedUser(int32_t userNo);
  void RemoveMutedUser(int32_t userNo);
  bool IsMutedUser(int32_t userNo) const;
  void ClearMutedUsers() { mutedUsers_.clear(); }
  // 0 silences voice lines (effects keep playing).
  int32_t Option_SoundEffect = 1;
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
  static constexpr GSize kAvatarSize{68, 98};
  static constexpr int32_t kAnimTickMs = 50;
  static constexpr GPoint kPiCounterPoints[kSeats] = {{405, 388}, {472, 40}};
  static constexpr const char* kPiCounterPicture = "Hwatoo\\pee_count.bmp";
  void LogLoadError(const std::string& text);
  // Also tells the host (event 36) from whichever thread builds.
  void ReportLoadError(const std::string& text);
  const std::vector<LoadErrorRecord>& LoadErrors() const { return loadErrors_; }
  void ClearLoadErrors() { loadErrors_.clear(); }
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

  // ---- Queue and dispatcher ----
  // A handler gets the message it handles; the dispatcher owns it for the call.
  using HostMessageHandler = std::function<void(CDorvik2VWS&, HostMessage&)>;
  // Installs the handler of a type; false (nothing installed) for 0, 55, 58, 60 and
  // 64 on, which are dropped unhandled.
  bool SetHostMessageHandler(uint32_t type, HostMessageHandler handler);
  static bool HasHandlerSlot(uint32_t type);
  // Appends a message read by OnReceive.
  void EnqueueHostMessage(HostMessage&& msg);
  // Dispatches the queue's head when ready and not busy: 1 when one was handled.
  // OnReceive, the 50 ms tick and the kick after the build call it.
  int32_t DispatchNextIfIdle();
  // Takes the head out of the queue, handles it with busy and full redraw set,
  // destroys it and clears busy. Nothing when the queue is empty. When the window
  // was torn down under the handler, the owner is told once the outermost handler
  // has returned; the scene must then be touched no more.
  void DispatchHostMessage();
  // Destroys every queued message unhandled.
  void DropQueuedMessages();
  bool IsBusy() const { return busy_ != 0; }
  bool IsGameTimerRunning(UINT_PTR id) const {
    return id == kTurnTimer ? turnPhase_ != 0 : id <= kLastKilledTimer && timerRunning_[id] != 0;
  }
  uint32_t QueuedCount() const { return queuedCount_; }
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
  CGameModel& Model() { return model_; }
  const CGameModel& Model() const { return model_; }
  const CGameInfo& GameInfo() const { return model_.game; }
  const COpenInfo& GetFloorState() const { return model_.floor; }
  int32_t PlayTimeNotice(int32_t index) const { return model_.playTimeNotices.at(static_cast<size_t>(index)); }
  int32_t CountdownThreshold() const { return countdownThreshold_; }
  // Leave request: GC_LEAVE up to three times while seated; otherwise, or when all
  // were lost, mode 1, play state 3 and WM_GAME_CLOSE reason 1.
  void RequestExit();

  // ---- Seats (the room record) ----
  int32_t GetUserNoById(const std::string& userId) const;
  int32_t GetSeatOfUser(int32_t userNo) const;
  int32_t IsRobotSeat(int32_t seat) const;
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

  // ---- What the host calls (recording until their widgets exist) ----
  void SetPlayerAvatar(const std::string& userId, const std::vector<std::string>& parts);
  void SetPlayerDisplayName(const std::string& userId, const std::string& name);
  void SetStatusText(const std::string& text);
  void ResetRoomView();
  void RequestKick(int32_t userNo);
  void OnHostCardList(int32_t userNo, int32_t code, const std::string& text);
  void OnHostButton(const std::string& word, int32_t value);
  void ShowMemoButton(int32_t count);
  // Host event 27 with "%ld" of the seat's user number and its grade as the value;
  // nothing for a user without a seat.
  void ReportUserNumbers(int32_t userNo);
  // Host event 45 (word, state); the local widget joins with the widgets.
  void SetButtonState(const std::string& word, int32_t state);
  void SetAutoPlay(int32_t on);
  void ShowStartButton(int32_t show);
  void ShowBombCardHint(int32_t state);
  void ShowHandCardHints(int32_t show);
  void CloseResultWnd();
  // Calls of the operations above and of the screen's stand-in, oldest first, e.g.
  // "SetStatusText(text)".
  const std::vector<std::string>& RecordedCalls() const { return recordedCalls_; }
  void RecordCall(std::string_view call) override { recordedCalls_.emplace_back(call); }
  void ClearRecordedCalls() { recordedCalls_.clear(); }

  // ---- Senders: 1 when the command reached the host, 0 when refused or lost ----
  int32_t SendGameCommand(const GameCommand& command);
  int32_t SendMyVoice();
  int32_t SendPlay(int32_t flag);
  int32_t SendObserve();
  int32_t SendLeave();
  int32_t SendKick(int32_t targetUserNo);
  int32_t SendOptionChange(int32_t code, int32_t value);
  int32_t SendStakeVoteAnswer(int32_t answer);
  int32_t SendStart();
  int32_t SendSunPick(int32_t pick, int32_t timedOut);
  int32_t SendFourOfMonthAnswer(int32_t answer);
  int32_t SendPlayCard(int32_t card, int32_t timedOut);
  int32_t SendPickFloorCard(int32_t card, int32_t timedOut);
  int32_t SendShakeAnswer(int32_t answer, int32_t timedOut);
  int32_t Send9TenAnswer(int32_t answer, int32_t timedOut);
  int32_t SendGoOrStopAnswer(int32_t answer, int32_t timedOut);
  int32_t SendUnused17(int32_t a, int32_t b, int64_t c);
  int32_t SendResultDone();
  int32_t SendPromotionRequest(int32_t kind, int32_t value);
  // GC_HOST_VALUES, then GC_RESULT_DONE; the first command's result.
  int32_t SendHostValues(int32_t id, int64_t a, int64_t b);
  int32_t SendBetChoice(int32_t button);
  // Keeps the state and tells the server.
  int32_t SendObserveMode(int32_t state) override;
  int32_t SendNumberKey(int32_t phrase);
  void SendAutoPlay(int32_t on);
  void SendTimeoutCount(int32_t count);
  void SendHostNoticeAck();
  int32_t SendTextLine(const std::string& text);
  // Host event 22 with the 8-byte amount, in mode 3 while seated and for an amount
  // above 0; then the result panel closes.
  void RequestItem(int64_t amount);

  // ---- Fields the senders and the host link read and write ----
  RCUser& MyUser() { return model_.myUser; }
  int32_t MyUserNo() const { return model_.myUser.userNo; }
  RCRoomData& GetRoomData() { return model_.room; }
  void SetSceneMode(int32_t mode) { model_.sceneMode = mode; }
  int32_t PendingLeaveValue() const { return model_.pendingLeaveValue; }
  void SetPendingLeaveValue(int32_t value) { model_.pendingLeaveValue = value; }
  // Null until the scene build is done: a build on the loader thread may still be
  // making them, and the ready flag is what hands them to the window thread.
  CCheckNotice* NoticeTicker() { return IsReady() ? widgets_.noticeTicker : nullptr; }
  CVObserveSystemWnd* ObservePanel() { return IsReady() ? widgets_.observePanel : nullptr; }
  CDorvik2VIPMgr& VipManager() { return vipMgr_; }
  int32_t ObserveState() const { return model_.observeState; }
  SceneWidgetStub& CountdownWidget() { return countdownWidget_; }
  SceneWidgetStub& BetButton(int32_t index) { return betButtons_.at(static_cast<size_t>(index)); }
  int32_t countdown = 0;
  int32_t countdownStart = 0;
  // ==== end of the host link block ====================================================

  // ==== Host message handlers (CDorvik2VWS_Handlers.cpp) ================================
#define DORVIK_DECLARE_SCENE_HANDLER(code, name) void name(HostRecordOf_t<code>& msg);
  DORVIK_SCENE_HANDLERS(DORVIK_DECLARE_SCENE_HANDLER)
#undef DORVIK_DECLARE_SCENE_HANDLER

  // ==== The client's rules over the game state (CDorvik2VWS_Rules.cpp) ==================
  // Seat 0, 1 or 2 (both): each seat's multiplier and score, its opponent's bak flags.
  void ComputeScoreMultiplier(int32_t seat, int32_t septemberFlag);
  // The card to play for this client (-1: none) when its turn runs out, and in auto-play.
  int32_t ChooseTimeoutCard();
  int32_t ChooseAutoPlayCard();

  // ==== Steps on widgets the scene build makes (CDorvik2VWS_Resets.cpp) ================
  // Each does nothing on a missing widget; until the widgets exist they note the call.
  static constexpr int32_t kNoSeatEvent = 5;
  void PlayHourAnimation();
  void ResetCardWidgets();
  // Hides the September marker (show 0), or puts it beside card 32 of the seat's
  // animal pile: 1 when it is shown.
  int32_t ShowNineTenClip(int32_t seat, int32_t show);
  void ShowNineTenClip(int32_t show) { ShowNineTenClip(0, show); }
  // A kind outside 0..8 hides every banner.
  void ShowEventBanner(int32_t kind, int32_t count);
  // Kind kNoSeatEvent hides the robot character; a null point keeps its place.
  void ShowSeatEvent(int32_t kind, const GPoint* pt);
  void UpdateCardBoard() { UpdateCardBoard(kNoCard, 1); }
  void ShowMaximiseButtonState();
  void ResetTableButtons();
  void ResetSeatDisplays(int32_t slot);
  void ResetTableDisplays();


  // ==== Cards: widgets, lists, layout and moves ==========================================
  // (CDorvik2VWS_Cards.cpp, CDorvik2VWS_Layout.cpp, CDorvik2VWS_Moves.cpp)
  //
  // Card lists hold widget indices 0..49, never card ids: the opening deal hands out
  // widgets 0..27 in index order and names them as they land, and the deck and the
  // opponent's hand are face-down widgets (card 50). A card's identity lives in its
  // widget, so every query reads it through CardWndById; only ListContains compares
  // the elements themselves, and an operation given a server card id first finds the
  // widget showing it in the list it names (FindWidgetOfCard).
  using CardList = std::vector<int32_t>;
  static constexpr int32_t kCardWidgets = 50;
  static constexpr int32_t kBombDummies = 6;
  static constexpr GPoint kDeckPoint{331, 241};
  // The widgets the card moves use; the scene build (or a test) fills them, the widget
  // list owns them.
  struct CardTableWidgets {
    std::array<CVHTWnd*, kCardWidgets> cards{};
    std::array<GVWnd*, kCardWidgets> companions{};  // lie beneath a captured card
    std::array<GVQLAniWnd*, kCardWidgets> missionIcons{};
    std::array<CVHTWnd*, 3> lookCards{};             // each look's picture, by look
    GVDDSWnd* shadow = nullptr;                      // under a card in flight
    GVWnd* glow = nullptr;                           // the big card over it
    GVWnd* deckShadow = nullptr;
    GVWnd* nineTenClip = nullptr;
    GVWnd* autoPlayNotice = nullptr;  // the September clip lies directly behind it
    GVDDSWnd* cardStrip = nullptr;    // the remaining-cards board's 49-cell picture
    std::array<GVWnd*, kBombDummies> bombDummies{};
    std::array<GVWnd*, kBombDummies> bombButtons{};
    // The pick markers and floor-slot marks.
    std::array<GVWnd*, CVHTWnd::kFloorMarks> floorOutlines{};
    // Outline 0 marks the selected card; 1..10 are the bomb-card outlines of the hand.
    std::array<GVPSPWnd*, CVHTWnd::kHandMarks + 1> handOutlines{};
    std::array<std::array<GVWnd*, CVHTWnd::kHintsPerHandSlot>, CVHTWnd::kHandMarks> handHints{};
    std::array<GVWnd*, kSeats> piCounters{};
  };
  const CardTableWidgets& CardWidgets() const { return cardWidgets_; }
  CardTableWidgets& EditCardWidgets() { return cardWidgets_; }
  // Widget i for 0..49, widget 49 for any other index; null before the widgets exist.
  CVHTWnd* CardWndById(int32_t index) const;
  // The card widget i shows (50 face down or missing).
  FlowerCard CardIdOfWidget(int32_t index) const;
  int32_t CountCardsOfMonth(const CardList& list, CardMonth month) const;
  int32_t CountCardsOfSet(const CardList& list, CardSet set) const;
  // The element nearest the end whose widget shows the card, month or set, or -1.
  int32_t FindCardInPile(const CardList& list, FlowerCard id) const;
  int32_t FindCardOfMonth(const CardList& list, CardMonth month) const;
  int32_t FindCardOfSet(const CardList& list, CardSet set) const;
  int32_t FindWidgetOfCard(const CardList& list, FlowerCard id) const { return FindCardInPile(list, id); }
  static int32_t FirstCard(const CardList& list) { return list.empty() ? -1 : list.front(); }
  static int32_t LastCard(const CardList& list) { return list.empty() ? -1 : list.back(); }
  static int32_t ListContains(const CardList& list, int32_t value);
  int32_t PileHasCard(const CardList& list, FlowerCard id) const;
  int32_t PiValueOfPile(const CardList& list) const;
  // Reset 1 draws every month card on the board; else id 0..47 is covered.
  void UpdateCardBoard(FlowerCard id, int32_t reset);
  // The seat's screen side (0 bottom, 1 top, -1 none).
  int32_t SideOfSeat(int32_t seat);
  // This client holds the seat and no robot plays it: its cards are known.
  bool IsMyHumanSeat(int32_t seat);
  CHTUser& Seat(int32_t seat) { return model_.game.seats.at(static_cast<size_t>(seat)); }

  // ---- Layout ----
  static constexpr GPoint kFloorSlotPoints[COpenInfo::kSlots] = {
      {285, 161}, {364, 311}, {242, 235}, {397, 238}, {272, 312}, {369, 164},
      {198, 158}, {457, 315}, {181, 311}, {458, 158}, {153, 238}, {487, 233},
  };
  // Hand slot 0..9 of a side; slot 10 and on lie past the second row.
  static GPoint HandSlotPoint(int32_t side, int32_t slot);
  static GPoint PileAnchor(int32_t side, int32_t kind);
  static int32_t PileSpan(int32_t side, int32_t kind);
  // Step between the cards of a pile of n in a span.
  static int32_t SpreadStep(int32_t n, int32_t span);
  void RestackFloorSlot(int32_t slot);
  void RelayoutCapturedPile(int32_t seat, int32_t kind);
  void RelayoutPiPile(int32_t seat);
  // Splits a pi pile into its rows (the fourth takes the rest).
  std::vector<CardList> PiRows(const CardList& pile) const;
  // {month, bonus id} pairs say where a bonus card lies.
  int32_t PlaceFloorCards(const std::vector<FlowerCard>& ids, std::vector<std::array<int32_t, 2>>& bonusPairs,
                          int32_t keep, FlowerCard lastId);
  void StackDeck(int32_t all);
  void SetPiCountText(int32_t side, int32_t n);
  void SetAnimSteps(int32_t steps) { animSteps_.fill(steps); }
  int32_t SpeedValue() const { return Option_Speed; }

  // ---- Moves ----
  static void BuildLinePath(CVHTWnd* card, GPoint target, int32_t n);
  static void BuildLinePath(std::list<GPoint>& path, GPoint start, GPoint target, int32_t n);
  static int32_t BuildArcPath(CVHTWnd* card, GPoint target, int32_t n);
  static GPoint BezierPoint(std::vector<GPoint> points, int32_t a, int32_t b, int32_t degree, int32_t n);
  void MoveCardTo(int32_t widget, GPoint target, int32_t steps, int32_t face, int32_t zoom);
  void MoveCardSprites(int32_t first, int32_t count);
  void DealHandCards(int32_t seat, int32_t first, int32_t count);
  void OpeningDeal();
  void PlayCardToFloor(FlowerCard card, int32_t seat, int32_t flag);
  void FlipDeckCard(FlowerCard card, int32_t seat);
  void TakeFloorCard(FlowerCard card, int32_t seat);
  void StealPi(FlowerCard card, int32_t from, int32_t to);
  void MoveCapturedCard(FlowerCard card, int32_t seat, int32_t fromKind, int32_t toKind);
  void AddDeckCardsToPile(int32_t seat, int32_t kind, const std::vector<FlowerCard>& ids);
  void DrawCardToHand(int32_t seat);
  void DealDummyCards(int32_t seat, int32_t count);
  void SortMyHand(int32_t seat, int32_t flag);
  int32_t GatherFloorMonths();
  void PlayBonusCard(FlowerCard card, int32_t seat, int32_t sort = 1);
  // The mission panel's part of a capture; noted until the panel exists.
  void NoteMissionCard(int32_t seat, FlowerCard card);
  void ShowMissionCardMarks();
  // Voice cues asked for with their seat, for tests.
  const std::vector<std::array<int32_t, 2>>& PlayedVoices() const { return playedVoices_; }
  // Steps of the last MoveCardTo, for tests.
  int32_t LastMoveSteps() const { return lastMoveSteps_; }

  // A hook a test installs to act on the thread that registers the effects: before
  // each effect file (its id), and once more with kEffectCount just before the effects
  // may play. Null removes it.
  using EffectLoadHook = void (*)(CDorvik2VWS& scene, int32_t effectId);
  static void SetEffectLoadHook(EffectLoadHook hook);
  // "<Male|Female><set>\\<cue><variant>.ogg" or "Robot\\<cue><variant>.ogg".
  static std::string VoiceFile(int32_t gender, int32_t voiceSetNumber, const char* cue, int32_t variant);

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
  int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                     COLORREF headingColour) override {
    return owner_ ? owner_->ShowMsgBox(body, type, autoCloseMs, heading, headingColour) : -1;
  }
  // The promotion manager's ShowBanner joins here; until then nothing is hidden.
  int32_t ShowPromotionBanner(int32_t show) override { return static_cast<void>(show), 1; }
  void SetCardOfWidget(GVDDSWnd* card, int32_t id) override { static_cast<CVHTWnd*>(card)->SetCard(id); }
  int32_t CardOfWidget(const GVDDSWnd* card) const override { return static_cast<const CVHTWnd*>(card)->cardId; }

 private:
  void KillGameTimers();
  void ReadOptions();
  bool LoadCursors();
  // Clears the dirty flag and draws, when ready and not closing.
  void DrawPending();
  // The per-game card state and the turn user.
  void ResetGameInfo();

  // ---- Members in the scene's order ----
  ISceneOwner* owner_;
  HWND gameWnd_ = nullptr;
  std::atomic<int32_t> ready_{0};
  std::string imageFolder_;
  std::string registryBase_;
  std::string company_;
  CGameModel model_;
  CTimeMgr stopwatch1_;
  CTimeMgr stopwatch2_;
  int32_t turnPhase_ = 0;  // doubles as timer 1's running flag
  int32_t countdownThreshold_ = 0;
  int32_t cardFrameMs_ = kCardFrameMs;
  std::array<int32_t, 3> animSteps_{kDefaultAnimSteps, kDefaultAnimSteps, kDefaultAnimSteps};
  int32_t halfSecondToggle_ = 0;
  int32_t afterToggleFlag_ = 0;
  int32_t timerRunning_[kLastKilledTimer + 1] = {};
  int32_t windowsNt_ = 0;
  HCURSOR normalCursor_ = nullptr;
  HCURSOR clickCursor_ = nullptr;
  bool cursorsFromFiles_[2] = {false, false};
  plist<GVQLAniWnd> animations_;
  pvector<CVPSPPushBtn> buttons_;
  SceneWidgets widgets_;
  std::vector<LoadErrorRecord> loadErrors_;
  int32_t dirty_ = 0;
  SYSTEM_INFO systemInfo_{};
  CDorvik2PromotionMgr promotionMgr_{this};
  CDorvik2VIPMgr vipMgr_{this};
  uint32_t lastTickTime_ = 0;
  int32_t hourLatch_ = 0;
  int32_t closing_ = 0;
  std::vector<int32_t> playedEffects_;
  std::vector<int32_t> stoppedEffects_;
  CardTableWidgets cardWidgets_;
  std::vector<std::array<int32_t, 2>> playedVoices_;
  int32_t lastMoveSteps_ = 0;
  int32_t skipNextWait_ = 0;
  // ---- The scene build's parts (CDorvik2VWS_Build.cpp): each false when a widget
  // could not be made or the loader was asked to end ----
  bool BuildCancelled() const;
  bool BuildTableAndBars();
  bool BuildSeats();
  bool BuildCards();
  bool BuildGameFlow();
  bool BuildPanelsAndExtras();
  // Keeps the widget in its member and adds it on top of the drawing order; false
  // for null, or when the loader was asked to end.
  template <class M, class W>
  bool Keep(M*& member, W* made);
  bool KeepAnimated(GVQLAniWnd*& member, GVQLAniWnd* made);
  CVPSPPushBtn* MakeButton(const scene_build::Placed& p);
  GVTextWnd* MakeCentredText(const scene_build::TextStyle& t, GPoint pos);
  // One frame of a move: the wait, skipped after an overrun at a positive speed.
  void WaitCardFrame();
  // Every card with a path takes its next point until none has one.
  void RunCardPaths(int32_t frames);
  // A face-down widget takes a card: identity, picture and its board cover.
  void RevealCard(CVHTWnd* card, FlowerCard id);
  // Floor slot for a month: one holding the month (newest first), else the first empty
  // one, else 0.
  int32_t FloorSlotForMonth(CardMonth month) const;
  // Takes the deck's first widget out of the deck; -1 when it is empty.
  int32_t TakeDeckWidget();
  // The deck's first card, taken out of the deck with its widget index; null and -1
  // when the deck is empty, so an empty deck never hands out the clamped last widget.
  CVHTWnd* TakeDeckCard(int32_t& widget);
  // The companion of a card that shows an id; null for any other id.
  GVWnd* CompanionOf(FlowerCard id) const;
  void PlaceHand(int32_t seat);
  // A captured card and its companion, which lies directly beneath it.
  void PlaceCaptured(CVHTWnd* card, GPoint at);
  // Steps 1-2 of a play from the hand: the card's widget, shown at the medium look and
  // out of the hand; -1 when the hand does not hold it.
  int32_t TakeHandCard(FlowerCard cardId, int32_t seat);

  // ---- Host link state ----
  // The answer steps every timed answer shares: timer 1 and its phase stopped, the
  // countdown hidden and set back to its start.
  void EndTurnCountdown();
  // Counts a timed-out play against this client and warns, then hands over to
  // auto-play at the second one.
  void CountTimedOutPlay();
  std::list<HostMessage> queue_;
  uint32_t queuedCount_ = 0;
  int32_t busy_ = 0;
  static std::array<HostMessageHandler, HM_TYPE_LIMIT> DefaultHostMessageHandlers();
  std::array<HostMessageHandler, HM_TYPE_LIMIT> handlers_ = DefaultHostMessageHandlers();
  SceneWidgetStub countdownWidget_;
  std::array<SceneWidgetStub, kBetButtonCount> betButtons_;
  // RestoreScreen for a draw; a failure asks the host to end the game. False when the
  // draw must give up its frame.
  bool RebuildScreen();
  std::vector<std::string> recordedCalls_;
  int32_t displayBitDepth_ = 0;

  // ---- Sound ----
  // Whether registration may go on: the scene still ready and the loader not asked to end.
  bool MayRegister() const;
  std::atomic<int32_t> soundReady_{0};
  std::string soundFolder_;
  std::atomic<int32_t> effectVolume_{0};
  // Storing and applying the volume is one step, so that the loader's final apply
  // cannot put back a value the window thread has just replaced.
  CSoundLock volumeLock_;
  std::vector<int32_t> mutedUsers_;
  CGameSoundMgr soundMgr_;
};
