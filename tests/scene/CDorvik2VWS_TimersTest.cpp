// The turn limits and what a running-out countdown answers, on a built table with the
// virtual clock: the limit tables and their reductions, one expiry per countdown, each
// phase's default answer as bytes, the countdown display, and the keys and clicks that
// play a hand card.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/sim.h"
#include "support/GameTable.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using testing_support::GameTableTest;
using T = CSceneTimers;

class SceneTimeoutTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
  }
  void Timeouts(int32_t n) { scene->GetPlayer(0).timeoutCount = n; }
  void AntiLeaveGame(int32_t first, int32_t second) {
    scene->GetRoomData().roomState = 9;
    scene->GetRoomData().antiLeaveLevel = 2;
    scene->Model().antiLeave = 1;
    scene->Seat(0).gameCounters[CDorvik2VWS::kFirstAntiLeaveCounter] = first;
    scene->Seat(0).gameCounters[CDorvik2VWS::kSecondAntiLeaveCounter] = second;
  }
};

TEST(TurnLimitTableTest, EveryCellOfTheFourRows) {
  const int32_t rows[4][T::kPhases] = {
      {0, 5, 2, 6, 0, 0, 10, 9, 10, 10, 0, 10, 0, 0, 10, 10, 0, 10},
      {0, 5, 2, 6, 0, 0, 10, 9, 8, 5, 0, 5, 0, 0, 5, 5, 0, 10},
      {0, 5, 2, 6, 0, 0, 10, 9, 5, 5, 0, 5, 0, 0, 5, 5, 0, 10},
      {0, 2, 2, 1, 0, 0, 2, 0, 1, 2, 0, 2, 0, 0, 2, 2, 0, 10},
  };
  for (int32_t row = 0; row < 4; ++row) {
    for (int32_t phase = 0; phase < T::kPhases; ++phase) {
      const int32_t speed = row == T::kAutoPlayRow ? 1 : row;
      EXPECT_EQ(T::TableLimit(phase, speed, row == T::kAutoPlayRow), rows[row][phase]) << row << "/" << phase;
    }
  }
  EXPECT_EQ(T::TableLimit(8, 7, 0), 10) << "an unknown speed kind reads row 0";
  EXPECT_EQ(T::TableLimit(8, -1, 0), 10);
  EXPECT_EQ(T::TableLimit(18, 0, 0), 0) << "a phase past the table has no limit";
  EXPECT_EQ(T::TableLimit(-1, 0, 0), 0);
}

TEST_F(SceneTimeoutTest, PlayLimitShrinksWithTimeoutsAndAntiLeaveCounters) {
  struct Case { int32_t speed, timeouts, autoPlay; int32_t limit; };
  const Case cases[] = {
      {1, 0, 0, 8}, {1, 1, 0, 5}, {1, 2, 0, 5}, {0, 0, 0, 10}, {0, 1, 0, 7}, {0, 2, 0, 5}, {0, 3, 0, 5},
      {2, 0, 0, 5}, {2, 4, 0, 5}, {0, 2, 1, 1}, {0, -4, 0, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.speed << "/" << c.timeouts << "/" << c.autoPlay);
    scene->GetRoomData().speedKind = c.speed;
    scene->Model().autoPlay = c.autoPlay;
    Timeouts(c.timeouts);
    EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kTurnTimer, 8), c.limit);
    EXPECT_EQ(scene->TurnTableLimit(8), T::TableLimit(8, c.speed, 0)) << "the shown countdown's start";
  }
  scene->Model().autoPlay = 0;
  struct AntiCase { int32_t first, second, limit; };
  for (int32_t speed = 0; speed < T::kSpeedKinds; ++speed) {
    scene->GetRoomData().speedKind = speed;
    Timeouts(2);
    for (const AntiCase& a : {AntiCase{1, 0, 5}, AntiCase{0, 2, 5}, AntiCase{0, 1, 7},
                              AntiCase{0, 0, T::TableLimit(8, speed, 0)}}) {
      AntiLeaveGame(a.first, a.second);
      EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kTurnTimer, 8), a.limit) << speed << ": " << a.first << a.second;
    }
  }
  scene->GetPlayer(0).Reset();
  scene->GetRoomData().speedKind = 0;
  Timeouts(0);
  scene->GetPlayer(1).timeoutCount = 3;
  EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kTurnTimer, 8), 10) << "unseated: no reduction";
}

TEST_F(SceneTimeoutTest, ALaterPhaseReplacesTheFirstAndExpiresOnce) {
  for (int32_t autoPlay : {0, 1}) {
    host.Clear();
    scene->Model().autoPlay = autoPlay;
    StartPhase(8);
    StartPhase(15);
    plat::sim::Advance(30000);
    EXPECT_EQ(Sent(), (std::vector<std::string>{Words({16, autoPlay ? 0 : 1, 0})})) << autoPlay;
    EXPECT_EQ(scene->GetPhase(), 0);
  }
  EXPECT_EQ(scene->StopGameTimer(7), 7);
  EXPECT_EQ(scene->OnTimer(6), 0);
}

TEST_F(SceneTimeoutTest, OneShotsAndTheMacroTimer) {
  scene->StartGameTimer(CDorvik2VWS::kBannerTimer, 0);
  plat::sim::Advance(1500);
  scene->StartGameTimer(CDorvik2VWS::kBannerTimer, 0);
  plat::sim::Advance(1999);
  EXPECT_TRUE(scene->IsGameTimerRunning(CDorvik2VWS::kBannerTimer));
  plat::sim::Advance(1);
  EXPECT_FALSE(scene->IsGameTimerRunning(CDorvik2VWS::kBannerTimer)) << "2000 ms after the restart";

  scene->Model().sceneMode = CDorvik2VWS::kModeWaiting;
  scene->StartGameTimer(CDorvik2VWS::kLastKilledTimer, 0);
  plat::sim::Advance(3500);
  EXPECT_TRUE(scene->Widgets().startButton->IsVisible()) << "seat 0 is mine";
  EXPECT_EQ(trace.effects, (std::vector<int32_t>{7}));

  host.Clear();
  scene->Model().cannedPhrase = 0;
  SetTimer(wnd->Handle(), CDorvik2VWS::kLastTimer, 2000, nullptr);
  plat::sim::Advance(2000);
  EXPECT_EQ(scene->Model().cannedPhrase, 1);
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{"NotifyEvent(7, 45, \"macro\", 17)"}));
}

TEST_F(SceneTimeoutTest, EachPhaseAnswersItsDefaultOnExpiry) {
  struct Case { int32_t phase; std::vector<std::string> bytes; };
  scene->Model().turnUserNo = kMe;
  scene->Model().offeredFloorCards = {20, 21};
  const Case cases[] = {
      {1, {Words({7, 1})}},
      {3, {"0A 00 00 00 01 00 00 00 32 00 00 00"}},
      {6, {Words({11, 0})}},
      {9, {Words({14, 1, 1})}},
      {11, {Words({13, 1, 20})}},
      {14, {Words({15, 1, 1, 32})}},
      {15, {Words({16, 1, 0})}},
      {17, {}},
      {5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase);
    host.Clear();
    trace.Clear();
    StartPhase(c.phase);
    scene->OnTimer(CDorvik2VWS::kTurnTimer);
    EXPECT_EQ(Sent(), c.bytes);
    EXPECT_EQ(scene->GetPhase(), 0);
    host.Clear();
    plat::sim::Advance(20000);
    EXPECT_TRUE(Sent().empty()) << "no second expiry";
  }
  CVItemWnd* items = scene->Widgets().resultPanel->ItemPanel();
  for (GVWnd* w : std::initializer_list<GVWnd*>{items, scene->Widgets().chanceSprite, scene->Widgets().chanceText}) w->Show(1);
  StartPhase(17);
  scene->OnTimer(CDorvik2VWS::kTurnTimer);
  EXPECT_EQ(std::tuple(items->IsVisible(), scene->Widgets().chanceSprite->IsVisible(),
                       scene->Widgets().chanceText->IsVisible()),
            std::tuple(0, 0, 0))
      << "the result's countdown takes the item offer away";
  host.Clear();
  scene->Model().offeredFloorCards = {20, -1};
  StartPhase(11);
  scene->OnTimer(CDorvik2VWS::kTurnTimer);
  EXPECT_TRUE(Sent().empty()) << "a prompt without a pair defaults to nothing";
}

// A floor-card question to me that is not answered takes the first card offered.
TEST_F(SceneTimeoutTest, TheFloorCardQuestionTimesOutWithTheFirstCard) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  PickFloorCardMsg ask;
  ask.userNo = kMe;
  ask.offeredCards = {0, 1};
  Send<HM_ASK_PICK_FLOOR_CARD>(ask);
  plat::sim::Advance(9'999);
  EXPECT_TRUE(Sent().empty());
  plat::sim::Advance(1);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({13, 1, 0})});
  // The other player's question leaves nothing of mine to answer.
  host.Clear();
  ask.userNo = kOther;
  Send<HM_ASK_PICK_FLOOR_CARD>(ask);
  StartPhase(11);
  scene->OnTimer(CDorvik2VWS::kTurnTimer);
  EXPECT_TRUE(Sent().empty());
}

// A question's countdown shows the room's own limit: a fast room's five seconds
// count from 4, a normal room's ten stay hidden until the threshold.
TEST_F(SceneTimeoutTest, QuestionCountdownsRunForTheRoomsSpeedKind) {
  using Frames = std::vector<int32_t>;
  const Frames slow3{-1, -1, -1, -1, -1, -1, -1, 2, 1, 0};
  const Frames fast3{-1, -1, 2, 1, 0, -1, -1, -1, -1, -1};
  const Frames slow5{-1, -1, -1, -1, -1, 4, 3, 2, 1, 0};
  const Frames fast5{4, 3, 2, 1, 0, -1, -1, -1, -1, -1};
  struct Case {
    int32_t phase;
    Frames bySpeed[3];
  };
  const Case cases[] = {
      {9, {slow3, fast3, fast3}},
      {11, {slow5, fast5, fast5}},
      {14, {slow5, fast5, fast5}},
      {15, {{9, 8, 7, 6}, {4, 3, 2, 1}, {4, 3, 2, 1}}},
  };
  GVQLAniWnd* countdown = scene->Widgets().countdownAnim;
  for (const Case& c : cases) {
    for (int32_t speed = 0; speed < 3; ++speed) {
      SCOPED_TRACE(testing::Message() << "phase " << c.phase << " speed " << speed);
      scene->ResetTableState();
      scene->GetRoomData().speedKind = speed;
      scene->SetSceneMode(CDorvik2VWS::kModePlaying);
      scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
      // The go-or-stop question counts only for its asker; the others are the
      // other player's, whose countdown runs without a timer of mine.
      switch (c.phase) {
        case 9: Send<HM_ASK_SHAKE>(AskShakeMsg{kOther}); break;
        case 11: {
          PickFloorCardMsg ask;
          ask.userNo = kOther;
          ask.offeredCards = {0, 1};
          Send<HM_ASK_PICK_FLOOR_CARD>(ask);
          break;
        }
        case 14: Send<HM_ASK_9TEN_MOVE>(Ask9TenMsg{kOther, 0, 0}); break;
        default: Send<HM_ASK_GO_OR_STOP>(AskGoOrStopMsg{kMe, 7, 0}); break;
      }
      Frames shown;
      const Frames& expected = c.bySpeed[speed];
      for (size_t second = 0; second < expected.size(); ++second) {
        plat::sim::Advance(1000);
        shown.push_back(countdown->IsVisible() ? countdown->GetAnimationIndex() : -1);
      }
      EXPECT_EQ(shown, expected);
      scene->StopGameTimer(CDorvik2VWS::kTurnTimer);
      scene->StopGameTimer(CDorvik2VWS::kBlinkTimer);
    }
  }
}

TEST_F(SceneTimeoutTest, ThePlayTimesOutOnlyOnMyTurn) {
  scene->Model().turnUserNo = kOther;
  StartPhase(8);
  scene->Model().handPick = 1;
  scene->OnTimer(CDorvik2VWS::kTurnTimer);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(scene->Model().handPick, 0);
}

TEST_F(SceneTimeoutTest, CountdownShowsTheLastSecondsWithTickAndHurry) {
  GVQLAniWnd* countdown = scene->Widgets().countdownAnim;
  scene->Model().turnUserNo = kOther;
  scene->Timers().BeginCountdown(10, 3);
  StartPhase(8);
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  std::vector<int32_t> shown;
  for (int32_t second = 0; second < 10; ++second) {
    plat::sim::Advance(1000);
    shown.push_back(countdown->IsVisible() ? countdown->GetAnimationIndex() : -1);
  }
  EXPECT_EQ(shown, (std::vector<int32_t>{-1, -1, -1, -1, -1, -1, -1, 2, 1, 0}));
  EXPECT_EQ(trace.effects, (std::vector<int32_t>{21, 21, 21}));
  EXPECT_EQ(trace.voices, (std::vector<std::array<int32_t, 2>>{{10036, 0}})) << "the seat whose turn it is not";
}

// My auto-play shortens my own answers only: the other player's turn and the stake vote
// count down on the table as long as without it.
TEST_F(SceneTimeoutTest, MyAutoPlayLeavesTheShownCountdownsTheirLength) {
  scene->Model().autoPlay = 1;
  GVQLAniWnd* countdown = scene->Widgets().countdownAnim;
  auto shownPerSecond = [&](int32_t seconds) {
    std::vector<int32_t> shown;
    for (int32_t s = 0; s < seconds; ++s) {
      plat::sim::Advance(1000);
      shown.push_back(countdown->IsVisible() ? countdown->GetAnimationIndex() : -1);
    }
    return shown;
  };
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  Send<HM_TURN>(TurnMsg{kOther, 0});
  EXPECT_EQ(shownPerSecond(10), (std::vector<int32_t>{-1, -1, -1, -1, -1, -1, -1, 2, 1, 0})) << "ten seconds";

  // My own vote goes out after the auto-play's two seconds, before the five shown
  // would reach the last three.
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  Send<HM_STAKE_VOTE>(StakeVoteMsg{});
  EXPECT_EQ(shownPerSecond(2), (std::vector<int32_t>{-1, -1}));
  EXPECT_EQ(Sent().back(), Words({7, 0})) << "the auto-played vote";
}

TEST_F(SceneTimeoutTest, AutoPlayCountsSilentlyOnMyTurn) {
  scene->Model().turnUserNo = kMe;
  scene->Model().autoPlay = 1;
  scene->Timers().BeginCountdown(4, 3);
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  plat::sim::Advance(4000);
  EXPECT_TRUE(trace.effects.empty());
  EXPECT_FALSE(scene->Widgets().countdownAnim->IsVisible());
}

TEST_F(SceneTimeoutTest, HurryVoiceNeverGoesToAnEmptySeat) {
  scene->GetPlayer(1).Reset();
  scene->Model().turnUserNo = kMe;
  scene->Timers().BeginCountdown(3, 3);
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  plat::sim::Advance(2000);
  EXPECT_TRUE(trace.voices.empty());
}

TEST_F(SceneTimeoutTest, SunPickStopsTheCountdown) {
  scene->Model().floor.floorCards = {30};
  CVHTWnd* card = scene->CardWndById(30);
  card->floorSlot = 4;
  StartPhase(3);
  EXPECT_EQ(scene->PickSunCard(card), 1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({10, 0, 4})}));
  plat::sim::Advance(10000);
  EXPECT_EQ(Sent().size(), 1u) << "no second pick from the time-out";
}

TEST_F(SceneTimeoutTest, KeysPickByPositionAndDummyTurns) {
  scene->Model().turnUserNo = kMe;
  scene->Seat(0).hand = {0, 1};
  scene->CardWndById(0)->SetCard(4);
  scene->CardWndById(1)->SetCard(8);
  scene->Model().game.deck = {40};
  StartPhase(8);
  scene->Model().handPick = 1;
  EXPECT_EQ(scene->PickHandCardByKey(3), 0) << "past the hand without dummy turns";
  scene->Seat(0).bombDummyCount = 1;
  EXPECT_EQ(scene->PickHandCardByKey(4), 0) << "a rank without a marker";
  GVWnd* marker = scene->CardWidgets().bombDummies[0];
  marker->Show(1);
  EXPECT_EQ(scene->PickHandCardByKey(3), 1);
  EXPECT_FALSE(marker->IsVisible());
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({12, 0, 50, 0})}));
  EXPECT_EQ(scene->Model().handPick, 0);
  host.Clear();
  trace.Clear();
  StartPhase(8);
  scene->Model().handPick = 1;
  scene->Model().autoPlay = 1;
  EXPECT_EQ(scene->PlayClickedCard(scene->CardWndById(0)), 1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{Words({12, 0, 4, 0})}));
  EXPECT_EQ(trace.effects, (std::vector<int32_t>{19}));
  EXPECT_EQ(scene->Model().autoPlay, 0);
  EXPECT_EQ(scene->PlayClickedCard(scene->CardWndById(5)), 0) << "not my card";
}

TEST(ParseNumberListTest, SplitsAtBars) {
  struct Case { const char* text; std::vector<int32_t> numbers; };
  const Case cases[] = {{"", {}}, {"1|2|", {1, 2}}, {"7", {7}}, {"|3||-4|", {3, -4}}, {"x|5", {0, 5}}};
  for (const Case& c : cases) {
    std::vector<int32_t> list{99};
    CDorvik2VWS::ParseNumberList(c.text, list);
    EXPECT_EQ(list, c.numbers) << c.text;
  }
}

}  // namespace
