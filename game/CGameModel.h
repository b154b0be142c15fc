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
#include "host/EntryRecords.h"
#include "host/RCRoomData.h"
#include "host/RCUser.h"

struct CGameModel {
  enum SceneMode : int32_t { kModeNone = -1, kModeWaiting = 1, kModePlaying = 2, kModeResult = 3 };
  static constexpr int32_t kPlayTimeNotices = 12;

  CGameInfo game;   // the cards and counters of the game in play
  COpenInfo floor;  // the floor's slots and cards
  RCUser myUser;
  RCRoomData room;
  GameInfoBlock gameInfo;  // the room entry's game settings (the minimum entry money)
  // A kick may be asked also in scene mode 2. No message or setting carries it, so it
  // stays clear: during a game the seat menu's kick is disabled, and a kick the host
  // asks for is refused with its box once the cost is agreed.
  int32_t kickAllowed = 0;
  int32_t sceneMode = kModeNone;
  int32_t gamesPlayed = 0;
  int32_t clientVersion = -1;
  std::vector<std::string> gradeTitles;
  int32_t turnUserNo = RCUser::kNoUser;
  int32_t tableOwnerUserNo = RCUser::kNoUser;  // the kick-permitted user
  int32_t autoPlay = 0;
  int32_t autoStart = 0;  // start the next game at once when the table is back to waiting
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

  // ---- Room entry, seats and exits ----
  int32_t firstSeatUserNo = RCUser::kNoUser;  // seat 0's user, who may start the game
  std::string hostText;                       // the host's text of event 62, sent to the server
  int32_t closingCounter = 0;                 // told to the host on closing when above 0
  int32_t antiLeaveNotice = 0;
  int32_t nineTenFlag = 0;
  // ---- the result, the settlement and the money notices ----
  static constexpr int32_t kMoneyCapKinds = 4;
  int32_t firstPlayerUserNo = RCUser::kNoUser;    // whom the first-player pick decided
  int32_t stakeFactor = 1;                        // the money per point's second factor
  int32_t itemOfferMade = 0;                      // since this client entered the room
  // The money-cap notices shown since the last per-game reset: per cap kind 1..4, and
  // the money-total notice of the settlement.
  struct MoneyCapNotices {
    std::array<int32_t, kMoneyCapKinds> byKind{};
    int32_t totalShown = 0;
  } moneyCapNotices;
  // Room state 8..10 with the anti-leave rule on (level 1..3) and its flag set: the
  // player may not leave, and the result offers nothing that would let him.
  bool AntiLeaveRoom() const {
    return room.roomState >= 8 && room.roomState <= 10 && room.antiLeaveLevel >= 1 && room.antiLeaveLevel <= 3;
  }
  bool AntiLeaveHolds() const { return AntiLeaveRoom() && antiLeave != 0; }
  // My reward counts as the last settlement left them.
  struct BijouCounts {
    int32_t count = 0;
    int32_t eventCount = 0;
  } bijouCounts;
  struct PlayCount {
    int32_t gamesPlayed = 0;
    int32_t todayCount = 0;
    int64_t allowance = 0;
  } playCount;
  // Pause 700 ms more after a shake. No option, message or host call turns it on, so a
  // shake waits its 500 ms alone.
  int32_t extraWait = 0;
  // The seat menu's user (-1: closed).
  int32_t seatMenuUser = RCUser::kNoUser;
  // The two floor cards the pick-floor prompt offers (-1: none).
  std::array<int32_t, 2> offeredFloorCards{-1, -1};
};
