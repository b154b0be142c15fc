// The scene build on the synthetic data: its result and readiness, the animation list,
// the popup buttons, the drawing order, the cards and their marks, the places, the
// failures that stop it or only fail it, the threads it runs on, its cancel, and the
// first frame of the built table.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "panels/CVPSPPushBtn.h"
#include "plat/sim.h"
#include "support/GameTable.h"
#include "tables/SceneBuildTable.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/WidgetTestSupport.h"

namespace build_test {

namespace sb = scene_build;
using plat::sim::DisplayFormat;
using testing_support::OpenWatch;

// The animation list's length with every file present: the build's own 119 animated
// widgets plus whatever the panels append. Re-pinned when a panel adds one.
constexpr size_t kAnimationListCount = 133;
// The first frame of the built table, by desktop format; re-pinned when the table's
// look changes (a panel's children landing, say).
constexpr const char* kFirstFrame565 = "a9c62610c08017e2";
constexpr const char* kFirstFrame32 = "54d9e62ff73bcfdd";

class BuildTest : public testing_support::GameTableTest, public testing::WithParamInterface<DisplayFormat> {
 protected:
  // The table built (synchronously) on the parameter's desktop.
  void Build() {
    plat::sim::ResetDisplay(GetParam());
    MakeTable();
  }
  // The window and its scene without the loader (a failed synchronous build would fail
  // the host's InitGameWnd and take the window with it).
  void Create() {
    ASSERT_EQ(wnd->CreateGameWindow(nullptr, hostWnd, kGameFolder, "D:\\portal\\", "", GSize(800, 600), 0, 0), 1);
  }
  const CDorvik2VWS::SceneWidgets& W() const { return scene->Widgets(); }
  const CDorvik2VWS::CardTableWidgets& C() const { return scene->CardWidgets(); }
  // Position in the drawing order, 0 the top.
  int32_t Z(const GVWnd* wnd) {
    auto& list = scene->GetWndList();
    return static_cast<int32_t>(std::distance(list.begin(), std::find(list.begin(), list.end(), wnd)));
  }
  static void HideFile(const std::string& relPath) {
    plat::sim::MapPathPrefix(kImageFolder + relPath, "/nonexistent-dorvik-folder/");
  }
  // Event 36s the host received, and from which threads.
  std::vector<std::thread::id> LoadEvents() const {
    std::vector<std::thread::id> out;
    for (const auto& call : host.Calls())
      if (call.line.starts_with("NotifyEvent(") && call.line.find(", 36, ") != std::string::npos)
        out.push_back(call.thread);
    return out;
  }
  // The build's own animated widgets, in build order.
  std::vector<GVQLAniWnd*> OwnAnimations() const {
    const auto& w = W();
    const auto& c = C();
    std::vector<GVQLAniWnd*> out{w.memoNotice, w.remainCloseAnim, w.remainHoldAnims[0], w.remainHoldAnims[1]};
    for (int32_t id = CDorvik2VWS::kCardWidgets - 1; id >= 0; --id) out.push_back(c.missionIcons[size_t(id)]);
    out.push_back(w.robotPlayAnim);
    for (const auto& slot : c.handHints)
      for (size_t h = 0; h < slot.size(); ++h)
        if (sb::kHandHints[h].animated) out.push_back(static_cast<GVQLAniWnd*>(slot[h]));
    out.insert(out.end(), w.eventAnims.begin(), w.eventAnims.end());
    out.insert(out.end(), w.sunNotices.begin(), w.sunNotices.end());
    out.insert(out.end(), {w.countdownAnim, w.startAnim, w.bettingBack});
    out.insert(out.end(), w.bettingKindAnims.begin(), w.bettingKindAnims.end());
    out.push_back(w.multiplierAnim);
    out.insert(out.end(), w.comboAnims.begin(), w.comboAnims.end());
    out.insert(out.end(), {w.winnerAnim, w.moneyBellAnim, w.autoRefillAnims[0], w.autoRefillAnims[1], w.bijouEffect,
                           w.pickBanner, w.inGameBanner, w.deckAnim, w.gameLevelAnim, w.hourAnimation, w.moneyLimitTooltipAnim, w.moneyLimitExplainAnim});
    return out;
  }
};

TEST_P(BuildTest, EveryFilePresentOpensTheSceneWithItsAnimationsAndPopupButtons) {
  Build();
  EXPECT_TRUE(scene->IsReady());
  EXPECT_TRUE(scene->LoadErrors().empty());
  EXPECT_TRUE(LoadEvents().empty());

  const std::vector<GVQLAniWnd*> own = OwnAnimations();
  const auto& list = scene->Animations();
  std::vector<GVQLAniWnd*> listed;
  for (GVQLAniWnd* a : list)
    if (std::find(own.begin(), own.end(), a) != own.end()) listed.push_back(a);
  EXPECT_EQ(listed, own) << "the build's animated widgets, each once, in build order";
  EXPECT_EQ(list.front(), W().memoNotice);
  EXPECT_EQ(list.back(), W().moneyLimitExplainAnim);
  EXPECT_EQ(list.size(), kAnimationListCount);
  for (GVQLAniWnd* a : own) EXPECT_FALSE(a->IsVisible()) << a->GetName();
  for (GVQLAniWnd* still : {W().turnMarker, W().sunPickAnim, W().moneyBellNotice, W().moneyBellOtherAnim})
    EXPECT_EQ(std::count(list.begin(), list.end(), still), 0) << "not animated";

  const auto& buttons = scene->Buttons();
  ASSERT_EQ(buttons.size(), size_t(sb::kPopupButtons));
  for (size_t k = 0; k < buttons.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_FALSE(buttons[k]->IsVisible());
    EXPECT_EQ(buttons[k]->GetPos(), sb::kOrigin);
    EXPECT_LT(Z(buttons[k]), Z(W().gameLevelAnim) + 5) << "made just before the level animation";
    EXPECT_EQ(buttons[k]->SetImageSet(1), sb::kPopupButtonSets[k] > 1 ? 1 : 0) << "its set count";
  }
}

// The managers keep pointers to widgets the scene's list owns: after the teardown they
// hold none, so their operations touch nothing freed (the sanitizers watch).
TEST_P(BuildTest, ATeardownLeavesTheManagersNoWidgets) {
  Build();
  scene->DestroyAll();
  scene->PromotionManager().ShowAniBanner(0);
  scene->PromotionManager().ShowBanner(1);
  scene->PromotionManager().HideAll();
  EXPECT_FALSE(scene->PromotionManager().IsBannerVisible());
  scene->VipManager().HideAlertIcons();
  for (int32_t i = 0; i < CDorvik2VIPMgr::kAlertIcons; ++i) EXPECT_EQ(scene->VipManager().AlertIcon(i), nullptr);
}

TEST_P(BuildTest, DrawingOrderRunsFromTheClothToTheTicker) {
  Build();
  EXPECT_EQ(scene->GetBottomWnd(), W().background);
  EXPECT_EQ(scene->GetTopWnd(), W().noticeTicker);
  EXPECT_EQ(Z(W().moneyBellNotice), Z(W().resultPanel) + 1) << "directly behind the result panel";
  EXPECT_EQ(W().moneyBellNotice->GetPos(), W().resultPanel->GetPos());
  // The VIP manager's six alert icons lie directly behind the September clip, in order;
  // between them and the last hand hint, made just before the clip, lies nothing of the
  // build's.
  const int32_t clip = Z(C().nineTenClip);
  EXPECT_EQ(Z(C().autoPlayNotice), clip - 1);
  for (int32_t i = 0; i < CDorvik2VIPMgr::kAlertIcons; ++i) {
    ASSERT_NE(scene->VipManager().AlertIcon(i), nullptr) << i;
    EXPECT_EQ(Z(scene->VipManager().AlertIcon(i)), clip + 1 + i) << i;
  }
  const int32_t lastHint = Z(C().handHints[9][7]);
  EXPECT_GT(lastHint, clip);
  auto it = scene->GetWndList().begin();
  std::advance(it, clip + 1);
  for (int32_t z = clip + 1; z < lastHint; ++z, ++it) {
    EXPECT_EQ(std::count(C().handHints[9].begin(), C().handHints[9].end(), *it), 0) << z;
  }
}

TEST_P(BuildTest, CardsComeWithTheirCompanionsAndMarksAtTheirPlaces) {
  Build();
  for (int32_t id = 0; id < CDorvik2VWS::kCardWidgets; ++id) {
    SCOPED_TRACE(id);
    const auto i = size_t(id);
    CVHTWnd* card = C().cards[i];
    EXPECT_EQ(card->GetPos(), CDorvik2VWS::kDeckPoint);
    EXPECT_EQ(card->home, CDorvik2VWS::kDeckPoint);
    EXPECT_TRUE(card->IsVisible());
    auto* companion = static_cast<GVBoxWnd*>(C().companions[i]);
    EXPECT_EQ(Z(companion), Z(card) - 1) << "made right after its card";
    EXPECT_EQ(companion->GetRect().Size(), GSize(36, 55));
    EXPECT_EQ(companion->GetFillColor(), 0u);
    EXPECT_EQ(companion->GetFillLevel(), sb::kCompanionBlend);
    EXPECT_FALSE(companion->IsVisible());
    GVQLAniWnd* icon = C().missionIcons[i];
    EXPECT_EQ(Z(icon), Z(card) - 2);
    EXPECT_STREQ(icon->GetName(), sb::kCardMissionIcon);
    EXPECT_FALSE(icon->IsVisible());
    if (id > 0) {
      EXPECT_EQ(Z(C().cards[i - 1]), Z(card) - 3) << "cards from 49 down to 0";
    }
  }
  for (int32_t look = 0; look < 3; ++look) {
    CVHTWnd* card = C().lookCards[size_t(look)];
    EXPECT_EQ(card->GetRect(), GRect(sb::kOrigin, CVHTWnd::kLookSizes[look])) << look;
    EXPECT_EQ(card->home, sb::kOrigin);
    EXPECT_FALSE(card->IsVisible());
    EXPECT_FALSE(card->IsEnabled());
  }
  for (int32_t slot = 0; slot < CVHTWnd::kFloorMarks; ++slot)
    EXPECT_EQ(C().floorOutlines[size_t(slot)]->GetPos(), CDorvik2VWS::kFloorSlotPoints[slot] + GSize(2, -3)) << slot;
  EXPECT_EQ(C().handOutlines[0]->GetPos(), sb::kOrigin);
  EXPECT_EQ(C().handOutlines[0]->GetFrame(), 1);
  for (int32_t k = 1; k <= CVHTWnd::kHandMarks; ++k)
    EXPECT_EQ(C().handOutlines[size_t(k)]->GetPos(), CDorvik2VWS::HandSlotPoint(0, k - 1) - GSize(3, 3)) << k;
  const char* const hintNames[] = {"CanEat", "CanEatFix", "Bomb", "Shake", "Mine", "Mission", "MissionGray"};
  for (int32_t slot = 0; slot < sb::kHintSlots; ++slot) {
    const auto& hints = C().handHints[size_t(slot)];
    for (size_t h = 0; h < hints.size(); ++h) {
      SCOPED_TRACE(testing::Message() << "slot " << slot << ", hint " << h);
      auto* hint = static_cast<GVQLAniWnd*>(hints[h]);
      GRect frame;
      hint->GetFrameRect(frame);
      EXPECT_EQ(hint->GetPos(), CDorvik2VWS::HandSlotPoint(0, slot));
      EXPECT_FALSE(hint->IsVisible());
      if (h < std::size(hintNames)) {
        EXPECT_STREQ(hint->GetName(), hintNames[h]);
      } else {
        EXPECT_EQ(hint->GetAnimationIndex(), 3) << "the hold alert's fourth";
      }
      if (h > 0) {
        EXPECT_EQ(Z(hints[h - 1]), Z(hint) + 1);
      }
    }
  }
}

TEST_P(BuildTest, PlacesOfTheBettingGroupTheInviteButtonAndTheVoiceOffMarks) {
  Build();
  EXPECT_EQ(W().bettingBack->GetPos(), GPoint(64, 401));
  for (int32_t k = 0; k < sb::kBetButtons; ++k)
    EXPECT_EQ(W().betButtons[size_t(k)]->GetPos(), GPoint(75 + 92 * k, 461)) << k;
  EXPECT_EQ(W().bettingText->GetPos(), GPoint(131, 416));
  EXPECT_EQ(W().dieWarning->GetPos(), GPoint(297, 341));
  EXPECT_EQ(W().inviteButton->GetPos(), GPoint(735, 88));
  EXPECT_FALSE(W().inviteButton->IsVisible());
  for (int32_t side = 0; side < CDorvik2VWS::kSeats; ++side) {
    const GPoint avatar = sb::kAvatarPoints[size_t(side)];
    const GRect mark = W().voiceOffMarks[size_t(side)]->GetRect();
    EXPECT_EQ(mark.TopLeft().x, avatar.x) << side;
    EXPECT_EQ(mark.bottom, avatar.y + 98) << side;
    EXPECT_EQ(W().firstPlayerIcons[size_t(side)]->GetPos(), avatar + GSize(30, 80)) << side;
  }
  EXPECT_EQ(W().chanceText->GetPos(), GPoint(683, 505));
  EXPECT_EQ(W().autoRefillTexts[1]->GetPos(), GPoint(617, 117));
  EXPECT_EQ(W().robotAvatar, W().robotAvatars[0]);
  EXPECT_EQ(W().waitingSprite, W().playStart);
}

// The widgets beyond the numbered steps lie over the table's panels and under the
// option panel, hidden until a handler or F12 wants them; the board is drawn full.
TEST_P(BuildTest, TheBoardBannersDeckAnimationAndNoTurnSignWaitHiddenAtTheirPlaces) {
  Build();
  GVWnd* board = C().cardBoard;
  ASSERT_NE(board, nullptr);
  ASSERT_NE(C().cardStrip, nullptr);
  EXPECT_EQ(board->GetRect(), GRect(sb::kCardBoardPoint, GSize(4 * 15 - 1, 12 * 21 - 1))) << "4 x 12 cells of 14 x 20";
  EXPECT_FALSE(board->IsVisible());
  EXPECT_FALSE(C().cardStrip->IsVisible());
  const std::vector<uint32_t> drawn = widget_test::ReadPixels(board->GetSurface());
  EXPECT_GT(std::set<uint32_t>(drawn.begin(), drawn.end()).size(), 12u) << "the month cards are on it already";
  for (GVWnd* wnd : {static_cast<GVWnd*>(W().roomBanner), static_cast<GVWnd*>(W().pickBanner),
                     static_cast<GVWnd*>(W().inGameBanner)}) {
    EXPECT_EQ(wnd->GetPos(), sb::kRoomBanner.pos);
    EXPECT_FALSE(wnd->IsVisible());
  }
  EXPECT_EQ(W().deckAnim->GetPos(), CDorvik2VWS::kDeckPoint);
  EXPECT_EQ(W().noTurnSign->GetPos(), sb::kNoTurnSign.pos);
  for (GVWnd* wnd : {static_cast<GVWnd*>(W().deckAnim), W().noTurnSign}) EXPECT_FALSE(wnd->IsVisible());
  EXPECT_LT(Z(W().noTurnSign), Z(W().bijouEffect));
  EXPECT_GT(Z(C().cardStrip), Z(W().optionPanel));
}

// A missing cloth ends the build at once; a missing outline sheet lets the floor go on
// and ends at the hand's first outline.
TEST_P(BuildTest, MissingFilesStopTheBuildWhereTheyAreNeeded) {
  plat::sim::ResetDisplay(GetParam());
  HideImages("Back");
  Create();
  EXPECT_EQ(wnd->StartLoader(0), 0);
  scene = wnd->Scene();
  EXPECT_FALSE(scene->IsReady());
  ASSERT_EQ(scene->LoadErrors().size(), 1u);
  EXPECT_EQ(scene->LoadErrors()[0], (CDorvik2VWS::LoadErrorRecord{1, "Back\\skin_0.bmp"}));
  EXPECT_EQ(LoadEvents().size(), 1u);
  EXPECT_TRUE(scene->GetWndList().empty()) << "stopped at step 3";

  TearDown();
  SetUp();
  plat::sim::ResetDisplay(GetParam());
  HideFile(sb::kOutline);
  Create();
  EXPECT_EQ(wnd->StartLoader(0), 0);
  scene = wnd->Scene();
  ASSERT_EQ(scene->LoadErrors().size(), size_t(CVHTWnd::kFloorMarks + 1));
  for (const auto& record : scene->LoadErrors()) EXPECT_EQ(record, (CDorvik2VWS::LoadErrorRecord{1, sb::kOutline}));
  EXPECT_EQ(C().handOutlines[0], nullptr);
  EXPECT_EQ(C().cards[49], nullptr) << "no step after 23";
  EXPECT_FALSE(scene->IsReady());

  TearDown();
  SetUp();
  plat::sim::ResetDisplay(GetParam());
  // The board and the signs are this build's own additions: a folder without their
  // files builds a whole table without them.
  HideFile(sb::kCardBoardPicture);
  HideFile(sb::kDeckAnimation.path);
  HideFile(sb::kNoTurnSign.path);
  Create();
  EXPECT_NE(wnd->StartLoader(0), 0);
  scene = wnd->Scene();
  EXPECT_TRUE(scene->LoadErrors().empty());
  EXPECT_TRUE(scene->IsReady());
  EXPECT_EQ(C().cardBoard, nullptr);
  EXPECT_EQ(W().deckAnim, nullptr);
  EXPECT_EQ(W().noTurnSign, nullptr);
  EXPECT_NE(W().pickBanner, nullptr);
  EXPECT_NE(W().optionPanel, nullptr);
}

TEST_P(BuildTest, AMissingBannerRunsTheBuildToItsEndAndFailsIt) {
  plat::sim::ResetDisplay(GetParam());
  HideFile("Promotion\\banner_default.psp");
  OpenWatch watch;
  Create();
  const int32_t result = wnd->StartLoader(0);
  scene = wnd->Scene();
  EXPECT_GT(watch.Count("Promotion\\banner_default.psp"), 0) << "the promotion manager asked for it";
  EXPECT_EQ(result, 0);
  EXPECT_NE(W().noticeTicker, nullptr) << "ran to its end";
  EXPECT_FALSE(scene->IsReady());
}

// Threaded, the loader reports once and tells the host of each failure from its own
// thread.
TEST_P(BuildTest, ThreadedBuildReportsOnceFromTheLoaderThread) {
  for (const bool fails : {false, true}) {
    SCOPED_TRACE(fails);
    TearDown();
    SetUp();
    plat::sim::ResetDisplay(GetParam());
    if (fails) HideFile("Etc\\gamelevel.qla");
    ASSERT_NE(Init(client, 1), nullptr);
    WaitForLoader(wnd);
    const auto loaded = PostedToHost(WM_GAME_LOADED);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].wParam, fails ? 0u : 1u);
    EXPECT_EQ(wnd->Scene()->IsReady(), !fails);
    const auto events = LoadEvents();
    ASSERT_EQ(events.size(), fails ? 1u : 0u);
    if (fails) {
      EXPECT_NE(events[0], std::this_thread::get_id());
    }
  }
}

// DestroyGameWnd while the loader is held at a card picture: the build opens no other
// file, nothing is posted, and the scene goes once the loader has ended.
TEST_P(BuildTest, CancelStopsTheBuildWithinOneFile) {
  plat::sim::ResetDisplay(GetParam());
  OpenWatch gate({.holdAt = "Hwatoo\\normal.bmp", .until = [this] { return wnd->LoaderCancelRequested(); }});
  ASSERT_NE(Init(client, 1), nullptr);
  ASSERT_TRUE(gate.WaitHeld(kThreadWaitMs));
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 0u) << "joined, so the scene went with the window";
  std::vector<std::string> images = gate.Names();
  std::erase_if(images, [](const std::string& n) { return n.find("GameImage\\") == std::string::npos; });
  ASSERT_FALSE(images.empty());
  EXPECT_TRUE(images.back().ends_with("Hwatoo\\normal.bmp")) << images.back();
  EXPECT_EQ(gate.Count("GameSound\\"), 0);
  EXPECT_TRUE(PostedToHost(WM_GAME_LOADED).empty());
}

TEST_P(BuildTest, FirstFrameOfTheBuiltTable) {
  Build();
  scene->SetFullRedraw();
  scene->Draw(nullptr, GRect());
  const bool wide = GetParam() == DisplayFormat::Xrgb8888;
  const std::string name = wide ? "built_table_32" : "built_table_565";
  const auto check = plat::sim::CheckFrame(plat::sim::CaptureWindow(wnd->Handle()), name,
                                           wide ? kFirstFrame32 : kFirstFrame565);
  EXPECT_TRUE(check.matches) << "hash " << check.actualHash << ", picture in " << check.actualPath;
}

INSTANTIATE_TEST_SUITE_P(Desktops, BuildTest, testing::Values(DisplayFormat::Rgb565, DisplayFormat::Xrgb8888),
                         [](const testing::TestParamInfo<DisplayFormat>& info) { return info.index ? "f32" : "f565"; });

}  // namespace build_test
