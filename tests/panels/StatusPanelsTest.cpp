// The play-count, ranking-point and anti-leave panels at work: the count and its bar,
// the limit notices, the info button's boxes, the points for a moment, the caption.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "panels/CVGFPlayCountWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/CVRankingPointWnd.h"
#include "panels/CVRestrictOptionWnd.h"
#include "panels/PanelPictureFixture.h"
#include "plat/sim_kernel.h"
#include "plat/winuser.h"
#include "support/RecordingHost.h"
#include "tables/NoticeTexts.h"
#include "tables/PanelPaths.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"

namespace status_panels_test {

using panel_test::Art;
using Box = panel_test::FakePanelScene::MsgBox;
std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class StatusPanelsTest : public panel_test::PanelPicturesTest {
 protected:
  void SetUp() override {
    PanelPicturesTest::SetUp();
    const std::vector<panel_test::PanelFile> files = {
        {PlayCountInfoButtonPath, Art::Button, 2}, {PlayCountGaugePath, Art::Bmp}, {PlayCountAlertAnimPath, Art::Qla},
        {RankingBackPath, Art::Qls},               {RankingLevelPath, Art::Psp, 20}, {AntiLeaveBackPath, Art::Qls}};
    WriteFiles(files);
    scene_.link.Fill(&host_, nullptr, CHostLink::kGameNumber);
    ASSERT_EQ(count_.Create(&scene_), 1);
    ASSERT_EQ(ranking_.Create(&scene_), 1);
    ASSERT_EQ(restrict_.Create(&scene_), 1);
  }
  void TearDown() override {
    scene_.link.Cut();
    PanelPicturesTest::TearDown();
  }
  void ClickInfo() {
    const GPoint at = count_.InfoButton()->GetPos() + GSize(2, 2);
    count_.OnLButtonDown(MK_LBUTTON, at);
    count_.OnLButtonUp(0, at);
  }
  std::vector<std::string> Runs() const {
    std::vector<std::string> runs;
    for (const auto& call : host_.CallsTo(testing_support::HostSlot::AddText)) runs.push_back(call.texts.at(0));
    return runs;
  }
  size_t LimitEvents() const { return host_.CallsTo(testing_support::HostSlot::SetText).size(); }
  testing_support::RecordingHost host_;
  CVGFPlayCountWnd count_{&scene_};
  CVRankingPointWnd ranking_{&scene_};
  CVRestrictOptionWnd restrict_{&scene_};
};

TEST_F(StatusPanelsTest, PlayCountShowsTheGamesLeftAndItsBar) {
  const struct {
    int32_t pcCafe;
    int32_t played;
    int64_t membership;
    std::string text;
    int32_t width;
    int32_t set;
  } cases[] = {
      {0, 0, 0, "300", 38, 0},   {0, 300, 0, "0", 0, 0},    {0, 301, 0, "0", 0, 0},
      {0, 150, 0, "150", 19, 0}, {0, 299, 1, "무한", 38, 1}, {1, 299, 0, "무한", 38, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.played);
    scene_.myUser.pcCafeCode = c.pcCafe;
    count_.SetPlayCount(c.played, c.membership);
    EXPECT_EQ(std::tuple(count_.CountText()->GetText(), count_.Gauge()->GetRect(), count_.InfoButton()->ImageSet()),
              std::tuple(c.text, GRect(GPoint(112, 16), GSize(c.width, 2)), c.set));
    EXPECT_EQ(std::tuple(count_.IsVisible(), count_.Gauge()->IsVisible(), count_.InfoButton()->IsVisible()),
              std::tuple(1, 1, 1));
  }
  count_.CountText()->SetText("x");
  count_.SetPlayCount(-1, 0);
  EXPECT_EQ(count_.CountText()->GetText(), "x");
}

TEST_F(StatusPanelsTest, NotifyLimitWarnsInTheChatAndSendsTheHostNoticeOnceUntilClose) {
  for (int32_t round = 0; round < 2; ++round) {
    count_.NotifyLimit(0);
    EXPECT_EQ(count_.Alert()->IsVisible(), 1);
    count_.SetDirty(0);
    EXPECT_EQ(count_.TickAnimation(), 0);
    EXPECT_FALSE(count_.IsDirty()) << "no time passed";
    plat::sim::AdvanceClock(20);
    EXPECT_EQ(count_.TickAnimation(), 0) << "the step answers 0 even when the alert advanced";
    EXPECT_TRUE(count_.IsDirty()) << "the alert advanced";
  }
  const std::vector<std::string> runs = Runs();
  ASSERT_GE(runs.size(), 8u);
  EXPECT_EQ(std::vector(runs.begin(), runs.begin() + 3),
            (std::vector<std::string>{Utf8(u8"[알림]"), Utf8(u8" 오늘의 도르빅 판수, "), Utf8(u8"0판")}));
  EXPECT_EQ(std::count(runs.begin(), runs.end(), Utf8(u8"[알림]")), 2) << "both times";
  EXPECT_EQ(host_.CallsTo(testing_support::HostSlot::SetText).at(0).line, "SetText(\"14\", 36, \"1030\")");
  EXPECT_EQ(LimitEvents(), 1u);
  count_.Close();
  count_.NotifyLimit(0);
  EXPECT_EQ(LimitEvents(), 2u) << "again after Close";
  host_.Clear();
  scene_.myUser.pcCafeCode = 1;
  count_.NotifyLimit(0);
  EXPECT_TRUE(host_.Transcript().empty());
  EXPECT_EQ(count_.Alert()->IsVisible(), 1);
}

TEST_F(StatusPanelsTest, InfoButtonExplainsTheLimitOrTheMembership) {
  scene_.myUser.pcCafeCode = 1;
  count_.SetPlayCount(10, 0);
  ClickInfo();
  scene_.myUser.pcCafeCode = 0;
  ClickInfo();
  EXPECT_EQ(LimitEvents(), 1u);
  count_.SetPlayCount(10, 1);  // the member's button
  ClickInfo();
  EXPECT_EQ(LimitEvents(), 2u) << "no tier and no end date";
  auto& money = scene_.myUser.itemMoney;
  scene_.myUser.membershipEnd = 20121231235959;
  const std::string dated = FormatString(MembershipEndDateLine, FormatDateTime("20121231235959").c_str());
  for (auto [royal, gold, club] : {std::tuple(1, 1, 1), std::tuple(0, 1, 1), std::tuple(0, 0, 1), std::tuple(0, 0, 0)}) {
    money.at(ITEM_MONEY_ROYAL) = royal, money.at(ITEM_MONEY_GOLD) = gold, money.at(ITEM_MONEY_CLUB) = club;
    ClickInfo();
  }
  const std::string rest = FormatString(MembershipNoticeText, 300);
  const std::vector<Box> boxes = {{FormatString(PcCafeNoticeText, 300), 0, 5000, PcCafeNoticeTitle, 0xCF7F00},
                                  {MembershipRoyalLine + rest, 0, 5000, MembershipNoticeTitle, 0xCF7F00},
                                  {MembershipGoldLine + rest, 0, 5000, MembershipNoticeTitle, 0xCF7F00},
                                  {MembershipClubLine + rest, 0, 5000, MembershipNoticeTitle, 0xCF7F00},
                                  {dated + rest, 0, 5000, MembershipNoticeTitle, 0xCF7F00}};
  EXPECT_EQ(scene_.msgBoxes, boxes);
  EXPECT_EQ(dated, "12월31일23시59분까지 ");
  EXPECT_EQ(scene_.effects, std::vector<int32_t>(7, IPanelScene::kEffectClick));
}

TEST_F(StatusPanelsTest, RankingPointsShowForAMomentWithTheLevel) {
  PlayerInfo player;
  player.userNo = 9;
  for (auto [level, frame] : {std::pair(3, 2), std::pair(0, 0)}) {
    player.rankingLevel = level;
    ranking_.ShowPoints(&player, 15);
    EXPECT_EQ(std::tuple(ranking_.Level()->GetFrame(), ranking_.PointsText()->GetText(), ranking_.IsVisible(),
                         ranking_.Back()->IsVisible()),
              std::tuple(frame, std::string("+15점"), 1, 1));
  }
  plat::sim::AdvanceClock(1500);
  EXPECT_EQ(ranking_.Tick(), 1);
  EXPECT_EQ(ranking_.IsVisible(), 1) << "not at 1500 ms";
  plat::sim::AdvanceClock(1);
  EXPECT_EQ(ranking_.Tick(), 1) << "the hiding tick redraws";
  EXPECT_EQ(ranking_.IsVisible(), 0);
  EXPECT_EQ(ranking_.Tick(), 0);
  for (auto [userNo, points] : {std::pair(-1, 15), std::pair(9, 0)}) {
    ranking_.ShowPoints(&player, 15);
    player.userNo = userNo;
    ranking_.ShowPoints(&player, points);
    EXPECT_EQ(std::tuple(ranking_.IsVisible(), ranking_.PointsText()->GetText()), std::tuple(0, std::string()));
    player.userNo = 9;
  }
}

TEST_F(StatusPanelsTest, AntiLeaveCaptionFollowsTheRoomsRule) {
  RCRoomData& room = scene_.room;
  room.seats.Player(0).userNo = 7, room.seats.Player(1).userNo = 9;
  room.antiLeaveGameCount = 5;
  scene_.antiLeave = 1;
  for (auto [state, level] : {std::pair(7, 1), std::pair(11, 1), std::pair(8, 0), std::pair(10, 4)}) {
    room.roomState = state, room.antiLeaveLevel = level;
    restrict_.Show(1);
    EXPECT_EQ(restrict_.Update(1, 1), 0);
    EXPECT_EQ(restrict_.IsVisible(), 0) << state << "/" << level;
  }
  room.roomState = 9, room.antiLeaveLevel = 2;
  const struct {
    int32_t played;
    BOOL countDown;
    std::string caption;
  } cases[] = {{3, 1, "2판 남음"}, {4, 1, "마지막 판"}, {5, 1, "마지막 판"}, {4, 0, "5판 남음"}};
  for (const auto& c : cases) {
    scene_.gamesPlayed = c.played;
    EXPECT_EQ(restrict_.Update(1, c.countDown), 1);
    EXPECT_EQ(std::tuple(restrict_.Caption()->GetText(), restrict_.IsVisible(), restrict_.Back()->IsVisible()),
              std::tuple(c.caption, 1, 1));
  }
  room.seats.Player(1).userNo = -5;  // a robot: no counting down (and its seat counts as free)
  restrict_.Update(1, 1);
  EXPECT_EQ(restrict_.Caption()->GetText(), "5판 남음");
  room.seats.Player(1).userNo = 9;
  scene_.antiLeave = 0;
  restrict_.Update(1, 1);
  EXPECT_EQ(restrict_.Caption()->GetText(), "옵션해제");
  room.seats.Player(1).userNo = -1;
  restrict_.Update(1, 1);
  EXPECT_EQ(restrict_.Caption()->GetText(), "5판 남음") << "a seat is free";
  restrict_.Update(0, 1);
  EXPECT_EQ(std::pair(restrict_.IsVisible(), restrict_.Back()->IsVisible()), std::pair(0, 0));
}

}  // namespace status_panels_test
