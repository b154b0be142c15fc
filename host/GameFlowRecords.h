// Records of the messages that drive one game at the table: the stake vote, the
// first-player selection, the deal, turns, plays, shakes, captures, the September
// question, scores, go or stop, the mission and the turn countdown.
#pragma once

#include <cstdint>
#include <list>

#include "host/ArcArrayT.h"
#include "host/HostRecordParts.h"

// HM_STAKE_VOTE
struct StakeVoteMsg {
  bool operator==(const StakeVoteMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(baseMultExp, "baseMultExp");
    v(proposedStake, "proposedStake");
    v(voteMarks, "voteMarks");
  }
  int32_t baseMultExp = 0;
  int32_t proposedStake = 0;
  ArcArrayT<int32_t, 2> voteMarks;
};

// HM_STAKE_VOTE_RESULT
struct StakeVoteResultMsg {
  bool operator==(const StakeVoteResultMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(stakePerPoint, "stakePerPoint");
    v(results, "results");
  }
  int32_t stakePerPoint = 0;
  ArcArrayT<int32_t, 2> results;  // > 0 accepted
};

// HM_BACK_TO_WAITING
struct WaitingStateMsg {
  bool operator==(const WaitingStateMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(startBlocked, "startBlocked");
    v(showVote, "showVote");
    v(stakePerPoint, "stakePerPoint");
    v(voteResults, "voteResults");
    v(antiLeave, "antiLeave");
  }
  int32_t userNo = 0;
  int32_t startBlocked = 0;
  int32_t showVote = 0;
  int32_t stakePerPoint = 0;
  ArcArrayT<int32_t, 2> voteResults;
  int32_t antiLeave = 0;
};

// HM_SUN_SELECT
struct SunSelectMsg {
  bool operator==(const SunSelectMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(pickCount, "pickCount");
  }
  int32_t pickCount = 0;
};

// HM_SUN_PICK
struct SunPickMsg {
  bool operator==(const SunPickMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(pickSlot, "pickSlot");
    v(cardId, "cardId");
  }
  int32_t userNo = 0;
  int32_t pickSlot = 0;  // 0..11
  int32_t cardId = 0;
};

// HM_SUN_DECIDED
struct SunDecidedMsg {
  bool operator==(const SunDecidedMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
  }
  int32_t userNo = 0;
};

// HM_DEAL
struct DealMsg {
  bool operator==(const DealMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(handCards, "handCards");
    v(floorCards, "floorCards");
  }
  int32_t userNo = 0;
  std::list<int32_t> handCards;
  std::list<int32_t> floorCards;
};

// HM_FOUR_OF_MONTH
struct FourOfMonthMsg {
  bool operator==(const FourOfMonthMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(kind, "kind");
    v(months, "months");
  }
  int32_t userNo = 0;
  int32_t kind = 0;
  std::list<int32_t> months;
};

// HM_FLOOR_EXCHANGE
struct FloorExchangeMsg {
  bool operator==(const FloorExchangeMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
    v(takenCards, "takenCards");
    v(laidCards, "laidCards");
  }
  int32_t f1 = 0;
  std::list<int32_t> takenCards;
  std::list<int32_t> laidCards;
};

// HM_TURN
struct TurnMsg {
  bool operator==(const TurnMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(turnValue, "turnValue");
  }
  int32_t userNo = 0;
  int32_t turnValue = 0;
};

// HM_TURN_WITH_CARDS. cards follows the older layout's last field; an older sender
// moves nothing.
struct TurnCardsMsg {
  bool operator==(const TurnCardsMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(seatValue, "seatValue");
    v(nineTenFlag, "nineTenFlag");
    v(f4, "f4");
    v(f5, "f5");
    v(cards, "cards");
  }
  int32_t userNo = 0;
  int32_t seatValue = 0;
  int32_t nineTenFlag = 0;
  ArcArrayT<int32_t, 2> f4;
  int32_t f5 = 0;
  std::list<int32_t> cards;
};

// HM_BOMB
struct BombMsg {
  bool operator==(const BombMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(cards, "cards");
  }
  int32_t userNo = 0;
  std::list<int32_t> cards;  // three: a bomb; one: an ordinary play
};

// HM_ASK_PICK_FLOOR_CARD
struct PickFloorCardMsg {
  bool operator==(const PickFloorCardMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(f2, "f2");
    v(offeredCards, "offeredCards");
  }
  int32_t userNo = 0;
  int32_t f2 = 0;
  std::list<int32_t> offeredCards;
};

// HM_ASK_SHAKE
struct AskShakeMsg {
  bool operator==(const AskShakeMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
  }
  int32_t userNo = 0;
};

// HM_SHAKE
struct ShakeMsg {
  bool operator==(const ShakeMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(shakeCount, "shakeCount");
    v(cards, "cards");
  }
  int32_t userNo = 0;
  int32_t shakeCount = 0;
  std::list<int32_t> cards;
};

// HM_CARD_EVENT
struct CardEventMsg {
  bool operator==(const CardEventMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(kind, "kind");
    v(cards, "cards");
    v(pairs, "pairs");
  }
  int32_t userNo = 0;
  int32_t kind = 0;  // 1..5
  std::list<int32_t> cards;
  std::list<IntPair> pairs;
};

// HM_LAY_CARDS
struct LayCardsMsg {
  bool operator==(const LayCardsMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(bonusFlag, "bonusFlag");
    v(cards, "cards");
    v(seatValue, "seatValue");
  }
  int32_t userNo = 0;
  int32_t bonusFlag = 0;
  std::list<int32_t> cards;
  int32_t seatValue = 0;
};

// HM_CAPTURE
struct CaptureMsg {
  bool operator==(const CaptureMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(kind, "kind");
    v(floorCards, "floorCards");
    v(stolen, "stolen");
  }
  int32_t userNo = 0;
  int32_t kind = 0;  // 6: sweep
  std::list<int32_t> floorCards;
  std::list<StolenCard> stolen;
};

// HM_MISSION_INFO
struct MissionInfoMsg {
  bool operator==(const MissionInfoMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(missionId, "missionId");
    v(missionMult, "missionMult");
  }
  int32_t missionId = 0;  // 0..38
  int32_t missionMult = 0;
};

// HM_ASK_9TEN_MOVE
struct Ask9TenMsg {
  bool operator==(const Ask9TenMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(flag, "flag");
    v(septemberValue, "septemberValue");
  }
  int32_t userNo = 0;
  int32_t flag = 0;
  int32_t septemberValue = 0;
};

// HM_9TEN_MOVED
struct NineTenMovedMsg {
  bool operator==(const NineTenMovedMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(cardId, "cardId");
  }
  int32_t userNo = 0;
  int32_t cardId = 0;
};

// HM_9TEN_KEPT
struct NineTenKeptMsg {
  bool operator==(const NineTenKeptMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
  }
  int32_t userNo = 0;
};

// HM_SCORE_UPDATE
struct ScoreUpdateMsg {
  bool operator==(const ScoreUpdateMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(points, "points");
    v(nineTenFlag, "nineTenFlag");
  }
  ArcArrayT<int32_t, 2> points;
  int32_t nineTenFlag = 0;
};

// HM_ASK_GO_OR_STOP
struct AskGoOrStopMsg {
  bool operator==(const AskGoOrStopMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(points, "points");
    v(nineTenFlag, "nineTenFlag");
  }
  int32_t userNo = 0;
  int32_t points = 0;
  int32_t nineTenFlag = 0;
};

// HM_STOP_DECLARED
struct StopMsg {
  bool operator==(const StopMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(goCount, "goCount");
    v(goFlag, "goFlag");
    v(nineTenFlag, "nineTenFlag");
    v(f5, "f5");
  }
  int32_t userNo = 0;
  int32_t goCount = 0;
  int32_t goFlag = 0;  // 0: stop
  int32_t nineTenFlag = 0;
  int32_t f5 = 0;
};

// HM_EVENT_ANIMATION
struct EventAnimationMsg {
  bool operator==(const EventAnimationMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
    v(f2, "f2");
    v(f3, "f3");
    v(f4, "f4");
    v(f5, "f5");
  }
  int32_t f1 = 0;
  int32_t f2 = 0;
  int32_t f3 = 0;
  int32_t f4 = 0;
  ArcArrayT<int32_t, 3> f5;
};

// HM_STOP_COUNTDOWN
struct StopCountdownMsg {
  bool operator==(const StopCountdownMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
    v(f2, "f2");
    v(f3, "f3");
  }
  int32_t f1 = 0;
  int32_t f2 = 0;
  int32_t f3 = 0;
};
