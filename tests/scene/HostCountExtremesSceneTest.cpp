// Counts the host sends are the host's: at the ends of 32 bits they stay there instead of
// wrapping (the sanitizer build fails on any overflow on the way), and the table still
// shows what it should.
#include <gtest/gtest.h>

#include <climits>

#include "RoomTableFixture.h"
#include "panels/CVDorvik2BijouWnd.h"

namespace {

using room_test::RoomTableTest;

class HostCountExtremesTest : public RoomTableTest {};

TEST_F(HostCountExtremesTest, GamesWonAndLostAtTheEndStayThereThroughAJoinAndASettlement) {
  JoinGameMsg join;
  join.userNo = kMe;
  join.seat = 0;
  join.player.userNo = kMe;
  join.player.wins = INT32_MAX;
  join.player.losses = INT32_MAX;
  scene->OnJoinGame(join);
  EXPECT_EQ(scene->GamesPlayed(), INT32_MAX);
  SeatOther(1);
  SettlementMsg settle;
  settle.resultCode = 1;
  settle.winnerUser = kMe;
  settle.firstSeatUser = kMe;
  Send<HM_SETTLEMENT>(settle);
  EXPECT_EQ(scene->GetPlayer(0).wins, INT32_MAX);
  EXPECT_EQ(scene->GamesPlayed(), INT32_MAX);
}

TEST_F(HostCountExtremesTest, ATurnAfterASnapshotAtTheLastTurnCountAndEndlessTimeOutsStillRuns) {
  SeatMe(0);
  SeatOther(1);
  scene->AssignScreenPositions();
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->Model().game.inProgress = 1;
  scene->Model().game.turnCount = INT32_MAX;
  scene->GetPlayer(1).timeoutCount = INT32_MAX;
  TurnMsg turn;
  turn.userNo = kOther;
  scene->OnTurn(turn);
  EXPECT_EQ(scene->Model().game.turnCount, INT32_MAX);
  EXPECT_EQ(scene->Model().turnUserNo, kOther);
}

TEST_F(HostCountExtremesTest, ATicketRiseFromFarBelowZeroAddsWhatTheCounterHolds) {
  CVDorvik2BijouWnd* bijou = scene->Widgets().bijouPanel;
  ASSERT_NE(bijou, nullptr);
  bijou->Start(1, 0, 0, 0);
  scene->Model().bijouCounts = {INT32_MIN, 0};
  scene->NoteBijouCounts(1, 0);
  EXPECT_GT(bijou->Count(), 0) << "the rise is added, capped, not wrapped below zero";
}

}  // namespace
