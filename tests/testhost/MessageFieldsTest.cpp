// Host messages written by member name: the paths reach embedded records, seats and
// list elements, and `short` cuts exactly the fields an older sender leaves out.
#include "testhost/MessageFields.h"

#include <gtest/gtest.h>

#include "host/HostMessage.h"
#include "host/IXBuf.h"
#include "plat/codepage.h"
#include "support/HostRecordLayouts.h"

namespace {

using testhost::FieldValue;

// The message the bytes read back as; fails the test when they do not read whole.
HostMessage ReadBack(const std::vector<uint8_t>& bytes, int expectedResult = 1) {
  IXBuf* buf = CreateXBuf(nullptr);
  buf->Append(bytes.data(), static_cast<uint32_t>(bytes.size()));
  HostMessage msg;
  EXPECT_EQ(ReadHostMessage(msg, buf), expectedResult);
  EXPECT_EQ(buf->GetLength(), 0u);
  buf->Release();
  return msg;
}

std::vector<uint8_t> Bytes(const std::string& type, const std::vector<FieldValue>& fields, bool older = false) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(testhost::HostMessageBytes(type, fields, older, bytes, error)) << error;
  return bytes;
}

TEST(MessageFields, PathsReachEmbeddedRecordsSeatsAndListElements) {
  const HostMessage entry = ReadBack(Bytes("HM_ROOM_ENTER", {{"myUser.userNo", "101"},
                                                             {"room.sceneMode", "1"},
                                                             {"room.seats.1.userNo", "102"},
                                                             {"room.option.switch9", "0"},
                                                             {"noticeText", "\"공지\""},
                                                             {"promoFlags", "[1, 0, 1]"},
                                                             {"room.sceneMode", "2"}}));
  const RoomEnterMsg& r = *entry.Get<RoomEnterMsg>();
  EXPECT_EQ(r.myUser.userNo, 101);
  EXPECT_EQ(r.room.sceneMode, 2);  // the later value wins
  EXPECT_EQ(r.room.seats.Player(1).userNo, 102);
  EXPECT_EQ(r.room.seats.Player(0).userNo, RoomEnterMsg().room.seats.Player(0).userNo);
  EXPECT_EQ(r.room.option.switch9, 0);
  EXPECT_EQ(r.room.option.switch8, 1);
  EXPECT_EQ(r.noticeText, plat::Utf8ToCp949("공지"));  // as the module reads it
  EXPECT_EQ(r.promoFlags.at(2), 1);

  const HostMessage result = ReadBack(Bytes("HM_GAME_RESULT", {{"hands.1", "[7, 8]"}, {"penalties.1.seat", "1"}}));
  const GameResultMsg& g = *result.Get<GameResultMsg>();
  EXPECT_EQ(g.hands.at(1), (std::list<int32_t>{7, 8}));
  ASSERT_EQ(g.penalties.size(), 2u);  // the list grows to reach the element
  EXPECT_EQ(g.penalties.back().seat, 1);
}

TEST(MessageFields, WrongNamesAndValuesAreNamed) {
  const struct {
    const char* type;
    FieldValue field;
    const char* error;
  } cases[] = {
      {"HM_NOPE", {"userNo", "1"}, "no message HM_NOPE"},
      {"HM_TURN", {"turn", "1"}, "no field turn in HM_TURN"},
      {"HM_TURN", {"userNo.x", "1"}, "no field userNo.x in HM_TURN"},
      {"HM_DEAL", {"handCards", "[1, x]"}, "unreadable value for handCards in HM_DEAL"},
      {"HM_GAME_RESULT", {"money", "[1]"}, "unreadable value for money in HM_GAME_RESULT"},
      {"HM_GAME_RESULT", {"money.2", "1"}, "no field money.2 in HM_GAME_RESULT"},
      {"HM_ROOM_ENTER", {"room", "1"}, "unreadable value for room in HM_ROOM_ENTER"},
      {"HM_NOTICE_TEXT", {"text", "bare"}, "unreadable value for text in HM_NOTICE_TEXT"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(testhost::HostMessageBytes(c.type, {c.field}, false, bytes, error));
    EXPECT_EQ(error, c.error);
  }
}

TEST(MessageFields, ShortCutsTheAppendedFieldsWhateverTheRecordHolds) {
  for (const auto& older : testing_support::kOlderLayouts) {
    SCOPED_TRACE(HostMsgTypeName(older.code));
    EXPECT_EQ(Bytes(HostMsgTypeName(older.code), {}, true).size(), 4 + older.olderSize);
  }
  // A nickname longer than the default moves the cut by its length.
  const std::vector<uint8_t> join =
      Bytes("HM_JOIN_GAME", {{"userNo", "103"}, {"result", "2"}, {"player.nickname", "\"abc\""}}, true);
  const std::vector<uint8_t> full = Bytes("HM_JOIN_GAME", {{"userNo", "103"}, {"result", "2"}, {"player.nickname", "\"abc\""}});
  EXPECT_EQ(join.size() + sizeof(int64_t) + sizeof(int32_t), full.size());
  EXPECT_TRUE(std::equal(join.begin(), join.end(), full.begin()));
  const HostMessage msg = ReadBack(join, 0);
  EXPECT_EQ(msg.Get<JoinGameMsg>()->player.nickname, "abc");

  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_FALSE(testhost::HostMessageBytes("HM_JOIN_GAME", {{"money", "5"}}, true, bytes, error));
  EXPECT_EQ(error, "money is not in the older layout of HM_JOIN_GAME");
  EXPECT_FALSE(testhost::HostMessageBytes("HM_TURN", {}, true, bytes, error));
  EXPECT_EQ(error, "HM_TURN has no older layout");
}

}  // namespace
