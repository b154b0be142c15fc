// How a room entry ends when things go wrong or the player declines: a robot room whose
// pictures are not all there, a client without a seat that says no to the entry
// question, and the stake factor a returning player takes from the game's record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RoomTableFixture.h"
#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "widgets/GVAnimWnd.h"

namespace room_entry_outcomes {

using room_test::RoomTableTest;

constexpr int32_t kGcPlay = 2;
constexpr int32_t kGcTextLine = 28;
constexpr int32_t kRobotRoom = 60;

class RoomEntryOutcomesTest : public RoomTableTest {
 protected:
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    RoomTableTest::TearDown();
  }
  RoomEnterMsg Entry(int32_t kind, int32_t roomState) const {
    RoomEnterMsg msg = MyEntry(kind);
    msg.room.roomState = roomState;
    msg.room.sceneMode = CDorvik2VWS::kModeWaiting;  // the entry takes its mode from the room
    return msg;
  }
  // The command of every block sent (its first byte).
  std::vector<int32_t> Commands() const {
    std::vector<int32_t> out;
    for (const std::string& bytes : Sent()) {
      out.push_back(static_cast<int32_t>(std::stoul(bytes.substr(0, 2), nullptr, 16)));
    }
    return out;
  }
};

// A robot room whose robots cannot all be shown is not entered: no seat request, no
// tick, no text for the host.
TEST_F(RoomEntryOutcomesTest, AMissingRobotPictureEndsTheEntry) {
  HideImages("Avatar\\robot2_avatar2.gif");
  for (int32_t kind : {0, 1}) {
    SCOPED_TRACE(kind);
    Forget();
    scene->StopGameTimer(CDorvik2VWS::kTickTimer);
    scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
    GVAnimWnd* before = scene->Widgets().robotAvatar;
    RoomEnterMsg msg = Entry(kind, kRobotRoom);
    scene->OnRoomEnter(msg);
    EXPECT_EQ(scene->Widgets().robotAvatar, before) << "the robot room is not dressed";
    EXPECT_TRUE(scene->Widgets().robotCharacter->IsVisible());
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Lines(HostSlot::NotifyEvent), std::vector<std::string>{"NotifyEvent(7, 36, (null), 0)"})
        << "the missing picture's report; neither the notice nor the host's text";
    EXPECT_TRUE(Lines(HostSlot::SetPlayState).empty());
    EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kTickTimer));
    EXPECT_TRUE(Closes().empty());
  }
}

TEST_F(RoomEntryOutcomesTest, DecliningWithoutASeatAsksTheHostToClose) {
  constexpr const char* kItemText = " 아이템 유효 기간 내에 입장하면 이어서 게임할 수 있습니다. ";
  struct Case {
    int32_t roomState;
    int vk;  // 0: the question times out
    LPARAM code;
    std::vector<std::string> itemBox;
  };
  const Case cases[] = {
      {4, VK_ESCAPE, 0, {}},
      {4, 0, 0, {}},
      {kRobotRoom, VK_ESCAPE, 1, {Box(kOk, 0, kItemText)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.roomState << " key " << c.vk);
    scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
    scene->Model().gamesPlayed = 3;
    RoomEnterMsg msg = Entry(1, c.roomState);
    msg.confirmFlag = 1;
    msg.room.speedKind = 2;
    Answer(c.vk);
    Forget();
    scene->OnRoomEnter(msg);
    // Answered at once, or up until it closes itself.
    std::vector<std::string> boxes{Box(kYesNo, c.vk ? 0 : 5000, "게임속도가 빠른 방입니다. 참여하시겠습니까?")};
    boxes.insert(boxes.end(), c.itemBox.begin(), c.itemBox.end());
    EXPECT_EQ(Boxes(), boxes);
    WPARAM played = 0;
    EXPECT_EQ(Closes(&played), std::vector<LPARAM>{c.code});
    EXPECT_EQ(played, 3u);
    EXPECT_EQ(Commands(), std::vector<int32_t>{kGcTextLine}) << "neither a seat request nor a leave";
  }
}

TEST_F(RoomEntryOutcomesTest, TheSnapshotSetsTheStakeFactorAndKeepsTheExponent) {
  SeatMe(0);
  SeatOther(1);
  scene->Model().sceneMode = CGameModel::kModePlaying;
  scene->Model().game.multiplierExponent = 0;
  for (int32_t factor : {3, 1}) {
    GameDataTableMsg msg;
    msg.userNo = kMe;
    msg.table.turnUser = kOther;
    msg.table.baseMultiplier = factor;
    scene->OnGameSnapshot(msg);
    EXPECT_EQ(scene->Model().stakeFactor, factor);
    EXPECT_EQ(scene->Model().game.multiplierExponent, 0);
    EXPECT_EQ(scene->Seat(0).multiplier, 1) << "no doubling from the factor";
  }
}

}  // namespace room_entry_outcomes
