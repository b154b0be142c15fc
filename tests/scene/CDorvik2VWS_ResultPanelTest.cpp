// The result panel on the built table: it lies above the cards that moved during the
// game, its picture over a dealt table, and its folding choice across a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "panels/CVPSPPushBtn.h"
#include "plat/crt.h"
#include "plat/sim.h"
#include "support/GameTable.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using testing_support::GameTableTest;

// The pinned picture of the expanded breakdown (kind 8) on a 32-bit desktop.
constexpr const char* kKindEight32 = "440bce439c99992d";

// Me (7, "나") in seat 0 at the bottom against 9 ("상대") in seat 1, 1000 per point, the
// speed of three steps a move.
class ResultPanelTest : public GameTableTest {
 protected:
  void Table() {
    MakeTable();
    SeatBothPlayers();
    scene->GetPlayer(0).nickname = "나";
    scene->GetPlayer(1).nickname = "상대";
    scene->GetRoomData().option.moneyPerPoint = 1000;
    scene->Options().speed = 0;
    scene->ApplySpeed();
  }
  void Deal() {
    scene->ClearTable();
    scene->Model().game.dealCards = {8, 20, 44, 1, 14, 9, 37, 30};
    scene->Model().game.dealtHand = {5, 12, 13, 17, 21, 25, 29, 33, 40, 48};
    // The deal scatters the floor cards by the random numbers.
    plat::crt::srand(2026);
    scene->OpeningDeal();
  }
  // Won by me with every category, shaken once, two go and a junk penalty on seat 1:
  // eight category rows and three multiplier rows.
  static GameResultMsg EightRows() {
    GameResultMsg m;
    m.winInfo.winnerSeat = 0;
    for (int32_t c = 0; c < SCORE_CATEGORY_COUNT; ++c) m.winInfo.categoryPoints.at(size_t(c)) = c + 1;
    m.winInfo.shakeExp = 1;
    m.winInfo.goExp = 2;
    m.penalties = {{1, 0, 1}};
    m.moneyChange.at(0) = 576000;
    m.moneyChange.at(1) = -576000;
    m.eventFundRate = 30;
    return m;
  }
  // Place in the drawing order, 0 the top.
  int32_t Z(const GVWnd* wnd) {
    auto& list = scene->GetWndList();
    return static_cast<int32_t>(std::distance(list.begin(), std::find(list.begin(), list.end(), wnd)));
  }
  CVResultWnd* Panel() { return scene->Widgets().resultPanel; }
};

// After a draw the auto-start toggle is the first player's to use: the one the pick
// decided, not the other.
TEST_F(ResultPanelTest, AfterADrawThePicksWinnerMayUseTheAutoStartToggle) {
  Table();
  for (const int32_t first : {kMe, kOther}) {
    SCOPED_TRACE(first);
    Send<HM_SUN_DECIDED>(SunDecidedMsg{first});
    GameResultMsg draw;
    draw.endType = 4;
    scene->OnGameResult(draw);
    CVPSPPushBtn* toggle = Panel()->AutoStartToggle();
    EXPECT_TRUE(toggle->IsVisible());
    EXPECT_EQ(toggle->IsEnabled(), first == kMe ? 1 : 0);
    scene->CloseResultWnd();
  }
}

// A card flying somewhere rises above the other cards and the table's animations, but
// stays beneath the panels over the table: the prompt and the result panel cover it.
TEST_F(ResultPanelTest, MovedCardsStayBeneathThePromptAndResultPanels) {
  Table();
  Deal();
  const auto& cards = scene->CardWidgets().cards;
  const CDorvik2VWS::SceneWidgets& w = scene->Widgets();
  scene->MoveCardTo(0, GPoint(300, 120), 2, 0, 0);
  for (const GVWnd* panel : {static_cast<const GVWnd*>(w.observePanel), static_cast<const GVWnd*>(w.notifyPrompt),
                             static_cast<const GVWnd*>(Panel()), static_cast<const GVWnd*>(w.chanceSprite),
                             static_cast<const GVWnd*>(w.optionPanel)}) {
    for (const CVHTWnd* card : cards) EXPECT_LT(Z(panel), Z(card)) << "card " << card->cardId;
  }
  EXPECT_EQ(Z(cards[0]), Z(w.observePanel) + 1) << "directly beneath the first panel";
  EXPECT_LT(Z(cards[0]), Z(w.comboAnims.back())) << "above the table's animations";
  for (size_t i = 1; i < cards.size(); ++i) EXPECT_LT(Z(cards[0]), Z(cards[i])) << i;
}

// Kind 8, expanded, over the dealt table with one card moved under the panel, 32-bit.
TEST_F(ResultPanelTest, GoldenFrameOfTheExpandedBreakdownOverADealtTable) {
  plat::sim::ResetDisplay(plat::sim::DisplayFormat::Xrgb8888);
  Table();
  Panel()->SaveExpandState(1);
  Deal();
  scene->MoveCardTo(3, GPoint(330, 200), 2, 0, 0);
  const GameResultMsg m = EightRows();
  ASSERT_EQ(scene->ShowResultWnd(&m), 1);
  ASSERT_EQ(std::tuple(Panel()->LayoutKind(), Panel()->GetPos()), std::tuple(8, GPoint(210, 35)));
  scene->SetFullRedraw();
  scene->Draw(nullptr, GRect());
  const auto check = plat::sim::CheckFrame(plat::sim::CaptureWindow(wnd->Handle()), "result_kind8_32", kKindEight32);
  EXPECT_TRUE(check.matches) << "hash " << check.actualHash << ", picture in " << check.actualPath;
}

// Folding twice over returns to folded and stores 0; a new scene on the same registry
// file, as after a restart, brings the next result up folded.
TEST_F(ResultPanelTest, TheFoldedChoiceSurvivesARestart) {
  Table();
  Panel()->SaveExpandState(1);
  const GameResultMsg m = EightRows();
  ASSERT_EQ(scene->ShowResultWnd(&m), 1);
  const auto click = [this] {
    const GPoint at = Panel()->ExpandButton()->GetRect().TopLeft() + GSize(1, 1);
    Panel()->OnLButtonDown(MK_LBUTTON, at);
    Panel()->OnLButtonUp(0, at);
  };
  click();
  click();
  click();
  EXPECT_EQ(Panel()->LayoutKind(), 0);
  TearDown();
  plat::sim::ReloadRegistry();
  SetUp();
  Table();
  EXPECT_EQ(Panel()->Expanded(), 0) << "read once at Create";
  ASSERT_EQ(scene->ShowResultWnd(&m), 1);
  EXPECT_EQ(std::tuple(Panel()->LayoutKind(), Panel()->PointSum()->IsVisible()), std::tuple(0, 0));
  // Later tests start expanded.
  Panel()->SaveExpandState(1);
}

}  // namespace
