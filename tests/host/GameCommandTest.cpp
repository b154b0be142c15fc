// Game commands on the wire: the bytes of every type, the writer's refusals, and
// sending through the host with its failure results.
#include "host/GameCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostRecordTestSupport.h"
#include "host/CHostLink.h"
#include "plat/sim.h"
#include "support/Cp949Printer.h"
#include "support/RecordingHost.h"

using testing_support::HexBytes;
using testing_support::HostSlot;
using testing_support::RecordingHost;

namespace {

std::string Written(const GameCommand& command, int32_t* result = nullptr) {
  IXBuf* buf = CreateXBuf(nullptr);
  const int32_t r = WriteGameCommand(command, buf);
  if (result) *result = r;
  std::string bytes(reinterpret_cast<const char*>(buf->GetData()), buf->GetLength());
  buf->Release();
  return HexBytes(bytes);
}

struct WireCase { GameCommand command; const char* bytes; };

// Hand-written bytes of every type, each field a distinct value.
TEST(WriteGameCommand, EveryTypeWritesItsCodeThenItsFieldsLittleEndian) {
  const WireCase cases[] = {
      {GameCommand::Make<GC_NONE>(), "00 00 00 00"},
      {GameCommand::Make<GC_MY_VOICE>(GcMyVoice{2}), "01 00 00 00 02 00 00 00"},
      {GameCommand::Make<GC_PLAY>(GcPlay{3, 1}), "02 00 00 00 03 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_OBSERVE>(), "03 00 00 00"},
      {GameCommand::Make<GC_LEAVE>(), "04 00 00 00"},
      {GameCommand::Make<GC_KICK>(GcKick{-5}), "05 00 00 00 FB FF FF FF"},
      {GameCommand::Make<GC_OPTION_CHANGE>(GcOptionChange{0, 3}), "06 00 00 00 00 00 00 00 03 00 00 00"},
      {GameCommand::Make<GC_STAKE_VOTE_ANSWER>(GcStakeVoteAnswer{1}), "07 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_START_EMPTY_SEAT>(GcStart{}), "08 00 00 00 00 00 00 00"},
      {GameCommand::Make<GC_START_GAME>(GcStart{}), "09 00 00 00 00 00 00 00"},
      {GameCommand::Make<GC_SUN_PICK>(GcSunPick{1, GcSunPick::kNoPick}), "0A 00 00 00 01 00 00 00 32 00 00 00"},
      {GameCommand::Make<GC_FOUR_OF_MONTH_ANSWER>(GcFourOfMonthAnswer{1}), "0B 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_PLAY_CARD>(GcPlayCard{1, 33, 1}), "0C 00 00 00 01 00 00 00 21 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_PICK_FLOOR_CARD>(GcPickFloorCard{0, 7}), "0D 00 00 00 00 00 00 00 07 00 00 00"},
      {GameCommand::Make<GC_SHAKE_ANSWER>(GcShakeAnswer{1, 0}), "0E 00 00 00 01 00 00 00 00 00 00 00"},
      {GameCommand::Make<GC_9TEN_ANSWER>(Gc9TenAnswer{0, 1}),
       "0F 00 00 00 00 00 00 00 01 00 00 00 20 00 00 00"},
      // F1 (go) while not timed out.
      {GameCommand::Make<GC_GO_OR_STOP_ANSWER>(GcGoOrStopAnswer{0, 1}), "10 00 00 00 00 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_UNUSED_17>(GcUnused17{1, 2, 0x0102030405060708}),
       "11 00 00 00 01 00 00 00 02 00 00 00 08 07 06 05 04 03 02 01"},
      {GameCommand::Make<GC_RESULT_DONE>(), "12 00 00 00"},
      {GameCommand::Make<GC_PROMOTION_REQUEST>(GcPromotionRequest{5, 0}), "13 00 00 00 05 00 00 00 00 00 00 00"},
      {GameCommand::Make<GC_HOST_VALUES>(GcHostValues{9, -2, 0x100000000}),
       "14 00 00 00 09 00 00 00 FE FF FF FF FF FF FF FF 00 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_BET_CHOICE>(GcBetChoice{2}), "15 00 00 00 02 00 00 00"},
      {GameCommand::Make<GC_OBSERVE_MODE>(GcObserveMode{1}), "16 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_UNUSED_23>(GcUnused23{0xFFFFFFFEu}), "17 00 00 00 FE FF FF FF"},
      {GameCommand::Make<GC_NUMBER_KEY>(GcNumberKey{9}), "18 00 00 00 09 00 00 00"},
      {GameCommand::Make<GC_AUTO_PLAY>(GcAutoPlay{1}), "19 00 00 00 01 00 00 00"},
      {GameCommand::Make<GC_TIMEOUT_COUNT>(GcTimeoutCount{2}), "1A 00 00 00 02 00 00 00"},
      {GameCommand::Make<GC_HOST_NOTICE_ACK>(GcHostNoticeAck{1234}), "1B 00 00 00 D2 04 00 00"},
      {GameCommand::Make<GC_TEXT_LINE>(GcTextLine{1234, ""}), "1C 00 00 00 D2 04 00 00 00 00 00 00"},
      {GameCommand::Make<GC_TEXT_LINE>(GcTextLine{7, "냥a"}), "1C 00 00 00 07 00 00 00 03 00 00 00 B3 C9 61"},
  };
  std::vector<bool> seen(GC_TYPE_LIMIT, false);
  for (const WireCase& c : cases) {
    int32_t result = -1;
    EXPECT_EQ(Written(c.command, &result), c.bytes) << GameCmdTypeName(c.command.type);
    EXPECT_EQ(result, 1) << GameCmdTypeName(c.command.type);
    seen[c.command.type] = true;
  }
  for (uint32_t code = 0; code < GC_TYPE_LIMIT; ++code) EXPECT_TRUE(seen[code]) << "no case for code " << code;
}

TEST(WriteGameCommand, RefusesUnknownCodesAndPayloadsOfAnotherType) {
  int32_t result = -1;
  EXPECT_EQ(Written(GameCommand{GC_TYPE_LIMIT, GcNoPayload{}}, &result), "1D 00 00 00");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Written(GameCommand{0xFFFFFFFFu, GcNoPayload{}}, &result), "FF FF FF FF");
  EXPECT_EQ(result, 0);
  // A hand-built command whose payload is not its code's is never half written.
  EXPECT_EQ(Written(GameCommand{GC_PLAY_CARD, GcMyVoice{1}}, &result), "0C 00 00 00");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(WriteGameCommand(GameCommand::Make<GC_LEAVE>(), nullptr), 0);
}

TEST(GameCommand, ClearDropsThePayloadAndNamesEndAtTheLastCode) {
  GameCommand command = GameCommand::Make<GC_TEXT_LINE>(GcTextLine{1, "text"});
  command.Clear();
  EXPECT_EQ(command, GameCommand{});
  EXPECT_STREQ(GameCmdTypeName(GC_PLAY_CARD), "GC_PLAY_CARD");
  EXPECT_STREQ(GameCmdTypeName(GC_TEXT_LINE), "GC_TEXT_LINE");
  EXPECT_STREQ(GameCmdTypeName(GC_TYPE_LIMIT), "");
}

class SendGameCommandTest : public testing::Test {
 protected:
  void TearDown() override { plat::sim::ClearFaults(); }
  RecordingHost host;
  CHostLink link{&host, nullptr, CHostLink::kGameNumber};
};

TEST_F(SendGameCommandTest, HandsTheBytesToTheHostAndOnlyALostCommandReportsZero) {
  host.ScriptSendResults({1, IHostInterface::kSendFailed, 0, 5});
  EXPECT_EQ(SendGameCommand(GameCommand::Make<GC_LEAVE>(), link), 1);
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{"Send(-1, 1, [04 00 00 00], 4)"}));
  EXPECT_EQ(SendGameCommand(GameCommand::Make<GC_LEAVE>(), link), 0);
  // Only -1 means lost; the host's other results all count as taken.
  EXPECT_EQ(SendGameCommand(GameCommand::Make<GC_LEAVE>(), link), 1);
  EXPECT_EQ(SendGameCommand(GameCommand::Make<GC_LEAVE>(), link), 1);
}

TEST_F(SendGameCommandTest, UnwritableCommandsNoHostOrNoBufferSendNothing) {
  EXPECT_EQ(SendGameCommand(GameCommand{29, GcNoPayload{}}, link), 0);
  EXPECT_EQ(SendGameCommand(GameCommand{GC_KICK, GcNoPayload{}}, link), 0);
  const CHostLink noHost;
  EXPECT_EQ(SendGameCommand(GameCommand::Make<GC_LEAVE>(), noHost), 0);
  host_test::IdleBlocksHeld idle;
  plat::sim::FailNext("HeapAlloc", 100);
  EXPECT_EQ(SendGameCommand(GameCommand::Make<GC_LEAVE>(), link), 0);
  EXPECT_GT(plat::sim::FaultsFired("HeapAlloc"), 0u);
  EXPECT_TRUE(host.Calls().empty());
}

}  // namespace
