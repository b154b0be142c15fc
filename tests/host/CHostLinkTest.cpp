// The host link as the host sees it: style-tagged texts cut into AddText runs, the
// argument mapping of each host call, what happens when no BSTR can be made; and game
// commands on the wire and sent through the host.
#include "host/CHostLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostRecordTestSupport.h"
#include "host/GameCommand.h"
#include "plat/sim.h"
#include "support/Cp949Printer.h"
#include "support/RecordingHost.h"

using testing_support::HexBytes;
using testing_support::HostSlot;
using testing_support::RecordingHost;

namespace {

// Expected transcript lines hold UTF-8 (the recording host's form), written with u8
// literals so the CP949 execution character set does not touch them.
std::string Utf8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }
using Lines = std::vector<std::string>;

class HostLinkTest : public testing::Test {
 protected:
  void TearDown() override { plat::sim::ClearFaults(); }
  RecordingHost host;
  CHostLink link{&host, nullptr, CHostLink::kGameNumber};
};

TEST_F(HostLinkTest, MarkupTextBecomesStyledRuns) {
  const struct { const char* text; std::vector<std::string> runs; } cases[] = {
      {"abc", {R"(AddText("abc", 400, 0x0, 0, "", 0))"}},
      {"`1111`abc", {R"(AddText("", 700, 0x10001, 0, "", 1))", R"(AddText("abc", 400, 0x0, 0, "", 0))"}},
      {"x`0020`y`0121`", {R"(AddText("x", 400, 0x20000, 0, "", 0))", R"(AddText("y", 700, 0x20001, 0, "", 0))"}},
      // A code of other than four characters ends the markup: the rest goes out as is.
      {"a`12`b", {R"(AddText("a`12`b", 400, 0x0, 0, "", 0))"}},
      {"a`12345`b", {R"(AddText("a`12345`b", 400, 0x0, 0, "", 0))"}},
      {"x`0020`y`1`z", {R"(AddText("x", 400, 0x20000, 0, "", 0))", R"(AddText("y`1`z", 400, 0x0, 0, "", 0))"}},
      {"open`1111", {R"(AddText("open`1111", 400, 0x0, 0, "", 0))"}},
      {"````", {R"(AddText("````", 400, 0x0, 0, "", 0))"}},
      // Only '1' sets a flag; the colour is the third character minus '0', negative too.
      {"r`2x 9`", {R"(AddText("r", 400, 0xFFF00000, 0, "", 0))"}},
      {"", {}},
      {"자동치기`1131` 기능을 `0030`",
       {Utf8(u8R"(AddText("자동치기", 700, 0x30001, 0, "", 1))"), Utf8(u8R"(AddText(" 기능을 ", 400, 0x30000, 0, "", 0))")}},
  };
  for (const auto& c : cases) {
    host.Clear();
    link.ShowMarkupText(c.text);
    EXPECT_EQ(host.Transcript(), c.runs) << c.text;
  }
  host.Clear();
  const std::string run(5000, 'k');  // a long run goes out whole
  link.ShowMarkupText((run + "`1000`" + run).c_str());
  const auto calls = host.CallsTo(HostSlot::AddText);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].texts[0] + calls[1].texts[0], run + run);
}

TEST_F(HostLinkTest, WithoutHostOrTextNothingIsSentAndAFailedBstrDropsThatRunAndTheRest) {
  const CHostLink empty;
  empty.ShowMarkupText("`1111`abc");
  EXPECT_FALSE(empty.SendTextRun("x", 1, 400, 0, 0));
  EXPECT_FALSE(empty.SendStyledText("x", 1, 400, 0, ""));
  EXPECT_FALSE(empty.SetPlayerList({1}));
  EXPECT_EQ(empty.Send(reinterpret_cast<const BYTE*>("abcd"), 4), 0);
  int32_t value = 3;
  EXPECT_EQ(empty.NotifyEvent(1, 45, nullptr, &value), 0);
  link.ShowMarkupText(nullptr);
  EXPECT_TRUE(host.Calls().empty());
  // Each run takes two BSTRs (text and face): let the first run through, fail the second.
  plat::sim::FailNext("SysAllocString", 1, 2);
  EXPECT_NO_THROW(link.ShowMarkupText("a`1000`b`0000`c"));
  EXPECT_EQ(host.Transcript(), (Lines{R"(AddText("a", 400, 0x0, 0, "", 1))"}));
  host.Clear();
  plat::sim::FailNext("SysAllocString", 1, 1);  // the first run's face
  link.ShowMarkupText("a`1000`b");
  EXPECT_TRUE(host.Calls().empty());
}

TEST(HostTextHelpers, CopyBetweenTakesTheMarkedTextOrRefusesAndJoinToBstrEndsEveryItemWithABar) {
  const struct { const char* text; char open, close; uint32_t outSize; int32_t result; const char* out; } cases[] = {
      {"a`1111`b", '`', '`', 5, 7, "1111"}, {"``", '`', '`', 5, 2, ""}, {"x[ab]y", '[', ']', 5, 5, "ab"},
      {"a`12345`b", '`', '`', 5, -1, "unset"},  // five characters and the terminator need 6 bytes
      {"a`1111`b", '`', '`', 4, -1, "unset"},
      {"a`1111", '`', '`', 5, -1, "unset"},  // no closing mark
      {"a1111`", '`', '`', 5, -1, "unset"},  // one mark only
      {"plain", '`', '`', 5, -1, "unset"}, {"``", '`', '`', 0, -1, "unset"}, {nullptr, '`', '`', 5, -1, "unset"},
  };
  for (const auto& c : cases) {
    char out[8] = "unset";
    EXPECT_EQ(CopyBetween(c.text, c.open, c.close, out, c.outSize), c.result) << (c.text ? c.text : "null");
    EXPECT_STREQ(out, c.out) << (c.text ? c.text : "null");
  }
  BSTR holder = SysAllocString(u"old");
  ASSERT_EQ(JoinToBstr(holder, {"1", "2"}), 1);
  EXPECT_EQ(std::u16string(holder, SysStringLen(holder)), u"1|2|");
  ASSERT_EQ(JoinToBstr(holder, {}), 1);
  ASSERT_TRUE(holder != nullptr && SysStringLen(holder) == 0u);
  plat::sim::FailNext("SysAllocString");
  EXPECT_EQ(JoinToBstr(holder, {"7"}), 0);
  EXPECT_EQ(holder, nullptr);  // the old text was freed (the sanitizers see no leak)
  plat::sim::ClearFaults();
}

TEST_F(HostLinkTest, EventsCarryTheirDataAndTakeTheHostsWriteBack) {
  host.ScriptEvent(43, {.result = 1, .writeValue = true, .valueBack = 9, .dataBack = {}});
  int32_t value = 0x11000;
  EXPECT_EQ(link.NotifyEvent(7, 43, nullptr, &value), 1);
  EXPECT_EQ(value, 9);
  char word[] = "macro";
  EXPECT_EQ(link.NotifyEvent(7, 45, word, nullptr), 0);
  int64_t amount = 0x0102030405060708;
  int32_t size = sizeof amount;
  link.NotifyEvent(7, 22, &amount, &size);
  host.ScriptEvent(62, {.writeData = true, .dataBack = "host text"});
  char buffer[256] = {};
  int32_t capacity = sizeof buffer;
  link.NotifyEvent(7, 62, buffer, &capacity);
  EXPECT_STREQ(buffer, "host text");
  EXPECT_EQ(host.Transcript(), (Lines{"NotifyEvent(7, 43, (null), 69632)", R"(NotifyEvent(7, 45, "macro", 0))",
                                       "NotifyEvent(7, 22, [08 07 06 05 04 03 02 01], 8)",
                                       "NotifyEvent(7, 62, (buffer), 256)"}));
}

using GC = GameCommand;

// The bytes written, and whether the writer refused the command.
std::string Written(const GameCommand& command) {
  host_test::Buf buf;
  const int32_t r = WriteGameCommand(command, buf.get());
  return HexBytes(buf.bytes()) + (r == 1 ? "" : " refused");
}

struct WireCase { GameCommand command; const char* bytes; };

// Hand-written bytes of every type, each field a distinct value.
TEST(WriteGameCommand, EveryTypeWritesItsCodeThenItsFieldsLittleEndian) {
  const WireCase cases[] = {
      {GC::Make<GC_NONE>(), "00 00 00 00"}, {GC::Make<GC_MY_VOICE>(GcMyVoice{2}), "01 00 00 00 02 00 00 00"},
      {GC::Make<GC_PLAY>(GcPlay{3, 1}), "02 00 00 00 03 00 00 00 01 00 00 00"},
      {GC::Make<GC_OBSERVE>(), "03 00 00 00"}, {GC::Make<GC_LEAVE>(), "04 00 00 00"},
      {GC::Make<GC_KICK>(GcKick{-5}), "05 00 00 00 FB FF FF FF"},
      {GC::Make<GC_OPTION_CHANGE>(GcOptionChange{0, 3}), "06 00 00 00 00 00 00 00 03 00 00 00"},
      {GC::Make<GC_STAKE_VOTE_ANSWER>(GcStakeVoteAnswer{1}), "07 00 00 00 01 00 00 00"},
      {GC::Make<GC_START_EMPTY_SEAT>(GcStart{}), "08 00 00 00 00 00 00 00"},
      {GC::Make<GC_START_GAME>(GcStart{}), "09 00 00 00 00 00 00 00"},
      {GC::Make<GC_SUN_PICK>(GcSunPick{1, GcSunPick::kNoPick}), "0A 00 00 00 01 00 00 00 32 00 00 00"},
      {GC::Make<GC_FOUR_OF_MONTH_ANSWER>(GcFourOfMonthAnswer{1}), "0B 00 00 00 01 00 00 00"},
      {GC::Make<GC_PLAY_CARD>(GcPlayCard{1, 33, 1}), "0C 00 00 00 01 00 00 00 21 00 00 00 01 00 00 00"},
      {GC::Make<GC_PICK_FLOOR_CARD>(GcPickFloorCard{0, 7}), "0D 00 00 00 00 00 00 00 07 00 00 00"},
      {GC::Make<GC_SHAKE_ANSWER>(GcShakeAnswer{1, 0}), "0E 00 00 00 01 00 00 00 00 00 00 00"},
      {GC::Make<GC_9TEN_ANSWER>(Gc9TenAnswer{0, 1}), "0F 00 00 00 00 00 00 00 01 00 00 00 20 00 00 00"},
      // F1 (go) while not timed out.
      {GC::Make<GC_GO_OR_STOP_ANSWER>(GcGoOrStopAnswer{0, 1}), "10 00 00 00 00 00 00 00 01 00 00 00"},
      {GC::Make<GC_UNUSED_17>(GcUnused17{1, 2, 0x0102030405060708}),
       "11 00 00 00 01 00 00 00 02 00 00 00 08 07 06 05 04 03 02 01"},
      {GC::Make<GC_RESULT_DONE>(), "12 00 00 00"},
      {GC::Make<GC_PROMOTION_REQUEST>(GcPromotionRequest{5, 0}), "13 00 00 00 05 00 00 00 00 00 00 00"},
      {GC::Make<GC_HOST_VALUES>(GcHostValues{9, -2, 0x100000000}),
       "14 00 00 00 09 00 00 00 FE FF FF FF FF FF FF FF 00 00 00 00 01 00 00 00"},
      {GC::Make<GC_BET_CHOICE>(GcBetChoice{2}), "15 00 00 00 02 00 00 00"},
      {GC::Make<GC_OBSERVE_MODE>(GcObserveMode{1}), "16 00 00 00 01 00 00 00"},
      {GC::Make<GC_UNUSED_23>(GcUnused23{0xFFFFFFFEu}), "17 00 00 00 FE FF FF FF"},
      {GC::Make<GC_NUMBER_KEY>(GcNumberKey{9}), "18 00 00 00 09 00 00 00"},
      {GC::Make<GC_AUTO_PLAY>(GcAutoPlay{1}), "19 00 00 00 01 00 00 00"},
      {GC::Make<GC_TIMEOUT_COUNT>(GcTimeoutCount{2}), "1A 00 00 00 02 00 00 00"},
      {GC::Make<GC_HOST_NOTICE_ACK>(GcHostNoticeAck{1234}), "1B 00 00 00 D2 04 00 00"},
      {GC::Make<GC_TEXT_LINE>(GcTextLine{1234, ""}), "1C 00 00 00 D2 04 00 00 00 00 00 00"},
      {GC::Make<GC_TEXT_LINE>(GcTextLine{7, "냥a"}), "1C 00 00 00 07 00 00 00 03 00 00 00 B3 C9 61"},
  };
  std::vector<bool> seen(GC_TYPE_LIMIT, false);
  for (const WireCase& c : cases) {
    EXPECT_EQ(Written(c.command), c.bytes) << GameCmdTypeName(c.command.type);
    seen[c.command.type] = true;
  }
  for (uint32_t code = 0; code < GC_TYPE_LIMIT; ++code) EXPECT_TRUE(seen[code]) << "no case for code " << code;
}

TEST(WriteGameCommand, RefusesUnknownCodesAndPayloadsOfAnotherTypeAndNamesEndAtTheLastCode) {
  EXPECT_EQ(Written(GameCommand{GC_TYPE_LIMIT, GcNoPayload{}}), "1D 00 00 00 refused");
  EXPECT_EQ(Written(GameCommand{0xFFFFFFFFu, GcNoPayload{}}), "FF FF FF FF refused");
  // A hand-built command whose payload is not its code's is never half written.
  EXPECT_EQ(Written(GameCommand{GC_PLAY_CARD, GcMyVoice{1}}), "0C 00 00 00 refused");
  EXPECT_EQ(WriteGameCommand(GameCommand::Make<GC_LEAVE>(), nullptr), 0);
  GameCommand command = GameCommand::Make<GC_TEXT_LINE>(GcTextLine{1, "text"});
  command.Clear();
  EXPECT_EQ(command, GameCommand{});
  EXPECT_STREQ(GameCmdTypeName(GC_PLAY_CARD), "GC_PLAY_CARD");
  EXPECT_STREQ(GameCmdTypeName(GC_TEXT_LINE), "GC_TEXT_LINE");
  EXPECT_STREQ(GameCmdTypeName(GC_TYPE_LIMIT), "");
}

using SendGameCommandTest = HostLinkTest;

TEST_F(SendGameCommandTest, HandsTheBytesToTheHostAndReportsZeroOnlyForALostOrUnsendableCommand) {
  host.ScriptSendResults({1, IHostInterface::kSendFailed, 0, 5});
  // Only -1 means lost; the host's other results all count as taken.
  for (int32_t taken : {1, 0, 1, 1}) EXPECT_EQ(SendGameCommand(GC::Make<GC_LEAVE>(), link), taken);
  EXPECT_EQ(host.Transcript(), Lines(4, "Send(-1, 1, [04 00 00 00], 4)"));
  host.Clear();
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

TEST_F(HostLinkTest, RunAndStyledTextMapTheirArguments) {
  EXPECT_TRUE(link.SendTextRun("r", 1, 700, 3, 5));
  EXPECT_TRUE(link.SendTextRun("s", 0, 400, 9, 0));
  // The styled text has no fourth flag; its face goes to the host as given.
  EXPECT_TRUE(link.SendStyledText("head", 1, 400, 1, "http://page"));
  EXPECT_TRUE(link.SendStyledText(nullptr, 0, 700, 0, nullptr));
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{
                                   R"(AddText("r", 700, 0x30001, 0, "", 1))",
                                   R"(AddText("s", 400, 0x90000, 0, "", 0))",
                                   R"(AddText("head", 400, 0x10000, 0, "http://page", 1))",
                                   R"(AddText("", 700, 0x0, 0, "", 0))",
                               }));
}

TEST_F(HostLinkTest, PlayerListIsDecimalNumbersEachEndedByABar) {
  EXPECT_TRUE(link.SetPlayerList({3, -5, 1234567}));
  EXPECT_TRUE(link.SetPlayerList({}));
  plat::sim::FailNext("SysAllocString");
  EXPECT_FALSE(link.SetPlayerList({1}));
  EXPECT_EQ(host.Transcript(),
            (std::vector<std::string>{R"(SetPlayerList("3|-5|1234567|"))", R"(SetPlayerList(""))"}));
}

}  // namespace
