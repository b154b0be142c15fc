// The lottery event on the table: room-entry notices, the two static banners picked
// at random, the animated banners by room state, and the ticket-won effect.
#include <gtest/gtest.h>

#include "host/CHostLink.h"
#include "host/EntryRecords.h"
#include "host/ResultRecords.h"
#include "panels/CDorvik2PromotionMgr.h"
#include "panels/PanelPictureFixture.h"
#include "plat/crt.h"
#include "support/RecordingHost.h"
#include "tables/NoticeTexts.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace promotion_mgr_test {

using panel_test::Art;
using testing_support::RecordingHost;

class PromotionMgrTest : public panel_test::PanelPicturesTest {
 protected:
  static constexpr int32_t kMe = 7;
  void SetUp() override {
    PanelPicturesTest::SetUp();
    scene_.link.Fill(&host_, nullptr, CHostLink::kGameNumber);
    scene_.myUserNo = kMe;
    plat::crt::srand(1);
  }
  void TearDown() override {
    scene_.link.Cut();
    PanelPicturesTest::TearDown();
  }
  void Load(int32_t skip = -1) {
    const panel_test::PanelFile files[] = {
        {PromotionStaticBannerAPath, Art::Psp},           {PromotionDefaultAniBannerPath, Art::Qla},
        {PromotionWinMoneyLimitAniBannerPath, Art::Qla}, {PromotionEventEffectAnimPath, Art::Qla},
        {PromotionEventMissionAnimPath, Art::Qla}};
    WriteFiles(files, skip < 0 ? "" : "skip", skip);
    promotion_.LoadPromotionAnimations();
  }
  // The runs the host receives for a notice.
  static std::vector<std::string> Runs(const char* notice) {
    RecordingHost expected;
    CHostLink(&expected, nullptr, CHostLink::kGameNumber).ShowMarkupText(notice);
    return expected.Transcript();
  }
  static RoomEnterMsg Room(std::array<int32_t, 3> flags, int32_t level) {
    RoomEnterMsg room;
    for (size_t i = 0; i < flags.size(); ++i) room.promoFlags.at(i) = flags[i];
    room.promoTicketLevel = level;
    return room;
  }
  static SettlementMsg Settlement(int32_t seat, int32_t level, std::array<int32_t, 3> flags = {1, 1, 1}) {
    SettlementMsg s;
    for (size_t i = 0; i < flags.size(); ++i) s.promoFlags.at(i) = flags[i];
    s.ticketLevel.at(size_t(seat)) = level;
    return s;
  }
  RCUser User(int32_t userNo) const {
    RCUser u;
    u.userNo = userNo;
    return u;
  }
  std::pair<int32_t, int32_t> Banners() const {
    return {promotion_.StaticBannerA()->IsVisible(), promotion_.StaticBannerB()->IsVisible()};
  }
  RecordingHost host_;
  CDorvik2PromotionMgr promotion_{&scene_};
};

TEST_F(PromotionMgrTest, RoomEntryNoticeTellsWhetherTheEventRunsHere) {
  Load();
  const struct { std::array<int32_t, 3> flags; const char* notice; } cases[] = {
      {{0, 1, 1}, PromotionMoveToChannelNotice}, {{1, 0, 1}, PromotionMoveToChannelNotice},
      {{1, 1, 0}, PromotionMoveToChannelNotice}, {{1, -1, 2}, PromotionJoinNotice}};
  for (const auto& c : cases) {
    host_.Clear();
    promotion_.OnRoomEntry(Room(c.flags, 2));
    promotion_.ShowEventNotice(0);
    EXPECT_EQ(host_.Transcript(), Runs(c.notice)) << c.flags[0] << c.flags[1] << c.flags[2];
    EXPECT_EQ(std::pair(promotion_.TicketLevel(), promotion_.LastShownTicketLevel()), std::pair(2, 2));
  }
}

TEST_F(PromotionMgrTest, ShowBannerPicksBannerBOnOddDrawsOnlyOnceTheFlagIsOn) {
  Load();
  promotion_.ShowBanner(1);
  EXPECT_EQ(Banners(), std::pair(0, 0));
  EXPECT_EQ(plat::crt::rand(), 41);  // nothing was drawn before the flag
  plat::crt::srand(1);
  promotion_.SetBannerFlag(1);
  // rand() after srand(1): 41, 18467, 6334, 26500.
  const std::pair<int32_t, int32_t> shown[] = {{0, 1}, {0, 1}, {1, 0}, {1, 0}};
  for (const auto& expected : shown) {
    promotion_.ShowBanner(1);
    EXPECT_EQ(Banners(), expected);
    EXPECT_EQ(promotion_.IsBannerVisible(), 1);
  }
  promotion_.ShowBanner(0);
  EXPECT_EQ(Banners(), std::pair(0, 0));
  promotion_.ShowBanner(1);
  promotion_.OnRoomEntry(Room({1, 1, 1}, 0));
  EXPECT_EQ(promotion_.IsBannerVisible(), 0);
}

TEST_F(PromotionMgrTest, AniBannerDrawsOnlyInMoneyLimitRoomsAndStopsAllThree) {
  Load();
  scene_.model.room.roomState = 7;
  promotion_.ShowAniBanner(1);  // 41: odd
  EXPECT_TRUE(promotion_.WinMoneyLimitAniBanner()->IsPlaying());
  EXPECT_FALSE(promotion_.EventMission()->IsPlaying());
  EXPECT_EQ(plat::crt::rand(), 18467);
  promotion_.ShowAniBanner(0);
  EXPECT_FALSE(promotion_.WinMoneyLimitAniBanner()->IsPlaying());

  plat::crt::srand(1);
  scene_.model.room.roomState = 2;
  promotion_.ShowAniBanner(1);
  EXPECT_TRUE(promotion_.EventMission()->IsPlaying());
  EXPECT_EQ(plat::crt::rand(), 41);
}

TEST_F(PromotionMgrTest, ATicketWonShowsTheEffectAndNoticeOnceForMyHumanGame) {
  Load();
  promotion_.OnRoomEntry(Room({1, 1, 1}, 1));
  scene_.seatUsers = {kMe, 9};
  promotion_.OnGameResult(Settlement(0, 2), User(kMe), 0);
  EXPECT_TRUE(promotion_.EventEffect()->IsPlaying());
  EXPECT_EQ(host_.Transcript(), Runs(PromotionTicketWonNotice));
  EXPECT_EQ(promotion_.LastShownTicketLevel(), 2);

  host_.Clear();
  promotion_.EventEffect()->Stop();
  promotion_.OnGameResult(Settlement(0, 2), User(kMe), 0);
  EXPECT_TRUE(host_.Transcript().empty());
  EXPECT_FALSE(promotion_.EventEffect()->IsPlaying());

  promotion_.OnGameResult(Settlement(0, 4), User(kMe), 0);
  EXPECT_EQ(promotion_.LastShownTicketLevel(), 4);
  EXPECT_FALSE(promotion_.EventEffect()->IsPlaying());
  EXPECT_TRUE(host_.Transcript().empty());

  // Another user's record, a seat outside, a robot at the table, the event off.
  promotion_.OnGameResult(Settlement(1, 3), User(9), 1);
  promotion_.OnGameResult(Settlement(0, 3), User(kMe), 2);
  scene_.robotSeats = {0, 1};
  promotion_.OnGameResult(Settlement(0, 3), User(kMe), 0);
  scene_.robotSeats = {0, 0};
  promotion_.OnGameResult(Settlement(0, 3, {1, 0, 1}), User(kMe), 0);
  EXPECT_TRUE(host_.Transcript().empty());
  EXPECT_EQ(promotion_.LastShownTicketLevel(), 4);

  // A running effect goes on undisturbed; the notice is written all the same.
  promotion_.OnGameResult(Settlement(0, 1), User(kMe), 0);
  const uint32_t started = promotion_.EventEffect()->Resume();
  host_.Clear();
  promotion_.OnGameResult(Settlement(0, 2), User(kMe), 0);
  EXPECT_EQ(promotion_.EventEffect()->Resume(), started);
  EXPECT_EQ(host_.Transcript(), Runs(PromotionTicketWonNotice));
}

TEST_F(PromotionMgrTest, AHalfMadeOrClearedManagerIsSafeEverywhere) {
  Load(2);
  ASSERT_EQ(promotion_.WinMoneyLimitAniBanner(), nullptr);
  ASSERT_EQ(promotion_.StaticBannerB(), nullptr);
  scene_.model.room.roomState = 7;
  promotion_.SetBannerFlag(1);
  for (int32_t i = 0; i < 4; ++i) {
    promotion_.ShowBanner(1);
    promotion_.ShowAniBanner(1);
  }
  promotion_.OnRoomEntry(Room({1, 1, 1}, 1));
  promotion_.OnGameResult(Settlement(0, 2), User(-1), 0);
  promotion_.HideAll();
  EXPECT_EQ(promotion_.IsBannerVisible(), 0);

  // The scene's widget list deletes the pictures, then the manager forgets them.
  for (GVWnd* w : scene_.sceneWnds) delete w;
  scene_.sceneWnds.clear();
  promotion_.Clear();
  promotion_.ShowAniBanner(0);
  promotion_.HideAll();
  EXPECT_EQ(std::pair(promotion_.IsBannerOn(), promotion_.IsBannerVisible()), std::pair(0, 0));
}

TEST_F(PromotionMgrTest, PromotionStartStopsItsSoundAndLeavesTheDefaultStart) {
  EXPECT_EQ(promotion_.PlayPromotionStart(1, 2), 0);
  EXPECT_EQ(scene_.stoppedEffects, std::vector<int32_t>{6});
}

}  // namespace promotion_mgr_test
