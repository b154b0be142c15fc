// The incoming queue: one message per block, one at a time in arrival order, never
// before the scene is ready, never freed under the handler that holds it.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/CHostLink.h"
#include "panels/HelperAlert.h"
#include "plat/sim.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;
using testing_support::HostSlot;

constexpr uint32_t kTickMs = CSceneTimers::kTickMs;

HostMessage Avatar(int32_t userNo, const std::string& key) {
  return HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{userNo, key});
}

class QueueTest : public GameTableTest {
 protected:
  // The table with the tick running; every avatar message handled leaves its user number.
  void Start() {
    MakeTable();
    scene->StartGameTimer(CDorvik2VWS::kTickTimer, 0);
    RecordAvatars();
  }
  void RecordAvatars() {
    scene->SetHostMessageHandler(HM_USER_AVATAR, [this](CDorvik2VWS& s, HostMessage& msg) {
      EXPECT_TRUE(s.IsBusy());
      EXPECT_TRUE(s.IsFullRedraw());
      handled.push_back(msg.Get<UserAvatarMsg>()->userNo);
      if (onAvatar) onAvatar(msg);
    });
  }
  std::vector<int32_t> handled;
  std::function<void(HostMessage&)> onAvatar;
};

TEST_F(QueueTest, BlocksArrivingDuringAHandlerWaitAndGoOnePerTickOldestFirst) {
  Start();
  onAvatar = [this](HostMessage& msg) {
    if (msg.Get<UserAvatarMsg>()->userNo != 1) return;
    EXPECT_EQ(Receive(Block(Avatar(2, "b"))), 0);
    EXPECT_EQ(Receive(Block(Avatar(3, "c"))), 0);
    EXPECT_EQ(scene->QueuedCount(), 2u);
  };
  EXPECT_EQ(Receive(Block(Avatar(1, "a"))), 0);
  EXPECT_EQ(handled, (std::vector<int32_t>{1}));
  EXPECT_FALSE(scene->IsBusy());
  plat::sim::Advance(kTickMs);
  EXPECT_EQ(handled, (std::vector<int32_t>{1, 2}));
  plat::sim::Advance(kTickMs);
  EXPECT_EQ(handled, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(scene->QueuedCount(), 0u);
}

// One message per block whatever follows it; a missing or negative length is an empty
// block, dropped as an empty message.
TEST_F(QueueTest, OneMessagePerBlockAndNoneForAnEmptyOne) {
  MakeTable();
  RecordAvatars();
  int32_t voices = 0;
  scene->SetHostMessageHandler(HM_USER_VOICE, [&voices](CDorvik2VWS&, HostMessage&) { ++voices; });
  std::vector<BYTE> block = Block(Avatar(4, "x"));
  const std::vector<BYTE> second = Block(HostMessage::Make<HM_USER_VOICE>(UserVoiceMsg{4, 0, 2}));
  block.insert(block.end(), second.begin(), second.end());
  EXPECT_EQ(Receive(block), 0);
  const BYTE bytes[] = {11, 0, 0, 0};
  int32_t negative = -4;
  int32_t four = 4;
  EXPECT_EQ(client->OnReceive(0, 0, nullptr, &four), 0);
  EXPECT_EQ(client->OnReceive(0, 0, bytes, nullptr), 0);
  EXPECT_EQ(client->OnReceive(0, 0, bytes, &negative), 0);
  EXPECT_EQ(handled, (std::vector<int32_t>{4}));
  EXPECT_EQ(voices, 0);
  EXPECT_EQ(scene->QueuedCount(), 0u);
}

TEST_F(QueueTest, BlockBeforeTheThreadedBuildIsHandledRightAfterIt) {
  testing_support::OpenWatch gate(
      {.holdAt = "Back\\skin_0.bmp", .until = [this] { return wnd->LoaderCancelRequested(); }});
  MakeTable(1);
  RecordAvatars();
  ASSERT_TRUE(gate.WaitHeld(10000));
  EXPECT_EQ(Receive(Block(Avatar(5, "early"))), 0);
  plat::sim::Advance(kTickMs);
  EXPECT_TRUE(handled.empty()) << "nothing runs on a half-built scene";
  EXPECT_EQ(scene->QueuedCount(), 1u);
  gate.Release();
  ASSERT_EQ(WaitForSingleObject(wnd->LoaderThread(), 10000), WAIT_OBJECT_0);
  Pump();
  EXPECT_EQ(handled, (std::vector<int32_t>{5}));
}

TEST_F(QueueTest, RefreshInsideAHandlerKeepsItsRecordAndBusyAndDropsTheRest) {
  Start();
  onAvatar = [this](HostMessage& msg) {
    if (msg.Get<UserAvatarMsg>()->userNo != 1) return;
    Receive(Block(Avatar(2, "queued")));
    Receive(Block(Avatar(3, "queued")));
    EXPECT_EQ(client->RefreshScreen(0), 0);
    // The record in hand is still the handler's (the sanitizers watch this read).
    EXPECT_EQ(msg.Get<UserAvatarMsg>()->avatarKey, std::string(200, 'k'));
    EXPECT_EQ(scene->QueuedCount(), 0u);
    EXPECT_TRUE(scene->IsBusy());
    plat::sim::Advance(kTickMs);
    EXPECT_EQ(handled.size(), 1u) << "the tick inside the handler dispatches nothing";
  };
  Receive(Block(Avatar(1, std::string(200, 'k'))));
  EXPECT_FALSE(scene->IsBusy());
  plat::sim::Advance(4 * kTickMs);
  EXPECT_EQ(handled, (std::vector<int32_t>{1}));
}

TEST_F(QueueTest, HandlerThatThrowsEndsOnlyItsOwnMessage) {
  Start();
  onAvatar = [this](HostMessage& msg) {
    if (msg.Get<UserAvatarMsg>()->userNo == 1) {
      Receive(Block(Avatar(2, "next")));
      throw std::out_of_range("seat");
    }
  };
  Receive(Block(Avatar(1, "a")));
  EXPECT_FALSE(scene->IsBusy());
  plat::sim::Advance(kTickMs);
  EXPECT_EQ(handled, (std::vector<int32_t>{1, 2}));
}

// Every type reaches its own slot with a record of its row's kind. The types without a
// handler change nothing a person or the host sees, but for the police notice of 57 in
// the chat, and the VIP manager takes 62's values. The full redraw is set before the
// slot runs; nothing marks dirty.
// The other handlers do their own work (their tests are theirs).
TEST_F(QueueTest, EveryTypeReachesItsSlot) {
  MakeTable();
  const std::set<uint32_t> silent{HM_NONE,         HM_UNHANDLED_55, HM_ROOM_TITLE_BANNED,
                                  HM_UNHANDLED_58, HM_UNHANDLED_60, HM_VIP_STATE};
  // The VIP manager takes the (empty) record's service values.
  scene->VipManager().Vip().service = {9, 9, 9};
  for (uint32_t type = 0; type < HM_TYPE_LIMIT; ++type) {
    SCOPED_TRACE(type);
    HostMessage msg;
    msg.type = type;
    msg.record = MakeHostRecord(type);
    trace.Clear();
    host.Clear();
    scene->RedrawIfDirty();
    Receive(Block(msg));
    if (!silent.count(type)) continue;
    EXPECT_FALSE(scene->IsDirty());
    EXPECT_TRUE(trace.effects.empty() && trace.voices.empty());
    EXPECT_TRUE(host.SentBytes().empty());
    EXPECT_EQ(host.CallsTo(HostSlot::AddText).empty(), type != HM_ROOM_TITLE_BANNED);
    const bool vipStateTaken = scene->VipManager().Vip().service == std::array<int32_t, 3>{};
    EXPECT_EQ(vipStateTaken, type >= HM_VIP_STATE);
  }
  scene->VipManager().Vip() = {};
  bool fullRedraw = false;
  scene->SetHostMessageHandler(HM_USER_AVATAR, [&fullRedraw](CDorvik2VWS& s, HostMessage&) {
    fullRedraw = s.IsFullRedraw() && !s.IsDirty();
  });
  scene->RedrawIfDirty();
  Receive(Block(Avatar(1, "a")));
  EXPECT_TRUE(fullRedraw);
}

}  // namespace
