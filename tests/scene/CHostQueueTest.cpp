// The host queue alone, on a site the test drives: arrival order, one message per
// dispatch, no dispatch inside a handler, a handler that enqueues or drops, the gate,
// and the slots of every type.
#include "scene/CHostQueue.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

HostMessage Avatar(int32_t userNo) { return HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{userNo, "k"}); }

class QueueSite : public IHostQueueSite {
 public:
  bool MayDispatchHostMessage() const override { return open; }
  void OnHostMessageDispatching() override { events.push_back("dispatching"); }
  void OnHostMessageDispatched() override { events.push_back("dispatched"); }
  bool open = true;
  std::vector<std::string> events;
};

class HostQueueTest : public testing::Test {
 protected:
  // Every avatar message handled leaves its user number, then runs `onAvatar`.
  void SetUp() override {
    queue.SetHandler(HM_USER_AVATAR, [this](HostMessage& msg) {
      EXPECT_TRUE(queue.IsBusy());
      const int32_t userNo = msg.Get<UserAvatarMsg>()->userNo;
      handled.push_back(userNo);
      site.events.push_back("handler " + std::to_string(userNo));
      if (onAvatar) onAvatar(msg);
    });
  }
  void EnqueueAll(std::initializer_list<int32_t> users) {
    for (int32_t user : users) queue.Enqueue(Avatar(user));
  }
  QueueSite site;
  CHostQueue queue{site};
  std::vector<int32_t> handled;
  std::function<void(HostMessage&)> onAvatar;
};

TEST_F(HostQueueTest, OneMessagePerDispatchOldestFirst) {
  EnqueueAll({1, 2, 3});
  EXPECT_EQ(queue.QueuedCount(), 3u);
  for (uint32_t left : {2u, 1u, 0u}) {
    EXPECT_EQ(queue.DispatchNextIfIdle(), 1);
    EXPECT_EQ(queue.QueuedCount(), left);
    EXPECT_FALSE(queue.IsBusy());
  }
  EXPECT_EQ(handled, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(queue.DispatchNextIfIdle(), 0) << "an empty queue";
  EXPECT_EQ(site.events.front(), "dispatching") << "the site is told before the handler runs";
  EXPECT_EQ(site.events.at(2), "dispatched");
}

TEST_F(HostQueueTest, AClosedGateKeepsEveryMessageWaiting) {
  EnqueueAll({1});
  site.open = false;
  EXPECT_EQ(queue.DispatchNextIfIdle(), 0);
  EXPECT_EQ(queue.QueuedCount(), 1u);
  EXPECT_TRUE(site.events.empty());
  site.open = true;
  EXPECT_EQ(queue.DispatchNextIfIdle(), 1);
  EXPECT_EQ(handled, (std::vector<int32_t>{1}));
}

// A handler's nested waits enqueue and try to dispatch: the messages wait their turn,
// and what arrives inside the handler goes after what was already waiting.
TEST_F(HostQueueTest, AHandlerIsNeverEnteredAgainAndWhatItEnqueuesWaits) {
  EnqueueAll({1, 2});
  onAvatar = [this](HostMessage& msg) {
    if (msg.Get<UserAvatarMsg>()->userNo != 1) return;
    queue.Enqueue(Avatar(3));
    EXPECT_EQ(queue.DispatchNextIfIdle(), 0);
    EXPECT_EQ(queue.QueuedCount(), 2u);
  };
  queue.DispatchNextIfIdle();
  EXPECT_EQ(handled, (std::vector<int32_t>{1}));
  while (queue.DispatchNextIfIdle()) {
  }
  EXPECT_EQ(handled, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_FALSE(queue.IsBusy());
}

TEST_F(HostQueueTest, DropInsideAHandlerKeepsTheRecordInHandAndBusy) {
  EnqueueAll({1, 2, 3});
  onAvatar = [this](HostMessage& msg) {
    queue.Drop();
    EXPECT_EQ(queue.QueuedCount(), 0u);
    EXPECT_TRUE(queue.IsBusy());
    EXPECT_EQ(msg.Get<UserAvatarMsg>()->avatarKey, "k") << "the sanitizers watch this read";
  };
  queue.DispatchNextIfIdle();
  EXPECT_FALSE(queue.IsBusy());
  EXPECT_EQ(queue.DispatchNextIfIdle(), 0);
  EXPECT_EQ(handled, (std::vector<int32_t>{1}));
}

TEST_F(HostQueueTest, AThrowingHandlerEndsOnlyItsMessage) {
  EnqueueAll({1, 2});
  onAvatar = [](HostMessage&) { throw std::out_of_range("seat"); };
  EXPECT_EQ(queue.DispatchNextIfIdle(), 1);
  EXPECT_FALSE(queue.IsBusy());
  EXPECT_EQ(site.events.back(), "dispatched");
  EXPECT_EQ(queue.DispatchNextIfIdle(), 1);
  EXPECT_EQ(handled, (std::vector<int32_t>{1, 2}));
}

TEST_F(HostQueueTest, AHandlerMayReplaceItselfWhileItRuns) {
  EnqueueAll({1, 2});
  int32_t replaced = 0;
  onAvatar = [&](HostMessage&) {
    queue.SetHandler(HM_USER_AVATAR, [&replaced](HostMessage&) { ++replaced; });
    // The running handler's captures are still alive here.
    EXPECT_FALSE(handled.empty());
  };
  queue.DispatchNextIfIdle();
  queue.DispatchNextIfIdle();
  EXPECT_EQ(handled, (std::vector<int32_t>{1}));
  EXPECT_EQ(replaced, 1);
}

// Types 0, 55, 58, 60 and 64 on have no slot: nothing installs there and their
// messages go unhandled; an empty slot drops its message too.
TEST_F(HostQueueTest, TypesWithoutASlotAreDroppedUnhandled) {
  int32_t calls = 0;
  for (uint32_t type = 0; type <= HM_TYPE_LIMIT; ++type) {
    SCOPED_TRACE(type);
    const bool slot = type != HM_NONE && type != HM_UNHANDLED_55 && type != HM_UNHANDLED_58 &&
                      type != HM_UNHANDLED_60 && type < HM_TYPE_LIMIT;
    EXPECT_EQ(CHostQueue::HasHandlerSlot(type), slot);
    EXPECT_EQ(queue.SetHandler(type, [&calls](HostMessage&) { ++calls; }), slot);
  }
  for (uint32_t type : {0u, 55u, 58u, 60u}) {
    HostMessage msg;
    msg.type = type;
    msg.record = MakeHostRecord(type);
    queue.Enqueue(std::move(msg));
    EXPECT_EQ(queue.DispatchNextIfIdle(), 1);
  }
  EXPECT_EQ(calls, 0);
  queue.SetHandler(HM_USER_AVATAR, nullptr);
  EnqueueAll({1});
  EXPECT_EQ(queue.DispatchNextIfIdle(), 1);
  EXPECT_EQ(queue.QueuedCount(), 0u);
  EXPECT_TRUE(handled.empty());
}

TEST(HostQueueTable, AGivenTableFillsOnlyTheSlotsThatExist) {
  QueueSite site;
  int32_t calls = 0;
  CHostQueue::HandlerTable table;
  table.fill([&calls](HostMessage&) { ++calls; });
  CHostQueue queue(site, table);
  for (uint32_t type : {55u, 11u}) {
    HostMessage msg;
    msg.type = type;
    msg.record = MakeHostRecord(type);
    queue.Enqueue(std::move(msg));
    queue.DispatchNextIfIdle();
  }
  EXPECT_EQ(calls, 1) << "only type 11's";
}

}  // namespace
