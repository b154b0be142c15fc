// The room as the player sees it on the built table: the option panel's room lines and
// voice after an entry, a room reset, and the seat panels of each side through joins,
// leaves and a settlement that exchanges the seats.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RoomTableFixture.h"
#include "base/TextUtil.h"
#include "panels/CVNotifyWnd.h"
#include "panels/CVUserOptionWnd.h"
#include "panels/SeatPanels.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using room_test::RoomTableTest;

constexpr int32_t kDimmed = 23;
constexpr int32_t kMoneyStyle = 2;
constexpr GPoint kBadges[2] = {{731, 414}, {731, 26}};
using Pair = std::pair<int64_t, int32_t>;

class RoomSeatsTest : public RoomTableTest {
 protected:
  const CDorvik2VWS::SceneWidgets& W() const { return scene->Widgets(); }
  CVUserOptionWnd* Options() const { return W().optionPanel; }
  std::string Line(int32_t i) const { return Options()->RoomLine(i)->GetText(); }
  void ClickMiddle(GVWnd* panel, GVWnd* child) {
    const GRect r = child->GetRect();
    const GPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    panel->OnLButtonDown(0, p);
    panel->OnLButtonUp(0, p);
  }
  // A seat's score record: the points shown, and a shake count shown as an icon.
  void Score(int32_t seat, int32_t points, int32_t shakes) {
    scene->Seat(seat).points = points;
    scene->Seat(seat).shakeCount = shakes;
    scene->Seat(seat).multiplier = 1;
  }
  // What a side's score panel and icon strip show: the score (0 when hidden) and the
  // shake icon's count (0 when hidden).
  Pair Shown(int32_t side) const {
    const CVJumsuInfoWnd* score = W().scorePanels[size_t(side)];
    const GVPSPNumberWnd* small = score->NumberOf(CVJumsuInfoWnd::kSmall);
    const GVQLAniWnd* shake = W().cardIcons[size_t(side)]->Icon(1);
    return {small->IsVisible() ? small->GetNumber() : 0, shake->IsVisible() ? shake->GetFrame() + 1 : 0};
  }
  bool OwnerMarkOn(int32_t side) const {
    return W().seatPanels[size_t(side)]->LeaderMarkOf(CVUserInfoWnd::kLeaderA)->IsVisible() != 0;
  }
  std::string NameOn(int32_t side) const {
    return W().seatPanels[size_t(side)]->TextOf(CVUserInfoWnd::kName)->GetText();
  }
};

TEST_F(RoomSeatsTest, AFastRoomsEntryFillsTheRoomLinesAndDimsTheSpeedChoices) {
  RoomEnterMsg msg = MyEntry(0);
  msg.room.roomState = 1;
  msg.room.speedKind = 2;
  msg.room.optionString = "UP30=1|SM=2";
  msg.gameInfo.entryMinMoney = 300'000'000;
  msg.stakePerPoint = 5000;
  scene->OnRoomEnter(msg);
  // Six lines centred among eight: the room's own from line 3 (lines 1 and 2 are the
  // opening's player count and password).
  EXPECT_EQ(Line(3), "입장제한:" + FormatMoney(300'000'000, kMoneyStyle));
  EXPECT_EQ(Line(4), "점당머니:" + FormatMoney(5000, kMoneyStyle));
  EXPECT_EQ(Line(5), "연령제한:30대이상");
  EXPECT_EQ(Line(6), "게임속도:빠름");
  for (int32_t i = 3; i <= 6; ++i) EXPECT_TRUE(Options()->RoomLine(i)->IsVisible()) << i;
  for (int32_t i = 0; i < CVUserOptionWnd::kSpeedChoices; ++i) {
    EXPECT_EQ(Options()->SpeedChoiceWnd(i)->GetEffectLevel(), i < 4 ? kDimmed : 0) << i;
  }

  ASSERT_EQ(scene->OpenOptionPanel(), 1);
  EXPECT_EQ(Options()->SpeedChoice(), 4) << "a fast room holds the fastest speed";
  ClickMiddle(Options(), Options()->SpeedChoiceWnd(1));
  EXPECT_EQ(Options()->SpeedChoice(), 4) << "a dimmed choice takes no click";
  EXPECT_EQ(Options()->SpeedChoiceWnd(1)->GetFrame(), 0);
}

TEST_F(RoomSeatsTest, TheVoiceTheServerGaveIsTheOneOkKeeps) {
  SeatMe(0);
  scene->AssignScreenPositions();
  scene->Model().myVoiceSet = 1;
  Options()->SetStoredChoices(1, 1, 0);
  UserVoiceMsg voice{kMe, 0, 3};
  Send<HM_USER_VOICE>(voice);
  ASSERT_EQ(scene->OpenOptionPanel(), 1);
  EXPECT_EQ(Options()->VoiceChoiceWnd(3)->GetFrame(), 1) << "the new voice shows chosen";
  EXPECT_EQ(Options()->VoiceChoiceWnd(1)->GetFrame(), 0);
  Forget();
  ClickMiddle(Options(), Options()->OkButton());
  EXPECT_FALSE(Options()->IsOpen());
  EXPECT_TRUE(Sent().empty()) << "the old voice is not sent back";
  EXPECT_EQ(scene->Model().myVoiceSet, 3);

  ASSERT_EQ(scene->OpenOptionPanel(), 1);
  ClickMiddle(Options(), Options()->VoiceChoiceWnd(0));
  Forget();
  ClickMiddle(Options(), Options()->OkButton());
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({6, 0, 0})});
}

TEST_F(RoomSeatsTest, ARoomResetLeavesNoAvatarAndResetsTheTablesDisplays) {
  SeatBothPlayers();
  scene->SetPlayerAvatar(kMyId, {"a.gif"});
  scene->SetPlayerAvatar(kOtherId, {"b.gif"});
  ASSERT_NE(W().avatars[0], nullptr);
  ASSERT_NE(W().avatars[1], nullptr);
  const size_t widgets = scene->GetWndList().size();
  scene->CardWidgets().autoPlayNotice->Show(1);
  W().autoPlayCancelButton->Show(1);
  W().autoPlaySettingButton->Enable(1);
  W().waitingSprite->Show(1);
  ASSERT_EQ(scene->OpenOptionPanel(), 1);

  scene->ResetRoomView();
  EXPECT_EQ(W().avatars[0], nullptr);
  EXPECT_EQ(W().avatars[1], nullptr);
  EXPECT_EQ(scene->GetWndList().size(), widgets - 2) << "both avatar widgets gone from the table";
  EXPECT_FALSE(scene->CardWidgets().autoPlayNotice->IsVisible());
  EXPECT_FALSE(W().autoPlayCancelButton->IsVisible());
  EXPECT_FALSE(W().autoPlaySettingButton->IsEnabled());
  EXPECT_FALSE(W().waitingSprite->IsVisible());
  EXPECT_FALSE(Options()->IsOpen()) << "no old room's panel over the new room";
}

TEST_F(RoomSeatsTest, EachSidesPanelsShowTheirOwnSeatAfterAJoinAndALeave) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  SeatMe(0);
  scene->AssignScreenPositions();
  Score(0, 3, 2);
  Score(1, 5, 1);
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  // The upper side still shows a player who was there before.
  CHTUser before;
  before.points = 9;
  W().scorePanels[1]->Update(before);
  JoinGameMsg join;
  join.userNo = kOther;
  join.seat = 1;
  join.ownerUserNo = kMe;
  join.player.userNo = kOther;
  join.player.nickname = "you";
  scene->OnJoinGame(join);
  EXPECT_EQ(Shown(0), Pair(3, 2));
  EXPECT_EQ(Shown(1), Pair(5, 1));
  EXPECT_EQ(NameOn(1), "you");
  EXPECT_TRUE(OwnerMarkOn(0));

  // The first seat leaves during the stake vote: I move down to it, and the upper side
  // is empty.
  scene->GetPlayer(0).Reset();
  scene->GetPlayer(1).Reset();
  SeatOther(0);
  SeatMe(1);
  scene->AssignScreenPositions();
  Score(0, 5, 1);
  Score(1, 3, 2);
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  StartPhase(1);
  W().notifyPrompt->Show(1);
  LeaveGameMsg leave{kOther, 0, 0, "", ""};
  scene->OnLeaveGame(leave);
  EXPECT_EQ(scene->GetPlayer(0).userNo, kMe);
  EXPECT_EQ(Shown(0), Pair(3, 2));
  EXPECT_EQ(Shown(1), Pair(0, 0)) << "nobody's score on the empty side";
  EXPECT_TRUE(OwnerMarkOn(0));
  EXPECT_FALSE(W().notifyPrompt->IsVisible()) << "the vote's prompt goes with the voter";
  EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kTurnTimer));
}

TEST_F(RoomSeatsTest, ASettlementThatExchangesTheSeatsMovesPanelsMarksAndAnObserversAvatars) {
  constexpr int32_t kFirst = 3;
  PlayerInfo& first = scene->GetPlayer(0);
  first.userNo = kFirst;
  first.userId = "first";
  first.nickname = "first";
  SeatOther(1);
  scene->GetPlayer(1).nickname = "second";
  scene->AssignScreenPositions();
  scene->Model().tableOwnerUserNo = kOther;
  scene->PlaceOwnerAndKickMarks();
  scene->SetPlayerAvatar("first", {"a.gif"});
  scene->SetPlayerAvatar(kOtherId, {"b.gif"});
  GVAvatarWnd* secondsAvatar = W().avatars[1];
  ASSERT_NE(secondsAvatar, nullptr);
  ASSERT_TRUE(OwnerMarkOn(0));

  SettlementMsg m;
  m.winnerUser = kOther;
  m.firstSeatUser = kOther;
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(scene->GetPlayer(0).userNo, kOther);
  EXPECT_EQ(scene->Model().firstSeatUserNo, kOther);
  EXPECT_EQ(NameOn(0), "second");
  EXPECT_EQ(NameOn(1), "first");
  EXPECT_TRUE(OwnerMarkOn(0)) << "the owner mark on the new first seat";
  EXPECT_FALSE(OwnerMarkOn(1));
  EXPECT_EQ(W().avatars[0], secondsAvatar) << "an observer's avatars follow their users";
  EXPECT_EQ(secondsAvatar->GetPos(), kBadges[0]);
  ASSERT_NE(W().avatars[1], nullptr);
  EXPECT_EQ(W().avatars[1]->GetPos(), kBadges[1]);
  EXPECT_EQ(Shown(0), Pair(0, 0)) << "the cleared table shows no score";
  EXPECT_EQ(Shown(1), Pair(0, 0));
}

TEST_F(RoomSeatsTest, TheStartIntroFollowsAPromotionJoinAndARobotEndsIt) {
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  JoinGameMsg join;
  join.userNo = kMe;
  join.seat = 0;
  join.ownerUserNo = kMe;
  join.player.userNo = kMe;
  join.promoStart = 1;
  scene->OnJoinGame(join);
  EXPECT_TRUE(W().startAnim->IsPlaying());
  EXPECT_TRUE(Played(5)) << "the table's own start sound";

  RobotSeatMsg robot{kRobot, 1, 1, 0};
  scene->OnRobotSeat(robot);
  EXPECT_FALSE(W().startAnim->IsPlaying());
  ASSERT_NE(W().robotAvatar, nullptr);
  EXPECT_TRUE(W().robotAvatar->IsVisible()) << "the robot character at its side";
  EXPECT_EQ(W().robotAvatar->GetPos(), kBadges[1]);
}

}  // namespace

namespace {

// A player who drops out: the side's disconnect mark shows and the avatar goes; the
// other side keeps its own.
TEST_F(RoomSeatsTest, ADisconnectMarksItsSideAndTakesItsAvatarAway) {
  SeatBothPlayers();
  scene->SetPlayerAvatar(kMyId, {"a.gif"});
  scene->SetPlayerAvatar(kOtherId, {"b.gif"});
  ASSERT_NE(W().avatars[1], nullptr);
  ASSERT_FALSE(W().disconnectMarks[1]->IsVisible());
  Send<HM_USER_DISCONNECTED>(UserConnStateMsg{kOther, 2});
  EXPECT_TRUE(W().disconnectMarks[1]->IsVisible());
  EXPECT_EQ(W().avatars[1], nullptr);
  EXPECT_FALSE(W().disconnectMarks[0]->IsVisible());
  EXPECT_NE(W().avatars[0], nullptr);
}

// A level change and the other player's whole record show the seat's record as it
// stands now.
TEST_F(RoomSeatsTest, ALevelChangeAndTheOtherPlayersRecordRefreshHisSeat) {
  SeatBothPlayers();
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  scene->GetPlayer(1).nickname = "renamed";
  UserLevelMsg level;
  level.entries.push_back(UserLevelEntry{.userNo = kOther, .level = 3});
  Send<HM_USER_LEVEL>(level);
  EXPECT_EQ(NameOn(1), "renamed");

  PlayerInfoMsg info;
  info.userNo = kOther;
  info.sceneMode = CDorvik2VWS::kModeWaiting;
  info.player = scene->GetPlayer(1);
  info.player.nickname = "again";
  info.player.money = 12345;
  Send<HM_PLAYER_INFO>(info);
  EXPECT_EQ(NameOn(1), "again");
  EXPECT_EQ(W().seatPanels[1]->TextOf(CVUserInfoWnd::kMoney)->GetText(), FormatMoney(12345, 2));
  EXPECT_NE(NameOn(0), "again");
}

}  // namespace
