// More of the table's input as a person makes it: the seat menu from a press on a seat,
// the anti-leave question asked again, the top bar under the notice strip, the join
// button by mode, the keys that reach the prompt and the result panel, and the seat
// menu's entries by who asks and when.
#include <array>

#include "scene/SceneInputFixture.h"
#include "support/BoxWatch.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using namespace scene_input_test;

TEST_F(SceneInputTest, APressOnASeatPanelOpensTheSeatMenuThere) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  const auto& menu = scene->Buttons();
  const int32_t side = scene->SideOfSeat(1);
  CVUserInfoWnd* panel = scene->Widgets().seatPanels[static_cast<size_t>(side)];
  ASSERT_NE(panel, nullptr);
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  ASSERT_EQ(panel->UserNo(), kOther);
  const GPoint at(panel->GetRect().left + 3, panel->GetRect().top + 30);
  Inject::MouseDown(wnd->Handle(), at.x, at.y);
  Inject::MouseUp(wnd->Handle(), at.x, at.y);
  ASSERT_TRUE(menu[0]->IsVisible());
  EXPECT_EQ(menu[0]->GetPos(), at);
  EXPECT_EQ(scene->Model().seatMenuUser, kOther);
  EXPECT_TRUE(menu[1]->IsEnabled()) << "a text to the other user";

  // Outside the menu a release closes it; a press on my own panel opens it for me.
  Inject::Click(wnd->Handle(), 300, 300);
  EXPECT_FALSE(menu[0]->IsVisible());
  CVUserInfoWnd* mine = scene->Widgets().seatPanels[static_cast<size_t>(scene->SideOfSeat(0))];
  const GPoint low(mine->GetRect().left + 3, mine->GetRect().top + 3);
  Inject::MouseDown(wnd->Handle(), low.x, low.y);
  EXPECT_EQ(scene->Model().seatMenuUser, kMe);
  EXPECT_FALSE(menu[1]->IsEnabled()) << "no text to myself";
  EXPECT_LE(menu[3]->GetRect().bottom, 520);
}

TEST_F(SceneInputTest, TheClickCursorOverAnAvatarAndThePlainOneOverTheTable) {
  scene->SetPlayerAvatar(kOtherId, {"Avatar\\Part\\body.gif"});
  GVWnd* avatar = scene->Widgets().avatars[static_cast<size_t>(scene->SideOfSeat(1))];
  ASSERT_NE(avatar, nullptr);
  const GPoint on = Centre(avatar);
  Inject::MouseMove(wnd->Handle(), on.x, on.y);
  EXPECT_EQ(scene->CursorKind(), 2);
  Inject::MouseMove(wnd->Handle(), 300, 300);
  EXPECT_EQ(scene->CursorKind(), 1);
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  Inject::MouseDown(wnd->Handle(), on.x, on.y);
  EXPECT_EQ(scene->SeatMenuUser(), kOther) << "the avatar's seat";
}

// The click cursor stays over a table button however the pointer moves inside it.
TEST_F(SceneInputTest, TheClickCursorStaysWhileThePointerMovesOverAButton) {
  CVPSPPushBtn* capture = scene->Widgets().captureButton;
  capture->Show(1);
  capture->Enable(1);
  const GPoint at = Centre(capture);
  Inject::MouseMove(wnd->Handle(), 300, 300);
  ASSERT_EQ(GetCursor(), scene->NormalCursor());
  for (int32_t dx : {0, 1, 2}) {
    Inject::MouseMove(wnd->Handle(), at.x + dx, at.y);
    EXPECT_EQ(GetCursor(), scene->ClickCursor()) << "move " << dx;
  }
  Inject::MouseMove(wnd->Handle(), 300, 300);
  EXPECT_EQ(GetCursor(), scene->NormalCursor());
}

TEST_F(SceneInputTest, EveryExitClickAsksAgainAfterANo) {
  AntiLeaveGame();
  int32_t boxes = 0;
  plat::sim::SetModalHook([&boxes](HWND) {
    ++boxes;
    plat::sim::PressKey(VK_ESCAPE);
  });
  CVPSPPushBtn* exitButton = ExitButton();
  for (int32_t n = 1; n <= 3; ++n) {
    Click(exitButton);
    EXPECT_EQ(boxes, n);
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(SceneInputTest, TopBarButtonsTakeClicksUnderTheNoticeStrip) {
  const auto& w = scene->Widgets();
  ASSERT_NE(w.noticeTicker, nullptr);
  const GRect strip = w.noticeTicker->GetRect();
  for (CVPSPPushBtn* b : {w.memoButton, w.captureButton}) {
    b->Show(1);
    b->Enable(1);
    const GRect r = b->GetRect();
    ASSERT_LT(r.top, strip.bottom) << "the button reaches under the strip";
    host.Clear();
    Inject::Click(wnd->Handle(), (r.left + r.right) / 2, r.top + 1);
    EXPECT_EQ(host.CallsTo(testing_support::HostSlot::NotifyEvent).size(), 1u);
  }
  // The strip itself takes nothing: a press there with no button under it lets the
  // host drag its window.
  EXPECT_EQ(scene->WidgetAtPoint(GPoint(5, 5)), nullptr);
}

// Each case clicks the same spot at once after the last: the layer makes the second
// press a double click, which must press like the first.
TEST_F(SceneInputTest, JoinActsByModeOnEveryClick) {
  CVPSPPushBtn* join = scene->Widgets().joinButton;
  join->Show(1);
  join->Enable(1);
  const std::string play = Words({2, scene->Model().myVoiceSet, 0});
  const std::string observe = "03 00 00 00";
  struct Case { int32_t mode; bool seated; std::vector<std::string> sent; };
  const Case cases[] = {{CDorvik2VWS::kModePlaying, true, {observe}},
                        {CDorvik2VWS::kModeResult, true, {observe}},
                        {CDorvik2VWS::kModeResult, true, {observe}},
                        {CDorvik2VWS::kModeWaiting, false, {play}},
                        // Outside the waiting mode a seat comes only from a robot.
                        {CDorvik2VWS::kModePlaying, false, {}},
                        {CDorvik2VWS::kModeResult, false, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (&c - cases));
    scene->GetPlayer(0).userNo = c.seated ? kMe : RCUser::kNoUser;
    scene->SetSceneMode(c.mode);
    host.Clear();
    Click(join);
    EXPECT_EQ(Sent(), c.sent);
  }
}

TEST_F(SceneInputTest, F1ReachesThePromptThenTheResultPanel) {
  AskGoOrStopMsg ask{kMe, 7, 0};
  scene->OnAskGoOrStop(ask);
  ASSERT_TRUE(scene->Widgets().notifyPrompt->IsVisible());
  ASSERT_EQ(scene->Model().handPick, 0);
  host.Clear();
  Inject::PressKey(VK_F1);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({16, 0, 1})}) << "the prompt's yes: go";
  EXPECT_FALSE(scene->Widgets().notifyPrompt->IsVisible());

  CVResultWnd* result = scene->Widgets().resultPanel;
  result->Show(1);
  result->OkButton()->Show(1);
  for (const int32_t mode : {CDorvik2VWS::kModePlaying, CDorvik2VWS::kModeResult}) {
    scene->SetSceneMode(mode);
    host.Clear();
    Inject::PressKey(VK_F1);
    EXPECT_EQ(Sent().size(), mode == CDorvik2VWS::kModeResult ? 1u : 0u) << "the result panel only in mode 3";
  }
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({18})});
  EXPECT_FALSE(result->IsVisible());
}

TEST_F(SceneInputTest, KeyAPlaysTheDummyTurnPastFiveCards) {
  for (const int32_t dummies : {1, 0}) {
    SCOPED_TRACE(dummies);
    DealMyHand(5);
    scene->Model().game.deck = {40};
    scene->Seat(0).bombDummyCount = dummies;
    GVWnd* marker = scene->CardWidgets().bombDummies[0];
    marker->Show(1);
    host.Clear();
    Inject::PressKey('A');
    // A face-down deck card reports 50.
    EXPECT_EQ(Sent(), dummies ? std::vector<std::string>{Words({12, 0, 50, 0})} : std::vector<std::string>{});
    EXPECT_EQ(marker->IsVisible(), dummies == 0);
  }
}

TEST_F(SceneInputTest, AClickOnADummyMarkerPlaysTheDeckCard) {
  DealMyHand(5);
  scene->Model().game.deck = {40};
  scene->Seat(0).bombDummyCount = 2;
  const auto& markers = scene->CardWidgets().bombDummies;
  for (size_t m = 0; m < 2; ++m) {
    markers[m]->SetPos(CCardTable::HandSlotPoint(scene->SideOfSeat(0), 5 + static_cast<int32_t>(m)));
    markers[m]->Show(1);
  }
  Click(markers[1]);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({12, 0, 50, 0})});
  EXPECT_FALSE(markers[1]->IsVisible());
  EXPECT_TRUE(markers[0]->IsVisible());
}

// Entry enablement by who opens the menu for whom, and when: user info, text, kick, mute.
TEST_F(SceneInputTest, SeatMenuEntriesByOwnerSeatAndMode) {
  constexpr int32_t kWatcher = 11;
  struct Case {
    const char* what;
    int32_t mode;
    bool iOwn;
    int32_t user;
    bool antiLeaveGame;
    bool onKickList;
    std::array<bool, 4> enabled;
  };
  const Case cases[] = {
      {"myself, waiting", CDorvik2VWS::kModeWaiting, true, kMe, false, false, {true, false, false, true}},
      {"the other, waiting, owner", CDorvik2VWS::kModeWaiting, true, kOther, false, false, {true, true, true, true}},
      {"the other, waiting, not owner", CDorvik2VWS::kModeWaiting, false, kOther, false, false, {true, true, false, true}},
      {"a watcher, waiting, owner", CDorvik2VWS::kModeWaiting, true, kWatcher, false, false, {true, true, true, false}},
      {"the other, playing", CDorvik2VWS::kModePlaying, true, kOther, false, false, {true, true, false, true}},
      {"the other, anti-leave game", CDorvik2VWS::kModeWaiting, true, kOther, true, false, {true, true, false, true}},
      {"a watcher, anti-leave game", CDorvik2VWS::kModeWaiting, true, kWatcher, true, false, {true, true, true, false}},
      {"the other, result", CDorvik2VWS::kModeResult, true, kOther, false, false, {true, true, false, true}},
      {"the other, result, kick asked", CDorvik2VWS::kModeResult, true, kOther, false, true, {true, true, true, true}},
  };
  const auto& menu = scene->Buttons();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scene->SetSceneMode(c.mode);
    scene->Model().tableOwnerUserNo = c.iOwn ? kMe : kOther;
    scene->GetRoomData().roomState = c.antiLeaveGame ? 9 : 1;
    scene->GetRoomData().antiLeaveLevel = c.antiLeaveGame ? 2 : 0;
    scene->Model().antiLeave = c.antiLeaveGame ? 1 : 0;
    scene->Model().game.kickReservations.clear();
    if (c.onKickList) scene->Model().game.kickReservations.push_back(c.user);
    scene->OpenSeatMenu(1, c.user, GPoint(300, 200));
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_TRUE(menu[i]->IsVisible()) << i;
      EXPECT_EQ(menu[i]->IsEnabled() != 0, c.enabled[i]) << i;
    }
  }
  scene->OpenSeatMenu(1, RCUser::kNoUser, GPoint(300, 200));
  EXPECT_FALSE(menu[0]->IsVisible());
  EXPECT_EQ(scene->SeatMenuUser(), RCUser::kNoUser);
}

TEST_F(SceneInputTest, UserInfoAndTextCommandsSendTheUsersId) {
  scene->GetPlayer(1).wins = 3;
  scene->GetPlayer(1).losses = 2;
  for (const int32_t command : {0, 1}) {
    scene->OpenSeatMenu(1, kOther, GPoint(300, 200));
    scene->OnSeatMenuCommand(command);
  }
  const auto calls = host.CallsTo(HostSlot::SetText);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].texts, (std::vector<std::string>{kOtherId, Utf8(u8"3승 2패")}));
  EXPECT_EQ(calls[0].line.find("SetText(\"you\", 1, "), 0u);
  EXPECT_EQ(calls[1].line, R"(SetText("you", 3, ""))");
  EXPECT_FALSE(scene->Buttons()[0]->IsVisible());
}

TEST_F(SceneInputTest, TheAntiLeaveQuestionAsksYesOrNoAndWaitsForTheAnswer) {
  AntiLeaveGame();
  testing_support::BoxWatch boxes(VK_ESCAPE);
  EXPECT_EQ(scene->ConfirmAntiLeave(0), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(boxes.boxes[0].yesNo);
  EXPECT_NE(boxes.boxes[0].Text().find("판수를 모두 채우면"), std::string::npos);
  EXPECT_EQ(scene->ConfirmAntiLeave(1), 1) << "an exempt seat is not asked";
  EXPECT_EQ(boxes.boxes.size(), 1u);
  // Unanswered, the question stays up: it has no time limit of its own.
  boxes.Forget();
  boxes.AnswerWith(0);
  EXPECT_EQ(scene->ConfirmAntiLeave(0), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].upMs, testing_support::BoxWatch::kGiveUpMs);
}

// The money-limit tooltip over its mark, the betting explanation by button and the die
// warning over the die button.
TEST_F(SceneInputTest, PointerShowsTheTooltipTheBettingExplanationAndTheDieWarning) {
  const auto& w = scene->Widgets();
  scene->GetRoomData().roomState = 6;
  GVQLAniWnd* mark = w.moneyLimitTooltipAnim;
  mark->Play(-1, 0);
  const GPoint onMark = Centre(mark);
  Inject::MouseMove(wnd->Handle(), onMark.x, onMark.y);
  EXPECT_TRUE(w.moneyLimitTooltip->IsVisible());
  Inject::MouseMove(wnd->Handle(), 400, 560);
  EXPECT_FALSE(w.moneyLimitTooltip->IsVisible());

  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  for (CVPSPPushBtn* b : w.betButtons) {
    b->Show(1);
    b->Enable(1);
  }
  scene->GetPlayer(0).f14 = 10;
  struct Case { size_t button; int32_t imageSet; int32_t animation; bool warning; };
  const Case cases[] = {{0, 0, 0, false}, {1, 0, 2, false}, {1, 1, 4, false}, {2, 0, 6, true}};
  GVQLAniWnd* explain = w.moneyLimitExplainAnim;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.animation);
    w.betButtons[c.button]->SetImageSet(c.imageSet);
    const GPoint at = Centre(w.betButtons[c.button]);
    Inject::MouseMove(wnd->Handle(), at.x, at.y);
    EXPECT_TRUE(explain->IsVisible());
    EXPECT_EQ(explain->GetAnimationIndex(), c.animation);
    EXPECT_EQ(w.dieWarning->IsVisible() != 0, c.warning);
    Inject::MouseMove(wnd->Handle(), 400, 560);
    EXPECT_FALSE(explain->IsVisible());
    EXPECT_FALSE(w.dieWarning->IsVisible());
  }
  scene->GetPlayer(0).f14 = 9;
  const GPoint die = Centre(w.betButtons[2]);
  Inject::MouseMove(wnd->Handle(), die.x, die.y);
  EXPECT_FALSE(w.dieWarning->IsVisible()) << "only above 9";
}

}  // namespace
