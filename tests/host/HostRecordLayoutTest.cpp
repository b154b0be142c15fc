// Byte layouts of the host records: sizes of every type, field positions checked
// against blocks written by hand, the older senders that stop short; and the resets.
#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <map>
#include <stdexcept>
#include <tuple>

#include "HostRecordTestSupport.h"
#include "host/HostMessage.h"

namespace {

using namespace host_test;

int64_t Both(uint32_t k) { return static_cast<int64_t>((static_cast<uint64_t>(k) << 32) | k); }

// Bytes after the type code with every string and list empty.
const std::map<uint32_t, uint32_t> kWireSizes = {
    {1, 1668}, {2, 8},   {3, 508},  {4, 152}, {5, 520}, {6, 20},  {7, 16},  {8, 24},  {9, 12},
    {10, 16},  {11, 8},  {12, 12},  {13, 4},  {14, 8},  {15, 16}, {16, 12}, {17, 28}, {18, 20},
    {19, 4},   {20, 12}, {21, 4},   {22, 12}, {23, 12}, {24, 12}, {25, 8},  {26, 28}, {27, 8},
    {28, 12},  {29, 4},  {30, 12},  {31, 16}, {32, 16}, {33, 52}, {34, 16}, {35, 8},  {36, 52},
    {37, 12},  {38, 8},  {39, 4},   {40, 12}, {41, 12}, {42, 20}, {43, 244}, {44, 28}, {45, 200},
    {46, 52},  {47, 12}, {48, 12},  {49, 20}, {50, 8},  {51, 4},  {52, 28}, {53, 12}, {54, 436},
    {55, 40},  {56, 8},  {57, 0},   {58, 8},  {59, 8},  {60, 4},  {61, 4},  {62, 40}, {63, 0},
};

TEST(HostRecordLayout, EveryTypeHasItsWireSizeAndReadsBackEqual) {
  ASSERT_EQ(kWireSizes.size(), 63u);
  for (const auto& [code, size] : kWireSizes) {
    SCOPED_TRACE(HostMsgTypeName(code));
    ASSERT_NE(MakeHostRecord(code), nullptr);
    EXPECT_EQ(MakeHostRecord(code)->WireSize(), size);
    const HostMessage original = FilledMessage(code);
    const std::string block = WriteBlock(original);
    EXPECT_EQ(block.size(), 4u + original.record->WireSize());
    HostMessage read;
    const auto r = ReadBlock(read, block);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.consumed, block.size());
    EXPECT_EQ(read.type, code);
    EXPECT_TRUE(read.record && read.record->Equals(*original.record));
  }
  const std::pair<uint32_t, uint32_t> shared[] = {
      {RecordSize(RCUser{}), 436},         {RecordSize(PlayerInfo{}), 488},    {RecordSize(PITable{}), 976},
      {RecordSize(Option{}), 40},          {RecordSize(RCRoomData{}), 1088},   {RecordSize(WinInfo{}), 60},
      {RecordSize(SettlementEntry{}), 32}, {RecordSize(PlayerData{}), 48},     {RecordSize(GameDataTable{}), 148},
      {RecordSize(GameInfoBlock{}), 48},   {RecordSize(UserLevelEntry{}), 20},
  };
  for (size_t i = 0; i < std::size(shared); ++i) EXPECT_EQ(shared[i].first, shared[i].second) << "record " << i;
}

// The user record spelled out field by field, as the server lays it out:
// i = 32-bit, l = 64-bit, s = string.
constexpr char kUserLayout[] =
    "isss" "ii" "ss" "iiiiii" "s" "iiiii" "llllllllllllllllllll" "iii" "s" "iiiiii" "ll" "iii" "l" "i" "l"
    "ii" "l" "iiiiii" "l" "ii" "ll" "i" "l" "iiiiii";
constexpr char kPlayerTail[] = "ll" "iiiiiiiii";

// Field k of a layout holds k, as the filler gives it.
std::string LayoutBlock(std::initializer_list<const char*> layouts) {
  Wire w;
  uint32_t field = 1;
  for (const char* layout : layouts) {
    for (const char* p = layout; *p != '\0'; ++p, ++field) {
      switch (*p) {
        case 'i': w.I32(static_cast<int32_t>(field)); break;
        case 'l': w.I64(Both(field)); break;
        case 's': w.Str("f" + std::to_string(field)); break;
      }
    }
  }
  return w.bytes();
}

// A named field and the value the block put there.
struct Field { const char* name; int64_t got, expected; };
#define FIELD(expr, expected) Field{#expr, static_cast<int64_t>(expr), expected}

void ExpectFields(std::initializer_list<Field> fields) {
  for (const Field& f : fields) EXPECT_EQ(f.got, f.expected) << f.name;
}

TEST(HostRecordLayout, UserAndSeatFieldsSitWhereTheServerPutsThem) {
  static_assert(sizeof(kUserLayout) - 1 == 80);
  const std::string userBlock = LayoutBlock({kUserLayout});
  RCUser u;
  host_test::Buf buf(userBlock);
  ASSERT_EQ(LoadRecord(u, buf.get()), 1);
  EXPECT_EQ(buf.length(), 0u);
  EXPECT_EQ(u.userId + u.nickname + u.avatarKey + u.f7 + u.f8 + u.f15 + u.f44, "f2f3f4f7f8f15f44");
  ExpectFields({FIELD(u.userNo, 1), FIELD(u.gender, 5), FIELD(u.pcCafeCode, 6), FIELD(u.rankingLevel, 9),
                FIELD(u.gradeIndex, 10), FIELD(u.wins, 11), FIELD(u.losses, 12), FIELD(u.disconnectCount, 13),
                FIELD(u.f14, 14), FIELD(u.f16, 16), FIELD(u.levelValue1, 17), FIELD(u.levelValue2, 18),
                FIELD(u.level, 19), FIELD(u.bestScore, 20), FIELD(u.bestMoney, Both(21)), FIELD(u.money, Both(22)),
                FIELD(u.extraAmount, Both(23)), FIELD(u.totalMoney, Both(24)), FIELD(u.moneyBaseline, Both(25)),
                FIELD(u.safeMoney, Both(26)), FIELD(u.itemMoney.at(0), Both(27)),
                FIELD(u.itemMoney.at(ITEM_MONEY_COUNT - 1), Both(26 + ITEM_MONEY_COUNT)),
                FIELD(u.membershipEnd, Both(38)), FIELD(u.safeAllowance, Both(39)),
                FIELD(u.paymentAllowance, Both(40)), FIELD(u.paymentMoney, Both(51)), FIELD(u.promoTicketLevel, 53),
                FIELD(u.f55, 55), FIELD(u.f57, 57), FIELD(u.f73, 73), FIELD(u.f74, Both(74)), FIELD(u.f80, 80)});
  EXPECT_EQ(WriteRecord(u), userBlock);
  const std::string seatBlock = LayoutBlock({kUserLayout, kPlayerTail});
  PlayerInfo p;
  host_test::Buf seatBuf(seatBlock);
  ASSERT_EQ(LoadRecord(p, seatBuf.get()), 1);
  ExpectFields({FIELD(p.f80, 80), FIELD(p.thresholdValue, Both(81)), FIELD(p.f82, Both(82)),
                FIELD(p.observeReserved, 83), FIELD(p.exitReserved, 84), FIELD(p.connState, 85),
                FIELD(p.voiceSet, 86), FIELD(p.stakeVoteMark, 87), FIELD(p.moneyBellCount, 88),
                FIELD(p.refillsLeft, 89), FIELD(p.timeoutCount, 90), FIELD(p.screenPos, 91)});
  EXPECT_EQ(WriteRecord(p), seatBlock);
}

// Messages written by hand as the server sends them: each reads whole, puts its
// values in the named fields and writes back the same bytes.
TEST(HostRecordLayout, HandWrittenBlocksReadIntoTheirNamedFields) {
  Wire result;
  result.U32(HM_GAME_RESULT);
  result.I32(0).I32(1).I32(1001).I32(4).I64(5);          // end type .. threshold1
  result.I64(61).I64(62).I64(71).I64(72).I64(81).I64(82);  // money, total money, change
  result.I32(91).I32(92);                                  // stake vote marks
  result.I32(1).I32(15).I32(2);                            // winner seat, total, go points
  for (int32_t c = 0; c < 8; ++c) result.I32(100 + c);
  result.I32(3).I32(4).I32(5).I32(6);                           // go, shake, mission, meongtta
  result.U32(2).I32(0).I32(1).I32(0).I32(1).I32(0).I32(1);      // penalties
  result.I32(121).I32(122).I32(131).I32(132).I64(-14);          // ranking points, best kind, threshold2
  result.I32(151).I32(152).I64(161).I64(162).I64(171).I64(172).I32(181).I32(182).I32(191).I32(192);
  result.U32(3).I32(40).I32(41).I32(42);                        // next deck cards
  result.U32(1).I32(10).U32(2).I32(20).I32(21).I32(1).I32(25);  // the two hands, limit, fund rate
  Wire settlement;
  settlement.U32(HM_SETTLEMENT).I32(1).I32(1001).I32(2);
  settlement.I64(41).I64(42).I64(51).I64(52).I64(61).I64(62);
  settlement.I32(0).I32(1001).I32(1).I32(77).I64(8800);
  settlement.U32(1).I32(1002).I32(0).I32(3).I64(4).I64(5).Str("gone");
  settlement.I32(131).I32(132).I32(141).I32(142).I32(151).I32(152).I32(161).I32(162);
  settlement.I32(17).I32(18).I32(19).I32(20).I32(21).I32(22).I32(23).I32(241).I32(242).I32(25).I32(261).I32(262);
  settlement.I32(27).I32(28).I32(29).I32(30).I32(31).I32(32).I32(331).I32(332);
  PlayerInfo player;
  player.userNo = 1002;
  Wire join;
  join.U32(HM_JOIN_GAME).I32(1002).I32(1).I32(1001).I32(1).I32(0).Raw(WriteRecord(player));
  join.I64(0x0000000100000002).I32(1);  // the added money and promotion start
  struct Case {
    const char* what;
    std::string block;
    std::function<void(const HostMessage&)> check;
  };
  const Case cases[] = {
      {"deal of ten hand and eight floor cards",
       Hex("16000000 02000000"
           "0a000000 00000000 05000000 09000000 0d000000 11000000 15000000 19000000 1d000000 21000000 31000000"
           "08000000 01000000 02000000 03000000 04000000 06000000 07000000 08000000 30000000"),
       [](const HostMessage& m) {
         const DealMsg* deal = m.Get<DealMsg>();
         EXPECT_EQ(deal->userNo, 2);
         EXPECT_EQ(deal->handCards, (std::list<int32_t>{0, 5, 9, 13, 17, 21, 25, 29, 33, 49}));
         EXPECT_EQ(deal->floorCards, (std::list<int32_t>{1, 2, 3, 4, 6, 7, 8, 48}));
       }},
      {"user level with one entry", Hex("33000000 01000000 e9030000 02000000 03000000 0c000000 05000000"),
       [](const HostMessage& m) {
         ASSERT_EQ(m.Get<UserLevelMsg>()->entries.size(), 1u);
         const UserLevelEntry& e = m.Get<UserLevelMsg>()->entries.front();
         ExpectFields({FIELD(e.userNo, 1001), FIELD(e.levelValue1, 2), FIELD(e.levelValue2, 3), FIELD(e.level, 12),
                       FIELD(e.f5, 5)});
       }},
      {"game result", result.bytes(),
       [](const HostMessage& m) {
         const GameResultMsg* res = m.Get<GameResultMsg>();
         ASSERT_EQ(res->penalties.size(), 2u);
         const WinInfo& win = res->winInfo;
         ExpectFields({FIELD(res->winnerUser, 1001), FIELD(res->stakeVoteMark.at(1), 92), FIELD(win.winnerSeat, 1),
                       FIELD(win.totalPoints, 15), FIELD(win.goPoints, 2),
                       FIELD(win.categoryPoints.at(SCORE_BRIGHTS), 100),
                       FIELD(win.categoryPoints.at(SCORE_GRASS_RIBBONS), 107), FIELD(win.goExp, 3),
                       FIELD(win.meongttaExp, 6), FIELD(res->penalties.front().seat, 0),
                       FIELD(res->penalties.front().gwangBak, 1), FIELD(res->penalties.back().seat, 1),
                       FIELD(res->penalties.back().gwangBak, 0), FIELD(res->penalties.back().piBak, 1),
                       FIELD(res->rankingPoints.at(0), 121), FIELD(res->bestKind.at(1), 132),
                       FIELD(res->threshold2, -14), FIELD(res->robotItemFlag.at(0), 151),
                       FIELD(res->itemOfferAmount.at(1), 162), FIELD(res->winMoneyLimit, 1),
                       FIELD(res->eventFundRate, 25)});
         EXPECT_EQ(res->nextDeckCards, (std::list<int32_t>{40, 41, 42}));
         EXPECT_EQ(res->hands.at(0), (std::list<int32_t>{10}));
         EXPECT_EQ(res->hands.at(1), (std::list<int32_t>{20, 21}));
       }},
      {"settlement with one leave entry", settlement.bytes(),
       [](const HostMessage& m) {
         const SettlementMsg* s = m.Get<SettlementMsg>();
         ASSERT_EQ(s->leaveList.size(), 1u);
         const SettlementEntry& e = s->leaveList.front();
         ExpectFields({FIELD(s->moneyBaseline.at(1), 52), FIELD(s->firstSeatUser, 1001), FIELD(s->bestScore, 77),
                       FIELD(s->bestMoney, 8800), FIELD(e.userNo, 1002), FIELD(e.reason, 0), FIELD(e.f5, 5),
                       FIELD(s->ticketLevel.at(0), 131), FIELD(s->playSeconds.at(1), 162),
                       FIELD(s->promoFlags.at(2), 19), FIELD(s->f33.at(1), 332)});
         EXPECT_EQ(e.f6, "gone");
       }},
      {"join with the added fields", join.bytes(),
       [](const HostMessage& m) {
         const JoinGameMsg* j = m.Get<JoinGameMsg>();
         ExpectFields({FIELD(j->userNo, 1002), FIELD(j->result, 1), FIELD(j->ownerUserNo, 1001), FIELD(j->seat, 1),
                       FIELD(j->antiLeave, 0), FIELD(j->player.userNo, 1002), FIELD(j->money, 0x0000000100000002),
                       FIELD(j->promoStart, 1)});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostMessage msg;
    const auto r = ReadBlock(msg, c.block);
    ASSERT_EQ(r.result, 1);
    EXPECT_EQ(r.consumed, c.block.size());
    ASSERT_NE(msg.record, nullptr);
    EXPECT_EQ(4 + msg.record->WireSize(), c.block.size());
    c.check(msg);
    EXPECT_EQ(WriteBlock(msg), c.block);
  }
  EXPECT_EQ(WriteBlock(HostMessage::Make<HM_USER_LEVEL>(UserLevelMsg{})), Hex("33000000 00000000"));
}

TEST(HostRecordLayout, SettlementEntryWithAnOverlongTextFailsTheRecordAndKeepsEarlierEntries) {
  Wire w;
  w.U32(HM_SETTLEMENT).I32(1).I32(2).I32(3);
  for (int i = 0; i < 6; ++i) w.I64(10 + i);
  w.I32(0).I32(0).I32(0).I32(0).I64(0);
  w.U32(2).I32(501).I32(0).I32(0).I64(0).I64(0).Str("first");
  w.I32(502).I32(0).I32(0).I64(0).I64(0).U32(1000).Raw("short");
  HostMessage msg;
  EXPECT_EQ(ReadBlock(msg, w.bytes()).result, 0);
  const SettlementMsg* s = msg.Get<SettlementMsg>();
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->leaveList.size(), 1u);
  EXPECT_EQ(s->leaveList.front().userNo + s->ticketLevel.at(0), 501);
  EXPECT_EQ(s->leaveList.front().f6, "first");
  EXPECT_TRUE(HostMessage(msg).record->Equals(*msg.record));
}

// Bytes of the fields added after the older layout's last field, as written.
uint32_t AddedBytes(const HostMessage& msg) {
  switch (msg.type) {
    case HM_JOIN_GAME: return 8 + 4;
    case HM_LEAVE_GAME: return RecordSize(msg.Get<LeaveGameMsg>()->nickname);
    case HM_ENTRY_LIMIT_REMOVED: return 4;
    case HM_TURN_WITH_CARDS: return RecordSize(msg.Get<TurnCardsMsg>()->cards);
    case HM_VIP_STATE: return 8;
  }
  return 0;
}

// An older sender stops after the last field it knows: the record reads with
// result 0, everything it sent in place, and the added fields at their defaults.
TEST(HostRecordLayout, OlderSendersLeaveTheAddedFieldsAtTheirDefaults) {
  for (const auto& older : host_test::kOlderLayouts) {
    SCOPED_TRACE(HostMsgTypeName(older.code));
    HostMessage empty;
    empty.type = older.code;
    empty.record = MakeHostRecord(older.code);
    EXPECT_EQ(older.olderSize + AddedBytes(empty), kWireSizes.at(older.code));
    const HostMessage full = FilledMessage(older.code);
    const std::string block = WriteBlock(full);
    const uint32_t cut = static_cast<uint32_t>(block.size()) - AddedBytes(full);
    HostMessage msg;
    const auto r = ReadBlock(msg, block.substr(0, cut));
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.consumed, cut);
    // The added fields end the record, so their defaults end the empty record's block.
    const HostMessage copy(msg);
    DestroyHostMessage(msg);
    EXPECT_EQ(WriteBlock(copy), block.substr(0, cut) + WriteBlock(empty).substr(4 + older.olderSize));
  }
}

TEST(HostRecordLayout, RoomEntryCutInsideTheSecondSeatKeepsWhatWasReadAndOtherVersionsLoad) {
  const HostMessage full = FilledMessage(HM_ROOM_ENTER);
  const RoomEnterMsg& sent = *full.Get<RoomEnterMsg>();
  const uint32_t seat1Start = 4 + 4 + RecordSize(sent.myUser) + 16 + 8 + RecordSize(sent.room.password) +
                              RecordSize(sent.room.f4) + RecordSize(sent.room.sceneText) +
                              RecordSize(sent.room.optionString) + 8 + RecordSize(sent.room.seats.Player(0));
  const std::string block = WriteBlock(full).substr(0, seat1Start + 100);
  HostMessage msg;
  EXPECT_EQ(ReadBlock(msg, block).result, 0);
  const RoomEnterMsg* m = msg.Get<RoomEnterMsg>();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->clientVersion, sent.clientVersion);
  EXPECT_EQ(m->myUser, sent.myUser);
  EXPECT_EQ(m->room.seats.Player(0), sent.room.seats.Player(0));
  EXPECT_EQ(m->room.seats.Player(1).userNo, sent.room.seats.Player(1).userNo);
  EXPECT_EQ(m->room.seats.Player(1).screenPos, PlayerInfo::kNoScreenPos);
  EXPECT_EQ(m->room.seats.Player(1).f80, 0);
  EXPECT_EQ(m->room.option, Option{});
  EXPECT_EQ(m->room.f20 + m->noticeText, "");
  EXPECT_EQ(m->gameInfo, GameInfoBlock{});
  EXPECT_EQ(m->promoTicketLevel, 0);
  RoomEnterMsg other = Filled<RoomEnterMsg>();  // another client version still loads completely
  other.clientVersion = kClientVersion - 1;
  EXPECT_EQ(ReadBlock(msg, WriteBlock(HostMessage::Make<HM_ROOM_ENTER>(other))).result, 1);
  EXPECT_EQ(*msg.Get<RoomEnterMsg>(), other);
}

}  // namespace
