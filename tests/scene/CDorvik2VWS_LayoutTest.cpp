// The table layout: spreading, the floor laid at once, the deck, companions and the
// September clip, pi rows and counter, card looks, the seats' hands and the table reset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/CardTableFixture.h"

namespace layout_test {

using LayoutTest = card_table::CardTableTest;

TEST_F(LayoutTest, PilesSpreadByTheirCountAndCompanionsLieBeneath) {
  struct Case { int32_t n, span, step; };
  for (const Case& c : {Case{1, 80, 18}, Case{3, 80, 18}, Case{4, 80, 14}, Case{7, 80, 7}, Case{5, 88, 13}}) {
    EXPECT_EQ(CCardTable::SpreadStep(c.n, c.span), c.step) << c.n;
  }
  auto& open = scene->Model().floor;
  for (int32_t n : {3, 4, 7}) {
    open.floorCards.clear();
    for (int32_t w = 0; w < n; ++w) {
      Card(w)->floorSlot = 2;
      open.floorCards.push_back(w);
    }
    open.slots.at(2).cardCount = n;
    scene->RestackFloorSlot(2);
    EXPECT_EQ(Pos(n - 1), GPoint(242 + (n - 1) * CCardTable::SpreadStep(n, 80), 235)) << n;
  }
  scene->RestackFloorSlot(12);
  Shuffle();
  auto& gwang = scene->Model().game.seats[0].captured[kKindGwang];
  gwang = {WidgetOf(0), WidgetOf(8), WidgetOf(28), WidgetOf(40), WidgetOf(44)};
  scene->RelayoutCapturedPile(0, kKindGwang);
  for (int32_t k = 0; k < 5; ++k) {
    const int32_t w = gwang[static_cast<size_t>(k)];
    EXPECT_EQ(Pos(w), GPoint(20 + 13 * k, 458)) << k;
    GVWnd* companion = scene->CardWidgets().companions[static_cast<size_t>(Card(w)->cardId)];
    EXPECT_EQ(Z(companion), Z(Card(w)) + 1) << k;
    EXPECT_EQ(companion->GetPos(), Pos(w));
  }
  auto& yeol = scene->Model().game.seats[1].captured[kKindYeol];
  yeol = {WidgetOf(4), WidgetOf(32)};
  scene->RelayoutCapturedPile(1, kKindYeol);
  GVWnd* clip = scene->CardWidgets().nineTenClip;
  EXPECT_TRUE(clip->IsVisible());
  EXPECT_EQ(clip->GetPos(), Pos(WidgetOf(32)) - GSize(6, 0));
  EXPECT_EQ(Z(clip), Z(Card(WidgetOf(32))) + 1);
  EXPECT_EQ(scene->ShowNineTenClip(0, 1), 0) << "seat 0 has no card 32";
}

TEST_F(LayoutTest, PlaceFloorCardsSortsFindsSlotsAndRefusesBadLists) {
  FullDeck();
  std::vector<std::array<int32_t, 2>> pairs{{5, 48}};
  ASSERT_EQ(scene->PlaceFloorCards({48, 21, 4, 20}, pairs, 0, 21), 1);
  auto& open = scene->Model().floor;
  EXPECT_EQ(open.floorCards, (std::vector<int32_t>{0, 1, 2, 3}));
  std::vector<int32_t> facts;
  for (int32_t w = 0; w < 4; ++w) facts.insert(facts.end(), {Card(w)->cardId, Card(w)->floorSlot});
  EXPECT_EQ(facts, (std::vector<int32_t>{4, 0, 20, 1, 21, 1, 48, 1}));
  EXPECT_EQ(std::make_pair(open.slots.at(1).cardCount, scene->Model().game.lastFloorSlot), std::make_pair(3, 1));
  EXPECT_TRUE(pairs.empty());
  EXPECT_EQ(Pos(3), GPoint(364 + 36, 311)) << "restacked";
  struct Case { const char* name; std::vector<int32_t> ids; int32_t keep, result; };
  const Case cases[] = {{"no pair", {7, 49}, 0, 0},     {"a missing pair's month", {7, 48}, 0, 1},
                        {"duplicate", {7, 7}, 0, 0},    {"out of range", {7, 50}, 0, 0},
                        {"empty, keep", {}, 1, 0},      {"empty", {}, 0, 1}};
  for (const Case& c : cases) {
    FullDeck();
    scene->Model().game.lastFloorSlot = -1;
    std::vector<std::array<int32_t, 2>> p{{3, 48}};
    EXPECT_EQ(scene->PlaceFloorCards(c.ids, p, c.keep, -1), c.result) << c.name;
  }
  EXPECT_EQ(scene->Model().game.lastFloorSlot, 0);
  scene->Model().game.deck = {0};
  EXPECT_EQ(scene->PlaceFloorCards({1, 2}, pairs, 0, -1), 0) << "the deck runs out";
}

TEST_F(LayoutTest, DeckStepsUpLeftEveryFourCards) {
  scene->StackDeck(1);
  for (const auto& [w, at] : std::vector<std::pair<int32_t, GPoint>>{
           {49, {331, 241}}, {46, {331, 241}}, {45, {330, 240}}, {2, {320, 230}}, {0, {319, 229}}}) {
    EXPECT_EQ(Pos(w), at) << w;
  }
  scene->Model().game.deck = {7, 8, 9, 10, 11};
  scene->StackDeck(0);
  EXPECT_EQ(Pos(8), GPoint(331, 241));
  EXPECT_EQ(Pos(7), GPoint(330, 240));
}

TEST_F(LayoutTest, PiRowsPassDoubleCardsOnAndTheCounterFollows) {
  Show({2, 3, 6, 7, 10, 11, 14, 15, 18, 19, 22, 23});
  using Rows = std::vector<std::vector<int32_t>>;
  EXPECT_EQ(table_->PiRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), (Rows{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11}}));
  Card(9)->SetCard(48);
  const std::vector<int32_t> nineAnd48{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(table_->PiRows(nineAnd48), (Rows{{0, 1, 2, 3, 4, 5, 6, 7, 8}, {9}}));
  scene->Model().game.seats[0].captured[kKindPi] = nineAnd48;
  scene->RelayoutPiPile(0);
  EXPECT_EQ(scene->Model().game.seats[0].piScore, 12);
  EXPECT_EQ(Pos(8), GPoint(260 + 8 * 12, 458));
  EXPECT_EQ(Pos(9), GPoint(260, 470));
  CVCountWnd* counter = scene->CardWidgets().piCounters[0];
  EXPECT_EQ(counter->GetPos(), GPoint(260 + 36 + 2, 470));
  EXPECT_TRUE(counter->IsVisible());
  EXPECT_EQ(counter->Text()->GetText(), "12");
  EXPECT_EQ(counter->Text()->GetPos(), counter->GetPos() + CVCountWnd::kTextOffset) << "the count rides on its picture";
}

TEST_F(LayoutTest, CardLooksKeepTheTopLeft) {
  CVHTWnd* card = Card(5);
  card->SetCard(5);
  card->SetPos({100, 120});
  for (int32_t look : {0, 2, 1}) {
    scene->SetCardSize(card, look);
    EXPECT_EQ(card->GetRect(), GRect(GPoint(100, 120), CVHTWnd::kLookSizes[look])) << look;
    EXPECT_EQ(card->GetSourceRect().top, 5 * CVHTWnd::kLookSizes[look].cy);
  }
  scene->SetCardSize(card, 3);
  scene->SetCardSize(nullptr, 0);
  EXPECT_EQ(card->GetRect().Size(), GSize(36, 55));
}

TEST_F(LayoutTest, SeatsTakeTheirHandSlotsAndATableResetGathersTheDeck) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  auto& hand0 = scene->Model().game.seats[0].hand;
  for (int32_t w = 0; w < 11; ++w) hand0.push_back(w);
  scene->Model().game.seats[1].hand = {20, 21, 22, 23, 24, 25};
  scene->RelayoutSeats();
  const std::vector<GPoint> bottom{{405, 388}, {448, 388}, {491, 388}, {534, 388}, {577, 388},
                                   {405, 452}, {448, 452}, {491, 452}, {534, 452}, {577, 452}};
  for (int32_t k = 0; k < 10; ++k) EXPECT_EQ(Card(k)->GetRect(), GRect(bottom[size_t(k)], GSize(40, 61))) << k;
  EXPECT_EQ(Pos(10), CDorvik2VWS::kDeckPoint) << "an eleventh card has no slot";
  EXPECT_EQ(Card(24)->GetRect(), GRect(GPoint(580, 40), GSize(25, 36)));
  EXPECT_EQ(Pos(25), GPoint(472, 78));
  auto& list = scene->GetWndList();
  list.reverse();
  Card(3)->SetHighlight(2, nullptr, 0, 0);
  scene->ClearTable();
  for (int32_t w = 0; w < CDorvik2VWS::kCardWidgets; ++w) {
    EXPECT_EQ(Card(w)->GetRect(), GRect(CDorvik2VWS::kDeckPoint, GSize(36, 55))) << w;
    EXPECT_EQ(Card(w)->GetSourceRect().top, 50 * 55) << w;
    EXPECT_EQ(Z(Card(w)), Z(Card(0)) + w) << w;
  }
  const auto& widgets = scene->CardWidgets();
  EXPECT_EQ(Z(widgets.nineTenClip), Z(widgets.autoPlayNotice) + 1);
  EXPECT_TRUE(widgets.deckShadow->IsVisible());
  EXPECT_FALSE(widgets.glow->IsVisible());
}

}  // namespace layout_test
