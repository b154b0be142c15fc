// Room entry, the seats and the observers: the entry's refusals and questions, the
// commands it sends, the host's text, joins and leaves with my seat at the bottom,
// seat states, robots and the small per-user records.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>

#include "RoomTableFixture.h"
#include "host/Dorvik2Messages.h"
#include "panels/CVRestrictOptionWnd.h"
#include "panels/CVUserInfoWnd.h"
#include "plat/crt.h"
#include "plat/sim.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace {

using room_test::RoomTableTest;
using testing_support::HostSlot;
using testing_support::RecordingHost;

constexpr int32_t kGcMyVoice = 1;
constexpr int32_t kGcPlay = 2;
constexpr int32_t kGcLeave = 4;
constexpr int32_t kGcTextLine = 28;

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) out += (out.empty() ? "" : " ") + plat::FormatString("%02X", c);
  return out;
}

class RoomEnterTest : public RoomTableTest {
 protected:
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    RoomTableTest::TearDown();
  }
  RoomEnterMsg Entry(int32_t kind) {
    RoomEnterMsg msg = MyEntry(kind);
    msg.myUser.nickname = "nick";
    msg.stakePerPoint = 500;
    return msg;
  }
  std::string TextLine(const std::string& text) const {
    return Words({kGcTextLine, kMe, static_cast<int64_t>(text.size())}) + (text.empty() ? "" : " " + Hex(text));
  }
};

TEST_F(RoomEnterTest, RefusedEntriesCloseWithCodeZero) {
  RoomEnterMsg old = Entry(1);
  old.clientVersion = kClientVersion - 1;
  scene->OnRoomEnter(old);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(0, 5000,
                                                  "현재 실행중인 무렉 파일은 최신 버전이 아닙니다.\n"
                                                  "재실행하시면 최신버전을 다운 받을 수 있습니다.")});
  EXPECT_EQ(Closes(), std::vector<LPARAM>{0});
  EXPECT_TRUE(Sent().empty());
  for (int32_t userNo : {0, -3}) {
    Forget();
    RoomEnterMsg nobody = Entry(1);
    nobody.myUser.userNo = userNo;
    scene->OnRoomEnter(nobody);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Closes(), std::vector<LPARAM>{0});
  }
  Forget();
  RoomEnterMsg unknown = Entry(3);
  scene->OnRoomEnter(unknown);
  EXPECT_EQ(Closes(), std::vector<LPARAM>{0});
  EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kTickTimer));
}

TEST_F(RoomEnterTest, SeatedEntryAsksInAnAntiLeaveFastRoomAndPlaysOnYes) {
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->Model().myVoiceSet = 2;
  RoomEnterMsg msg = Entry(1);
  msg.room.sceneMode = CDorvik2VWS::kModeWaiting;
  msg.confirmFlag = 1;
  msg.room.roomState = 9;
  msg.room.antiLeaveLevel = 2;
  msg.room.speedKind = 2;
  Answer(VK_RETURN);
  scene->OnRoomEnter(msg);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(kYesNo, 0,
                                                  "먹튀방지방 및 게임속도가 빠른 방입니다. 참여하시겠습니까?\n"
                                                  "(판수를 채우거나 올인시 먹튀방지옵션이 해제됩니다.)")});
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0], Words({kGcPlay, 2, 0}));
  EXPECT_EQ(Sent()[1], TextLine(""));
  EXPECT_EQ(Lines(HostSlot::SetPlayState), std::vector<std::string>{"SetPlayState(3)"});
  EXPECT_EQ(scene->Options().speed, 4);
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kTickTimer));
  EXPECT_TRUE(Closes().empty());
}

TEST_F(RoomEnterTest, QuestionsByRoomAndNoOrNoAnswerLeaves) {
  struct Case {
    int32_t state, level, speed;
    const char* question;  // "" none
  } cases[] = {
      {9, 2, 0, "먹튀방지 방입니다. 참여하시겠습니까?\n(판수를 채우거나 올인시 먹튀방지옵션이 해제됩니다.)"},
      {4, 2, 2, "게임속도가 빠른 방입니다. 참여하시겠습니까?"},
      {9, 0, 1, ""},
  };
  // -1 stands for a box that cannot be shown: no No either, so no leave.
  constexpr int kBoxFails = -1;
  for (const Case& c : cases) {
    for (int vk : {VK_ESCAPE, 0, kBoxFails}) {
      SCOPED_TRACE(testing::Message() << c.state << " " << c.speed << " key " << vk);
      scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
      RoomEnterMsg msg = Entry(1);
      msg.room.sceneMode = CDorvik2VWS::kModeWaiting;
      msg.confirmFlag = 1;
      msg.room.roomState = c.state;
      msg.room.antiLeaveLevel = c.level;
      msg.room.speedKind = c.speed;
      msg.room.seats.Player(0).userNo = kMe;  // already seated: the leave request goes out
      Answer(vk > 0 ? vk : 0);
      if (vk == kBoxFails && *c.question) plat::sim::FailNext("DialogBoxParamA");
      Forget();
      scene->OnRoomEnter(msg);
      const bool asked = *c.question != 0;
      // A box that could not be shown is not seen; an unanswered one is up until it closes itself.
      const bool shown = asked && vk != kBoxFails;
      EXPECT_EQ(Boxes(), shown ? std::vector<std::string>{Box(kYesNo, vk > 0 ? 0 : 5000, c.question)}
                               : std::vector<std::string>{});
      EXPECT_EQ(Sent().front(), shown ? Words({kGcLeave}) : TextLine(""));
    }
  }
}

TEST_F(RoomEnterTest, ObserverAndRejoinEntries) {
  scene->Model().myVoiceSet = 1;
  RoomEnterMsg watch = Entry(0);
  watch.noticeText = "hello";
  scene->OnRoomEnter(watch);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0], Words({kGcPlay, 1, 1}));
  EXPECT_EQ(Lines(HostSlot::SetPlayState), std::vector<std::string>{"SetPlayState(3)"});
  EXPECT_TRUE(scene->ObservePanel()->IsVisible());
  EXPECT_EQ(Lines(HostSlot::NotifyEvent),
            (std::vector<std::string>{"NotifyEvent(0, 0, \"hello\", 5)", "NotifyEvent(7, 45, \"exit\", 17)",
                                      "NotifyEvent(7, 45, \"cancelexit\", 0)", "NotifyEvent(7, 45, \"play\", 1)",
                                      kFirstServiceQuery, kSecondServiceQuery, "NotifyEvent(7, 45, \"macro\", 17)",
                                      "NotifyEvent(7, 62, (buffer), 256)"}));
  EXPECT_EQ(scene->Model().room.option.moneyPerPoint, 500);

  Forget();
  RoomEnterMsg rejoin = Entry(2);
  scene->OnRoomEnter(rejoin);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0], Words({kGcMyVoice, 1}));
  EXPECT_EQ(Lines(HostSlot::SetPlayState), std::vector<std::string>{"SetPlayState(4)"});
}

TEST_F(RoomEnterTest, HostTextGoesOutAsDataAndAtMost256Bytes) {
  const std::string full(256, 'A');
  struct Case {
    std::string back;
    bool fill;
    std::string sent;
  } cases[] = {{full + "BBB", true, full}, {"%s%n", false, "%s%n"}};
  for (const Case& c : cases) {
    RecordingHost::EventAnswer answer;
    answer.writeData = true;
    answer.dataBack = c.back;
    answer.fillWhole = c.fill;
    host.ScriptEvent(62, answer);
    Forget();
    RoomEnterMsg msg = Entry(2);
    scene->OnRoomEnter(msg);
    EXPECT_EQ(Sent().back(), TextLine(c.sent));
    EXPECT_EQ(scene->Model().hostText, c.sent);
  }
}

TEST_F(RoomEnterTest, DailyLimitLineAndTickRunsTheQueue) {
  RoomEnterMsg msg = Entry(2);
  msg.dailyPlayLimit = 30;
  scene->OnRoomEnter(msg);
  // The room's own lines, then the options summary's runs.
  EXPECT_EQ(host.CallsTo(HostSlot::AddText).size(), 14u);
  EXPECT_EQ(host.CallsTo(HostSlot::AddText)[0].texts[0], "nick");
  scene->GetPlayer(0).userNo = kMe;
  Receive(Block(HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{kMe, "key"})));
  plat::sim::Advance(100);
  EXPECT_EQ(scene->GetPlayer(0).avatarKey, "key");
}

TEST_F(RoomEnterTest, RobotRoomStacksFiveAvatarsBeforeTheSeatPanels) {
  RoomEnterMsg msg = Entry(2);
  msg.room.roomState = 60;
  GVAnimWnd* old = scene->Widgets().robotAvatar;
  scene->OnRoomEnter(msg);
  GVAnimWnd* now = scene->Widgets().robotAvatar;
  ASSERT_NE(now, nullptr);
  EXPECT_NE(now, old);
  EXPECT_FALSE(scene->Widgets().robotCharacter->IsVisible());
  EXPECT_EQ(Sent().back(), TextLine(""));
}

// A robot room puts the stake display under the robot title and lays out the day's
// count as the count's own message does; the next plain room has the display back.
TEST_F(RoomEnterTest, RobotRoomPlacesTheStakeDisplayAndTheDaysCount) {
  const CDorvik2VWS::SceneWidgets& w = scene->Widgets();
  scene->Model().playCount = {600, 288, 0};
  RoomEnterMsg msg = Entry(2);
  msg.room.roomState = 60;
  scene->OnRoomEnter(msg);
  EXPECT_EQ(std::tuple(w.pointMoneyBack->GetPos(), w.pointMoneyText->GetPos()),
            std::tuple(GPoint(14, 217), GPoint(14, 220)));
  EXPECT_EQ(std::tuple(w.playCountPanel->IsVisible(), w.playCountPanel->CountText()->GetText(),
                       w.statusText->GetPos().y),
            std::tuple(1, std::string("12"), w.playCountPanel->GetRect().bottom + 2));

  scene->Model().playCount = {10, 0, 0};
  msg.room.roomState = 0;
  scene->OnRoomEnter(msg);
  EXPECT_EQ(std::tuple(w.pointMoneyBack->GetPos(), w.pointMoneyText->GetPos()),
            std::tuple(GPoint(4, 196), GPoint(4, 199)));
  EXPECT_EQ(w.playCountPanel->IsVisible(), 1) << "a plain room leaves the count to its message";
}

// ---- Seats ---------------------------------------------------------------------------------
class SeatHandlerTest : public RoomTableTest {
 protected:
  std::vector<std::string> ButtonStates() const {
    std::vector<std::string> out;
    for (const std::string& line : Lines(HostSlot::NotifyEvent))
      if (line.rfind("NotifyEvent(7, 45, ", 0) == 0) out.push_back(line);
    return out;
  }
};

TEST_F(SeatHandlerTest, JoinsSeatMeAtTheBottomWithMarksAndTimer) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  SeatOther(0);
  JoinGameMsg mine;
  mine.userNo = kMe;
  mine.seat = 1;
  mine.ownerUserNo = kOther;
  mine.player.userNo = kMe;
  mine.player.wins = 3;
  mine.player.losses = 4;
  scene->OnJoinGame(mine);
  EXPECT_EQ(scene->GetPlayer(1).screenPos, 0);
  EXPECT_EQ(scene->GetPlayer(0).screenPos, 1);
  EXPECT_EQ(scene->GamesPlayed(), 7);
  EXPECT_TRUE(scene->Widgets().seatPanels[1]->LeaderMarkOf(CVUserInfoWnd::kLeaderA)->IsVisible());
  EXPECT_TRUE(scene->Widgets().seatPanels[1]->LeaderMarkOf(CVUserInfoWnd::kLeaderB)->IsVisible());
  EXPECT_FALSE(scene->Widgets().seatPanels[0]->LeaderMarkOf(CVUserInfoWnd::kLeaderA)->IsVisible());
  EXPECT_FALSE(scene->IsGameTimerRunning(CSceneTimers::kLastKilledTimer));
  EXPECT_EQ(Sent().back(), Words({kGcTextLine, kMe, 0}));

  // As first seat outside waiting mode, a join starts the start-button delay; the
  // owner's seat welcomes the newcomer.
  RoomTableTest::Forget();
  scene->GetPlayer(0).Reset();
  scene->GetPlayer(1).Reset();
  SeatMe(0);
  JoinGameMsg other;
  other.userNo = kOther;
  other.seat = 1;
  other.ownerUserNo = kMe;
  other.player.userNo = kOther;
  scene->OnJoinGame(other);
  EXPECT_TRUE(scene->IsGameTimerRunning(CSceneTimers::kLastKilledTimer));
  EXPECT_EQ(trace.voices, (std::vector<std::array<int32_t, 2>>{{10033, 0}}));
}

TEST_F(SeatHandlerTest, RefusedJoinsByResult) {
  scene->Model().gameInfo.entryMinMoney = 100'000'000;
  struct Case {
    int32_t result;
    int64_t money;
    std::string box;
    uint32_t ms;
    std::vector<LPARAM> closes;
  } cases[] = {
      {1, 0, "[1억냥이상 방] 입니다.소지머니가 부족하여, 게임에 참여할 수 없습니다.\n금고인출, 리필, 게임몰을 이용하세요.", 5000, {0}},
      {2, 0, "빈 자리가 없습니다.", 5000, {}},
      {3, 0, "죄송합니다.\n소지하신 머니가 너무 많아,\n해당채널에는 입장하실 수 없습니다.", 5000, {0}},
      {4, 0, "게임에 참여할 수 없습니다.\n아이디를 확인해 주세요.", 5000, {}},
  };
  for (const Case& c : cases) {
    Forget();
    JoinGameMsg msg;
    msg.userNo = kMe;
    msg.result = c.result;
    msg.money = c.money;
    scene->OnJoinGame(msg);
    EXPECT_EQ(Boxes(), std::vector<std::string>{Box(0, c.ms, c.box)}) << c.result;
    EXPECT_EQ(Closes(), c.closes) << c.result;
  }
}

TEST_F(SeatHandlerTest, FirstSeatLeavingMovesTheSecondDown) {
  SeatOther(0);
  SeatMe(1);
  scene->GetPlayer(1).nickname = "me";
  scene->GetPlayer(0).nickname = "kept";
  scene->AssignScreenPositions();
  LeaveGameMsg msg{kOther, 207, 0, "", ""};
  scene->OnLeaveGame(msg);
  EXPECT_EQ(scene->GetPlayer(0).userNo, kMe);
  EXPECT_EQ(scene->GetPlayer(1).userNo, RCUser::kNoUser);
  EXPECT_EQ(scene->GetPlayer(0).screenPos, 0);
  EXPECT_EQ(scene->Model().firstSeatUserNo, kMe);
  EXPECT_TRUE(scene->Widgets().seatPanels[0]->LeaderMarkOf(CVUserInfoWnd::kLeaderA)->IsVisible());
  EXPECT_EQ(trace.effects.front(), 3);
  const auto runs = host.CallsTo(HostSlot::AddText);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs[0].texts[0], "kept");
  EXPECT_TRUE(Closes().empty());

  // My own leave for the daily limit keeps me as an observer.
  Forget();
  LeaveGameMsg mine{kMe, 207, 0, "", ""};
  scene->OnLeaveGame(mine);
  EXPECT_TRUE(Closes().empty());
  EXPECT_TRUE(scene->ObservePanel()->IsVisible());
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(SeatHandlerTest, SeatStatesSetTheReservationFlags) {
  SeatMe(0);
  scene->AssignScreenPositions();
  struct Case {
    int32_t kind, observe, exit;
  } cases[] = {{0, 1, 0}, {2, 0, 1}, {1, 0, 0}, {3, 0, 0}};
  for (const Case& c : cases) {
    Forget();
    scene->GetPlayer(0).observeReserved = 1 - c.observe;
    scene->GetPlayer(0).exitReserved = 1 - c.exit;
    SeatStateMsg msg{c.kind, kMe, ""};
    scene->OnSeatState(msg);
    EXPECT_EQ(scene->GetPlayer(0).observeReserved, c.observe) << c.kind;
    EXPECT_EQ(scene->GetPlayer(0).exitReserved, c.exit) << c.kind;
    EXPECT_EQ(trace.effects, std::vector<int32_t>{27});
    // My own reservation puts the top bar's seat and exit words in step.
    EXPECT_EQ(ButtonStates().size(), 4u) << c.kind;
  }
  Forget();
  scene->GetPlayer(0).observeReserved = 1;
  SeatStateMsg four{4, kMe, ""};
  scene->OnSeatState(four);
  EXPECT_EQ(scene->GetPlayer(0).observeReserved, 1);
  EXPECT_EQ(trace.effects, std::vector<int32_t>{27});
  EXPECT_TRUE(ButtonStates().empty());
}

TEST_F(SeatHandlerTest, RobotsTakeAndLeaveTheSecondSeat) {
  SeatMe(0);
  RobotSeatMsg none{-3, 0, 1, 0};
  scene->OnRobotSeat(none);
  EXPECT_EQ(scene->GetPlayer(1).userNo, RCUser::kNoUser);
  RobotSeatMsg joins{-2, 1, 1, 900};
  scene->OnRobotSeat(joins);
  EXPECT_EQ(scene->GetPlayer(1).userNo, -2);
  EXPECT_EQ(scene->GetPlayer(1).connState, -2);
  EXPECT_EQ(scene->GetPlayer(1).nickname, "");
  EXPECT_EQ(scene->GetPlayer(1).screenPos, 1);
  EXPECT_TRUE(scene->Widgets().robotPlayAnim->IsVisible());
  RobotSeatMsg otherLeaves{-4, 1, 0, 0};
  scene->OnRobotSeat(otherLeaves);
  EXPECT_EQ(scene->GetPlayer(1).userNo, -2);
  RobotSeatMsg leaves{-2, 1, 0, 0};
  scene->OnRobotSeat(leaves);
  EXPECT_EQ(scene->GetPlayer(1).userNo, RCUser::kNoUser);
  EXPECT_FALSE(scene->Widgets().robotPlayAnim->IsVisible());

  scene->Model().room.roomState = 60;
  scene->OnRobotSeat(joins);
  EXPECT_EQ(scene->GetPlayer(1).nickname, "토롱로봇");
  EXPECT_EQ(scene->GetPlayer(1).money, 900);
  EXPECT_EQ(scene->GetPlayer(1).extraAmount, 900);
}

TEST_F(SeatHandlerTest, SmallPerUserRecords) {
  SeatMe(0);
  SeatOther(1);
  scene->Model().sceneMode = CDorvik2VWS::kModePlaying;
  for (int32_t state : {1, 2}) {
    UserConnStateMsg msg{kOther, state};
    scene->OnUserDisconnected(msg);
  }
  EXPECT_EQ(scene->GetPlayer(1).connState, 1);
  EXPECT_EQ(scene->GetPlayer(1).disconnectCount, 1);
  EXPECT_EQ(trace.effects, std::vector<int32_t>{4});
  UserVoiceMsg voice{kMe, 0, 3};
  scene->OnUserVoice(voice);
  EXPECT_EQ(scene->Model().myVoiceSet, 3);
  UserLevelMsg levels;
  levels.entries = {{kOther, 11, 12, 13, 14}, {55, 1, 1, 1, 1}};
  scene->OnUserLevel(levels);
  EXPECT_EQ(scene->GetPlayer(1).level, 13);
  EXPECT_EQ(scene->GetPlayer(1).levelValue2, 12);
  TimeoutCountMsg mineCount{kMe, 2}, otherCount{kOther, 2};
  scene->OnTimeoutCount(mineCount);
  scene->OnTimeoutCount(otherCount);
  EXPECT_EQ(scene->GetPlayer(0).timeoutCount, 0);
  EXPECT_EQ(scene->GetPlayer(1).timeoutCount, 2);
  RCUser me;
  me.userNo = kMe;
  me.money = 5;
  // The observer panel reads its balances again: one service query per paid service.
  auto serviceQueries = [this] {
    const auto calls = host.Calls();
    return std::count_if(calls.begin(), calls.end(), [](const auto& call) {
      return call.line.starts_with("NotifyEvent(") && call.line.find(", 43, ") != std::string::npos;
    });
  };
  const auto queries = serviceQueries();
  scene->OnMyUserInfo(me);
  EXPECT_EQ(scene->MyUser().money, 5);
  EXPECT_EQ(serviceQueries(), queries + 2);
}

TEST_F(SeatHandlerTest, PlayerInfoChecksMyHandAndTakesTheKickList) {
  SeatMe(0);
  scene->Model().tableOwnerUserNo = kMe;
  PlayerInfoMsg msg;
  msg.userNo = kMe;
  msg.sceneMode = 1;
  msg.player.userNo = kMe;
  msg.kickList = {7, 9};
  scene->OnPlayerInfo(msg);
  EXPECT_EQ(Lines(HostSlot::SetPlayerList), std::vector<std::string>{"SetPlayerList(\"7|9|\")"});
  EXPECT_TRUE(Closes().empty());
  Forget();
  msg.sceneMode = 2;
  msg.handCount = 1;
  msg.handCards = {4};
  scene->OnPlayerInfo(msg);
  EXPECT_EQ(Closes(), std::vector<LPARAM>{0});
}

class SnapshotTest : public RoomTableTest {
 protected:
  void SetUp() override {
    RoomTableTest::SetUp();
    SeatMe(0);
    SeatOther(1);
    scene->Model().sceneMode = CGameModel::kModePlaying;
    Forget();
  }
  // My seat holds a bright and shakes once, the other a junk card; a hand each, two
  // floor cards, a stake factor of 1.
  GameDataTableMsg Record() const {
    GameDataTableMsg msg;
    msg.userNo = kMe;
    GameDataTable& t = msg.table;
    t.players.at(0).piles.at(PILE_GWANG) = {0};
    t.players.at(0).points = 5;
    t.players.at(0).shakeBombCount = 1;
    t.players.at(0).handCount = 7;
    t.players.at(1).piles.at(PILE_PI) = {5};
    t.players.at(1).handCount = 6;
    t.floorCards = {12, 8};
    t.lastFloorCard = 12;
    t.turnUser = kOther;
    t.missionId = -1;
    t.baseMultiplier = 1;
    return msg;
  }
  std::vector<FlowerCard> Ids(const std::vector<int32_t>& widgets) const {
    std::vector<FlowerCard> ids;
    for (int32_t w : widgets) ids.push_back(scene->CardTable().CardIdOfWidget(w));
    return ids;
  }
  CHTUser& Seat(int32_t s) { return scene->Model().game.seats.at(static_cast<size_t>(s)); }
};

TEST_F(SnapshotTest, RebuildsPilesHandsFloorAndMultipliers) {
  scene->Model().game.multiplierExponent = 1;  // the stake doubled once
  GameDataTableMsg msg = Record();
  scene->OnGameSnapshot(msg);
  EXPECT_TRUE(Closes().empty());
  EXPECT_EQ(Ids(Seat(0).captured.at(PILE_GWANG)), std::vector<FlowerCard>{0});
  EXPECT_EQ(Ids(Seat(1).captured.at(PILE_PI)), std::vector<FlowerCard>{5});
  EXPECT_EQ(Ids(scene->Model().floor.floorCards), (std::vector<FlowerCard>{8, 12}));
  // Hands are face down until my seat's record names my cards.
  EXPECT_EQ(Ids(Seat(0).hand), std::vector<FlowerCard>(7, kNoCard));
  EXPECT_EQ(Seat(1).hand.size(), 6u);
  EXPECT_EQ(scene->Model().game.deck.size(), 50u - 1 - 1 - 2 - 7 - 6);
  // Doubled stake: 2, the shake doubles mine again; my 5 points count at 4.
  EXPECT_EQ(Seat(0).multiplier, 4);
  EXPECT_EQ(Seat(0).score, 20);
  EXPECT_EQ(Seat(1).multiplier, 2);
  EXPECT_EQ(scene->Model().turnUserNo, kOther);
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kBlinkTimer));
}

TEST_F(SnapshotTest, OnlyMyRecordInAGame) {
  for (const auto& [userNo, mode] : {std::pair{kOther, 2}, std::pair{kMe, 1}}) {
    scene->Model().sceneMode = mode;
    GameDataTableMsg msg = Record();
    msg.userNo = userNo;
    const std::vector<int32_t> deck = scene->Model().game.deck;
    scene->OnGameSnapshot(msg);
    EXPECT_EQ(scene->Model().game.deck, deck);
    EXPECT_TRUE(Seat(0).hand.empty());
  }
}

TEST_F(SnapshotTest, ListsAreBoundedAndEveryCardLiesOnce) {
  GameDataTableMsg msg = Record();
  GameDataTable& t = msg.table;
  t.players.at(0).handCount = 12;
  t.players.at(1).handCount = -4;
  t.players.at(0).piles.at(PILE_GWANG) = {-1, 0, 50, 0};
  t.players.at(1).piles.at(PILE_PI) = {0, 5};
  t.floorCards = {5, 8, 99};
  scene->OnGameSnapshot(msg);
  EXPECT_EQ(Seat(0).hand.size(), 10u);
  EXPECT_TRUE(Seat(1).hand.empty());
  EXPECT_EQ(Ids(Seat(0).captured.at(PILE_GWANG)), std::vector<FlowerCard>{0});
  EXPECT_EQ(Ids(Seat(1).captured.at(PILE_PI)), std::vector<FlowerCard>{5});
  EXPECT_EQ(Ids(scene->Model().floor.floorCards), std::vector<FlowerCard>{8});
  EXPECT_TRUE(Closes().empty());

  // A bonus card with no month to lie on cannot be laid.
  Forget();
  GameDataTableMsg bonus = Record();
  bonus.table.floorCards = {48};
  scene->OnGameSnapshot(bonus);
  EXPECT_EQ(Closes(), std::vector<LPARAM>{0});
}

}  // namespace

namespace {

// A snapshot of a running game in an anti-leave room shows the room's caption.
TEST_F(SnapshotTest, ARunningAntiLeaveGameShowsItsCaption) {
  scene->GetRoomData().roomState = 9;
  scene->GetRoomData().antiLeaveLevel = 2;
  scene->GetRoomData().antiLeaveGameCount = 4;
  CVRestrictOptionWnd* caption = scene->Widgets().restrictCaption;
  caption->Close();
  GameDataTableMsg msg = Record();
  msg.table.antiLeaveFlag = 1;
  scene->OnGameSnapshot(msg);
  EXPECT_TRUE(caption->IsVisible());
  EXPECT_TRUE(caption->Caption()->IsVisible());
  EXPECT_FALSE(caption->Caption()->GetText().empty());
}

}  // namespace
