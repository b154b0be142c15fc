// Who sits where: the seat queries over the room record, robots told by their
// connection field or their number, and the button-state event.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

class SeatsTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    host.Clear();
  }
};

TEST_F(SeatsTest, SeatQueriesFindUsersAndRobotsAndNobodyInEmptySeats) {
  EXPECT_EQ(scene->GetUserNoById(""), -1);
  EXPECT_EQ(scene->GetSeatOfUser(-1), -1) << "empty seats carry -1 but are nobody's";
  EXPECT_EQ(scene->IsSeated(-1), 0);
  EXPECT_EQ(scene->HasSeatWithoutUser(), 1);
  EXPECT_EQ(scene->HasRobotPlayer(), 0) << "an empty seat is no robot";
  EXPECT_EQ(scene->IsRobotSeat(0), 0);
  SeatOther(1);
  EXPECT_EQ(scene->GetUserNoById("you"), kOther);
  EXPECT_EQ(scene->GetSeatOfUser(kOther), 1);
  EXPECT_EQ(scene->IsSeated(kOther), 1);
  EXPECT_EQ(scene->IsSeated(-1), 0) << "this client is not seated";
  SeatMe(0);
  EXPECT_EQ(scene->IsSeated(-1), 1);
  EXPECT_EQ(scene->HasSeatWithoutUser(), 0);
  EXPECT_EQ(&scene->GetPlayerByUserNo(kOther), &scene->GetPlayer(1));
  EXPECT_EQ(&scene->GetPlayerByUserNo(1234), &scene->GetPlayer(0)) << "seat 0's for a user without a seat";
  EXPECT_THROW(scene->GetPlayer(2), std::out_of_range);
  EXPECT_THROW(scene->GetPlayer(-1), std::out_of_range);
  scene->GetPlayer(0).Reset();
  SeatRobot(1);
  EXPECT_EQ(scene->IsRobotSeat(1), 1);
  EXPECT_EQ(scene->HasRobotPlayer(), 1);
  EXPECT_EQ(scene->HasSeatWithoutUser(), 1) << "a robot is no user";
  scene->GetPlayer(1).connState = 0;
  EXPECT_EQ(scene->IsRobotSeat(1), 1) << "a robot number alone";
  EXPECT_EQ(scene->IsRobotSeat(2), 0);
}

TEST_F(SeatsTest, ButtonStateGoesToTheHostAsEvent45) {
  scene->SetButtonState("macro", CDorvik2VWS::kButtonEnabled);
  scene->SetButtonState("vip", CDorvik2VWS::kButtonHidden);
  EXPECT_EQ(host.Transcript(),
            (std::vector<std::string>{"NotifyEvent(7, 45, \"macro\", 17)", "NotifyEvent(7, 45, \"vip\", 0)"}));
}

}  // namespace
