// The per-game card state of the table: each seat's cards, counters and bak flags, and
// the lists that belong to one game. Plain data; the card model gives the lists their
// meaning and the per-game reset empties them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "game/CHTUser.h"
#include "tables/TableSeats.h"

struct CGameInfo {
  static constexpr int32_t kSeats = kTableSeats;
  static constexpr int32_t kMonths = 13;  // twelve months and the bonus cards
  static constexpr int32_t kNoMission = 0;
  static constexpr int32_t kMissionSet = 1;

  std::array<CHTUser, kSeats> seats;
  int32_t turnCount = 0;
  int32_t inProgress = 0;  // set by the deal: the game's own messages count from then on
  int32_t multiplierExponent = 0;
  int32_t missionId = -1;
  int32_t missionMultiplier = 0;
  int32_t missionMode = 0;  // kMissionSet once the game's mission is known
  int32_t missionCount = 0;
  std::array<int32_t, kMonths> capturedPerMonth{};
  std::vector<int32_t> deck;  // the face-down cards still to be drawn, the next one first
  std::vector<int32_t> pendingCards;
  std::vector<int32_t> cardNumbers;
  std::vector<int32_t> kickReservations;
  // The card moves' state: the floor ids the server dealt, still to be shown; the slot and
  // month of the last played card (-1 none); cards that landed on others this turn;
  // the September animal's choice (0: still an animal).
  std::vector<int32_t> dealCards;
  std::vector<int32_t> dealtHand;  // this client's own hand cards of the deal
  int32_t lastFloorSlot = -1;
  int32_t lastPlayedMonth = -1;
  int32_t matchedCount = 0;
  int32_t nineTenChoice = 0;
  // The user asked to go or stop last (-1 none yet this game).
  int32_t lastGoStopAsker = -1;

  void Reset() { *this = CGameInfo{}; }
  // No message carries the count of achieved missions: the seats' flags give it, and a
  // seat's mission multiplies its score only while it is positive.
  void CountAchievedMissions() {
    missionCount = static_cast<int32_t>(
        std::count_if(seats.begin(), seats.end(), [](const CHTUser& seat) { return seat.missionAchieved != 0; }));
  }
};
