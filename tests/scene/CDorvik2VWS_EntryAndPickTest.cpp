// Two steps of a game's opening that only a whole game reached: the seat request of a
// room entry, which reads the mode the entry's room record brings, and the first-player
// pick, answered by a click on one of the face-down pick cards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"

namespace entry_and_pick {

using testing_support::GameTableTest;

constexpr int32_t kGcPlay = 2;
constexpr int32_t kGcSunPick = 10;
constexpr const char* kTextLineHead = "1C 00 00 00";
constexpr int32_t kPickCards = 12;

class EntryAndPickTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    SetFocus(wnd->Handle());
    host.Clear();
    trace.Clear();
  }
  void ClickOn(GVWnd* w) {
    const GRect r = w->GetRect();
    plat::sim::Click(wnd->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump();
  }
};

TEST_F(EntryAndPickTest, SeatedEntryRequestsTheSeatByTheRoomRecordsMode) {
  struct Case {
    int32_t roomMode;
    bool robot;
    bool play;
  } cases[] = {
      {CDorvik2VWS::kModeWaiting, false, true},
      {CDorvik2VWS::kModePlaying, false, false},
      {CDorvik2VWS::kModePlaying, true, true},
      {CDorvik2VWS::kModeResult, false, false},
      {CDorvik2VWS::kModeNone, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "room mode " << c.roomMode << (c.robot ? " with a robot" : ""));
    // Before any entry the scene has no mode: only the record can open the request.
    scene->SetSceneMode(CDorvik2VWS::kModeNone);
    scene->Model().myVoiceSet = 3;
    host.Clear();
    RoomEnterMsg msg = MyEntry(1);
    msg.room.sceneMode = c.roomMode;
    if (c.robot) msg.room.seats.Player(1).SetRobot(kRobot, "robot");
    Send<HM_ROOM_ENTER>(msg);
    EXPECT_EQ(scene->GetSceneMode(), c.roomMode);
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), c.play ? 2u : 1u);
    if (c.play) {
      EXPECT_EQ(sent[0], Words({kGcPlay, 3, 0}));
    }
    EXPECT_EQ(sent.back().rfind(kTextLineHead, 0), 0u) << "the host's text line closes the entry";
  }
}

TEST_F(EntryAndPickTest, AClickOnAPickCardAnswersWithItsSlotOnce) {
  SeatBothPlayers();
  SunSelectMsg select;
  select.pickCount = kPickCards;
  Send<HM_SUN_SELECT>(select);
  host.Clear();
  const std::vector<int32_t> floor = scene->GetFloorState().floorCards;
  ASSERT_EQ(floor.size(), static_cast<size_t>(kPickCards));
  CVHTWnd* card = scene->CardWndById(floor[5]);
  ASSERT_NE(card, nullptr);
  const int32_t slot = card->floorSlot;
  EXPECT_EQ(slot, 5);
  // A widget that is no pick card answers nothing.
  EXPECT_EQ(scene->PickSunCard(scene->CardWndById(kPickCards + 1)), 0);
  // The pointer over a pick card raises it, as over a hand card.
  EXPECT_EQ(scene->HighlightHandCards(card, 0, 1), 1);
  ClickOn(card);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({kGcSunPick, 0, slot})});
  EXPECT_EQ(scene->GetPhase(), 0);
  EXPECT_EQ(scene->Model().handPick, 0);
  plat::sim::Advance(10000);
  Pump();
  EXPECT_EQ(Sent().size(), 1u) << "the countdown does not pick a second time";
}

}  // namespace entry_and_pick
