// The end of a game and the money that moves around it: the result with its panel and
// item offer, the settlement that books wins and losses and resets the table, and the
// notices about the safe, the money caps, the anti-leave rule and the daily count.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

#include "base/RegistryValues.h"
#include "base/SaturatingSum.h"
#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "widgets/GVQLAniWnd.h"

namespace result_handlers {

constexpr int32_t kResultPhase = 17;
constexpr int32_t kPiPile = 3;
constexpr int32_t kRobotItemRoom = 60;
constexpr uint32_t kPlayStateResult = 1;
constexpr uint32_t kPlayStateIdle = 3;
constexpr int32_t kUnknownEndEffect = scene_effects::kResultWinner;
constexpr int32_t kLastEndType = 4;
constexpr int32_t kRobotSeatEvent = 1;
constexpr int32_t kWinnerSeatEvent = 2;
constexpr int32_t kClearEffect = scene_effects::kGameClear;
constexpr int32_t kStoppedEffect = scene_effects::kBoxNotify;
constexpr int32_t kBijouEffect = scene_effects::kBijouGet;
constexpr int32_t kBijouStep = 5;
constexpr int32_t kLeftByRequest = 0;
constexpr int32_t kStoppedByError = 0;
constexpr int32_t kSafeWithdrawal = 5;
constexpr COLORREF kBoxHeadingColour = 0xCF7F00;
constexpr uint32_t kReleaseBoxMs = 3000;
constexpr uint32_t kSafeBoxMs = 2000;
constexpr uint32_t kCapBoxMs = 5000;
constexpr uint32_t kRefundBoxMs = 3000;
constexpr int32_t kMoneyPrecision = 2;
// The item offer stands when its price is at most this share of the player's money.
constexpr double kOfferMoneyShare = 0.3;

// Membership levels of the item offer's amount class.
constexpr int32_t kLevelRoyal = 4;
constexpr int32_t kLevelGold = 3;
constexpr int32_t kLevelClub = 2;
constexpr int32_t kLevelMember = 1;
constexpr int32_t kLevelNone = 0;

// The money-total cap by membership, highest first; a total this close below the cap
// gets the notice.
constexpr int64_t kCapBand = 100'000'000;
struct CapTier {
  int32_t membership;  // the item-money index held, -1 none
  int64_t cap;
  const char* text;
};
constexpr const char* kCapHeading = "[안내] 도르빅 머니총합 최고한도";
constexpr CapTier kCapTiers[] = {
    {ITEM_MONEY_ROYAL, 500'000'000'000,
     "\n    도르빅 머니총합 최고한도는 `0010`%s`0111` 입니다.`0010`"},
    {ITEM_MONEY_GOLD, 300'000'000'000,
     "\n    도르빅 머니총합 최고한도가 `0010`%s 이상`0111`이 되시려면,\n    `0010`도르빅 스텔바 골드`0111`을 "
     "신청하세요.`0010`"},
    {ITEM_MONEY_CLUB, 200'000'000'000,
     "\n    도르빅 머니총합 최고한도가 `0010`%s 이상`0111`이 되시려면,\n    `0010`도르빅 스텔바 골드`0111` 또는 "
     "`0010`도르빅 스텔바 로얄`0111`을 신청하세요.`0010`"},
    {-1, 100'000'000'000,
     "\n    도르빅 머니총합 최고한도가 `0010`%s 이상`0111`이 되시려면,\n    `0010`도르빅 스텔바 클럽`0111` 또는 "
     "`0010`도르빅 스텔바 골드`0111` 또는 `0010`도르빅 스텔바 로얄`0111`을 신청하세요.`0010`"},
};

// OnMoneyCap's message for me, by cap kind 1..4.
constexpr const char* kCapKindTexts[CGameModel::kMoneyCapKinds] = {
    "도르빅 머니총합 최고한도 %s을 초과하셨습니다.\n※지금, 도르빅 스텔바 클럽 또는 도르빅 스텔바 골드 또는 도르빅 "
    "스텔바 로얄을 신청하시면,\n도르빅 머니총합 최고한도를 초과한 도르빅머니를 적립해드립니다.\n(단, %s까지 "
    "신청하셔야 합니다.)",
    "도르빅 머니총합 최고한도 %s을 초과하셨습니다.\n※지금, 도르빅 스텔바 골드 또는 도르빅 스텔바 로얄을 "
    "신청하시면,\n도르빅 머니총합 최고한도를 초과한 도르빅머니를 적립해드립니다.\n(단, %s까지 신청하셔야 합니다.)",
    "도르빅 머니총합 최고한도 %s을 초과하셨습니다.\n※지금, 스텔바로얄을 신청하시면,\n도르빅 머니총합 최고한도를 "
    "초과한 도르빅머니를 적립해드립니다.\n(단, %s까지 신청하셔야 합니다.)",
    "도르빅 머니총합 최고한도 %s을 초과하였습니다.",
};
constexpr const char* kCapBoxTitle = "도르빅 머니총합 최고한도 초과";
constexpr const char* kCapOtherLine =
    "    %s`1111`(%s)님은 `0010`도르빅 머니총합 한도`0110`를 `0010`초과`0111`하였습니다.`0010` \n";
constexpr const char* kCapPageHeading = "[도르빅 머니총합 최고한도안내]";
constexpr const char* kCapPage = "quell_extmoney_pop.vnt?msn=1";
constexpr int32_t kCapHeadingFirstFlag = 1;
constexpr int32_t kCapHeadingColour = 0;

constexpr const char* kReleaseText = "먹튀방지 옵션이 해제되었습니다.\n이제부터 방을 자유롭게 나갈 수 있습니다.";
constexpr const char* kPlayTimeText =
    "`1131`오늘 도르빅 게임의 누적 플레이 시간은 %d시간 입니다.\n적절한 휴식을 취하며 게임을 즐기세요.`0030`";
constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerMinute = 60;
constexpr int32_t kPlayTimeStepHours = 2;
constexpr int32_t kPlayTimeWindowMinutes = 2;
constexpr const char* kLeftLine = "%s`1131`(%s)님이 `0030`카르펜 요청`0131`을 하여 나가셨습니다.`0030`";
constexpr const char* kStoppedLine = "일시적인 오류`1111`로 게임을 중지하였습니다!`0010`";
constexpr const char* kSafeLine = "%s`1131`(%s)님이 `0030`금고`0130`에서 `0030`%s`0131`을 출금하셨습니다. `0030`";
constexpr const char* kSafeBox = " %s(%s)님이 금고에서 출금 하셨습니다. ";
constexpr const char* kSafeBoxTitle = "금고출금";
constexpr const char* kRefundBox = "상대가 나가면서 획득한 머니 %s냥을 돌려주었습니다.";

// The play-count panel gates the daily count from this many games on; the limit
// notice runs in the last games of the day's allowance.
constexpr int32_t kPlayCountGate = 500;
constexpr int32_t kDailyGames = 300;
constexpr int32_t kLimitNoticeGames = 5;
constexpr int32_t kChatBelowClosedPanel = 8;
constexpr int32_t kChatBelowPanel = 2;

enum MoneyNoticeKind : int32_t { kMoneyBell = 1, kRefillFirst = 2, kRefillLast = 3 };

bool ValidSeat(int32_t seat) { return seat >= 0 && seat < CDorvik2VWS::kSeats; }

// The item values this game leaves standing: each above the record's threshold.
void ClearItemValues(RCUser& user, int64_t threshold) {
  for (int64_t& v : user.itemMoney)
    if (v <= threshold) v = 0;
}

int32_t MembershipLevel(const RCUser& user) {
  const auto& m = user.itemMoney;
  if (m.at(ITEM_MONEY_ROYAL) > 0) return kLevelRoyal;
  if (m.at(ITEM_MONEY_GOLD) > 0) return kLevelGold;
  if (m.at(ITEM_MONEY_CLUB) > 0) return kLevelClub;
  if (m.at(ITEM_MONEY_MEMBER_A) > 0 || m.at(ITEM_MONEY_MEMBER_B) > 0) return kLevelMember;
  return kLevelNone;
}

const CapTier& CapTierOf(const RCUser& user) {
  for (const CapTier& t : kCapTiers)
    if (t.membership < 0 || user.itemMoney.at(static_cast<size_t>(t.membership)) > 0) return t;
  return kCapTiers[std::size(kCapTiers) - 1];
}

void ShowChat(const CHostLink& link, const std::string& text) { link.ShowMarkupText(text.c_str()); }

// The "14 digits" of a date-time number, as the date formatter reads them.
std::string DateDigits(int64_t value) { return FormatInt64(value); }

}  // namespace result_handlers

namespace rh = result_handlers;

// ---- Services of the result and item panels ---------------------------------------------------

int32_t CDorvik2VWS::ReadOptionDword(const char* name, uint32_t* out) const {
  return ::ReadRegistryValue(options_.RegistryBasePath(), CSceneOptions::kSubKey, name, out);
}

int32_t CDorvik2VWS::SaveOptionDword(const char* name, uint32_t value) {
  return options_.SaveRegDword(CSceneOptions::kSubKey, name, value);
}

GVPSPWnd* CDorvik2VWS::ItemChanceIcon() {
  return IsReady() ? dynamic_cast<GVPSPWnd*>(built_.widgets.chanceSprite) : nullptr;
}

int32_t CDorvik2VWS::ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs,
                                const std::string& heading) {
  if (!owner_ || closing_) return -1;
  return owner_->ShowMsgBox(body, type, autoCloseMs, heading, rh::kBoxHeadingColour);
}

// ---- The display helpers on the record's shapes -------------------------------------------------

int32_t CDorvik2VWS::ShowResultWnd(const GameResultMsg* msg) { return msg ? ShowResultWnd(*msg) : 0; }

void CDorvik2VWS::RevealResultCards(const std::list<int32_t>& nextDeckCards,
                                    const ArcArrayT<std::list<int32_t>, 2>& hands) {
  std::array<std::vector<FlowerCard>, kSeats> handCards;
  for (size_t seat = 0; seat < handCards.size(); ++seat) {
    handCards[seat].assign(hands.at(seat).begin(), hands.at(seat).end());
  }
  RevealResultCards(std::vector<FlowerCard>(nextDeckCards.begin(), nextDeckCards.end()), handCards);
}

void CDorvik2VWS::LayOutPlayCount(bool afterResult) {
  const CGameModel::PlayCount& count = model_.playCount;
  CVGFPlayCountWnd* panel = WidgetsLive() ? built_.widgets.playCountPanel : nullptr;
  GVTextWnd* chat = WidgetsLive() ? built_.widgets.statusText : nullptr;
  if (!panel || !chat) return;
  const GRect area = panel->GetRect();
  int32_t chatTop = area.bottom + rh::kChatBelowPanel;
  if (count.gamesPlayed < rh::kPlayCountGate) {
    // The chat then runs through the panel's place: the panel must not show over it.
    panel->Close();
    chatTop = area.top + rh::kChatBelowClosedPanel;
  } else {
    panel->SetPlayCount(count.todayCount, count.allowance);
    // In 64 bits: the host's count may be anything.
    const int64_t left = int64_t{rh::kDailyGames} - count.todayCount;
    if (afterResult && left >= 0 && left <= rh::kLimitNoticeGames) panel->NotifyLimit(static_cast<int32_t>(left));
  }
  chat->SetPos(GPoint(chat->GetPos().x, chatTop));
  chat->SetText(model_.statusText);
  MarkWidgetDirty(chat);
}

// ---- The result ---------------------------------------------------------------------------------

void CDorvik2VWS::OnGameResult(GameResultMsg& msg) {
  SceneWidgets& w = built_.widgets;
  const bool seated = IsSeated(RCUser::kNoUser) != 0;
  if (seated && w.autoPlaySettingButton) w.autoPlaySettingButton->Enable(0);
  model_.sceneMode = kModeResult;
  StartGameTimer(kTurnTimer, rh::kResultPhase);
  StopLoopingEffects();
  StopGameTimer(kBlinkTimer);
  if (w.notifyPrompt) w.notifyPrompt->Close();
  SetAutoPlay(0);
  // No turn runs: the alert's icons go until the next game's turns.
  vipMgr_.UpdateComboIcons(GetSeatOfUser(MyUserNo()), 0);
  if (w.countdownAnim) w.countdownAnim->Stop();
  RevealResultCards(msg.nextDeckCards, msg.hands);

  for (int32_t seat = 0; seat < kSeats; ++seat) {
    const auto i = static_cast<size_t>(seat);
    PlayerInfo& p = GetPlayer(seat);
    p.money = msg.money.at(i);
    p.totalMoney = msg.totalMoney.at(i);
    rh::ClearItemValues(p, msg.threshold1);
    if (p.thresholdValue <= msg.threshold2) p.thresholdValue = 0;
    const int32_t side = SideOfSeat(seat);
    if (rh::ValidSeat(side) && w.seatPanels[size_t(side)]) w.seatPanels[size_t(side)]->SetUser(p);
    RelayoutCapturedPile(seat, rh::kPiPile);
  }

  const int32_t mySeat = GetSeatOfUser(MyUserNo());
  const bool robot = HasRobotPlayer() != 0;
  const bool robotItemRoom = model_.room.roomState == rh::kRobotItemRoom;
  bool bestRose = false;
  if (seated && rh::ValidSeat(mySeat)) {
    const auto i = static_cast<size_t>(mySeat);
    PlayerInfo& me = GetPlayer(mySeat);
    if (w.rankingPointPanel) w.rankingPointPanel->ShowPoints(&me, msg.rankingPoints.at(i));
    LayOutPlayCount(true);
    if (msg.bestKind.at(i) > me.bestScore) {
      me.bestScore = msg.bestKind.at(i);
      bestRose = true;
    }
    if (!robot && !robotItemRoom) vipMgr_.OnGameResult(msg.moneyChange.at(i));
  }
  AppendMoneyRecord();
  if (!seated) rh::ClearItemValues(model_.myUser, msg.threshold1);
  CVRestrictOptionWnd* caption = AntiLeaveCaption();
  if (caption && model_.AntiLeaveRoom()) caption->Update(1, 1);
  HostLink().SetPlayState(rh::kPlayStateResult);
  HostLink().SetPlayState(rh::kPlayStateIdle);

  if (msg.endType < 0 || msg.endType > rh::kLastEndType) {
    PlayEffect(rh::kUnknownEndEffect, 0);
  } else {
    ShowResultWnd(&msg);
    MarkDirty();
    const int32_t winner = msg.winInfo.winnerSeat;
    if (rh::ValidSeat(winner)) {
      if (w.winnerAnim) w.winnerAnim->Play(scene_build::kLoopForever, 0);
      ShowSeatEvent(IsRobotSeat(winner) ? rh::kRobotSeatEvent : rh::kWinnerSeatEvent, nullptr);
    }
  }

  if (seated && rh::ValidSeat(mySeat) && !robot && !robotItemRoom && w.resultPanel && w.resultPanel->ItemPanel()) {
    CVItemWnd* items = w.resultPanel->ItemPanel();
    const PlayerInfo& me = GetPlayer(mySeat);
    const int32_t level = rh::MembershipLevel(me);
    const double price = static_cast<double>(msg.itemOfferAmount.at(size_t(mySeat)));
    if (!model_.itemOfferMade && price <= rh::kOfferMoneyShare * static_cast<double>(me.money) &&
        !model_.AntiLeaveHolds()) {
      items->ReserveItem(mySeat, 0, level);
      model_.itemOfferMade = 1;
    }
    if (bestRose) items->ReserveItemOfKind(mySeat, msg.bestKind.at(size_t(mySeat)), level);
    if (items->Open()) w.resultPanel->SetItemPanelShown(1);
  }
  MarkDirty();
}

// ---- The settlement -----------------------------------------------------------------------------

void CDorvik2VWS::OnSettlement(SettlementMsg& msg) {
  SceneWidgets& w = built_.widgets;
  const bool seated = IsSeated(RCUser::kNoUser) != 0;
  if (seated && w.autoPlaySettingButton) w.autoPlaySettingButton->Enable(0);
  PlayEffect(rh::kClearEffect, 0);
  ClearTable();

  if (model_.AntiLeaveRoom()) {
    if (msg.antiLeave != model_.antiLeave) {
      model_.antiLeave = msg.antiLeave;
      if (model_.antiLeave == 0) ShowMsgBox(rh::kReleaseText, 0, rh::kReleaseBoxMs, "");
    }
    if (CVRestrictOptionWnd* caption = AntiLeaveCaption()) caption->Update(1, 1);
  }

  model_.game.multiplierExponent = msg.baseMultExp;
  const int32_t mySeat = GetSeatOfUser(MyUserNo());
  // A winner without a seat books nothing for anyone.
  const int32_t winnerSeat = GetSeatOfUser(msg.winnerUser);
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    const auto i = static_cast<size_t>(seat);
    PlayerInfo& p = GetPlayer(seat);
    p.timeoutCount = 0;
    SendTimeoutCount(0);
    ComputeScoreMultiplier(seat, 0);
    const int32_t side = SideOfSeat(seat);
    const bool hasSide = rh::ValidSeat(side);
    if (hasSide && w.scorePanels[size_t(side)]) w.scorePanels[size_t(side)]->Update(Seat(seat));
    p.money = msg.money.at(i);
    p.totalMoney = msg.totalMoney.at(i);
    p.moneyBaseline = msg.moneyBaseline.at(i);
    if (winnerSeat >= 0 && seat == winnerSeat) {
      if (msg.bestScore > 0) p.bestScore = msg.bestScore;
      if (msg.bestMoney > 0) p.bestMoney = msg.bestMoney;
      p.wins = SaturatingSum32(p.wins, 1);
    } else if (winnerSeat >= 0) {
      p.losses = SaturatingSum32(p.losses, 1);
    }
    if (seat == mySeat) {
      model_.gamesPlayed = SaturatingSum32(p.wins, p.losses);
      CheckMoneyTotalCap();
      if (!HasRobotPlayer()) NoteBijouCounts(msg.bijouCount.at(i), msg.bijouEvent.at(i));
      promotionMgr_.OnGameResult(msg, p, seat);
      NotePlayTime(msg.playSeconds.at(i));
    }
    if (hasSide && w.seatPanels[size_t(side)]) w.seatPanels[size_t(side)]->SetUser(p);
  }
  if (model_.room.roomState == rh::kRobotItemRoom) CheckMoneyTotalCap();

  AppendMoneyRecord();
  if (msg.firstSeatUser != GetPlayer(0).userNo) {
    HideSeatMarkers(SideOfSeat(0));
    if (model_.room.seats.SwapSeatsIfSecond(msg.firstSeatUser)) {
      std::swap(model_.game.seats[0], model_.game.seats[1]);
      AssignScreenPositions();
      PlaceOwnerAndKickMarks();
      // A player keeps his own place at the bottom; an observer's screen follows the seats.
      if (!IsSeated(RCUser::kNoUser)) ExchangeSideAvatars();
    }
  }
  RefreshSeatPanels(kSeats);
  ShowSeatEvent(kNoSeatEvent, nullptr);
  HostLink().SetPlayState(rh::kPlayStateIdle);

  for (const SettlementEntry& e : msg.leaveList) {
    const int32_t seat = GetSeatOfUser(e.userNo);
    if (seat < 0 || e.reason != rh::kLeftByRequest) continue;
    const PlayerInfo& p = GetPlayer(seat);
    rh::ShowChat(HostLink(), FormatString(rh::kLeftLine, p.nickname.c_str(), p.userId.c_str()));
  }
  if (msg.resultCode == rh::kStoppedByError) {
    PlayEffect(rh::kStoppedEffect, 0);
    rh::ShowChat(HostLink(), rh::kStoppedLine);
  }
  MarkDirty();
}

void CDorvik2VWS::CheckMoneyTotalCap() {
  const int32_t mySeat = GetSeatOfUser(MyUserNo());
  if (!rh::ValidSeat(mySeat) || model_.moneyCapNotices.totalShown) return;
  const PlayerInfo& me = GetPlayer(mySeat);
  const rh::CapTier& tier = rh::CapTierOf(me);
  const int64_t total = me.money + me.safeMoney;
  if (total < tier.cap - rh::kCapBand || total >= tier.cap) return;
  rh::ShowChat(HostLink(), std::string(rh::kCapHeading) +
               FormatString(tier.text, FormatMoney(tier.cap, rh::kMoneyPrecision).c_str()));
  model_.moneyCapNotices.totalShown = 1;
}

void CDorvik2VWS::NoteBijouCounts(int32_t count, int32_t eventCount) {
  CGameModel::BijouCounts& last = model_.bijouCounts;
  const bool countRose = count > last.count;
  const bool countRoseToStep = countRose && count % rh::kBijouStep == 0;
  const bool eventRose = eventCount > last.eventCount;
  CVDorvik2BijouWnd* bijou = WidgetsLive() ? built_.widgets.bijouPanel : nullptr;
  if (bijou && count != last.count) bijou->ShowKind(count % rh::kBijouStep);
  if (countRoseToStep || eventRose) {
    PlayEffect(rh::kBijouEffect, 0);
    // Armed before the tickets are added: the panel refuses a countdown at its cap,
    // and the countdown is what brings the full picture once these tickets reach it.
    if (bijou) bijou->StartCountdown(countRoseToStep ? 1 : 0, eventRose ? 1 : 0);
  }
  // Counts come from the host: a rise from far below zero may not fit 32 bits.
  if (bijou && countRose) {
    bijou->AddCount(static_cast<int32_t>(std::min<int64_t>(int64_t{count} - last.count, INT32_MAX)));
  }
  last = {count, eventCount};
}

void CDorvik2VWS::NotePlayTime(int32_t seconds) {
  const int32_t hours = seconds / rh::kSecondsPerHour;
  const int32_t minutes = seconds / rh::kSecondsPerMinute;
  if (hours < rh::kPlayTimeStepHours || hours % rh::kPlayTimeStepHours != 0) return;
  if (minutes < hours * 60 || minutes > hours * 60 + rh::kPlayTimeWindowMinutes) return;
  // The first flag is the two-hour mark, so the twelfth is the whole day's.
  const int32_t step = hours / rh::kPlayTimeStepHours - 1;
  if (step >= kPlayTimeNotices || !model_.playTimeNotices.at(size_t(step))) return;
  model_.playTimeNotices.at(size_t(step)) = 0;
  rh::ShowChat(HostLink(), FormatString(rh::kPlayTimeText, hours));
}

// ---- Money notices ----------------------------------------------------------------------------

void CDorvik2VWS::OnSafeWithdraw(SafeWithdrawMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat < 0 || msg.kind != rh::kSafeWithdrawal) return;
  PlayerInfo& p = GetPlayer(seat);
  p.money = SaturatingSum(p.money, msg.amount);
  const int32_t side = SideOfSeat(seat);
  if (rh::ValidSeat(side) && built_.widgets.seatPanels[size_t(side)])
    built_.widgets.seatPanels[size_t(side)]->SetMoney(p.money, p.extraAmount);
  AppendMoneyRecord();
  rh::ShowChat(HostLink(), FormatString(rh::kSafeLine, p.nickname.c_str(), p.userId.c_str(),
                            FormatMoney(msg.amount, rh::kMoneyPrecision).c_str()));
  if (msg.userNo != MyUserNo()) {
    ShowMsgBox(FormatString(rh::kSafeBox, p.nickname.c_str(), p.userId.c_str()), 0, rh::kSafeBoxMs, rh::kSafeBoxTitle);
  } else {
    model_.myUser.safeMoney = msg.safeMoney;
    model_.myUser.money = p.money;
  }
  MarkDirty();
}

void CDorvik2VWS::OnMoneyCap(MoneyCapMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  // The kind indexes the notice flags and texts: 1..4 only.
  if (seat < 0 || msg.capKind < 1 || msg.capKind > CGameModel::kMoneyCapKinds) return;
  const PlayerInfo& p = GetPlayer(seat);
  const int32_t side = SideOfSeat(seat);
  if (rh::ValidSeat(side) && built_.widgets.seatPanels[size_t(side)]) built_.widgets.seatPanels[size_t(side)]->SetUser(p);
  if (msg.userNo != MyUserNo()) {
    rh::ShowChat(HostLink(), FormatString(rh::kCapOtherLine, p.nickname.c_str(), p.userId.c_str()));
    const std::string page = "http://" + options_.Domain() + "/" + rh::kCapPage;
    HostLink().SendStyledText(rh::kCapPageHeading, rh::kCapHeadingFirstFlag, CHostLink::kWeightNormal,
                                       rh::kCapHeadingColour, page.c_str());
  } else {
    int32_t& shown = model_.moneyCapNotices.byKind.at(size_t(msg.capKind - 1));
    if (!shown) {
      shown = 1;
      const std::string cap = FormatMoney(msg.capAmount, rh::kMoneyPrecision);
      const std::string deadline = FormatDateTime(rh::DateDigits(msg.deadline));
      ShowMsgBox(FormatString(rh::kCapKindTexts[msg.capKind - 1], cap.c_str(), deadline.c_str()), 0, rh::kCapBoxMs,
                 rh::kCapBoxTitle);
    }
  }
  AppendMoneyRecord();
  MarkDirty();
}

void CDorvik2VWS::OnAntiLeaveCounts(AntiLeaveCountsMsg& msg) {
  if (!model_.AntiLeaveHolds() || model_.sceneMode != kModePlaying || !rh::ValidSeat(msg.seat)) return;
  if (msg.count1 <= 0 && msg.count2 <= 0) return;
  CHTUser& seat = Seat(msg.seat);
  seat.gameCounters.at(0) = msg.count1;
  seat.gameCounters.at(1) = msg.count2;
  if (CVRestrictOptionWnd* caption = AntiLeaveCaption()) caption->Update(1, 1);
}

void CDorvik2VWS::OnAntiLeaveRefund(AntiLeaveRefundMsg& msg) {
  if (!model_.AntiLeaveHolds()) return;
  if (msg.userNo == MyUserNo() || !IsSeated(RCUser::kNoUser) || msg.money <= 0) return;
  ShowMsgBox(FormatString(rh::kRefundBox, FormatInt64(msg.money).c_str()), 0, rh::kRefundBoxMs, "");
}

void CDorvik2VWS::OnPlayCount(PlayCountMsg& msg) {
  if (msg.userNo != MyUserNo()) return;
  model_.playCount = {msg.gamesPlayed, msg.todayCount, msg.allowance};
  LayOutPlayCount(false);
}

void CDorvik2VWS::OnMoneyNotice(MoneyNoticeMsg& msg) {
  if (built_.widgets.moneyBellNotice) built_.widgets.moneyBellNotice->Stop();
  if (msg.kind == rh::kMoneyBell) {
    MoneyBellNotice(msg.entries);
  } else if (msg.kind >= rh::kRefillFirst && msg.kind <= rh::kRefillLast) {
    RefillNotice(msg.kind, msg.entries);
  }
}
