// The bijou panel's children at the lower left corner, hidden and inactive after Create.
#include "panels/CVDorvik2BijouWnd.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "host/RCUser.h"
#include "plat/sim_kernel.h"

#include "panels/CVQLATextWnd.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace bijou_wnd_test {

class BijouWndTest : public panel_test::PanelFilesTest {
 protected:
  panel_test::FakePanelScene scene_;
};

TEST_F(BijouWndTest, CreateMakesTheChildrenHiddenInDrawingOrder) {
  CVDorvik2BijouWnd bijou(&scene_);
  ASSERT_EQ(bijou.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(bijou.GetRect(), bijou.IsVisible(), bijou.IsActive()), std::tuple(GRect(1, 519, 119, 574), 0, 0));
  const std::vector<Placed> rows{{"back", bijou.Background(), {1, 519}, 0},
                                 {"full", bijou.FullPicture(), {1, 519}, 0},
                                 {"kind animation", bijou.KindAnimation(), {28, 529}, 0},
                                 {"kind picture", bijou.KindPicture(), {28, 529}, 0},
                                 {"digits", bijou.CountDigits(), {70, 554}, 0},
                                 {"gain text", bijou.GainText(), {21, 549}, 0},
                                 {"gain animation", bijou.GainAnimation(), {21, 549}, 0}};
  ExpectPlaced(rows);
  EXPECT_EQ(Children(bijou), Order(rows));
  EXPECT_EQ(std::pair(bijou.CountDigits()->GetRect().Size(), bijou.CountDigits()->GetStyle()),
            std::pair(GSize(44, 14), GVPSPNumberWnd::kRightAligned));
  EXPECT_EQ(bijou.GainText()->GetRect(), GRect(21, 549, 101, 579));
  EXPECT_EQ(std::pair(std::string(bijou.GainAnimation()->GetName()), bijou.GainAnimation()->GetAnimationIndex()),
            std::pair(std::string("dama"), 1));
}

// Seven children, the gain text's twelve character animations among the calls.
TEST_F(BijouWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVDorvik2BijouWnd>(), 19); }

}  // namespace bijou_wnd_test

namespace bijou_wnd_test {

class BijouPlayTest : public BijouWndTest {
 protected:
  void SetUp() override {
    BijouWndTest::SetUp();
    ASSERT_EQ(bijou_.Create(&scene_), 1);
  }
  void MakeMember(bool member) { scene_.myUser.itemMoney.at(ITEM_MONEY_MEMBER_B) = member ? 1 : 0; }
  std::vector<GVWnd*> Shown() {
    std::vector<GVWnd*> out;
    for (GVWnd* w : bijou_.GetChildren())
      if (w->IsVisible()) out.push_back(w);
    return out;
  }
  std::string GainText() const {
    std::string text;
    for (int32_t i = 0; i < bijou_.GainText()->CharCount(); ++i) text += bijou_.GainText()->Char(i)->GetName();
    return text;
  }
  CVDorvik2BijouWnd bijou_{&scene_};
};

TEST_F(BijouPlayTest, StartPicksTheCapAndTheStartingPicture) {
  EXPECT_EQ(bijou_.Start(0, 2, 10, 0), 1);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(std::pair(bijou_.AddCount(1), bijou_.StartCountdown(1, 0)), std::pair(0, 0)) << "inactive";
  const struct {
    bool member;
    int32_t count;
    int32_t cap;
  } caps[] = {{false, 1200, 1200}, {true, 6000, 5000}};
  for (const auto& c : caps) {
    MakeMember(c.member);
    EXPECT_EQ(bijou_.Start(1, 2, c.count, 0), 1);
    EXPECT_EQ(std::pair(bijou_.Count(), Shown()), std::pair(c.cap, std::vector<GVWnd*>{bijou_.FullPicture()}));
  }
  scene_.myUser.itemMoney.at(ITEM_MONEY_MEMBER_A) = -1;  // any value but 0 makes a member
  MakeMember(false);
  EXPECT_EQ(bijou_.Start(1, 3, 1300, 0), 1);
  EXPECT_EQ(bijou_.Cap(), 5000);
  EXPECT_EQ(std::tuple(bijou_.KindPicture()->GetFrame(), bijou_.CountDigits()->GetNumber(), Shown().size()),
            std::tuple(2, 0, size_t(3)));
  for (auto [kind, count] : {std::pair(6, 10), std::pair(2, -1)}) {
    EXPECT_EQ(bijou_.Start(1, kind, count, 0), 0);
    EXPECT_TRUE(Shown().empty());
  }
}

TEST_F(BijouPlayTest, AddCountPlaysTheGainAndStopsTakingAtTheCap) {
  MakeMember(false);
  ASSERT_EQ(bijou_.Start(1, 1, 1195, 0), 1);
  EXPECT_EQ(bijou_.AddCount(0), 1);
  EXPECT_EQ(GainText(), "+0");
  EXPECT_EQ(bijou_.GainAnimation()->IsVisible(), 0) << "members only";
  EXPECT_EQ(bijou_.AddCount(10), 1);
  EXPECT_EQ(std::tuple(bijou_.Count(), bijou_.Gained(), bijou_.CountDigits()->GetNumber()), std::tuple(1205, 10, 10));
  EXPECT_EQ(bijou_.AddCount(1), 0);
  EXPECT_EQ(bijou_.AddCount(-1), 0);

  MakeMember(true);
  ASSERT_EQ(bijou_.Start(1, 1, 10, 0), 1);
  ASSERT_EQ(bijou_.AddCount(25), 1);
  EXPECT_EQ(GainText(), "+25");
  EXPECT_EQ(bijou_.GainAnimation()->GetPos(), bijou_.GainText()->Char(0)->GetPos() - GSize(20, 0));
  EXPECT_EQ(bijou_.GainAnimation()->IsVisible(), 1);
  ASSERT_EQ(bijou_.Start(1, 1, 0, 0), 1);
  ASSERT_EQ(bijou_.AddCount(INT32_MAX - 1), 1);
  EXPECT_EQ(bijou_.AddCount(5), 0) << "past the cap";
  bijou_.StartCountdown(0, 0);
  EXPECT_EQ(bijou_.Count(), INT32_MAX - 1);
}

TEST_F(BijouPlayTest, ShowKindAndTheCountdownToTheFullPicture) {
  MakeMember(false);
  ASSERT_EQ(bijou_.Start(1, 2, 1195, 0), 1);
  bijou_.ShowKind(0);
  EXPECT_EQ(std::pair(bijou_.KindPicture()->IsVisible(), bijou_.KindAnimation()->GetAnimationIndex()), std::pair(0, 4));
  bijou_.ShowKind(3);
  EXPECT_EQ(std::pair(bijou_.KindPicture()->GetFrame(), bijou_.KindAnimation()->GetAnimationIndex()), std::pair(2, 2));
  EXPECT_EQ(bijou_.StartCountdown(0, 0), 1);
  EXPECT_EQ(bijou_.Countdown(), 0) << "nothing armed";
  EXPECT_EQ(bijou_.StartCountdown(1, 0), 1);
  ASSERT_EQ(bijou_.AddCount(10), 1);
  bijou_.ShowKind(1);
  EXPECT_EQ(bijou_.KindPicture()->GetFrame(), 2) << "at the cap the kind stays";
  plat::sim::AdvanceClock(301);
  ASSERT_EQ(bijou_.Update(), 1);
  ASSERT_EQ(bijou_.Countdown(), 6) << "the first step at once";
  for (int32_t left = 6; left > 0; --left) {
    plat::sim::AdvanceClock(300);
    EXPECT_EQ(bijou_.Update(), 1);
    EXPECT_EQ(bijou_.Countdown(), left) << "300 ms is not enough";
    plat::sim::AdvanceClock(1);
    bijou_.Update();
  }
  ASSERT_EQ(bijou_.Countdown(), 0);
  scene_.bannerCalls.clear();
  EXPECT_EQ(bijou_.Update(), 1);
  EXPECT_EQ(scene_.bannerCalls, std::vector<int32_t>{0});
  EXPECT_EQ(Shown(), std::vector<GVWnd*>{bijou_.FullPicture()});
  ASSERT_EQ(bijou_.Start(0, 0, 0, 0), 1);
  EXPECT_EQ(bijou_.Update(), 0);
}

}  // namespace bijou_wnd_test
