// Why this client leaves: every reason's effect, box and outcome, the closing notices to
// the host, and the small notices that share the outlet (room state, kick
// reservations, the entry limit, notice texts, scene strings, chat macros, events).
#include <gtest/gtest.h>

#include "RoomTableFixture.h"
#include "base/TextUtil.h"
#include "host/Dorvik2Messages.h"
#include "panels/CVUserInfoWnd.h"
#include "widgets/GVTextWnd.h"

namespace {

using room_test::RoomTableTest;
using testing_support::HostSlot;

constexpr int32_t kObserve = -1;
constexpr int32_t kAlert = 27;
constexpr int32_t kClosed = 1;

class ExitReasonTest : public RoomTableTest {};

struct ReasonCase {
  int32_t reason;
  int32_t roomState;
  const char* text;
  int32_t leaveFlag;
  const char* box;  // "" none
  uint32_t ms;
  int32_t code;  // kObserve: stays
};

const char* const kCannotEnter = " 방에 입장할 수 없습니다. ";
const char* const kChannel = "등급이 맞지 않아 방에 입장할 수 없습니다.\n점5천냥채널로 이동하면 게임참여가 가능합니다.";
const char* const kMoneyShort = "소지머니가 부족하여, 게임에 참여할 수 없습니다.\n금고인출, 리필, 게임몰을 이용하세요.";

const ReasonCase kReasons[] = {
    {0, 0, "", 0, "", 0, kObserve},
    {1, 0, "", 0, "", 0, 0},
    {1, 60, "", 0, " 아이템 유효 기간 내에 입장하면 이어서 게임할 수 있습니다. ", 3000, 1},
    {2, 0, "", 0, "", 0, 1},
    {3, 0, "", 0, kCannotEnter, 3000, 0},
    {4, 0, "", 0, "", 0, 0},
    {5, 0, "2", 0, kChannel, 5000, 0},
    {6, 0, "2", 0, kChannel, 5000, 0},
    {6, 0, "99", 0, "등급이 맞지 않아 방에 입장할 수 없습니다.\n점1천냥채널로 이동하면 게임참여가 가능합니다.", 5000, 0},
    {7, 0, "", 0, kCannotEnter, 3000, 0},
    {8, 0, "", 0, " 강제퇴장 당한 방이므로 입장할 수 없습니다. ", 3000, 0},
    {9, 0, "", 0, " 강제퇴장으로 방에서 나갑니다. ", 3000, 0},
    {10, 0, "5000", 0, kMoneyShort, 5000, kObserve},
    {10, 0, "5000", 1, kMoneyShort, 5000, 0},
    {10, 0, "abc", 1, "[1억냥이상 방] 입니다.소지머니가 부족하여, 게임에 참여할 수 없습니다.\n금고인출, 리필, 게임몰을 이용하세요.",
     5000, 0},
    {11, 0, "", 0, "", 0, 0},
    {11, 9, "", 0, "먹튀방지금액 이상을 소지해야 게임에 참여할 수 있습니다.", 3000, 0},
    {12, 0, "", 0, "", 0, 0},
    {13, 0, "", 0, "빈 자리가 없습니다.", 5000, kObserve},
    {14, 0, "", 0, " 서버와의 연결이 끊어져 게임을 종료합니다. \n 이번 게임의 결과가 저장되지 않을 수 있습니다. ", 6000, 1},
    {15, 0, "", 0, "", 0, 0},
    {16, 0, "", 0, "죄송합니다.\n소지하신 머니가 너무 많아,\n해당채널에는 입장하실 수 없습니다.", 5000, 0},
    {17, 0, "", 0, "", 0, 0},
    {18, 0, "", 0, "", 0, 0},
    {19, 0, "", 0,
     "잠시 후 보다 안정적인 서비스 제공을 위한 쿠엘 임시점검(정기점검)이 시작됩니다.\n     고객님의 소중한 게임정보 "
     "보호를 위하여 자동으로 대기실로 이동됩니다.",
     3000, 0},
    {101, 0, "", 0, " \"토롱로봇 아이템\"이 없으므로 게임을 종료합니다. ", 3000, 1},
    {102, 0, "", 0, " 로봇이 올인되어 게임을 종료합니다. ", 3000, 1},
    {103, 0, "", 0, " 카르펜 결제를 위해 채널로 이동합니다. ", 3000, 0},
    {201, 0, "", 0, "", 0, 0},
    {202, 0, "2011-12-31", 0, " \"토롱로봇\"의 유효기간(2011-12-31)이 지나 게임을 종료합니다.", 5000, 1},
    {203, 0, "", 0, "", 0, 0},
    {204, 0, "", 0, "", 0, 0},
    {205, 0, "", 0, "", 0, 0},
    {206, 0, "", 0, "", 0, 0},
    {207, 0, "", 0,
     " 오늘 이용할 수 있는 판수 제한에 걸리셨습니다. \n 게임아이템이나 스텔바 회원 서비스를 구매하시면 \n 판수제한 "
     "해제 혜택을 이용하실 수 있습니다. ",
     5000, kObserve},
    {300, 0, "", 0, "", 0, 1},
    {999, 0, "", 0, "", 0, 0},
};

TEST_F(ExitReasonTest, EveryReasonShowsItsBoxThenObservesOrCloses) {
  scene->Model().gameInfo.entryMinMoney = 100'000'000;
  scene->Model().room.antiLeaveLevel = 1;
  scene->Model().gamesPlayed = 4;
  for (const ReasonCase& c : kReasons) {
    SCOPED_TRACE(testing::Message() << c.reason << " in state " << c.roomState << " leave " << c.leaveFlag);
    scene->Model().room.roomState = c.roomState;
    scene->ObservePanel()->Show(0);
    Forget();
    scene->OnExitReason(c.reason, c.text, c.leaveFlag);
    EXPECT_EQ(trace.effects.size() > 0 && trace.effects.front() == kAlert, c.reason > 1);
    EXPECT_EQ(Boxes(), *c.box ? std::vector<std::string>{Box(0, c.ms, c.box)} : std::vector<std::string>{});
    WPARAM played = 0;
    const auto closes = Closes(&played);
    if (c.code == kObserve) {
      EXPECT_TRUE(closes.empty());
      EXPECT_TRUE(scene->ObservePanel()->IsVisible());
      EXPECT_FALSE(Played(kClosed));
    } else {
      EXPECT_EQ(closes, std::vector<LPARAM>{c.code});
      EXPECT_EQ(played, 4u);
      EXPECT_EQ(trace.effects.back(), kClosed);
    }
    const bool kicked = c.reason == 8 || c.reason == 9;
    // Kept as an observer, the observer panel reads the two paid services' state.
    std::vector<std::string> events;
    if (kicked) events.push_back("NotifyEvent(7, 26, (null), 0)");
    if (c.code == kObserve) events.insert(events.end(), {kFirstServiceQuery, kSecondServiceQuery});
    EXPECT_EQ(Lines(HostSlot::NotifyEvent), events);
    const bool textEvent = c.code == 1 && c.roomState != 60;
    EXPECT_EQ(Lines(HostSlot::SetText),
              textEvent ? std::vector<std::string>{"SetText(\"\", 23, \"\")"} : std::vector<std::string>{});
  }
}

TEST_F(ExitReasonTest, ReasonTwelveClosesWithSixOnlyInARunningAntiLeaveGame) {
  struct Case {
    int32_t state, level, flag;
    LPARAM code;
  } cases[] = {{9, 2, 1, 6}, {9, 2, 0, 0}, {9, 0, 1, 0}, {4, 2, 1, 0}};
  for (const Case& c : cases) {
    scene->Model().room.roomState = c.state;
    scene->Model().room.antiLeaveLevel = c.level;
    scene->Model().antiLeave = c.flag;
    Forget();
    scene->OnExitReason(12, "", 0);
    EXPECT_EQ(Closes(), std::vector<LPARAM>{c.code}) << c.state << " " << c.level << " " << c.flag;
  }
}

TEST_F(ExitReasonTest, MoneyCapOfferFollowsTheCloseUnlessRoyalAndRich) {
  constexpr int64_t kLimit = 500'000'000'000;
  struct Case {
    int32_t capFlag;
    int64_t royal, money, safe;
    bool offer;
  } cases[] = {
      {0, 0, 0, 0, false},
      {1, 0, kLimit, 0, true},
      {1, 5, kLimit - 1, 0, true},
      {1, 5, kLimit - 100, 100, false},
      {1, 5, kLimit, 1, false},
  };
  for (const Case& c : cases) {
    CGameModel& m = scene->Model();
    m.moneyCapNotices.byKind = {0, 0, c.capFlag, 0};
    m.myUser.itemMoney.at(ITEM_MONEY_ROYAL) = c.royal;
    m.myUser.money = c.money;
    m.myUser.safeMoney = c.safe;
    Forget();
    scene->OnExitReason(999, "", 0);
    EXPECT_EQ(Lines(HostSlot::SetText),
              c.offer ? std::vector<std::string>{"SetText(\"14\", 39, \"\")"} : std::vector<std::string>{})
        << c.capFlag << " " << c.royal << " " << c.money << " " << c.safe;
  }
}

TEST_F(ExitReasonTest, RoomStateStoresTheCodeShowsTheRobotTitleAndTellsTheReason) {
  RoomStateMsg msg;
  msg.roomState = 60;
  scene->OnRoomState(msg);
  EXPECT_EQ(scene->Model().room.roomState, 60);
  EXPECT_TRUE(scene->Widgets().robotTitle->IsVisible());
  EXPECT_TRUE(scene->ObservePanel()->IsVisible());
  EXPECT_TRUE(trace.effects.empty());
  EXPECT_TRUE(Closes().empty());
  msg.roomState = 5;
  scene->OnRoomState(msg);
  EXPECT_FALSE(scene->Widgets().robotTitle->IsVisible());
}

TEST_F(ExitReasonTest, KickReservationsOfMineAreListedAndBoxed) {
  SeatMe(0);
  SeatOther(1);
  scene->Model().game.kickReservations = {3};
  KickReserveMsg msg{1, kMe, kOther, 1234, "you"};
  scene->OnKickReserved(msg);
  EXPECT_EQ(trace.effects, std::vector<int32_t>{kAlert});
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(0, 3000, " you님의 강제퇴장 예약. ")});
  EXPECT_EQ(Lines(HostSlot::SetPlayerList), std::vector<std::string>{"SetPlayerList(\"3|9|\")"});
  EXPECT_EQ(scene->GetPlayer(0).money, 1234);

  Forget();
  msg.kind = 2;
  msg.targetUserNo = 42;  // not on the list
  scene->OnKickReserved(msg);
  EXPECT_EQ(scene->Model().game.kickReservations, (std::vector<int32_t>{3, 9}));
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(0, 3000, " you님의 강제퇴장 예약 취소. ")});
  msg.targetUserNo = 9;
  scene->OnKickReserved(msg);
  EXPECT_EQ(scene->Model().game.kickReservations, std::vector<int32_t>{3});

  Forget();
  KickReserveMsg other{1, kOther, kMe, 77, "me"};
  scene->OnKickReserved(other);
  EXPECT_EQ(scene->GetPlayer(1).money, 77);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(trace.effects.empty());
  KickReserveMsg stranger{1, 55, kMe, 1, "x"};
  scene->OnKickReserved(stranger);
  EXPECT_TRUE(Lines(HostSlot::SetPlayerList).empty());
}

TEST_F(ExitReasonTest, EntryLimitNoticesByKind) {
  EntryLimitMsg mine{1, kMe, "limit text", 1};
  scene->OnEntryLimitRemoved(mine);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(0, 5000, "limit text")});
  Forget();
  EntryLimitMsg hidden{1, kMe, "limit text", 0};
  scene->OnEntryLimitRemoved(hidden);
  EntryLimitMsg others{1, kOther, "limit text", 1};
  scene->OnEntryLimitRemoved(others);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(trace.effects, (std::vector<int32_t>{kAlert, kAlert}));
  Forget();
  EntryLimitMsg gone{3, 0, "", 1};
  scene->OnEntryLimitRemoved(gone);
  EXPECT_EQ(Lines(HostSlot::NotifyEvent), std::vector<std::string>{"NotifyEvent(7, 2, (null), 0)"});
  EXPECT_EQ(host.CallsTo(HostSlot::AddText).size(), 3u);
}

TEST_F(ExitReasonTest, NoticeSceneStringMacroAndHostEvents) {
  NoticeTextMsg notice{"50%s%n off"};
  scene->OnNoticeText(notice);
  SceneStringMsg str{"scene", 12};
  scene->OnSceneString(str);
  EXPECT_EQ(scene->Model().room.sceneText, "scene");
  EXPECT_EQ(scene->Model().room.playerCount, 12);
  SeatOther(1);
  ChatMacroMsg seated{kOther, 3}, stranger{55, 3};
  scene->OnChatMacro(seated);
  scene->OnChatMacro(stranger);
  // Only the seated speaker's macro is heard, in the voice of seat 1.
  ASSERT_EQ(trace.voices.size(), 1u);
  EXPECT_EQ(trace.voices[0][1], 1);
  HostEvent70Msg e70{8};
  scene->OnHostEvent70(e70);
  NoFieldsMsg none;
  scene->OnHostEvent75(none);
  EXPECT_EQ(Lines(HostSlot::NotifyEvent),
            (std::vector<std::string>{"NotifyEvent(0, 0, \"50%s%n off\", 10)", "NotifyEvent(7, 70, (null), 8)",
                                      "NotifyEvent(7, 75, (null), 0)"}));
}

}  // namespace

namespace {

// A kick reservation costs its requester money, and his seat panel shows what is left.
TEST_F(ExitReasonTest, AKickReservationShowsItsRequestersMoneyOnHisPanel) {
  SeatBothPlayers();
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  KickReserveMsg other{1, kOther, kMe, 77, "me"};
  Send<HM_KICK_RESERVED>(other);
  EXPECT_EQ(scene->Widgets().seatPanels[1]->TextOf(CVUserInfoWnd::kMoney)->GetText(), FormatMoney(77, 2));
  KickReserveMsg mine{2, kMe, kOther, 1234, "you"};
  Send<HM_KICK_RESERVED>(mine);
  EXPECT_EQ(scene->Widgets().seatPanels[0]->TextOf(CVUserInfoWnd::kMoney)->GetText(), FormatMoney(1234, 2));
}

// The police's notice of a banned room title, as the chat shows it.
TEST_F(ExitReasonTest, ThePoliceNoticeOfABannedTitleReadsInTheChat) {
  Send<HM_ROOM_TITLE_BANNED>(NoFieldsMsg{});
  std::string chat;
  for (const auto& c : host.CallsTo(testing_support::HostSlot::AddText)) chat += c.texts.at(0);
  EXPECT_EQ(chat, Utf8(u8"[폴리스] 불건전 방제로 방이 삭제됩니다"));
}

}  // namespace
