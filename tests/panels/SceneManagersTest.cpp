// The VIP and promotion managers' widgets: made at their places straight into the
// scene's drawing order and animation list, and the cards the VIP alert watches.
#include <gtest/gtest.h>

#include <iterator>

#include "panels/CDorvik2PromotionMgr.h"
#include "panels/CDorvik2VIPMgr.h"
#include "panels/PanelPictureFixture.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace scene_managers_test {

using panel_test::Art;

class SceneManagersTest : public panel_test::PanelPicturesTest {
 protected:
  std::vector<GVWnd*> SceneOrder() const { return {scene_.sceneWnds.begin(), scene_.sceneWnds.end()}; }
  const std::vector<panel_test::PanelFile> vipFiles_ = {{VipComboAlertAnimPath, Art::QlaSet, 12},
                                                        {VipAlarmAnimPath, Art::QlaSet, 3}};
  const std::vector<panel_test::PanelFile> promotionFiles_ = {
      {PromotionStaticBannerAPath, Art::Psp},           {PromotionDefaultAniBannerPath, Art::Qla},
      {PromotionWinMoneyLimitAniBannerPath, Art::Qla}, {PromotionEventEffectAnimPath, Art::Qla},
      {PromotionEventMissionAnimPath, Art::Qla}};
};

TEST_F(SceneManagersTest, VipIconsAlarmAndTextsJoinTheSceneAndTheIconsMoveBehindTheReference) {
  WriteFiles(vipFiles_);
  GVWnd* ref = new GVWnd;
  GVWnd* above = new GVWnd;
  scene_.AddSceneWnd(ref);
  scene_.AddSceneWnd(above);
  CDorvik2VIPMgr vip(&scene_);
  ASSERT_EQ(vip.CreateWidgets(), 1);

  const GPoint icons[] = {{20, 495}, {118, 437}, {118, 495}, {20, 61}, {118, 61}, {118, 118}};
  for (int32_t i = 0; i < CDorvik2VIPMgr::kAlertIcons; ++i) EXPECT_EQ(vip.AlertIcon(i)->GetPos(), icons[i]) << i;
  EXPECT_EQ(vip.Alarm()->GetPos(), GPoint(407, 493));
  const COLORREF colours[] = {0x68F4FF, 0xFFFFFF};
  for (int32_t i = 0; i < CDorvik2VIPMgr::kAlarmTexts; ++i) {
    EXPECT_EQ(vip.AlarmText(i)->GetRect(), GRect(GPoint(410, 498), GSize(206, 12))) << i;
    EXPECT_EQ(vip.AlarmText(i)->GetTextColor(), colours[i]) << i;
    EXPECT_EQ(vip.AlarmText(i)->IsVisible(), 0) << i;
  }
  std::vector<GVQLAniWnd*> animated;
  for (int32_t i = 0; i < CDorvik2VIPMgr::kAlertIcons; ++i) animated.push_back(vip.AlertIcon(i));
  animated.push_back(vip.Alarm());
  EXPECT_EQ(scene_.animations, animated);

  vip.PlaceWidgetsAfter(ref);
  std::vector<GVWnd*> order = {ref};
  order.insert(order.end(), animated.begin(), animated.end() - 1);
  order.insert(order.end(), {above, vip.Alarm(), vip.AlarmText(0), vip.AlarmText(1)});
  EXPECT_EQ(SceneOrder(), order);

  using L = CDorvik2VIPMgr;
  EXPECT_EQ(vip.ComboCards(L::kBrightCards), (std::vector<int32_t>{0, 8, 28, 40, 44}));
  EXPECT_EQ(vip.ComboCards(L::kFiveBirds), (std::vector<int32_t>{4, 12, 29}));
  EXPECT_EQ(vip.ComboCards(L::kRedPoemRibbons), (std::vector<int32_t>{1, 5, 9}));
  EXPECT_EQ(vip.ComboCards(L::kBlueRibbons), (std::vector<int32_t>{21, 33, 37}));
  EXPECT_EQ(vip.ComboCards(L::kPlainRibbons), (std::vector<int32_t>{13, 17, 25}));
}

TEST_F(SceneManagersTest, VipWidgetsFailAtTheFirstMissingFileAndLeaveTheMadeOnesToTheScene) {
  const size_t madeBefore[] = {0, CDorvik2VIPMgr::kAlertIcons};
  for (int32_t skip = 0; skip < 2; ++skip) {
    WriteFiles(vipFiles_, "vip" + std::to_string(skip), skip);
    const size_t listed = scene_.sceneWnds.size();
    CDorvik2VIPMgr vip(&scene_);
    EXPECT_EQ(vip.CreateWidgets(), 0) << skip;
    EXPECT_EQ(scene_.sceneWnds.size() - listed, madeBefore[skip]) << skip;
    EXPECT_TRUE(vip.ComboCards(CDorvik2VIPMgr::kBrightCards).empty());
  }
  EXPECT_EQ(CDorvik2VIPMgr(nullptr).CreateWidgets(), 0);
}

TEST_F(SceneManagersTest, PromotionPicturesJoinTheSceneInOrderAndTheFourAnimationsItsList) {
  WriteFiles(promotionFiles_);
  CDorvik2PromotionMgr promotion(&scene_);
  ASSERT_EQ(promotion.LoadPromotionAnimations(), 1);
  const std::vector<GVWnd*> order = {promotion.StaticBannerA(),          promotion.DefaultAniBanner(),
                                     promotion.WinMoneyLimitAniBanner(), promotion.EventEffect(),
                                     promotion.EventMission(),           promotion.StaticBannerB()};
  EXPECT_EQ(SceneOrder(), order);
  EXPECT_EQ(scene_.animations, (std::vector<GVQLAniWnd*>{promotion.DefaultAniBanner(), promotion.WinMoneyLimitAniBanner(),
                                                         promotion.EventEffect(), promotion.EventMission()}));
  const GPoint places[] = {{1, 519}, {0, 0}, {0, 0}, {0, 400}, {0, 0}, {1, 519}};
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i]->GetPos(), places[i]) << i;
  // The banners wait for a room's event data.
  EXPECT_EQ(std::pair(promotion.StaticBannerA()->IsVisible(), promotion.StaticBannerB()->IsVisible()), std::pair(0, 0));
  EXPECT_NE(promotion.StaticBannerA(), promotion.StaticBannerB());
}

TEST_F(SceneManagersTest, PromotionStopsAtTheFirstMissingFile) {
  for (int32_t skip = 0; skip < static_cast<int32_t>(promotionFiles_.size()); ++skip) {
    WriteFiles(promotionFiles_, "promotion" + std::to_string(skip), skip);
    const size_t listed = scene_.sceneWnds.size();
    CDorvik2PromotionMgr promotion(&scene_);
    EXPECT_EQ(promotion.LoadPromotionAnimations(), 0) << skip;
    EXPECT_EQ(scene_.sceneWnds.size() - listed, size_t(skip)) << skip;
    EXPECT_EQ(promotion.StaticBannerB(), nullptr);
  }
}

}  // namespace scene_managers_test
