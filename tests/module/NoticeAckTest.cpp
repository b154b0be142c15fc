// The host's service-check notices (event 24) as the game window takes them: each of
// this user's notices that leaves three minutes on the ticker is acknowledged exactly
// once, and nothing else is, however the notices before it ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "panels/CCheckNotice.h"
#include "plat/sim.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

class NoticeAckTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    host.Clear();
  }
  void Notice(uint32_t userNo, const char16_t* text) {
    int32_t code = 24, value = 0;
    client->OnHostEvent(userNo, &code, const_cast<char16_t*>(text), &value);
  }
  std::string Ack() const { return Words({27, kMe}); }
  int32_t Acks() const {
    const std::vector<std::string> sent = host.SentBytes();
    return int32_t(std::count(sent.begin(), sent.end(), Ack()));
  }
};

TEST_F(NoticeAckTest, EachNoticeOfThreeMinutesIsAcknowledgedOnce) {
  struct Step {
    uint32_t user;
    const char16_t* text;
    int32_t acks;
  };
  const Step steps[] = {
      {kMe, u"TYPE=0#TIME=3#MSG=x", 1},
      {kMe, u"TYPE=0#TIME=3#MSG=x", 1},  // the same notice again: its own answer
      {kOther, u"TYPE=0#TIME=3#MSG=x", 0},
      {kMe, u"TYPE=1#TIME=10", 0},
      {kMe, u"TYPE=0#TIME=7", 0},
      {kMe, u"TYPE=0#TIME=03", 1},
      {kMe, u"XTYPE=1#TIME=3", 1},
      {kMe, u"TYPE=5#TIME=3", 1},  // a type without a head of its own still counts down
      {kMe, u"TIME=3", 0},         // starts nothing: the earlier 3 is gone
      {kMe, u"TYPE=0#TIME=x3", 0},
      {kMe, u"TYPE=0#TIME=-3", 0},
      {kMe, u"TYPE=0#TIME=003", 0},
      {kMe, nullptr, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << (&s - steps));
    host.Clear();
    Notice(s.user, s.text);
    EXPECT_EQ(host.SentBytes(), std::vector<std::string>(size_t(s.acks), Ack()));
  }
}

TEST_F(NoticeAckTest, ARunningNoticeIsNotAcknowledgedAgainByItsTicksOrOtherEvents) {
  Notice(kMe, u"TYPE=0#TIME=3#MSG=x");
  ASSERT_EQ(host.SentBytes(), std::vector<std::string>{Ack()});
  host.Clear();
  CCheckNotice* ticker = scene->NoticeTicker();
  ASSERT_NE(ticker, nullptr);
  ASSERT_EQ(ticker->NoticeTime(), 3);
  for (int32_t i = 0; i < 20; ++i) {
    plat::sim::AdvanceClock(100);
    ticker->UpdateNotice(timeGetTime());
  }
  for (int32_t code : {23, 26, 27}) {
    int32_t value = 0;
    client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"TIME=3"), &value);
  }
  EXPECT_EQ(Acks(), 0);
  client->ResetRoomView(0);
  Notice(kMe, u"TYPE=1#TIME=3");
  EXPECT_EQ(Acks(), 1) << "a stopped ticker takes the next notice";
}

}  // namespace
