// A game on the built table as the server drives it: the mission panel marks the mission
// cards each seat captures, the floor's mission cards wear their marks, a mission both
// seats hold cards of fails, and a player back in the game sees the piles' marks. The
// VIP combination alert follows the turns and the result, and the pi counter writes
// the count.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "panels/HelperAlert.h"
#include "support/GameTable.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace {

using testing_support::GameTableTest;

constexpr int32_t kMissionCardEffect = 35;
constexpr int32_t kComboEffect = 53;
// "1월,3월,8월 광": cards 0, 8 and 28 in the panel's slots 0, 1 and 2.
constexpr int32_t kBrightsMission = 9;
constexpr int32_t kFailedFrame = 2;

class MissionGameTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
  }
  void Deal(std::vector<int32_t> hand, std::vector<int32_t> floor) {
    DealMsg deal;
    deal.userNo = kMe;
    deal.handCards.assign(hand.begin(), hand.end());
    deal.floorCards.assign(floor.begin(), floor.end());
    Send<HM_DEAL>(deal);
  }
  void Capture(int32_t user, std::initializer_list<int32_t> floorCards) {
    Send<HM_CAPTURE>(CaptureMsg{user, 0, floorCards, {}});
  }
  CVMissionWnd* Panel() const { return scene->Widgets().missionPanel; }
  // The floor cards whose mission mark shows.
  std::vector<int32_t> MarkedCards() const {
    std::vector<int32_t> out;
    const auto& marks = scene->CardWidgets().missionIcons;
    for (size_t id = 0; id < marks.size(); ++id) {
      if (marks[id]->IsVisible()) out.push_back(static_cast<int32_t>(id));
    }
    return out;
  }
  CVHTWnd* WidgetShowing(int32_t card) const {
    for (int32_t w = 0; w < CCardTable::kCardWidgets; ++w) {
      if (scene->CardIdOfWidget(w) == card) return scene->CardWndById(w);
    }
    return nullptr;
  }
  // Position in the drawing order, 0 the top.
  int32_t Z(GVWnd* wnd) const {
    auto& list = scene->GetWndList();
    return static_cast<int32_t>(std::distance(list.begin(), std::find(list.begin(), list.end(), wnd)));
  }
  int32_t Count(const std::vector<int32_t>& list, int32_t value) const {
    return static_cast<int32_t>(std::count(list.begin(), list.end(), value));
  }
  // Which capture marks of the panel show, as {side, slot} pairs.
  std::vector<std::pair<int32_t, int32_t>> ShownCaptureMarks() const {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int32_t side = 0; side < CVMissionWnd::kScreenSides; ++side) {
      for (int32_t slot = 0; slot < CVMissionWnd::kCardSlots; ++slot) {
        if (Panel()->CaptureMark(side, slot)->IsVisible()) out.emplace_back(side, slot);
      }
    }
    return out;
  }
  std::vector<int32_t> ShownShades() const {
    std::vector<int32_t> out;
    for (int32_t slot = 0; slot < CVMissionWnd::kCardSlots; ++slot) {
      if (Panel()->Shade(slot)->IsVisible()) out.push_back(slot);
    }
    return out;
  }
  using Marks = std::vector<std::pair<int32_t, int32_t>>;
};

TEST_F(MissionGameTest, CapturedMissionCardsAreMarkedAndBothSeatsHoldingSomeFailIt) {
  Deal({40, 3, 22, 9, 1, 17, 33, 5, 28, 12}, {0, 4, 8, 13, 16, 20, 24, 29});
  Send<HM_MISSION_INFO>(MissionInfoMsg{kBrightsMission, 2});
  ASSERT_TRUE(Panel()->IsActive());
  trace.Clear();

  Capture(kMe, {4});
  EXPECT_TRUE(ShownShades().empty()) << "not a mission card";
  EXPECT_EQ(Count(trace.effects, kMissionCardEffect), 0);
  EXPECT_EQ(MarkedCards(), (std::vector<int32_t>{0, 8})) << "any capture shows the floor's mission cards";

  trace.Clear();
  Capture(kMe, {0});
  EXPECT_EQ(ShownShades(), std::vector<int32_t>{0});
  EXPECT_EQ(ShownCaptureMarks(), (Marks{{0, 0}})) << "my seat's mark, at the bottom";
  EXPECT_EQ(Count(trace.effects, kMissionCardEffect), 1);
  EXPECT_EQ(Panel()->MissionState(), -1);
  EXPECT_EQ(MarkedCards(), std::vector<int32_t>{8}) << "card 0 left the floor; card 28 is in my hand";
  GVQLAniWnd* mark = scene->CardWidgets().missionIcons[8];
  CVHTWnd* eight = WidgetShowing(8);
  ASSERT_NE(eight, nullptr);
  EXPECT_EQ(mark->GetPos(), eight->GetPos());
  for (int32_t w : scene->GetFloorState().floorCards) {
    EXPECT_LT(Z(mark), Z(scene->CardWndById(w))) << "the mark lies over the floor's cards";
  }

  trace.Clear();
  Capture(kOther, {8});
  EXPECT_EQ(ShownShades(), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(ShownCaptureMarks(), (Marks{{0, 0}, {1, 1}})) << "the opponent's mark, at the top";
  EXPECT_EQ(Count(trace.effects, kMissionCardEffect), 1);
  EXPECT_EQ(Panel()->MissionState(), 1) << "nobody can collect all three now";
  EXPECT_TRUE(Panel()->StateMark()->IsVisible());
  EXPECT_EQ(Panel()->StateMark()->GetFrame(), kFailedFrame);
  EXPECT_FALSE(Panel()->MissionText()->IsVisible());
  EXPECT_TRUE(MarkedCards().empty()) << "a failed mission marks no floor card";

  scene->ClearTable();
  EXPECT_FALSE(Panel()->IsVisible());
  EXPECT_TRUE(MarkedCards().empty());
}

// The mission's result multiplies the achiever's score: the seat's score panel shows the
// mission's multiplier beside the sign, the other seat's none.
TEST_F(MissionGameTest, AnAchievedMissionMultipliesTheAchieversScore) {
  Deal({40, 3, 22, 9, 1, 17, 33, 5, 28, 12}, {0, 4, 8, 13, 16, 20, 24, 29});
  Send<HM_MISSION_INFO>(MissionInfoMsg{kBrightsMission, 3});
  Capture(kMe, {0});
  Capture(kOther, {4});
  MissionResultMsg result;
  result.userNo = kMe;
  result.success.at(0) = 1;
  Send<HM_MISSION_RESULT>(result);
  const auto& panels = scene->Widgets().scorePanels;
  GVPSPNumberWnd* mine = panels[0]->NumberOf(CVJumsuInfoWnd::kMultiplier);
  EXPECT_TRUE(mine->IsVisible());
  EXPECT_EQ(mine->GetNumber(), 3);
  EXPECT_FALSE(panels[1]->NumberOf(CVJumsuInfoWnd::kMultiplier)->IsVisible());
}

TEST_F(MissionGameTest, WithoutAMissionOfThisGameACaptureMarksNothing) {
  Deal({40, 3, 22, 9, 1, 17, 33, 5, 28, 12}, {0, 4, 8, 13, 16, 20, 24, 29});
  // Last game's panel still shows its mission, but this game has none yet.
  Panel()->SetMission(kBrightsMission, 2, 1);
  trace.Clear();
  Capture(kMe, {0});
  EXPECT_TRUE(ShownShades().empty());
  EXPECT_EQ(Count(trace.effects, kMissionCardEffect), 0);
}

TEST_F(MissionGameTest, TheCaptureMarksFollowTheSeatsScreenPositions) {
  Deal({40, 3, 22, 9, 1, 17, 33, 5, 28, 12}, {0, 4, 8, 13, 16, 20, 24, 29});
  Send<HM_MISSION_INFO>(MissionInfoMsg{kBrightsMission, 2});
  Capture(kMe, {0});
  ASSERT_EQ(ShownCaptureMarks(), (Marks{{0, 0}}));
  // Seat 0 is now watched from the top: I hold seat 1.
  scene->GetPlayer(0).Reset();
  SeatOther(0);
  SeatMe(1);
  scene->AssignScreenPositions();
  EXPECT_EQ(ShownCaptureMarks(), (Marks{{1, 0}}));
}

// A player back in a running game: the piles come with the snapshot and the panel marks
// every mission card in them, without a sound.
TEST_F(MissionGameTest, ASnapshotMarksThePilesMissionCards) {
  struct Case {
    const char* name;
    std::vector<int32_t> mine, theirs;
    std::vector<int32_t> shades;
    Marks marks;
    int32_t state;
  };
  const Case cases[] = {
      {"mine only", {0, 28}, {}, {0, 2}, {{0, 0}, {0, 2}}, -1},
      {"both seats", {0}, {8}, {0, 1}, {{0, 0}, {1, 1}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scene->ClearTable();
    scene->SetSceneMode(CDorvik2VWS::kModePlaying);
    GameDataTableMsg snapshot;
    snapshot.userNo = kMe;
    GameDataTable& t = snapshot.table;
    t.turnUser = kOther;
    t.turnCount = 6;
    t.missionId = kBrightsMission;
    t.missionMult = 2;
    t.players.at(0).piles.at(PILE_GWANG).assign(c.mine.begin(), c.mine.end());
    t.players.at(1).piles.at(PILE_GWANG).assign(c.theirs.begin(), c.theirs.end());
    for (auto& p : t.players) p.handCount = 5;
    t.floorCards = {13, 20};
    t.lastFloorCard = 20;
    trace.Clear();
    Send<HM_GAME_SNAPSHOT>(snapshot);
    ASSERT_TRUE(Panel()->IsVisible());
    EXPECT_EQ(ShownShades(), c.shades);
    EXPECT_EQ(ShownCaptureMarks(), c.marks);
    EXPECT_EQ(Panel()->MissionState(), c.state);
  }
}

// ---- The VIP combination alert --------------------------------------------------------------

class ComboAlertGameTest : public MissionGameTest {
 protected:
  void SetUp() override {
    MissionGameTest::SetUp();
    scene->VipManager().Vip() = {};
    scene->VipManager().Vip().alertSwitch = 1;
    scene->VipManager().Vip().service[HelperAlert::kServiceActive] = 1;
  }
  void TearDown() override {
    scene->VipManager().Vip() = {};
    MissionGameTest::TearDown();
  }
  // The six alert icons: the animation each plays, -1 for a hidden one.
  std::vector<int32_t> Icons() const {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < CDorvik2VIPMgr::kAlertIcons; ++i) {
      GVQLAniWnd* icon = scene->VipManager().AlertIcon(i);
      out.push_back(icon->IsVisible() && icon->IsPlaying() ? icon->GetAnimationIndex() : -1);
    }
    return out;
  }
  // The hand positions whose hold-alert mark shows.
  std::vector<int32_t> HandWarnings() const {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < CDorvik2VIPMgr::kHandMarks; ++i) {
      if (scene->HoldAlertHint(i)->IsVisible()) out.push_back(i);
    }
    return out;
  }
  int32_t HandIndexOf(int32_t card) const {
    const auto& hand = scene->Seat(0).hand;
    for (size_t i = 0; i < hand.size(); ++i) {
      if (scene->CardIdOfWidget(hand[i]) == card) return static_cast<int32_t>(i);
    }
    return -1;
  }
};

TEST_F(ComboAlertGameTest, TheOpponentsNearRibbonsShowAfterEachTurnAndGoWithTheResult) {
  constexpr int32_t kRedPoemAnimation = 6;
  constexpr int32_t kUpperRibbonIcon = CDorvik2VIPMgr::kIconsPerSlot + 2;
  const std::vector<int32_t> none(CDorvik2VIPMgr::kAlertIcons, -1);
  // Card 9, the third red-poem ribbon, lies in the deck; my card 10 is of its month.
  Deal({40, 3, 22, 10, 2, 17, 33, 6, 28, 12}, {1, 5, 4, 13, 16, 20, 24, 29});
  Send<HM_TURN>(TurnMsg{kOther, 0});
  EXPECT_EQ(Icons(), none) << "nothing taken yet";

  Capture(kOther, {1, 5});
  trace.Clear();
  Send<HM_TURN>(TurnMsg{kMe, 0});
  std::vector<int32_t> ribbons = none;
  ribbons[kUpperRibbonIcon] = kRedPoemAnimation;
  EXPECT_EQ(Icons(), ribbons) << "the opponent's panel, at the top";
  EXPECT_EQ(Count(trace.effects, kComboEffect), 1);
  const int32_t ten = HandIndexOf(10);
  ASSERT_GE(ten, 0);
  EXPECT_EQ(HandWarnings(), std::vector<int32_t>{ten}) << "my card of the month the opponent needs";

  trace.Clear();
  Send<HM_TURN>(TurnMsg{kOther, 0});
  EXPECT_EQ(Icons(), ribbons);
  EXPECT_EQ(Count(trace.effects, kComboEffect), 0) << "an icon already playing starts no sound";

  GameResultMsg result;
  result.winnerUser = kOther;
  result.endType = 0;
  Send<HM_GAME_RESULT>(result);
  EXPECT_EQ(Icons(), none) << "no turn runs";

  scene->ClearTable();
  EXPECT_TRUE(HandWarnings().empty());
}

// ---- The pi counter -------------------------------------------------------------------------

TEST_F(MissionGameTest, ThePiCounterWritesTheCountAfterEachCapture) {
  Deal({40, 3, 22, 9, 1, 17, 33, 5, 28, 12}, {2, 6, 14, 13, 16, 20, 24, 29});
  CVCountWnd* mine = scene->CardWidgets().piCounters[0];
  CVCountWnd* theirs = scene->CardWidgets().piCounters[1];
  Capture(kMe, {2});
  EXPECT_TRUE(mine->IsVisible());
  EXPECT_EQ(mine->Text()->GetText(), "1");
  EXPECT_FALSE(theirs->IsVisible());
  Capture(kMe, {6, 14});
  EXPECT_EQ(mine->Text()->GetText(), "3");
  Send<HM_CAPTURE>(CaptureMsg{kOther, 0, {}, {StolenCard{kMe, 6}}});
  EXPECT_EQ(mine->Text()->GetText(), "2");
  EXPECT_EQ(theirs->Text()->GetText(), "1");
  EXPECT_TRUE(theirs->IsVisible());
  Send<HM_CAPTURE>(CaptureMsg{kOther, 0, {}, {StolenCard{kMe, 2}, StolenCard{kMe, 14}}});
  EXPECT_FALSE(mine->IsVisible()) << "no pi left";
  EXPECT_EQ(mine->Text()->GetText(), "");
  EXPECT_EQ(theirs->Text()->GetText(), "3");
}

}  // namespace
