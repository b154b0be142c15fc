// Records of the messages about users and seats outside the card play, about the
// room, and the remaining small messages (three of which the scene never handles).
#pragma once

#include <cstdint>
#include <string>

#include "host/ArcArrayT.h"

// HM_USER_DISCONNECTED
struct UserConnStateMsg {
  bool operator==(const UserConnStateMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(connState, "connState");
  }
  int32_t userNo = 0;
  int32_t connState = 0;  // 2 or 3: disconnected
};

// HM_LEAVE_GAME. nickname follows the older layout's last field; an older sender
// leaves it empty.
struct LeaveGameMsg {
  bool operator==(const LeaveGameMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(reason, "reason");
    v(f3, "f3");
    v(reasonText, "reasonText");
    v(nickname, "nickname");
  }
  int32_t userNo = 0;
  int32_t reason = 0;
  int32_t f3 = 0;
  std::string reasonText;
  std::string nickname;
};

// HM_ROOM_STATE
struct RoomStateMsg {
  bool operator==(const RoomStateMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
    v(reason, "reason");
    v(roomState, "roomState");
    v(reasonText, "reasonText");
  }
  int32_t f1 = 0;
  int32_t reason = 0;
  int32_t roomState = 0;  // 60: robot-item room
  std::string reasonText;
};

// HM_KICK_RESERVED
struct KickReserveMsg {
  bool operator==(const KickReserveMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(kind, "kind");
    v(requesterUserNo, "requesterUserNo");
    v(targetUserNo, "targetUserNo");
    v(requesterMoney, "requesterMoney");
    v(targetNickname, "targetNickname");
  }
  int32_t kind = 0;  // 1 reserved, 2 cancelled
  int32_t requesterUserNo = 0;
  int32_t targetUserNo = 0;
  int64_t requesterMoney = 0;
  std::string targetNickname;
};

// HM_SEAT_STATE
struct SeatStateMsg {
  bool operator==(const SeatStateMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(kind, "kind");
    v(userNo, "userNo");
    v(text, "text");
  }
  int32_t kind = 0;  // 0 observe reserved, 1 cancelled, 2 exit reserved, 3 cancelled
  int32_t userNo = 0;
  std::string text;
};

// HM_ENTRY_LIMIT_REMOVED. showFlag follows the older layout's last field; it
// defaults to 1 because kind 1 already means "show a box".
struct EntryLimitMsg {
  bool operator==(const EntryLimitMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(kind, "kind");
    v(userNo, "userNo");
    v(text, "text");
    v(showFlag, "showFlag");
  }
  int32_t kind = 0;  // 1 message box, 3 limit removed
  int32_t userNo = 0;
  std::string text;
  int32_t showFlag = 1;
};

// HM_USER_AVATAR
struct UserAvatarMsg {
  bool operator==(const UserAvatarMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(avatarKey, "avatarKey");
  }
  int32_t userNo = 0;
  std::string avatarKey;
};

// HM_USER_VOICE
struct UserVoiceMsg {
  bool operator==(const UserVoiceMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(f2, "f2");
    v(voiceSet, "voiceSet");
  }
  int32_t userNo = 0;
  int32_t f2 = 0;
  int32_t voiceSet = 0;
};

// HM_NOTICE_TEXT
struct NoticeTextMsg {
  bool operator==(const NoticeTextMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(text, "text");
  }
  std::string text;
};

// HM_SCENE_STRING
struct SceneStringMsg {
  bool operator==(const SceneStringMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(sceneText, "sceneText");
    v(sceneNumber, "sceneNumber");
  }
  std::string sceneText;
  int32_t sceneNumber = 0;
};

// HM_ROBOT_SEAT
struct RobotSeatMsg {
  bool operator==(const RobotSeatMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(robotUserNo, "robotUserNo");
    v(count, "count");
    v(joins, "joins");
    v(money, "money");
  }
  int32_t robotUserNo = 0;  // below -1
  int32_t count = 0;
  int32_t joins = 0;  // 1 takes seat 1, 0 leaves it
  int64_t money = 0;
};

// HM_ANTILEAVE_COUNTS
struct AntiLeaveCountsMsg {
  bool operator==(const AntiLeaveCountsMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(seat, "seat");
    v(count1, "count1");
    v(count2, "count2");
  }
  int32_t seat = 0;
  int32_t count1 = 0;
  int32_t count2 = 0;
};

// HM_PLAY_COUNT
struct PlayCountMsg {
  bool operator==(const PlayCountMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(allowance, "allowance");
    v(gamesPlayed, "gamesPlayed");
    v(todayCount, "todayCount");
  }
  int32_t userNo = 0;
  int64_t allowance = 0;
  int32_t gamesPlayed = 0;
  int32_t todayCount = 0;
};

// HM_UNHANDLED_55
struct Unhandled55Msg {
  bool operator==(const Unhandled55Msg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
    v(f2, "f2");
    v(f3, "f3");
  }
  ArcArrayT<int32_t, 2> f1;
  ArcArrayT<int64_t, 2> f2;
  ArcArrayT<int64_t, 2> f3;
};

// HM_CHAT_MACRO
struct ChatMacroMsg {
  bool operator==(const ChatMacroMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(phrase, "phrase");
  }
  int32_t userNo = 0;
  int32_t phrase = 0;  // 0..9
};

// HM_UNHANDLED_58
struct Unhandled58Msg {
  bool operator==(const Unhandled58Msg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
    v(f2, "f2");
  }
  int32_t f1 = 0;
  int32_t f2 = 0;
};

// HM_TIMEOUT_COUNT
struct TimeoutCountMsg {
  bool operator==(const TimeoutCountMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(count, "count");
  }
  int32_t userNo = 0;
  int32_t count = 0;
};

// HM_UNHANDLED_60
struct Unhandled60Msg {
  bool operator==(const Unhandled60Msg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(f1, "f1");
  }
  std::string f1;
};

// HM_HOST_EVENT_70
struct HostEvent70Msg {
  bool operator==(const HostEvent70Msg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(value, "value");
  }
  int32_t value = 0;
};

// HM_VIP_STATE. secondAmount follows the older layout's last field; an older sender
// leaves it at 0.
struct VipStateMsg {
  bool operator==(const VipStateMsg&) const = default;
  template <class V>
  void Fields(V& v) {
    v(playSeconds, "playSeconds");
    v(firstAmount, "firstAmount");
    v(wins, "wins");
    v(losses, "losses");
    v(vipValue1, "vipValue1");
    v(vipValue2, "vipValue2");
    v(vipServiceActive, "vipServiceActive");
    v(secondAmount, "secondAmount");
  }
  int32_t playSeconds = 0;
  int64_t firstAmount = 0;
  int32_t wins = 0;
  int32_t losses = 0;
  int32_t vipValue1 = 0;
  int32_t vipValue2 = 0;
  int32_t vipServiceActive = 0;
  int64_t secondAmount = 0;
};

// HM_ROOM_TITLE_BANNED and HM_HOST_EVENT_75: a message with nothing after its code.
struct NoFieldsMsg {
  bool operator==(const NoFieldsMsg&) const = default;
  template <class V>
  void Fields(V&) {}
};
