// The card table without a scene: a game model, a widget list and a host that notes
// what the table asks of it. The deal, the speed's steps, frame skipping, the host's
// notes on a capture, and the deck and card ids that must change nothing.
#include "scene/CCardTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/sim.h"
#include "scene/CardTableFixture.h"
#include "scene/SceneEffects.h"
#include "widgets/GVWS.h"

namespace card_table_test {

class FakeHost : public ICardTableHost {
 public:
  void PlayCardEffect(int32_t effect) override { effects.push_back(effect); }
  void PlayCardVoice(int32_t cue, int32_t seat) override { voices.push_back({cue, seat}); }
  // A frame takes its time, and the first `overrunMs` more.
  void WaitWhileCardsMove(uint32_t ms) override {
    waits.push_back(ms);
    plat::sim::AdvanceClock(ms + overrunMs);
    overrunMs = 0;
  }
  void MarkCardsDirty() override { ++dirty; }
  void RedrawCards() override { ++redraws; }
  GVWS& CardWndList() override { return list; }
  GVWnd* RemainingCardsBoard() override { return nullptr; }
  void NoteMissionCard(int32_t seat, FlowerCard card, int32_t exclusive) override {
    const std::string from = exclusive ? " from the other" : "";
    notes.push_back("mission " + std::to_string(seat) + " " + std::to_string(card) + from);
  }
  void ShowMissionCardMarks(int32_t show) override { notes.push_back(show ? "marks" : "no marks"); }
  int32_t SideOfSeat(int32_t seat) override { return seat == 0 || seat == 1 ? seat : -1; }
  bool IsMyHumanSeat(int32_t seat) override { return seat == 0; }

  GVWS list;
  std::vector<int32_t> effects;
  std::vector<std::array<int32_t, 2>> voices;
  std::vector<uint32_t> waits;
  std::vector<std::string> notes;
  int32_t dirty = 0, redraws = 0;
  uint32_t overrunMs = 0;
};

class CCardTableTest : public testing::Test, protected card_table::CardTableAccess {
 protected:
  void SetUp() override {
    table_ = &table;
    model_ = &model;
    list_ = &host.list;
    table.SetWidgets(card_table::MakeCardWidgets(host.list, &host.list));
  }
  uint32_t WaitedMs() const {
    uint32_t total = 0;
    for (uint32_t ms : host.waits) total += ms;
    return total;
  }
  FakeHost host;
  CGameModel model;
  CCardTable table{model, host};
};

TEST_F(CCardTableTest, TheOpeningDealRunsOnTheModelAndTellsOnlyItsHost) {
  model.game.dealCards = {8, 20, 44, 1, 14, 26, 37, 30};
  model.game.dealtHand = {5, 9, 13, 17, 21, 25, 29, 33, 40, 45};
  table.OpeningDeal();
  using namespace scene_effects;
  EXPECT_EQ(host.effects, (std::vector<int32_t>{kDeal, kDeal, kDealDone}));
  EXPECT_EQ(WaitedMs(), 6 * 3 * 8 + 2 * 200 + 500u) << "six deals of three frames, two pauses, the quiet end";
  EXPECT_EQ(model.floor.floorCards, (std::vector<int32_t>{0, 1, 2, 3, 14, 15, 16, 17}));
  EXPECT_EQ(model.game.deck.size(), 50u - 28);
  EXPECT_EQ(User(0).hand.size(), 10u);
  EXPECT_EQ(Card(User(0).hand[9])->cardId, 45) << "my hand is shown";
  EXPECT_EQ(Card(User(1).hand[9])->cardId, kNoCard) << "the other stays face down";
  EXPECT_EQ(Pos(User(1).hand[9]), CCardTable::HandSlotPoint(1, 9));
  EXPECT_EQ(host.redraws, 1);
}

TEST_F(CCardTableTest, SpeedSetsTheStepsOfEveryMove) {
  struct Case { int32_t speed, steps; };
  for (const Case& c : {Case{-9, 9}, Case{-3, 9}, Case{-1, 5}, Case{0, 3}, Case{1, 1}, Case{3, 1}, Case{9, 1}}) {
    table.SetSpeed(c.speed);
    for (int32_t which : {0, 1, 2}) EXPECT_EQ(table.AnimSteps(which), c.steps) << c.speed;
  }
  model.game.deck = {0};
  table.SetSpeed(-1);
  table.DrawCardToHand(0);
  EXPECT_EQ(table.LastMoveSteps(), 5);
}

TEST_F(CCardTableTest, AnOverrunFrameSkipsOneWaitOnlyAtPositiveSpeed) {
  struct Case { int32_t speed; size_t waits; };
  for (const Case& c : {Case{1, 2}, Case{0, 3}, Case{-1, 3}}) {
    table.SetSpeed(c.speed);
    host.waits.clear();
    host.overrunMs = 2 * CCardTable::kCardFrameMs;
    table.MoveCardTo(1, {50, 50}, 3, 0, 0);
    EXPECT_EQ(host.waits.size(), c.waits) << c.speed;
    EXPECT_EQ(Pos(1), GPoint(50, 50));
  }
}

TEST_F(CCardTableTest, ACaptureNotesTheMissionCardAndLandsOnThePile) {
  Shuffle();
  OnFloor(WidgetOf(2), 2, 0);
  GVWnd* counter = table.GetWidgets().piCounters[1];
  counter->Show(0);
  table.TakeFloorCard(2, 1);
  EXPECT_EQ(host.notes, (std::vector<std::string>{"mission 1 2", "marks"}));
  EXPECT_EQ(host.effects, std::vector<int32_t>{scene_effects::kLand});
  EXPECT_EQ(User(1).captured[kKindPi], std::vector<int32_t>{WidgetOf(2)});
  EXPECT_TRUE(model.floor.floorCards.empty());
  EXPECT_EQ(Z(table.GetWidgets().companions[2]), Z(Card(WidgetOf(2))) + 1);
  EXPECT_TRUE(counter->IsVisible()) << "the top side counts its first pi";
}

// A stolen card changes hands on the mission panel too; a card moved within one seat's
// piles stays that seat's.
TEST_F(CCardTableTest, AStolenCardIsTakenFromTheOtherSeatForTheMission) {
  Shuffle();
  User(1).captured[kKindPi] = {WidgetOf(2)};
  User(0).captured[kKindYeol] = {WidgetOf(32)};
  for (GVWnd* counter : table.GetWidgets().piCounters) counter->Show(1);
  table.StealPi(2, 1, 0);
  table.MoveCapturedCard(32, 0, kKindYeol, kKindPi);
  EXPECT_EQ(host.notes, (std::vector<std::string>{"mission 0 2 from the other", "mission 0 32"}));
  EXPECT_TRUE(table.GetWidgets().piCounters[0]->IsVisible());
  EXPECT_FALSE(table.GetWidgets().piCounters[1]->IsVisible()) << "the robbed side has no pi left";
}

TEST_F(CCardTableTest, AnEmptyDeckGivesNothingToHandsOrPiles) {
  Shuffle();
  model.game.deck.clear();
  CVHTWnd* last = Card(CCardTable::kCardWidgets - 1);
  const GPoint lastAt = last->GetPos();
  const FlowerCard lastCard = last->cardId;
  table.DrawCardToHand(0);
  table.AddDeckCardsToPile(0, kKindPi, {5, 6});
  table.DealDummyCards(1, 3);
  for (int32_t seat : {0, 1}) {
    EXPECT_TRUE(User(seat).hand.empty()) << seat;
    for (const auto& pile : User(seat).captured) EXPECT_TRUE(pile.empty()) << seat;
  }
  EXPECT_EQ(last->GetPos(), lastAt);
  EXPECT_EQ(last->cardId, lastCard);
}

TEST_F(CCardTableTest, CardIdsOutsideTheFiftyChangeNothing) {
  Shuffle();
  OnFloor(WidgetOf(2), 2, 0);
  User(0).captured[kKindPi] = {WidgetOf(3)};
  FullDeck();
  const auto floor = model.floor.floorCards;
  const auto deck = model.game.deck;
  for (FlowerCard bad : {-1, 50, 1000}) {
    table.StealPi(bad, 0, 1);
    table.TakeFloorCard(bad, 0);
    table.MoveCapturedCard(bad, 0, kKindPi, kKindPi - 1);
    table.AddDeckCardsToPile(1, kKindPi, {4, bad});
    table.FlipDeckCard(bad, 0);
    table.PlayCardToFloor(bad, 1, 0);
    table.PlayBonusCard(bad, 1);
  }
  EXPECT_EQ(model.floor.floorCards, floor);
  EXPECT_EQ(model.game.deck, deck);
  EXPECT_EQ(User(0).captured[kKindPi], std::vector<int32_t>{WidgetOf(3)});
  for (const auto& pile : User(1).captured) EXPECT_TRUE(pile.empty());
}

TEST_F(CCardTableTest, TheRulesSeeTheCardsTheWidgetsShow) {
  Shuffle();
  model.myUser.userNo = 7;
  model.room.seats.Player(1).userNo = 7;
  const RulesView view = table.ViewForRules();
  EXPECT_EQ(view.mySeat, 1);
  EXPECT_EQ(view.cardOfWidget(WidgetOf(30)), 30);
}

}  // namespace card_table_test
