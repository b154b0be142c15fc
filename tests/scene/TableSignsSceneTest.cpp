// What a player sees of the table's signs: the remaining-cards board that F12 shows,
// with the cards already seen turned to their backs; the room banner giving way to the
// pick's animation and then to the game's; the deck animation before cards leave the
// deck; the no-turn sign of a game handed back with nobody's turn.
#include <gtest/gtest.h>

#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"
#include "support/SceneTraceRecorder.h"
#include "tables/SceneBuildTable.h"
#include "widgets/GVQLAniWnd.h"

namespace table_signs_test {

namespace sb = scene_build;
using testing_support::GameTableTest;

constexpr int32_t kBannerRoom = 5;
constexpr int32_t kDealEffect = 10;
constexpr GSize kBoardCell{14, 20};  // the synthetic board picture's cell

class TableSignsTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
    SetFocus(wnd->Handle());
  }
  const CDorvik2VWS::SceneWidgets& W() const { return scene->Widgets(); }
  GVWnd* Board() const { return scene->CardWidgets().cardBoard; }
  plat::sim::RgbImage Frame() {
    scene->SetFullRedraw();
    scene->Draw(nullptr, GRect());
    return plat::sim::CaptureWindow(wnd->Handle());
  }
  // The pixels of card id's cell on the board as the window shows them.
  static std::vector<uint8_t> BoardCell(const plat::sim::RgbImage& f, int32_t id) {
    const int32_t x0 = sb::kCardBoardPoint.x + id % 4 * (kBoardCell.cx + 1);
    const int32_t y0 = sb::kCardBoardPoint.y + id / 4 * (kBoardCell.cy + 1);
    std::vector<uint8_t> out;
    for (int32_t y = y0; y < y0 + kBoardCell.cy; ++y) {
      const auto row = f.rgb.begin() + (static_cast<ptrdiff_t>(y) * f.width + x0) * 3;
      out.insert(out.end(), row, row + kBoardCell.cx * 3);
    }
    return out;
  }
  static std::vector<uint8_t> Area(const plat::sim::RgbImage& f, GRect r) {
    std::vector<uint8_t> out;
    for (int32_t y = r.top; y < r.bottom; ++y) {
      const auto row = f.rgb.begin() + (static_cast<ptrdiff_t>(y) * f.width + r.left) * 3;
      out.insert(out.end(), row, row + r.Width() * 3);
    }
    return out;
  }
  void F12() {
    RunInjected([] { plat::sim::PressKey(VK_F12); });
  }
  void PickStart() {
    SunSelectMsg select;
    select.pickCount = 12;
    Send<HM_SUN_SELECT>(select);
  }
  static bool Running(const GVQLAniWnd* a) { return a->IsVisible() && a->IsPlaying(); }
};

TEST_F(TableSignsTest, F12ShowsTheBoardWithTheCardsSeenTurnedToTheirBacks) {
  ASSERT_NE(Board(), nullptr);
  EXPECT_FALSE(Board()->IsVisible());
  const auto cloth = Frame();
  F12();
  ASSERT_TRUE(Board()->IsVisible());
  const auto fresh = Frame();
  EXPECT_NE(BoardCell(fresh, 2), BoardCell(cloth, 2)) << "the board is drawn over the cloth";
  EXPECT_NE(BoardCell(fresh, 2), BoardCell(fresh, 3)) << "every month card its own face";
  EXPECT_NE(BoardCell(fresh, 1), BoardCell(fresh, 40));

  Deal();
  const auto dealt = Frame();
  // My hand (1, 40) and the floor (0) are seen: their backs, alike; card 2 is not.
  EXPECT_EQ(BoardCell(dealt, 1), BoardCell(dealt, 40));
  EXPECT_EQ(BoardCell(dealt, 0), BoardCell(dealt, 40));
  EXPECT_NE(BoardCell(dealt, 2), BoardCell(dealt, 40));
  EXPECT_EQ(BoardCell(dealt, 2), BoardCell(fresh, 2)) << "an unseen card keeps its face";

  F12();
  EXPECT_FALSE(Board()->IsVisible());
  EXPECT_EQ(BoardCell(Frame(), 2), BoardCell(cloth, 2));

  // Without a seat F12 only hides it.
  scene->GetPlayer(0).Reset();
  F12();
  EXPECT_FALSE(Board()->IsVisible());
  F12();
  EXPECT_FALSE(Board()->IsVisible());
}

TEST_F(TableSignsTest, TheRoomStateRecordAndTheTableResetDrawTheBoardAfresh) {
  Deal();
  F12();
  ASSERT_TRUE(Board()->IsVisible());
  ASSERT_EQ(BoardCell(Frame(), 1), BoardCell(Frame(), 40));
  RoomStateMsg state;
  state.roomState = kBannerRoom;
  Send<HM_ROOM_STATE>(state);
  EXPECT_NE(BoardCell(Frame(), 1), BoardCell(Frame(), 40)) << "every card face up again";
  EXPECT_EQ(scene->Model().room.roomState, kBannerRoom);
}

TEST_F(TableSignsTest, TheRoomBannerGivesWayToThePickThenToTheGame) {
  scene->Model().room.roomState = kBannerRoom;
  const auto before = Frame();
  W().roomBanner->Show(1);
  W().inGameBanner->Play(-1, 0);
  PickStart();
  EXPECT_TRUE(Running(W().pickBanner));
  EXPECT_FALSE(W().roomBanner->IsVisible());
  EXPECT_FALSE(W().inGameBanner->IsVisible());
  const GRect banner(sb::kRoomBanner.pos, GSize(200, 36));
  EXPECT_NE(Area(Frame(), banner), Area(before, banner)) << "the pick's animation in the banner's place";

  Deal();
  EXPECT_FALSE(W().pickBanner->IsVisible());
  EXPECT_FALSE(W().inGameBanner->IsVisible()) << "not before the first turn";
  Send<HM_TURN>(TurnMsg{kOther, 0});
  EXPECT_TRUE(Running(W().inGameBanner));
  EXPECT_EQ(W().inGameBanner->GetPos(), sb::kRoomBanner.pos);
  // The second turn leaves it running; a stop shows it was not started again.
  W().inGameBanner->Stop();
  Send<HM_TURN>(TurnMsg{kMe, 0});
  EXPECT_FALSE(W().inGameBanner->IsVisible());
}

TEST_F(TableSignsTest, NoBannerOutsideItsRoomsWithARobotOrForAnObserver) {
  struct Case {
    int32_t roomState;
    bool robot;
    bool seated;
  };
  for (const Case c : {Case{4, false, true}, Case{11, false, true}, Case{kBannerRoom, true, true},
                       Case{10, false, false}}) {
    SCOPED_TRACE(c.roomState);
    scene->Model().game.inProgress = 0;
    scene->Model().room.roomState = c.roomState;
    if (c.robot) SeatRobot(1);
    if (!c.seated) scene->GetPlayer(0).Reset();
    PickStart();
    EXPECT_FALSE(W().pickBanner->IsVisible());
    SeatBothPlayers();
  }
}

TEST_F(TableSignsTest, MyRecordInABannerRoomStartsTheGamesBanner) {
  scene->Model().room.roomState = 7;
  PlayerInfoMsg info;
  info.userNo = kMe;
  info.sceneMode = CDorvik2VWS::kModeWaiting;
  info.player = scene->GetPlayer(0);
  Send<HM_PLAYER_INFO>(info);
  EXPECT_TRUE(Running(W().inGameBanner));
  W().inGameBanner->Stop();
  info.userNo = kOther;
  info.player = scene->GetPlayer(1);
  Send<HM_PLAYER_INFO>(info);
  EXPECT_FALSE(W().inGameBanner->IsVisible()) << "the other player's record";
}

// The deck animation runs on the deck while the pick's and the deal's cards wait to
// leave it (its sound is the moment to look), once, and is gone when they move.
TEST_F(TableSignsTest, TheDeckAnimatesBeforeThePickAndTheDeal) {
  struct Watch : testing_support::SceneTraceRecorder {
    const CDorvik2VWS* scene = nullptr;
    std::vector<bool> seen;
    void EffectPlayed(int32_t id) override {
      SceneTraceRecorder::EffectPlayed(id);
      if (id != kDealEffect) return;
      GVQLAniWnd* deck = scene->Widgets().deckAnim;
      seen.push_back(deck->IsVisible() && deck->IsPlaying() && deck->GetPos() == CDorvik2VWS::kDeckPoint);
    }
  } watch;
  watch.scene = scene;
  scene->SetTrace(&watch);
  PickStart();
  EXPECT_FALSE(W().deckAnim->IsVisible()) << "played once";
  Deal();
  scene->SetTrace(&trace);
  EXPECT_EQ(watch.seen, (std::vector<bool>{true, true}));
  EXPECT_FALSE(W().deckAnim->IsVisible());
}

class SnapshotSignsTest : public TableSignsTest {
 protected:
  void SetUp() override {
    TableSignsTest::SetUp();
    scene->Model().sceneMode = CGameModel::kModePlaying;
    scene->StartGameTimer(CDorvik2VWS::kTickTimer, 0);
  }
  void Snapshot(int32_t turnUser) {
    GameDataTableMsg msg;
    msg.userNo = kMe;
    msg.table.players.at(0).handCount = 5;
    msg.table.players.at(1).handCount = 5;
    msg.table.floorCards = {12, 8};
    msg.table.lastFloorCard = 12;
    msg.table.turnUser = turnUser;
    msg.table.missionId = -1;
    msg.table.baseMultiplier = 1;
    scene->OnGameSnapshot(msg);
  }
};

TEST_F(SnapshotSignsTest, AGameHandedBackAnimatesTheDeckAndSignsNobodysTurn) {
  const GRect sign(sb::kNoTurnSign.pos, GSize(80, 20));
  const auto before = Frame();
  Snapshot(RCUser::kNoUser);
  EXPECT_TRUE(Running(W().deckAnim));
  EXPECT_TRUE(W().noTurnSign->IsVisible());
  EXPECT_NE(Area(Frame(), sign), Area(before, sign));
  plat::sim::Advance(1000);
  EXPECT_FALSE(W().deckAnim->IsVisible()) << "once";

  // The turn, or a record that names it, takes the sign away.
  Send<HM_TURN>(TurnMsg{kOther, 0});
  EXPECT_FALSE(W().noTurnSign->IsVisible());
  Snapshot(RCUser::kNoUser);
  ASSERT_TRUE(W().noTurnSign->IsVisible());
  Snapshot(kOther);
  EXPECT_FALSE(W().noTurnSign->IsVisible());
  Snapshot(RCUser::kNoUser);
  scene->ClearTable();
  EXPECT_FALSE(W().noTurnSign->IsVisible());
  EXPECT_EQ(Area(Frame(), sign), Area(before, sign));
}

}  // namespace table_signs_test
