// Seats nobody holds, robots told by their connection field or their number (and a
// seat one past the table), and the senders that need a seat of their own.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/GameTable.h"

namespace seat_sender_rules_test {

using testing_support::GameTableTest;

class SeatRulesTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    host.Clear();
  }
};

TEST_F(SeatRulesTest, EmptySeatsHoldNobody) {
  EXPECT_EQ(scene->GetUserNoById(""), -1);
  EXPECT_EQ(scene->GetSeatOfUser(-1), -1) << "empty seats carry -1 but are nobody's";
  EXPECT_EQ(scene->IsSeated(-1), 0);
  EXPECT_EQ(scene->HasSeatWithoutUser(), 1);
  EXPECT_EQ(scene->HasRobotPlayer(), 0) << "an empty seat is no robot";
  EXPECT_EQ(scene->IsRobotSeat(0), 0);
}

TEST_F(SeatRulesTest, RobotsAreToldByTheirFieldOrTheirNumber) {
  SeatRobot(1);
  EXPECT_EQ(scene->IsRobotSeat(1), 1);
  EXPECT_EQ(scene->HasRobotPlayer(), 1);
  EXPECT_EQ(scene->HasSeatWithoutUser(), 1) << "a robot is no user";
  scene->GetPlayer(1).connState = 0;
  EXPECT_EQ(scene->IsRobotSeat(1), 1) << "a robot number alone";
  EXPECT_EQ(scene->IsRobotSeat(2), 0) << "one past the table";
  EXPECT_EQ(scene->IsRobotSeat(-1), 0);
}

using SenderRulesTest = SeatRulesTest;

TEST_F(SenderRulesTest, SeatOnlySendersNeedASeat) {
  const std::vector<std::function<int32_t()>> senders = {
      [this] { return scene->SendObserve(); },
      [this] { return scene->SendOptionChange(0, 3); },
      [this] { return scene->SendResultDone(); },
      [this] { return scene->SendPromotionRequest(5, 0); },
  };
  for (const auto& send : senders) EXPECT_EQ(send(), 0);
  scene->SetSceneMode(CDorvik2VWS::kModeResult);
  EXPECT_EQ(scene->SendHostValues(1, 2, 3), 0);
  EXPECT_EQ(scene->SendUnused17(1, 2, 3), 0);
  EXPECT_TRUE(host.Calls().empty());

  SeatMe(0);
  for (const auto& send : senders) EXPECT_EQ(send(), 1);
  EXPECT_EQ(scene->SendUnused17(1, 2, 3), 1);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  EXPECT_EQ(scene->SendHostValues(1, 2, 3), 0) << "only on the result";
  EXPECT_EQ(scene->SendUnused17(1, 2, 3), 0);
}

}  // namespace seat_sender_rules_test
