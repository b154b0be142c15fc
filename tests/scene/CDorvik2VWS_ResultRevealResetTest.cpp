// The result handler on the built table: the record's cards revealed with their marks
// and wait, the result panel shown, and the table reset taking every trace of the game
// (the reveal's marks, the captured piles' companions and pi counter, the bomb-card
// buttons) off the table.
#include <vector>

#include "plat/mmsystem.h"
#include "plat/sim.h"
#include "scene/SceneInputFixture.h"
#include "widgets/GVQLAniWnd.h"

namespace {

constexpr uint32_t kRevealWaitMs = 1500;
constexpr int32_t kRevealEffect = 18;

class ResultRevealResetTest : public scene_input_test::SceneInputTest {
 protected:
  const CDorvik2VWS::SceneWidgets& W() { return scene->Widgets(); }
  CVHTWnd* Card(int32_t w) { return scene->CardWndById(w); }
  GVWnd* Companion(int32_t w) { return scene->CardWidgets().companions[static_cast<size_t>(w)]; }
};

TEST_F(ResultRevealResetTest, TheResultRevealsTheRecordsCardsAndShowsThePanel) {
  scene->Seat(0).hand = {20};
  scene->Seat(1).hand = {21, 22, 23};
  scene->Model().game.deck = {30, 31};
  Card(20)->SetCard(44);
  GameResultMsg msg;
  msg.winnerUser = kMe;
  msg.nextDeckCards = {27, 26};
  msg.hands.at(0) = {5};
  msg.hands.at(1) = {37, 2, 18};
  const uint32_t before = timeGetTime();
  scene->OnGameResult(msg);
  EXPECT_GE(timeGetTime() - before, kRevealWaitMs);
  EXPECT_EQ(Card(30)->cardId, 27) << "the deck's top card takes the first of the list";
  EXPECT_EQ(Card(31)->cardId, kNoCard);
  EXPECT_TRUE(W().remainCloseAnim->IsVisible());
  EXPECT_EQ(W().remainCloseAnim->GetPos(), Card(30)->GetPos());
  const std::vector<int32_t> shown{Card(21)->cardId, Card(22)->cardId, Card(23)->cardId};
  EXPECT_EQ(shown, (std::vector<int32_t>{2, 18, 37}));
  EXPECT_EQ(Card(20)->cardId, 44) << "my own hand is known already";
  EXPECT_EQ(trace.effects.front(), kRevealEffect);
  EXPECT_TRUE(W().resultPanel->IsVisible());
}

// The winner's animation loops from the result on; the settlement's table reset ends it.
TEST_F(ResultRevealResetTest, TheSettlementStopsTheWinnersAnimation) {
  GameResultMsg result;
  result.winnerUser = kMe;
  result.winInfo.winnerSeat = 0;
  scene->OnGameResult(result);
  ASSERT_TRUE(W().winnerAnim->IsVisible());
  plat::sim::Advance(3000);
  EXPECT_TRUE(W().winnerAnim->IsVisible()) << "it loops";

  SettlementMsg settlement;
  scene->OnSettlement(settlement);
  EXPECT_FALSE(W().winnerAnim->IsVisible());
}

TEST_F(ResultRevealResetTest, TheTableResetClearsTheRevealAndThePiles) {
  auto& seat = scene->Seat(0);
  // A companion belongs to the card a widget shows: widget w shows card w here.
  for (int32_t w : {0, 8, 1, 5, 9, 3}) Card(w)->SetCard(w);
  seat.captured.at(kKindGwang) = {0, 8};
  seat.captured.at(kKindTti) = {1, 5, 9};
  scene->RelayoutCapturedPile(0, kKindGwang);
  scene->RelayoutCapturedPile(0, kKindTti);
  for (int32_t w : {0, 8, 1, 5, 9}) ASSERT_TRUE(Companion(w)->IsVisible()) << w;
  seat.captured.at(kKindPi) = {3};
  seat.piScore = 1;
  scene->RelayoutPiPile(0);
  GVWnd* piCounter = scene->CardWidgets().piCounters[0];
  ASSERT_TRUE(piCounter->IsVisible());
  scene->Model().game.deck = {30};
  scene->RevealResultCards({12}, {std::vector<FlowerCard>{}, std::vector<FlowerCard>{}});
  ASSERT_TRUE(W().remainCloseAnim->IsVisible());
  W().remainHoldAnims[1]->Play(-1, 0);

  scene->ClearTable();
  for (int32_t w = 0; w < CDorvik2VWS::kCardWidgets; ++w) EXPECT_FALSE(Companion(w)->IsVisible()) << w;
  EXPECT_FALSE(piCounter->IsVisible());
  EXPECT_FALSE(W().remainCloseAnim->IsVisible());
  for (GVQLAniWnd* reveal : W().remainHoldAnims) EXPECT_FALSE(reveal->IsVisible());
}

// A hand with bomb turns pending shows their buttons beside it; the next game's table
// has none until its own bombs.
TEST_F(ResultRevealResetTest, TheTableResetHidesTheBombCardButtons) {
  auto& seat = scene->Seat(0);
  for (int32_t w = 0; w < 4; ++w) Card(w)->SetCard(4 * w + 1);
  seat.hand = {0, 1, 2, 3};
  seat.bombDummyCount = 2;
  scene->SortMyHand(0, 0);
  const auto& buttons = scene->CardWidgets().bombDummies;
  ASSERT_TRUE(buttons[0]->IsVisible() && buttons[1]->IsVisible());

  scene->ClearTable();
  for (size_t b = 0; b < buttons.size(); ++b) EXPECT_FALSE(buttons[b]->IsVisible()) << b;
}

}  // namespace
