// The game window as the host calls it: converted texts, seat look-ups, the screen
// mode, host events, refresh, leaving, and the defaults of a window without a scene.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

class ClientTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
  }
  int32_t Event(uint32_t userNo, int32_t code, const void* data, int32_t value) {
    return client->OnHostEvent(userNo, &code, const_cast<void*>(data), &value);
  }
  int32_t Event(uint32_t userNo, int32_t code, const char16_t* text) { return Event(userNo, code, text, 0); }
  size_t Closes() const { return PostedToHost(WM_GAME_CLOSE).size(); }
};

using NoSceneTest = GameTableTest;

TEST_F(NoSceneTest, WithoutASceneNothingIsTouchedAndDefaultsAnswer) {
  const BYTE block[] = {11, 0, 0, 0};
  int32_t length = 4;
  int32_t code = 29;
  EXPECT_EQ(client->OnReceive(0, 0, block, &length), 0);
  EXPECT_EQ(client->IsUserFree(u"me", 0, 0), 1);
  EXPECT_EQ(client->SetUserValue(u"me", u"5"), 0);
  EXPECT_EQ(client->SetScreenMode(1, 800, 600, 0), -1);
  EXPECT_EQ(client->OnHostEvent(kMe, &code, nullptr, nullptr), 0);
  EXPECT_EQ(client->RequestExit(0), 0);
  EXPECT_EQ(client->RefreshScreen(0), 0);
  EXPECT_EQ(client->ResetRoomView(0), 0);
  EXPECT_EQ(client->UserCommand(15, kOther, u"", 0, 0), 0);
  EXPECT_EQ(client->SetPlayerAvatar(u"me", u"a|"), 0);
  EXPECT_EQ(client->SetPlayerDisplayName(u"me", u"x"), 0);
  EXPECT_EQ(client->SetStatusText(u"x"), 0);
  EXPECT_EQ(client->Reserved1(0) | client->Reserved2(0) | client->Reserved3(0, 0) | client->Reserved15(0), 0);
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_TRUE(PostedToHost(WM_GAME_CLOSE).empty());
}

TEST_F(ClientTest, UserFreeUnlessSeatedInTheGameUnderWay) {
  SeatMe(0);
  SeatOther(1);
  EXPECT_EQ(client->IsUserFree(u"nobody", 0, 0), 1) << "not seated";
  EXPECT_EQ(client->IsUserFree(nullptr, 0, 0), 1);
  scene->SetSceneMode(CDorvik2VWS::kModeResult);
  EXPECT_EQ(client->IsUserFree(u"you", 0, 0), 1) << "seated outside mode 2";
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  EXPECT_EQ(client->IsUserFree(u"you", 0, 0), 0) << "the opponent in a running game";
  SeatRobot(1);
  scene->GetPlayer(1).userId = "bot";
  EXPECT_EQ(client->IsUserFree(u"bot", 0, 0), 1) << "a robot seat";
}

TEST_F(ClientTest, UserValueIsStoredAndAsksToEndOnlyOutsideARunningSeat) {
  EXPECT_EQ(client->SetUserValue(u"you", u"0"), 0);
  EXPECT_EQ(scene->PendingLeaveValue(), 0);
  EXPECT_EQ(Closes(), 0u) << "0 posts nothing";
  // An unknown id reads as -1, which asks about this client's own seat.
  client->SetUserValue(u"stranger", u"-12abc");
  EXPECT_EQ(scene->PendingLeaveValue(), -12);
  ASSERT_EQ(Closes(), 1u) << "this client holds no seat";
  EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[0].lParam, 1);
  plat::sim::ClearPostedMessages(hostWnd);
  SeatMe(0);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  client->SetUserValue(u"stranger", u"3");
  EXPECT_EQ(Closes(), 0u) << "seated in mode 2: the settlement acts on it";
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  client->SetUserValue(u"me", u"3");
  EXPECT_EQ(Closes(), 1u) << "seated in mode 1";
  client->SetUserValue(u"me", u"99999999999");
  EXPECT_EQ(scene->PendingLeaveValue(), INT32_MAX);
}

TEST_F(ClientTest, ScreenModeStoresTheModeOrAsksToEnd) {
  EXPECT_EQ(client->SetScreenMode(1, 1024, 768, 0), 0);
  EXPECT_EQ(wnd->FullScreen(), 1);
  EXPECT_EQ(wnd->ClientSize(), GSize(1024, 768));
  EXPECT_EQ(Closes(), 0u);
  EXPECT_EQ(client->SetScreenMode(0, 0, 600, 0), -1);
  EXPECT_EQ(client->SetScreenMode(0, 800, -1, 0), -1);
  EXPECT_EQ(wnd->FullScreen(), 1) << "a bad size stores nothing";
  EXPECT_EQ(Closes(), 0u);
  plat::sim::SetDirectDrawAvailable(false);
  EXPECT_EQ(client->SetScreenMode(0, 800, 600, 0), -1);
  ASSERT_EQ(Closes(), 1u);
  EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[0].lParam, 1);
}

TEST_F(ClientTest, ObserveAnswerIsOkOnlyForTheTextOne) {
  struct Case { const char16_t* data; int32_t code; int32_t state; };
  const Case cases[] = {{u"1", 0x11000, 2}, {u"10", 0x11000, 0}, {u"", 3, 0}, {nullptr, 3, 0}, {u"1", 5, 0}};
  for (const Case& c : cases) {
    host.Clear();
    EXPECT_EQ(Event(kOther, 26, c.data, c.code), 0);
    EXPECT_EQ(scene->ObserveState(), c.state);
    EXPECT_EQ(host.SentBytes(), (std::vector<std::string>{Words({22, c.state})}));
  }
  EXPECT_EQ(scene->ObservePanel().Refreshes(), 1) << "a granted service answer reads the balances again";
}

TEST_F(ClientTest, EventTextsReachTheSceneConvertedAndOtherEventsDoNothing) {
  scene->ClearRecordedCalls();
  EXPECT_EQ(Event(kMe, 29, nullptr), 1);
  for (int32_t code : {13, 17, 18, 21, 25, 30}) EXPECT_EQ(Event(kMe, code, u"x"), 0) << code;
  EXPECT_EQ(client->OnHostEvent(kMe, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_TRUE(scene->RecordedCalls().empty());
  Event(kMe, 14, u"1|2|");
  Event(kMe, 16, nullptr);
  Event(kMe, 27, u"vip", 17);
  int32_t code = 28;
  client->OnHostEvent(kMe, &code, nullptr, nullptr);
  EXPECT_EQ(scene->RecordedCalls(), (std::vector<std::string>{"OnHostCardList(7, 14, 1|2|)", "OnHostCardList(7, 16, )",
                                                              "OnHostButton(vip, 17)", "ShowMemoButton(0)"}));
}

TEST_F(ClientTest, NoticeReportAndHostValuesEventsAnswerOnlyForTheirUser) {
  Event(kOther, 24, u"TYPE=1#TIME=3#MSG=x");
  EXPECT_TRUE(host.SentBytes().empty()) << "another user's notice";
  Event(kMe, 24, u"TYPE=1#TIME=2#MSG=x");
  EXPECT_TRUE(host.SentBytes().empty());
  Event(kMe, 24, u"TYPE=1#TIME=3#MSG=x");
  EXPECT_EQ(host.SentBytes(), (std::vector<std::string>{Words({27, kMe})}));
  host.Clear();
  Event(kMe, 24, u"TIME=3");
  EXPECT_TRUE(host.SentBytes().empty()) << "a notice that starts nothing is not acknowledged";
  SeatOther(1);
  scene->GetPlayer(1).gradeIndex = 4;
  Event(kMe, 23, nullptr);
  EXPECT_TRUE(host.Calls().empty()) << "reporting a user without a seat";
  Event(kOther, 23, nullptr);
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{"NotifyEvent(9, 27, \"9\", 4)"}));
  host.Clear();
  SeatMe(0);
  scene->SetSceneMode(CDorvik2VWS::kModeResult);
  const uint32_t words[8] = {42, 0xDEAD, 0x11223344, 0x55, 0xBEEF, 0xF00D, 0x99AABBCC, 0x01};
  EXPECT_EQ(Event(kOther, 22, words, 32), 0);
  EXPECT_EQ(Event(kMe, 22, nullptr, 32), 0);
  EXPECT_TRUE(host.SentBytes().empty()) << "another user's values, or none";
  Event(kMe, 22, words, 32);
  EXPECT_EQ(host.SentBytes(), (std::vector<std::string>{Words({20, 42, 0x11223344, 0x55, 0x99AABBCC, 0x01}),
                                                        "12 00 00 00"}));
}

TEST_F(ClientTest, CommandsAvatarNameAndStatusArriveConverted) {
  SeatOther(1);
  scene->ClearRecordedCalls();
  for (uint32_t code : {0u, 14u, 16u, 15u}) client->UserCommand(code, kOther, u"ignored", 0, 0);
  client->SetPlayerAvatar(u"you", u"hair|face|tail");
  client->SetPlayerDisplayName(u"you", u"철수");
  client->SetStatusText(u"대기");
  EXPECT_EQ(scene->GetPlayer(1).nickname, "철수");
  EXPECT_EQ(scene->RecordedCalls(),
            (std::vector<std::string>{"RequestKick(9)", "SetPlayerAvatar(you, hair, face)",
                                      "SetPlayerDisplayName(you, 철수)", "SetStatusText(대기)"}));
}

TEST_F(ClientTest, RefreshAndRoomViewResetThenRedrawAtOnce) {
  scene->ClearRecordedCalls();
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  EXPECT_EQ(client->RefreshScreen(0), 0);
  EXPECT_EQ(scene->RecordedCalls(), (std::vector<std::string>{"ResetGameState"}));
  EXPECT_EQ(scene->SceneModeValue(), CDorvik2VWS::kModeNone);
  EXPECT_FALSE(scene->IsFullRedraw()) << "the full redraw was drawn";
  EXPECT_FALSE(scene->IsDirty()) << "drawn at once";
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kTickTimer));
  scene->ClearRecordedCalls();
  EXPECT_EQ(client->ResetRoomView(0), 0);
  EXPECT_EQ(scene->RecordedCalls(), (std::vector<std::string>{"SetAutoPlay(0)", "ResetRoomView"}));
  EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kTickTimer));
  EXPECT_FALSE(scene->IsFullRedraw());
  EXPECT_FALSE(scene->IsDirty());
}

// A seated client tries to leave three times before it ends the game itself.
TEST_F(ClientTest, ExitTriesToLeaveThenEndsTheGame) {
  const std::string leave = "Send(-1, 1, [04 00 00 00], 4)";
  struct Case { bool seated; std::vector<int32_t> sendResults; std::vector<std::string> transcript; size_t closes; };
  const Case cases[] = {
      {true, {}, {leave, leave, leave, "SetPlayState(3)"}, 1},
      {true, {0}, {leave}, 0},
      {false, {}, {"SetPlayState(3)"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.transcript.size());
    host.Clear();
    plat::sim::ClearPostedMessages(hostWnd);
    scene->SetSceneMode(CDorvik2VWS::kModePlaying);
    scene->GetPlayer(0).Reset();
    if (c.seated) SeatMe(0);
    host.ScriptSendResults(c.sendResults, -1);
    EXPECT_EQ(client->RequestExit(0), 0);
    EXPECT_EQ(host.Transcript(), c.transcript);
    ASSERT_EQ(Closes(), c.closes);
    if (c.closes) {
      EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[0].lParam, 1);
      EXPECT_EQ(scene->SceneModeValue(), CDorvik2VWS::kModeWaiting);
    }
  }
}

}  // namespace
