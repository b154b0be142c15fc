// A script's messages read on their own: the timeline of '@' and '+' lines (every
// event moves it, not only messages), the plain game's defaults with the seats the
// joins took, and the line named when a message cannot be built.
#include "testhost/ScriptMessages.h"

#include <gtest/gtest.h>

namespace {

using testhost::FieldValue;
using testhost::TimedMessage;

std::vector<uint8_t> Built(const std::string& type, const std::vector<FieldValue>& fields) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(testhost::HostMessageBytes(type, fields, false, bytes, error)) << error;
  return bytes;
}

std::vector<TimedMessage> Read(const std::string& text) {
  std::vector<TimedMessage> out;
  std::string error;
  EXPECT_TRUE(testhost::ReadScriptMessages(text, out, error)) << error;
  return out;
}

TEST(ScriptMessages, EveryEventMovesTheTimelineAndOnlyMessagesAreKept) {
  const auto messages = Read(
      "# a comment line\n"
      "me 101\n"
      "@100 msg HM_SUN_SELECT pickCount=12   # trailing comment\n"
      "+400 click 10 20\n"
      "+0 expect cmd 0A 00 00 00\n"
      "+250 msg HM_TURN userNo=101 turnValue=0\n"
      "@2000 msg HM_SCORE_UPDATE points=[3, 4]\n"
      "+10 end\n");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].at, 100u);
  EXPECT_EQ(messages[1].at, 750u);
  EXPECT_EQ(messages[2].at, 2000u);
  EXPECT_EQ(messages[0].bytes, Built("HM_SUN_SELECT", {{"pickCount", "12"}}));
  EXPECT_EQ(messages[1].bytes, Built("HM_TURN", {{"userNo", "101"}, {"turnValue", "0"}}));
  EXPECT_EQ(messages[2].bytes, Built("HM_SCORE_UPDATE", {{"points", "[3, 4]"}}));
}

TEST(ScriptMessages, PlainDefaultsFollowTheHeaderAndTheSeatsTaken) {
  const auto plain = Read(
      "me 102\n"
      "defaults plain\n"
      "@0 msg HM_JOIN_GAME userNo=101 seat=0\n"
      "+0 msg HM_JOIN_GAME userNo=102 seat=1\n"
      "+0 msg HM_SETTLEMENT\n"
      "+0 msg HM_GAME_RESULT\n");
  ASSERT_EQ(plain.size(), 4u);
  EXPECT_EQ(plain[1].bytes, Built("HM_JOIN_GAME", {{"result", "0"}, {"player.userNo", "102"}, {"userNo", "102"},
                                                   {"seat", "1"}}));
  // The first seat's user settles; my seat, the second, is the one offered nothing.
  EXPECT_EQ(plain[2].bytes, Built("HM_SETTLEMENT", {{"resultCode", "1"}, {"firstSeatUser", "101"}}));
  EXPECT_EQ(plain[3].bytes, Built("HM_GAME_RESULT", {{"threshold1", "0"},
                                                     {"threshold2", "0"},
                                                     {"itemOfferAmount.1", "100000000"}}));
  // Without the header line a message carries only what its line sets.
  const auto bare = Read("me 102\n@0 msg HM_SETTLEMENT\n");
  ASSERT_EQ(bare.size(), 1u);
  EXPECT_EQ(bare[0].bytes, Built("HM_SETTLEMENT", {}));
}

TEST(ScriptMessages, AFaultyLineIsNamed) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"me 1\n@10 msg HM_TURN userNo=1\n@5 msg HM_TURN userNo=1\n", "line 3: time runs backwards"},
      {"@x msg HM_TURN\n", "line 1: unreadable time"},
      {"\n@0 msg HM_NOT_A_MESSAGE\n", "line 2: no message HM_NOT_A_MESSAGE"},
      {"@0 msg HM_TURN noSuchField=1\n", "line 1: no field noSuchField in HM_TURN"},
      {"@0 msg HM_DEAL handCards=[1, 2\n", "line 1: unreadable fields"},
  };
  for (const auto& c : cases) {
    std::vector<TimedMessage> out;
    std::string error;
    EXPECT_FALSE(testhost::ReadScriptMessages(c.script, out, error)) << c.script;
    EXPECT_EQ(error, c.error) << c.script;
  }
}

}  // namespace
