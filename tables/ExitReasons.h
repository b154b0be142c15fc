// Why this client is refused or sent out of a room: one row per reason code with the
// box it shows and what follows it (stay as an observer, or ask the host to close the
// game with a code). A few rows word their box from the reason's text or from the
// room; those are marked by their text rule.
#pragma once

#include <cstdint>

namespace exit_reasons {

// How the box's text is made.
enum class TextRule : int32_t {
  kNone,           // no box
  kFixed,          // the row's text as it stands
  kRobotRoomOnly,  // the row's text, only in a robot-item room
  kStakeLabel,     // the row's format with the stake label of the index the text holds
  kWithText,       // the row's format with the reason's text
  kMoneyShort,     // the money notice, with the room's minimum first when the text holds no sum
  kInGameOnly,     // the row's text, only while a game runs
};

// What follows the box.
enum class Outcome : int32_t {
  kObserve,              // stay in the room as an observer
  kClose0,               // close with code 0
  kClose1,               // close with code 1
  kClose1InRobotRoom,    // 1 in a robot-item room, else 0
  kClose6InAntiLeave,    // 6 while a game of an anti-leave room runs, else 0
  kObserveUnlessLeaving  // observe, or close with 0 for a refused join
};

struct Row {
  int32_t reason;
  TextRule textRule;
  const char* text;  // a format for kStakeLabel, kWithText and kMoneyShort
  uint32_t boxMs;
  Outcome outcome;
  int32_t kickedNotice;  // host event 26 goes before the box
};

inline constexpr int32_t kCloseCodeLeft = 0;
inline constexpr int32_t kCloseCodeEnded = 1;
inline constexpr int32_t kCloseCodeAntiLeave = 6;
// Reasons above this one are told with the alert effect.
inline constexpr int32_t kQuietReasonMax = 1;
inline constexpr int32_t kRobotRoomState = 60;
// The reason-10 notice's first line, with the room's minimum as money text.
inline constexpr const char* kMoneyShortPrefix = "[%s이상 방] 입니다.";
inline constexpr uint32_t kMoneyShortPrefixGroups = 2;

// The row of a reason; an unknown reason gets the closing row without a box.
const Row& RowOf(int32_t reason);
inline constexpr int32_t kRowCount = 31;
// Every listed row.
extern const Row kRows[kRowCount];

}  // namespace exit_reasons
