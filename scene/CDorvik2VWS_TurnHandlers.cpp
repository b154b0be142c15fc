// The road from the waiting table to the first card of each turn: the stake vote, the
// return to waiting, the first-player pick, the deal, four of a month, the floor
// exchange and the turns. The server decides; the table shows it and runs the
// countdown of the answer it waits for.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "base/SaturatingSum.h"
#include "host/CHostLink.h"
#include "plat/winuser.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "scene/SceneWidgetOps.h"
#include "widgets/GVQLAniWnd.h"

namespace turn_handlers {

using Scene = CDorvik2VWS;

constexpr int32_t kAntiLeaveFirstState = 8, kAntiLeaveLastState = 10;
constexpr int32_t kAntiLeaveFirstLevel = 1, kAntiLeaveLastLevel = 3;
constexpr int32_t kShortThreshold = 3;
constexpr int32_t kFourOfMonthThreshold = 10;

// Prompt modes.
constexpr int32_t kStakeVotePrompt = 18;
constexpr int32_t kStakeAcceptedPrompt = 12;
constexpr int32_t kStakeRefusedPrompt = 13;     // the vote failed; I did not accept
constexpr int32_t kStakeOutvotedPrompt = 14;    // the vote failed though I accepted
constexpr int32_t kFourOfMonthQuestion = 3;
constexpr int32_t kFourOfMonthShown = 2;
constexpr int32_t kFourOfMonthFew = 1;          // kind 2 on, fewer than two months
constexpr int32_t kFourOfMonthMany = 0;
constexpr int32_t kFourOfMonthAskKinds = 2;     // kinds 0 and 1 ask or show; the rest report
constexpr int32_t kCardsPerMonth = 4;
constexpr int32_t kMonths = 12;

constexpr uint32_t kVoteResultMs = 2000;
constexpr uint32_t kVoteShownMs = 1000;
constexpr uint32_t kDeckWaitMs = 500;
constexpr uint32_t kStampWaitMs = 500;
constexpr uint32_t kFourOfMonthWaitMs = 1000;

constexpr int32_t kDealEffect = scene_effects::kSort;
constexpr int32_t kDecidedEffect = scene_effects::kStamp;
constexpr int32_t kTurnEffect = scene_effects::kNotifyTurn;

constexpr uint32_t kPlayStateDealing = 0;
constexpr uint32_t kPlayStateObserving = 3;
constexpr uint32_t kPlayStatePlaying = 4;
constexpr int32_t kPromotionRequestKind = 5;

constexpr int32_t kPickSlots = COpenInfo::kSlots;
constexpr GSize kPickShift{5, 0};
constexpr GSize kStampOffset{-64, -42};
constexpr int32_t kWinnerStamp = 12;
constexpr GSize kWinnerRise{0, -50};
constexpr int32_t kHideFloorEvents = 8;
constexpr int32_t kFirstTurn = 1;

constexpr int32_t kTimeoutCut = 3;
constexpr int32_t kMaxCut = 5;
constexpr int32_t kShortestLimit = 5;

using scene_widgets::ShowWnd;

}  // namespace turn_handlers

// ---- Shared steps ------------------------------------------------------------------------
void CDorvik2VWS::StartCountdown(int32_t side, int32_t limit, int32_t threshold) {
  GVQLAniWnd* countdown = timers_.CountdownAnimation();
  if (countdown && side >= 0 && side < kSeats) countdown->SetPos(kCountdownPoints[side]);
  timers_.StartCountdown(limit, threshold);
}

bool CDorvik2VWS::IsAntiLeaveRoomState() const {
  using namespace turn_handlers;
  const RCRoomData& room = model_.room;
  return room.roomState >= kAntiLeaveFirstState && room.roomState <= kAntiLeaveLastState &&
         room.antiLeaveLevel >= kAntiLeaveFirstLevel && room.antiLeaveLevel <= kAntiLeaveLastLevel;
}

bool CDorvik2VWS::IsAntiLeaveRoom() const { return IsAntiLeaveRoomState() && model_.antiLeave != 0; }

int32_t CDorvik2VWS::TableTurnLimit(int32_t phase) const { return TurnTableLimit(phase); }

namespace turn_handlers {

// The side the countdown stands at for this client: its seat's, the lower one without.
int32_t MySide(Scene& scene) {
  const int32_t seat = scene.GetSeatOfUser(scene.MyUserNo());
  const int32_t side = seat >= 0 ? scene.SideOfSeat(seat) : 0;
  return side == 1 ? 1 : 0;
}

// The vote's outcome as a prompt: both accepted clears the vote marks.
void ShowVoteTally(Scene& scene, const ArcArrayT<int32_t, 2>& results) {
  int32_t accepted = 0;
  for (int32_t seat = 0; seat < Scene::kSeats; ++seat) accepted += results.at(static_cast<size_t>(seat)) > 0;
  if (accepted == Scene::kSeats) {
    scene.ShowNotifyPrompt(kStakeAcceptedPrompt, 0, 0, 0, 0, 0);
    for (int32_t seat = 0; seat < Scene::kSeats; ++seat) scene.GetPlayer(seat).stakeVoteMark = 0;
    return;
  }
  const int32_t mine = scene.GetSeatOfUser(scene.MyUserNo());
  const bool iAccepted = mine >= 0 && results.at(static_cast<size_t>(mine)) > 0;
  scene.ShowNotifyPrompt(iAccepted ? kStakeOutvotedPrompt : kStakeRefusedPrompt, 0, 0, 0, 0, 0);
}

}  // namespace turn_handlers

// ---- The stake vote and the waiting table -------------------------------------------------
void CDorvik2VWS::OnStakeVote(StakeVoteMsg& msg) {
  using namespace turn_handlers;
  model_.sceneMode = IsAntiLeaveRoom() ? kModePlaying : kModeWaiting;
  UpdateExitButtons(1);
  UpdatePlayButtons(1);
  model_.game.multiplierExponent = msg.baseMultExp;
  ShowMoneyPerPoint();
  for (int32_t seat = 0; seat < kSeats; ++seat) GetPlayer(seat).stakeVoteMark = msg.voteMarks.at(static_cast<size_t>(seat));
  if (IsSeated(RCUser::kNoUser)) {
    ShowNotifyPrompt(kStakeVotePrompt, 0, msg.proposedStake, 0, model_.room.option.moneyPerPoint, 0);
  }
  // Observers run the countdown too; only a seated client's time-out answers.
  StartCountdown(MySide(*this), TableTurnLimit(kPhaseStakeVote), kShortThreshold);
  StartGameTimer(kTurnTimer, kPhaseStakeVote);
}

void CDorvik2VWS::OnStakeVoteResult(StakeVoteResultMsg& msg) {
  using namespace turn_handlers;
  if (!IsAntiLeaveRoom()) return;
  StopCountdown(false);
  HideNotifyPrompt();
  model_.room.option.moneyPerPoint = msg.stakePerPoint;
  ShowMoneyPerPoint();
  ShowVoteTally(*this, msg.results);
  MarkDirty();
  WaitPumpingMessages(kVoteResultMs);
  HideNotifyPrompt();
}

void CDorvik2VWS::OnBackToWaiting(WaitingStateMsg& msg) {
  using namespace turn_handlers;
  model_.sceneMode = kModeWaiting;
  if (IsAntiLeaveRoomState()) {
    model_.antiLeave = msg.antiLeave;
    // Shown also with the rule lifted: it then says so.
    if (CVRestrictOptionWnd* caption = AntiLeaveCaption()) caption->Update(1, 1);
  }
  StopCountdown(false);
  HideNotifyPrompt();
  vipMgr_.HideAlertIcons();
  UpdateExitButtons(1);
  UpdatePlayButtons(1);
  model_.room.option.moneyPerPoint = msg.stakePerPoint;
  ShowMoneyPerPoint();
  if (msg.userNo != GetPlayer(0).userNo) {
    RequestExit();
    return;
  }
  if (msg.showVote) {
    ShowVoteTally(*this, msg.voteResults);
    MarkDirty();
    WaitPumpingMessages(kVoteShownMs);
    HideNotifyPrompt();
  }
  if (msg.userNo == MyUserNo()) {
    if (msg.startBlocked) {
      ShowStartButton(0);
      StartGameTimer(kLastKilledTimer, 0);
      MarkDirty();
      return;
    }
    ShowStartButton(1);
    if (model_.autoStart) SendStart();
  }
  MarkDirty();
}

// ---- The first-player pick ----------------------------------------------------------------
void CDorvik2VWS::OnSunSelect(SunSelectMsg& msg) {
  using namespace turn_handlers;
  if (model_.game.inProgress) return;
  model_.sceneMode = kModePlaying;
  ShowStartButton(0);
  PlayPromotionIntro(0, 0);
  ResetSeatAreas();
  if (IsBannerRoom()) PlayPickBanner();
  // The pick positions: the floor slots, a little to the right.
  for (int32_t k = 0; k < kPickSlots; ++k) {
    COpen& slot = model_.floor.slots.at(static_cast<size_t>(k));
    const GPoint at = kFloorSlotPoints[k] + kPickShift;
    slot.x = at.x;
    slot.y = at.y;
  }
  const int32_t count = std::clamp(msg.pickCount, 0, kPickSlots);
  cardTable_.ResetWidgets();
  model_.floor.Reset();
  model_.game.dealCards.clear();
  for (int32_t w = 0; w < count; ++w) model_.floor.floorCards.push_back(w);
  PlayDeckAnimation();
  PlayEffect(kDealEffect, 0);
  WaitPumpingMessages(kDeckWaitMs);
  MoveCardSprites(0, count);
  // Face down, each pick card is known by its slot alone.
  for (int32_t k = 0; k < count; ++k) {
    if (CVHTWnd* card = CardWndById(model_.floor.floorCards[static_cast<size_t>(k)])) card->floorSlot = k;
    model_.floor.slots.at(static_cast<size_t>(k)).cardCount = 1;
  }
  if (GVQLAniWnd* pick = built_.widgets.sunPickAnim) pick->Play(-1, 0);
  if (IsSeated(RCUser::kNoUser)) {
    StartGameTimer(kBlinkTimer, 0);
    model_.handPick = 1;
    StartCountdown(MySide(*this), TableTurnLimit(kPhaseSunPick), kShortThreshold);
    StartGameTimer(kTurnTimer, kPhaseSunPick);
    promotionMgr_.ShowAniBanner(0);
  }
  MarkDirty();
}

void CDorvik2VWS::OnSunPick(SunPickMsg& msg) {
  using namespace turn_handlers;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (msg.pickSlot < 0 || msg.pickSlot >= kPickSlots || seat < 0) return;
  const auto& outlines = CardWidgets().floorOutlines;
  if (msg.userNo == MyUserNo()) {
    StopCountdown(GetPhase() == kPhaseSunPick);
    model_.handPick = 0;
    for (GVWnd* outline : outlines) ShowWnd(outline, 0);
  } else {
    ShowWnd(outlines[static_cast<size_t>(msg.pickSlot)], 0);
  }
  CardList& floor = model_.floor.floorCards;
  const auto it = std::find_if(floor.begin(), floor.end(), [&](int32_t w) {
    const CVHTWnd* card = CardWndById(w);
    return card && card->floorSlot == msg.pickSlot;
  });
  if (it != floor.end()) {
    CVHTWnd* card = CardWndById(*it);
    floor.erase(it);
    model_.floor.slots.at(static_cast<size_t>(msg.pickSlot)).cardCount = 0;
    card->SetCard(msg.cardId);
    card->floorSlot = -1;
    const int32_t side = SideOfSeat(seat) == 1 ? 1 : 0;
    const GPoint mark = kMarkPoints[side];
    card->SetPos(mark);
    if (GVQLAniWnd* stamp = built_.widgets.sunNotices[static_cast<size_t>(side)]) {
      stamp->SelectAnimation(card->month);
      stamp->Play(1, 1);
      stamp->SetPos(mark + kStampOffset);
    }
  }
  if (IsInGame()) {
    if (CVRestrictOptionWnd* caption = AntiLeaveCaption()) caption->Update(1, 1);
    for (CHTUser& s : model_.game.seats) s.gameCounters[0] = s.gameCounters[1] = 0;
  }
  MarkDirty();
}

void CDorvik2VWS::OnSunDecided(SunDecidedMsg& msg) {
  using namespace turn_handlers;
  StopCountdown(GetPhase() == kPhaseSunPick);
  model_.handPick = 0;
  for (GVWnd* outline : CardWidgets().floorOutlines) ShowWnd(outline, 0);
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat < 0) return;
  // The pick's winner leads the game; after a draw the result offers that player the
  // auto-start toggle.
  model_.firstPlayerUserNo = msg.userNo;
  const int32_t side = SideOfSeat(seat) == 1 ? 1 : 0;
  const GPoint at = kMarkPoints[side] + kWinnerRise;
  WaitPumpingMessages(kStampWaitMs);
  PlayEffect(kDecidedEffect, 0);
  for (GVQLAniWnd* stamp : built_.widgets.sunNotices) {
    if (stamp) stamp->Stop();
  }
  if (GVQLAniWnd* stamp = built_.widgets.sunNotices[static_cast<size_t>(side)]) {
    stamp->SelectAnimation(kWinnerStamp);
    stamp->Play(1, 1);
    stamp->SetPos(at);
  }
  MarkDirty();
}

// ---- The deal ---------------------------------------------------------------------------------
void CDorvik2VWS::OnDeal(DealMsg& msg) {
  using namespace turn_handlers;
  HostLink().SetPlayState(kPlayStateDealing);
  if (GetSeatOfUser(msg.userNo) >= 0) {
    SetAutoPlay(0);
    if (built_.widgets.autoPlaySettingButton) built_.widgets.autoPlaySettingButton->Enable(1);
  }
  model_.sceneMode = kModePlaying;
  ShowStartButton(0);
  UpdateExitButtons(1);
  promotionMgr_.ShowAniBanner(0);
  // Unconditional: the room may have stopped being a banner room since the pick.
  StopPickBanner();
  ShowWnd(built_.widgets.sunPickAnim, 0);
  // The pick's cards go home; the floor takes its own slots again.
  cardTable_.ResetWidgets();
  model_.floor.Reset();
  for (int32_t k = 0; k < kPickSlots; ++k) {
    COpen& slot = model_.floor.slots.at(static_cast<size_t>(k));
    slot.x = kFloorSlotPoints[k].x;
    slot.y = kFloorSlotPoints[k].y;
  }
  model_.game.dealtHand.assign(msg.handCards.begin(), msg.handCards.end());
  model_.game.dealCards.assign(msg.floorCards.begin(), msg.floorCards.end());
  ResetSeatAreas();
  // A game under a lifted rule shows no caption.
  CVRestrictOptionWnd* caption = AntiLeaveCaption();
  if (caption && IsAntiLeaveRoomState()) caption->Update(model_.antiLeave, 1);
  PlayDeckAnimation();
  PlayEffect(kDealEffect, 0);
  WaitPumpingMessages(kDeckWaitMs);
  OpeningDeal();
  const int32_t mySeat = GetSeatOfUser(MyUserNo());
  if (mySeat >= 0) SortMyHand(mySeat, 0);
  StartGameTimer(kBlinkTimer, 0);
  model_.game.inProgress = 1;
  const bool seated = IsSeated(RCUser::kNoUser) != 0;
  HostLink().SetPlayState(seated ? kPlayStatePlaying : kPlayStateObserving);
  promotionMgr_.ShowAniBanner(1);
  if (promotionMgr_.IsBannerVisible()) promotionMgr_.ShowBanner(1);
  SendPromotionRequest(kPromotionRequestKind, 0);
  MarkDirty();
}

void CDorvik2VWS::OnFourOfMonth(FourOfMonthMsg& msg) {
  using namespace turn_handlers;
  ShowWnd(built_.widgets.turnMarker, 0);
  const bool mine = msg.userNo == MyUserNo();
  const bool asks = msg.kind >= 0 && msg.kind < kFourOfMonthAskKinds;
  const int32_t count = static_cast<int32_t>(msg.months.size());
  int32_t mode = count < 2 ? kFourOfMonthFew : kFourOfMonthMany;
  if (asks) {
    const bool shownOnly = msg.kind == 1 || IsSeated(RCUser::kNoUser);
    mode = mine ? kFourOfMonthQuestion : shownOnly ? kFourOfMonthShown : kFourOfMonthQuestion;
  }
  // A month outside the year names no card.
  std::list<int32_t> cards;
  for (const int32_t month : msg.months) {
    if (month < 0 || month >= kMonths) continue;
    if (mode == kFourOfMonthMany) {
      cards.push_back(month * kCardsPerMonth);
      continue;
    }
    for (int32_t c = 0; c < kCardsPerMonth; ++c) cards.push_back(month * kCardsPerMonth + c);
    break;
  }
  ShowNotice(mode, cards);
  MarkDirty();
  if (asks) {
    const int32_t seat = GetSeatOfUser(msg.userNo);
    const int32_t side = seat >= 0 && SideOfSeat(seat) == 1 ? 1 : 0;
    if (mine && mode == kFourOfMonthQuestion && seat >= 0 && !IsRobotSeat(seat) && GetPlayer(seat).connState == 0) {
      StartGameTimer(kTurnTimer, kPhaseFourOfMonth);
    }
    StartCountdown(side, TableTurnLimit(kPhaseFourOfMonth), kFourOfMonthThreshold);
  } else {
    WaitPumpingMessages(kFourOfMonthWaitMs);
  }
  WaitPumpingMessages(kFourOfMonthWaitMs);
}

void CDorvik2VWS::OnFloorExchange(FloorExchangeMsg& msg) {
  constexpr int32_t kNoSeat = -1;
  if (!model_.game.inProgress) return;
  for (const int32_t card : msg.takenCards) TakeFloorCard(card, 0);
  for (const int32_t card : msg.laidCards) FlipDeckCard(card, kNoSeat);
  MarkDirty();
}

// ---- The turn ----------------------------------------------------------------------------------
namespace turn_handlers {

// My turn: the hand opens, and the card under the cursor rises at once.
void BeginMyTurn(Scene& scene, bool withEffect) {
  scene.ShowBombCardHint(1);
  scene.ShowHandCardHints(1);
  scene.Model().handPick = 1;
  const int32_t limit = scene.StartGameTimer(Scene::kTurnTimer, Scene::kPhasePlayCard);
  scene.Timers().StartCountdown(limit, kShortThreshold);
  if (withEffect) scene.PlayEffect(kTurnEffect, 0);
  POINT cursor{};
  GetCursorPos(&cursor);
  if (scene.Owner() && scene.Owner()->Handle()) ScreenToClient(scene.Owner()->Handle(), &cursor);
  scene.OnMouseMove(0, GPoint(cursor.x, cursor.y));
}

}  // namespace turn_handlers

void CDorvik2VWS::OnTurn(TurnMsg& msg) {
  using namespace turn_handlers;
  for (GVQLAniWnd* stamp : built_.widgets.sunNotices) {
    if (stamp) stamp->Stop();
  }
  model_.selectedFloorCard = -1;
  HideNotifyPrompt();
  ShowFloorEvent(kHideFloorEvents);
  StopCountdown(false);
  const int32_t seat = GetSeatOfUser(msg.userNo);
  const int32_t side = seat >= 0 ? SideOfSeat(seat) : -1;
  if (side < 0 || side >= kSeats) return;
  ShowNoTurnSign(0);
  if (GVQLAniWnd* marker = built_.widgets.turnMarker) {
    marker->SelectAnimation(side);
    marker->Play(-1, 0);
  }
  if (GVQLAniWnd* countdown = timers_.CountdownAnimation()) countdown->SetPos(kCountdownPoints[side]);
  if (model_.autoPlay) {
    ShowWnd(built_.widgets.autoPlayCancelButton, 1);
    ShowWnd(CardWidgets().autoPlayNotice, 1);
  }
  const int32_t mySeat = GetSeatOfUser(MyUserNo());
  vipMgr_.UpdateComboIcons(mySeat, 1);
  MarkDirty();
  int32_t limit = TableTurnLimit(kPhasePlayCard);
  if (msg.userNo == MyUserNo() && !IsRobotSeat(seat)) {
    Seat(seat).bombDummyCount = msg.turnValue;
    BeginMyTurn(*this, true);
    limit = timers_.CountdownStart();
  } else {
    model_.handPick = 0;
    if (msg.turnValue == 1 && mySeat >= 0) SortMyHand(mySeat, 0);
    // A negative count is no time-out.
    const int32_t timeouts = std::max(0, GetPlayer(seat).timeoutCount);
    if (timeouts > 0) limit = std::max(kShortestLimit, limit - static_cast<int32_t>(std::min<int64_t>(kMaxCut, int64_t{kTimeoutCut} * timeouts)));
  }
  model_.turnUserNo = msg.userNo;
  // The first turns' voice cues count the cards that landed on others in this turn only.
  model_.game.matchedCount = 0;
  // A snapshot's turn count is the host's and may stand at the end of 32 bits.
  model_.game.turnCount = SaturatingSum32(model_.game.turnCount, 1);
  timers_.StartCountdown(limit, kShortThreshold);
  model_.pendingEvent = -1;
  if (model_.game.turnCount == kFirstTurn && IsBannerRoom()) PlayInGameBanner();
  MarkDirty();
  RedrawIfDirty();
}

void CDorvik2VWS::OnTurnWithCards(TurnCardsMsg& msg) {
  using namespace turn_handlers;
  if (!model_.game.inProgress) return;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat < 0) return;
  StopCountdown(false);
  model_.game.matchedCount = 0;
  // An id outside the fifty names no card: it draws nothing.
  for (const int32_t card : msg.cards) {
    if (IsCardId(card)) DrawCardToHand(seat, card);
  }
  ComputeScoreMultiplier(2, msg.nineTenFlag);
  for (int32_t s = 0; s < kSeats; ++s) {
    const int32_t side = SideOfSeat(s);
    if (side < 0 || side >= kSeats) continue;
    const auto i = static_cast<size_t>(side);
    if (built_.widgets.scorePanels[i]) built_.widgets.scorePanels[i]->Update(Seat(s));
    if (built_.widgets.cardIcons[i]) built_.widgets.cardIcons[i]->Update(Seat(s));
    if (built_.widgets.bakIcons[i]) built_.widgets.bakIcons[i]->Update(Seat(s));
  }
  if (built_.widgets.goBakAlert) built_.widgets.goBakAlert->Update();
  Seat(seat).bombDummyCount = msg.seatValue;
  if (IsMyHumanSeat(seat)) SortMyHand(seat, 0);
  int32_t limit = TableTurnLimit(kPhasePlayCard);
  if (msg.userNo == MyUserNo() && !IsRobotSeat(seat)) {
    BeginMyTurn(*this, false);
    limit = timers_.CountdownStart();
  } else {
    model_.handPick = 0;
  }
  timers_.StartCountdown(limit, kShortThreshold);
  MarkDirty();
}

void CDorvik2VWS::OnEventAnimation(EventAnimationMsg&) {
  HideNotifyPrompt();
  ShowFloorEvent(turn_handlers::kHideFloorEvents);
  StopCountdown(false);
}

void CDorvik2VWS::OnStopCountdown(StopCountdownMsg&) { StopCountdown(true); }
