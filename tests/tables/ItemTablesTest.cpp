#include "tables/ItemTables.h"

#include <gtest/gtest.h>

#include "TranscriptionSupport.h"

using tables_test::Cp949Of;
using tables_test::Fields;
using tables_test::Lines;
using testing_support::Cp949;

namespace {

// name | class 0 | class 1 | class 2 | class 3 | class 4
constexpr char8_t kItems[] = u8R"(
  카르펜    | 14억 7천만냥 | 14억 7천만냥 | 18억 3천만냥 | 27억냥       | 28억 5천만냥
  아싸! 4고 | 14억 9천만냥 | 14억 9천만냥 | 18억 4천만냥 | 27억 1천만냥 | 28억 7천만냥
  아싸! 5고 | 15억 6천만냥 | 15억 6천만냥 | 18억 7천만냥 | 27억 5천만냥 | 29억 1천만냥
  아싸! 5광 | 15억 6천만냥 | 15억 6천만냥 | 18억 9천만냥 | 27억 8천만냥 | 29억 4천만냥
  아싸! 6고 | 16억 1천만냥 | 16억 1천만냥 | 19억냥       | 28억냥       | 29억 6천만냥
  금고      |              |              |              |              |
)";

TEST(ItemTables, EveryNameAndAmountMatchesTheTranscription) {
  const std::vector<std::string> rows = Lines(kItems);
  ASSERT_EQ(rows.size(), 6u);
  ASSERT_EQ(std::size(ItemNames), 6u);
  ASSERT_EQ(std::size(ItemMoneyTable), 6u);
  ASSERT_EQ(std::size(ItemMoneyTable[0]), 5u);
  for (int32_t item = 0; item < kItemCount; ++item) {
    const std::vector<std::string> fields = Fields(rows[item], '|');
    ASSERT_EQ(fields.size(), 6u) << "row " << item;
    EXPECT_EQ(Cp949(GetItemName(item)), Cp949(plat::Utf8ToCp949(fields[0]))) << "item " << item;
    EXPECT_EQ(GetItemName(item), ItemNames[item]);
    for (int32_t cls = 0; cls < kItemAmountClassCount; ++cls) {
      ASSERT_NE(ItemMoneyTable[item][cls], nullptr) << item << ',' << cls;
      EXPECT_EQ(Cp949(GetItemMoneyText(item, cls)), Cp949(plat::Utf8ToCp949(fields[1 + cls])))
          << "item " << item << " class " << cls;
      EXPECT_EQ(GetItemMoneyText(item, cls), ItemMoneyTable[item][cls]);
    }
  }
}

TEST(ItemTables, SixGoAtTheHighestClassIsTheBestAmount) {
  EXPECT_EQ(Cp949(GetItemMoneyText(4, 4)), Cp949(Cp949Of(u8"29억 6천만냥")));
}

TEST(ItemTables, TheSafeRowHoldsEmptyTextsNotNulls) {
  for (int32_t cls = 0; cls < kItemAmountClassCount; ++cls) {
    ASSERT_NE(ItemMoneyTable[5][cls], nullptr);
    EXPECT_STREQ(ItemMoneyTable[5][cls], "") << cls;
  }
}

TEST(ItemTables, TheTwoLowestClassesOfferTheSameAmounts) {
  for (int32_t item = 0; item < kItemCount; ++item) {
    EXPECT_STREQ(ItemMoneyTable[item][0], ItemMoneyTable[item][1]) << item;
  }
}

TEST(ItemTables, OutOfRangeItemOrClassGivesEmptyText) {
  struct Case {
    int32_t item, cls;
  };
  for (Case c : {Case{-1, 0}, Case{6, 0}, Case{0, -1}, Case{0, 5}, Case{4, 7}, Case{INT32_MIN, INT32_MAX}}) {
    ASSERT_NE(GetItemMoneyText(c.item, c.cls), nullptr);
    EXPECT_STREQ(GetItemMoneyText(c.item, c.cls), "") << c.item << ',' << c.cls;
  }
  EXPECT_STREQ(GetItemName(-1), "");
  EXPECT_STREQ(GetItemName(6), "");
}

}  // namespace
