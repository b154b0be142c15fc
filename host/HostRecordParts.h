// Small list elements shared by several host records: integer pairs and triples,
// each read first, second (, third).
#pragma once

#include <cstdint>

struct IntPair {
  bool operator==(const IntPair&) const = default;
  template <class V>
  void Fields(V& v) {
    v(first, "first");
    v(second, "second");
  }
  int32_t first = 0;
  int32_t second = 0;
};

// {month, bonus card id} of a bonus card lying on the floor.
struct BonusPair {
  bool operator==(const BonusPair&) const = default;
  template <class V>
  void Fields(V& v) {
    v(month, "month");
    v(cardId, "cardId");
  }
  int32_t month = 0;
  int32_t cardId = 0;
};

// {user number, card id} of a junk card taken from the opponent.
struct StolenCard {
  bool operator==(const StolenCard&) const = default;
  template <class V>
  void Fields(V& v) {
    v(userNo, "userNo");
    v(cardId, "cardId");
  }
  int32_t userNo = 0;
  int32_t cardId = 0;
};
