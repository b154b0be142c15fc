// The item names and money captions, shown as they stand (no number formatting).
#include "tables/ItemTables.h"

#include "tables/TableLookup.h"

using tables_detail::EntryOrEmpty;

constexpr const char* ItemNames[kItemCount] = {
    "카르펜", "아싸! 4고", "아싸! 5고", "아싸! 5광", "아싸! 6고", "금고",
};

constexpr const char* ItemMoneyTable[kItemCount][kItemAmountClassCount] = {
    {"14억 7천만냥", "14억 7천만냥", "18억 3천만냥", "27억냥", "28억 5천만냥"},
    {"14억 9천만냥", "14억 9천만냥", "18억 4천만냥", "27억 1천만냥", "28억 7천만냥"},
    {"15억 6천만냥", "15억 6천만냥", "18억 7천만냥", "27억 5천만냥", "29억 1천만냥"},
    {"15억 6천만냥", "15억 6천만냥", "18억 9천만냥", "27억 8천만냥", "29억 4천만냥"},
    {"16억 1천만냥", "16억 1천만냥", "19억냥", "28억냥", "29억 6천만냥"},
    {"", "", "", "", ""},
};

static_assert(tables_detail::AllEntriesSet(ItemNames));
static_assert(tables_detail::AllEntriesSet(ItemMoneyTable[kItemCount - 1]));

const char* GetItemName(int32_t item) { return EntryOrEmpty(ItemNames, item); }

const char* GetItemMoneyText(int32_t item, int32_t amountClass) {
  if (!tables_detail::InTable<kItemCount>(item)) return tables_detail::kEmptyText;
  return EntryOrEmpty(ItemMoneyTable[item], amountClass);
}
