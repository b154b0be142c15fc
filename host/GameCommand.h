// Everything the player does that the server must know: a game command, its type
// code and payload, written as the code and the payload's fields (one field list per
// payload, walked by the record writer) and handed to the host.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "host/IXBuf.h"
#include "host/RecordArchive.h"

// Payloads, fields in wire order. timedOut is 1 when the turn timer answered for the
// player while auto-play was off; answer is 1 for yes and 0 for no.
struct GcNoPayload {
  bool operator==(const GcNoPayload&) const = default;
  template <class V>
  void Fields(V&) {}
};

#define DORVIK_GC_FIELDS_1(T, a)         \
  bool operator==(const T&) const = default; \
  template <class V>                     \
  void Fields(V& v) {                    \
    v(a);                                \
  }
#define DORVIK_GC_FIELDS_2(T, a, b)      \
  bool operator==(const T&) const = default; \
  template <class V>                     \
  void Fields(V& v) {                    \
    v(a);                                \
    v(b);                                \
  }
#define DORVIK_GC_FIELDS_3(T, a, b, c)   \
  bool operator==(const T&) const = default; \
  template <class V>                     \
  void Fields(V& v) {                    \
    v(a);                                \
    v(b);                                \
    v(c);                                \
  }

struct GcMyVoice {
  DORVIK_GC_FIELDS_1(GcMyVoice, voiceSet)
  int32_t voiceSet = 0;
};
struct GcPlay {
  DORVIK_GC_FIELDS_2(GcPlay, voiceSet, flag)
  int32_t voiceSet = 0;
  int32_t flag = 0;
};
struct GcKick {
  DORVIK_GC_FIELDS_1(GcKick, targetUserNo)
  int32_t targetUserNo = 0;
};
struct GcOptionChange {
  DORVIK_GC_FIELDS_2(GcOptionChange, code, value)
  static constexpr int32_t kVoiceSet = 0;
  int32_t code = 0;
  int32_t value = 0;
};
struct GcStakeVoteAnswer {
  DORVIK_GC_FIELDS_1(GcStakeVoteAnswer, answer)
  int32_t answer = 0;
};
// Both start requests (codes 8 and 9) carry one zero.
struct GcStart {
  DORVIK_GC_FIELDS_1(GcStart, zero)
  int32_t zero = 0;
};
// The pick is a floor slot 0..11: the face-down pick cards have no id yet.
struct GcSunPick {
  DORVIK_GC_FIELDS_2(GcSunPick, timedOut, pick)
  static constexpr int32_t kNoPick = 50;
  int32_t timedOut = 0;
  int32_t pick = 0;
};
struct GcFourOfMonthAnswer {
  DORVIK_GC_FIELDS_1(GcFourOfMonthAnswer, answer)
  int32_t answer = 0;
};
struct GcPlayCard {
  DORVIK_GC_FIELDS_3(GcPlayCard, timedOut, cardId, unmatched)
  int32_t timedOut = 0;
  int32_t cardId = 0;
  int32_t unmatched = 0;
};
struct GcPickFloorCard {
  DORVIK_GC_FIELDS_2(GcPickFloorCard, timedOut, cardId)
  int32_t timedOut = 0;
  int32_t cardId = 0;
};
struct GcShakeAnswer {
  DORVIK_GC_FIELDS_2(GcShakeAnswer, timedOut, answer)
  int32_t timedOut = 0;
  int32_t answer = 0;
};
// The third field is always the September animal card.
struct Gc9TenAnswer {
  DORVIK_GC_FIELDS_3(Gc9TenAnswer, timedOut, answer, cardId)
  static constexpr int32_t kSeptemberAnimal = 32;
  int32_t timedOut = 0;
  int32_t answer = 0;
  int32_t cardId = kSeptemberAnimal;
};
struct GcGoOrStopAnswer {
  DORVIK_GC_FIELDS_2(GcGoOrStopAnswer, timedOut, answer)
  int32_t timedOut = 0;
  int32_t answer = 0;  // 1 go, 0 stop
};
struct GcUnused17 {
  DORVIK_GC_FIELDS_3(GcUnused17, a, b, c)
  int32_t a = 0;
  int32_t b = 0;
  int64_t c = 0;
};
struct GcPromotionRequest {
  DORVIK_GC_FIELDS_2(GcPromotionRequest, kind, value)
  int32_t kind = 0;
  int32_t value = 0;
};
struct GcHostValues {
  DORVIK_GC_FIELDS_3(GcHostValues, id, a, b)
  int32_t id = 0;
  int64_t a = 0;
  int64_t b = 0;
};
struct GcBetChoice {
  DORVIK_GC_FIELDS_1(GcBetChoice, button)
  int32_t button = 0;
};
struct GcObserveMode {
  DORVIK_GC_FIELDS_1(GcObserveMode, state)
  int32_t state = 0;
};
struct GcUnused23 {
  DORVIK_GC_FIELDS_1(GcUnused23, value)
  uint32_t value = 0;
};
struct GcNumberKey {
  DORVIK_GC_FIELDS_1(GcNumberKey, phrase)
  int32_t phrase = 0;
};
struct GcAutoPlay {
  DORVIK_GC_FIELDS_1(GcAutoPlay, on)
  int32_t on = 0;
};
struct GcTimeoutCount {
  DORVIK_GC_FIELDS_1(GcTimeoutCount, count)
  int32_t count = 0;
};
struct GcHostNoticeAck {
  DORVIK_GC_FIELDS_1(GcHostNoticeAck, myUserNo)
  int32_t myUserNo = 0;
};
struct GcTextLine {
  DORVIK_GC_FIELDS_2(GcTextLine, myUserNo, text)
  int32_t myUserNo = 0;
  std::string text;
};

#undef DORVIK_GC_FIELDS_1
#undef DORVIK_GC_FIELDS_2
#undef DORVIK_GC_FIELDS_3

// Every command type: code, GameCmdType name, payload.
#define DORVIK_GAME_COMMANDS(X)                              \
  X(0, GC_NONE, GcNoPayload)                                 \
  X(1, GC_MY_VOICE, GcMyVoice)                               \
  X(2, GC_PLAY, GcPlay)                                      \
  X(3, GC_OBSERVE, GcNoPayload)                              \
  X(4, GC_LEAVE, GcNoPayload)                                \
  X(5, GC_KICK, GcKick)                                      \
  X(6, GC_OPTION_CHANGE, GcOptionChange)                     \
  X(7, GC_STAKE_VOTE_ANSWER, GcStakeVoteAnswer)              \
  X(8, GC_START_EMPTY_SEAT, GcStart)                         \
  X(9, GC_START_GAME, GcStart)                               \
  X(10, GC_SUN_PICK, GcSunPick)                              \
  X(11, GC_FOUR_OF_MONTH_ANSWER, GcFourOfMonthAnswer)        \
  X(12, GC_PLAY_CARD, GcPlayCard)                            \
  X(13, GC_PICK_FLOOR_CARD, GcPickFloorCard)                 \
  X(14, GC_SHAKE_ANSWER, GcShakeAnswer)                      \
  X(15, GC_9TEN_ANSWER, Gc9TenAnswer)                        \
  X(16, GC_GO_OR_STOP_ANSWER, GcGoOrStopAnswer)              \
  X(17, GC_UNUSED_17, GcUnused17)                            \
  X(18, GC_RESULT_DONE, GcNoPayload)                         \
  X(19, GC_PROMOTION_REQUEST, GcPromotionRequest)            \
  X(20, GC_HOST_VALUES, GcHostValues)                        \
  X(21, GC_BET_CHOICE, GcBetChoice)                          \
  X(22, GC_OBSERVE_MODE, GcObserveMode)                      \
  X(23, GC_UNUSED_23, GcUnused23)                            \
  X(24, GC_NUMBER_KEY, GcNumberKey)                          \
  X(25, GC_AUTO_PLAY, GcAutoPlay)                            \
  X(26, GC_TIMEOUT_COUNT, GcTimeoutCount)                    \
  X(27, GC_HOST_NOTICE_ACK, GcHostNoticeAck)                 \
  X(28, GC_TEXT_LINE, GcTextLine)

enum GameCmdType : uint32_t {
#define DORVIK_GAME_COMMAND_ENUM(code, name, payload) name = code,
  DORVIK_GAME_COMMANDS(DORVIK_GAME_COMMAND_ENUM)
#undef DORVIK_GAME_COMMAND_ENUM
  GC_TYPE_LIMIT = 29,  // codes from here on are not written
};

// "GC_PLAY_CARD" and so on; "" for a code without a type.
const char* GameCmdTypeName(uint32_t code);

template <class T>
constexpr bool IsGameCmdPayloadOf(uint32_t code) {
#define DORVIK_GAME_COMMAND_MATCH(c, name, payload) \
  if (code == (c)) return std::is_same_v<T, payload>;
  DORVIK_GAME_COMMANDS(DORVIK_GAME_COMMAND_MATCH)
#undef DORVIK_GAME_COMMAND_MATCH
  return false;
}

using GameCmdPayload =
    std::variant<GcNoPayload, GcMyVoice, GcPlay, GcKick, GcOptionChange, GcStakeVoteAnswer, GcStart, GcSunPick,
                 GcFourOfMonthAnswer, GcPlayCard, GcPickFloorCard, GcShakeAnswer, Gc9TenAnswer, GcGoOrStopAnswer,
                 GcUnused17, GcPromotionRequest, GcHostValues, GcBetChoice, GcObserveMode, GcUnused23, GcNumberKey,
                 GcAutoPlay, GcTimeoutCount, GcHostNoticeAck, GcTextLine>;

// A type code and its payload. Built on the stack by a sender, written, sent and
// dropped; Make checks at compile time that the payload is the code's.
struct GameCommand {
  template <uint32_t Code, class T = GcNoPayload>
  static GameCommand Make(T payload = T{}) {
    static_assert(IsGameCmdPayloadOf<T>(Code), "payload type does not match the command code");
    return GameCommand{Code, GameCmdPayload(std::move(payload))};
  }

  // Back to GC_NONE with no payload.
  void Clear() { *this = GameCommand{}; }

  bool operator==(const GameCommand&) const = default;

  uint32_t type = GC_NONE;
  GameCmdPayload payload;
};

// Writes the type code, then the payload's fields. 0 for a code of 29 or more (after
// the code was written), for a payload that is not the code's, and when the buffer
// could not grow; else 1.
int32_t WriteGameCommand(const GameCommand& command, IXBuf* buf);
