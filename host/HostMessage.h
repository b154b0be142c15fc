// One message from the game server: its type code and the typed record read from
// the byte block the host hands over. Reading, writing, copying and destroying go
// through the record's field list; the scene keeps messages in a std::list.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "host/EntryRecords.h"
#include "host/GameFlowRecords.h"
#include "host/RCUser.h"
#include "host/RecordArchive.h"
#include "host/ResultRecords.h"
#include "host/RoomRecords.h"

// Every message type: code, HostMsgType name, record.
#define DORVIK_HOST_MESSAGES(X)                      \
  X(1, HM_ROOM_ENTER, RoomEnterMsg)                  \
  X(2, HM_USER_DISCONNECTED, UserConnStateMsg)       \
  X(3, HM_PLAYER_INFO, PlayerInfoMsg)                \
  X(4, HM_GAME_SNAPSHOT, GameDataTableMsg)           \
  X(5, HM_JOIN_GAME, JoinGameMsg)                    \
  X(6, HM_LEAVE_GAME, LeaveGameMsg)                  \
  X(7, HM_ROOM_STATE, RoomStateMsg)                  \
  X(8, HM_KICK_RESERVED, KickReserveMsg)             \
  X(9, HM_SEAT_STATE, SeatStateMsg)                  \
  X(10, HM_ENTRY_LIMIT_REMOVED, EntryLimitMsg)       \
  X(11, HM_USER_AVATAR, UserAvatarMsg)               \
  X(12, HM_USER_VOICE, UserVoiceMsg)                 \
  X(13, HM_NOTICE_TEXT, NoticeTextMsg)               \
  X(14, HM_SCENE_STRING, SceneStringMsg)             \
  X(15, HM_STAKE_VOTE, StakeVoteMsg)                 \
  X(16, HM_STAKE_VOTE_RESULT, StakeVoteResultMsg)    \
  X(17, HM_BACK_TO_WAITING, WaitingStateMsg)         \
  X(18, HM_ROBOT_SEAT, RobotSeatMsg)                 \
  X(19, HM_SUN_SELECT, SunSelectMsg)                 \
  X(20, HM_SUN_PICK, SunPickMsg)                     \
  X(21, HM_SUN_DECIDED, SunDecidedMsg)               \
  X(22, HM_DEAL, DealMsg)                            \
  X(23, HM_FOUR_OF_MONTH, FourOfMonthMsg)            \
  X(24, HM_FLOOR_EXCHANGE, FloorExchangeMsg)         \
  X(25, HM_TURN, TurnMsg)                            \
  X(26, HM_TURN_WITH_CARDS, TurnCardsMsg)            \
  X(27, HM_BOMB, BombMsg)                            \
  X(28, HM_ASK_PICK_FLOOR_CARD, PickFloorCardMsg)    \
  X(29, HM_ASK_SHAKE, AskShakeMsg)                   \
  X(30, HM_SHAKE, ShakeMsg)                          \
  X(31, HM_CARD_EVENT, CardEventMsg)                 \
  X(32, HM_LAY_CARDS, LayCardsMsg)                   \
  X(33, HM_PUCK, PuckMsg)                            \
  X(34, HM_CAPTURE, CaptureMsg)                      \
  X(35, HM_MISSION_INFO, MissionInfoMsg)             \
  X(36, HM_MISSION_RESULT, MissionResultMsg)         \
  X(37, HM_ASK_9TEN_MOVE, Ask9TenMsg)                \
  X(38, HM_9TEN_MOVED, NineTenMovedMsg)              \
  X(39, HM_9TEN_KEPT, NineTenKeptMsg)                \
  X(40, HM_SCORE_UPDATE, ScoreUpdateMsg)             \
  X(41, HM_ASK_GO_OR_STOP, AskGoOrStopMsg)           \
  X(42, HM_STOP_DECLARED, StopMsg)                   \
  X(43, HM_GAME_RESULT, GameResultMsg)               \
  X(44, HM_SAFE_WITHDRAW, SafeWithdrawMsg)           \
  X(45, HM_SETTLEMENT, SettlementMsg)                \
  X(46, HM_MONEY_CAP, MoneyCapMsg)                   \
  X(47, HM_ANTILEAVE_COUNTS, AntiLeaveCountsMsg)     \
  X(48, HM_ANTILEAVE_REFUND, AntiLeaveRefundMsg)     \
  X(49, HM_PLAY_COUNT, PlayCountMsg)                 \
  X(50, HM_MONEY_NOTICE, MoneyNoticeMsg)             \
  X(51, HM_USER_LEVEL, UserLevelMsg)                 \
  X(52, HM_EVENT_ANIMATION, EventAnimationMsg)       \
  X(53, HM_STOP_COUNTDOWN, StopCountdownMsg)         \
  X(54, HM_MY_USER_INFO, RCUser)                     \
  X(55, HM_UNHANDLED_55, Unhandled55Msg)             \
  X(56, HM_CHAT_MACRO, ChatMacroMsg)                 \
  X(57, HM_ROOM_TITLE_BANNED, NoFieldsMsg)           \
  X(58, HM_UNHANDLED_58, Unhandled58Msg)             \
  X(59, HM_TIMEOUT_COUNT, TimeoutCountMsg)           \
  X(60, HM_UNHANDLED_60, Unhandled60Msg)             \
  X(61, HM_HOST_EVENT_70, HostEvent70Msg)            \
  X(62, HM_VIP_STATE, VipStateMsg)                   \
  X(63, HM_HOST_EVENT_75, NoFieldsMsg)

enum HostMsgType : uint32_t {
  HM_NONE = 0,
#define DORVIK_HOST_MESSAGE_ENUM(code, name, record) name = code,
  DORVIK_HOST_MESSAGES(DORVIK_HOST_MESSAGE_ENUM)
#undef DORVIK_HOST_MESSAGE_ENUM
  HM_TYPE_LIMIT = 64,  // codes from here on have no record
};

// "HM_DEAL" and so on; "" for a code without a type.
const char* HostMsgTypeName(uint32_t code);

// The record behind a message, whatever its type.
class HostRecord {
 public:
  virtual ~HostRecord() = default;
  virtual std::unique_ptr<HostRecord> Clone() const = 0;
  virtual int Load(IXBuf* buf) = 0;  // 1 complete, 0 stopped short (fields read are kept)
  virtual int Save(IXBuf* buf) const = 0;  // 1, or 0 when the buffer could not grow
  virtual uint32_t WireSize() const = 0;  // bytes after the type code
  virtual bool Equals(const HostRecord& other) const = 0;
};

template <class T>
class HostRecordT final : public HostRecord {
 public:
  HostRecordT() = default;
  explicit HostRecordT(const T& v) : value(v) {}

  std::unique_ptr<HostRecord> Clone() const override { return std::make_unique<HostRecordT>(value); }
  int Load(IXBuf* buf) override { return LoadRecord(value, buf); }
  int Save(IXBuf* buf) const override { return SaveRecord(value, buf); }
  uint32_t WireSize() const override { return RecordSize(value); }
  bool Equals(const HostRecord& other) const override {
    const auto* o = dynamic_cast<const HostRecordT*>(&other);
    return o != nullptr && o->value == value;
  }

  T value;
};

template <class T>
constexpr bool IsHostRecordOf(uint32_t code) {
#define DORVIK_HOST_MESSAGE_MATCH(c, name, record) \
  if (code == (c)) {                                \
    return std::is_same_v<T, record>;               \
  }
  DORVIK_HOST_MESSAGES(DORVIK_HOST_MESSAGE_MATCH)
#undef DORVIK_HOST_MESSAGE_MATCH
  return false;
}

// The record of a new message of the code, or null for 0 and codes from 64 on.
std::unique_ptr<HostRecord> MakeHostRecord(uint32_t code);

struct HostMessage {
  HostMessage() = default;
  HostMessage(const HostMessage& other);
  HostMessage& operator=(const HostMessage& other);
  HostMessage(HostMessage&& other) noexcept;
  HostMessage& operator=(HostMessage&& other) noexcept;
  ~HostMessage() = default;

  // A message of the code holding the record; the record's type must be the code's.
  template <uint32_t Code, class T>
  static HostMessage Make(const T& value) {
    static_assert(IsHostRecordOf<T>(Code), "record type does not match the message code");
    HostMessage msg;
    msg.type = Code;
    msg.record = std::make_unique<HostRecordT<T>>(value);
    return msg;
  }

  // The record as a T, or null when the message holds no record of that kind.
  template <class T>
  T* Get() {
    auto* r = dynamic_cast<HostRecordT<T>*>(record.get());
    return r != nullptr ? &r->value : nullptr;
  }
  template <class T>
  const T* Get() const {
    const auto* r = dynamic_cast<const HostRecordT<T>*>(record.get());
    return r != nullptr ? &r->value : nullptr;
  }

  uint32_t type = HM_NONE;
  std::unique_ptr<HostRecord> record;
};

// Reads one message from the front of the buffer. 1 when the message is complete
// (code 0 alone is an empty message); 0 when the block is too short for the code,
// the code is 64 or more (kept in type, no record), or the record stopped short
// (the fields read so far are kept, the rest at their defaults).
int ReadHostMessage(HostMessage& msg, IXBuf* buf);

// The type code, then the record's fields. 1, or 0 when the buffer could not grow.
int WriteHostMessage(const HostMessage& msg, IXBuf* buf);

// Deep copy into dst; what dst held is destroyed. Copying a message into itself
// leaves it as it is.
void AssignHostMessage(HostMessage& dst, const HostMessage& src);

// Frees the record; the type becomes 0.
void DestroyHostMessage(HostMessage& msg);
