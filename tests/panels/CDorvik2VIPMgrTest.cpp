// The VIP combination alert over the opponent's piles and my hand, and the play
// reminder by minutes, games or money on the virtual clock.
#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "panels/CDorvik2VIPMgr.h"
#include "panels/HelperAlert.h"
#include "panels/PanelPictureFixture.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/sim_kernel.h"
#include "plat/time.h"
#include "tables/PanelPaths.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace vip_mgr_test {

using panel_test::Art;
using L = CDorvik2VIPMgr;

// Kinds of the captured piles.
constexpr size_t kBright = 0, kAnimal = 1, kRibbon = 2;
constexpr int32_t kMe = 7, kOpponent = 9;
// The opponent sits in seat 1 on the upper panel: icons 3, 4, 5.
constexpr int32_t kBrightIcon = 3, kBirdIcon = 4, kRibbonIcon = 5;
constexpr uint32_t kMinute = 60000;

class VipMgrTest : public panel_test::PanelPicturesTest {
 protected:
  void SetUp() override {
    PanelPicturesTest::SetUp();
    const panel_test::PanelFile files[] = {{VipComboAlertAnimPath, Art::QlaSet, 12}, {VipAlarmAnimPath, Art::QlaSet, 3}};
    WriteFiles(files);
    ASSERT_EQ(vip_.CreateWidgets(), 1);
    for (GVWnd*& mark : scene_.holdAlertHints) {
      mark = new GVWnd;
      mark->Show(0);
      scene_.AddSceneWnd(mark);
    }
    scene_.myUserNo = kMe;
    scene_.seatUsers = {kMe, kOpponent};
    scene_.model.sceneMode = CGameModel::kModePlaying;
    vip_.Vip() = {1, {0, 0, 1}};
    vip_.Alert() = {};
  }
  void TearDown() override {
    vip_.Vip() = {};
    vip_.Alert() = {};
    PanelPicturesTest::TearDown();
  }
  CHTUser& Opponent() { return scene_.seats[1]; }
  CHTUser& Me() { return scene_.seats[0]; }
  // Each opponent icon's animation, -1 when it is not showing.
  std::array<int32_t, 3> Icons() const {
    std::array<int32_t, 3> out{};
    for (int32_t i = 0; i < 3; ++i) {
      const GVQLAniWnd* icon = vip_.AlertIcon(kBrightIcon + i);
      out[size_t(i)] = icon->IsPlaying() && icon->IsVisible() ? icon->GetAnimationIndex() : -1;
    }
    return out;
  }
  std::vector<int32_t> Marks() const {
    std::vector<int32_t> shown;
    for (size_t i = 0; i < scene_.holdAlertHints.size(); ++i)
      if (scene_.holdAlertHints[i]->IsVisible()) shown.push_back(int32_t(i));
    return shown;
  }
  void Refresh() {
    VipStateMsg msg;
    msg.vipServiceActive = vip_.Vip().service[HelperAlert::kServiceActive];
    vip_.OnVipState(msg);
  }
  static int32_t Width(GVTextWnd* text) {
    SIZE extent{};
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, text->GetFont());
    GetTextExtentPoint32A(dc, text->GetText().c_str(), int(text->GetText().size()), &extent);
    DeleteDC(dc);
    return extent.cx;
  }
  L vip_{&scene_};
};

TEST_F(VipMgrTest, TwoRedPoemRibbonsWithTheThirdOpenShowTheIconOnceUntilICaptureIt) {
  Opponent().captured[kRibbon] = {1, 5};
  Refresh();
  EXPECT_EQ(Icons(), (std::array{-1, -1, 6}));
  EXPECT_EQ(scene_.playedEffects, std::vector<int32_t>{L::kComboEffect});
  const uint32_t started = vip_.AlertIcon(kRibbonIcon)->Resume();
  plat::sim::AdvanceClock(10);
  Refresh();
  EXPECT_EQ(vip_.AlertIcon(kRibbonIcon)->Resume(), started);
  EXPECT_EQ(scene_.playedEffects.size(), 1u);
  Me().captured[kRibbon] = {9};
  Refresh();
  EXPECT_EQ(Icons(), (std::array{-1, -1, -1}));
}

TEST_F(VipMgrTest, IconAnimationsFollowTheNearCombinations) {
  struct Case {
    std::vector<int32_t> brights, animals, ribbons;
    std::array<int32_t, 3> icons;
  };
  const Case cases[] = {
      {{}, {}, {21, 33}, {-1, -1, 5}},
      {{}, {}, {13, 17}, {-1, -1, 7}},
      {{}, {}, {1, 5, 21, 33}, {-1, -1, 8}},
      {{}, {}, {1, 5, 13, 17}, {-1, -1, 9}},
      {{}, {}, {21, 33, 13, 17}, {-1, -1, 10}},
      {{}, {}, {1, 5, 21, 33, 13, 17}, {-1, -1, 11}},
      {{}, {}, {1, 5, 9}, {-1, -1, -1}},
      {{0, 8}, {}, {}, {0, -1, -1}},
      {{0, 8, 28}, {}, {}, {1, -1, -1}},
      {{0, 8, 28, 40}, {}, {}, {2, -1, -1}},
      {{0, 8, 28, 40, 44}, {}, {}, {-1, -1, -1}},  // nothing left open
      {{0}, {4, 12}, {}, {-1, 4, -1}},
      {{}, {4, 12, 29}, {}, {-1, -1, -1}},
  };
  for (const Case& c : cases) {
    Opponent().captured[kBright] = c.brights;
    Opponent().captured[kAnimal] = c.animals;
    Opponent().captured[kRibbon] = c.ribbons;
    Refresh();
    EXPECT_EQ(Icons(), c.icons) << c.brights.size() << "/" << c.animals.size() << "/" << c.ribbons.size();
  }
}

TEST_F(VipMgrTest, BrightsOfMonthsClosedByMyHandAndTheFloorShowNoIcon) {
  Opponent().captured[kBright] = {0, 8};
  // Months 7, 10 and 11: one card in my hand, the other three on the floor.
  Me().hand = {28, 40, 44};
  scene_.model.floor.floorCards = {29, 30, 31, 41, 42, 43, 45, 46, 47};
  Refresh();
  EXPECT_EQ(Icons()[0], -1);
  // The marker says two of the month are taken: two in view close it too.
  scene_.model.floor.floorCards = {29, 30, 31, 41, 42, 43, 45};
  scene_.model.game.capturedPerMonth[11] = 2;
  Refresh();
  EXPECT_EQ(Icons()[0], -1);
  scene_.model.game.capturedPerMonth[11] = 1;
  Refresh();
  EXPECT_EQ(Icons()[0], 0);
  // Without a card of the month in my hand the month is open to the opponent.
  scene_.model.game.capturedPerMonth[11] = 0;
  Me().hand = {28, 40};
  scene_.model.floor.floorCards = {29, 30, 31, 41, 42, 43, 45, 46, 47};
  Refresh();
  EXPECT_EQ(Icons()[0], 0);
}

TEST_F(VipMgrTest, MyHandCardsOfNeededMonthsShowTheirHoldAlert) {
  Opponent().captured[kRibbon] = {1, 5};  // needs 9, month 2
  Opponent().captured[kAnimal] = {4, 12};  // needs 29, month 7
  Me().hand = {20, 8, 3, 30, 11};
  Refresh();
  EXPECT_EQ(Marks(), (std::vector<int32_t>{1, 3, 4}));
  Me().hand = {20};
  Refresh();
  EXPECT_EQ(Marks(), std::vector<int32_t>{});
}

TEST_F(VipMgrTest, WithTheSwitchOrTheServiceOffTheStateIsStoredAndNothingShows) {
  Opponent().captured[kRibbon] = {1, 5};
  Me().hand = {8};
  Refresh();
  ASSERT_EQ(Marks(), std::vector<int32_t>{0});
  for (const HelperAlert::VipState state : {HelperAlert::VipState{0, {0, 0, 1}}, HelperAlert::VipState{1, {0, 0, 0}}}) {
    vip_.Vip().alertSwitch = state.alertSwitch;
    VipStateMsg msg{.playSeconds = 61, .firstAmount = 5, .wins = 2, .losses = 3, .vipValue1 = 4, .vipValue2 = 6,
                    .vipServiceActive = state.service[2], .secondAmount = 8};
    vip_.OnVipState(msg);
    EXPECT_EQ(Icons(), (std::array{-1, -1, -1}));
    EXPECT_EQ(Marks(), std::vector<int32_t>{});
    EXPECT_EQ(vip_.Vip().service, (std::array{4, 6, state.service[2]}));
    const L::RoomValues& v = vip_.StoredRoomValues();
    EXPECT_EQ(std::tuple(v.playSeconds, v.wins, v.losses, v.firstAmount, v.secondAmount), std::tuple(61, 2, 3, 5, 8));
  }
  const CHelperView::UserInfo& kept = vip_.HelperView().KeptUserInfo();
  EXPECT_EQ(std::tuple(kept.playSeconds, kept.wins, kept.losses, kept.firstAmount, kept.secondAmount),
            std::tuple(61, 2, 3, 5, 8));
}

TEST(HelperAlertSet, MinutesOverGamesOverMoney) {
  struct Case {
    int32_t minutes, games;
    int64_t money;
    int32_t wantMinutes, wantGames;
    int64_t wantMoney;
  };
  const Case cases[] = {
      {30, 3, 100, 30, 0, 0}, {0, 3, 100, 0, 3, 0},         {-1, 0, 5000000000, 0, 0, 5000000000},
      {0, 0, 0, 0, 0, 0},     {0, -2, -7, 0, 0, 0},
  };
  for (const Case& c : cases) {
    HelperAlert a = {.minutes = 9, .gamesPlayed = 4, .gamesTarget = 9, .moneyWon = 1, .moneyTarget = 9};
    a.Set(c.minutes, c.games, c.money);
    EXPECT_EQ(std::tuple(a.minutes, a.gamesTarget, a.moneyTarget, a.gamesPlayed, a.moneyWon),
              std::tuple(c.wantMinutes, c.wantGames, c.wantMoney, 0, int64_t(0)))
        << c.minutes << "/" << c.games << "/" << c.money;
  }
}

class VipReminderTest : public VipMgrTest {
 protected:
  void At(uint32_t tick) { plat::sim::SetTickBase(tick); }
  bool AlarmShows(int32_t animation) const {
    return vip_.Alarm()->IsPlaying() && vip_.Alarm()->GetAnimationIndex() == animation;
  }
};

TEST_F(VipReminderTest, MinutesRemindersFireAfterTheirTimeAndRepeatFromTheDisplaysEnd) {
  const uint32_t start = 1000;
  At(start);
  vip_.Alert().Set(30, 0, 0);
  At(start + 30 * kMinute - 1);
  vip_.OnGameResult(0);
  EXPECT_EQ(vip_.DisplayStart(), 0u);
  At(start + 30 * kMinute);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(0));
  const uint32_t fired = start + 30 * kMinute;
  At(fired + L::kDisplayMs - 1);
  vip_.Tick();
  EXPECT_TRUE(vip_.Alarm()->IsPlaying());
  At(fired + L::kDisplayMs);
  vip_.Tick();
  EXPECT_EQ(vip_.DisplayStart(), 0u);
  EXPECT_FALSE(vip_.Alarm()->IsPlaying());
  EXPECT_EQ(vip_.Alert().minutes, 30);
  At(fired + 30 * kMinute);
  vip_.OnGameResult(0);
  EXPECT_EQ(vip_.DisplayStart(), 0u);
  At(fired + L::kDisplayMs + 30 * kMinute);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(0));

  At(start);
  vip_.Alert().Set(45, 0, 0);
  At(start + 45 * kMinute);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(1));
}

TEST_F(VipReminderTest, LongAndWrappingMinuteCountsAreExact) {
  // 40,000 minutes is 2,400,000,000 ms: past 32 signed bits.
  At(0x10);
  vip_.Alert().Set(40000, 0, 0);
  At(0x10 + 35792u * kMinute);
  vip_.OnGameResult(0);
  EXPECT_EQ(vip_.DisplayStart(), 0u);
  At(0x10 + 40000u * kMinute);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(1));

  const uint32_t beforeWrap = 0xFFFFFF00u;
  At(beforeWrap);
  vip_.Alert().Set(30, 0, 0);
  At(beforeWrap + 30 * kMinute - 1);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(1));  // still the long one from above
  vip_.Alarm()->Stop();
  EXPECT_FALSE(AlarmShows(0));
  At(beforeWrap + 30 * kMinute);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(0));
}

TEST_F(VipReminderTest, ADisplayStartingAtTickZeroStillEnds) {
  At(0);
  vip_.Alert().Set(0, 1, 0);
  vip_.OnGameResult(0);
  EXPECT_EQ(vip_.DisplayStart(), 1u);
  At(L::kDisplayMs + 1);
  vip_.Tick();
  EXPECT_EQ(vip_.DisplayStart(), 0u);
}

TEST_F(VipReminderTest, GamesReminderShowsItsCentredTextsAndClearsItself) {
  At(100);
  vip_.Alert().Set(0, 3, 0);
  vip_.OnGameResult(0);
  vip_.OnGameResult(0);
  EXPECT_EQ(vip_.DisplayStart(), 0u);
  vip_.OnGameResult(0);
  EXPECT_TRUE(AlarmShows(2));
  GVTextWnd* first = vip_.AlarmText(0);
  GVTextWnd* second = vip_.AlarmText(1);
  EXPECT_EQ(first->GetText(), "3판");
  EXPECT_EQ(second->GetText(), " 진행하셨습니다.화이팅!");
  const int32_t w1 = Width(first), w2 = Width(second);
  ASSERT_GT(w1, 0);
  const int32_t x = (206 - w1 - w2) / 2 + 3;
  EXPECT_EQ(first->GetPos(), GPoint(407 + x, 498));
  EXPECT_EQ(second->GetPos(), GPoint(407 + x + w1, 498));
  At(100 + L::kTextsAfterMs - 1);
  vip_.Tick();
  EXPECT_EQ(first->IsVisible(), 0);
  At(100 + L::kTextsAfterMs);
  vip_.Tick();
  EXPECT_EQ(std::pair(first->IsVisible(), second->IsVisible()), std::pair(1, 1));
  At(100 + L::kDisplayMs);
  vip_.Tick();
  EXPECT_EQ(std::pair(first->IsVisible(), second->IsVisible()), std::pair(0, 0));
  EXPECT_EQ(first->GetText() + second->GetText(), "");
  EXPECT_EQ(vip_.Alert().gamesTarget, 0);
  EXPECT_EQ(vip_.HelperView().Settings(), CHelperView::Thresholds{});
  // Cleared: more games fire nothing.
  for (int32_t i = 0; i < 4; ++i) vip_.OnGameResult(0);
  EXPECT_EQ(vip_.DisplayStart(), 0u);
}

TEST_F(VipReminderTest, MoneyReminderFiresWhenTheWinningsReachTheTarget) {
  At(100);
  vip_.Alert().Set(0, 0, 150000000);
  vip_.OnGameResult(100000000);
  EXPECT_EQ(vip_.DisplayStart(), 0u);
  vip_.OnGameResult(50000000);
  EXPECT_TRUE(AlarmShows(2));
  EXPECT_EQ(vip_.AlarmText(0)->GetText(), FormatMoney(150000000, 0));
  EXPECT_EQ(vip_.AlarmText(1)->GetText(), " 획득하셨습니다.축하합니다.");
  EXPECT_EQ(vip_.Alert().moneyWon, 0);
}

TEST_F(VipMgrTest, ForgottenWidgetsAreNeverTouched) {
  for (GVWnd* w : scene_.sceneWnds) delete w;
  scene_.sceneWnds.clear();
  scene_.holdAlertHints = {};
  vip_.ForgetWidgets();
  Opponent().captured[kRibbon] = {1, 5};
  vip_.Alert().Set(0, 1, 0);
  Refresh();
  vip_.HideComboIcons();
  vip_.OnGameResult(0);
  plat::sim::AdvanceClock(L::kDisplayMs + 1);
  vip_.Tick();
  EXPECT_EQ(vip_.DisplayStart(), 0u);
}

}  // namespace vip_mgr_test
