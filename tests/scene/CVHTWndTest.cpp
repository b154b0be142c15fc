// The card model: the card table, pi values, the card widget's reset, identity,
// highlight and marks, queries on shuffled identities, and the remaining-cards board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/CardTableFixture.h"
#include "widgets/WidgetTestSupport.h"

namespace cvhtwnd_test {

using card_table::CardTableTest;
using card_table::CountingWnd;

TEST(CardInfoTableTest, EveryRowAndThePiValues) {
  // Four cards a month: kind and set digits, month by month, then the bonus cards.
  const std::string kinds = "0233" "1233" "0233" "1233" "1233" "1233" "1233" "0133" "1233" "1233" "0333" "0123" "33";
  const std::string sets = "7311" "6311" "7311" "6511" "0511" "0411" "0511" "7611" "2411" "0411" "7211" "7002" "22";
  for (int32_t id = 0; id < kCardCount; ++id) {
    const CardInfo info = CardInfoTable[static_cast<size_t>(id)];
    EXPECT_EQ(info.month, id < 48 ? id / 4 : 12) << id;
    EXPECT_EQ(info.kind, kinds[static_cast<size_t>(id)] - '0') << id;
    EXPECT_EQ(info.set, sets[static_cast<size_t>(id)] - '0') << id;
  }
  EXPECT_EQ(PiValueOf(48) + PiValueOf(41) + PiValueOf(2), 6);
  EXPECT_EQ(PiValueOf(0) + PiValueOf(32) + PiValueOf(49) + PiValueOf(50), 4);
}

using CardWndTest = CardTableTest;

TEST_F(CardWndTest, ResetSetCardAndOutOfRangeIds) {
  CVHTWnd* card = Card(3);
  auto facts = [card] {
    return std::vector<int32_t>{card->cardId, card->month, card->kind, card->set, card->floorSlot, card->highlightMode};
  };
  card->SetCard(9);
  card->floorSlot = 4;
  card->SetHighlight(1, nullptr, 0, 0);
  EXPECT_EQ(card->GetSourceRect(), GRect(0, 9 * 55, 36, 10 * 55));
  card->Reset();
  EXPECT_EQ(facts(), std::vector<int32_t>({50, 12, -1, 0, -1, 0}));
  for (int32_t bad : {-1, 50, 51}) {
    card->SetCard(bad);
    EXPECT_EQ(facts(), std::vector<int32_t>({50, 12, -1, 0, -1, 0})) << bad;
    EXPECT_EQ(card->GetSourceRect().top, 50 * 55) << bad;
  }
  EXPECT_EQ(std::make_pair(scene->CardWndById(-1), scene->CardWndById(50)), std::make_pair(Card(49), Card(49)));
}

TEST_F(CardWndTest, HighlightMovesTheCardAndItsMarks) {
  CVHTWnd* card = Card(0);
  card->SetPos({100, 200});
  EXPECT_EQ(card->SetHighlight(1, scene, 3, 0), 1);
  const GPoint raised = card->GetPos();
  EXPECT_EQ(card->SetHighlight(2, scene, 3, 0), 1);
  EXPECT_EQ(card->GetPos() - raised, GSize(1, 2));
  EXPECT_EQ(card->SetHighlight(2, scene, 3, 0), 0);
  EXPECT_EQ(card->GetPos() - raised, GSize(1, 2));
  const auto& hints = scene->CardWidgets().handHints[3];
  for (GVWnd* hint : hints) EXPECT_EQ(hint->GetPos(), GPoint(101, 201));
  EXPECT_EQ(card->SetHighlight(0, nullptr, 3, 0), 1);
  EXPECT_EQ(card->GetPos(), GPoint(100, 200));
  card->SetHighlight(1, nullptr, 3, 0);
  card->ResetPlacement(scene, 3, 0);
  EXPECT_EQ(std::make_pair(card->GetPos(), card->highlightOffset), std::make_pair(GPoint(100, 199), GPoint()));
  EXPECT_EQ(hints[0]->GetPos(), GPoint(100, 199));
}

TEST_F(CardWndTest, MarksMoveOnlyWhenTheirPlaceChanges) {
  CCardTable::Widgets w = scene->CardWidgets();
  auto moves = [](GVWnd* wnd) { return static_cast<CountingWnd*>(wnd)->moves; };
  w.handHints[3][2]->Show(0);
  w.handHints[3][5]->SetPos({50, 60});
  GVWnd* missing = w.handHints[3][6];
  w.handHints[3][6] = nullptr;
  table_->SetWidgets(w);
  std::vector<int32_t> before;
  for (GVWnd* hint : w.handHints[3]) before.push_back(hint ? moves(hint) : 0);
  CVHTWnd::MoveCardMarks({50, 60}, scene, 3, 0);
  for (size_t k = 0; k < 8; ++k) {
    if (k == 6) continue;
    EXPECT_EQ(w.handHints[3][k]->GetPos(), GPoint(50, 60)) << k;
    EXPECT_EQ(moves(w.handHints[3][k]) - before[k], k == 5 ? 0 : 1) << k;
  }
  w.handHints[3][6] = missing;
  table_->SetWidgets(w);
  CVHTWnd::MoveCardMarks({70, 80}, scene, 5, 1);  // a floor outline sits up-left of its card
  EXPECT_EQ(w.floorOutlines[5]->GetPos(), GPoint(67, 77));
  auto snapshot = [&] {
    std::vector<int32_t> out;
    for (GVWnd* m : w.floorOutlines) out.push_back(moves(m));
    for (auto& slot : w.handHints) {
      for (GVWnd* m : slot) out.push_back(moves(m));
    }
    return out;
  };
  const std::vector<int32_t> all = snapshot();
  CVHTWnd::MoveCardMarks({1, 1}, scene, 12, 1);
  CVHTWnd::MoveCardMarks({1, 1}, scene, 10, 0);
  CVHTWnd::MoveCardMarks({1, 1}, nullptr, 0, 0);
  EXPECT_EQ(snapshot(), all);
}

TEST_F(CardWndTest, QueriesReadShuffledIdentities) {
  Shuffle();
  ASSERT_EQ(WidgetOf(20), 13);
  const std::vector<int32_t> pile{WidgetOf(8), WidgetOf(9), WidgetOf(33), 20};
  EXPECT_EQ(scene->FindCardOfMonth(pile, 2), WidgetOf(9)) << "the later of two";
  EXPECT_EQ(scene->FindCardOfMonth(pile, 5), -1);
  EXPECT_EQ(scene->FindCardOfSet(pile, kSetChungdan), WidgetOf(33));
  EXPECT_EQ(scene->CountCardsOfMonth(pile, 2), 2);
  EXPECT_EQ(scene->CountCardsOfSet(pile, kSetHongdan), 1);
  EXPECT_EQ(CDorvik2VWS::ListContains(pile, 20), 1);
  EXPECT_EQ(scene->PileHasCard(pile, 20), 0) << "widget 20 shows card 27";
  EXPECT_EQ(scene->PileHasCard(pile, 27), 1);
  EXPECT_EQ(scene->FindWidgetOfCard({5, 7, 9}, 14), 7);
  EXPECT_EQ(CDorvik2VWS::FirstCard(pile), WidgetOf(8));
  EXPECT_EQ(CDorvik2VWS::LastCard({}), -1);
  Show({48, 41, 2});
  EXPECT_EQ(table_->PiValueOfPile({0, 1, 2}), 6);
}

TEST_F(CardWndTest, TheBoardShowsMonthCardsAndCoversSeenOnes) {
  // A strip of 2 x 3 cells: cell n is filled with n + 1, and its top-left pixel is the key.
  constexpr uint32_t kKey = 0x3F;
  auto* strip = new GVDDSWnd;
  ASSERT_TRUE(strip->CreateBlank(SIZE{2, 3 * 49}, kKey));
  scene->AddWnd(strip);
  for (int32_t n = 0; n < 49; ++n) {
    RECT cell{0, n * 3, 2, n * 3 + 3};
    RECT corner{0, n * 3, 1, n * 3 + 1};
    FillSurfaceRect(strip->GetSurface(), &cell, static_cast<DWORD>(n + 1), DDBLT_WAIT);
    FillSurfaceRect(strip->GetSurface(), &corner, kKey, DDBLT_WAIT);
  }
  SetSurfaceColorKey(strip->GetSurface(), kKey);
  auto* board = new GVDDSWnd;
  ASSERT_TRUE(board->CreateBlank(SIZE{12, 48}, kKey));
  scene->AddWnd(board);
  ClearSurface(board->GetSurface(), 7);
  EditCards([board](CCardTable::Widgets& w) { w.cardBoard = board; });
  scene->UpdateCardBoard(0, 1);
  EXPECT_EQ(widget_test::PixelAt(board->GetSurface(), 1, 1), 7u) << "nothing without the strip";
  EditCards([strip](CCardTable::Widgets& w) { w.cardStrip = strip; });
  scene->UpdateCardBoard(0, 1);
  const std::vector<uint32_t> reset = widget_test::ReadPixels(board->GetSurface());
  for (int32_t id = 0; id < 48; ++id) {
    const int32_t x = id % 4 * 3;
    const int32_t y = id / 4 * 4;
    EXPECT_EQ(reset.at(static_cast<size_t>(y * 12 + x)), 0u) << "keyed corner " << id;
    EXPECT_EQ(reset.at(static_cast<size_t>((y + 2) * 12 + x + 1)), static_cast<uint32_t>(id + 1)) << id;
  }
  scene->UpdateCardBoard(48, 0);
  scene->UpdateCardBoard(49, 0);
  EXPECT_EQ(widget_test::ReadPixels(board->GetSurface()), reset);
  scene->UpdateCardBoard(5, 0);
  EXPECT_EQ(widget_test::PixelAt(board->GetSurface(), 3, 4), kKey) << "the back's corner, unkeyed";
  EXPECT_EQ(widget_test::PixelAt(board->GetSurface(), 4, 6), 49u);
  EditCards([](CCardTable::Widgets& w) { w.cardBoard = nullptr; });
}

}  // namespace cvhtwnd_test
