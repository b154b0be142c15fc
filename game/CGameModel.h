// The game model: everything the table knows about the room, the seats and the game
// in play, apart from how it is shown. The scene and its parts read and change it;
// it knows no widget, so tests arrange a table state here directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/CGameInfo.h"
#include "game/COpenInfo.h"
#include "host/RCRoomData.h"
#include "host/RCUser.h"

struct CGameModel {
  enum SceneMode : int32_t { kModeNone = -1, kModeWaiting = 1, kModePlaying = 2, kModeResult = 3 };
  static constexpr int32_t kPlayTimeNotices = 12;

  CGameInfo game;   // the cards and counters of the game in play
  COpenInfo floor;  // the floor's slots and cards
  RCUser myUser;
  RCRoomData room;
  int32_t sceneMode = kModeNone;
  int32_t gamesPlayed = 0;
  int32_t clientVersion = -1;
  std::vector<std::string> gradeTitles;
  int32_t turnUserNo = RCUser::kNoUser;
  int32_t tableOwnerUserNo = RCUser::kNoUser;  // the kick-permitted user
  int32_t autoPlay = 0;
  int32_t myVoiceSet = 0;
  int32_t handPick = 0;      // keyboard picks of hand cards allowed (hand enabled)
  int32_t cannedPhrase = 1;  // a number key may send a phrase (chat macro, one-shot)
  int32_t antiLeave = 0;
  int32_t thirdGameFlag = 0;
  int32_t selectedFloorCard = -1;
  int32_t pendingEvent = -1;
  int32_t seatValue = -1;
  int32_t bombFlag = 0;
  std::array<int32_t, 4> exitFields{};
  int32_t pendingLeaveValue = 0;
  int32_t observeState = 0;
  std::array<int32_t, kPlayTimeNotices> playTimeNotices{};
  std::string statusText;  // the host's status line, kept until the table can show it
  // The seat menu's user (-1: closed); kicks offered also in mode 2 (nothing sets it).
  int32_t seatMenuUser = RCUser::kNoUser;
  int32_t kickAllowed = 0;
  // The two floor cards the pick-floor prompt offers (-1: none).
  std::array<int32_t, 2> offeredFloorCards{-1, -1};
};
