// Reading, copying and destroying host messages: the rules every type shares.
#include "host/HostMessage.h"

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "HostRecordTestSupport.h"
#include "host/XBufBlockAllocator.h"
#include "plat/sim.h"

namespace {

using host_test::FilledMessage;
using host_test::Hex;
using host_test::ReadBlock;
using host_test::Wire;
using host_test::WriteBlock;

TEST(HostMessageRead, FourZeroBytesAreAnEmptyMessage) {
  HostMessage msg;
  const auto r = ReadBlock(msg, Hex("00 00 00 00"));
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(msg.type, HM_NONE);
  EXPECT_EQ(msg.record, nullptr);
}

TEST(HostMessageRead, CodeSixtyFourKeepsItsCodeWithoutARecord) {
  HostMessage msg;
  EXPECT_EQ(ReadBlock(msg, Hex("40 00 00 00")).result, 0);
  EXPECT_EQ(msg.type, 64u);
  EXPECT_EQ(msg.record, nullptr);
}

TEST(HostMessageRead, HugeCodeKeepsItsCodeWithoutARecord) {
  HostMessage msg;
  EXPECT_EQ(ReadBlock(msg, Hex("ff ff ff ff 01 00 00 00")).result, 0);
  EXPECT_EQ(msg.type, 0xFFFFFFFFu);
  EXPECT_EQ(msg.record, nullptr);
}

TEST(HostMessageRead, BlockShorterThanTheCodeGivesAnEmptyMessage) {
  for (const char* block : {"", "16", "16 00", "16 00 00"}) {
    HostMessage msg = FilledMessage(HM_DEAL);
    EXPECT_EQ(ReadBlock(msg, Hex(block)).result, 0) << block;
    EXPECT_EQ(msg.type, HM_NONE) << block;
    EXPECT_EQ(msg.record, nullptr) << block;
  }
}

TEST(HostMessageRead, CodesWithoutFieldsReadAloneAndIgnoreTrailingBytes) {
  for (uint32_t code : {57u, 63u}) {
    HostMessage msg;
    auto r = ReadBlock(msg, Wire().U32(code).bytes());
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(msg.type, code);
    ASSERT_NE(msg.Get<NoFieldsMsg>(), nullptr);

    r = ReadBlock(msg, Wire().U32(code).I32(7).Str("trailing").bytes());
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.consumed, 4u);
    EXPECT_EQ(msg.type, code);
  }
}

TEST(HostMessageRead, TrailingBytesAfterACompleteRecordAreLeftUnread) {
  HostMessage msg;
  const auto r = ReadBlock(msg, Wire().U32(HM_TURN).I32(5).I32(1).I32(99).bytes());
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.consumed, 12u);
  EXPECT_EQ(msg.Get<TurnMsg>()->turnValue, 1);
}

TEST(HostMessageRead, ListCountOfZeroIsAnEmptyList) {
  HostMessage msg;
  const auto r = ReadBlock(msg, Wire().U32(HM_BOMB).I32(3).U32(0).bytes());
  EXPECT_EQ(r.result, 1);
  ASSERT_NE(msg.Get<BombMsg>(), nullptr);
  EXPECT_EQ(msg.Get<BombMsg>()->userNo, 3);
  EXPECT_TRUE(msg.Get<BombMsg>()->cards.empty());
}

TEST(HostMessageRead, ListShortOfItsCountKeepsTheElementsRead) {
  HostMessage msg;
  const auto r = ReadBlock(msg, Wire().U32(HM_ASK_PICK_FLOOR_CARD).I32(4).I32(0).U32(2).I32(17).bytes());
  EXPECT_EQ(r.result, 0);
  ASSERT_NE(msg.Get<PickFloorCardMsg>(), nullptr);
  EXPECT_EQ(msg.Get<PickFloorCardMsg>()->userNo, 4);
  EXPECT_EQ(msg.Get<PickFloorCardMsg>()->offeredCards, (std::list<int32_t>{17}));
}

TEST(HostMessageRead, HugeListCountCostsOnlyTheElementsPresent) {
  HostMessage msg;
  const auto r = ReadBlock(msg, Wire().U32(HM_DEAL).I32(1).U32(0xFFFFFFFFu).I32(3).I32(4).I32(5).Raw("\x01").bytes());
  EXPECT_EQ(r.result, 0);
  const DealMsg* deal = msg.Get<DealMsg>();
  ASSERT_NE(deal, nullptr);
  EXPECT_EQ(deal->handCards, (std::list<int32_t>{3, 4, 5}));
  EXPECT_TRUE(deal->floorCards.empty());
}

TEST(HostMessageRead, HugeListCountOfRecordsStopsAtTheFirstIncompleteOne) {
  Wire w;
  w.U32(HM_USER_LEVEL).U32(0xFFFFFFFFu);
  w.I32(1).I32(2).I32(3).I32(4).I32(5);
  w.I32(6).I32(7);
  HostMessage msg;
  EXPECT_EQ(ReadBlock(msg, w.bytes()).result, 0);
  ASSERT_EQ(msg.Get<UserLevelMsg>()->entries.size(), 1u);
  EXPECT_EQ(msg.Get<UserLevelMsg>()->entries.front().level, 4);
}

TEST(HostMessageRead, StringCountBeyondTheBytesLeftFailsWithTheCountConsumed) {
  HostMessage msg;
  const auto r = ReadBlock(msg, Wire().U32(HM_NOTICE_TEXT).U32(10).Raw("abc").bytes());
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.consumed, 8u);
  ASSERT_NE(msg.Get<NoticeTextMsg>(), nullptr);
  EXPECT_TRUE(msg.Get<NoticeTextMsg>()->text.empty());
}

TEST(HostMessageRead, StringsKeepEmbeddedZeroBytes) {
  const std::string text("a\0b\0", 4);
  HostMessage msg;
  EXPECT_EQ(ReadBlock(msg, Wire().U32(HM_NOTICE_TEXT).Str(text).bytes()).result, 1);
  EXPECT_EQ(msg.Get<NoticeTextMsg>()->text, text);
}

TEST(HostMessageRead, ReadingReplacesWhatTheMessageHeld) {
  HostMessage msg = FilledMessage(HM_GAME_RESULT);
  EXPECT_EQ(ReadBlock(msg, Wire().U32(HM_TURN).I32(8).I32(0).bytes()).result, 1);
  EXPECT_EQ(msg.type, HM_TURN);
  EXPECT_EQ(msg.Get<GameResultMsg>(), nullptr);
  EXPECT_EQ(msg.Get<TurnMsg>()->userNo, 8);
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

TEST(HostMessageCopy, EightByteRecordCopiesBothWords) {
  HostMessage msg;
  ASSERT_EQ(ReadBlock(msg, Wire().U32(HM_TURN).I32(-7).I32(123456).bytes()).result, 1);
  HostMessage copy;
  AssignHostMessage(copy, msg);
  EXPECT_EQ(copy.type, HM_TURN);
  EXPECT_EQ(copy.Get<TurnMsg>()->userNo, -7);
  EXPECT_EQ(copy.Get<TurnMsg>()->turnValue, 123456);
  EXPECT_NE(copy.record.get(), msg.record.get());
}

TEST(HostMessageCopy, DestroyLeavesTypeZeroAndNoRecord) {
  HostMessage msg = FilledMessage(HM_TURN);
  DestroyHostMessage(msg);
  EXPECT_EQ(msg.type, HM_NONE);
  EXPECT_EQ(msg.record, nullptr);
}

TEST(HostMessageCopy, CopyIsIndependentOfItsSource) {
  HostMessage source = FilledMessage(HM_SETTLEMENT);
  HostMessage copy(source);
  ASSERT_TRUE(copy.record->Equals(*source.record));

  copy.Get<SettlementMsg>()->leaveList.front().f6 = "changed";
  copy.Get<SettlementMsg>()->money.at(1) = -5;
  EXPECT_EQ(source.Get<SettlementMsg>()->leaveList.front().f6, FilledMessage(HM_SETTLEMENT).Get<SettlementMsg>()->leaveList.front().f6);
  EXPECT_TRUE(source.record->Equals(*FilledMessage(HM_SETTLEMENT).record));

  DestroyHostMessage(source);
  EXPECT_EQ(copy.Get<SettlementMsg>()->leaveList.front().f6, "changed");
}

TEST(HostMessageCopy, AssignDestroysWhatTheDestinationHeld) {
  HostMessage dst = FilledMessage(HM_ROOM_ENTER);
  const HostMessage src = FilledMessage(HM_TURN);
  AssignHostMessage(dst, src);
  EXPECT_EQ(dst.type, HM_TURN);
  EXPECT_EQ(dst.Get<RoomEnterMsg>(), nullptr);
  EXPECT_TRUE(dst.record->Equals(*src.record));
}

TEST(HostMessageCopy, AssigningAMessageToItselfKeepsIt) {
  HostMessage msg = FilledMessage(HM_GAME_RESULT);
  const HostRecord* before = msg.record.get();
  AssignHostMessage(msg, msg);
  EXPECT_EQ(msg.type, HM_GAME_RESULT);
  EXPECT_EQ(msg.record.get(), before);
  EXPECT_TRUE(msg.record->Equals(*FilledMessage(HM_GAME_RESULT).record));

  HostMessage& alias = msg;
  msg = alias;
  EXPECT_TRUE(msg.record->Equals(*FilledMessage(HM_GAME_RESULT).record));
}

TEST(HostMessageCopy, CodesWithoutARecordCopyAndDestroySafely) {
  for (const char* block : {"40 00 00 00", "ff ff ff ff", "00 00 00 00"}) {
    HostMessage msg;
    ReadBlock(msg, Hex(block));
    HostMessage copy(msg);
    EXPECT_EQ(copy.type, msg.type) << block;
    EXPECT_EQ(copy.record, nullptr) << block;
    HostMessage assigned = FilledMessage(HM_DEAL);
    assigned = msg;
    EXPECT_EQ(assigned.type, msg.type) << block;
    EXPECT_EQ(assigned.record, nullptr) << block;
    DestroyHostMessage(copy);
    EXPECT_EQ(copy.type, HM_NONE);
  }
}

TEST(HostMessageCopy, MoveLeavesTheSourceEmpty) {
  HostMessage source = FilledMessage(HM_DEAL);
  const HostRecord* record = source.record.get();
  HostMessage moved(std::move(source));
  EXPECT_EQ(moved.type, HM_DEAL);
  EXPECT_EQ(moved.record.get(), record);
  EXPECT_EQ(source.type, HM_NONE);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(source.record, nullptr);
}

TEST(HostMessageCopy, QueuedCopiesOutliveTheMessagesRead) {
  std::list<HostMessage> queue;
  for (uint32_t code : {1u, 22u, 43u, 45u, 57u, 64u}) {
    HostMessage msg;
    ReadBlock(msg, WriteBlock(FilledMessage(code)));
    queue.push_back(msg);
    DestroyHostMessage(msg);
  }
  ASSERT_EQ(queue.size(), 6u);
  EXPECT_TRUE(queue.front().record->Equals(*FilledMessage(HM_ROOM_ENTER).record));
  EXPECT_EQ(queue.back().type, 64u);
  while (!queue.empty()) {
    queue.pop_front();
  }
}

TEST(HostMessageWrite, WritesTheCodeThenTheFields) {
  const HostMessage msg = HostMessage::Make<HM_SUN_PICK>(SunPickMsg{.userNo = 2, .pickSlot = 11, .cardId = 49});
  EXPECT_EQ(WriteBlock(msg), Hex("14000000 02000000 0b000000 31000000"));
  EXPECT_EQ(WriteBlock(HostMessage()), Hex("00000000"));
}

TEST(HostMessageWrite, ReportsABufferThatCannotGrow) {
  // Take every idle block so that growing past the first kilobyte must ask the heap.
  XBufBlockAllocator& blocks = XBufBlockAllocator::Global();
  std::vector<XBufBlock*> held;
  for (uint32_t k = 0; k < XBufBlockAllocator::kClassCount; ++k) {
    while (blocks.IdleBlocks(k) > 0) {
      held.push_back(blocks.Alloc(XBufBlockAllocator::ClassBytes(k)));
    }
  }
  const HostMessage big = FilledMessage(HM_ROOM_ENTER);
  ASSERT_GT(big.record->WireSize(), 1024u);
  host_test::Buf buf;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(WriteHostMessage(big, buf.get()), 0);
  EXPECT_LE(buf.length(), 1024u);
  EXPECT_EQ(WriteHostMessage(big, host_test::Buf().get()), 1);
  for (XBufBlock* block : held) {
    blocks.Release(block);
  }
}

TEST(HostMessageTypes, FactoryMakesARecordForEveryCodeOneToSixtyThree) {
  EXPECT_EQ(MakeHostRecord(0), nullptr);
  EXPECT_EQ(MakeHostRecord(64), nullptr);
  EXPECT_EQ(MakeHostRecord(0xFFFFFFFFu), nullptr);
  host_test::ForEachHostType([]<class R>(uint32_t code) {
    const auto record = MakeHostRecord(code);
    ASSERT_NE(record, nullptr) << code;
    EXPECT_NE(dynamic_cast<HostRecordT<R>*>(record.get()), nullptr) << HostMsgTypeName(code);
  });
  EXPECT_STREQ(HostMsgTypeName(HM_DEAL), "HM_DEAL");
  EXPECT_STREQ(HostMsgTypeName(HM_HOST_EVENT_75), "HM_HOST_EVENT_75");
  EXPECT_STREQ(HostMsgTypeName(64), "");
}

}  // namespace
