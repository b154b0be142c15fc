// The game window as the host calls it: converted texts, seat look-ups, the screen
// mode, host events, refresh, leaving, and the defaults of a window without a scene.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "panels/CHelperView.h"
#include "panels/CVUserInfoWnd.h"
#include "panels/SkinnedPopup.h"
#include "plat/sim.h"
#include "support/GameTable.h"
#include "widgets/GVTextWnd.h"

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

TEST_F(ClientTest, EventTextsReachTheSceneConvertedAndOtherEventsDoNothing) {
  trace.Clear();
  host.Clear();
  EXPECT_EQ(Event(kMe, 29, nullptr), 1);
  for (int32_t code : {13, 17, 18, 21, 25, 30}) EXPECT_EQ(Event(kMe, code, u"x"), 0) << code;
  EXPECT_EQ(client->OnHostEvent(kMe, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_TRUE(trace.effects.empty() && trace.voices.empty());
  SeatOther(1);
  scene->GetPlayer(1).screenPos = 1;
  GVTextWnd* name = scene->Widgets().seatPanels[1]->TextOf(CVUserInfoWnd::kName);
  scene->GetPlayer(1).nickname = "renamed";
  Event(kMe, 14, u"1|2|");
  EXPECT_EQ(name->GetText(), "renamed") << "the card list refreshes the seat panels";
  scene->GetPlayer(1).nickname = "again";
  Event(kMe, 16, nullptr);
  EXPECT_EQ(name->GetText(), "again");
  Event(kMe, 27, u"vip", 17);
  int32_t code = 28;
  client->OnHostEvent(kMe, &code, nullptr, nullptr);
  EXPECT_TRUE(Lines(testing_support::HostSlot::NotifyEvent).empty()) << "no help popup yet: nothing opens";
  scene->VipManager().HelperView().ShowGameHelpPopup(CHelperView::kGameNumber, CHelperView::kDialogTemplate,
                                                     wnd->Handle());
  Event(kMe, 27, u"vip", 17);
  EXPECT_TRUE(IsWindowVisible(scene->VipManager().HelperView().Popup()));
  EXPECT_EQ(Lines(testing_support::HostSlot::NotifyEvent), std::vector<std::string>{R"(NotifyEvent(7, 45, "vip", 1))"});
  EXPECT_EQ(scene->GameInfo().cardNumbers, (std::vector<int32_t>{1, 2})) << "an empty removal removes nothing";
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

// A seated client tries to leave three times before it ends the game itself, through
// the exit reason of a client that left (close code 0 outside an item room).
TEST_F(ClientTest, ExitTriesToLeaveThenEndsTheGame) {
  const std::string leave = "Send(-1, 1, [04 00 00 00], 4)";
  struct Case { bool seated; std::vector<int32_t> sendResults; std::vector<std::string> transcript; size_t closes; };
  const Case cases[] = {
      {true, {}, {leave, leave, leave, "SetPlayState(3)"}, 1},
      {true, {0}, {leave}, 0},
      {false, {}, {}, 1},
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
      EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[0].lParam, 0);
      EXPECT_EQ(scene->GetSceneMode(), c.seated ? CDorvik2VWS::kModeWaiting : CDorvik2VWS::kModePlaying);
    }
  }
}

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
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_TRUE(PostedToHost(WM_GAME_CLOSE).empty());
}

TEST_F(ClientTest, ReservedSlotsAnswerZero) {
  EXPECT_EQ(client->Reserved1(0), 0);
  EXPECT_EQ(client->Reserved2(0), 0);
  EXPECT_EQ(client->Reserved3(0, 0), 0);
  EXPECT_EQ(client->Reserved15(0), 0);
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

TEST_F(ClientTest, ScreenModeStoresTheModeOrAsksToEnd) {
  EXPECT_EQ(client->SetScreenMode(1, 1024, 768, 0), 0);
  EXPECT_EQ(wnd->FullScreen(), 1);
  EXPECT_EQ(wnd->ClientSize(), GSize(1024, 768));
  EXPECT_EQ(Closes(), 0u);

  // A size of nothing fails as a failed rebuild does: the host is asked to end.
  EXPECT_EQ(client->SetScreenMode(0, 0, 600, 0), -1);
  EXPECT_EQ(client->SetScreenMode(0, 800, -1, 0), -1);
  EXPECT_EQ(wnd->FullScreen(), 1) << "a bad size stores nothing";
  EXPECT_EQ(wnd->ClientSize(), GSize(1024, 768));
  ASSERT_EQ(Closes(), 2u);

  // The rebuild keeps its DirectDraw object; the new primary it cannot make fails it.
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(client->SetScreenMode(0, 800, 600, 0), -1);
  ASSERT_EQ(Closes(), 3u);
  for (const auto& post : PostedToHost(WM_GAME_CLOSE)) EXPECT_EQ(post.lParam, 1);
}

// The kick is the scene's own now: its sound plays once, and with too little money a
// box says so (it closes itself) and nothing is sent.
TEST_F(ClientTest, OnlyUserCommandFifteenAsksToKick) {
  SeatMe(0);
  SeatOther(1);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->Model().tableOwnerUserNo = kMe;
  scene->GetRoomData().option.moneyPerPoint = 1000;
  scene->MyUser().money = 0;
  trace.Clear();
  host.Clear();
  for (uint32_t code : {0u, 14u, 16u, 15u}) client->UserCommand(code, kOther, u"ignored", 0, 0);
  EXPECT_EQ(trace.effects, std::vector<int32_t>{27});
  EXPECT_TRUE(host.SentBytes().empty());
}

TEST_F(ClientTest, AvatarNameAndStatusArriveConverted) {
  SeatOther(1);
  client->SetPlayerAvatar(u"you", u"hair|face|tail");
  client->SetPlayerDisplayName(u"you", u"철수");
  client->SetStatusText(u"대기");
  EXPECT_EQ(scene->GetPlayer(1).nickname, "철수");
  EXPECT_EQ(scene->Model().statusText, "대기");
}

}  // namespace
