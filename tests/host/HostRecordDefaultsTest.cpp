// Defaults and resets of the shared records.
#include <gtest/gtest.h>

#include "HostRecordTestSupport.h"
#include "host/HostMessage.h"

namespace {

using host_test::Filled;

}  // namespace

TEST(RCUserDefaults, ResetRestoresTheNobodyValues) {
  RCUser u = Filled<RCUser>();
  u.Reset();
  EXPECT_EQ(u, RCUser{});
  EXPECT_EQ(u.userNo, -1);
  EXPECT_EQ(u.level, 1);
  EXPECT_EQ(u.f55, -1);
  EXPECT_EQ(u.f57, -1);
  EXPECT_EQ(u.f56, 0);
}

TEST(PlayerInfoDefaults, RobotNumberBecomesConnectionStateUserAndName) {
  PlayerInfo p;
  p.SetRobot(-5, "robot");
  EXPECT_EQ(p.userNo, -5);
  EXPECT_EQ(p.connState, -5);
  EXPECT_EQ(p.nickname, "robot");

  PlayerInfo human;
  human.userNo = 7;
  for (int32_t notRobot : {-1, 0, 7}) {
    human.SetRobot(notRobot, "robot");
    EXPECT_EQ(human.userNo, 7);
    EXPECT_EQ(human.connState, 0);
    EXPECT_EQ(human.nickname, "");
  }
}
