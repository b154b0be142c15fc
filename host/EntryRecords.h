// Records of the messages that bring users and seats to this client: room entry,
// a seat's full record, a running game's state, a join, and user levels.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "host/ArcArrayT.h"
#include "host/GameDataTable.h"
#include "host/RCRoomData.h"
#include "host/RCUser.h"

// The room entry carries the client version the server expects; the scene refuses
// an entry for any other.
inline constexpr int32_t kClientVersion = 20110927;

// Game settings of the room entry, kept by the scene as a whole.
struct GameInfoBlock {
  bool operator==(const GameInfoBlock&) const = default;
  template <class V>
  void Fields(V& v) {
    v(gi1, "gi1");
    v(entryMinMoney, "entryMinMoney");
    v(gi3, "gi3");
    v(gi4, "gi4");
    v(gi5, "gi5");
    v(gi6, "gi6");
    v(gi7, "gi7");
    v(gi8, "gi8");
  }
  int32_t gi1 = 0;
  int64_t entryMinMoney = 0;  // the room's minimum entry money
  int32_t gi3 = 0;
  ArcArrayT<int64_t, 2> gi4;
  int32_t gi5 = 0;
  int32_t gi6 = 0;
  int32_t gi7 = 0;
  int32_t gi8 = 0;
};

// HM_ROOM_ENTER
struct RoomEnterMsg {
  bool operator==(const RoomEnterMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(clientVersion, "clientVersion");
    v(myUser, "myUser");
    v(ownerUserNo, "ownerUserNo");
    v(entryKind, "entryKind");
    v(confirmFlag, "confirmFlag");
    v(dailyPlayLimit, "dailyPlayLimit");
    v(room, "room");
    v(noticeText, "noticeText");
    v(stakePerPoint, "stakePerPoint");
    v(entryUserNo, "entryUserNo");
    v(gameInfo, "gameInfo");
    v(bijouCount, "bijouCount");
    v(bijouKind, "bijouKind");
    v(bijouFlag, "bijouFlag");
    v(f15, "f15");
    v(f16, "f16");
    v(f17, "f17");
    v(f18, "f18");
    v(f19, "f19");
    v(f20, "f20");
    v(f21, "f21");
    v(f22, "f22");
    v(f23, "f23");
    v(promoFlags, "promoFlags");
    v(promoTicketLevel, "promoTicketLevel");
  }
  int32_t clientVersion = 0;  // judged by the scene after the whole load
  RCUser myUser;
  int32_t ownerUserNo = 0;  // the user allowed to request a kick
  int32_t entryKind = 0;    // 0 observer, 1 seated, 2 rejoin
  int32_t confirmFlag = 0;
  int32_t dailyPlayLimit = 0;
  RCRoomData room;
  std::string noticeText;
  int32_t stakePerPoint = 0;
  int32_t entryUserNo = 0;
  GameInfoBlock gameInfo;
  int32_t bijouCount = 0;
  int32_t bijouKind = 0;  // used modulo 5
  int32_t bijouFlag = 0;
  int32_t f15 = 0;
  int32_t f16 = 0;
  int32_t f17 = 0;
  int32_t f18 = 0;
  int32_t f19 = 0;
  int32_t f20 = 0;
  int32_t f21 = 0;
  int32_t f22 = 0;
  int32_t f23 = 0;
  ArcArrayT<int32_t, 3> promoFlags;  // the event runs only when all three are set
  int32_t promoTicketLevel = 0;
};

// HM_PLAYER_INFO
struct PlayerInfoMsg {
  bool operator==(const PlayerInfoMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(sceneMode, "sceneMode");
    v(handCount, "handCount");
    v(player, "player");
    v(handCards, "handCards");
    v(kickList, "kickList");
  }
  int32_t userNo = 0;
  int32_t sceneMode = 0;  // 2: rejoin check
  int32_t handCount = 0;
  PlayerInfo player;
  std::list<int32_t> handCards;
  std::list<int32_t> kickList;
};

// HM_GAME_SNAPSHOT
struct GameDataTableMsg {
  bool operator==(const GameDataTableMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(table, "table");
  }
  int32_t userNo = 0;
  GameDataTable table;
};

// HM_JOIN_GAME. money and promoStart follow the older layout's last field; an
// older sender leaves them at 0.
struct JoinGameMsg {
  bool operator==(const JoinGameMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(result, "result");
    v(ownerUserNo, "ownerUserNo");
    v(seat, "seat");
    v(antiLeave, "antiLeave");
    v(player, "player");
    v(money, "money");
    v(promoStart, "promoStart");
  }
  int32_t userNo = 0;
  int32_t result = 0;  // 0 joined, 1 too little money, 2 no seat, 3 too much money, 4 id check
  int32_t ownerUserNo = 0;
  int32_t seat = 0;
  int32_t antiLeave = 0;
  PlayerInfo player;
  int64_t money = 0;
  int32_t promoStart = 0;
};

struct UserLevelEntry {
  bool operator==(const UserLevelEntry&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(levelValue1, "levelValue1");
    v(levelValue2, "levelValue2");
    v(level, "level");
    v(f5, "f5");
  }
  int32_t userNo = 0;
  int32_t levelValue1 = 0;
  int32_t levelValue2 = 0;
  int32_t level = 0;
  int32_t f5 = 0;
};

// HM_USER_LEVEL
struct UserLevelMsg {
  bool operator==(const UserLevelMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(entries, "entries");
  }
  std::list<UserLevelEntry> entries;
};
