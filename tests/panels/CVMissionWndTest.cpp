// The mission panel's children: the card slots waiting unplaced, the marks and text at
// the panel's default place.
#include "panels/CVMissionWnd.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "plat/sim_kernel.h"
#include "support/SpriteFileWriters.h"

#include "panels/PanelFilesFixture.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace mission_wnd_test {

class MissionWndTest : public panel_test::PanelFilesTest {
 protected:
  panel_test::FakePanelScene scene_;
};

TEST_F(MissionWndTest, CreateMakesTheChildrenHiddenInSlotOrder) {
  CVMissionWnd mission(&scene_);
  ASSERT_EQ(mission.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(mission.GetRect(), mission.IsVisible(), mission.IsEnabled()),
            std::tuple(GRect(624, 187, 800, 368), 0, 0));
  std::vector<Placed> rows;
  for (int32_t c = 0; c < CVMissionWnd::kCardSlots; ++c) {
    rows.push_back({"card", mission.Card(c), {331, 241}, 0});
    rows.push_back({"shade", mission.Shade(c), {0, 0}, 0});
    for (int32_t side = 0; side < CVMissionWnd::kScreenSides; ++side) {
      rows.push_back({"mark", mission.CaptureMark(side, c), {0, 0}, 0});
      EXPECT_EQ(mission.CaptureMark(side, c)->GetFrame(), side);
    }
    EXPECT_EQ(mission.Card(c)->GetRect().Size(), GSize(36, 55));
    EXPECT_EQ(std::tuple(mission.Shade(c)->GetRect().Size(), mission.Shade(c)->GetFillColor(),
                         mission.Shade(c)->GetFillLevel()),
              std::tuple(GSize(36, 55), COLORREF(0), 25));
  }
  rows.insert(rows.end(), {{"special", mission.SpecialMark(), {645, 241}, 0},
                           {"multiplier", mission.MultiplierAnimation(), {722, 252}, 0},
                           {"state", mission.StateMark(), {632, 321}, 0},
                           {"text", mission.MissionText(), {632, 325}, 1},
                           {"two-card", mission.TwoCardAnimation(), {0, 0}, 0}});
  ExpectPlaced(rows);
  EXPECT_EQ(Children(mission), Order(rows));
  ExpectText(mission.MissionText(), {163, 14}, 0xFFFFFF, DT_CENTER, "text");
}

TEST_F(MissionWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVMissionWnd>(), 21); }

}  // namespace mission_wnd_test

namespace mission_wnd_test {

// A built panel with seat 0 at the bottom and seat 1 at the top.
class MissionPlayTest : public MissionWndTest {
 protected:
  void SetUp() override {
    MissionWndTest::SetUp();
    scene_.room.seats.Player(0).screenPos = 0;
    scene_.room.seats.Player(1).screenPos = 1;
    ASSERT_EQ(mission_.Create(&scene_), 1);
  }
  // The two-card animation with `frames` frames of 10 ms.
  void WriteTwoCardAnimation(int32_t frames) {
    testing_support::QlaAnimation a{.name = "", .frames = std::vector<testing_support::QlaFrame>(size_t(frames))};
    for (auto& f : a.frames) f.parts = {{}};
    // Under a name of its own: the resource manager keeps the one the panel loaded.
    Write("Mission/sudda16.qla", testing_support::QlaFile(a, testing_support::SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0)));
    ASSERT_EQ(mission_.TwoCardAnimation()->ChangeAnimation(scene_.kRoot + "Mission\\sudda16.qla"), 1);
  }
  // Ticks in 10 ms steps until the two-card animation is done.
  void RunTwoCardAnimation() {
    for (int32_t i = 0; i < 100 && mission_.TwoCardAnimation()->IsVisible(); ++i) {
      plat::sim::AdvanceClock(10);
      mission_.Tick();
    }
  }
  int32_t Count(int32_t effect) const { return int32_t(std::count(scene_.effects.begin(), scene_.effects.end(), effect)); }
  CVMissionWnd mission_{&scene_};
};

TEST_F(MissionPlayTest, CardsAreLaidOutByTheirCount) {
  const struct {
    int32_t id;
    std::vector<int32_t> cards;
    GPoint first;
    int32_t step;
  } cases[] = {{9, {0, 8, 28}, {645, 241}, 30}, {14, {0, 1, 2, 3}, {645, 241}, 20}, {29, {0, 4}, {665, 241}, 36}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    mission_.Reset();
    mission_.SetMission(c.id, 2, 0);
    for (int32_t slot = 0; slot < int32_t(c.cards.size()); ++slot) {
      const GPoint at = c.first + GSize(slot * c.step, 0);
      EXPECT_EQ(scene_.CardOfWidget(mission_.Card(slot)), c.cards[size_t(slot)]);
      EXPECT_EQ(std::tuple(mission_.Card(slot)->GetPos(), mission_.Shade(slot)->GetPos()), std::tuple(at, at));
      EXPECT_EQ(mission_.CaptureMark(0, slot)->GetPos(), at + GSize(0, 33));
      EXPECT_EQ(mission_.CaptureMark(1, slot)->GetPos(), at);
      EXPECT_EQ(mission_.Card(slot)->IsVisible(), c.id != 29) << "two-card missions wait for their animation";
    }
  }
  const GPoint before = mission_.Card(1)->GetPos();
  mission_.SetPos(GPoint(600, 100));
  EXPECT_EQ(mission_.Card(1)->GetPos(), before + GSize(-24, -87));
  EXPECT_EQ(mission_.MissionText()->GetPos(), GPoint(608, 238));
  EXPECT_EQ(mission_.GetRect(), GRect(600, 100, 776, 281));
}

TEST_F(MissionPlayTest, MissionsWithoutCardsAndIdsOutsideTheTable) {
  mission_.SetMission(1, 0, 0);
  EXPECT_EQ(mission_.MissionText()->GetText(), "축! 미션 무조건 성공");
  EXPECT_EQ(std::pair(mission_.SpecialMark()->GetFrame(), mission_.SpecialMark()->IsVisible()), std::pair(1, 1));
  for (int32_t card = 0; card < kCardCount; ++card) EXPECT_EQ(mission_.IsMissionCard(card), 0) << card;
  for (int32_t slot = 0; slot < CVMissionWnd::kCardSlots; ++slot) EXPECT_EQ(mission_.Card(slot)->IsVisible(), 0);
  for (int32_t id : {-1, 39}) {
    mission_.Reset();
    mission_.SetMission(id, 3, 0);
    EXPECT_EQ(std::pair(mission_.IsVisible(), mission_.IsActive()), std::pair(0, 0)) << id;
  }
}

TEST_F(MissionPlayTest, CapturesOnBothSidesBreakTheMissionAndAnExclusiveRecaptureMendsIt) {
  mission_.SetMission(9, 2, 0);
  mission_.MarkCardTaken(0, 0, 0);
  EXPECT_EQ(std::pair(mission_.Shade(0)->IsVisible(), mission_.CaptureMark(0, 0)->IsVisible()), std::pair(1, 1));
  mission_.MarkCardTaken(1, 8, 0);
  EXPECT_EQ(mission_.CaptureMark(1, 1)->IsVisible(), 1);
  EXPECT_EQ(std::tuple(mission_.MissionState(), mission_.StateMark()->GetFrame(), mission_.MissionText()->IsVisible(),
                       mission_.IsMissionCard(28)),
            std::tuple(1, 2, 0, 0));
  mission_.MarkCardTaken(0, 8, 1);
  EXPECT_EQ(std::tuple(mission_.MissionState(), mission_.StateMark()->GetFrame(), mission_.MissionText()->IsVisible(),
                       mission_.IsMissionCard(28)),
            std::tuple(-1, 0, 1, 1));
  EXPECT_EQ(std::pair(mission_.CaptureMark(1, 1)->IsVisible(), mission_.CaptureMark(0, 1)->IsVisible()),
            std::pair(0, 1));
  EXPECT_EQ(Count(IPanelScene::kEffectMissionCard), 3);
  for (int32_t seat : {2, -1}) mission_.MarkCardTaken(seat, 28, 0);
  mission_.MarkCardTaken(0, 5, 0);  // not a mission card
  EXPECT_EQ(Count(IPanelScene::kEffectMissionCard), 3);
  EXPECT_EQ(mission_.Shade(2)->IsVisible(), 0);
}

TEST_F(MissionPlayTest, TwoCardMissionRevealsOnceAtFrameElevenThenBlinksSevenTimes) {
  WriteTwoCardAnimation(16);
  mission_.SetMission(29, 3, 0);
  EXPECT_EQ(Count(IPanelScene::kEffectMissionNotice), 0);
  ASSERT_EQ(mission_.TwoCardAnimation()->GetFrameCount(), 16);
  for (int32_t i = 0; i < 100 && mission_.TwoCardAnimation()->GetFrame() < 10; ++i) {
    ASSERT_EQ(std::pair(mission_.Card(0)->IsVisible(), mission_.MissionText()->IsVisible()), std::pair(0, 0));
    plat::sim::AdvanceClock(10);
    mission_.Tick();
  }
  RunTwoCardAnimation();
  EXPECT_EQ(Count(IPanelScene::kEffectMissionNotice), 1) << "once, however long the animation";
  EXPECT_EQ(std::pair(mission_.Card(0)->IsVisible(), mission_.Card(1)->IsVisible()), std::pair(1, 1));
  // The blink started at the reveal; stepping from there in 500 ms is never enough.
  int32_t toggles = 0;
  BOOL shown = mission_.StateMark()->IsVisible();
  for (int32_t i = 0; i < 40; ++i) {
    plat::sim::AdvanceClock(i % 2 ? 1 : 500);
    mission_.Tick();
    if (mission_.StateMark()->IsVisible() != shown) ++toggles, shown = !shown;
  }
  EXPECT_EQ(toggles, 6) << "the seventh step shows both";
  EXPECT_EQ(std::pair(mission_.StateMark()->IsVisible(), mission_.MissionText()->IsVisible()), std::pair(1, 1));
}

TEST_F(MissionPlayTest, QuietMissionNeitherSoundsNorBlinksAndShowsTheLastMultiplierFrame) {
  mission_.SetMission(9, 3, 1);
  EXPECT_EQ(Count(IPanelScene::kEffectMissionNotice), 0);
  EXPECT_EQ(mission_.MultiplierAnimation()->GetAnimationIndex(), 2);
  EXPECT_EQ(mission_.MultiplierAnimation()->GetFrame(), mission_.MultiplierAnimation()->GetFrameCount() - 1);
  plat::sim::AdvanceClock(501);
  mission_.Tick();
  EXPECT_EQ(mission_.StateMark()->IsVisible(), 1);
  for (int32_t multiplier : {0, 12}) {
    mission_.Reset();
    mission_.MultiplierAnimation()->SelectAnimation(5);
    mission_.SetMission(9, multiplier, 0);
    EXPECT_EQ(mission_.MultiplierAnimation()->GetAnimationIndex(), 5) << multiplier;
  }
}

}  // namespace mission_wnd_test
