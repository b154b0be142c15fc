// A game in progress, as a client that joins a running table receives it: each
// seat's captured piles and counters (PlayerData) and the table's cards, turn
// and mission (GameDataTable).
#pragma once

#include <cstdint>
#include <list>

#include "host/ArcArrayT.h"
#include "host/HostRecordParts.h"

// Captured piles by kind.
enum PileKind : int32_t {
  PILE_GWANG = 0,
  PILE_YEOL = 1,
  PILE_TTI = 2,
  PILE_PI = 3,
  PILE_KIND_COUNT = 4,
};

struct PlayerData {
  bool operator==(const PlayerData&) const = default;

  template <class V>
  void Fields(V& v) {
    v(piles, "piles");
    v(goCount, "goCount");
    v(points, "points");
    v(puckCount, "puckCount");
    v(shakeBombCount, "shakeBombCount");
    v(antiLeaveCount1, "antiLeaveCount1");
    v(antiLeaveCount2, "antiLeaveCount2");
    v(missionSuccess, "missionSuccess");
    v(handCount, "handCount");
  }

  ArcArrayT<std::list<int32_t>, PILE_KIND_COUNT> piles;  // card ids, indexed by PileKind
  int32_t goCount = 0;
  int32_t points = 0;
  int32_t puckCount = 0;
  int32_t shakeBombCount = 0;
  int32_t antiLeaveCount1 = 0;
  int32_t antiLeaveCount2 = 0;
  int32_t missionSuccess = 0;
  int32_t handCount = 0;  // face-down cards in the seat's hand
};

struct GameDataTable {
  void Reset() { *this = GameDataTable{}; }
  bool operator==(const GameDataTable&) const = default;

  template <class V>
  void Fields(V& v) {
    v(players, "players");
    v(floorCards, "floorCards");
    v(bonusPairs, "bonusPairs");
    v(lastFloorCard, "lastFloorCard");
    v(turnUser, "turnUser");
    v(turnCount, "turnCount");
    v(missionId, "missionId");
    v(missionMult, "missionMult");
    v(f9, "f9");
    v(antiLeaveFlag, "antiLeaveFlag");
    v(nineTenFlag, "nineTenFlag");
    v(baseMultiplier, "baseMultiplier");
    v(f13, "f13");
  }

  ArcArrayT<PlayerData, 2> players;  // by seat
  std::list<int32_t> floorCards;
  std::list<BonusPair> bonusPairs;
  int32_t lastFloorCard = 0;
  int32_t turnUser = 0;
  int32_t turnCount = 0;  // the mission shows only past 2
  int32_t missionId = 0;  // 0..38
  int32_t missionMult = 0;
  ArcArrayT<int32_t, 2> f9;
  int32_t antiLeaveFlag = 0;
  int32_t nineTenFlag = 0;
  int32_t baseMultiplier = 0;
  int32_t f13 = 0;
};
