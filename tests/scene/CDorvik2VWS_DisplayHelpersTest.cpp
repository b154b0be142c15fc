// The display helpers the handlers share, on a built table: the stake label, the
// invitation pair, the start intro, banners and floor events, the start button, the
// result's revealed cards and the seats' avatars from the host.
#include <array>
#include <string>
#include <vector>

#include "plat/mmsystem.h"
#include "scene/SceneInputFixture.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace {

constexpr int32_t kItemRoomState = 60;

// The input fixture's table: me in seat 0, the other in seat 1.
class DisplayHelpersTest : public scene_input_test::SceneInputTest {
 protected:
  const CDorvik2VWS::SceneWidgets& W() { return scene->Widgets(); }
  // Where a widget stands in the drawing order, counted from the top.
  size_t DrawIndex(GVWnd* wnd) {
    size_t i = 0;
    for (GVWnd* w : scene->GetWndList()) {
      if (w == wnd) return i;
      ++i;
    }
    return i;
  }
};

TEST_F(DisplayHelpersTest, StakeLabelInvitationPairAndStartIntro) {
  scene->GetRoomData().option.moneyPerPoint = 30000;
  scene->ShowMoneyPerPoint();
  EXPECT_EQ(W().pointMoneyText->GetText(), "점3만냥");

  for (const int32_t show : {1, 0}) {
    EXPECT_EQ(scene->ShowWidgetPair(show), 1);
    EXPECT_EQ(W().inviteBack->IsVisible(), show);
    EXPECT_EQ(W().inviteButton->IsVisible(), show);
    EXPECT_EQ(W().inviteButton->IsEnabled(), show);
  }
  scene->GetRoomData().roomState = kItemRoomState;
  EXPECT_EQ(scene->ShowWidgetPair(1), 0);
  EXPECT_FALSE(W().inviteBack->IsVisible());

  // Room state 60 only stops; elsewhere the table's own start plays after the stops.
  for (const int32_t state : {kItemRoomState, 1}) {
    SCOPED_TRACE(state);
    scene->GetRoomData().roomState = state;
    W().startAnim->Play(-1, 0);
    trace.Clear();
    scene->PlayPromotionIntro(0, 0);
    EXPECT_FALSE(W().startAnim->IsVisible()) << "no kind: stopped";
    EXPECT_EQ(trace.stopped, (std::vector<int32_t>{6, 5}));
    trace.Clear();
    scene->PlayPromotionIntro(2, 0);
    EXPECT_EQ(W().startAnim->IsVisible() != 0, state != kItemRoomState);
    EXPECT_EQ(trace.effects, state == kItemRoomState ? std::vector<int32_t>{} : std::vector<int32_t>{5});
  }
}

TEST_F(DisplayHelpersTest, EventBannerPlacesGoesAndShouts) {
  scene->Model().turnUserNo = kOther;
  scene->ShowEventBanner(7, 3);
  EXPECT_TRUE(W().comboAnims[7]->IsVisible());
  EXPECT_EQ(W().comboAnims[7]->GetFrame(), 2);
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kBannerTimer));
  scene->ShowEventBanner(9, 0);
  EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kBannerTimer)) << "a kind past the banners stops timer 3";
  EXPECT_FALSE(W().comboAnims[7]->IsVisible());

  for (const int32_t seat : {0, 1}) {
    scene->Model().turnUserNo = seat == 0 ? kMe : kOther;
    scene->ShowEventBanner(8, 0);
    EXPECT_EQ(W().comboAnims[8]->GetPos(), seat == 0 ? GPoint(70, 302) : GPoint(70, 115));
  }

  // With sound effects off a go is shouted by count and voice.
  scene->Options().soundEffect = 0;
  struct Case { int32_t gender; bool robot; int32_t count; int32_t effect; };
  const Case cases[] = {{0, false, 1, 37}, {1, false, 1, 38}, {0, true, 1, 39}, {0, false, 2, 40},
                        {1, false, 3, 44}, {5, false, 3, 45}, {0, false, 4, 46}, {1, false, 9, 47}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.effect);
    scene->GetPlayer(1).Reset();
    if (c.robot) SeatRobot(1);
    else SeatOther(1);
    scene->GetPlayer(1).gender = c.gender;
    scene->Model().turnUserNo = scene->GetPlayer(1).userNo;
    trace.Clear();
    scene->ShowEventBanner(7, c.count);
    EXPECT_EQ(trace.effects, std::vector<int32_t>{c.effect});
  }
  trace.Clear();
  scene->ShowEventBanner(7, 11);
  EXPECT_TRUE(trace.effects.empty()) << "a go count past ten shows and says nothing";
  scene->Options().soundEffect = 1;
  scene->ShowEventBanner(7, 1);
  EXPECT_TRUE(trace.effects.empty());
}

TEST_F(DisplayHelpersTest, FloorEventAtTheLastSlotOrTheDeck) {
  scene->ShowFloorEvent(2);
  EXPECT_EQ(W().eventAnims[2]->GetPos(), GPoint(331, 241)) << "no slot yet: the deck";
  auto& slot = scene->Model().floor.slots.at(5);
  slot.x = 120;
  slot.y = 140;
  scene->Model().game.lastFloorSlot = 5;
  scene->ShowFloorEvent(3);
  EXPECT_EQ(W().eventAnims[3]->GetPos(), GPoint(120, 140));
  scene->ShowFloorEvent(7);
  EXPECT_EQ(W().eventAnims[7]->GetPos(), GPoint(0, 0));
  EXPECT_TRUE(W().eventAnims[3]->IsVisible());
  scene->ShowFloorEvent(8);
  for (GVQLAniWnd* anim : W().eventAnims) EXPECT_FALSE(anim->IsVisible());
}

TEST_F(DisplayHelpersTest, StartButtonSoundsOnceAndMarksAnEmptySeat) {
  CVPSPPushBtn* start = W().startButton;
  scene->GetPlayer(1).Reset();
  scene->ShowStartButton(1);
  scene->ShowStartButton(1);
  EXPECT_EQ(trace.effects, std::vector<int32_t>{7}) << "only the first showing sounds";
  EXPECT_TRUE(start->IsVisible());
  ASSERT_EQ(start->SetImageSet(0), 1);
  scene->ShowStartButton(1);
  EXPECT_EQ(start->ImageSet(), 1) << "a seat without a user";
  SeatOther(1);
  scene->ShowStartButton(1);
  EXPECT_EQ(start->ImageSet(), 0);
  scene->ShowStartButton(0);
  EXPECT_FALSE(start->IsVisible());
  SeatOther(0);
  SeatMe(1);
  trace.Clear();
  scene->ShowStartButton(1);
  EXPECT_FALSE(start->IsVisible()) << "only seat 0 starts";
  EXPECT_TRUE(trace.effects.empty());
}

TEST_F(DisplayHelpersTest, ResultRevealsTheOtherHandSortedAndWaits) {
  scene->Seat(1).hand = {20, 21, 22};
  scene->Seat(0).hand = {23};
  scene->CardWndById(23)->SetCard(44);
  const uint32_t before = timeGetTime();
  scene->RevealResultCards({}, {std::vector<FlowerCard>{9}, std::vector<FlowerCard>{30, 2, 17}});
  EXPECT_GE(timeGetTime() - before, 1500u);
  EXPECT_EQ(scene->CardWndById(20)->cardId, 2);
  EXPECT_EQ(scene->CardWndById(21)->cardId, 17);
  EXPECT_EQ(scene->CardWndById(22)->cardId, 30);
  EXPECT_EQ(scene->CardWndById(23)->cardId, 44) << "my own hand stays";
  EXPECT_EQ(trace.effects, std::vector<int32_t>{18});

  trace.Clear();
  const uint32_t quiet = timeGetTime();
  scene->RevealResultCards({}, {std::vector<FlowerCard>{9}, std::vector<FlowerCard>{}});
  EXPECT_EQ(timeGetTime() - quiet, 0u) << "nothing revealed: no wait";
  EXPECT_TRUE(trace.effects.empty());
}

TEST_F(DisplayHelpersTest, AvatarsFromTheHostStandBeforeTheStatusLabel) {
  scene->GetPlayer(0).avatarKey = "k0";
  scene->GetPlayer(1).avatarKey = "k1";
  host.ScriptAvatar(kMyId, "a.gif|b.gif|");
  host.ScriptAvatar(kOtherId, "c.gif|");
  const std::array<GPoint, 2> points = {GPoint(731, 414), GPoint(731, 26)};
  for (int32_t seat = 0; seat < 2; ++seat) {
    SCOPED_TRACE(seat);
    EXPECT_EQ(scene->LoadSeatAvatar(seat), 1);
    GVAvatarWnd* avatar = W().avatars[static_cast<size_t>(seat)];
    ASSERT_NE(avatar, nullptr);
    EXPECT_EQ(avatar->GetPos(), points[static_cast<size_t>(seat)]);
    EXPECT_EQ(DrawIndex(avatar), DrawIndex(W().statusText) + 1) << "drawn just before the label";
  }
  GVAvatarWnd* kept = W().avatars[1];
  scene->GetPlayer(1).avatarKey.clear();
  EXPECT_EQ(scene->LoadSeatAvatar(1), 0);
  EXPECT_EQ(W().avatars[1], kept) << "an empty key keeps the old avatar";
  scene->GetPlayer(1).avatarKey = "k1";
  scene->GetPlayer(1).userId = "nobody";
  EXPECT_EQ(scene->LoadSeatAvatar(1), 0) << "the host answers 0";
  EXPECT_EQ(W().avatars[1], kept);

  // The host's own avatar event replaces the widget at the user's side.
  scene->SetPlayerAvatar(kMyId, {"d.gif"});
  ASSERT_NE(W().avatars[0], nullptr);
  EXPECT_EQ(W().avatars[0]->GetPos(), points[0]);
  scene->SetPlayerAvatar("stranger", {"d.gif"});
  EXPECT_EQ(scene->RemoveAvatar(0), 1);
  EXPECT_EQ(W().avatars[0], nullptr);
  const auto asked = host.CallsTo(testing_support::HostSlot::GetAvatar);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].texts, (std::vector<std::string>{kMyId, "k0"}));
}

TEST_F(DisplayHelpersTest, HostCardListReplacesAddsAndRemoves) {
  auto& list = scene->Model().game.cardNumbers;
  scene->OnHostCardList(kMe, 14, "4|8|15|");
  EXPECT_EQ(list, (std::vector<int32_t>{4, 8, 15}));
  scene->OnHostCardList(kMe, 15, "16");
  scene->OnHostCardList(kMe, 16, "8");
  EXPECT_EQ(list, (std::vector<int32_t>{4, 15, 16}));
  scene->OnHostCardList(kOther, 14, "1|");
  scene->OnHostCardList(kMe, 17, "1|");
  EXPECT_EQ(list, (std::vector<int32_t>{4, 15, 16})) << "another user's list and other codes change nothing";
}

// The host's player list holds the kick reservations, not this client's card list.
TEST_F(DisplayHelpersTest, ThePlayerListSentIsTheKickReservations) {
  scene->OnHostCardList(kMe, 14, "4|8|");
  scene->Model().game.kickReservations = {kOther, 12};
  host.Clear();
  scene->SendPlayerList();
  EXPECT_EQ(Lines(scene_input_test::HostSlot::SetPlayerList), std::vector<std::string>{"SetPlayerList(\"9|12|\")"});
}

// The turn widgets go together, the betting kinds' two panels with them.
TEST_F(DisplayHelpersTest, HidingTheTurnWidgetsHidesTheBettingGroup) {
  std::vector<GVWnd*> group{W().bettingBack, W().bettingText, W().dieWarning};
  group.insert(group.end(), W().betButtons.begin(), W().betButtons.end());
  group.insert(group.end(), W().bettingKindAnims.begin(), W().bettingKindAnims.end());
  for (GVWnd* w : group) w->Show(1);
  W().turnMarker->Play(-1, 0);
  scene->HideTurnWidgets(0);
  for (size_t i = 0; i < group.size(); ++i) EXPECT_FALSE(group[i]->IsVisible()) << i;
  EXPECT_TRUE(W().turnMarker->IsVisible()) << "the turn animation runs on without the flag";
  scene->HideTurnWidgets(1);
  EXPECT_FALSE(W().turnMarker->IsVisible());
}

}  // namespace
