// Reading, copying and destroying host messages: the rules every type shares.
#include "host/HostMessage.h"

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <tuple>
#include <vector>

#include "HostRecordTestSupport.h"
#include "plat/sim.h"

namespace {

using namespace host_test;

// Every read starts from a message holding a game result, which the read must replace.
TEST(HostMessageRead, CodesAloneShortBlocksAndTrailingBytesAndCodesOutsideOneToSixtyThreeHaveNoRecordOrName) {
  struct Case { const char* what; std::string block; int result; uint32_t consumed, type; bool record; };
  const Case cases[] = {
      {"code 0 is an empty message", Hex("00 00 00 00"), 1, 4, HM_NONE, false},
      {"code 64 keeps its code", Hex("40 00 00 00"), 0, 4, 64, false},
      {"a huge code keeps its code", Hex("ff ff ff ff 01 00 00 00"), 0, 4, 0xFFFFFFFFu, false},
      {"no byte", "", 0, 0, HM_NONE, false}, {"one byte", Hex("16"), 0, 0, HM_NONE, false},
      {"three bytes", Hex("16 00 00"), 0, 0, HM_NONE, false},
      {"a code without fields", Wire().U32(57).bytes(), 1, 4, 57, true},
      {"a code without fields leaves what follows", Wire().U32(63).I32(7).Str("trailing").bytes(), 1, 4, 63, true},
      {"bytes after a complete record stay", Wire().U32(HM_TURN).I32(5).I32(1).I32(99).bytes(), 1, 12, HM_TURN, true},
      // The count is consumed, the text is not.
      {"string count beyond the bytes left", Wire().U32(HM_NOTICE_TEXT).U32(10).Raw("abc").bytes(), 0, 8,
       HM_NOTICE_TEXT, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostMessage msg = FilledMessage(HM_GAME_RESULT);
    const auto r = ReadBlock(msg, c.block);
    EXPECT_EQ(std::make_tuple(r.result, r.consumed, msg.type, msg.record != nullptr),
              std::make_tuple(c.result, c.consumed, c.type, c.record));
    EXPECT_EQ(msg.Get<GameResultMsg>(), nullptr);
  }
  HostMessage msg;
  ASSERT_EQ(ReadBlock(msg, Wire().U32(HM_TURN).I32(5).I32(1).I32(99).bytes()).result, 1);
  EXPECT_EQ(msg.Get<TurnMsg>()->turnValue, 1);
  ASSERT_EQ(ReadBlock(msg, Wire().U32(63).bytes()).result, 1);
  EXPECT_NE(msg.Get<NoFieldsMsg>(), nullptr);
  for (uint32_t code : {0u, 64u, 0xFFFFFFFFu}) EXPECT_EQ(MakeHostRecord(code), nullptr) << code;
  EXPECT_STREQ(HostMsgTypeName(HM_DEAL), "HM_DEAL");
  EXPECT_STREQ(HostMsgTypeName(HM_HOST_EVENT_75), "HM_HOST_EVENT_75");
  EXPECT_STREQ(HostMsgTypeName(64), "");
}

TEST(HostMessageRead, ListsAndStringsKeepWhatTheBlockHolds) {
  Wire levels;
  levels.U32(HM_USER_LEVEL).U32(0xFFFFFFFFu).I32(1).I32(2).I32(3).I32(4).I32(5).I32(6).I32(7);
  const std::string zeros("a\0b\0", 4);
  struct Case { const char* what; std::string block; int result; std::function<void(HostMessage&)> check; };
  const Case cases[] = {
      {"a count of zero is an empty list", Wire().U32(HM_BOMB).I32(3).U32(0).bytes(), 1,
       [](HostMessage& m) { EXPECT_TRUE(m.Get<BombMsg>()->userNo == 3 && m.Get<BombMsg>()->cards.empty()); }},
      {"a list short of its count keeps the elements read",
       Wire().U32(HM_ASK_PICK_FLOOR_CARD).I32(4).I32(0).U32(2).I32(17).bytes(), 0,
       [](HostMessage& m) { EXPECT_EQ(m.Get<PickFloorCardMsg>()->offeredCards, (std::list<int32_t>{17})); }},
      {"a huge count costs only the elements present",
       Wire().U32(HM_DEAL).I32(1).U32(0xFFFFFFFFu).I32(3).I32(4).I32(5).Raw("\x01").bytes(), 0,
       [](HostMessage& m) {
         EXPECT_EQ(m.Get<DealMsg>()->handCards, (std::list<int32_t>{3, 4, 5}));
         EXPECT_TRUE(m.Get<DealMsg>()->floorCards.empty());
       }},
      {"a huge count of records stops at the first incomplete one", levels.bytes(), 0,
       [](HostMessage& m) {
         ASSERT_EQ(m.Get<UserLevelMsg>()->entries.size(), 1u);
         EXPECT_EQ(m.Get<UserLevelMsg>()->entries.front().level, 4);
       }},
      {"strings keep embedded zero bytes", Wire().U32(HM_NOTICE_TEXT).Str(zeros).bytes(), 1,
       [&](HostMessage& m) { EXPECT_EQ(m.Get<NoticeTextMsg>()->text, zeros); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostMessage msg;
    EXPECT_EQ(ReadBlock(msg, c.block).result, c.result);
    ASSERT_NE(msg.record, nullptr);
    c.check(msg);
  }
}

TEST(HostMessageRead, EveryShorterPrefixOfACompleteBlockFailsAndStaysSafeToCopy) {
  for (uint32_t code = 1; code < HM_TYPE_LIMIT; ++code) {
    const std::string block = WriteBlock(FilledMessage(code));
    for (size_t n = 0; n <= block.size(); ++n) {
      HostMessage msg;
      const int result = ReadBlock(msg, block.substr(0, n)).result;
      EXPECT_EQ(result, n == block.size() ? 1 : 0) << HostMsgTypeName(code) << " cut at " << n;
      HostMessage copy(msg);
      EXPECT_EQ(copy.type, msg.type);
      DestroyHostMessage(msg);
    }
  }
}

TEST(HostMessageCopy, CopiesAreDeepReplaceTheDestinationAndOutliveTheirSource) {
  const HostMessage settlement = FilledMessage(HM_SETTLEMENT);
  HostMessage source = FilledMessage(HM_SETTLEMENT);
  HostMessage copy = FilledMessage(HM_ROOM_ENTER);
  AssignHostMessage(copy, source);
  EXPECT_EQ(copy.type, HM_SETTLEMENT);
  EXPECT_EQ(copy.Get<RoomEnterMsg>(), nullptr);
  EXPECT_NE(copy.record.get(), source.record.get());
  ASSERT_TRUE(copy.record->Equals(*source.record));
  copy.Get<SettlementMsg>()->leaveList.front().f6 = "changed";
  copy.Get<SettlementMsg>()->money.at(1) = -5;
  EXPECT_TRUE(source.record->Equals(*settlement.record));
  DestroyHostMessage(source);
  EXPECT_EQ(std::make_tuple(source.type, source.record.get()), std::make_tuple(uint32_t{HM_NONE}, nullptr));
  EXPECT_EQ(copy.Get<SettlementMsg>()->leaveList.front().f6, "changed");
  // Messages read and queued, then destroyed, as the scene keeps them.
  std::list<HostMessage> queue;
  for (uint32_t code : {1u, 22u, 43u, 45u, 57u, 64u}) {
    HostMessage msg;
    ReadBlock(msg, WriteBlock(FilledMessage(code)));
    queue.push_back(msg);
    DestroyHostMessage(msg);
  }
  EXPECT_TRUE(queue.front().record->Equals(*FilledMessage(HM_ROOM_ENTER).record));
  EXPECT_EQ(queue.back().type, 64u);
  // A message assigned to itself stays as it is.
  HostMessage& alias = copy;
  const HostRecord* before = copy.record.get();
  AssignHostMessage(copy, alias);
  copy = alias;
  EXPECT_EQ(copy.record.get(), before);
  EXPECT_EQ(copy.Get<SettlementMsg>()->leaveList.front().f6, "changed");
}

TEST(HostMessageWrite, WritesTheCodeThenTheFieldsOrReportsABufferThatCannotGrow) {
  const HostMessage msg = HostMessage::Make<HM_SUN_PICK>(SunPickMsg{.userNo = 2, .pickSlot = 11, .cardId = 49});
  EXPECT_EQ(WriteBlock(msg), Hex("14000000 02000000 0b000000 31000000"));
  EXPECT_EQ(WriteBlock(HostMessage()), Hex("00000000"));
  // Growing past the first kilobyte must ask the heap.
  host_test::IdleBlocksHeld idle;
  const HostMessage big = FilledMessage(HM_ROOM_ENTER);
  ASSERT_GT(big.record->WireSize(), 1024u);
  host_test::Buf buf;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(WriteHostMessage(big, buf.get()), 0);
  EXPECT_LE(buf.length(), 1024u);
  EXPECT_EQ(WriteHostMessage(big, host_test::Buf().get()), 1);
}

}  // namespace
