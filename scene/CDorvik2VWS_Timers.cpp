// What the game timers do when they fire: the turn countdown's default answers, the
// half-second countdown display and blink, and the one-shots.
#include "plat/crt.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_timer_acts {

// Room states of a game in play, and the anti-leave levels of a room with the rule.
constexpr int32_t kFirstInGameState = 8;
constexpr int32_t kLastInGameState = 10;
constexpr int32_t kFirstAntiLeaveLevel = 1;
constexpr int32_t kLastAntiLeaveLevel = 3;
constexpr int32_t kCountdownTickEffect = scene_effects::kNotifyCount;
constexpr int32_t kCountdownTickBelow = 4;  // the tick is heard from 3 down
constexpr int32_t kHurryVoice = 10036;
constexpr int32_t kHurryAt = 2;
constexpr int32_t kHurryTurns = 10;  // only early in a game
constexpr int32_t kResultPanelPhase = 17;
constexpr int32_t kAnswerNo = 0;
constexpr int32_t kAnswerYes = 1;
constexpr int32_t kEndlessPlay = -1;
constexpr int32_t kHideFloorEvents = 8;
constexpr int32_t kNoBanner = -1;

}  // namespace scene_timer_acts

int32_t CDorvik2VWS::IsAntiLeaveGame() const {
  using namespace scene_timer_acts;
  const RCRoomData& room = model_.room;
  return room.roomState >= kFirstInGameState && room.roomState <= kLastInGameState &&
                 room.antiLeaveLevel >= kFirstAntiLeaveLevel && room.antiLeaveLevel <= kLastAntiLeaveLevel &&
                 model_.antiLeave
             ? 1
             : 0;
}

int32_t CDorvik2VWS::TurnTableLimit(int32_t phase) const {
  // The auto-play row shortens only this client's own answer (its turn timer): the
  // countdown the table shows, for the other player too, runs for the room's speed.
  return CSceneTimers::TableLimit(phase, model_.room.speedKind, 0);
}

int32_t CDorvik2VWS::TurnLimit(int32_t phase) const {
  CSceneTimers::LimitFacts facts;
  facts.speedKind = model_.room.speedKind;
  facts.autoPlay = model_.autoPlay;
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  facts.seated = seat != PITable::kNoSeat ? 1 : 0;
  facts.antiLeaveGame = IsAntiLeaveGame();
  if (facts.seated) {
    const CHTUser& mine = model_.game.seats.at(static_cast<size_t>(seat));
    facts.antiLeaveCounters[0] = mine.gameCounters[kFirstAntiLeaveCounter];
    facts.antiLeaveCounters[1] = mine.gameCounters[kSecondAntiLeaveCounter];
    facts.timeouts = model_.room.seats.Player(seat).timeoutCount;
  }
  return CSceneTimers::ReducedLimit(phase, facts);
}

int32_t CDorvik2VWS::StartGameTimer(UINT_PTR id, int32_t phase) {
  if (id == kTurnTimer) return timers_.Start(id, phase, TurnLimit(phase));
  return timers_.Start(id, phase);
}

int32_t CDorvik2VWS::StopGameTimer(UINT_PTR id) {
  const bool blinking = id == kBlinkTimer && timers_.IsRunning(id);
  const int32_t result = timers_.Stop(id);
  if (blinking && WidgetsLive() && built_.widgets.turnMarker) {
    built_.widgets.turnMarker->Stop();
    MarkDirty();
  }
  return result;
}

void CDorvik2VWS::EndTurnCountdown() {
  StopGameTimer(kTurnTimer);
  if (WidgetsLive() && built_.widgets.countdownAnim) built_.widgets.countdownAnim->Stop();
  timers_.RewindCountdown();
}

BOOL CDorvik2VWS::OnTimer(UINT_PTR id) {
  if (!timers_.Expire(id)) return 0;
  switch (id) {
    case kTickTimer:
      AnimationTick();
      RedrawIfDirty();
      break;
    case kTurnTimer: OnTurnTimeout(); break;
    case kBlinkTimer: StepCountdownDisplay(); break;
    case kBannerTimer:
      ShowEventBanner(scene_timer_acts::kNoBanner, 0);
      ShowFloorEvent(scene_timer_acts::kHideFloorEvents);
      ShowSeatEvent(0, nullptr);
      break;
    case kLastKilledTimer: ShowStartButton(1); break;
    default:
      // The chat macro's pause after a phrase is over.
      model_.cannedPhrase = 1;
      SetMacroButtonEnabled(1);
      break;
  }
  return 1;
}

void CDorvik2VWS::OnTurnTimeout() {
  using namespace scene_timer_acts;
  const int32_t timedOut = model_.autoPlay ? 0 : 1;
  switch (timers_.Phase()) {
    case kPhaseStakeVote: SendStakeVoteAnswer(timedOut); break;
    case kPhaseSunPick:
      SendSunPick(kNoCard, timedOut);
      ShowFloorSlotMarks(0);
      break;
    case kPhaseFourOfMonth:
      SendFourOfMonthAnswer(kAnswerNo);
      HideNotifyPrompt();
      break;
    case kPhasePlayCard:
      model_.handPick = 0;
      if (model_.turnUserNo == model_.myUser.userNo) {
        const int32_t card = model_.autoPlay ? ChooseAutoPlayCard() : ChooseTimeoutCard();
        if (card >= 0) SendPlayCard(card, timedOut);
      }
      break;
    case kPhaseShake:
      SendShakeAnswer(kAnswerYes, timedOut);
      HideNotifyPrompt();
      break;
    case kPhasePickFloorCard: {
      // A prompt that offers no pair has nothing to default to.
      const int32_t first = model_.offeredFloorCards[0];
      const bool offered = first >= 0 && first < kCardCount && model_.offeredFloorCards[1] >= 0;
      if (offered) SendPickFloorCard(first, timedOut);
      HideNotifyPrompt();
      break;
    }
    case kPhase9Ten:
      Send9TenAnswer(kAnswerYes, timedOut);
      HideNotifyPrompt();
      break;
    case kPhaseGoOrStop:
      SendGoOrStopAnswer(kAnswerNo, timedOut);
      HideNotifyPrompt();
      break;
    case kResultPanelPhase:
      if (CloseItemPanel()) SetResultItemPanelShown(0);
      break;
    default: break;
  }
  if (timers_.IsRunning(kTurnTimer)) StopGameTimer(kTurnTimer);
  MarkDirty();
}

void CDorvik2VWS::StepCountdownDisplay() {
  using namespace scene_timer_acts;
  const bool live = WidgetsLive();
  const int32_t toggle = timers_.ToggleHalfSecond();
  if (toggle) {
    const bool silent = model_.autoPlay &&
                        (model_.turnUserNo == model_.myUser.userNo || timers_.Phase() == kPhaseFourOfMonth);
    const CSceneTimers::CountdownStep step = timers_.StepCountdown(silent);
    GVQLAniWnd* countdown = live ? built_.widgets.countdownAnim : nullptr;
    if (step.show == CSceneTimers::CountdownShow::kHidden && countdown) countdown->Stop();
    if (step.show == CSceneTimers::CountdownShow::kNumber) {
      if (countdown) {
        countdown->SelectAnimation(step.number);
        countdown->Play(kEndlessPlay, 0);
      }
      if (step.number < kCountdownTickBelow) PlayEffect(kCountdownTickEffect, 0);
      if (model_.game.turnCount < kHurryTurns && step.number == kHurryAt && countdown && countdown->IsVisible()) {
        PlayHurryVoice();
      }
    }
    MarkDirty();
  }
  if (timers_.Phase() == kPhaseSunPick) {
    ShowFloorSlotMarks(toggle);
    MarkDirty();
    return;
  }
  if (model_.turnUserNo == RCUser::kNoUser) return;
  if (timers_.IsRunning(kBlinkTimer) && live && built_.widgets.turnMarker) {
    built_.widgets.turnMarker->SetFrame(toggle ? 0 : 1);
  }
  if (model_.handPick) ShowBombCardHint(toggle);
  MarkDirty();
}

void CDorvik2VWS::PlayHurryVoice() {
  // Only a seat someone sits in and whose turn it is not: an empty seat's record
  // would speak with a reset voice.
  int32_t chosen = PITable::kNoSeat;
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    const int32_t userNo = model_.room.seats.Player(seat).userNo;
    if (userNo == RCUser::kNoUser || userNo == model_.turnUserNo) continue;
    if (chosen == PITable::kNoSeat || plat::crt::rand() % 2 == 0) chosen = seat;
  }
  if (chosen != PITable::kNoSeat) PlayVoice(scene_timer_acts::kHurryVoice, chosen);
}
