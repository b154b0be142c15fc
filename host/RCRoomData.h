// The room as the server describes it: its options (Option), its two seats and
// its texts and state codes (RCRoomData). Kept by the scene, replaced on entry.
#pragma once

#include <cstdint>
#include <string>

#include "host/PITable.h"

class Option {
 public:
  static constexpr int32_t kDefaultMoneyPerPoint = 1000;

  void Reset() { *this = Option{}; }
  bool operator==(const Option&) const = default;

  template <class V>
  void Fields(V& v) {
    v(moneyPerPoint, "moneyPerPoint");
    v(gwangBakOn, "gwangBakOn");
    v(switch3, "switch3");
    v(switch4, "switch4");
    v(switch5, "switch5");
    v(switch6, "switch6");
    v(switch7, "switch7");
    v(switch8, "switch8");
    v(switch9, "switch9");
    v(f10, "f10");
  }

  int32_t moneyPerPoint = kDefaultMoneyPerPoint;
  int32_t gwangBakOn = 1;
  int32_t switch3 = 1;
  int32_t switch4 = 1;
  int32_t switch5 = 1;
  int32_t switch6 = 1;
  int32_t switch7 = 1;
  int32_t switch8 = 1;
  int32_t switch9 = 1;
  int32_t f10 = 0;
};

class RCRoomData {
 public:
  static constexpr int32_t kNoRoom = -1;

  // No room: number -1, texts empty, seats and options reset, the base money per
  // point taken from the reset options. Field 16 is left as it is.
  void Reset();

  bool operator==(const RCRoomData&) const = default;

  template <class V>
  void Fields(V& v) {
    v(roomNo, "roomNo");
    v(sceneMode, "sceneMode");
    v(password, "password");
    v(f4, "f4");
    v(sceneText, "sceneText");
    v(optionString, "optionString");
    v(playerCount, "playerCount");
    v(roomState, "roomState");
    v(seats, "seats");
    v(option, "option");
    v(baseMoneyPerPoint, "baseMoneyPerPoint");
    v(antiLeaveLevel, "antiLeaveLevel");
    v(speedKind, "speedKind");
    v(antiLeaveGameCount, "antiLeaveGameCount");
    v(f15, "f15");
    v(f16, "f16");
    v(f17, "f17");
    v(f18, "f18");
    v(f19, "f19");
    v(f20, "f20");
  }

  int32_t roomNo = kNoRoom;
  int32_t sceneMode = 0;  // -1 none, 1 waiting, 2 playing, 3 result
  std::string password;   // empty: none
  std::string f4;
  std::string sceneText;
  std::string optionString;  // "KEY=v" pieces split at '|'
  int32_t playerCount = 0;
  int32_t roomState = 0;
  PITable seats;
  Option option;
  int32_t baseMoneyPerPoint = Option::kDefaultMoneyPerPoint;
  int32_t antiLeaveLevel = 0;  // 1..3 when the rule is on
  int32_t speedKind = 0;       // 0..2, 2 fast
  int32_t antiLeaveGameCount = 0;
  int32_t f15 = 0;
  int32_t f16 = 0;
  int32_t f17 = 0;
  int32_t f18 = 0;
  int32_t f19 = 0;
  std::string f20;
};
