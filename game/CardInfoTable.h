// The fifty flower cards: each card id's month, kind and set, one constant row per id.
// Every rule on the client reads its card facts from here, through the card a widget
// shows; nothing about a card comes from the server.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Ids 4m..4m+3 are month m (0..11); 48 and 49 the bonus cards; 50 no card.
using FlowerCard = int32_t;
// 0..11 the months, 12 the bonus cards (and a widget that shows no card).
using CardMonth = int32_t;

enum CardKind : int32_t { kKindNone = -1, kKindGwang = 0, kKindYeol = 1, kKindTti = 2, kKindPi = 3 };

// Set 2 counts as two pi: the double pi cards, the two bonus cards and the September
// animal.
enum CardSet : int32_t {
  kSetNone = 0,
  kSetPi = 1,
  kSetDouble = 2,
  kSetHongdan = 3,
  kSetChungdan = 4,
  kSetChodan = 5,
  kSetGodori = 6,
  kSetGwang = 7,
};

struct CardInfo {
  CardMonth month;
  CardKind kind;
  CardSet set;
};

inline constexpr int32_t kCardCount = 50;
inline constexpr FlowerCard kNoCard = 50;
inline constexpr CardMonth kBonusMonth = 12;
inline constexpr FlowerCard kSeptemberYeol = 32;  // the September animal

inline constexpr std::array<CardInfo, kCardCount> CardInfoTable{{
    {0, kKindGwang, kSetGwang},     {0, kKindTti, kSetHongdan},     {0, kKindPi, kSetPi},
    {0, kKindPi, kSetPi},           {1, kKindYeol, kSetGodori},     {1, kKindTti, kSetHongdan},
    {1, kKindPi, kSetPi},           {1, kKindPi, kSetPi},           {2, kKindGwang, kSetGwang},
    {2, kKindTti, kSetHongdan},     {2, kKindPi, kSetPi},           {2, kKindPi, kSetPi},
    {3, kKindYeol, kSetGodori},     {3, kKindTti, kSetChodan},      {3, kKindPi, kSetPi},
    {3, kKindPi, kSetPi},           {4, kKindYeol, kSetNone},       {4, kKindTti, kSetChodan},
    {4, kKindPi, kSetPi},           {4, kKindPi, kSetPi},           {5, kKindYeol, kSetNone},
    {5, kKindTti, kSetChungdan},    {5, kKindPi, kSetPi},           {5, kKindPi, kSetPi},
    {6, kKindYeol, kSetNone},       {6, kKindTti, kSetChodan},      {6, kKindPi, kSetPi},
    {6, kKindPi, kSetPi},           {7, kKindGwang, kSetGwang},     {7, kKindYeol, kSetGodori},
    {7, kKindPi, kSetPi},           {7, kKindPi, kSetPi},           {8, kKindYeol, kSetDouble},
    {8, kKindTti, kSetChungdan},    {8, kKindPi, kSetPi},           {8, kKindPi, kSetPi},
    {9, kKindYeol, kSetNone},       {9, kKindTti, kSetChungdan},    {9, kKindPi, kSetPi},
    {9, kKindPi, kSetPi},           {10, kKindGwang, kSetGwang},    {10, kKindPi, kSetDouble},
    {10, kKindPi, kSetPi},          {10, kKindPi, kSetPi},          {11, kKindGwang, kSetGwang},
    {11, kKindYeol, kSetNone},      {11, kKindTti, kSetNone},       {11, kKindPi, kSetDouble},
    {kBonusMonth, kKindPi, kSetDouble}, {kBonusMonth, kKindPi, kSetDouble},
}};

// The facts of a card id; any id outside 0..49 (50 among them) is no card, as a card
// widget after its reset reports it.
constexpr CardInfo CardInfoOf(FlowerCard id) {
  if (id < 0 || id >= kCardCount) return {kBonusMonth, kKindNone, kSetNone};
  return CardInfoTable[static_cast<size_t>(id)];
}

// Ids from the server are checked with this before any per-card array is indexed.
inline constexpr bool IsCardId(FlowerCard id) { return id >= 0 && id < kCardCount; }
inline constexpr bool IsBonusCard(FlowerCard id) { return id == 48 || id == 49; }

// What the card adds to a pi pile's count: plain pi 1, a double card 2, and the first
// bonus card 3; anything else 0.
constexpr int32_t PiValueOf(FlowerCard id) {
  if (id == 48) return 3;
  const CardSet set = CardInfoOf(id).set;
  return set == kSetPi ? 1 : set == kSetDouble ? 2 : 0;
}
