// What the server reports between two turns: plays and bombs, flips, captures with the
// pi they steal, pucks, the card events, the mission, the September animal, scores and
// the go-or-stop question with its answers. Each handler moves the cards, keeps the
// seat's score record, plays its voice and effect and, when the question is this
// client's, shows the prompt and starts the countdown of its phase.
#include <algorithm>
#include <limits>

#include "base/TextUtil.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GVQLAniWnd.h"

namespace play_handlers {

constexpr int32_t kNoSeat = PITable::kNoSeat;
constexpr int32_t kBothSeats = 2;

// Voice cues.
constexpr int32_t kVoiceBomb = 10013;
constexpr int32_t kVoiceShake = 10012;
constexpr int32_t kVoiceFourCardShake = 10031;
constexpr int32_t kVoicePuckRobot = 10018;
constexpr int32_t kVoicePuck = 10023;
constexpr int32_t kVoiceSweep = 10016;
constexpr int32_t kVoiceFiveGwang = 10007;
constexpr int32_t kVoiceGodori = 10008;
constexpr int32_t kVoiceFourGwang = 10006;
constexpr int32_t kVoiceThreeGwang = 10005;
constexpr int32_t kVoiceThreeGwangRain = 10029;
constexpr int32_t kVoiceChungdan = 10009;
constexpr int32_t kVoiceHongdan = 10010;
constexpr int32_t kVoiceChodan = 10011;
constexpr int32_t kVoiceStolen = 10019;
constexpr int32_t kVoiceMission = 10032;
constexpr int32_t kVoiceAnotherAsker = 10020;
constexpr int32_t kVoiceStop = 10027;
constexpr int32_t kNoVoice = 0;
// Go voices by go count 1..7 (7 and more share the last); a robot says the fifth's
// line from the sixth go on.
constexpr int32_t kGoVoices[] = {10000, 10001, 10002, 10003, 10004, 10021, 10022};
constexpr int32_t kRobotGoVoiceFrom = 6;
constexpr int32_t kRobotGoVoice = 10004;

// Effects.
constexpr int32_t kEffectShake = 22;
constexpr int32_t kEffectBomb = 23;
constexpr int32_t kEffectMission = 26;
constexpr int32_t kEffectPulse = 33;

// Floor events, event banners and seat events.
constexpr int32_t kFloorEventFirstPuck = 2;
constexpr int32_t kFloorEventLaterPuck = 3;
constexpr int32_t kFloorEventPuckLost = 4;
constexpr int32_t kFloorEventBomb = 6;
constexpr int32_t kFloorEventSweep = 7;
constexpr int32_t kBannerPlain = 0;
constexpr int32_t kBannerCapture = 1;
constexpr int32_t kBannerFiveGwang = 2;
constexpr int32_t kBannerGodori = 3;
constexpr int32_t kBannerChungdan = 4;
constexpr int32_t kBannerHongdan = 5;
constexpr int32_t kBannerChodan = 6;
constexpr int32_t kBannerGo = 7;
constexpr int32_t kBannerStop = 8;
constexpr int32_t kNoBanner = -1;
// Seat events: a robot's, and a human's cheer or quieter one (a lost puck turns them round).
constexpr int32_t kSeatEventRobot = 1;
constexpr int32_t kSeatEventCheer = 3;
constexpr int32_t kSeatEventQuiet = 4;

// Prompt modes.
constexpr int32_t kPromptShake = 4;
constexpr int32_t kPromptPickFloor = 5;
constexpr int32_t kPromptOtherPicking = 6;
constexpr int32_t kPromptFirstPuck = 7;
constexpr int32_t kPromptLaterPuck = 8;
constexpr int32_t kPromptMission = 9;
constexpr int32_t kPromptOtherGoStop = 10;
constexpr int32_t kPromptOtherDeciding = 11;
constexpr int32_t kPromptAskShake = 15;
constexpr int32_t kPromptGoStop = 16;
constexpr int32_t kPromptNineTen = 17;
constexpr int32_t kPromptGoStopAllIn = 19;
constexpr int32_t kPromptGoStopOwnMoney = 20;
constexpr int32_t kNineTenBlocksGo = 18;  // the September prompt's n with the record's flag

// Countdown show thresholds.
constexpr int32_t kThresholdMine = 3;
constexpr int32_t kThresholdOther = 5;

// Waits (ms).
constexpr uint32_t kBombWaitMs = 500;
constexpr uint32_t kPlayWaitMs = 250;
constexpr uint32_t kEventWaitMs = 500;
constexpr uint32_t kShakeExtraWaitMs = 700;
constexpr uint32_t kBonusTakeWaitMs = 100;
constexpr uint32_t kLayWaitMs = 300;
constexpr uint32_t kRewardWaitMs = 1000;
constexpr uint32_t kSweepWaitMs = 100;
constexpr uint32_t kSweepVoiceWaitMs = 200;
constexpr uint32_t kStealWaitMs = 500;
constexpr uint32_t kSweepBannerWaitMs = 300;
constexpr uint32_t kBannerWaitMs = 100;
constexpr uint32_t kVoiceWaitMs = 500;
constexpr uint32_t kAskerWaitMs = 500;

constexpr int32_t kCaptureSweep = 6;
constexpr int32_t kBombCards = 3;
constexpr int32_t kFourCardShake = 4;
constexpr int32_t kOfferedCards = 2;
constexpr int32_t kNotOffered = -1;
constexpr int32_t kCompletedSet = 3;
constexpr int32_t kFourGwang = 4;
constexpr int32_t kFiveGwang = 5;
constexpr int32_t kRainGwang = 44;
constexpr int32_t kFirstMission = 0;
constexpr int32_t kLastMission = 38;
constexpr int32_t kInstantMission = 1;
constexpr int32_t kFirstCardMission = 26;
constexpr int32_t kMissionAchieved = 0;
constexpr int32_t kMissionFailed = 1;
constexpr int32_t kMissionModeSet = CGameInfo::kMissionSet;
constexpr int32_t kLoudPucks = 3;  // pucks below this count are announced
constexpr int32_t kThreeGo = 3;
constexpr int32_t kCheerFromGo = 4;
constexpr int32_t kFirstAsker = 1;  // user numbers of real askers start here
// Rooms whose stakes a player's own money caps, and the anti-leave rooms in them.
constexpr int32_t kCappedRoomFirst = 5;
constexpr int32_t kCappedRoomLast = 10;
constexpr int32_t kAntiLeaveRoomFirst = 8;
constexpr int32_t kAntiLeaveLevelFirst = 1;
constexpr int32_t kAntiLeaveLevelLast = 3;

// A card event: its floor event (-1 none) and voices (0 none) for a robot and a human seat.
struct CardEventRow {
  int32_t floorEvent;
  int32_t robotVoice;
  int32_t humanVoice;
};
constexpr int32_t kFirstCardEvent = 1;
constexpr CardEventRow kCardEvents[] = {
    {-1, kNoVoice, kNoVoice},  // 1
    {-1, 10017, 10025},        // 2
    {5, 10020, 10026},         // 3
    {0, 10015, 10015},         // 4
    {1, 10014, 10014},         // 5
};
constexpr int32_t kCardEventCount = static_cast<int32_t>(std::size(kCardEvents));

// The sets a capture may complete, counted before and after it.
struct SetCounts {
  int32_t gwang = 0;
  int32_t godori = 0;
  int32_t hongdan = 0;
  int32_t chungdan = 0;
  int32_t chodan = 0;
};

struct Announcement {
  int32_t voice = kNoVoice;
  int32_t banner = kNoBanner;
};

int64_t SaturatingProduct(int64_t a, int64_t b) {
  int64_t out = 0;
  if (!__builtin_mul_overflow(a, b, &out)) return out;
  return (a < 0) == (b < 0) ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

bool InRange(int32_t v, int32_t first, int32_t last) { return v >= first && v <= last; }

}  // namespace play_handlers

using namespace play_handlers;

// ---- Helpers the handlers share ----------------------------------------------------------

void CDorvik2VWS::StartCountdown(int32_t seat, int32_t limitSeconds) {
  StartCountdown(SideOfSeat(seat) == 1 ? 1 : 0, limitSeconds, timers_.CountdownThreshold());
}


void CDorvik2VWS::RefreshSeatScores(int32_t seat) {
  for (int32_t s = 0; s < kSeats; ++s) {
    if (seat != kBothSeats && seat != s) continue;
    const int32_t side = GetPlayer(s).screenPos;
    if (!WidgetsLive() || side < 0 || side >= kSeats) continue;
    const auto i = static_cast<size_t>(side);
    const CHTUser& record = Seat(s);
    if (built_.widgets.scorePanels[i]) built_.widgets.scorePanels[i]->Update(record);
    if (built_.widgets.cardIcons[i]) built_.widgets.cardIcons[i]->Update(record);
    if (built_.widgets.bakIcons[i]) built_.widgets.bakIcons[i]->Update(record);
  }
}

void CDorvik2VWS::RefreshGoBakAlert() {
  if (WidgetsLive() && built_.widgets.goBakAlert) built_.widgets.goBakAlert->Update();
}

void CDorvik2VWS::SetSeatMoney(int32_t seat, int64_t money, int64_t totalMoney) {
  if (seat < 0 || seat >= kSeats) return;
  PlayerInfo& player = GetPlayer(seat);
  player.money = money;
  player.totalMoney = totalMoney;
  const int32_t side = player.screenPos;
  if (!WidgetsLive() || side < 0 || side >= kSeats) return;
  if (CVUserInfoWnd* panel = built_.widgets.seatPanels[static_cast<size_t>(side)]) {
    panel->SetMoney(player.money, player.extraAmount);
  }
}

void CDorvik2VWS::MarkCapturedMissionCards() {
  CVMissionWnd* panel = WidgetsLive() ? built_.widgets.missionPanel : nullptr;
  if (!panel || model_.game.missionMode != kMissionModeSet) return;
  for (int32_t s = 0; s < kSeats; ++s) {
    for (const CardList& pile : Seat(s).captured) {
      for (const int32_t w : pile) panel->MarkCardTaken(s, CardIdOfWidget(w), 0);
    }
  }
}

void CDorvik2VWS::RestackFloor() {
  for (int32_t slot = 0; slot < COpenInfo::kSlots; ++slot) RestackFloorSlot(slot);
}

int64_t CDorvik2VWS::MoneyIfStopping(int32_t seat, bool& allOfAsker) {
  allOfAsker = false;
  if (seat < 0 || seat >= kSeats || GetSeatOfUser(MyUserNo()) == kNoSeat) return 0;
  int64_t worth = SaturatingProduct(model_.room.option.moneyPerPoint, model_.stakeFactor);
  worth = SaturatingProduct(worth, Seat(seat).score);
  const int64_t askerMoney = GetPlayer(seat).money;
  const int64_t otherMoney = GetPlayer(1 - seat).money;
  if (InRange(model_.room.roomState, kCappedRoomFirst, kCappedRoomLast) && !HasRobotPlayer() &&
      worth > askerMoney) {
    worth = askerMoney;
    allOfAsker = otherMoney > askerMoney;
  }
  return std::min(worth, otherMoney);
}

namespace play_handlers {

// A question for this client: its own user in a seat no robot plays.
bool IsForMe(CDorvik2VWS& scene, int32_t userNo, int32_t seat) {
  return userNo == scene.MyUserNo() && !scene.IsRobotSeat(seat);
}

bool IsAntiLeaveRoom(const RCRoomData& room) {
  return InRange(room.roomState, kAntiLeaveRoomFirst, kCappedRoomLast) &&
         InRange(room.antiLeaveLevel, kAntiLeaveLevelFirst, kAntiLeaveLevelLast);
}

// The countdown a question shows runs for the room's speed kind; the auto-play limits
// shorten only this client's own answer (its turn timer), not what the table shows.
int32_t QuestionLimit(const RCRoomData& room, int32_t phase) {
  return CSceneTimers::TableLimit(phase, room.speedKind, 0);
}

SetCounts CountSets(CDorvik2VWS& scene, const CHTUser& seat) {
  const auto& piles = seat.captured;
  SetCounts c;
  c.gwang = static_cast<int32_t>(piles[kKindGwang].size());
  c.godori = scene.CountCardsOfSet(piles[kKindYeol], kSetGodori);
  c.hongdan = scene.CountCardsOfSet(piles[kKindTti], kSetHongdan);
  c.chungdan = scene.CountCardsOfSet(piles[kKindTti], kSetChungdan);
  c.chodan = scene.CountCardsOfSet(piles[kKindTti], kSetChodan);
  return c;
}

// The first rule a capture meets chooses its voice and banner. Red ribbons are
// announced with the red ribbons' line and banner, blue ones with the blue.
Announcement Announce(const SetCounts& before, const SetCounts& after, bool humanWithRainGwang, bool stole) {
  const bool gwangChanged = after.gwang != before.gwang;
  auto completed = [](int32_t was, int32_t now) { return now != was && now == kCompletedSet; };
  if (gwangChanged && after.gwang == kFiveGwang) return {kVoiceFiveGwang, kBannerFiveGwang};
  if (completed(before.godori, after.godori)) return {kVoiceGodori, kBannerGodori};
  if (gwangChanged && after.gwang == kFourGwang) return {kVoiceFourGwang, kNoBanner};
  if (gwangChanged && after.gwang == kCompletedSet) {
    return {humanWithRainGwang ? kVoiceThreeGwangRain : kVoiceThreeGwang, kNoBanner};
  }
  if (completed(before.hongdan, after.hongdan)) return {kVoiceHongdan, kBannerHongdan};
  if (completed(before.chungdan, after.chungdan)) return {kVoiceChungdan, kBannerChungdan};
  if (completed(before.chodan, after.chodan)) return {kVoiceChodan, kBannerChodan};
  if (stole) return {kVoiceStolen, kNoBanner};
  return {};
}

int32_t GoVoice(int32_t goCount, bool robot) {
  if (robot && goCount >= kRobotGoVoiceFrom) return kRobotGoVoice;
  const int32_t last = static_cast<int32_t>(std::size(kGoVoices));
  return kGoVoices[static_cast<size_t>(std::clamp(goCount, 1, last) - 1)];
}

}  // namespace play_handlers

// ---- The handlers -------------------------------------------------------------------------

void CDorvik2VWS::OnBomb(BombMsg& msg) {
  HideNotifyPrompt();
  if (!model_.game.inProgress) return;
  ShowBombCardHint(0);
  ShowHandCardHints(0);
  StopCountdown(false);
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  const bool bomb = static_cast<int32_t>(msg.cards.size()) == kBombCards;
  if (bomb) PlayVoice(kVoiceBomb, seat);
  for (auto it = msg.cards.begin(); it != msg.cards.end(); ++it) {
    PlayCardToFloor(*it, seat, std::next(it) == msg.cards.end() ? 1 : 0);
  }
  if (bomb) {
    ++Seat(seat).shakeCount;
    RefreshSeatScores(seat);
    ShowFloorEvent(kFloorEventBomb);
    PlayEffect(kEffectBomb, 0);
  }
  RestackFloor();
  MarkDirty();
  WaitPumpingMessages(bomb ? kBombWaitMs : kPlayWaitMs);
}

void CDorvik2VWS::OnAskPickFloorCard(PickFloorCardMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  StartCountdown(seat, QuestionLimit(model_.room, kPhasePickFloorCard));
  model_.offeredFloorCards.fill(kNotOffered);
  if (IsForMe(*this, msg.userNo, seat)) {
    // The answer is one of the two cards offered: without them there is nothing to ask.
    const bool offered = static_cast<int32_t>(msg.offeredCards.size()) == kOfferedCards &&
                         std::all_of(msg.offeredCards.begin(), msg.offeredCards.end(), IsCardId);
    if (offered) {
      // The time-out answers with the first of them.
      model_.offeredFloorCards = {msg.offeredCards.front(), msg.offeredCards.back()};
      ShowNotice(kPromptPickFloor, msg.offeredCards);
      timers_.SetCountdownThreshold(kThresholdMine);
      StartGameTimer(kTurnTimer, kPhasePickFloorCard);
    }
  } else {
    ShowNotifyPrompt(kPromptOtherPicking, 0, 0, 0, 0, 0);
    timers_.SetCountdownThreshold(kThresholdOther);
  }
  MarkDirty();
}

void CDorvik2VWS::OnAskShake(AskShakeMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  StartCountdown(seat, QuestionLimit(model_.room, kPhaseShake));
  timers_.SetCountdownThreshold(kThresholdMine);
  if (IsForMe(*this, msg.userNo, seat)) {
    ShowNotifyPrompt(kPromptAskShake, 0, 0, 0, 0, 0);
    StartGameTimer(kTurnTimer, kPhaseShake);
  }
  MarkDirty();
}

void CDorvik2VWS::OnShake(ShakeMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  const bool robot = IsRobotSeat(seat) != 0;
  Seat(seat).shakeCount = msg.shakeCount;
  RefreshSeatScores(seat);
  StopCountdown(false);
  const bool fourCards = static_cast<int32_t>(msg.cards.size()) == kFourCardShake;
  ShowNotice(kPromptShake, msg.cards);
  PlayEffect(kEffectShake, 0);
  ShowSeatEvent(robot ? kSeatEventRobot : kSeatEventQuiet, nullptr);
  MarkDirty();
  WaitPumpingMessages(kEventWaitMs);
  PlayVoice(fourCards && !robot ? kVoiceFourCardShake : kVoiceShake, seat);
  if (model_.extraWait) WaitPumpingMessages(kShakeExtraWaitMs);
}

void CDorvik2VWS::OnCardEvent(CardEventMsg& msg) {
  if (!model_.game.inProgress) return;
  StopCountdown(false);
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  const int32_t row = msg.kind - kFirstCardEvent;
  if (row >= 0 && row < kCardEventCount) {
    const CardEventRow& e = kCardEvents[row];
    const bool robot = IsRobotSeat(seat) != 0;
    if (e.floorEvent >= 0) ShowFloorEvent(e.floorEvent);
    const int32_t voice = robot ? e.robotVoice : e.humanVoice;
    if (voice != kNoVoice) PlayVoice(voice, seat);
    ShowEventBanner(kBannerPlain, 0);
    ShowSeatEvent(robot ? kSeatEventRobot : kSeatEventCheer, nullptr);
  }
  MarkDirty();
  RedrawIfDirty();
  if (msg.kind != 0) WaitPumpingMessages(kEventWaitMs);
}

void CDorvik2VWS::OnLayCards(LayCardsMsg& msg) {
  if (!model_.game.inProgress) return;
  StopCountdown(false);
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  if (msg.userNo == MyUserNo()) Seat(seat).seatValue = msg.seatValue;
  for (const int32_t card : msg.cards) {
    FlipDeckCard(card, seat);
    if (msg.bonusFlag && IsCardId(card) && CardInfoOf(card).month == kBonusMonth) {
      WaitPumpingMessages(kBonusTakeWaitMs);
      TakeFloorCard(card, seat);
    }
  }
  RestackFloor();
  MarkDirty();
  WaitPumpingMessages(kLayWaitMs);
}

void CDorvik2VWS::OnPuck(PuckMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  const bool robot = IsRobotSeat(seat) != 0;
  Seat(seat).puckCount = msg.puckCount;
  RefreshSeatScores(seat);
  const int32_t voice = robot ? kVoicePuckRobot : kVoicePuck;
  const bool loud = msg.puckCount < kLoudPucks;
  if (msg.rewarded) {
    for (int32_t s = 0; s < kSeats; ++s) {
      SetSeatMoney(s, msg.money.at(static_cast<size_t>(s)), msg.totalMoney.at(static_cast<size_t>(s)));
    }
    AppendMoneyRecord();
    CVRestrictOptionWnd* caption = AntiLeaveCaption();
    if (caption && play_handlers::IsAntiLeaveRoom(model_.room)) caption->Update(1, 1);
    const bool first = msg.puckCount == 1;
    ShowFloorEvent(first ? kFloorEventFirstPuck : kFloorEventLaterPuck);
    if (loud) PlayVoice(voice, seat);
    ShowEventBanner(kBannerCapture, 0);
    ShowSeatEvent(robot ? kSeatEventRobot : kSeatEventCheer, nullptr);
    ShowNotifyPrompt(first ? kPromptFirstPuck : kPromptLaterPuck, msg.puckCount, msg.reward, 0, 0, 0);
  } else {
    ShowFloorEvent(kFloorEventPuckLost);
    if (loud) PlayVoice(voice, seat);
    ShowEventBanner(kBannerCapture, 0);
    ShowSeatEvent(robot ? kSeatEventQuiet : kSeatEventRobot, nullptr);
  }
  MarkDirty();
  WaitPumpingMessages(kEventWaitMs);
  if (msg.rewarded) WaitPumpingMessages(kRewardWaitMs);
}

void CDorvik2VWS::OnCapture(CaptureMsg& msg) {
  if (!model_.game.inProgress) return;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  const bool robot = IsRobotSeat(seat) != 0;
  const SetCounts before = CountSets(*this, Seat(seat));
  for (const int32_t card : msg.floorCards) TakeFloorCard(card, seat);
  const bool sweep = msg.kind == kCaptureSweep;
  if (sweep) {
    ShowFloorEvent(kFloorEventSweep);
    PlayVoice(kVoiceSweep, seat);
    ShowEventBanner(kBannerPlain, 0);
    ShowSeatEvent(robot ? kSeatEventRobot : kSeatEventCheer, nullptr);
    WaitPumpingMessages(kSweepWaitMs);
    WaitPumpingMessages(kSweepVoiceWaitMs);
  }
  const bool stole = !msg.stolen.empty();
  for (const StolenCard& entry : msg.stolen) {
    // A card can only come from the other seat's pile.
    const int32_t from = GetSeatOfUser(entry.userNo);
    if (from == kNoSeat || from == seat) continue;
    StealPi(entry.cardId, from, seat);
  }
  if (sweep || stole) WaitPumpingMessages(kStealWaitMs);
  const CHTUser& record = Seat(seat);
  const bool rain = !robot && PileHasCard(record.captured[kKindGwang], kRainGwang);
  const Announcement a = Announce(before, CountSets(*this, record), rain, stole);
  if (sweep && a.banner != kNoBanner && !stole) WaitPumpingMessages(kSweepBannerWaitMs);
  if (a.voice != kNoVoice) PlayVoice(a.voice, seat);
  if (a.banner != kNoBanner) {
    ShowEventBanner(a.banner, 0);
    WaitPumpingMessages(kBannerWaitMs);
  }
  MarkDirty();
  if (a.voice != kNoVoice) WaitPumpingMessages(kVoiceWaitMs);
}

void CDorvik2VWS::OnMissionInfo(MissionInfoMsg& msg) {
  promotionMgr_.ShowAniBanner(0);
  model_.game.missionMode = kMissionModeSet;
  model_.game.missionId = msg.missionId;
  CVMissionWnd* panel = WidgetsLive() ? built_.widgets.missionPanel : nullptr;
  if (InRange(msg.missionId, kFirstMission, kLastMission)) {
    model_.game.missionMultiplier = msg.missionMult;
    if (panel) {
      panel->Reset();
      panel->SetMission(msg.missionId, msg.missionMult, 0);
    }
    MarkCapturedMissionCards();
    if (msg.missionId == kInstantMission) {
      for (int32_t s = 0; s < kSeats; ++s) Seat(s).missionAchieved = 1;
      model_.game.CountAchievedMissions();
      for (int32_t s = 0; s < kSeats; ++s) {
        ComputeScoreMultiplier(s, model_.game.nineTenChoice);
        RefreshSeatScores(s);
      }
      PlayEffect(kEffectMission, 0);
      const int32_t mine = GetSeatOfUser(MyUserNo());
      if (mine != kNoSeat) PlayVoice(kVoiceMission, mine);
    }
  } else if (panel) {
    panel->Reset();
  }
  RestackFloor();
  MarkDirty();
}

void CDorvik2VWS::OnMissionResult(MissionResultMsg& msg) {
  for (int32_t s = 0; s < kSeats; ++s) Seat(s).missionAchieved = msg.success.at(static_cast<size_t>(s));
  model_.game.CountAchievedMissions();
  for (int32_t s = 0; s < kSeats; ++s) {
    const auto i = static_cast<size_t>(s);
    ComputeScoreMultiplier(s, model_.game.nineTenChoice);
    SetSeatMoney(s, msg.money.at(i), msg.totalMoney.at(i));
    RefreshSeatScores(s);
  }
  AppendMoneyRecord();
  CVRestrictOptionWnd* caption = AntiLeaveCaption();
  if (caption && play_handlers::IsAntiLeaveRoom(model_.room)) caption->Update(1, 1);
  CVMissionWnd* panel = WidgetsLive() ? built_.widgets.missionPanel : nullptr;
  const int32_t winner = GetSeatOfUser(msg.userNo);
  if (winner == kNoSeat) {
    if (panel) panel->SetMissionState(kMissionFailed);
    MarkDirty();
    return;
  }
  const int32_t id = model_.game.missionId;
  if (InRange(id, kFirstCardMission, kLastMission)) {
    ShowMissionSuccess(kPromptMission, id, msg.reward);
  } else {
    ShowNotifyPrompt(kPromptMission, model_.game.missionMultiplier, msg.reward, 0, 0, 0);
  }
  PlayEffect(kEffectMission, 0);
  PlayVoice(kVoiceMission, winner);
  if (panel) panel->SetMissionState(kMissionAchieved);
  MarkDirty();
  WaitPumpingMessages(kEventWaitMs);
  WaitPumpingMessages(kRewardWaitMs);
}

void CDorvik2VWS::OnAsk9TenMove(Ask9TenMsg& msg) {
  HideNotifyPrompt();
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  StartCountdown(seat, QuestionLimit(model_.room, kPhase9Ten));
  if (IsForMe(*this, msg.userNo, seat)) {
    CHTUser& mine = Seat(seat);
    mine.septemberValue = msg.septemberValue;
    ShowNotifyPrompt(kPromptNineTen, msg.flag ? kNineTenBlocksGo : mine.septemberValue, 0, 0, 0, 0);
    timers_.SetCountdownThreshold(kThresholdMine);
    StartGameTimer(kTurnTimer, kPhase9Ten);
  } else {
    ShowNotifyPrompt(kPromptOtherDeciding, 0, 0, 0, 0, 0);
    timers_.SetCountdownThreshold(kThresholdOther);
  }
  MarkDirty();
}

void CDorvik2VWS::On9TenMoved(NineTenMovedMsg& msg) {
  if (!model_.game.inProgress) return;
  ShowNineTenClip(0);
  StopCountdown(false);
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  MoveCapturedCard(msg.cardId, seat, kKindYeol, kKindPi);
  MarkDirty();
}

void CDorvik2VWS::On9TenKept(NineTenKeptMsg& msg) {
  model_.game.nineTenChoice = 0;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  ShowNineTenClip(seat, 1);
}

void CDorvik2VWS::OnScoreUpdate(ScoreUpdateMsg& msg) {
  StopCountdown(false);
  for (int32_t s = 0; s < kSeats; ++s) {
    Seat(s).points = msg.points.at(static_cast<size_t>(s));
    ComputeScoreMultiplier(s, msg.nineTenFlag);
  }
  RefreshSeatScores(kBothSeats);
  RefreshGoBakAlert();
  MarkDirty();
}

void CDorvik2VWS::OnAskGoOrStop(AskGoOrStopMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  int32_t& lastAsker = model_.game.lastGoStopAsker;
  if (lastAsker >= kFirstAsker && lastAsker != msg.userNo) {
    WaitPumpingMessages(kAskerWaitMs);
    PlayVoice(kVoiceAnotherAsker, seat);
    WaitPumpingMessages(kAskerWaitMs);
  }
  lastAsker = msg.userNo;
  CHTUser& asker = Seat(seat);
  if (GetPlayer(seat).screenPos >= 0) {
    asker.points = msg.points;
    ComputeScoreMultiplier(seat, msg.nineTenFlag);
    RefreshSeatScores(kBothSeats);
    RefreshGoBakAlert();
  }
  bool allOfAsker = false;
  const int64_t worth = MoneyIfStopping(seat, allOfAsker);
  if (IsForMe(*this, msg.userNo, seat)) {
    const bool noRobot = !HasRobotPlayer();
    const bool takesAll = worth == GetPlayer(1 - seat).money;
    int32_t mode = kPromptGoStop;
    if (InRange(model_.room.roomState, kCappedRoomFirst, kCappedRoomLast) && noRobot && allOfAsker) {
      mode = kPromptGoStopOwnMoney;
    } else if (noRobot && takesAll) {
      mode = kPromptGoStopAllIn;
    }
    ShowNotifyPrompt(mode, asker.score, worth, asker.goCount, 0, takesAll ? 1 : 0);
    StartGameTimer(kTurnTimer, kPhaseGoOrStop);
    PlayEffect(kEffectPulse, 0);
    StartCountdown(seat, QuestionLimit(model_.room, kPhaseGoOrStop));
  } else {
    ShowNotifyPrompt(kPromptOtherGoStop, asker.score, -worth, 0, 0, 0);
  }
  MarkDirty();
}

void CDorvik2VWS::OnStopDeclared(StopMsg& msg) {
  HideNotifyPrompt();
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == kNoSeat) return;
  const int32_t side = GetPlayer(seat).screenPos;
  if (side < 0) return;
  if (msg.goFlag == 0 && !HasRobotPlayer()) {
    PlayVoice(kVoiceStop, seat);
    ShowEventBanner(kBannerStop, side);
    MarkDirty();
    WaitPumpingMessages(kEventWaitMs);
    return;
  }
  const bool robot = IsRobotSeat(seat) != 0;
  CHTUser& record = Seat(seat);
  record.goCount = msg.goCount;
  record.goBakThreshold = record.points + msg.goCount;
  ComputeScoreMultiplier(seat, msg.nineTenFlag);
  RefreshSeatScores(kBothSeats);
  PlayVoice(GoVoice(msg.goCount, robot), seat);
  ShowEventBanner(kBannerGo, msg.goCount);
  int32_t seatEvent = msg.goCount >= kCheerFromGo ? kSeatEventCheer : kSeatEventQuiet;
  if (robot) seatEvent = kSeatEventRobot;
  ShowSeatEvent(seatEvent, nullptr);
  MarkDirty();
  WaitPumpingMessages(kEventWaitMs);
  if (msg.goCount == kThreeGo) PlayResultEffect(seat);
}
