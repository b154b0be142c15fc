// The game's missions by the id the server sends: the text the mission panel shows and
// the cards to collect (flower card ids, in the order the panel lays them out). Ids 0
// and 1 have no cards; 26..38 are the two-card missions named after the pairs of the
// two-card game, whose cards the decision prompt also shows on success.
#pragma once

#include <array>
#include <cstdint>

struct MissionRow {
  const char* text;
  int32_t cardCount;
  std::array<int32_t, 4> cards;
};

constexpr int32_t kMissionCount = 39;
constexpr int32_t kNoMission = 0;
constexpr int32_t kSureMission = 1;  // success for everybody
constexpr int32_t kFirstTwoCardMission = 26;

// By id.
extern const MissionRow Missions[kMissionCount];
// The row of a mission id; null outside 0..38.
const MissionRow* MissionOf(int32_t id);
