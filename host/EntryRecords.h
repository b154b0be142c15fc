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
    v(gi1);
    v(entryMinMoney);
    v(gi3);
    v(gi4);
    v(gi5);
    v(gi6);
    v(gi7);
    v(gi8);
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
    v(clientVersion);
    v(myUser);
    v(ownerUserNo);
    v(entryKind);
    v(confirmFlag);
    v(dailyPlayLimit);
    v(room);
    v(noticeText);
    v(stakePerPoint);
    v(entryUserNo);
    v(gameInfo);
    v(bijouCount);
    v(bijouKind);
    v(bijouFlag);
    v(f15);
    v(f16);
    v(f17);
    v(f18);
    v(f19);
    v(f20);
    v(f21);
    v(f22);
    v(f23);
    v(promoFlags);
    v(promoTicketLevel);
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
    v(userNo);
    v(sceneMode);
    v(handCount);
    v(player);
    v(handCards);
    v(kickList);
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
    v(userNo);
    v(table);
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
    v(userNo);
    v(result);
    v(ownerUserNo);
    v(seat);
    v(antiLeave);
    v(player);
    v(money);
    v(promoStart);
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
    v(userNo);
    v(levelValue1);
    v(levelValue2);
    v(level);
    v(f5);
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
    v(entries);
  }
  std::list<UserLevelEntry> entries;
};
