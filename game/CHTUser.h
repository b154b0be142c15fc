// One seat's cards and score as the host's messages leave them; the scene keeps two,
// and the seat panels show them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct CHTUser {
  static constexpr int32_t kCapturedKinds = 4;  // bright, animal, ribbon, junk
  static constexpr int32_t kGameCounters = 3;

  std::vector<int32_t> hand;
  std::array<std::vector<int32_t>, kCapturedKinds> captured;
  int32_t puckCount = 0;
  int32_t shakeCount = 0;
  int32_t goCount = 0;
  int32_t points = 0;
  int32_t goBakThreshold = 0;
  int32_t gwangBak = 0;
  int32_t yeolBak = 0;
  int32_t piBak = 0;
  int32_t multiplier = 0;
  int32_t score = 0;  // points and goes times the multiplier, 0 while the opponent holds nothing
  int32_t piScore = 0;  // the pi pile's value as its last layout counted it
  int32_t missionAchieved = 0;
  int32_t bombDummyCount = 0;  // turns played from the deck without a hand card
  // The seat's counters of the running game (the two anti-leave counts and the
  // time-outs); an opponent's leaving clears them.
  std::array<int32_t, kGameCounters> gameCounters{};
  // What the server last told this client for its own seat: the value of its laid
  // cards, and the value shown with the September question.
  int32_t seatValue = 0;
  int32_t septemberValue = 0;
};
