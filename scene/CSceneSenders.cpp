// The senders: a sender refused or lost sends nothing further; the caller decides
// about trying again.
#include "scene/CSceneSenders.h"

#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"

namespace scene_senders {

constexpr int32_t kItemRequestEvent = 22;
constexpr int32_t kFirstTimeout = 1;
constexpr int32_t kAutoPlayTimeout = 2;
constexpr int32_t kFastSpeedKind = 2;
constexpr const char* kTimeoutNotice = "`1120`대기 시간이 초과되었습니다. 대기 시간이 감소합니다.`0010`";
constexpr const char* kTimeoutNoticeFast = "`1120`대기 시간이 초과되었습니다.`0010`";
constexpr const char* kAutoPlayNotice = "`1120`대기 시간이 2회 초과되어 자동 치기로 변경됩니다.`0010`";
constexpr const char* kPlayButton = "play";
constexpr const char* kObserveButton = "observe";
constexpr int32_t kLeaveTries = 3;
constexpr uint32_t kLeftPlayState = 3;
constexpr int32_t kExitReasonLeft = 1;

}  // namespace scene_senders

using Scene = CDorvik2VWS;

int32_t CSceneSenders::SendGameCommand(const GameCommand& command) {
  return ::SendGameCommand(command, scene_.HostLink());
}

bool CSceneSenders::MayAnswer(int32_t phase) const {
  return scene_.GetPhase() == phase && scene_.IsSeated(RCUser::kNoUser);
}

// ---- Seat and table ---------------------------------------------------------------------
int32_t CSceneSenders::SendMyVoice() {
  return SendGameCommand(GameCommand::Make<GC_MY_VOICE>(GcMyVoice{scene_.Model().myVoiceSet}));
}

int32_t CSceneSenders::SendPlay(int32_t flag) {
  const CGameModel& model = scene_.Model();
  if (scene_.IsSeated(RCUser::kNoUser)) return 0;
  // Outside the waiting mode a seat is taken only from a robot or when asked outright.
  if (model.sceneMode != Scene::kModeWaiting && !scene_.HasRobotPlayer() && !flag) return 0;
  if (!SendGameCommand(GameCommand::Make<GC_PLAY>(GcPlay{model.myVoiceSet, flag}))) return 0;
  scene_.SetButtonState(scene_senders::kPlayButton, 1, 0);
  if (CVObserveSystemWnd* panel = scene_.ObservePanel()) panel->SetButtonState(1, 0);
  return 1;
}

int32_t CSceneSenders::SendObserve() {
  if (!scene_.IsSeated(RCUser::kNoUser)) return 0;
  if (!SendGameCommand(GameCommand::Make<GC_OBSERVE>())) return 0;
  scene_.SetButtonState(scene_senders::kObserveButton, 1, 0);
  return 1;
}

int32_t CSceneSenders::SendLeave() { return SendGameCommand(GameCommand::Make<GC_LEAVE>()); }

int32_t CSceneSenders::SendKick(int32_t targetUserNo) {
  const CGameModel& model = scene_.Model();
  if (model.myUser.userNo == RCUser::kNoUser || model.tableOwnerUserNo != model.myUser.userNo) return 0;
  if (targetUserNo == RCUser::kNoUser) return 0;
  return SendGameCommand(GameCommand::Make<GC_KICK>(GcKick{targetUserNo}));
}

int32_t CSceneSenders::SendOptionChange(int32_t code, int32_t value) {
  if (!scene_.IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_OPTION_CHANGE>(GcOptionChange{code, value}));
}

int32_t CSceneSenders::SendStart() {
  scene_.ShowStartButton(0);
  scene_.SetAutoPlay(0);
  CGameModel& model = scene_.Model();
  if (model.myUser.userNo == RCUser::kNoUser || model.room.seats.Player(0).userNo != model.myUser.userNo) return 0;
  if (model.sceneMode == Scene::kModeWaiting && scene_.HasSeatWithoutUser()) {
    return SendGameCommand(GameCommand::Make<GC_START_EMPTY_SEAT>(GcStart{}));
  }
  return SendGameCommand(GameCommand::Make<GC_START_GAME>(GcStart{}));
}

// ---- Answers to the turn countdown ------------------------------------------------------
int32_t CSceneSenders::SendStakeVoteAnswer(int32_t answer) {
  if (!MayAnswer(Scene::kPhaseStakeVote)) return 0;
  scene_.StopGameTimer(CSceneTimers::kTurnTimer);
  if (!SendGameCommand(GameCommand::Make<GC_STAKE_VOTE_ANSWER>(GcStakeVoteAnswer{answer}))) return 0;
  scene_.CloseResultWnd();
  return 1;
}

int32_t CSceneSenders::SendSunPick(int32_t pick, int32_t timedOut) {
  if (!MayAnswer(Scene::kPhaseSunPick)) return 0;
  return SendGameCommand(GameCommand::Make<GC_SUN_PICK>(GcSunPick{timedOut, pick}));
}

int32_t CSceneSenders::SendFourOfMonthAnswer(int32_t answer) {
  if (scene_.GetPhase() != Scene::kPhaseFourOfMonth) return 0;
  const int32_t seat = scene_.GetSeatOfUser(scene_.MyUserNo());
  if (seat == PITable::kNoSeat || scene_.IsRobotSeat(seat)) return 0;
  scene_.EndTurnCountdown();
  return SendGameCommand(GameCommand::Make<GC_FOUR_OF_MONTH_ANSWER>(GcFourOfMonthAnswer{answer}));
}

int32_t CSceneSenders::SendPickFloorCard(int32_t card, int32_t timedOut) {
  if (!MayAnswer(Scene::kPhasePickFloorCard)) return 0;
  scene_.EndTurnCountdown();
  return SendGameCommand(GameCommand::Make<GC_PICK_FLOOR_CARD>(GcPickFloorCard{timedOut, card}));
}

int32_t CSceneSenders::SendShakeAnswer(int32_t answer, int32_t timedOut) {
  if (!MayAnswer(Scene::kPhaseShake)) return 0;
  scene_.EndTurnCountdown();
  return SendGameCommand(GameCommand::Make<GC_SHAKE_ANSWER>(GcShakeAnswer{timedOut, answer}));
}

int32_t CSceneSenders::Send9TenAnswer(int32_t answer, int32_t timedOut) {
  if (!MayAnswer(Scene::kPhase9Ten)) return 0;
  scene_.EndTurnCountdown();
  Gc9TenAnswer payload;
  payload.timedOut = timedOut;
  payload.answer = answer;
  return SendGameCommand(GameCommand::Make<GC_9TEN_ANSWER>(payload));
}

int32_t CSceneSenders::SendGoOrStopAnswer(int32_t answer, int32_t timedOut) {
  if (!MayAnswer(Scene::kPhaseGoOrStop)) return 0;
  scene_.EndTurnCountdown();
  if (answer == 1) scene_.PlayEffect(Scene::kGoEffect, 0);
  return SendGameCommand(GameCommand::Make<GC_GO_OR_STOP_ANSWER>(GcGoOrStopAnswer{timedOut, answer}));
}

int32_t CSceneSenders::SendPlayCard(int32_t card, int32_t timedOut) {
  // Closed first, so that a refused play cannot be followed by a key pick either.
  scene_.Model().handPick = 0;
  if (!MayAnswer(Scene::kPhasePlayCard)) return 0;
  scene_.EndTurnCountdown();
  const GcPlayCard payload{timedOut, card, scene_.IsUnmatchedPlay(card)};
  if (!SendGameCommand(GameCommand::Make<GC_PLAY_CARD>(payload))) return 0;
  scene_.ShowBombCardHint(0);
  scene_.ShowHandCardHints(0);
  if (timedOut == 1 && !scene_.HasRobotPlayer()) CountTimedOutPlay();
  return 1;
}

void CSceneSenders::CountTimedOutPlay() {
  CGameModel& model = scene_.Model();
  const int32_t seat = scene_.GetSeatOfUser(model.myUser.userNo);
  if (seat == PITable::kNoSeat) return;
  const int32_t count = ++model.room.seats.Player(seat).timeoutCount;
  SendTimeoutCount(count);
  if (count == scene_senders::kFirstTimeout) {
    scene_.HostLink().ShowMarkupText(model.room.speedKind == scene_senders::kFastSpeedKind
                                           ? scene_senders::kTimeoutNoticeFast
                                           : scene_senders::kTimeoutNotice);
  } else if (count == scene_senders::kAutoPlayTimeout) {
    scene_.SetAutoPlay(1);
    SendAutoPlay(1);
    scene_.HostLink().ShowMarkupText(scene_senders::kAutoPlayNotice);
  }
}

// ---- Result and the rest ----------------------------------------------------------------
int32_t CSceneSenders::SendUnused17(int32_t a, int32_t b, int64_t c) {
  if (scene_.GetSceneMode() != Scene::kModeResult || !scene_.IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_UNUSED_17>(GcUnused17{a, b, c}));
}

int32_t CSceneSenders::SendResultDone() {
  if (!scene_.IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_RESULT_DONE>());
}

int32_t CSceneSenders::SendPromotionRequest(int32_t kind, int32_t value) {
  if (!scene_.IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_PROMOTION_REQUEST>(GcPromotionRequest{kind, value}));
}

int32_t CSceneSenders::SendHostValues(int32_t id, int64_t a, int64_t b) {
  if (scene_.GetSceneMode() != Scene::kModeResult || !scene_.IsSeated(RCUser::kNoUser)) return 0;
  const int32_t sent = SendGameCommand(GameCommand::Make<GC_HOST_VALUES>(GcHostValues{id, a, b}));
  SendResultDone();
  return sent;
}

int32_t CSceneSenders::SendBetChoice(int32_t button) {
  for (int32_t i = 0; i < Scene::kBetButtonCount; ++i) {
    if (CVPSPPushBtn* button = scene_.BetButton(i)) button->Enable(0);
  }
  return SendGameCommand(GameCommand::Make<GC_BET_CHOICE>(GcBetChoice{button}));
}

int32_t CSceneSenders::SendObserveMode(int32_t state) {
  scene_.Model().observeState = state;
  return SendGameCommand(GameCommand::Make<GC_OBSERVE_MODE>(GcObserveMode{state}));
}

int32_t CSceneSenders::SendNumberKey(int32_t phrase) {
  CGameModel& model = scene_.Model();
  if (!model.cannedPhrase) return 0;
  model.cannedPhrase = 0;
  return SendGameCommand(GameCommand::Make<GC_NUMBER_KEY>(GcNumberKey{phrase}));
}

void CSceneSenders::SendAutoPlay(int32_t on) {
  if (scene_.HasRobotPlayer()) return;
  SendGameCommand(GameCommand::Make<GC_AUTO_PLAY>(GcAutoPlay{on}));
}

void CSceneSenders::SendTimeoutCount(int32_t count) {
  SendGameCommand(GameCommand::Make<GC_TIMEOUT_COUNT>(GcTimeoutCount{count}));
}

void CSceneSenders::SendHostNoticeAck() {
  SendGameCommand(GameCommand::Make<GC_HOST_NOTICE_ACK>(GcHostNoticeAck{scene_.MyUserNo()}));
}

int32_t CSceneSenders::SendTextLine(const std::string& text) {
  return SendGameCommand(GameCommand::Make<GC_TEXT_LINE>(GcTextLine{scene_.MyUserNo(), text}));
}

void CSceneSenders::RequestItem(int64_t amount) {
  if (scene_.GetSceneMode() != Scene::kModeResult || !scene_.IsSeated(RCUser::kNoUser) || amount <= 0) return;
  int64_t data = amount;
  int32_t size = static_cast<int32_t>(sizeof data);
  scene_.HostLink().NotifyEvent(static_cast<uint32_t>(scene_.MyUserNo()), scene_senders::kItemRequestEvent, &data,
                                  &size);
  scene_.CloseResultWnd();
  scene_.MarkDirty();
}

void CSceneSenders::RequestExit() {
  if (scene_.IsSeated(RCUser::kNoUser)) {
    for (int32_t attempt = 0; attempt < scene_senders::kLeaveTries; ++attempt) {
      if (SendLeave()) return;
    }
  }
  if (scene_.IsSeated(RCUser::kNoUser)) {
    scene_.SetSceneMode(Scene::kModeWaiting);
    scene_.HostLink().SetPlayState(scene_senders::kLeftPlayState);
  }
  scene_.OnExitReason(scene_senders::kExitReasonLeft, std::string(), 0);
}
