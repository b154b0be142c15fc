// The scene's senders: every answer of the player becomes one game command, sent
// only in the turn phase that waits for it and only by a seated player. A sender
// refused or lost sends nothing further; the caller decides about trying again.
#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"

namespace {

constexpr int32_t kItemRequestEvent = 22;
constexpr int32_t kFirstTimeout = 1;
constexpr int32_t kAutoPlayTimeout = 2;
constexpr int32_t kFastSpeedKind = 2;
constexpr const char* kTimeoutNotice = "`1120`대기 시간이 초과되었습니다. 대기 시간이 감소합니다.`0010`";
constexpr const char* kTimeoutNoticeFast = "`1120`대기 시간이 초과되었습니다.`0010`";
constexpr const char* kAutoPlayNotice = "`1120`대기 시간이 2회 초과되어 자동 치기로 변경됩니다.`0010`";
constexpr const char* kPlayButton = "play";
constexpr const char* kObserveButton = "observe";

}  // namespace

int32_t CDorvik2VWS::SendGameCommand(const GameCommand& command) {
  return ::SendGameCommand(command, CHostLink::Global());
}

void CDorvik2VWS::EndTurnCountdown() {
  StopGameTimer(kTurnTimer);
  countdownWidget_.Stop();
  countdown = countdownStart;
}

// ---- Seat and table ---------------------------------------------------------------------
int32_t CDorvik2VWS::SendMyVoice() { return SendGameCommand(GameCommand::Make<GC_MY_VOICE>(GcMyVoice{model_.myVoiceSet})); }

int32_t CDorvik2VWS::SendPlay(int32_t flag) {
  if (IsSeated(RCUser::kNoUser)) return 0;
  // Outside the waiting mode a seat is taken only from a robot or when asked outright.
  if (model_.sceneMode != kModeWaiting && !HasRobotPlayer() && !flag) return 0;
  if (!SendGameCommand(GameCommand::Make<GC_PLAY>(GcPlay{model_.myVoiceSet, flag}))) return 0;
  SetButtonState(kPlayButton, kButtonDisabled);
  if (widgets_.observePanel) widgets_.observePanel->SetButtonState(1, 0);
  return 1;
}

int32_t CDorvik2VWS::SendObserve() {
  if (!IsSeated(RCUser::kNoUser)) return 0;
  if (!SendGameCommand(GameCommand::Make<GC_OBSERVE>())) return 0;
  SetButtonState(kObserveButton, kButtonDisabled);
  return 1;
}

int32_t CDorvik2VWS::SendLeave() { return SendGameCommand(GameCommand::Make<GC_LEAVE>()); }

int32_t CDorvik2VWS::SendKick(int32_t targetUserNo) {
  if (model_.myUser.userNo == RCUser::kNoUser || model_.tableOwnerUserNo != model_.myUser.userNo) return 0;
  if (targetUserNo == RCUser::kNoUser) return 0;
  return SendGameCommand(GameCommand::Make<GC_KICK>(GcKick{targetUserNo}));
}

int32_t CDorvik2VWS::SendOptionChange(int32_t code, int32_t value) {
  if (!IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_OPTION_CHANGE>(GcOptionChange{code, value}));
}

int32_t CDorvik2VWS::SendStart() {
  ShowStartButton(0);
  SetAutoPlay(0);
  if (model_.myUser.userNo == RCUser::kNoUser || model_.room.seats.Player(0).userNo != model_.myUser.userNo) return 0;
  if (model_.sceneMode == kModeWaiting && HasSeatWithoutUser()) {
    return SendGameCommand(GameCommand::Make<GC_START_EMPTY_SEAT>(GcStart{}));
  }
  return SendGameCommand(GameCommand::Make<GC_START_GAME>(GcStart{}));
}

// ---- Answers to the turn countdown ------------------------------------------------------
int32_t CDorvik2VWS::SendStakeVoteAnswer(int32_t answer) {
  if (turnPhase_ != kPhaseStakeVote || !IsSeated(RCUser::kNoUser)) return 0;
  StopGameTimer(kTurnTimer);
  if (!SendGameCommand(GameCommand::Make<GC_STAKE_VOTE_ANSWER>(GcStakeVoteAnswer{answer}))) return 0;
  CloseResultWnd();
  return 1;
}

int32_t CDorvik2VWS::SendSunPick(int32_t pick, int32_t timedOut) {
  if (turnPhase_ != kPhaseSunPick || !IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_SUN_PICK>(GcSunPick{timedOut, pick}));
}

int32_t CDorvik2VWS::SendFourOfMonthAnswer(int32_t answer) {
  if (turnPhase_ != kPhaseFourOfMonth) return 0;
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (seat == PITable::kNoSeat || IsRobotSeat(seat)) return 0;
  EndTurnCountdown();
  return SendGameCommand(GameCommand::Make<GC_FOUR_OF_MONTH_ANSWER>(GcFourOfMonthAnswer{answer}));
}

int32_t CDorvik2VWS::SendPickFloorCard(int32_t card, int32_t timedOut) {
  if (turnPhase_ != kPhasePickFloorCard || !IsSeated(RCUser::kNoUser)) return 0;
  EndTurnCountdown();
  return SendGameCommand(GameCommand::Make<GC_PICK_FLOOR_CARD>(GcPickFloorCard{timedOut, card}));
}

int32_t CDorvik2VWS::SendShakeAnswer(int32_t answer, int32_t timedOut) {
  if (turnPhase_ != kPhaseShake || !IsSeated(RCUser::kNoUser)) return 0;
  EndTurnCountdown();
  return SendGameCommand(GameCommand::Make<GC_SHAKE_ANSWER>(GcShakeAnswer{timedOut, answer}));
}

int32_t CDorvik2VWS::Send9TenAnswer(int32_t answer, int32_t timedOut) {
  if (turnPhase_ != kPhase9Ten || !IsSeated(RCUser::kNoUser)) return 0;
  EndTurnCountdown();
  Gc9TenAnswer payload;
  payload.timedOut = timedOut;
  payload.answer = answer;
  return SendGameCommand(GameCommand::Make<GC_9TEN_ANSWER>(payload));
}

int32_t CDorvik2VWS::SendGoOrStopAnswer(int32_t answer, int32_t timedOut) {
  if (turnPhase_ != kPhaseGoOrStop || !IsSeated(RCUser::kNoUser)) return 0;
  EndTurnCountdown();
  if (answer == 1) PlayEffect(kGoEffect, 0);
  return SendGameCommand(GameCommand::Make<GC_GO_OR_STOP_ANSWER>(GcGoOrStopAnswer{timedOut, answer}));
}

int32_t CDorvik2VWS::SendPlayCard(int32_t card, int32_t timedOut) {
  // Closed first, so that a refused play cannot be followed by a key pick either.
  model_.handPick = 0;
  if (turnPhase_ != kPhasePlayCard || !IsSeated(RCUser::kNoUser)) return 0;
  EndTurnCountdown();
  const GcPlayCard payload{timedOut, card, IsUnmatchedPlay(card)};
  if (!SendGameCommand(GameCommand::Make<GC_PLAY_CARD>(payload))) return 0;
  ShowBombCardHint(0);
  ShowHandCardHints(0);
  if (timedOut == 1 && !HasRobotPlayer()) CountTimedOutPlay();
  return 1;
}

void CDorvik2VWS::CountTimedOutPlay() {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (seat == PITable::kNoSeat) return;
  const int32_t count = ++model_.room.seats.Player(seat).timeoutCount;
  SendTimeoutCount(count);
  if (count == kFirstTimeout) {
    CHostLink::Global().ShowMarkupText(model_.room.speedKind == kFastSpeedKind ? kTimeoutNoticeFast : kTimeoutNotice);
  } else if (count == kAutoPlayTimeout) {
    SetAutoPlay(1);
    SendAutoPlay(1);
    CHostLink::Global().ShowMarkupText(kAutoPlayNotice);
  }
}

// ---- Result and the rest ----------------------------------------------------------------
int32_t CDorvik2VWS::SendUnused17(int32_t a, int32_t b, int64_t c) {
  if (model_.sceneMode != kModeResult || !IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_UNUSED_17>(GcUnused17{a, b, c}));
}

int32_t CDorvik2VWS::SendResultDone() {
  if (!IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_RESULT_DONE>());
}

int32_t CDorvik2VWS::SendPromotionRequest(int32_t kind, int32_t value) {
  if (!IsSeated(RCUser::kNoUser)) return 0;
  return SendGameCommand(GameCommand::Make<GC_PROMOTION_REQUEST>(GcPromotionRequest{kind, value}));
}

int32_t CDorvik2VWS::SendHostValues(int32_t id, int64_t a, int64_t b) {
  if (model_.sceneMode != kModeResult || !IsSeated(RCUser::kNoUser)) return 0;
  const int32_t sent = SendGameCommand(GameCommand::Make<GC_HOST_VALUES>(GcHostValues{id, a, b}));
  SendResultDone();
  return sent;
}

int32_t CDorvik2VWS::SendBetChoice(int32_t button) {
  for (SceneWidgetStub& b : betButtons_) b.Enable(0);
  return SendGameCommand(GameCommand::Make<GC_BET_CHOICE>(GcBetChoice{button}));
}

int32_t CDorvik2VWS::SendObserveMode(int32_t state) {
  model_.observeState = state;
  return SendGameCommand(GameCommand::Make<GC_OBSERVE_MODE>(GcObserveMode{state}));
}

int32_t CDorvik2VWS::SendNumberKey(int32_t phrase) {
  if (!model_.cannedPhrase) return 0;
  model_.cannedPhrase = 0;
  return SendGameCommand(GameCommand::Make<GC_NUMBER_KEY>(GcNumberKey{phrase}));
}

void CDorvik2VWS::SendAutoPlay(int32_t on) {
  if (HasRobotPlayer()) return;
  SendGameCommand(GameCommand::Make<GC_AUTO_PLAY>(GcAutoPlay{on}));
}

void CDorvik2VWS::SendTimeoutCount(int32_t count) {
  SendGameCommand(GameCommand::Make<GC_TIMEOUT_COUNT>(GcTimeoutCount{count}));
}

void CDorvik2VWS::SendHostNoticeAck() {
  SendGameCommand(GameCommand::Make<GC_HOST_NOTICE_ACK>(GcHostNoticeAck{model_.myUser.userNo}));
}

int32_t CDorvik2VWS::SendTextLine(const std::string& text) {
  return SendGameCommand(GameCommand::Make<GC_TEXT_LINE>(GcTextLine{model_.myUser.userNo, text}));
}

void CDorvik2VWS::RequestItem(int64_t amount) {
  if (model_.sceneMode != kModeResult || !IsSeated(RCUser::kNoUser) || amount <= 0) return;
  int64_t data = amount;
  int32_t size = static_cast<int32_t>(sizeof data);
  CHostLink::Global().NotifyEvent(static_cast<uint32_t>(model_.myUser.userNo), kItemRequestEvent, &data, &size);
  CloseResultWnd();
  MarkDirty();
}
