// The user panel: a seat's player, money and its change, grade and reserved mark.
#include "panels/CVUserInfoWnd.h"

#include <gtest/gtest.h>

#include "panels/SeatPanelFixture.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace user_info_wnd_test {

using seat_panel_test::SeatPanelTest;
using T = CVUserInfoWnd;

class UserInfoTest : public SeatPanelTest {
 protected:
  void SetUp() override {
    SeatPanelTest::SetUp();
    scene_.gradeNames = {"", "초보", "고수"};
  }
  static std::vector<std::string> Texts(const CVUserInfoWnd& panel) {
    std::vector<std::string> out;
    for (const T::Text t : {T::kName, T::kMoney, T::kChange, T::kGrade}) out.push_back(panel.TextOf(t)->GetText());
    return out;
  }
  static PlayerInfo Player(int64_t money, int64_t baseline, int64_t extra) {
    PlayerInfo p;
    p.userNo = 7, p.nickname = "선수", p.gradeIndex = 2;
    p.money = money, p.moneyBaseline = baseline, p.extraAmount = extra;
    return p;
  }
};

TEST_F(UserInfoTest, MoneyAndItsChangeSinceTheBaseline) {
  struct Case { int64_t money, baseline, extra; const char* moneyText; const char* change; };
  const Case cases[] = {
      {123456789, 123456789, 0, "1억2345만냥", "변동머니"},
      {12345678, 10000, 5, "1234만5678냥+", "1233만5678냥"},
      {10000, 25000, -1, "1만냥", "-1만5000냥"},
      {0, 0, 1, "0냥+", "변동머니"},
  };
  for (int32_t pos : {0, 1}) {
    CVUserInfoWnd panel(nullptr);
    ASSERT_EQ(panel.Create(&scene_, pos), 1);
    for (const Case& c : cases) {
      panel.SetUser(Player(c.money, c.baseline, c.extra));
      EXPECT_EQ(Texts(panel), (std::vector<std::string>{"선수", c.moneyText, c.change, "고수"})) << c.money;
      EXPECT_EQ(panel.MoneyBaseline(), c.baseline);
    }
    // The change line belongs to the lower seat only.
    EXPECT_EQ(panel.TextOf(T::kChange)->IsVisible(), pos == 0 ? 1 : 0);
    panel.SetMoney(30000, 0);  // against the last baseline, 0
    EXPECT_EQ(panel.TextOf(T::kChange)->GetText(), "3만냥");
  }
}

TEST_F(UserInfoTest, AnEmptySeatEmptiesThePanel) {
  CVUserInfoWnd panel(nullptr);
  ASSERT_EQ(panel.Create(&scene_, 0), 1);
  PlayerInfo player = Player(50000, 10000, 0);
  player.exitReserved = 1;
  panel.SetUser(player);
  ASSERT_EQ(panel.ReservedMark()->IsVisible(), 1);
  panel.SetDirty(0);
  panel.SetUser(PlayerInfo{});
  EXPECT_EQ(Texts(panel), std::vector<std::string>(4));
  EXPECT_EQ(std::tuple(panel.UserNo(), panel.MoneyBaseline(), panel.ReservedMark()->IsVisible(), panel.IsDirty()),
            std::tuple(-1, 0, 0, 1));
  panel.SetUser(player);
  panel.SetNickname("새이름");
  EXPECT_EQ(panel.TextOf(T::kName)->GetText(), "새이름");
  EXPECT_EQ(panel.ResetSeat(), 1);
  EXPECT_EQ(panel.UserNo(), -1);
}

TEST_F(UserInfoTest, TheReservedMarkPlaysExitBeforeObserveAndStopsWithoutEither) {
  struct Case { int32_t exit, observe; int32_t shown; int32_t kind; };
  const Case cases[] = {{1, 0, 1, T::kExitReserved}, {0, 1, 1, T::kObserveReserved}, {1, 1, 1, T::kExitReserved},
                        {0, 0, 0, -1}};
  CVUserInfoWnd panel(nullptr);
  ASSERT_EQ(panel.Create(&scene_, 1), 1);
  for (const Case& c : cases) {
    PlayerInfo player = Player(1, 1, 0);
    player.exitReserved = c.exit, player.observeReserved = c.observe;
    panel.SetUser(player);
    GVQLAniWnd* mark = panel.ReservedMark();
    EXPECT_EQ(mark->IsVisible(), c.shown) << c.exit << c.observe;
    if (c.shown) {
      EXPECT_EQ(mark->GetAnimationIndex(), c.kind);
    }
  }
  // The tick steps a shown mark only, to its held last frame.
  EXPECT_EQ(panel.TickAnimation(), 0);
  panel.SetObserveReservedMark(1);
  plat::sim::AdvanceClock(150);  // past the first frame's 100 ms
  EXPECT_EQ(panel.TickAnimation(), 1);
  EXPECT_EQ(panel.ReservedMark()->GetFrame(), 1);
  plat::sim::AdvanceClock(500);
  panel.TickAnimation();
  EXPECT_EQ(panel.ReservedMark()->IsVisible(), 1);
  panel.SetObserveReservedMark(0);
  EXPECT_EQ(panel.TickAnimation(), 0);
}

}  // namespace user_info_wnd_test
