// The scene's senders: answers only in their phase, by a seated player, once per
// countdown; the play's time-out rule; the seat, table and item commands.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "plat/sim.h"
#include "scene/CardTableFixture.h"
#include "support/GameTable.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using testing_support::GameTableTest;
using testing_support::HostSlot;

class SendersTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    host.Clear();
  }
};

struct AnswerCase {
  const char* name;
  int32_t phase;
  std::function<int32_t(CDorvik2VWS&)> send;
  std::string bytes;
  bool endsCountdown;  // the shared answer steps: timer 1, countdown widget and value
};

TEST_F(SendersTest, AnswersGoOnlyInTheirPhaseWithASeatAndOncePerCountdown) {
  using W = GameTableTest;
  const AnswerCase cases[] = {
      {"stake vote", 1, [](CDorvik2VWS& s) { return s.SendStakeVoteAnswer(1); }, W::Words({7, 1}), false},
      {"sun pick", 3, [](CDorvik2VWS& s) { return s.SendSunPick(4, 0); }, W::Words({10, 0, 4}), false},
      {"four of a month", 6, [](CDorvik2VWS& s) { return s.SendFourOfMonthAnswer(1); }, W::Words({11, 1}), true},
      {"play card", 8, [](CDorvik2VWS& s) { return s.SendPlayCard(5, 0); }, W::Words({12, 0, 5, 0}), true},
      {"shake", 9, [](CDorvik2VWS& s) { return s.SendShakeAnswer(1, 0); }, W::Words({14, 0, 1}), true},
      {"pick floor card", 11, [](CDorvik2VWS& s) { return s.SendPickFloorCard(20, 1); }, W::Words({13, 1, 20}), true},
      {"September card", 14, [](CDorvik2VWS& s) { return s.Send9TenAnswer(0, 0); }, W::Words({15, 0, 0, 32}), true},
      {"go or stop", 15, [](CDorvik2VWS& s) { return s.SendGoOrStopAnswer(0, 1); }, W::Words({16, 1, 0}), true},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    scene->GetPlayer(0).Reset();
    StartPhase(c.phase);
    EXPECT_EQ(c.send(*scene), 0) << "without a seat";
    SeatMe(0);
    for (const AnswerCase& other : cases) {
      if (other.phase == c.phase) continue;
      StartPhase(other.phase);
      EXPECT_EQ(c.send(*scene), 0) << "in phase " << other.phase;
    }
    EXPECT_TRUE(Sent().empty());
    StartPhase(c.phase);
    CSceneTimers& timers = scene->Timers();
    timers.SetCountdown(3, 10);
    GVQLAniWnd* countdown = scene->Widgets().countdownAnim;
    ASSERT_NE(countdown, nullptr);
    countdown->Play(-1, 0);
    EXPECT_EQ(c.send(*scene), 1);
    EXPECT_EQ(Sent(), (std::vector<std::string>{c.bytes}));
    EXPECT_EQ(countdown->IsVisible(), c.endsCountdown ? 0 : 1) << "the countdown hidden";
    EXPECT_EQ(timers.Countdown(), c.endsCountdown ? 10 : 3);
    if (c.phase != CDorvik2VWS::kPhaseSunPick) {
      EXPECT_EQ(scene->GetPhase(), 0) << "timer 1 stopped";
      EXPECT_EQ(c.send(*scene), 0) << "a second answer";
      EXPECT_EQ(Sent().size(), 1u);
    }
    host.Clear();
  }
}

TEST_F(SendersTest, RefusedOrLostCommandsSendNothingFurther) {
  SeatMe(0);
  scene->GetPlayer(0).connState = kRobot;
  StartPhase(CDorvik2VWS::kPhaseFourOfMonth);
  EXPECT_EQ(scene->SendFourOfMonthAnswer(1), 0) << "not answered for a robot seat";
  scene->GetPlayer(0).Reset();
  SeatMe(0);
  StartPhase(CDorvik2VWS::kPhaseShake);
  scene->Model().handPick = 1;
  EXPECT_EQ(scene->SendPlayCard(5, 0), 0);
  EXPECT_EQ(scene->Model().handPick, 0) << "a play outside its phase still closes the hand";
  scene->Model().tableOwnerUserNo = kOther;
  EXPECT_EQ(scene->SendKick(kOther), 0) << "only the table owner kicks";
  scene->Model().tableOwnerUserNo = kMe;
  EXPECT_EQ(scene->SendKick(-1), 0);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(scene->SendKick(kOther), 1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({5, kOther})}));
  host.ScriptSendResults({-1});
  EXPECT_EQ(scene->SendObserve(), 0);
  EXPECT_TRUE(host.CallsTo(HostSlot::NotifyEvent).empty()) << "no button change for a lost command";
  EXPECT_EQ(scene->SendObserve(), 1);
  EXPECT_EQ(host.CallsTo(HostSlot::NotifyEvent).size(), 1u);
}

// A timed-out play counts against this client and warns (the shorter-wait warning only
// where waits can shrink), the second hands over to auto-play, and a robot table
// counts nothing.
TEST_F(SendersTest, TimedOutPlaysCountWarnAndHandOverToAutoPlay) {
  const std::string shorter = Utf8(u8"대기 시간이 초과되었습니다. 대기 시간이 감소합니다.");
  // `warning`: the second text run, "" for none.
  struct Case { int32_t speed, timeoutsBefore; bool robot; std::vector<std::string> sent; std::string warning; };
  const Case cases[] = {
      {0, 0, false, {Words({12, 1, 5, 0}), Words({26, 1})}, shorter},
      {2, 0, false, {Words({12, 1, 5, 0}), Words({26, 1})}, Utf8(u8"대기 시간이 초과되었습니다.")},
      {0, 1, false, {Words({12, 1, 5, 0}), Words({26, 2}), Words({25, 1})},
       Utf8(u8"대기 시간이 2회 초과되어 자동 치기로 변경됩니다.")},
      {0, 2, false, {Words({12, 1, 5, 0}), Words({26, 3})}, ""},
      {0, 0, true, {Words({12, 1, 5, 0})}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "speed " << c.speed << ", " << c.timeoutsBefore << " before");
    host.Clear();
    scene->GetPlayer(0).Reset();
    SeatMe(0);
    c.robot ? SeatRobot(1) : SeatOther(1);
    scene->GetPlayer(0).timeoutCount = c.timeoutsBefore;
    scene->Model().autoPlay = 0;
    scene->GetRoomData().speedKind = c.speed;
    StartPhase(CDorvik2VWS::kPhasePlayCard);
    EXPECT_EQ(scene->SendPlayCard(5, 1), 1);
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(scene->GetPlayer(0).timeoutCount, c.robot ? 0 : c.timeoutsBefore + 1);
    EXPECT_EQ(scene->Model().autoPlay, c.timeoutsBefore == 1 ? 1 : 0);
    const auto runs = host.CallsTo(HostSlot::AddText);
    // Auto-play switched on tells the chat in two runs of its own before the warning.
    const size_t first = c.timeoutsBefore == 1 ? 2u : 0u;
    ASSERT_EQ(runs.size(), (c.warning.empty() ? 0u : 2u) + first);
    if (runs.empty()) continue;
    EXPECT_EQ(runs[first].ToString(), R"(AddText("", 700, 0x20000, 0, "", 1))");
    EXPECT_EQ(runs[first + 1].ToString(), "AddText(\"" + c.warning + "\", 400, 0x10000, 0, \"\", 0)");
  }
}

// Unmatched: no floor card takes the played one although another hand card could have.
using UnmatchedPlayTest = card_table::CardTableTest;

TEST_F(UnmatchedPlayTest, UnmatchedPlayNeedsAMissedChanceAndIsFlaggedInThePlay) {
  SeatMe(0);
  Shuffle();
  struct Case { const char* name; std::vector<int32_t> hand, floor; int32_t card, unmatched; };
  // Cards 8 (March), 9 and 12; 16, 17 (May); 20; bonus cards 48 and 49.
  const Case cases[] = {
      {"another hand card matches", {8, 17}, {16}, 8, 1},
      {"a bonus card waits in the hand", {8, 49}, {20}, 8, 1},
      {"nothing in the hand could take", {8, 12}, {20}, 8, 0},
      {"the card itself matches", {8, 17}, {9, 16}, 8, 0},
      {"the card is a bonus card", {48, 17}, {16}, 48, 0},
      {"the card is not in the hand", {8, 17}, {16}, 3, 0},
      {"an empty floor", {8, 49}, {}, 8, 1},
  };
  auto widgets = [](const std::vector<int32_t>& cards) {
    std::vector<int32_t> list;
    for (int32_t c : cards) list.push_back(WidgetOf(c));
    return list;
  };
  for (const Case& c : cases) {
    scene->Model().game.seats[0].hand = widgets(c.hand);
    scene->Model().floor.floorCards = widgets(c.floor);
    EXPECT_EQ(scene->IsUnmatchedPlay(c.card), c.unmatched) << c.name;
  }
  scene->Model().game.seats[0].hand = widgets({8, 48, 17});
  scene->Model().floor.floorCards = widgets({16});
  host.Clear();
  StartPhase(CDorvik2VWS::kPhasePlayCard);
  scene->SendPlayCard(8, 0);
  EXPECT_EQ(host.SentBytes(), (std::vector<std::string>{Words({12, 0, 8, 1})}));
  scene->GetPlayer(0).Reset();
  EXPECT_EQ(scene->IsUnmatchedPlay(8), 0) << "without a seat";
}

TEST_F(SendersTest, StartAsksForAnEmptySeatStartOnlyWhileWaiting) {
  SeatOther(0);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->Model().autoPlay = 1;
  EXPECT_EQ(scene->SendStart(), 0) << "seat 0 is not mine";
  EXPECT_EQ(scene->Model().autoPlay, 0) << "auto-play goes off first";
  SeatMe(0);
  EXPECT_EQ(scene->SendStart(), 1);
  SeatRobot(1);
  EXPECT_EQ(scene->SendStart(), 1);
  scene->SetSceneMode(CDorvik2VWS::kModeResult);
  EXPECT_EQ(scene->SendStart(), 1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({8, 0}), Words({8, 0}), Words({9, 0})}));
  host.Clear();
  SeatOther(1);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->SendStart();
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({9, 0})})) << "both seats hold people";
}

TEST_F(SendersTest, PlayIsRefusedWhenSeatedOrMidGameThenGreysThePlayButtons) {
  scene->Model().myVoiceSet = 2;
  SeatMe(0);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  EXPECT_EQ(scene->SendPlay(0), 0) << "already seated";
  scene->GetPlayer(0).Reset();
  SeatOther(0);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  EXPECT_EQ(scene->SendPlay(0), 0) << "a game of people under way";
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_EQ(scene->SendPlay(1), 1) << "asked outright";
  SeatRobot(1);
  EXPECT_EQ(scene->SendPlay(0), 1) << "a robot's seat";
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{
                                   "Send(-1, 1, [" + Words({2, 2, 1}) + "], 12)", "NotifyEvent(7, 45, \"play\", 1)",
                                   "Send(-1, 1, [" + Words({2, 2, 0}) + "], 12)", "NotifyEvent(7, 45, \"play\", 1)"}));
  EXPECT_EQ(scene->ObservePanel()->PlayButtonShown(), 1);
  EXPECT_EQ(scene->ObservePanel()->PlayButtonEnabled(), 0);
}

TEST_F(SendersTest, SmallCommandsCarryTheirSettings) {
  EXPECT_EQ(scene->SendNumberKey(3), 1);
  EXPECT_EQ(scene->SendNumberKey(4), 0) << "once per arming";
  scene->Model().cannedPhrase = 1;
  EXPECT_EQ(scene->SendNumberKey(5), 1);
  EXPECT_EQ(scene->SendBetChoice(2), 1);
  for (int32_t i = 0; i < CDorvik2VWS::kBetButtonCount; ++i) EXPECT_EQ(scene->BetButton(i)->IsEnabled(), 0) << i;
  scene->Model().myVoiceSet = 3;
  scene->SendMyVoice();
  scene->SendTextLine("");
  scene->SendHostNoticeAck();
  SeatRobot(1);
  scene->SendAutoPlay(1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({24, 3}), Words({24, 5}), Words({21, 2}), Words({1, 3}),
                                              Words({28, kMe, 0}), Words({27, kMe})}))
      << "auto-play is never sent at a robot table";
}

TEST_F(SendersTest, ItemRequestGoesToTheHostOnlyOnASeatedResult) {
  SeatMe(0);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->RequestItem(1000);
  scene->SetSceneMode(CDorvik2VWS::kModeResult);
  scene->RequestItem(0);
  scene->RequestItem(-5);
  EXPECT_TRUE(host.Calls().empty());
  trace.Clear();
  scene->RequestItem(0x0102030405LL);
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{"NotifyEvent(7, 22, [05 04 03 02 01 00 00 00], 8)"}));
  EXPECT_FALSE(scene->Widgets().resultPanel->IsVisible()) << "the result panel closes";
  EXPECT_TRUE(scene->IsDirty());
  host.Clear();
  scene->GetPlayer(0).Reset();
  scene->RequestItem(1000);
  EXPECT_TRUE(host.Calls().empty()) << "without a seat";
}

}  // namespace
