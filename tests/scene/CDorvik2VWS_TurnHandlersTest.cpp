// The game's road from the waiting table to each turn, driven by host messages: the
// prompt's answers as command bytes, the vote, the pick, the deal and the turns with
// their countdowns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "support/GameTable.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using testing_support::GameTableTest;

class TurnHandlersTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
  }
  CVNotifyWnd& Prompt() { return *scene->Widgets().notifyPrompt; }
  void MakeAntiLeaveRoom() {
    scene->GetRoomData().roomState = 9;
    scene->GetRoomData().antiLeaveLevel = 2;
    scene->Model().antiLeave = 1;
  }
};

TEST_F(TurnHandlersTest, PromptAnswersGoOutAsTheirCommands) {
  struct Case {
    int32_t mode, phase;
    std::string yes, no;
  };
  const Case cases[] = {
      {3, 6, Words({11, 1}), Words({11, 0})},
      {5, 11, Words({13, 0, 12}), Words({13, 0, 30})},
      {15, 9, Words({14, 0, 1}), Words({14, 0, 0})},
      {16, 15, Words({16, 0, 1}), Words({16, 0, 0})},
      {19, 15, Words({16, 0, 1}), Words({16, 0, 0})},
      {20, 15, Words({16, 0, 1}), Words({16, 0, 0})},
      {17, 14, Words({15, 0, 1, 32}), Words({15, 0, 0, 32})},
      {18, 1, Words({7, 1}), Words({7, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    for (UINT key : {CVNotifyWnd::kYesKey, CVNotifyWnd::kNoKey}) {
      host.Clear();
      trace.Clear();
      StartPhase(c.phase);
      std::list<int32_t> cards{12, 30};
      if (c.mode <= 5) {
        ASSERT_EQ(scene->ShowNotice(c.mode, cards), 1);
      } else {
        ASSERT_EQ(scene->ShowNotifyPrompt(c.mode, 0, 0, 0, 0, 0), 1);
      }
      Prompt().OnKeyDown(key, 1, 0);
      EXPECT_EQ(Sent(), std::vector<std::string>{key == CVNotifyWnd::kYesKey ? c.yes : c.no});
      EXPECT_EQ(Prompt().IsVisible(), 0) << "hidden after the answer";
      const bool go = key == CVNotifyWnd::kYesKey && c.phase == 15;
      EXPECT_EQ(std::count(trace.effects.begin(), trace.effects.end(), 34), go ? 1 : 0);
    }
  }
}

TEST_F(TurnHandlersTest, ClicksOnTheButtonsAndTheOfferedCards) {
  StartPhase(15);
  ASSERT_EQ(scene->ShowNotifyPrompt(16, 0, 0, 0, 0, 0), 1);
  const GPoint no = Prompt().NoButton()->GetPos() + GSize(2, 2);
  Prompt().OnMouseMove(0, no);
  Prompt().OnLButtonDown(1, no);
  EXPECT_EQ(Prompt().OnLButtonUp(0, no), 1);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({16, 0, 0})});
  EXPECT_EQ(trace.effects.back(), 19);
  host.Clear();
  StartPhase(11);
  std::list<int32_t> cards{12, 30};
  ASSERT_EQ(scene->ShowNotice(5, cards), 1);
  const GPoint yes = Prompt().YesButton()->GetPos() + GSize(2, 2);
  Prompt().OnLButtonDown(1, yes);
  Prompt().OnLButtonUp(0, yes);
  EXPECT_TRUE(Sent().empty()) << "disabled buttons";
  const GPoint second = Prompt().CardImage(1)->GetPos() + GSize(3, 3);
  Prompt().OnLButtonDown(1, second);
  EXPECT_EQ(Prompt().OnLButtonUp(0, second), 1);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({13, 0, 30})});
}

TEST_F(TurnHandlersTest, StakeVoteAndItsResult) {
  StakeVoteMsg vote;
  vote.proposedStake = 2000;
  vote.voteMarks.at(1) = 1;
  Send<HM_STAKE_VOTE>(vote);
  EXPECT_EQ(std::tuple(scene->GetSceneMode(), Prompt().Mode(), scene->GetPhase(), scene->Timers().CountdownStart(),
                       scene->GetPlayer(1).stakeVoteMark),
            std::tuple(1, 18, 1, 5, 1));
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kTurnTimer));
  EXPECT_EQ(Prompt().TextLine(2)->GetText(),
            "(" + FormatMoney(scene->GetRoomData().option.moneyPerPoint, 2) + " -> " + FormatMoney(2000, 2) + ")");
  // Outside an anti-leave room the result changes nothing.
  StakeVoteResultMsg result;
  result.results.at(0) = 1;
  result.results.at(1) = 1;
  Send<HM_STAKE_VOTE_RESULT>(result);
  EXPECT_EQ(scene->GetPlayer(1).stakeVoteMark, 1);
  MakeAntiLeaveRoom();
  const std::pair<std::array<int32_t, 2>, int32_t> tallies[] = {{{1, 1}, 12}, {{1, 0}, 14}, {{0, 1}, 13}};
  for (const auto& [values, mode] : tallies) {
    SCOPED_TRACE(mode);
    result.results.at(0) = values[0];
    result.results.at(1) = values[1];
    scene->SetHostMessageHandler(HM_USER_AVATAR, [mode = mode](CDorvik2VWS& s, HostMessage&) {
      EXPECT_EQ(s.Widgets().notifyPrompt->Mode(), mode);
      EXPECT_EQ(s.Widgets().notifyPrompt->IsVisible(), 1);
    });
    Send<HM_STAKE_VOTE_RESULT>(result);
    EXPECT_EQ(Prompt().IsVisible(), 0) << "hidden after the wait";
    EXPECT_EQ(Prompt().Mode(), mode);
  }
  EXPECT_EQ(scene->GetPlayer(1).stakeVoteMark, 0) << "cleared when both accepted";
}

TEST_F(TurnHandlersTest, BackToWaitingStartsOrLeaves) {
  WaitingStateMsg waiting;
  waiting.userNo = kMe;
  scene->Model().autoStart = 1;
  Send<HM_BACK_TO_WAITING>(waiting);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({9, 0})});
  host.Clear();
  waiting.startBlocked = 1;
  Send<HM_BACK_TO_WAITING>(waiting);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kLastKilledTimer));
  waiting.userNo = kOther;
  Send<HM_BACK_TO_WAITING>(waiting);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].substr(0, 11), Words({4}));  // GC_LEAVE
}

// The picked card and its month's stamp stand at each side's mark, beside the
// avatars, not where the countdown runs.
TEST_F(TurnHandlersTest, ThePickedCardsStandAtTheMarks) {
  SunSelectMsg select;
  select.pickCount = 12;
  Send<HM_SUN_SELECT>(select);
  struct Case {
    int32_t userNo, slot, card;
    GPoint mark;
  };
  const Case cases[] = {{kMe, 2, 4, {128, 446}}, {kOther, 5, 9, {128, 73}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.userNo);
    Send<HM_SUN_PICK>(SunPickMsg{c.userNo, c.slot, c.card});
    const int32_t side = c.userNo == kMe ? 0 : 1;
    CVHTWnd* picked = nullptr;
    for (int32_t w = 0; w < CCardTable::kCardWidgets; ++w)
      if (scene->CardIdOfWidget(w) == c.card) picked = scene->CardWndById(w);
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->GetPos(), c.mark);
    GVQLAniWnd* stamp = scene->Widgets().sunNotices[size_t(side)];
    EXPECT_EQ(std::tuple(stamp->GetPos(), stamp->GetAnimationIndex()), std::tuple(c.mark + GSize(-64, -42), c.card / 4));
  }
  Send<HM_SUN_DECIDED>(SunDecidedMsg{kOther});
  EXPECT_EQ(scene->Widgets().sunNotices[1]->GetPos(), GPoint(128, 23));
}

TEST_F(TurnHandlersTest, PickDealAndTurns) {
  SunSelectMsg select;
  select.pickCount = 13;
  Send<HM_SUN_SELECT>(select);
  EXPECT_EQ(scene->GetFloorState().floorCards.size(), 12u) << "twelve slots at most";
  EXPECT_EQ(std::tuple(scene->GetPhase(), scene->Timers().CountdownStart(), scene->Model().handPick),
            std::tuple(3, 6, 1));
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kBlinkTimer));
  Send<HM_SUN_PICK>(SunPickMsg{kMe, 12, 4});
  EXPECT_EQ(scene->GetPhase(), 3) << "slot 12 is ignored";
  Send<HM_SUN_PICK>(SunPickMsg{kMe, 2, 4});
  EXPECT_EQ(std::tuple(scene->GetPhase(), scene->Model().handPick, scene->GetFloorState().floorCards.size()),
            std::tuple(0, 0, 11u));
  trace.Clear();
  Send<HM_SUN_DECIDED>(SunDecidedMsg{kMe});
  EXPECT_EQ(trace.effects.back(), 32);
  EXPECT_EQ(scene->Widgets().sunNotices[0]->GetAnimationIndex(), 12);
  EXPECT_EQ(scene->Widgets().sunNotices[0]->GetPos(), GPoint(128, 396)) << "over my mark";

  DealMsg deal;
  deal.userNo = kMe;
  deal.handCards = {40, 3, 22, 9, 1, 17, 33, 5, 28, 12};
  deal.floorCards = {0, 4, 8, 13, 16, 20, 24, 29};
  Send<HM_DEAL>(deal);
  std::vector<int32_t> hand;
  for (int32_t w : scene->Seat(0).hand) hand.push_back(scene->CardIdOfWidget(w));
  EXPECT_EQ(hand, (std::vector<int32_t>{1, 3, 5, 9, 12, 17, 22, 28, 33, 40}));
  EXPECT_EQ(std::tuple(scene->GameInfo().inProgress, scene->GetSceneMode()), std::tuple(1, 2));
  EXPECT_EQ(Sent().back(), Words({19, 5, 0}));
  std::vector<std::string> states;
  for (const auto& call : host.CallsTo(testing_support::HostSlot::SetPlayState)) states.push_back(call.line);
  EXPECT_EQ(states, (std::vector<std::string>{"SetPlayState(0)", "SetPlayState(4)"}));
  Send<HM_SUN_SELECT>(select);
  EXPECT_EQ(scene->GetFloorState().floorCards.size(), 8u) << "no pick during a game";

  // The other player's turn: the shown countdown shrinks with his time-outs.
  const std::pair<int32_t, int32_t> cuts[] = {{0, 10}, {1, 7}, {2, 5}, {5, 5}, {-3, 10}};
  for (const auto& [timeouts, limit] : cuts) {
    SCOPED_TRACE(timeouts);
    scene->GetPlayer(1).timeoutCount = timeouts;
    Send<HM_TURN>(TurnMsg{kOther, 0});
    EXPECT_EQ(std::tuple(scene->GetPhase(), scene->Timers().CountdownStart(), scene->Model().turnUserNo),
              std::tuple(0, limit, kOther));
  }
  const int32_t turns = scene->GameInfo().turnCount;
  trace.Clear();
  Send<HM_TURN>(TurnMsg{kMe, 2});
  EXPECT_EQ(std::tuple(scene->GetPhase(), scene->Model().handPick, scene->Seat(0).bombDummyCount,
                       scene->GameInfo().turnCount),
            std::tuple(8, 1, 2, turns + 1));
  EXPECT_EQ(trace.effects.back(), 20);
  Send<HM_STOP_COUNTDOWN>(StopCountdownMsg{});
  EXPECT_EQ(std::tuple(scene->GetPhase(), scene->Timers().Countdown()),
            std::tuple(0, scene->Timers().CountdownStart()));
  // On a robot seat this client neither times nor hears its turn.
  scene->GetPlayer(0).connState = kRobot;
  trace.Clear();
  Send<HM_TURN>(TurnMsg{kMe, 0});
  EXPECT_EQ(scene->GetPhase(), 0);
  EXPECT_TRUE(trace.effects.empty() || trace.effects.back() != 20);
}

TEST_F(TurnHandlersTest, FourOfAMonthModes) {
  struct Case {
    int32_t user, kind;
    bool seated;
    std::list<int32_t> months;
    int32_t mode, phase;
    std::vector<int32_t> cards;
  };
  const Case cases[] = {
      {kMe, 0, true, {2}, 3, 6, {8, 9, 10, 11}},
      {kOther, 0, true, {2}, 2, 0, {8, 9, 10, 11}},
      {kOther, 1, false, {2}, 2, 0, {8, 9, 10, 11}},
      {kOther, 0, false, {14, 2}, 3, 0, {8, 9, 10, 11}},
      {kOther, 2, true, {3}, 1, 0, {12, 13, 14, 15}},
      {kOther, 2, true, {3, 5}, 0, 0, {12, 20}},
      {kMe, 0, true, {}, 3, 6, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    scene->StopGameTimer(CDorvik2VWS::kTurnTimer);
    if (c.seated) {
      SeatMe(0);
    } else {
      scene->GetPlayer(0).Reset();
    }
    FourOfMonthMsg msg;
    msg.userNo = c.user;
    msg.kind = c.kind;
    msg.months = c.months;
    scene->SetHostMessageHandler(HM_USER_AVATAR, [&c](CDorvik2VWS& s, HostMessage&) {
      CVNotifyWnd& p = *s.Widgets().notifyPrompt;
      EXPECT_EQ(p.Mode(), c.mode);
      for (size_t i = 0; i < c.cards.size(); ++i) EXPECT_EQ(p.CardOfImage(int32_t(i)), c.cards[i]);
    });
    Send<HM_FOUR_OF_MONTH>(msg);
    EXPECT_EQ(scene->GetPhase(), c.phase);
  }
}

// A first turn's flip that lands alone calls its cue whatever the turn before matched.
TEST_F(TurnHandlersTest, TheLoneFlipCueCountsOnlyThisTurnsMatches) {
  Deal();
  Send<HM_TURN>(TurnMsg{kOther, 0});
  LayCardsMsg onAnother;
  onAnother.userNo = kOther;
  onAnother.cards = {1};  // onto the floor's card 0
  Send<HM_LAY_CARDS>(onAnother);
  Send<HM_TURN>(TurnMsg{kMe, 0});
  trace.Clear();
  LayCardsMsg alone;
  alone.userNo = kMe;
  alone.cards = {44};  // no card of its month on the floor
  Send<HM_LAY_CARDS>(alone);
  EXPECT_EQ(trace.voices, (std::vector<std::array<int32_t, 2>>{{10035, 0}}));
}

TEST_F(TurnHandlersTest, ExchangeAndDrawnTurnsWaitForTheDeal) {
  FloorExchangeMsg exchange;
  exchange.takenCards = {3};
  Send<HM_FLOOR_EXCHANGE>(exchange);
  TurnCardsMsg turn;
  turn.userNo = kOther;
  turn.cards = {1};
  Send<HM_TURN_WITH_CARDS>(turn);
  EXPECT_TRUE(scene->Seat(1).hand.empty());
  EXPECT_TRUE(scene->Seat(0).captured[3].empty());
}

}  // namespace
