// Auto-play's restart of the turn timer measured on the virtual clock, the host
// refresh post, and the kick boxes' texts as the box receives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/BoxWatch.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

class TopBarTimingTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
  }
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    GameTableTest::TearDown();
  }
  // Virtual milliseconds until the turn timer expires (its phase drops to 0); -1 when
  // it has not expired within `limit`.
  int32_t MsUntilTurnTimeout(int32_t limit) {
    constexpr int32_t kStep = 10;
    for (int32_t waited = 0; waited <= limit; waited += kStep) {
      if (scene->GetPhase() == 0) return waited;
      scene->WaitPumpingMessages(kStep);
    }
    return -1;
  }
};

// The timer restarts from the moment of the switch: on, at the auto-play limit of the
// phase when fewer seconds are left than shown; off, at the seconds left plus one. It
// restarts only for my own turn, except in the four-of-a-month question, whoever's.
TEST_F(TopBarTimingTest, AutoPlayRearmsTheTurnTimer) {
  constexpr int32_t kLeft = 15;
  struct Case {
    const char* what;
    int32_t phase, turnUser;
    std::vector<int32_t> switches;  // auto-play values set one after the other
    int32_t expectMs;               // when the timer runs out, within 10 ms
  };
  const Case cases[] = {
      {"on in my play", CDorvik2VWS::kPhasePlayCard, kMe, {1}, 1000},
      {"off again", CDorvik2VWS::kPhasePlayCard, kMe, {1, 0}, (kLeft + 1) * 1000},
      {"four of a month, not my turn", CDorvik2VWS::kPhaseFourOfMonth, kOther, {1}, 2000},
      {"another's play keeps its timer", CDorvik2VWS::kPhasePlayCard, kOther, {1}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scene->Model().autoPlay = 0;
    scene->Model().turnUserNo = c.turnUser;
    StartPhase(c.phase);
    scene->Timers().SetCountdown(kLeft, kLeft);
    for (int32_t on : c.switches) scene->SetAutoPlay(on);
    EXPECT_EQ(scene->GetPhase(), c.phase) << "the phase survives the restart";
    const int32_t limit = c.expectMs < 0 ? 2500 : c.expectMs + 20;
    const int32_t took = MsUntilTurnTimeout(limit);
    if (c.expectMs < 0) {
      EXPECT_EQ(took, -1);
    } else {
      EXPECT_GE(took, c.expectMs);
      EXPECT_LE(took, c.expectMs + 10);
    }
    scene->StopGameTimer(CDorvik2VWS::kTurnTimer);
  }
}

// The refresh is the same post the Enter key makes: the host's enter-key message.
TEST_F(TopBarTimingTest, HostRefreshPostsTheEnterKeyMessage) {
  scene->PostHostRefresh();
  auto posted = PostedToHost(WM_GAME_ENTER_KEY);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(std::pair(posted[0].wParam, posted[0].lParam), std::pair(WPARAM{0}, LPARAM{0}));
  scene->OnKeyDown(VK_RETURN, 1, 0);
  posted = PostedToHost(WM_GAME_ENTER_KEY);
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[1].message, posted[0].message);
}

// The three boxes, byte for byte as the box draws them (CP949), and no kick when the
// question could not be shown.
TEST_F(TopBarTimingTest, KickBoxesInTheirBytesAndNoKickWithoutAnAnswer) {
  scene->Model().tableOwnerUserNo = kMe;
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->GetRoomData().option.moneyPerPoint = 1000;
  testing_support::BoxWatch boxes(VK_RETURN);
  scene->MyUser().money = 6999;
  scene->RequestKick(kOther);
  scene->MyUser().money = 7000;
  scene->RequestKick(kOther);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->Model().kickAllowed = 0;
  scene->RequestKick(kOther);
  // The texts in CP949, whatever the test's own literals are compiled to; the cost's
  // money text carries the one unit.
  const std::string noMoney =
      " \xB0\xAD\xC1\xA6\xC5\xF0\xC0\xE5 \xBA\xF1\xBF\xEB(\xB5\xB5\xB8\xA3\xBA\xF2 \xB8\xD3\xB4\xCF)\xC0\xCC "
      "\xBA\xCE\xC1\xB7\xC7\xCF\xBF\xA9 \xB0\xAD\xC1\xA6\xC5\xF0\xC0\xE5 \xBD\xC3\xC5\xB3 \xBC\xF6 "
      "\xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9. ";
  const std::string question =
      " \xB5\xB5\xB8\xA3\xBA\xF2 \xB8\xD3\xB4\xCF 7000\xB3\xC9\xC0\xCC \xB0\xAD\xC1\xA6\xC5\xF0\xC0\xE5 "
      "\xBA\xF1\xBF\xEB\xC0\xB8\xB7\xCE \xC1\xF6\xBA\xD2\xB5\xCB\xB4\xCF\xB4\xD9. \n "
      "\xB0\xAD\xC1\xA6\xC5\xF0\xC0\xE5 \xBD\xC3\xC5\xB0\xB0\xDA\xBD\xC0\xB4\xCF\xB1\xEE? ";
  const std::string failed =
      " \xB0\xAD\xC1\xA6\xC5\xF0\xC0\xE5 \xBF\xE4\xC3\xBB\xC0\xCC \xBD\xC7\xC6\xD0\xC7\xDF\xBD\xC0\xB4\xCF\xB4\xD9.";
  const std::vector<std::string> want = {"ok: " + noMoney, "yes-no: " + question, "yes-no: " + question,
                                         "ok: " + failed};
  EXPECT_EQ(boxes.Seen(), want);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>{Words({5, kOther})}) << "the one Yes in a waiting room";

  host.Clear();
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  boxes.Forget();
  plat::sim::FailNext("DialogBoxParamA");
  scene->RequestKick(kOther);
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_TRUE(host.SentBytes().empty()) << "a question never shown is no Yes";
}

}  // namespace
