// Records of the messages that carry money and results: the puck reward, mission
// results, the game result with its WinInfo, the settlement with its leave list,
// safe withdrawals, the money cap, the anti-leave refund and the money notices.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "host/ArcArrayT.h"

// Score categories of WinInfo::categoryPoints.
enum ScoreCategory : int32_t {
  SCORE_BRIGHTS = 0,
  SCORE_ANIMALS = 1,
  SCORE_RIBBONS = 2,
  SCORE_JUNK = 3,
  SCORE_GODORI = 4,
  SCORE_RED_RIBBONS = 5,
  SCORE_BLUE_RIBBONS = 6,
  SCORE_GRASS_RIBBONS = 7,
  SCORE_CATEGORY_COUNT = 8,
};

// The winner's score breakdown inside the game result.
struct WinInfo {
  void Reset() { *this = WinInfo{}; }
  bool operator==(const WinInfo&) const = default;
  template <class V>
  void Fields(V& v) {
    v(winnerSeat, "winnerSeat");
    v(totalPoints, "totalPoints");
    v(goPoints, "goPoints");
    v(categoryPoints, "categoryPoints");
    v(goExp, "goExp");
    v(shakeExp, "shakeExp");
    v(missionMult, "missionMult");
    v(meongttaExp, "meongttaExp");
  }
  int32_t winnerSeat = 0;  // outside 0..1: no panel
  int32_t totalPoints = 0;
  int32_t goPoints = 0;
  ArcArrayT<int32_t, SCORE_CATEGORY_COUNT> categoryPoints;
  int32_t goExp = 0;
  int32_t shakeExp = 0;
  int32_t missionMult = 0;
  int32_t meongttaExp = 0;
};

// {seat, gwang-bak, pi-bak}: one penalty row of the result panel.
struct PenaltyRow {
  bool operator==(const PenaltyRow&) const = default;
  template <class V>
  void Fields(V& v) {
    v(seat, "seat");
    v(gwangBak, "gwangBak");
    v(piBak, "piBak");
  }
  int32_t seat = 0;
  int32_t gwangBak = 0;
  int32_t piBak = 0;
};

// A user who left during the game, in the settlement's leave list.
struct SettlementEntry {
  bool operator==(const SettlementEntry&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(reason, "reason");
    v(f3, "f3");
    v(f4, "f4");
    v(f5, "f5");
    v(f6, "f6");
  }
  int32_t userNo = 0;
  int32_t reason = 0;  // 0: left by request
  int32_t f3 = 0;
  int64_t f4 = 0;
  int64_t f5 = 0;
  std::string f6;
};

// {user number, amount, count} of a money notice.
struct MoneyNoticeEntry {
  bool operator==(const MoneyNoticeEntry&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(amount, "amount");
    v(count, "count");
  }
  int32_t userNo = 0;
  int32_t amount = 0;
  int32_t count = 0;  // bell count (kind 1) or refills left (kinds 2-3)
};

// HM_PUCK
struct PuckMsg {
  bool operator==(const PuckMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(puckCount, "puckCount");
    v(rewarded, "rewarded");
    v(reward, "reward");
    v(money, "money");
    v(totalMoney, "totalMoney");
  }
  int32_t userNo = 0;
  int32_t puckCount = 0;
  int32_t rewarded = 0;
  int64_t reward = 0;
  ArcArrayT<int64_t, 2> money;
  ArcArrayT<int64_t, 2> totalMoney;
};

// HM_MISSION_RESULT
struct MissionResultMsg {
  bool operator==(const MissionResultMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(success, "success");
    v(money, "money");
    v(totalMoney, "totalMoney");
    v(reward, "reward");
  }
  int32_t userNo = 0;  // -1: nobody succeeded
  ArcArrayT<int32_t, 2> success;
  ArcArrayT<int64_t, 2> money;
  ArcArrayT<int64_t, 2> totalMoney;
  int64_t reward = 0;
};

// HM_GAME_RESULT
struct GameResultMsg {
  bool operator==(const GameResultMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(endType, "endType");
    v(drawCount, "drawCount");
    v(winnerUser, "winnerUser");
    v(f4, "f4");
    v(threshold1, "threshold1");
    v(money, "money");
    v(totalMoney, "totalMoney");
    v(moneyChange, "moneyChange");
    v(stakeVoteMark, "stakeVoteMark");
    v(winInfo, "winInfo");
    v(penalties, "penalties");
    v(rankingPoints, "rankingPoints");
    v(bestKind, "bestKind");
    v(threshold2, "threshold2");
    v(robotItemFlag, "robotItemFlag");
    v(itemOfferAmount, "itemOfferAmount");
    v(f17, "f17");
    v(f18, "f18");
    v(f19, "f19");
    v(nextDeckCards, "nextDeckCards");
    v(hands, "hands");
    v(winMoneyLimit, "winMoneyLimit");
    v(eventFundRate, "eventFundRate");
  }
  int32_t endType = 0;  // 0 normal, 1 four of a month, 2 third puck, 3 forfeit, 4 draw
  int32_t drawCount = 0;
  int32_t winnerUser = 0;
  int32_t f4 = 0;
  int64_t threshold1 = 0;
  ArcArrayT<int64_t, 2> money;
  ArcArrayT<int64_t, 2> totalMoney;
  ArcArrayT<int64_t, 2> moneyChange;
  ArcArrayT<int32_t, 2> stakeVoteMark;
  WinInfo winInfo;
  std::list<PenaltyRow> penalties;
  ArcArrayT<int32_t, 2> rankingPoints;
  ArcArrayT<int32_t, 2> bestKind;
  int64_t threshold2 = 0;
  ArcArrayT<int32_t, 2> robotItemFlag;
  ArcArrayT<int64_t, 2> itemOfferAmount;
  ArcArrayT<int64_t, 2> f17;
  ArcArrayT<int32_t, 2> f18;
  ArcArrayT<int32_t, 2> f19;
  std::list<int32_t> nextDeckCards;
  ArcArrayT<std::list<int32_t>, 2> hands;  // two counted lists, no outer count
  int32_t winMoneyLimit = 0;
  int32_t eventFundRate = 0;  // tenths of a percent
};

// HM_SAFE_WITHDRAW
struct SafeWithdrawMsg {
  bool operator==(const SafeWithdrawMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(kind, "kind");
    v(safeMoney, "safeMoney");
    v(amount, "amount");
    v(f5, "f5");
  }
  int32_t userNo = 0;
  int32_t kind = 0;  // only 5 acts
  int64_t safeMoney = 0;
  int64_t amount = 0;
  int32_t f5 = 0;
};

// HM_SETTLEMENT
struct SettlementMsg {
  bool operator==(const SettlementMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(resultCode, "resultCode");
    v(winnerUser, "winnerUser");
    v(baseMultExp, "baseMultExp");
    v(money, "money");
    v(moneyBaseline, "moneyBaseline");
    v(totalMoney, "totalMoney");
    v(antiLeave, "antiLeave");
    v(firstSeatUser, "firstSeatUser");
    v(endedNormally, "endedNormally");
    v(bestScore, "bestScore");
    v(bestMoney, "bestMoney");
    v(leaveList, "leaveList");
    v(ticketLevel, "ticketLevel");
    v(bijouCount, "bijouCount");
    v(bijouEvent, "bijouEvent");
    v(playSeconds, "playSeconds");
    v(promoFlags, "promoFlags");
    v(f20, "f20");
    v(f21, "f21");
    v(f22, "f22");
    v(f23, "f23");
    v(f24, "f24");
    v(f25, "f25");
    v(f26, "f26");
    v(f27, "f27");
    v(f28, "f28");
    v(f29, "f29");
    v(f30, "f30");
    v(f31, "f31");
    v(f32, "f32");
    v(f33, "f33");
  }
  int32_t resultCode = 0;  // 0: stopped by an error
  int32_t winnerUser = 0;
  int32_t baseMultExp = 0;
  ArcArrayT<int64_t, 2> money;
  ArcArrayT<int64_t, 2> moneyBaseline;
  ArcArrayT<int64_t, 2> totalMoney;
  int32_t antiLeave = 0;
  int32_t firstSeatUser = 0;
  int32_t endedNormally = 0;
  int32_t bestScore = 0;
  int64_t bestMoney = 0;
  std::list<SettlementEntry> leaveList;
  ArcArrayT<int32_t, 2> ticketLevel;
  ArcArrayT<int32_t, 2> bijouCount;
  ArcArrayT<int32_t, 2> bijouEvent;
  ArcArrayT<int32_t, 2> playSeconds;
  ArcArrayT<int32_t, 3> promoFlags;
  int32_t f20 = 0;
  int32_t f21 = 0;
  int32_t f22 = 0;
  int32_t f23 = 0;
  ArcArrayT<int32_t, 2> f24;
  int32_t f25 = 0;
  ArcArrayT<int32_t, 2> f26;
  int32_t f27 = 0;
  int32_t f28 = 0;
  int32_t f29 = 0;
  int32_t f30 = 0;
  int32_t f31 = 0;
  int32_t f32 = 0;
  ArcArrayT<int32_t, 2> f33;
};

// HM_MONEY_CAP
struct MoneyCapMsg {
  bool operator==(const MoneyCapMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(capKind, "capKind");
    v(capAmount, "capAmount");
    v(f4, "f4");
    v(deadline, "deadline");
    v(f6, "f6");
    v(f7, "f7");
    v(userText, "userText");
  }
  int32_t userNo = 0;
  int32_t capKind = 0;  // 1..4
  int64_t capAmount = 0;
  int64_t f4 = 0;
  int64_t deadline = 0;  // yyyymmddhhmmss as a number
  int64_t f6 = 0;
  int64_t f7 = 0;
  std::string userText;
};

// HM_ANTILEAVE_REFUND
struct AntiLeaveRefundMsg {
  bool operator==(const AntiLeaveRefundMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(money, "money");
  }
  int32_t userNo = 0;
  int64_t money = 0;
};

// HM_MONEY_NOTICE
struct MoneyNoticeMsg {
  bool operator==(const MoneyNoticeMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(kind, "kind");
    v(entries, "entries");
  }
  int32_t kind = 0;  // 1 money bell, 2..3 refill
  std::list<MoneyNoticeEntry> entries;
};
