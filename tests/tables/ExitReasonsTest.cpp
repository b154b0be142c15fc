// The reason table holds each reason once, every box has a time, and the stake labels
// fall back to the lowest stake.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tables/ExitReasons.h"
#include "tables/StakeLabels.h"

namespace {

TEST(ExitReasonsTable, EachReasonOnceAndEveryBoxTimed) {
  std::set<int32_t> seen;
  for (const exit_reasons::Row& row : exit_reasons::kRows) {
    EXPECT_TRUE(seen.insert(row.reason).second) << row.reason;
    EXPECT_EQ(row.boxMs > 0, row.textRule != exit_reasons::TextRule::kNone) << row.reason;
  }
  EXPECT_EQ(exit_reasons::RowOf(999).outcome, exit_reasons::Outcome::kClose0);
  EXPECT_EQ(exit_reasons::RowOf(999).textRule, exit_reasons::TextRule::kNone);
}

TEST(ExitReasonsTable, StakeLabelsByIndex) {
  for (int32_t i = 0; i < kStakeLabelCount; ++i) EXPECT_STREQ(StakeLabel(i), kStakeLabels[i]);
  EXPECT_EQ(std::string(StakeLabel(8)), "점300만냥");
  EXPECT_EQ(std::string(StakeLabel(9)), "점1천냥");
  EXPECT_EQ(std::string(StakeLabel(-1)), "점1천냥");
}

}  // namespace
