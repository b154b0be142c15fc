// Resets of the shared records, the seat table's look-ups and the fixed-count array.
#include <gtest/gtest.h>

#include <stdexcept>

#include "HostRecordTestSupport.h"
#include "host/HostMessage.h"

namespace {

using host_test::Filled;

// A reset gives the freshly built record, except what it keeps: a seat its screen
// position, a room its field 16 and its seats' positions.
TEST(RecordReset, AResetRecordIsTheBuiltOneSaveWhatItKeeps) {
  RCUser user = Filled<RCUser>();
  user.Reset();
  EXPECT_EQ(user, RCUser{});
  Option option = Filled<Option>();
  option.Reset();
  EXPECT_EQ(option, Option{});
  WinInfo win = Filled<WinInfo>();
  win.Reset();
  EXPECT_EQ(win, WinInfo{});
  GameDataTable table = Filled<GameDataTable>();
  table.Reset();
  EXPECT_EQ(table, GameDataTable{});

  PlayerInfo seat = Filled<PlayerInfo>();
  PlayerInfo emptySeat;
  ASSERT_NE(seat.screenPos, emptySeat.screenPos);
  emptySeat.screenPos = seat.screenPos;
  static_cast<RCUser&>(seat).Reset();  // virtual: the seat's own reset runs
  EXPECT_EQ(seat, emptySeat);

  RCRoomData room = Filled<RCRoomData>();
  RCRoomData emptyRoom;
  emptyRoom.f16 = room.f16;
  for (int32_t s = 0; s < PITable::kSeatCount; ++s) {
    emptyRoom.seats.Player(s).screenPos = room.seats.Player(s).screenPos;
  }
  room.Reset();
  EXPECT_EQ(room, emptyRoom);
  RCRoomData built;
  built.Reset();
  EXPECT_EQ(built, RCRoomData{});
}

TEST(RecordReset, OnlyANumberBelowMinusOneMakesTheSeatARobot) {
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

TEST(PITableSeats, TwoSeatsLookedUpByUserAndNobodysSeatIsNone) {
  PITable seats;
  EXPECT_NO_THROW(seats.Player(1));
  EXPECT_THROW(seats.Player(2), std::out_of_range);
  EXPECT_THROW(seats.Player(-1), std::out_of_range);
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

TEST(ArcArrayTBehaviour, HoldsNElementsCopiesDeeplyAndStaysWholeWhenMovedFrom) {
  ArcArrayT<int32_t, 3> a;
  EXPECT_EQ(a, (ArcArrayT<int32_t, 3>{}));
  a.at(2) = 9;
  ArcArrayT<int32_t, 3> b = a;
  b.at(2) = 1;
  EXPECT_EQ(a.at(2), 9);
  b = a;
  EXPECT_EQ(b, a);
  EXPECT_THROW(a.at(3), std::out_of_range);

  ArcArrayT<int32_t, 3> moved(std::move(b));
  EXPECT_EQ(moved.at(2), 9);
  EXPECT_NO_THROW(b.at(2));  // NOLINT(bugprone-use-after-move)
  b = std::move(moved);
  EXPECT_EQ(b.at(2), 9);
  EXPECT_NO_THROW(moved.at(2));  // NOLINT(bugprone-use-after-move)
}

}  // namespace
