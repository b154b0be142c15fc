// The result, the settlement and the money notices as the host sends them: the table's
// state, the commands, the chat lines, the boxes and the item offer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegistryValues.h"
#include "base/TextUtil.h"
#include "panels/CVUserInfoWnd.h"
#include "plat/sim.h"
#include "support/BoxWatch.h"
#include "support/GameTable.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace {

using testing_support::GameTableTest;
using testing_support::HostSlot;

// Me (7) in seat 0 at the bottom against another player (9) in seat 1.
class ResultHandlersTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
    boxWatch.AnswerWith(0);
    scene->GetPlayer(0).nickname = "나";
    scene->GetPlayer(1).nickname = "상대";
  }
  // A normal end won by seat `winner`, my money 1000 after it.
  static GameResultMsg Result(int32_t winner = 0) {
    GameResultMsg m;
    m.winInfo.winnerSeat = winner;
    m.money.at(0) = 1000;
    m.money.at(1) = 2000;
    m.totalMoney.at(0) = 1100;
    m.totalMoney.at(1) = 2200;
    m.itemOfferAmount.at(0) = 300;
    m.threshold1 = 0;
    return m;
  }
  std::vector<std::string> Lines(HostSlot slot) const {
    std::vector<std::string> out;
    for (const auto& c : host.CallsTo(slot)) out.push_back(c.line);
    return out;
  }
  // Host events but the money record (event 31), which the options' own tests watch.
  static constexpr const char* kMoneyRecord = "NotifyEvent(7, 31, ";
  std::vector<std::string> EventsBesideMoneyRecord() const {
    std::vector<std::string> out = Lines(HostSlot::NotifyEvent);
    std::erase_if(out, [](const std::string& l) { return l.starts_with(kMoneyRecord); });
    return out;
  }
  // The chat runs joined, style codes gone (UTF-8).
  std::string Chat() const {
    std::string out;
    for (const auto& c : host.CallsTo(HostSlot::AddText)) out += c.texts.at(0);
    return out;
  }
  // The boxes shown since the last Forget; each closes itself.
  int32_t Boxes() const { return static_cast<int32_t>(boxWatch.boxes.size()); }
  testing_support::BoxWatch boxWatch;
  bool Played(int32_t effect) const {
    return std::find(trace.effects.begin(), trace.effects.end(), effect) != trace.effects.end();
  }
  static constexpr const char* kOfferEvent = "NotifyEvent(7, 20, (null), 73728)";
};

// ---- The result ---------------------------------------------------------------------------------

TEST_F(ResultHandlersTest, ResultEndsTheGameAndBooksTheMoney) {
  StartPhase(8);
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  scene->SetAutoPlay(1);
  scene->GetPlayer(1).itemMoney.at(ITEM_MONEY_GOLD) = 50;
  scene->GetPlayer(1).itemMoney.at(ITEM_MONEY_CLUB) = 51;
  GameResultMsg m = Result();
  m.threshold1 = 50;
  m.rankingPoints.at(0) = 12;
  Send<HM_GAME_RESULT>(m);
  EXPECT_EQ(std::tuple(scene->GetSceneMode(), scene->GetPhase(), scene->IsGameTimerRunning(CDorvik2VWS::kBlinkTimer),
                       scene->Model().autoPlay),
            std::tuple(3, 17, false, 0));
  EXPECT_EQ(Lines(HostSlot::SetPlayState), (std::vector<std::string>{"SetPlayState(1)", "SetPlayState(3)"}));
  EXPECT_EQ(std::tuple(scene->GetPlayer(0).money, scene->GetPlayer(1).totalMoney), std::tuple(int64_t{1000}, int64_t{2200}));
  EXPECT_EQ(std::tuple(scene->GetPlayer(1).itemMoney.at(ITEM_MONEY_GOLD), scene->GetPlayer(1).itemMoney.at(ITEM_MONEY_CLUB)),
            std::tuple(int64_t{0}, int64_t{51}));
  const CVRankingPointWnd* ranking = scene->Widgets().rankingPointPanel;
  EXPECT_EQ(std::tuple(ranking->IsVisible(), ranking->PointsText()->GetText()), std::tuple(1, std::string("+12점")));
  EXPECT_EQ(scene->Widgets().resultPanel->IsVisible(), 1);
  EXPECT_TRUE(Played(28));
  EXPECT_EQ(std::tuple(scene->CardWidgets().autoPlayNotice->IsVisible(),
                       scene->Widgets().autoPlayCancelButton->IsVisible()),
            std::tuple(0, 0))
      << "auto-play off takes its notice away";
}

// My ranking points come up with the result, at my level, and go with the result
// panel; no points or another seat's points show nothing.
TEST_F(ResultHandlersTest, RankingPointsShowWithTheResultAndCloseWithIt) {
  const CVRankingPointWnd* ranking = scene->Widgets().rankingPointPanel;
  scene->GetPlayer(0).rankingLevel = 3;
  GameResultMsg m = Result();
  m.rankingPoints.at(0) = 12;
  Send<HM_GAME_RESULT>(m);
  EXPECT_EQ(std::tuple(ranking->IsVisible(), ranking->Back()->IsVisible(), ranking->Level()->IsVisible(),
                       ranking->Level()->GetFrame(), ranking->PointsText()->GetText()),
            std::tuple(1, 1, 1, 2, std::string("+12점")));
  SettlementMsg settle;
  settle.firstSeatUser = kMe;
  Send<HM_SETTLEMENT>(settle);
  EXPECT_EQ(std::tuple(ranking->IsVisible(), ranking->Back()->IsVisible(), ranking->PointsText()->GetText()),
            std::tuple(0, 0, std::string()))
      << "closed with the result panel";

  for (auto [mine, other] : {std::pair(0, 5), std::pair(-3, 0)}) {
    m.rankingPoints.at(0) = mine;
    m.rankingPoints.at(1) = other;
    Send<HM_GAME_RESULT>(m);
    EXPECT_EQ(std::tuple(ranking->IsVisible(), ranking->PointsText()->GetText()), std::tuple(0, std::string()))
        << mine << "/" << other;
  }
}

// The day's count after a result: the games left on the panel, the chat beneath it,
// and in the last five games the limit notice in the chat; with none left the host's
// own notice too, once.
TEST_F(ResultHandlersTest, PlayCountAndItsLimitNoticeAfterAResult) {
  CVGFPlayCountWnd* panel = scene->Widgets().playCountPanel;
  GVTextWnd* chat = scene->Widgets().statusText;
  struct Case {
    int32_t today;
    const char* left;
    bool notice;
    std::vector<std::string> hostText;
  };
  const std::vector<std::string> limitEvent{R"(SetText("14", 36, "1030"))"};
  const Case cases[] = {
      {294, "6", false, {}}, {295, "5", true, {}}, {296, "4", true, {}},         {297, "3", true, {}},
      {298, "2", true, {}},  {299, "1", true, {}}, {300, "0", true, limitEvent}, {300, "0", true, {}},
      {310, "0", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.today);
    Send<HM_PLAY_COUNT>(PlayCountMsg{kMe, 0, 500, c.today});
    host.Clear();
    Send<HM_GAME_RESULT>(Result());
    EXPECT_EQ(std::tuple(panel->IsVisible(), panel->CountText()->GetText()), std::tuple(1, std::string(c.left)));
    EXPECT_EQ(chat->GetPos().y, panel->GetRect().bottom + 2);
    const std::string line = Utf8(u8"[알림] 오늘의 도르빅 판수, ") + c.left + Utf8(u8"판 남았습니다.");
    EXPECT_EQ(Chat().find(line) != std::string::npos, c.notice) << Chat();
    EXPECT_EQ(Lines(HostSlot::SetText), c.hostText);
  }

  // Below 500 games the panel closes and the chat takes its place; a later limit
  // reaches the host again.
  Send<HM_PLAY_COUNT>(PlayCountMsg{kMe, 0, 499, 300});
  Send<HM_GAME_RESULT>(Result());
  EXPECT_EQ(std::tuple(panel->IsVisible(), chat->GetPos().y), std::tuple(0, panel->GetRect().top + 8));
  Send<HM_PLAY_COUNT>(PlayCountMsg{kMe, 0, 500, 300});
  host.Clear();
  Send<HM_GAME_RESULT>(Result());
  EXPECT_EQ(Lines(HostSlot::SetText), limitEvent);
}

// The item offer's countdown runs out: the offer goes, and the result panel stands as
// its layout has it without the offer.
TEST_F(ResultHandlersTest, ResultCountdownClosesTheItemOffer) {
  Send<HM_GAME_RESULT>(Result());
  CVResultWnd* panel = scene->Widgets().resultPanel;
  ASSERT_EQ(panel->ItemPanel()->IsVisible(), 1);
  const GPoint ok = panel->OkButton()->GetPos();
  panel->OkButton()->SetPos(GPoint(0, 0));
  plat::sim::Advance(10'000);
  EXPECT_EQ(scene->GetPhase(), 0);
  EXPECT_EQ(std::tuple(panel->ItemPanel()->IsVisible(), scene->Widgets().chanceSprite->IsVisible(),
                       scene->Widgets().chanceText->IsVisible()),
            std::tuple(0, 0, 0));
  EXPECT_EQ(std::tuple(panel->IsVisible(), panel->OkButton()->GetPos()), std::tuple(1, ok));
  EXPECT_TRUE(EventsBesideMoneyRecord().size() == 1u) << "the offer was reserved once, nothing more";
}

TEST_F(ResultHandlersTest, UnknownEndTypePlaysTheWinnerEffectAndShowsNoPanel) {
  GameResultMsg m = Result();
  m.endType = 7;
  Send<HM_GAME_RESULT>(m);
  EXPECT_EQ(scene->Widgets().resultPanel->IsVisible(), 0);
  EXPECT_EQ(trace.effects, std::vector<int32_t>{28});
}

TEST_F(ResultHandlersTest, ItemOfferByMembershipLevel) {
  struct Case {
    int32_t membership;  // item-money index held, -1 none
    const char* caption;
  };
  const Case cases[] = {{ITEM_MONEY_ROYAL, "최고28억 5천만냥"},   {ITEM_MONEY_GOLD, "최고27억냥"},
                        {ITEM_MONEY_CLUB, "최고18억 3천만냥"},    {ITEM_MONEY_MEMBER_B, "최고14억 7천만냥"},
                        {-1, "최고14억 7천만냥"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.membership);
    scene->Model().itemOfferMade = 0;
    scene->GetPlayer(0).itemMoney = {};
    if (c.membership >= 0) scene->GetPlayer(0).itemMoney.at(size_t(c.membership)) = 5;
    host.Clear();
    Send<HM_GAME_RESULT>(Result());
    EXPECT_EQ(EventsBesideMoneyRecord(), std::vector<std::string>{kOfferEvent});
    EXPECT_EQ(scene->Widgets().chanceText->GetText(), c.caption);
    EXPECT_EQ(std::tuple(scene->Widgets().resultPanel->ItemPanel()->IsVisible(), scene->Widgets().chanceSprite->IsVisible()),
              std::tuple(1, 1));
  }
  host.Clear();
  Send<HM_GAME_RESULT>(Result());
  EXPECT_TRUE(EventsBesideMoneyRecord().empty()) << "once per room entry";
}

TEST_F(ResultHandlersTest, NoItemOfferWhereItDoesNotStand) {
  struct Case {
    const char* name;
    int64_t price;
    int32_t roomState, antiLeave;
    bool robot;
  };
  const Case cases[] = {
      {"above 0.3 x money", 301, 0, 0, false},
      {"anti-leave room with its flag", 300, 9, 1, false},
      {"robot", 300, 0, 0, true},
      {"robot item room", 300, 60, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scene->Model().itemOfferMade = 0;
    scene->GetRoomData().roomState = c.roomState;
    scene->GetRoomData().antiLeaveLevel = 1;
    scene->Model().antiLeave = c.antiLeave;
    if (c.robot) SeatRobot(1);
    host.Clear();
    GameResultMsg m = Result();
    m.itemOfferAmount.at(0) = c.price;
    Send<HM_GAME_RESULT>(m);
    EXPECT_TRUE(EventsBesideMoneyRecord().empty());
    EXPECT_EQ(scene->Widgets().resultPanel->ItemPanel()->IsVisible(), 0);
    SeatOther(1);
  }
}

TEST_F(ResultHandlersTest, ABestKindThatRoseReservesItsItemToo) {
  GameResultMsg m = Result();
  m.bestKind.at(0) = 3;
  Send<HM_GAME_RESULT>(m);
  EXPECT_EQ(EventsBesideMoneyRecord(),
            (std::vector<std::string>{kOfferEvent, "NotifyEvent(7, 20, (null), 69640)"}));
  EXPECT_EQ(scene->GetPlayer(0).bestScore, 3);
  host.Clear();
  Send<HM_GAME_RESULT>(m);
  EXPECT_TRUE(EventsBesideMoneyRecord().empty()) << "not risen again";
}

// ---- The settlement -----------------------------------------------------------------------------

TEST_F(ResultHandlersTest, SettlementBooksWinsLossesAndMoneyAndResetsTheTable) {
  scene->GetPlayer(0).timeoutCount = 2;
  scene->GetPlayer(1).timeoutCount = 1;
  scene->GetPlayer(0).wins = 4;
  scene->GetPlayer(0).losses = 3;
  SettlementMsg m;
  m.resultCode = 1;
  m.winnerUser = kMe;
  m.firstSeatUser = kMe;
  m.bestScore = 40;
  m.bestMoney = 9000;
  m.money.at(0) = 10, m.moneyBaseline.at(0) = 11, m.totalMoney.at(0) = 12;
  m.money.at(1) = 20, m.moneyBaseline.at(1) = 21, m.totalMoney.at(1) = 22;
  Send<HM_SETTLEMENT>(m);
  const PlayerInfo& me = scene->GetPlayer(0);
  const PlayerInfo& other = scene->GetPlayer(1);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>(2, Words({0x1A, 0})));
  EXPECT_EQ(std::tuple(me.timeoutCount, other.timeoutCount), std::tuple(0, 0));
  EXPECT_EQ(std::tuple(me.money, me.moneyBaseline, me.totalMoney, other.money, other.moneyBaseline, other.totalMoney),
            std::tuple(10, 11, 12, 20, 21, 22));
  EXPECT_EQ(std::tuple(me.wins, me.losses, me.bestScore, me.bestMoney, other.wins, other.losses),
            std::tuple(5, 3, 40, int64_t{9000}, 0, 1));
  EXPECT_EQ(scene->GamesPlayed(), 8);
  EXPECT_TRUE(Played(9));
  EXPECT_FALSE(Played(27));
  EXPECT_EQ(Lines(HostSlot::SetPlayState), std::vector<std::string>{"SetPlayState(3)"});
}

TEST_F(ResultHandlersTest, SettlementOfAnObserverStillSendsBothTimeoutCounts) {
  scene->GetPlayer(0).userNo = 3;
  SettlementMsg m;
  m.winnerUser = 3;
  m.firstSeatUser = 3;
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>(2, Words({0x1A, 0})));
}

TEST_F(ResultHandlersTest, SettlementWithAWinnerWithoutASeatBooksNothing) {
  SettlementMsg m;
  m.winnerUser = 55;
  m.firstSeatUser = kMe;
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(std::tuple(scene->GetPlayer(0).wins + scene->GetPlayer(0).losses,
                       scene->GetPlayer(1).wins + scene->GetPlayer(1).losses),
            std::tuple(0, 0));
}

TEST_F(ResultHandlersTest, SettlementSwapsSeatsLeaveLinesAndTheStoppedGame) {
  SettlementMsg m;
  m.resultCode = 0;
  m.winnerUser = kOther;
  m.firstSeatUser = kOther;
  for (auto [user, reason] : {std::pair(kOther, 0), std::pair(kMe, 1), std::pair(55, 0)}) {
    SettlementEntry e;
    e.userNo = user;
    e.reason = reason;
    m.leaveList.push_back(e);
  }
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(std::tuple(scene->GetPlayer(0).userNo, scene->GetPlayer(1).userNo, scene->GetPlayer(0).screenPos),
            std::tuple(kOther, kMe, 1));
  EXPECT_EQ(Chat(), Utf8(u8"상대(you)님이 카르펜 요청을 하여 나가셨습니다.") +
                        Utf8(u8"일시적인 오류로 게임을 중지하였습니다!"));
  EXPECT_TRUE(Played(27));
}

TEST_F(ResultHandlersTest, AntiLeaveReleaseBoxOnlyWhenTheFlagTurnsOff) {
  scene->GetRoomData().roomState = 8;
  scene->GetRoomData().antiLeaveLevel = 2;
  SettlementMsg m;
  m.firstSeatUser = kMe;
  for (auto [before, after, boxes] : {std::tuple(1, 0, 1), std::tuple(0, 0, 0), std::tuple(0, 1, 0)}) {
    scene->Model().antiLeave = before;
    m.antiLeave = after;
    trace.Clear();
    boxWatch.Forget();
    Send<HM_SETTLEMENT>(m);
    EXPECT_EQ(Boxes(), boxes) << before << " -> " << after;
    EXPECT_EQ(scene->Model().antiLeave, after);
  }
}

TEST_F(ResultHandlersTest, BijouEffectWhenMyCountRisesToAMultipleOfFive) {
  SettlementMsg m;
  m.firstSeatUser = kMe;
  for (auto [count, event, effect] : {std::tuple(4, 0, false), std::tuple(5, 0, true), std::tuple(5, 0, false),
                                      std::tuple(6, 1, true), std::tuple(10, 1, true)}) {
    m.bijouCount.at(0) = count;
    m.bijouEvent.at(0) = event;
    trace.Clear();
    Send<HM_SETTLEMENT>(m);
    EXPECT_EQ(Played(52), effect) << count << "/" << event;
  }
}

// My tickets after each settlement: the gain on the panel, the kind of the count, and
// at a multiple of five the countdown that, once the tickets reach the cap, leaves the
// full picture alone on the panel.
TEST_F(ResultHandlersTest, BijouPanelFollowsMyTickets) {
  RoomEnterMsg entry = MyEntry(2);
  entry.bijouCount = 1193;
  entry.bijouKind = 8;
  Send<HM_ROOM_ENTER>(entry);
  SeatBothPlayers();
  const CVDorvik2BijouWnd* bijou = scene->Widgets().bijouPanel;
  auto picture = [bijou] {
    return std::tuple(bijou->KindPicture()->IsVisible(), bijou->KindPicture()->GetFrame(),
                      bijou->CountDigits()->GetNumber(), bijou->FullPicture()->IsVisible());
  };
  EXPECT_EQ(picture(), std::tuple(1, 2, 0, 0)) << "kind 8 is kind 3";

  struct Step {
    int32_t count;
    std::tuple<BOOL, int32_t, int64_t, BOOL> shown;
    int32_t kindAnimation;
    bool effect;
  };
  const Step steps[] = {
      {1194, {1, 3, 1, 0}, 3, false},
      {1195, {0, 3, 2, 0}, 4, true},  // a fifth ticket: the kind's picture clears
      {1195, {0, 3, 2, 0}, 4, false},
  };
  SettlementMsg m;
  m.firstSeatUser = kMe;
  for (const Step& st : steps) {
    SCOPED_TRACE(st.count);
    m.bijouCount.at(0) = st.count;
    trace.Clear();
    Send<HM_SETTLEMENT>(m);
    EXPECT_EQ(picture(), st.shown);
    EXPECT_EQ(bijou->KindAnimation()->GetAnimationIndex(), st.kindAnimation);
    EXPECT_EQ(Played(52), st.effect);
    plat::sim::Advance(3000);
    EXPECT_EQ(std::tuple(bijou->Background()->IsVisible(), bijou->FullPicture()->IsVisible()), std::tuple(1, 0))
        << "below the cap the countdown leaves the panel as it is";
  }

  m.bijouCount.at(0) = 1200;
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(std::tuple(bijou->CountDigits()->GetNumber(), bijou->FullPicture()->IsVisible()), std::tuple(7, 0));
  plat::sim::Advance(3000);
  EXPECT_EQ(std::tuple(bijou->FullPicture()->IsVisible(), bijou->Background()->IsVisible(),
                       bijou->CountDigits()->IsVisible()),
            std::tuple(1, 0, 0))
      << "the countdown ends on the full picture";
}

// The table reset takes away the pictures of the game that ended.
TEST_F(ResultHandlersTest, SettlementClearsTheTablesPicturesAndAnimations) {
  const CDorvik2VWS::SceneWidgets& w = scene->Widgets();
  GVWnd* pick = scene->CardWidgets().floorOutlines[3];
  w.robotPlayAnim->Play(-1, 0);
  w.startAnim->Play(-1, 0);
  w.eventAnims[2]->Play(-1, 0);
  pick->Show(1);
  w.moneyLimitTooltip->Show(1);
  SettlementMsg m;
  m.firstSeatUser = kMe;
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(std::tuple(w.robotPlayAnim->IsVisible(), w.startAnim->IsVisible(), w.eventAnims[2]->IsVisible(),
                       pick->IsVisible(), w.moneyLimitTooltip->IsVisible()),
            std::tuple(0, 0, 0, 0, 0));
}

TEST_F(ResultHandlersTest, MoneyTotalCapBandOfEachTier) {
  struct Tier {
    int32_t membership;
    int64_t cap;
  };
  const Tier tiers[] = {{-1, 100'000'000'000}, {ITEM_MONEY_CLUB, 200'000'000'000},
                        {ITEM_MONEY_GOLD, 300'000'000'000}, {ITEM_MONEY_ROYAL, 500'000'000'000}};
  for (const Tier& t : tiers) {
    for (auto [below, notice] : {std::pair(int64_t{0}, false), std::pair(int64_t{1}, true),
                                 std::pair(int64_t{100'000'000}, true), std::pair(int64_t{100'000'001}, false)}) {
      SCOPED_TRACE(testing::Message() << t.cap << " - " << below);
      scene->ResetGameState();
      SeatMe(0);
      scene->GetPlayer(0).itemMoney = {};
      if (t.membership >= 0) scene->GetPlayer(0).itemMoney.at(size_t(t.membership)) = 1;
      scene->GetPlayer(0).safeMoney = 5;
      SettlementMsg m;
      m.resultCode = 1;
      m.firstSeatUser = kMe;
      m.money.at(0) = t.cap - below - 5;
      host.Clear();
      Send<HM_SETTLEMENT>(m);
      EXPECT_EQ(Chat().find(Utf8(u8"[안내] 도르빅 머니총합 최고한도")) == 0, notice);
      host.Clear();
      Send<HM_SETTLEMENT>(m);
      EXPECT_EQ(Chat(), "") << "never again until the reset";
    }
  }
}

// ---- Money notices ------------------------------------------------------------------------------

TEST_F(ResultHandlersTest, SafeWithdrawalOfKindFive) {
  SafeWithdrawMsg m{kOther, 5, 777, 5000, 0};
  scene->GetPlayer(1).money = 100;
  Send<HM_SAFE_WITHDRAW>(m);
  EXPECT_EQ(scene->GetPlayer(1).money, 5100);
  EXPECT_EQ(Chat().rfind(Utf8(u8"상대(you)님이 금고에서 "), 0), 0u);
  EXPECT_EQ(Boxes(), 1);
  trace.Clear();
  boxWatch.Forget();
  m.userNo = kMe;
  Send<HM_SAFE_WITHDRAW>(m);
  EXPECT_EQ(std::tuple(Boxes(), scene->MyUser().safeMoney, scene->MyUser().money), std::tuple(0, int64_t{777}, int64_t{5000}));
  m.kind = 4;
  host.Clear();
  Send<HM_SAFE_WITHDRAW>(m);
  EXPECT_EQ(std::tuple(scene->GetPlayer(0).money, host.Calls().size()), std::tuple(int64_t{5000}, size_t{0}));
}

TEST_F(ResultHandlersTest, MoneyCapForMeOncePerKindAndForAnotherAChatLine) {
  MoneyCapMsg m;
  m.userNo = kMe;
  m.capAmount = 100'000'000'000;
  m.deadline = 20240131235900;
  for (int32_t kind : {1, 2, 3, 4, 4, 1, 0, 5}) {
    m.capKind = kind;
    Send<HM_MONEY_CAP>(m);
  }
  EXPECT_EQ(Boxes(), 4);
  m.userNo = kOther;
  m.capKind = 2;
  Send<HM_MONEY_CAP>(m);
  const auto runs = host.CallsTo(HostSlot::AddText);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.back().texts.at(0), Utf8(u8"[도르빅 머니총합 최고한도안내]"));
  EXPECT_NE(Chat().find(Utf8(u8"상대(you)님은 도르빅 머니총합 한도를 초과하였습니다.")), std::string::npos);
  EXPECT_EQ(runs.back().texts.at(1).rfind("http://", 0), 0u);
  EXPECT_NE(runs.back().texts.at(1).find("/quell_extmoney_pop.vnt?msn=1"), std::string::npos);
}

TEST_F(ResultHandlersTest, AntiLeaveRefundAndCounts) {
  scene->GetRoomData().roomState = 9;
  scene->GetRoomData().antiLeaveLevel = 1;
  scene->Model().antiLeave = 1;
  Send<HM_ANTILEAVE_REFUND>(AntiLeaveRefundMsg{kMe, 5000});
  EXPECT_EQ(Boxes(), 0);
  Send<HM_ANTILEAVE_REFUND>(AntiLeaveRefundMsg{kOther, 5000});
  ASSERT_EQ(Boxes(), 1);
  EXPECT_EQ(boxWatch.boxes[0].Text(), "상대가 나가면서 획득한 머니 5000냥을 돌려주었습니다.");
  EXPECT_EQ(boxWatch.boxes[0].upMs, 3000u);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  for (int32_t seat : {-1, 2, 1}) Send<HM_ANTILEAVE_COUNTS>(AntiLeaveCountsMsg{seat, 2, 3});
  EXPECT_EQ(std::tuple(scene->Seat(1).gameCounters.at(0), scene->Seat(1).gameCounters.at(1), scene->Seat(0).gameCounters.at(0)),
            std::tuple(2, 3, 0));
}

TEST_F(ResultHandlersTest, PlayCountBelowAndAboveFiveHundredGames) {
  CVGFPlayCountWnd* panel = scene->Widgets().playCountPanel;
  GVTextWnd* chat = scene->Widgets().statusText;
  scene->SetStatusText("status");
  Send<HM_PLAY_COUNT>(PlayCountMsg{kMe, 0, 499, 10});
  EXPECT_EQ(std::tuple(panel->IsVisible(), chat->GetPos().y, chat->GetText()),
            std::tuple(0, panel->GetRect().top + 8, std::string("status")));
  Send<HM_PLAY_COUNT>(PlayCountMsg{kMe, 0, 500, 297});
  EXPECT_EQ(std::tuple(panel->IsVisible(), panel->CountText()->GetText(), panel->Gauge()->GetRect().Width(),
                       chat->GetPos().y),
            std::tuple(1, std::string("3"), 0, panel->GetRect().bottom + 2));
  EXPECT_EQ(Chat(), "") << "the limit notice belongs to the result";
  Send<HM_PLAY_COUNT>(PlayCountMsg{kMe, 20'991'231'235'959, 500, 297});
  EXPECT_EQ(std::tuple(panel->CountText()->GetText(), panel->Gauge()->GetRect().Width()),
            std::tuple(std::string("무한"), 38))
      << "a membership plays without a limit";
  Send<HM_PLAY_COUNT>(PlayCountMsg{kOther, 0, 500, 100});
  EXPECT_EQ(panel->CountText()->GetText(), "무한") << "another player's count is not mine";
}

// The money bell (1) and the two refills (2, 3) each end with the money record; any
// other kind does nothing.
TEST_F(ResultHandlersTest, MoneyNoticeByKind) {
  for (const int32_t kind : {1, 2, 3, 4}) {
    host.Clear();
    MoneyNoticeMsg m;
    m.kind = kind;
    Send<HM_MONEY_NOTICE>(m);
    const auto all = Lines(HostSlot::NotifyEvent);
    const auto records = std::count_if(all.begin(), all.end(), [](const std::string& l) { return l.starts_with(kMoneyRecord); });
    EXPECT_EQ(records, kind <= 3 ? 1 : 0) << kind;
  }
}

}  // namespace

namespace {

// The folding choice lives in the layer's registry under the options key, so a restart
// reads it back; a value of another shape counts as expanded.
TEST_F(ResultHandlersTest, ExpandChoicePersistsInTheRegistry) {
  CVResultWnd* panel = scene->Widgets().resultPanel;
  panel->SaveExpandState(0);
  plat::sim::ReloadRegistry();
  uint32_t stored = 7;
  ASSERT_EQ(scene->ReadOptionDword(CVResultWnd::kExpandValue, &stored), 1);
  EXPECT_EQ(stored, 0u);
  panel->SaveExpandState(1);
  panel->SaveExpandState(0);
  EXPECT_EQ(panel->LoadExpandState(1), 0);
  registry_values::WriteText(scene->RegistryBasePath(), CSceneOptions::kSubKey, CVResultWnd::kExpandValue, "0");
  EXPECT_EQ(panel->LoadExpandState(1), 1) << "unreadable";
}

}  // namespace

namespace {

// My money bells show as their sign with the result.
TEST_F(ResultHandlersTest, TheResultShowsMyMoneyBellSign) {
  GVQLAniWnd* sign = scene->Widgets().moneyBellAnim;
  scene->GetPlayer(0).moneyBellCount = 2;
  StartPhase(8);
  Send<HM_GAME_RESULT>(Result());
  EXPECT_TRUE(sign->IsVisible() && sign->IsPlaying());
  EXPECT_EQ(sign->GetAnimationIndex(), 2);
}

// Every two hours of play the chat says so, once each.
TEST_F(ResultHandlersTest, EveryTwoHoursOfPlayTheChatSaysSoOnce) {
  SettlementMsg m;
  m.winnerUser = kMe;
  m.firstSeatUser = kMe;
  m.playSeconds.at(0) = 2 * 3600 + 30;
  Send<HM_SETTLEMENT>(m);
  const std::string notice = Utf8(u8"오늘 도르빅 게임의 누적 플레이 시간은 2시간 입니다.");
  EXPECT_NE(Chat().find(notice), std::string::npos) << Chat();
  host.Clear();
  Send<HM_SETTLEMENT>(m);
  EXPECT_EQ(Chat().find(notice), std::string::npos) << "once a day";
}

// The twelve flags are the marks from 2 to 24 hours: each shows once, the first and the
// last included, and no mark past the day's twelve shows.
TEST_F(ResultHandlersTest, EachOfTheDaysTwelvePlayTimeMarksShowsOnceAndNoneAfter) {
  SettlementMsg m;
  m.winnerUser = kMe;
  m.firstSeatUser = kMe;
  for (int32_t hours : {24, 2, 26}) {
    SCOPED_TRACE(hours);
    host.Clear();
    m.playSeconds.at(0) = hours * 3600 + 2 * 60 + 59;
    Send<HM_SETTLEMENT>(m);
    const std::string notice = Utf8(u8"누적 플레이 시간은 ") + std::to_string(hours) + Utf8(u8"시간 입니다.");
    EXPECT_EQ(Chat().find(notice) != std::string::npos, hours <= 24) << Chat();
  }
  EXPECT_EQ(scene->PlayTimeNotice(0), 0);
  EXPECT_EQ(scene->PlayTimeNotice(CDorvik2VWS::kPlayTimeNotices - 1), 0);
  for (int32_t i = 1; i < CDorvik2VWS::kPlayTimeNotices - 1; ++i) EXPECT_EQ(scene->PlayTimeNotice(i), 1) << i;
}

// The other player's safe withdrawal: his panel shows the new money and a box says
// whose it was, under its own title.
TEST_F(ResultHandlersTest, ASafeWithdrawalShowsOnThePanelAndInATitledBox) {
  scene->GetPlayer(1).userId = "you";
  scene->GetPlayer(1).money = 100;
  Send<HM_SAFE_WITHDRAW>(SafeWithdrawMsg{kOther, 5, 777, 5000, 0});
  EXPECT_EQ(scene->Widgets().seatPanels[1]->TextOf(CVUserInfoWnd::kMoney)->GetText(), FormatMoney(5100, 2));
  ASSERT_EQ(Boxes(), 1);
  EXPECT_EQ(boxWatch.boxes[0].Text(), " 상대(you)님이 금고에서 출금 하셨습니다. \n금고출금");
}

// Each cap kind has its own text, with the cap and the deadline, under one title.
TEST_F(ResultHandlersTest, EachMoneyCapKindShowsItsOwnText) {
  MoneyCapMsg m;
  m.userNo = kMe;
  m.capAmount = 100'000'000'000;
  m.deadline = 20240131235900;
  const std::string cap = FormatMoney(m.capAmount, 2);
  const char* offers[] = {"스텔바 클럽 또는 도르빅 스텔바 골드 또는 도르빅 스텔바 로얄을 신청",
                          "지금, 도르빅 스텔바 골드 또는 도르빅 스텔바 로얄을 신청", "지금, 스텔바로얄을 신청", ""};
  for (int32_t kind = 1; kind <= 4; ++kind) {
    SCOPED_TRACE(kind);
    boxWatch.Forget();
    m.capKind = kind;
    Send<HM_MONEY_CAP>(m);
    ASSERT_EQ(Boxes(), 1);
    const std::string text = boxWatch.boxes[0].Text();
    EXPECT_EQ(text.rfind("도르빅 머니총합 최고한도 " + cap + "을 초과하", 0), 0u) << text;
    EXPECT_NE(text.find(offers[kind - 1]), std::string::npos) << text;
    EXPECT_EQ(text.find("(단, 01월31일23시59분까지 신청하셔야 합니다.)") != std::string::npos, kind < 4) << text;
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "도르빅 머니총합 최고한도 초과");
  }
}

}  // namespace
