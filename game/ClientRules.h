// The rules the client keeps for itself: each seat's multiplier, score and the bak
// flags its opponent would suffer, and the card to play when this client's turn runs
// out or auto-play is on. They read the table through RulesView, which the scene fills
// for one call (tests fill it without widgets); nothing here moves a card.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "game/CGameInfo.h"
#include "game/CardInfoTable.h"

// Card lists hold widget indices; what a widget shows is its card (50 while face
// down), so every card fact is read through `cardOfWidget`.
struct RulesView {
  // Read by all three; the multiplier writes its results into them.
  std::array<CHTUser, CGameInfo::kSeats>& seats;
  int32_t mySeat = -1;  // -1: this client holds no seat
  std::span<const int32_t> floor;
  std::span<const int32_t> deck;          // its first element is the next card
  std::span<const int32_t> capturedPerMonth;  // cards of each month captured by either seat
  // Asked only for indices 0..49.
  std::function<FlowerCard(int32_t widget)> cardOfWidget;
  int32_t multiplierExponent = 0;
  int32_t missionMode = 0;
  int32_t missionCount = 0;
  int32_t missionMultiplier = 0;
  int32_t gwangBakOn = 0;

  // The card the widget shows; an index outside 0..49 reads widget 49.
  FlowerCard CardAt(int32_t widget) const;
  // 1 when a widget of the list shows `card` (the widget's index itself may differ).
  int32_t PileHasCard(std::span<const int32_t> list, FlowerCard card) const;
};

// Seat 0 or 1 scores that seat; 2 scores seat 0, then seat 1; other values nothing.
// A pass writes its seat's multiplier and score and its opponent's three bak flags,
// nothing else. Multiplier and score wrap as unsigned 32-bit products.
void ComputeScoreMultiplier(const RulesView& view, int32_t seat, int32_t septemberFlag);

// The card to play (as its widget shows it), or -1 for none. Each random choice
// shuffles its candidates with plat::crt::rand(): for i = 1 .. n-1 in turn, j :=
// rand() % (i + 1) and entries i and j swap; the first entry wins. So a choice among n
// candidates draws n - 1 values, and every other path draws none.
int32_t ChooseTimeoutCard(const RulesView& view);
int32_t ChooseAutoPlayCard(const RulesView& view);
