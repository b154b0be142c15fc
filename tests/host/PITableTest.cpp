// The seat table's own moves: screen positions by my seat, and the second seat moving
// to the first.
#include <gtest/gtest.h>

#include "host/PITable.h"

namespace {

TEST(PITableTest, MySeatIsDrawnAtTheBottom) {
  struct Case {
    int32_t mySeat;  // -1: observer
    int32_t pos0, pos1;
  } cases[] = {{1, 1, 0}, {0, 0, 1}, {-1, 0, 1}};
  for (const Case& c : cases) {
    PITable seats;
    seats.Player(0).userNo = 3;
    seats.Player(1).userNo = 4;
    const int32_t me = c.mySeat < 0 ? 99 : seats.Player(c.mySeat).userNo;
    seats.AssignScreenPositions(me);
    EXPECT_EQ(seats.Player(0).screenPos, c.pos0) << c.mySeat;
    EXPECT_EQ(seats.Player(1).screenPos, c.pos1) << c.mySeat;
  }
  PITable empty;
  empty.AssignScreenPositions(RCUser::kNoUser);
  EXPECT_EQ(empty.Player(0).screenPos, 0);
}

TEST(PITableTest, SwapMovesOnlyTheSecondSeatsUser) {
  PITable seats;
  seats.Player(1).userNo = 4;
  seats.Player(1).nickname = "four";
  EXPECT_EQ(seats.SwapSeatsIfSecond(3), 0);
  EXPECT_EQ(seats.SwapSeatsIfSecond(RCUser::kNoUser), 0);
  EXPECT_EQ(seats.Player(1).userNo, 4);
  EXPECT_EQ(seats.SwapSeatsIfSecond(4), 1);
  EXPECT_EQ(seats.Player(0).nickname, "four");
  EXPECT_EQ(seats.Player(1).userNo, RCUser::kNoUser);
  EXPECT_EQ(seats.SwapSeatsIfSecond(4), 0);
}

}  // namespace
