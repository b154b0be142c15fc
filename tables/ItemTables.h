// The item panel's names and best-amount captions, by item (0..5) and by the
// membership amount class (0 none .. 4 highest). Row 5, the safe, has no amounts.
#pragma once

#include <cstdint>

constexpr int32_t kItemCount = 6;
constexpr int32_t kItemAmountClassCount = 5;

extern const char* const ItemNames[kItemCount];
extern const char* const ItemMoneyTable[kItemCount][kItemAmountClassCount];

const char* GetItemName(int32_t item);
// The amount class comes from the caller unchecked; outside 0..4, or for an item
// outside 0..5, the answer is the empty text.
const char* GetItemMoneyText(int32_t item, int32_t amountClass);
