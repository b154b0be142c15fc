// Defaults and resets of the shared records, the seat table's look-ups and the
// fixed-count array.
#include <gtest/gtest.h>

#include <stdexcept>

#include "HostRecordTestSupport.h"
#include "host/HostMessage.h"

namespace {

using host_test::Filled;

void ExpectEmptySeat(const PlayerInfo& p) {
  EXPECT_EQ(p.userNo, -1);
  EXPECT_EQ(p.level, 1);
  EXPECT_EQ(p.f55, -1);
  EXPECT_EQ(p.f57, -1);
  EXPECT_EQ(p.userId, "");
  EXPECT_EQ(p.nickname, "");
  EXPECT_EQ(p.avatarKey, "");
  EXPECT_EQ(p.f7, "");
  EXPECT_EQ(p.f8, "");
  EXPECT_EQ(p.f15, "");
  EXPECT_EQ(p.f44, "");
  EXPECT_EQ(p.money, 0);
  EXPECT_EQ(p.itemMoney.at(ITEM_MONEY_ROYAL), 0);
  EXPECT_EQ(p.thresholdValue, 0);
  EXPECT_EQ(p.connState, 0);
  EXPECT_EQ(p.timeoutCount, 0);
}

TEST(PlayerInfoDefaults, BuiltSeatIsEmptyWithoutAScreenPosition) {
  const PlayerInfo p;
  ExpectEmptySeat(p);
  EXPECT_EQ(p.screenPos, -1);
}

TEST(PlayerInfoDefaults, ResetEmptiesTheSeatAndKeepsTheLoadedScreenPosition) {
  PlayerInfo p = Filled<PlayerInfo>();
  ASSERT_EQ(p.screenPos, 91);
  p.Reset();
  ExpectEmptySeat(p);
  EXPECT_EQ(p.screenPos, 91);

  RCUser& asUser = p;
  p.moneyBellCount = 3;
  asUser.Reset();  // virtual: the seat's own reset runs
  EXPECT_EQ(p.moneyBellCount, 0);
  EXPECT_EQ(p.screenPos, 91);
}

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

TEST(OptionDefaults, ThousandPerPointEightSwitchesOnAndZero) {
  Option o = Filled<Option>();
  o.Reset();
  EXPECT_EQ(o.moneyPerPoint, 1000);
  for (int32_t sw : {o.gwangBakOn, o.switch3, o.switch4, o.switch5, o.switch6, o.switch7, o.switch8, o.switch9}) {
    EXPECT_EQ(sw, 1);
  }
  EXPECT_EQ(o.f10, 0);
}

TEST(RCRoomDataDefaults, ResetClearsTheRoomAndKeepsFieldSixteen) {
  RCRoomData room = Filled<RCRoomData>();
  const int32_t f16 = room.f16;
  const int32_t seat1Pos = room.seats.Player(1).screenPos;
  room.Reset();
  EXPECT_EQ(room.roomNo, -1);
  EXPECT_EQ(room.sceneMode, 0);
  EXPECT_EQ(room.password, "");
  EXPECT_EQ(room.f4, "");
  EXPECT_EQ(room.sceneText, "");
  EXPECT_EQ(room.optionString, "");
  EXPECT_EQ(room.f20, "");
  EXPECT_EQ(room.playerCount, 0);
  EXPECT_EQ(room.roomState, 0);
  EXPECT_EQ(room.option, Option{});
  EXPECT_EQ(room.baseMoneyPerPoint, 1000);
  for (int32_t v : {room.antiLeaveLevel, room.speedKind, room.antiLeaveGameCount, room.f15, room.f17, room.f18,
                    room.f19}) {
    EXPECT_EQ(v, 0);
  }
  EXPECT_EQ(room.f16, f16);
  EXPECT_EQ(room.seats.Player(0).userNo, -1);
  EXPECT_EQ(room.seats.Player(1).userNo, -1);
  EXPECT_EQ(room.seats.Player(1).screenPos, seat1Pos);
}

TEST(RCRoomDataDefaults, BuiltRoomIsTheResetRoomWithFieldSixteenZero) {
  RCRoomData room;
  EXPECT_EQ(room.roomNo, -1);
  EXPECT_EQ(room.f16, 0);
  RCRoomData reset = room;
  reset.Reset();
  EXPECT_EQ(reset, room);
}

TEST(PITableSeats, AlwaysTwoSeatsAndOtherIndexesThrow) {
  PITable seats;
  EXPECT_EQ(seats.size(), 2u);
  EXPECT_NO_THROW(seats.Player(1));
  EXPECT_THROW(seats.Player(2), std::out_of_range);
  EXPECT_THROW(seats.Player(-1), std::out_of_range);
  EXPECT_THROW(seats.at(2), std::out_of_range);
}

TEST(PITableSeats, LooksUpUsersBySeat) {
  PITable seats;
  seats.Player(0).userNo = 1001;
  seats.Player(1).userNo = -3;  // a robot holds a seat too
  EXPECT_EQ(seats.SeatOfUser(1001), 0);
  EXPECT_EQ(seats.SeatOfUser(-3), 1);
  EXPECT_EQ(seats.SeatOfUser(1002), -1);
  EXPECT_TRUE(seats.HasUser(1001));
  EXPECT_FALSE(seats.HasUser(1002));

  seats.Player(1).Reset();
  EXPECT_EQ(seats.SeatOfUser(-1), -1) << "an empty seat is nobody's";
  EXPECT_FALSE(seats.HasUser(-1));
}

TEST(PITableSeats, ResetEmptiesBothSeats) {
  PITable seats = Filled<PITable>();
  seats.Reset();
  EXPECT_EQ(seats.Player(0).userNo, -1);
  EXPECT_EQ(seats.Player(1).userNo, -1);
  EXPECT_NE(seats.Player(0).screenPos, -1);
}

TEST(ArcArrayTBehaviour, HoldsNZeroedElementsAndCopiesDeeply) {
  ArcArrayT<int32_t, 3> a;
  EXPECT_EQ(a.size(), 3u);
  for (int32_t v : a) {
    EXPECT_EQ(v, 0);
  }
  a.at(2) = 9;
  ArcArrayT<int32_t, 3> b = a;
  b.at(2) = 1;
  EXPECT_EQ(a.at(2), 9);
  b = a;
  EXPECT_EQ(b, a);
  EXPECT_THROW(a.at(3), std::out_of_range);

  ArcArrayT<int32_t, 3> moved(std::move(b));
  EXPECT_EQ(moved.at(2), 9);
  EXPECT_EQ(b.size(), 3u);  // NOLINT(bugprone-use-after-move)
  EXPECT_NO_THROW(b.at(2));
}

TEST(RecordDefaults, IntegersOfNewMessageRecordsAreZeroOrTheirStatedDefault) {
  EXPECT_EQ(EntryLimitMsg{}.showFlag, 1);
  const RoomEnterMsg enter;
  EXPECT_EQ(enter.clientVersion, 0);
  EXPECT_EQ(enter.myUser.userNo, -1);
  EXPECT_EQ(enter.room.roomNo, -1);
  EXPECT_EQ(enter.gameInfo.entryMinMoney, 0);
  EXPECT_EQ(GameResultMsg{}.winInfo.categoryPoints.at(7), 0);
  EXPECT_EQ(GameResultMsg{}.hands.at(1).size(), 0u);
  EXPECT_EQ(EventAnimationMsg{}.f5.size(), 3u);
  WinInfo w = Filled<WinInfo>();
  w.Reset();
  EXPECT_EQ(w, WinInfo{});
  GameDataTable t = Filled<GameDataTable>();
  t.Reset();
  EXPECT_EQ(t, GameDataTable{});
}

}  // namespace
