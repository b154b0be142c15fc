// One game's start as the server drives it and a person answers it, through the window
// system: the commands this client sends, byte for byte, the stake vote's expiry, and
// the cards a turn draws into the hands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"

namespace game_start_sequence {

using testing_support::GameTableTest;

constexpr int32_t kGcStakeVoteAnswer = 7;
constexpr int32_t kGcStartGame = 9;
constexpr int32_t kGcSunPick = 10;
constexpr int32_t kGcPlayCard = 12;
constexpr int32_t kGcPromotionRequest = 19;

class GameStartSequenceTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
    SetFocus(wnd->Handle());
  }
  std::vector<FlowerCard> HandIds(int32_t seat) {
    std::vector<FlowerCard> ids;
    for (int32_t w : scene->Seat(seat).hand) ids.push_back(scene->CardIdOfWidget(w));
    return ids;
  }
};

TEST_F(GameStartSequenceTest, FromTheWaitingTableToMyFirstCard) {
  scene->Model().autoStart = 1;
  WaitingStateMsg waiting;
  waiting.userNo = kMe;
  Send<HM_BACK_TO_WAITING>(waiting);

  SunSelectMsg select;
  select.pickCount = 12;
  Send<HM_SUN_SELECT>(select);
  constexpr int32_t kSlot = 4;
  const auto& picks = scene->GetFloorState().floorCards;
  ASSERT_EQ(picks.size(), 12u);
  const GPoint at = Centre(scene->CardWndById(picks[kSlot]));
  RunInjected([&] { plat::sim::Click(wnd->Handle(), at.x, at.y); });
  ASSERT_EQ(Sent().size(), 2u) << "the click picks";
  Send<HM_SUN_PICK>(SunPickMsg{kMe, kSlot, 20});
  Send<HM_SUN_PICK>(SunPickMsg{kOther, 7, 30});
  Send<HM_SUN_DECIDED>(SunDecidedMsg{kMe});

  Deal();
  Send<HM_TURN>(TurnMsg{kMe, 0});
  ASSERT_EQ(scene->GetPhase(), CDorvik2VWS::kPhasePlayCard);
  RunInjected([] { plat::sim::PressKey(VK_F1); });

  // F1 plays the first card of my sorted hand.
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({kGcStartGame, 0}), Words({kGcSunPick, 0, kSlot}),
                                               Words({kGcPromotionRequest, 5, 0}), Words({kGcPlayCard, 0, 1, 0})}));
}

TEST_F(GameStartSequenceTest, TheStakeVoteExpiresWithItsDefaultAnswer) {
  struct Case {
    bool seated;
    int32_t autoPlay;
    uint32_t limitMs;  // auto-play answers sooner than the shown countdown runs
    std::vector<std::string> sent;
  };
  const Case cases[] = {
      {true, 0, 5000, {Words({kGcStakeVoteAnswer, 1})}},
      {true, 1, 2000, {Words({kGcStakeVoteAnswer, 0})}},
      {false, 0, 5000, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seated << " " << c.autoPlay);
    if (c.seated) SeatMe(0);
    else scene->GetPlayer(0).Reset();
    scene->Model().autoPlay = c.autoPlay;
    host.Clear();
    Send<HM_STAKE_VOTE>(StakeVoteMsg{});
    EXPECT_EQ(scene->Timers().CountdownStart(), 5) << "the table shows the room's limit";
    plat::sim::Advance(c.limitMs - 1);
    EXPECT_TRUE(Sent().empty()) << "not before the limit";
    EXPECT_EQ(scene->GetPhase(), CDorvik2VWS::kPhaseStakeVote);
    plat::sim::Advance(1);
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(scene->GetPhase(), 0);
    EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kTurnTimer));
  }
}

TEST_F(GameStartSequenceTest, ATurnDrawsTheCardsItNames) {
  scene->CardTable().ResetWidgets();
  auto& deck = scene->Model().game.deck;
  deck.clear();
  for (int32_t w = 0; w < CCardTable::kCardWidgets; ++w) deck.push_back(w);
  scene->Model().game.inProgress = 1;
  Send<HM_TURN_WITH_CARDS>(TurnCardsMsg{kMe, 0, 0, {}, 0, {45, -1, 50, 2}});
  EXPECT_EQ(HandIds(0), (std::vector<FlowerCard>{2, 45})) << "ids outside the fifty draw nothing";
  EXPECT_EQ(deck.size(), 48u);

  // The other side's draws stay face down; a card already on the table is not drawn a
  // second time; a full hand takes no more.
  Send<HM_TURN_WITH_CARDS>(TurnCardsMsg{kOther, 0, 0, {}, 0, {46}});
  EXPECT_EQ(HandIds(1), std::vector<FlowerCard>{kNoCard});
  Send<HM_TURN_WITH_CARDS>(TurnCardsMsg{kMe, 0, 0, {}, 0, {45, 0, 4, 8, 12, 16, 20, 24, 28, 32}});
  EXPECT_EQ(HandIds(0), (std::vector<FlowerCard>{0, 2, 4, 8, 12, 16, 20, 24, 28, 45}));
  EXPECT_EQ(deck.size(), 50u - 11);
}

}  // namespace game_start_sequence
