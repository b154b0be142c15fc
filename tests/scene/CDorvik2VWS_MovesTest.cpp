// Card moves on the virtual clock: paths, the zoomed play with glow and shadow, frame
// skipping, the opening deal, plays, flips, captures, steals and the sorted hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "plat/crt.h"
#include "graphics/XResEntryMgr.h"
#include "platform/GdiFixtures.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"
#include "scene/CardTableFixture.h"

namespace moves_test {

// A card that notes every size it is given.
class SizedCard : public CVHTWnd {
 public:
  using CVHTWnd::CVHTWnd;
  void SetRect(GRect rect) override {
    sizes.push_back(rect.Size());
    CVHTWnd::SetRect(rect);
  }
  std::vector<GSize> sizes;
};

class MovesTest : public card_table::CardTableTest {
 protected:
  void SetUp() override {
    CardTableTest::SetUp();
    SeatMe(0);
    SeatOther(1);
    scene->Options().speed = 0;  // three steps a move
    scene->ApplySpeed();
  }
  uint64_t Ms() const { return plat::sim::NowMicros() / 1000; }
  const std::vector<int32_t>& Effects() const { return trace.effects; }
  std::vector<int32_t> EffectsSince(size_t n) const {
    return std::vector<int32_t>(Effects().begin() + static_cast<std::ptrdiff_t>(n), Effects().end());
  }
  static bool Near(GPoint a, GPoint b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; }
};

TEST(CardPathTest, LinesAndBezierPointsInIntegers) {
  std::list<GPoint> path;
  CDorvik2VWS::BuildLinePath(path, {0, 0}, {10, 7}, 3);
  EXPECT_EQ(std::vector<GPoint>(path.begin(), path.end()), (std::vector<GPoint>{{0, 0}, {3, 2}, {6, 4}, {10, 7}}));
  CDorvik2VWS::BuildLinePath(path, {4, 4}, {10, 7}, 0);
  EXPECT_EQ(std::vector<GPoint>(path.begin(), path.end()), (std::vector<GPoint>{{4, 4}, {10, 7}}));
  const std::vector<GPoint> arc{{0, 0}, {100, -60}, {200, 0}};
  EXPECT_EQ(CDorvik2VWS::BezierPoint(arc, 3, 1, 2, 4), GPoint(50, -22));
  EXPECT_EQ(CDorvik2VWS::BezierPoint(arc, 1, 1, 2, 2), GPoint(100, -30));
  EXPECT_EQ(CDorvik2VWS::BezierPoint(arc, 1, 0, 1, 0), GPoint(0, 0));
}

TEST_F(MovesTest, AZoomedMoveShrinksTheCardBetweenGlowAndShadow) {
  auto* card = new SizedCard(scene);
  scene->AddWnd(card);
  EditCards([card](CCardTable::Widgets& w) { w.cards[0] = card; });
  card->SetRect(GRect(GPoint(790, 500), GSize(36, 55)));
  card->sizes.clear();
  const uint64_t start = Ms();
  scene->MoveCardTo(0, {100, 100}, 3, 1, 1);
  EXPECT_EQ(Ms() - start, 250u + 3 * 8);
  EXPECT_EQ(card->sizes, (std::vector<GSize>{{56, 86}, {50, 76}, {44, 66}, {38, 56}, {36, 55}}));
  EXPECT_EQ(card->GetRect(), GRect(GPoint(100, 100), GSize(36, 55)));
  const auto& w = scene->CardWidgets();
  EXPECT_EQ(w.glow->GetPos(), GPoint(744, 434)) << "kept inside (800, 520)";
  EXPECT_EQ(Z(w.glow), Z(card) - 1);
  EXPECT_EQ(Z(w.shadow), Z(card) + 1);
  EXPECT_EQ(w.shadow->GetBlendLevel(), 239u);
  EXPECT_EQ(w.shadow->GetPos(), GPoint(120, 115));
  EXPECT_FALSE(w.shadow->IsVisible());
  scene->MoveCardTo(0, {0, 0}, 0, 0, 0);
  EXPECT_EQ(table_->LastMoveSteps(), 1);
}

TEST_F(MovesTest, AnOverrunFrameSkipsTheNextWaitOnlyAtPositiveSpeed) {
  static int32_t sleeps = 0;
  struct Case { int32_t speed; uint64_t ms; };
  // The timer falls due 5 ms into the first frame.
  for (const Case& c : {Case{1, 5 + 20 + 8}, Case{-1, 5 + 20 + 8 + 8}}) {
    scene->Options().speed = c.speed;
    scene->ApplySpeed();
    sleeps = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
      if (sleeps++ == 0) Sleep(20);
    });
    plat::sim::AdvanceClock(5);
    const uint64_t start = Ms();
    scene->MoveCardTo(1, {50, 50}, 3, 0, 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(Ms() - start, c.ms) << c.speed;
  }
}

TEST_F(MovesTest, TheOpeningDealNamesWidgetsInOrder) {
  const std::vector<int32_t> floorIds{8, 20, 44, 1, 14, 26, 37, 30};
  const std::vector<int32_t> myIds{5, 9, 13, 17, 21, 25, 29, 33, 40, 45};
  for (int32_t gather : {0, 1}) {
    SCOPED_TRACE(gather);
    scene->ResetTableState();
    scene->ClearTable();
    plat::crt::srand(7);
    scene->Model().game.dealCards = floorIds;
    if (gather) scene->Model().game.dealCards[5] = 9;
    scene->Model().game.dealtHand = myIds;
    const size_t effects = Effects().size();
    const uint64_t start = Ms();  // two floor deals, four hand deals, then the gather or a pause
    scene->OpeningDeal();
    EXPECT_EQ(Ms() - start, gather ? 448u + 96 + 24 + 100 : 448u + 96 + 500);
    EXPECT_EQ(EffectsSince(effects), (std::vector<int32_t>{11, 11, 8}));
    EXPECT_TRUE(scene->Model().game.dealCards.empty());
    for (int32_t k = 0; k < 8; ++k) {
      const int32_t w = k < 4 ? k : k + 10;
      EXPECT_EQ(Card(w)->cardId, gather && k == 5 ? 9 : floorIds[size_t(k)]);
      const GPoint slot = gather && k == 5 ? CDorvik2VWS::kFloorSlotPoints[0] + GSize(18, 0) : CDorvik2VWS::kFloorSlotPoints[k];
      EXPECT_TRUE(Near(Pos(w), slot)) << w;
    }
    for (int32_t k = 0; k < 10; ++k) {
      const int32_t mine = k < 5 ? 9 + k : 18 + k, other = k < 5 ? 4 + k : 13 + k;
      EXPECT_EQ(Card(mine)->cardId, myIds[size_t(k)]);
      EXPECT_EQ(Card(mine)->GetRect(), GRect(CDorvik2VWS::HandSlotPoint(0, k), GSize(40, 61))) << k;
      EXPECT_EQ(Card(other)->cardId, 50);
      EXPECT_EQ(Pos(other), CDorvik2VWS::HandSlotPoint(1, k));
    }
    for (int32_t w = 28; w < 50; ++w) EXPECT_EQ(Card(w)->cardId, 50);
    EXPECT_EQ(scene->Model().game.deck.front() + scene->Model().game.deck.size(), 50u);
    const auto& slots = scene->Model().floor.slots;
    EXPECT_EQ(std::vector<int32_t>({Card(15)->floorSlot, slots.at(0).cardCount, slots.at(5).cardCount}),
              gather ? std::vector<int32_t>({0, 2, 0}) : std::vector<int32_t>({5, 1, 1}));
  }
}

TEST_F(MovesTest, PlayingACardLandsAloneOrOnItsMonth) {
  Shuffle();
  User(0).hand = {WidgetOf(8), WidgetOf(9)};
  scene->PlayCardToFloor(8, 0, 0);
  EXPECT_EQ(Pos(WidgetOf(8)), GPoint(285, 161)) << "alone: exactly on slot 0";
  EXPECT_EQ(Effects().back(), 13);
  EXPECT_EQ(scene->Model().game.lastFloorSlot, 0);
  scene->PlayCardToFloor(3, 0, 0);
  EXPECT_EQ(User(0).hand.size(), 1u) << "not in the hand: nothing";
  struct Case { int32_t go, effect, flag, already, matched; };
  const Case cases[] = {{0, 14, 0, 1, 0}, {3, 15, 1, 1, 1}, {6, 16, 0, 3, 1}};
  for (const Case& c : cases) {
    scene->ResetTableState();
    Shuffle();
    for (int32_t k = 0; k < c.already; ++k) OnFloor(30 + k, 20 + k, 4);
    User(0).goCount = c.go;
    User(0).hand = {WidgetOf(23)};
    scene->PlayCardToFloor(23, 0, c.flag);
    EXPECT_EQ(Effects().back(), c.effect);
    EXPECT_EQ(Pos(WidgetOf(23)).x, 272 + c.already * CCardTable::SpreadStep(c.already + 1, 80)) << "restacked";
    EXPECT_EQ(scene->Model().game.matchedCount, c.matched) << c.go;
  }
  User(1).hand = {40};
  scene->PlayCardToFloor(23, 1, 0);
  EXPECT_EQ(Card(40)->cardId, 23) << "the opponent's placeholder becomes the card";
}

TEST_F(MovesTest, FlipsFindTheirSlotAndCallVoicesOnTheFirstTurns) {
  scene->Model().game.deck = {0, 1, 2};
  scene->Model().game.lastFloorSlot = 7;
  scene->FlipDeckCard(49, 0);
  EXPECT_EQ(Card(0)->floorSlot, 7);
  scene->ResetTableState();
  OnFloor(10, 8, 4);
  OnFloor(11, 9, 4);
  scene->Model().game.lastPlayedMonth = 2;
  scene->Model().game.turnCount = 1;
  scene->Model().game.deck = {0};
  const size_t effects = Effects().size();
  scene->FlipDeckCard(10, 0);
  EXPECT_EQ(EffectsSince(effects), (std::vector<int32_t>{14, 17})) << "a stuck triple";
  EXPECT_TRUE(trace.voices.empty());
  EXPECT_FALSE(scene->CardWidgets().deckShadow->IsVisible()) << "the deck ran out";
  scene->ResetTableState();
  scene->Model().game.turnCount = 1;
  scene->Model().game.deck = {0, 1};
  scene->FlipDeckCard(20, 1);
  scene->Model().game.turnCount = 2;
  OnFloor(12, 30, 9);
  scene->Model().game.matchedCount = 1;
  scene->FlipDeckCard(31, 0);
  EXPECT_EQ(trace.voices, (std::vector<std::array<int32_t, 2>>{{10035, 1}, {10034, 0}}));
}

TEST_F(MovesTest, CapturesAndStealsAddStepsBySide) {
  Shuffle();
  const int32_t steps = scene->AnimSteps(1);
  for (int32_t seat : {0, 1}) {
    OnFloor(WidgetOf(2 + seat), 2 + seat, 0);
    scene->TakeFloorCard(2 + seat, seat);
    EXPECT_EQ(table_->LastMoveSteps(), steps + seat);
    EXPECT_EQ(User(seat).captured[kKindPi], std::vector<int32_t>{WidgetOf(2 + seat)});
  }
  EXPECT_EQ(scene->Model().floor.slots.at(0).cardCount, 0);
  scene->StealPi(3, 1, 0);
  EXPECT_EQ(table_->LastMoveSteps(), steps);
  EXPECT_EQ(User(0).captured[kKindPi].size(), 2u);
  scene->GetPlayer(0).screenPos = 1;
  scene->StealPi(3, 0, 1);
  EXPECT_EQ(table_->LastMoveSteps(), steps + 2);
}

TEST_F(MovesTest, SortedHandShowsBombMarkersOnlyInFreeSlots) {
  Show({30, 2, 17, 9, 44, 5, 21, 12});
  User(0).hand = {0, 1, 2, 3, 4, 5, 6, 7};
  User(0).bombDummyCount = 3;
  scene->SortMyHand(0, 0);
  const std::vector<int32_t> sorted{2, 5, 9, 12, 17, 21, 30, 44};
  for (int32_t k = 0; k < 8; ++k) EXPECT_EQ(Card(k)->cardId, sorted[size_t(k)]);
  EXPECT_EQ(Pos(7), GPoint(491, 452));
  const auto& markers = scene->CardWidgets().bombDummies;
  EXPECT_EQ(markers[0]->GetPos(), GPoint(534, 452));
  EXPECT_EQ(markers[1]->GetPos(), GPoint(577, 452));
  for (size_t m = 0; m < 6; ++m) EXPECT_EQ(markers[m]->IsVisible(), m < 2 ? 1 : 0) << m;
}

// Card strips of 51 cells (a colour by month, kind and set, the back red), the table
// after a seeded opening deal, drawn whole.
using Pinned = std::pair<plat::sim::DisplayFormat, const char*>;  // format and frame hash
class CardGoldenTest : public MovesTest, public testing::WithParamInterface<Pinned> {
 protected:
  std::string Strip(const char* name, GSize cell) {
    gdi_test::BmpLayout bmp;
    bmp.width = cell.cx;
    bmp.height = -cell.cy * 51;
    for (int32_t y = 0; y < cell.cy * 51; ++y) {
      const CardInfo c = CardInfoOf(y / cell.cy);
      const int32_t face[3] = {0x40 + 12 * c.month, 0x60 + 40 * c.kind, 0xF0 - 24 * c.set}, back[3] = {0x30, 0x30, 0xC0};
      const bool rim = y % cell.cy == 0 || y % cell.cy == cell.cy - 1;
      const int32_t* colour = y / cell.cy == 50 ? back : face;
      for (int32_t x = 0; x < cell.cx * 3; ++x) {
        bmp.pixels.push_back(static_cast<uint8_t>(rim || x < 3 || x >= cell.cx * 3 - 3 ? 0x20 : colour[x % 3]));
      }
      while (bmp.pixels.size() % 4) bmp.pixels.push_back(0);
    }
    const std::vector<uint8_t> bytes = gdi_test::WriteBmp(bmp);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    return std::string("C:\\Cards\\") + name;
  }
  testing_support::TempDir dir_;
};

TEST_P(CardGoldenTest, TheTableAfterASeededDeal) {
  plat::sim::ChangeDisplayMode(800, 600, GetParam().first);
  plat::sim::MapPathPrefix("C:\\Cards\\", dir_.path());
  const char* names[3] = {"small.bmp", "normal.bmp", "hold.bmp"};
  const auto& w = scene->CardWidgets();
  for (int32_t look = 0; look < 3; ++look) {
    ASSERT_EQ(w.lookCards[size_t(look)]->LoadImage(Strip(names[look], CVHTWnd::kLookSizes[look])), 1);
  }
  for (CVHTWnd* card : w.cards) ASSERT_EQ(card->LoadImage(Strip("normal.bmp", {36, 55})), 1);
  for (CVHTWnd* look : w.lookCards) look->Show(0);
  scene->ClearTable();
  plat::crt::srand(2026);
  scene->Model().game.dealCards = {8, 20, 44, 1, 14, 9, 37, 30};
  scene->Model().game.dealtHand = {5, 12, 13, 17, 21, 25, 29, 33, 40, 48};
  scene->OpeningDeal();
  // The target comes from the object the cards' pictures were made with: a surface
  // does not blit onto another object's.
  const DDObject dd(XResEntryMgr::Global().GetDirectDraw());
  ASSERT_TRUE(dd);
  const DDSurface target = widget_test::MakeSurface(dd, 800, 600);
  ClearSurface(target, 0);
  scene->SetFullRedraw();
  scene->Draw(target.Get(), GRect());
  const std::string name = GetParam().first == plat::sim::DisplayFormat::Rgb565 ? "card_table_565" : "card_table_8888";
  const auto check = plat::sim::CheckFrame(plat::sim::CaptureSurface(target.Get()), name, GetParam().second);
  EXPECT_TRUE(check.matches) << check.actualHash << ", picture in " << check.actualPath;
  plat::sim::ClearPathPrefixes();
}

INSTANTIATE_TEST_SUITE_P(Formats, CardGoldenTest,
                         testing::Values(Pinned{plat::sim::DisplayFormat::Rgb565, "a85cb6ff96e109c1"},
                                         Pinned{plat::sim::DisplayFormat::Xrgb8888, "f34a5809fdaee8e2"}),
                         [](const testing::TestParamInfo<Pinned>& info) { return info.index ? "f8888" : "f565"; });

}  // namespace moves_test
