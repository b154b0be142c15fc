// A user as the server describes it (RCUser) and a user in a seat (PlayerInfo).
// Both travel inside several host messages and are kept by the scene; fields named
// fN carry no meaning for this client but are read, copied and kept in step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/ArcArrayT.h"

// Which of the eleven item-money values is which.
enum ItemMoneyIndex : int32_t {
  ITEM_MONEY_ROYAL = 0,
  ITEM_MONEY_GOLD = 1,
  ITEM_MONEY_CLUB = 2,
  ITEM_MONEY_MEMBER_A = 3,
  ITEM_MONEY_MEMBER_B = 4,
  ITEM_MONEY_ROBOT_ITEM = 5,
  ITEM_MONEY_COUNT = 11,
};

class RCUser {
 public:
  static constexpr int32_t kNoUser = -1;

  // The member initialisers are the reset values.
  RCUser() = default;
  RCUser(const RCUser&) = default;
  RCUser& operator=(const RCUser&) = default;
  virtual ~RCUser() = default;

  // Nobody: user number -1, level 1, fields 55 and 57 at -1, everything else 0/empty.
  virtual void Reset();

  bool operator==(const RCUser&) const = default;

  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(userId, "userId");
    v(nickname, "nickname");
    v(avatarKey, "avatarKey");
    v(gender, "gender");
    v(pcCafeCode, "pcCafeCode");
    v(f7, "f7");
    v(f8, "f8");
    v(rankingLevel, "rankingLevel");
    v(gradeIndex, "gradeIndex");
    v(wins, "wins");
    v(losses, "losses");
    v(disconnectCount, "disconnectCount");
    v(f14, "f14");
    v(f15, "f15");
    v(f16, "f16");
    v(levelValue1, "levelValue1");
    v(levelValue2, "levelValue2");
    v(level, "level");
    v(bestScore, "bestScore");
    v(bestMoney, "bestMoney");
    v(money, "money");
    v(extraAmount, "extraAmount");
    v(totalMoney, "totalMoney");
    v(moneyBaseline, "moneyBaseline");
    v(safeMoney, "safeMoney");
    v(itemMoney, "itemMoney");
    v(membershipEnd, "membershipEnd");
    v(safeAllowance, "safeAllowance");
    v(paymentAllowance, "paymentAllowance");
    v(f41, "f41");
    v(f42, "f42");
    v(f43, "f43");
    v(f44, "f44");
    v(f45, "f45");
    v(f46, "f46");
    v(f47, "f47");
    v(f48, "f48");
    v(f49, "f49");
    v(f50, "f50");
    v(paymentMoney, "paymentMoney");
    v(f52, "f52");
    v(promoTicketLevel, "promoTicketLevel");
    v(f54, "f54");
    v(f55, "f55");
    v(f56, "f56");
    v(f57, "f57");
    v(f58, "f58");
    v(f59, "f59");
    v(f60, "f60");
    v(f61, "f61");
    v(f62, "f62");
    v(f63, "f63");
    v(f64, "f64");
    v(f65, "f65");
    v(f66, "f66");
    v(f67, "f67");
    v(f68, "f68");
    v(f69, "f69");
    v(f70, "f70");
    v(f71, "f71");
    v(f72, "f72");
    v(f73, "f73");
    v(f74, "f74");
    v(f75, "f75");
    v(f76, "f76");
    v(f77, "f77");
    v(f78, "f78");
    v(f79, "f79");
    v(f80, "f80");
  }

  int32_t userNo = kNoUser;  // -1 nobody, below -1 a robot
  std::string userId;
  std::string nickname;
  std::string avatarKey;
  int32_t gender = 0;  // 0 male, 1 female, other: robot voice
  int32_t pcCafeCode = 0;
  std::string f7;
  std::string f8;
  int32_t rankingLevel = 0;  // 1-based
  int32_t gradeIndex = 0;
  int32_t wins = 0;
  int32_t losses = 0;
  int32_t disconnectCount = 0;
  int32_t f14 = 0;
  std::string f15;
  int32_t f16 = 0;
  int32_t levelValue1 = 0;
  int32_t levelValue2 = 0;
  int32_t level = 1;
  int32_t bestScore = 0;
  int64_t bestMoney = 0;
  int64_t money = 0;
  int64_t extraAmount = 0;
  int64_t totalMoney = 0;
  int64_t moneyBaseline = 0;
  int64_t safeMoney = 0;
  ArcArrayT<int64_t, ITEM_MONEY_COUNT> itemMoney;  // indexed by ItemMoneyIndex
  int64_t membershipEnd = 0;  // yyyymmddhhmmss as a number; <= 0 none
  int64_t safeAllowance = 0;
  int64_t paymentAllowance = 0;
  int32_t f41 = 0;
  int32_t f42 = 0;
  int32_t f43 = 0;
  std::string f44;
  int32_t f45 = 0;
  int32_t f46 = 0;
  int32_t f47 = 0;
  int32_t f48 = 0;
  int32_t f49 = 0;
  int32_t f50 = 0;
  int64_t paymentMoney = 0;
  int64_t f52 = 0;
  int32_t promoTicketLevel = 0;  // 0..4
  int32_t f54 = 0;
  int32_t f55 = -1;
  int64_t f56 = 0;
  int32_t f57 = -1;
  int64_t f58 = 0;
  int32_t f59 = 0;
  int32_t f60 = 0;
  int64_t f61 = 0;
  int32_t f62 = 0;
  int32_t f63 = 0;
  int32_t f64 = 0;
  int32_t f65 = 0;
  int32_t f66 = 0;
  int32_t f67 = 0;
  int64_t f68 = 0;
  int32_t f69 = 0;
  int32_t f70 = 0;
  int64_t f71 = 0;
  int64_t f72 = 0;
  int32_t f73 = 0;
  int64_t f74 = 0;
  int32_t f75 = 0;
  int32_t f76 = 0;
  int32_t f77 = 0;
  int32_t f78 = 0;
  int32_t f79 = 0;
  int32_t f80 = 0;
};

// A user in a seat: the user record followed by the seat's own fields.
class PlayerInfo : public RCUser {
 public:
  static constexpr int32_t kNoScreenPos = -1;

  PlayerInfo() = default;
  PlayerInfo(const PlayerInfo&) = default;
  PlayerInfo& operator=(const PlayerInfo&) = default;

  // The user reset, then the seat fields to 0. The screen position stays: it is
  // assigned again after every seat change, and only construction clears it.
  void Reset() override;

  // A robot number (below -1) becomes the connection state and the user number,
  // and the seat shows the given robot name; other numbers change nothing.
  void SetRobot(int32_t robotNo, std::string_view robotName);

  bool operator==(const PlayerInfo&) const = default;

  template <class V>
  void Fields(V& v) {
    RCUser::Fields(v);
    v(thresholdValue, "thresholdValue");
    v(f82, "f82");
    v(observeReserved, "observeReserved");
    v(exitReserved, "exitReserved");
    v(connState, "connState");
    v(voiceSet, "voiceSet");
    v(stakeVoteMark, "stakeVoteMark");
    v(moneyBellCount, "moneyBellCount");
    v(refillsLeft, "refillsLeft");
    v(timeoutCount, "timeoutCount");
    v(screenPos, "screenPos");
  }

  int64_t thresholdValue = 0;
  int64_t f82 = 0;
  int32_t observeReserved = 0;
  int32_t exitReserved = 0;
  int32_t connState = 0;  // 0 normal, 1 disconnected, below -1 the robot number
  int32_t voiceSet = 0;   // 0..3
  int32_t stakeVoteMark = 0;
  int32_t moneyBellCount = 0;
  int32_t refillsLeft = 0;
  int32_t timeoutCount = 0;
  int32_t screenPos = kNoScreenPos;  // 0 lower, 1 upper, -1 none
};
