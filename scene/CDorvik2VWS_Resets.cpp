// The scene's resets: per game, per table, per room, and a player leaving. Every
// widget they touch may still be missing (the constructor resets before the scene
// build), so each step checks its pointer.
#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "panels/CDorvik2PromotionMgr.h"
#include "panels/CDorvik2VIPMgr.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneWidgetOps.h"
#include "scene/SceneEffects.h"
#include "tables/VocabularyTables.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_resets {

constexpr const char* kOptionButton = "option";
constexpr const char* kVipButton = "vip";
constexpr int32_t kHideFloorEvents = 8;

using scene_widgets::ShowWnd;

// A side's two seat markers: the disconnect mark and the first-player icon.
void HideSeatMarkers(const CDorvik2VWS::SceneWidgets& w, size_t side) {
  ShowWnd(w.disconnectMarks[side], 0);
  ShowWnd(w.firstPlayerIcons[side], 0);
}

// A side's score panel, card-icon strip and bak icons, empty for a new game.
void ResetScoreArea(const CDorvik2VWS::SceneWidgets& w, size_t side) {
  if (w.scorePanels[side]) w.scorePanels[side]->ResetScore();
  if (w.cardIcons[side]) w.cardIcons[side]->ResetIcons();
  if (w.bakIcons[side]) w.bakIcons[side]->ResetIcons();
}

}  // namespace scene_resets

void CDorvik2VWS::ResetGameInfo() {
  model_.game.Reset();
  model_.turnUserNo = RCUser::kNoUser;
}

void CDorvik2VWS::ResetGameState() {
  model_.sceneMode = kModeNone;
  timers_.ForgetRunningFlags();
  model_.thirdGameFlag = 0;
  model_.exitFields.fill(0);
  model_.seatValue = -1;
  model_.stakeFactor = 1;
  model_.gamesPlayed = 0;
  for (CHTUser& seat : model_.game.seats) seat.gameCounters.fill(0);
  model_.antiLeave = 0;
  model_.autoPlay = 0;
  model_.closingCounter = 0;
  model_.moneyCapNotices = {};
  // Busy belongs to the dispatcher: it is set only while a handler runs, and that
  // handler's record is its own, not the queue's.
  hostQueue_.Drop();
  timers_.WaitWatch().ReadFrequency();
  cardTable_.ReadClockFrequency();
  ResetTableState();
  if (WidgetsLive()) {
    UpdateCardBoard();
    ShowMaximiseButtonState();
  }
  model_.game.pendingCards.clear();
  model_.playTimeNotices.fill(1);
  model_.moneyCapNotices = {};
}

void CDorvik2VWS::ResetTableState() {
  for (int32_t i = 0; i < COpenInfo::kSlots; ++i) {
    COpen& slot = model_.floor.slots.at(static_cast<size_t>(i));
    slot.x = kFloorSlotPoints[i].x;
    slot.y = kFloorSlotPoints[i].y;
  }
  timers_.ResetCountdown();
  model_.selectedFloorCard = -1;
  model_.handPick = 0;
  model_.floor.Reset();
  ResetGameInfo();
  for (const int32_t id : scene_effects::kResultStingers) StopEffect(id);
}

void CDorvik2VWS::ClearTable() {
  for (const UINT_PTR id : {kBlinkTimer, kTurnTimer, kBannerTimer, kLastKilledTimer}) StopGameTimer(id);
  StopLoopingEffects();
  timers_.RewindCountdown();
  model_.handPick = 0;
  model_.pendingEvent = -1;
  // Until the scene is ready the loader may be making these widgets on its thread.
  if (WidgetsLive()) ClearTableWidgets();
  model_.bombFlag = 0;
  model_.cannedPhrase = 1;
  SetMacroButtonEnabled(model_.cannedPhrase);
  ResetGameInfo();
  SetFullRedraw();
  MarkDirty();
}

void CDorvik2VWS::ClearTableWidgets() {
  if (built_.widgets.notifyPrompt) built_.widgets.notifyPrompt->Close();
  CloseResultWnd();
  vipMgr_.HideAlertIcons();
  cardTable_.ResetWidgets();
  for (int32_t slot = 0; slot < kSeats; ++slot) {
    const auto i = static_cast<size_t>(slot);
    scene_resets::HideSeatMarkers(built_.widgets, i);
    scene_resets::ResetScoreArea(built_.widgets, i);
  }
  if (built_.widgets.turnMarker) built_.widgets.turnMarker->Stop();
  ShowNoTurnSign(0);
  if (built_.widgets.robotPlayAnim) built_.widgets.robotPlayAnim->Stop();
  // The result starts two animations that loop until stopped: the reveal's mark on the
  // deck's top card (the gathered deck shows backs only) and the winner's. They are the
  // reset's two further animations; left running, the winner's stays over the
  // play-count panel through every later game.
  if (built_.widgets.remainCloseAnim) built_.widgets.remainCloseAnim->Stop();
  if (built_.widgets.winnerAnim) built_.widgets.winnerAnim->Stop();
  for (GVQLAniWnd* reveal : built_.widgets.remainHoldAnims) {
    if (reveal) reveal->Stop();
  }
  if (built_.widgets.missionPanel) built_.widgets.missionPanel->Reset();
  if (built_.widgets.startAnim) built_.widgets.startAnim->Stop();
  if (built_.widgets.goBakAlert) built_.widgets.goBakAlert->HideAll();
  if (built_.widgets.restrictCaption) built_.widgets.restrictCaption->Close();
  // The pick's markers and the floor-slot marks, whoever was seated when they showed.
  for (GVWnd* pick : CardWidgets().floorOutlines) scene_resets::ShowWnd(pick, 0);
  ShowHandCardHints(0);
  ShowBombCardHint(0);
  ShowNineTenClip(0);
  ShowEventBanner(-1, 0);
  ShowFloorEvent(scene_resets::kHideFloorEvents);
  ShowSeatEvent(kNoSeatEvent, nullptr);
  UpdateCardBoard();
  promotionMgr_.ShowAniBanner(0);
  scene_resets::ShowWnd(built_.widgets.moneyLimitTooltip, 0);
}

void CDorvik2VWS::ResetRoomView() {
  // Until the scene is ready the loader may be making these widgets on its thread.
  const bool live = WidgetsLive();
  StopGameTimer(kTickTimer);
  if (live) {
    ShowStartButton(0);
    UpdatePlayButtons(0);
    UpdateExitButtons(0);
  }
  ClearTable();
  if (live && built_.widgets.noticeTicker) built_.widgets.noticeTicker->Stop();
  // The old room's banner animations do not follow the player into the next room.
  if (live && built_.widgets.pickBanner) built_.widgets.pickBanner->Stop();
  if (live && built_.widgets.inGameBanner) built_.widgets.inGameBanner->Stop();
  if (live && built_.widgets.optionPanel && built_.widgets.optionPanel->IsOpen()) {
    SetButtonState(scene_resets::kOptionButton, 1, 1);
    // Left open it would show the old room's lines over the new room.
    built_.widgets.optionPanel->Close();
  }
  vipMgr_.HelperView().ShowPopupDialog(0, 0);
  SetButtonState(scene_resets::kVipButton, 1, 1);
  if (live) ResetRoomWidgets();
  SetStatusText(std::string());
  ClearMutedUsers();
  model_.room.Reset();
  // The record's reset leaves its own mode at 0; the scene's "no game" is -1.
  model_.sceneMode = kModeNone;
  SetAutoPlay(0);
  if (live) {
    ResetTableDisplays();
    scene_resets::ShowWnd(built_.widgets.hourAnimation, 0);
  }
  model_.playTimeNotices.fill(1);
}

void CDorvik2VWS::ResetRoomWidgets() {
  if (built_.widgets.captureButton) {
    built_.widgets.captureButton->Show(1);
    built_.widgets.captureButton->Enable(1);
  }
  if (built_.widgets.playCountPanel) built_.widgets.playCountPanel->Close();
  for (int32_t slot = 0; slot < kSeats; ++slot) {
    ResetSeatDisplays(slot);
    RemoveSideAvatar(slot);
  }
  if (built_.widgets.turnMarker) built_.widgets.turnMarker->Stop();
  scene_resets::ShowWnd(CardWidgets().cardBoard, 0);
  scene_resets::ShowWnd(built_.widgets.robotTitle, 0);
}

int32_t CDorvik2VWS::RemovePlayer(int32_t userNo) {
  const int32_t seat = GetSeatOfUser(userNo);
  if (seat == PITable::kNoSeat) return 0;
  PlayerInfo& player = model_.room.seats.Player(seat);
  const int32_t robotField = player.connState;
  const int32_t slot = player.screenPos;
  model_.game.seats.at(static_cast<size_t>(seat)) = CHTUser{};
  if (slot >= 0 && slot < kSeats) scene_resets::HideSeatMarkers(built_.widgets, static_cast<size_t>(slot));
  player.Reset();
  if (robotField >= 0) {
    // A human left: the table's stake goes back to the room's own, and the other
    // seat's game counters start again.
    model_.room.option.moneyPerPoint = model_.room.baseMoneyPerPoint;
    model_.game.seats.at(static_cast<size_t>(1 - seat)).gameCounters.fill(0);
  } else if (robotField < RCUser::kNoUser) {
    // The map keeps the robot's number in the connection field: the robot stays seated.
    player.SetRobot(robotField, RobotPlayerName);
    player.userId = RobotPlayerName;
  }
  return 1;
}

// ---- Steps on widgets the scene build makes ----------------------------------------------
void CDorvik2VWS::PlayHourAnimation() {
  if (built_.widgets.hourAnimation) built_.widgets.hourAnimation->Play(1, 0);
}
void CDorvik2VWS::ShowMaximiseButtonState() {
  CVPSPPushBtn* button = built_.widgets.maximiseButton;
  if (!button) return;
  // Image set 1 is the "back to a window" picture, where the button has one (a set
  // it lacks is refused).
  const bool fullScreen = owner_ && owner_->FullScreen();
  if (!button->SetImageSet(fullScreen ? 1 : 0)) button->SetImageSet(0);
  button->SetDirty(1);
}
void CDorvik2VWS::ResetSeatDisplays(int32_t slot) {
  const auto i = static_cast<size_t>(slot);
  if (built_.widgets.seatPanels[i]) built_.widgets.seatPanels[i]->ResetSeat();
  scene_resets::ResetScoreArea(built_.widgets, i);
  scene_resets::HideSeatMarkers(built_.widgets, i);
}
void CDorvik2VWS::ResetSeatAreas() {
  if (!WidgetsLive()) return;
  for (int32_t side = 0; side < kSeats; ++side) scene_resets::ResetScoreArea(built_.widgets, static_cast<size_t>(side));
  MarkDirty();
}
void CDorvik2VWS::HideSeatMarkers(int32_t side) {
  if (side >= 0 && side < kSeats) scene_resets::HideSeatMarkers(built_.widgets, static_cast<size_t>(side));
}
void CDorvik2VWS::ResetTableDisplays() {
  SceneWidgets& w = built_.widgets;
  scene_resets::ShowWnd(CardWidgets().autoPlayNotice, 0);
  scene_resets::ShowWnd(w.autoPlayCancelButton, 0);
  if (w.autoPlaySettingButton) w.autoPlaySettingButton->Enable(0);
  // The waiting display: a new room waits for its own entry to say how it stands.
  scene_resets::ShowWnd(w.waitingSprite, 0);
  MarkDirty();
}
