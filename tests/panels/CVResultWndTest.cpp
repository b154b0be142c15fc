// The result panel's children at the points of layout kind 0, the item panel among
// them, and the points of every layout kind.
#include "panels/CVResultWnd.h"

#include <gtest/gtest.h>

#include "host/ResultRecords.h"
#include "panels/CVItemWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace result_wnd_test {

class ResultWndTest : public panel_test::PanelFilesTest {
 protected:
  panel_test::FakePanelScene scene_;
};

TEST_F(ResultWndTest, CreateLaysTheChildrenOutAtKindZeroInCreationOrder) {
  CVResultWnd result(&scene_);
  ASSERT_EQ(result.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(result.GetRect(), result.IsVisible(), result.IsEnabled(), result.LayoutKind(), result.Expanded()),
            std::tuple(GRect(210, 111, 510, 631), 0, 1, 0, 1));
  std::vector<Placed> rows{{"back", result.Background(), {210, 150}, 0},
                           {"icon", result.WinLoseIcon(), {211, 111}, 0},
                           {"headline", result.Headline(), {219, 192}, 1},
                           {"money", result.MoneyText(), {219, 227}, 1},
                           {"note", result.NoteText(), {219, 249}, 1}};
  for (int32_t r = 0; r < CVResultWnd::kRows; ++r) {
    rows.push_back({"category label", result.CategoryLabel(r), {258, 281 + 18 * r}, 1});
    rows.push_back({"category value", result.CategoryValue(r), {258, 281 + 18 * r}, 1});
  }
  for (int32_t r = 0; r < CVResultWnd::kRows; ++r) {
    rows.push_back({"multiplier label", result.MultiplierLabel(r), {376, 281 + 18 * r}, 1});
    rows.push_back({"multiplier value", result.MultiplierValue(r), {376, 281 + 18 * r}, 1});
  }
  rows.insert(rows.end(), {{"sum", result.PointSum(), {210, 111}, 1},
                           {"total", result.TotalMultiplierText(), {210, 111}, 1},
                           {"money line", result.MoneyLine(), {219, 285}, 1},
                           {"expand", result.ExpandButton(), {341, 268}, 0},
                           {"ok", result.OkButton(), {305, 316}, 0},
                           {"item panel", result.ItemPanel(), {210, 358}, 0},
                           {"auto-start", result.AutoStartToggle(), {388, 159}, 0}});
  ExpectPlaced(rows);
  EXPECT_EQ(Children(result), Order(rows));

  ExpectText(result.Headline(), {261, 20}, 0xFFFFFF, DT_CENTER, "headline");
  ExpectText(result.MoneyText(), {261, 14}, 0x68F5FF, DT_CENTER, "money");
  ExpectText(result.NoteText(), {261, 11}, 0xFFFFFF, DT_CENTER, "note");
  ExpectText(result.CategoryLabel(8), {64, 12}, 0xD6D6D6, DT_LEFT, "label");
  ExpectText(result.MultiplierValue(0), {64, 12}, 0xD6D6D6, DT_RIGHT, "value");
  ExpectText(result.TotalMultiplierText(), {64, 12}, 0xD6D6D6, DT_RIGHT, "total");
  ExpectText(result.MoneyLine(), {261, 14}, 0xFFFFFF, DT_CENTER, "money line");
  // The item panel brings its children along to its place below the OK button.
  EXPECT_EQ(result.ItemPanel()->WithdrawButton()->GetPos(), GPoint(402, 384));
}

TEST_F(ResultWndTest, EveryLayoutKindHasItsPoints) {
  struct Case {
    int32_t kind;
    ResultLayout want;
  };
  const Case cases[] = {
      {0, {{210, 111}, {0, 0}, {0, 0}, {9, 174}, {95, 205}, {0, 247}}},
      {1, {{210, 98}, {48, 194}, {166, 194}, {9, 225}, {95, 256}, {0, 298}}},
      {8, {{210, 35}, {48, 320}, {166, 320}, {9, 351}, {95, 382}, {0, 424}}},
      {9, {{210, 26}, {48, 338}, {166, 338}, {9, 369}, {95, 400}, {0, 442}}},
      {10, {{210, 71}, {0, 0}, {0, 0}, {9, 267}, {95, 298}, {0, 340}}},
      {11, {{210, 71}, {0, 0}, {0, 0}, {9, 267}, {95, 298}, {0, 340}}},
      {-1, {{210, 111}, {0, 0}, {0, 0}, {9, 174}, {95, 205}, {0, 247}}},
      {12, {{210, 111}, {0, 0}, {0, 0}, {9, 174}, {95, 205}, {0, 247}}},
  };
  auto tie = [](const ResultLayout& l) {
    return std::tuple(l.base, l.pointSum, l.totalMultiplier, l.moneyLine, l.okButton, l.itemPanel);
  };
  for (const Case& c : cases) EXPECT_EQ(tie(CVResultWnd::LayoutOf(c.kind)), tie(c.want)) << c.kind;
}

// ---- Showing a result ------------------------------------------------------------------------

// Me (7, "나") in seat 0 at the bottom, the opponent (9, "상대") in seat 1 at the top,
// 1000 per point; a normal end won by seat `winner`.
class ResultShowTest : public ResultWndTest {
 protected:
  static constexpr int32_t kMe = 7;
  static constexpr int32_t kOther = 9;
  void SetUp() override {
    ResultWndTest::SetUp();
    scene_.myUserNo = kMe;
    scene_.seatUsers = {kMe, kOther};
    PlayerInfo& a = scene_.model.room.seats.Player(0);
    PlayerInfo& b = scene_.model.room.seats.Player(1);
    a.userNo = kMe, a.nickname = "나", a.screenPos = 0;
    b.userNo = kOther, b.nickname = "상대", b.screenPos = 1;
    scene_.model.room.option.moneyPerPoint = 1000;
    ASSERT_EQ(result_.Create(&scene_), 1);
    scene_.onCloseResult = [this] { result_.Reset(); };
  }
  static GameResultMsg Normal(int32_t winner) {
    GameResultMsg m;
    m.endType = 0;
    m.winInfo.winnerSeat = winner;
    m.moneyChange.at(0) = 12000;
    m.moneyChange.at(1) = -12000;
    return m;
  }
  std::vector<std::string> Rows(bool category) {
    std::vector<std::string> out;
    for (int32_t r = 0; r < CVResultWnd::kRows; ++r) {
      GVTextWnd* label = category ? result_.CategoryLabel(r) : result_.MultiplierLabel(r);
      GVTextWnd* value = category ? result_.CategoryValue(r) : result_.MultiplierValue(r);
      if (label->IsVisible() && !label->GetText().empty()) out.push_back(label->GetText() + " " + value->GetText());
    }
    return out;
  }
  CVResultWnd result_{&scene_};
};

TEST_F(ResultShowTest, ExpandedBreakdownOfEightCategoriesAndThreeMultipliersTakesKindEight) {
  GameResultMsg m = Normal(0);
  for (int32_t c = 0; c < SCORE_CATEGORY_COUNT; ++c) m.winInfo.categoryPoints.at(size_t(c)) = c + 1;
  m.winInfo.shakeExp = 1;
  m.winInfo.goExp = 2;
  m.penalties = {{1, 0, 1}};
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(Rows(true), (std::vector<std::string>{"고도리 5점", "홍단 6점", "청단 7점", "초단 8점", "광 1점", "십 2점",
                                                  "오 3점", "피 4점"}));
  EXPECT_EQ(Rows(false), (std::vector<std::string>{"흔듦 2배", "고 4배", "피박 2배"}));
  EXPECT_EQ(std::tuple(result_.PointSum()->GetText(), result_.TotalMultiplierText()->GetText(), result_.TotalMultiplier()),
            std::tuple(std::string("36점"), std::string("16배"), int64_t{16}));
  EXPECT_EQ(result_.MoneyLine()->GetText(), "점1000냥 x 576점");
  EXPECT_EQ(std::tuple(result_.LayoutKind(), result_.GetPos(), result_.MoneyLine()->GetPos(), result_.OkButton()->GetPos()),
            std::tuple(8, GPoint(210, 35), GPoint(219, 386), GPoint(305, 417)));
  EXPECT_EQ(std::tuple(result_.Headline()->GetText(), result_.MoneyText()->GetText(), result_.WinLoseIcon()->GetFrame(),
                       result_.WinLoseIcon()->IsVisible(), result_.ExpandButton()->ImageSet()),
            std::tuple(std::string("나님 승리!"), "+" + FormatMoney(12000, 2), 0, 1, 1));
  EXPECT_EQ(scene_.playedEffects, std::vector<int32_t>{30}) << "a total of 4 or more";
}

TEST_F(ResultShowTest, FoldedShowsOnlyTheHeadlinesMoneyLineAndButtons) {
  scene_.options[CVResultWnd::kExpandValue] = 0;
  result_.LoadExpandState(1);
  GameResultMsg m = Normal(0);
  m.winInfo.categoryPoints.at(SCORE_JUNK) = 12;
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(result_.LayoutKind(), 0);
  std::vector<GVWnd*> shown;
  for (GVWnd* w : Children(result_))
    if (w->IsVisible()) shown.push_back(w);
  EXPECT_EQ(shown, (std::vector<GVWnd*>{result_.Background(), result_.WinLoseIcon(), result_.Headline(),
                                        result_.MoneyText(), result_.NoteText(), result_.MoneyLine(),
                                        result_.ExpandButton(), result_.OkButton(), result_.AutoStartToggle()}));
  EXPECT_EQ(std::tuple(result_.Headline()->GetText(), result_.WinLoseIcon()->GetFrame(),
                       result_.AutoStartToggle()->IsEnabled()),
            std::tuple(std::string("나님 승리!"), 0, 1));
  EXPECT_EQ(scene_.playedEffects, std::vector<int32_t>{28});
}

TEST_F(ResultShowTest, MultiplierRowsByMissionExponentsAndPenalties) {
  struct Case {
    const char* name;
    int32_t mission, shake, draws, go, meongtta;
    std::list<PenaltyRow> penalties;
    std::vector<std::string> rows;
    int64_t total;
  };
  const Case cases[] = {
      {"mission 1 shows nothing", 1, 0, 0, 0, 0, {}, {}, 1},
      {"mission 3 sets the total first", 3, 1, 0, 0, 0, {}, {"미션 3배", "흔듦 2배"}, 6},
      {"draws and 멍따", 0, 0, 1, 0, 3, {}, {"무승부 2배", "멍따 8배"}, 16},
      {"penalty of no seat", 0, 0, 0, 0, 0, {{-1, 1, 1}, {2, 1, 1}, {5, 0, 1}}, {}, 1},
      {"both penalties", 0, 0, 0, 0, 0, {{1, 1, 1}}, {"광박 2배", "피박 2배"}, 4},
      // The server's exponents stop at 2^30, and their product does not wrap.
      {"huge exponents", 0, 40, 33, -5, 31, {}, {"흔듦 1073741824배", "무승부 1073741824배", "멍따 1073741824배"},
       std::numeric_limits<int64_t>::max()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameResultMsg m = Normal(0);
    m.winInfo.categoryPoints.at(SCORE_BRIGHTS) = 3;
    m.winInfo.missionMult = c.mission;
    m.winInfo.shakeExp = c.shake;
    m.drawCount = c.draws;
    m.winInfo.goExp = c.go;
    m.winInfo.meongttaExp = c.meongtta;
    m.penalties = c.penalties;
    ASSERT_EQ(result_.ShowResult(&m), 1);
    EXPECT_EQ(Rows(false), c.rows);
    EXPECT_EQ(result_.TotalMultiplier(), c.total);
  }
}

TEST_F(ResultShowTest, PenaltyOfASeatWithoutScreenPositionAddsNothing) {
  scene_.model.room.seats.Player(1).screenPos = PlayerInfo::kNoScreenPos;
  GameResultMsg m = Normal(0);
  m.winInfo.categoryPoints.at(SCORE_JUNK) = 12;
  m.penalties = {{1, 1, 1}};
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(std::tuple(Rows(false).size(), result_.TotalMultiplier()), std::tuple(size_t{0}, int64_t{1}));
}

TEST_F(ResultShowTest, NormalEndMoneyLineMultipliesTotalBySum) {
  GameResultMsg m = Normal(0);
  m.winInfo.categoryPoints.at(SCORE_JUNK) = 12;
  m.winInfo.goExp = 1;
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(result_.MoneyLine()->GetText(), "점1000냥 x 24점");
  scene_.model.room.option.moneyPerPoint = 2'000'000'000;
  scene_.model.stakeFactor = 4;  // the product passes 32 bits
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(result_.MoneyLine()->GetText(), "점8000000000냥 x 24점");
}

TEST_F(ResultShowTest, HeadlinesNotesAndVoicesByEndType) {
  struct Case {
    const char* name;
    int32_t endType, winner, drawCount, totalPoints, fundRate, robotSeat, roomState, myUser;
    std::string headline, note, moneyLine;
    int32_t kind;
    std::vector<std::array<int32_t, 2>> voices;
  };
  const Case cases[] = {
      {"fund rate 30", 0, 0, 0, 0, 30, -1, 0, kMe, "나님 승리!", "(이벤트 기금 적립: 3%)", "점1000냥 x 0점", 0, {}},
      {"fund rate 25", 0, 0, 0, 0, 25, -1, 0, kMe, "나님 승리!", "(이벤트 기금 적립: 2.5%)", "점1000냥 x 0점", 0, {}},
      {"fund rate 0", 0, 0, 0, 0, 0, -1, 0, kMe, "나님 승리!", "(이벤트 기금 적립: 0%)", "점1000냥 x 0점", 0, {}},
      {"robot", 0, 0, 0, 0, 30, 1, 0, kMe, "나님 승리!", "(로봇 플레이시 머니 변동 없음)", "점1000냥 x 0점", 0, {}},
      {"robot item room", 0, 0, 0, 0, 30, 1, 60, kMe, "나님 승리!", "", "점1000냥 x 0점", 0, {}},
      {"observer", 0, 1, 0, 0, 30, -1, 0, 3, "상대님 승리!", "(이벤트 기금 적립: 3%)", "점1000냥 x 0점", 0, {}},
      {"four of a month after two draws", 1, 0, 2, 40, 0, -1, 0, kMe, "나님 승리!", "(이벤트 기금 적립: 0%)",
       "점1000냥 x 무승부4배 x 10점", 10, {{10030, 0}}},
      {"third puck", 2, 1, 0, 7, 0, -1, 0, kMe, "나님 패배!", "", "점1000냥 x 7점", 11, {{10024, 1}}},
      {"third puck of a robot", 2, 1, 0, 7, 0, 1, 0, kMe, "나님 패배!", "(로봇 플레이시 머니 변동 없음)",
       "점1000냥 x 7점", 11, {}},
      {"forfeit", 3, 0, 0, 5, 10, -1, 0, kMe, "나님 기권승!", "(이벤트 기금 적립: 1%)", "점1000냥 x 5점", 0, {}},
      {"forfeit lost", 3, 1, 0, 5, 10, -1, 0, kMe, "나님 기권패!", "", "점1000냥 x 5점", 0, {}},
      {"draw", 4, 7, 0, 0, 10, -1, 0, kMe, "무승부입니다!", "", "", 0, {{10028, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scene_.myUserNo = c.myUser;
    scene_.robotSeats = {0, c.robotSeat == 1};
    scene_.model.room.roomState = c.roomState;
    scene_.voices.clear();
    GameResultMsg m = Normal(c.winner);
    m.endType = c.endType;
    m.drawCount = c.drawCount;
    m.winInfo.totalPoints = c.totalPoints;
    m.eventFundRate = c.fundRate;
    ASSERT_EQ(result_.ShowResult(&m), 1);
    EXPECT_EQ(std::tuple(result_.Headline()->GetText(), result_.NoteText()->GetText(), result_.MoneyLine()->GetText(),
                         result_.LayoutKind(), scene_.voices),
              std::tuple(c.headline, c.note, c.moneyLine, c.kind, c.voices));
    EXPECT_EQ(result_.WinLoseIcon()->IsVisible(), c.myUser == kMe && c.endType != 4);
  }
}

TEST_F(ResultShowTest, DrawShowsNoMoneyAndLetsOnlyTheFirstPlayerStart) {
  GameResultMsg m = Normal(0);
  m.endType = 4;
  for (const auto& [first, enabled] : {std::pair(kMe, 1), std::pair(kOther, 0)}) {
    scene_.model.firstPlayerUserNo = first;
    ASSERT_EQ(result_.ShowResult(&m), 1);
    // Texts are made visible and empty: an empty one draws nothing.
    EXPECT_EQ(std::tuple(result_.MoneyText()->GetText(), result_.WinLoseIcon()->IsVisible(),
                         result_.AutoStartToggle()->IsVisible(), result_.AutoStartToggle()->IsEnabled()),
              std::tuple(std::string(), 0, 1, enabled));
  }
  EXPECT_TRUE(scene_.playedEffects.empty());
}

TEST_F(ResultShowTest, UnknownEndOrWinnerSeatShowsNothing) {
  GameResultMsg ok = Normal(0);
  ASSERT_EQ(result_.ShowResult(&ok), 1);
  for (auto [endType, winner] : {std::pair(5, 0), std::pair(0, 2), std::pair(3, -1)}) {
    GameResultMsg m = Normal(winner);
    m.endType = endType;
    EXPECT_EQ(result_.ShowResult(&m), 0);
    EXPECT_EQ(result_.IsVisible(), 0) << "the open panel was reset first";
  }
  EXPECT_EQ(result_.ShowResult(nullptr), 0);
}

TEST_F(ResultShowTest, SpaceAndF1FinishOnlyWhileOkShows) {
  for (UINT key : {0x20u, 0x70u}) {
    EXPECT_EQ(result_.OnKeyDown(key, 1, 0), 0);
    EXPECT_EQ(scene_.resultDoneSent, 0) << "OK hidden";
  }
  GameResultMsg m = Normal(0);
  for (UINT key : {0x20u, 0x70u}) {
    ASSERT_EQ(result_.ShowResult(&m), 1);
    EXPECT_EQ(result_.OnKeyDown(key, 1, 0), 0);
    EXPECT_EQ(result_.IsVisible(), 0);
  }
  EXPECT_EQ(std::tuple(scene_.resultDoneSent, scene_.resultClosed), std::tuple(2, 2));
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(result_.OnKeyDown('A', 1, 0), 0);
  EXPECT_EQ(result_.IsVisible(), 1);
}

TEST_F(ResultShowTest, ExpandButtonTogglesAndStoresTheChoice) {
  GameResultMsg m = Normal(0);
  m.winInfo.categoryPoints.at(SCORE_JUNK) = 12;
  m.winInfo.goExp = 1;
  ASSERT_EQ(result_.ShowResult(&m), 1);
  ASSERT_EQ(result_.LayoutKind(), 1) << "unread counts as expanded";
  auto click = [this] {
    const GPoint at = result_.ExpandButton()->GetRect().TopLeft() + GSize(1, 1);
    result_.OnLButtonDown(MK_LBUTTON, at);
    result_.OnLButtonUp(0, at);
  };
  click();
  EXPECT_EQ(std::tuple(result_.LayoutKind(), result_.ExpandButton()->ImageSet(), scene_.options[CVResultWnd::kExpandValue]),
            std::tuple(0, 0, 0u));
  click();
  EXPECT_EQ(std::tuple(result_.LayoutKind(), scene_.options[CVResultWnd::kExpandValue]), std::tuple(1, 1u));
  click();
  EXPECT_EQ(result_.Expanded(), 0);
  ASSERT_EQ(result_.ShowResult(&m), 1);
  EXPECT_EQ(result_.LayoutKind(), 0) << "the next result comes up folded";
  EXPECT_EQ(scene_.playedEffects, (std::vector<int32_t>{28, 19, 19, 19, 28}));
}

TEST_F(ResultShowTest, OkAndAutoStartClicks) {
  GameResultMsg m = Normal(0);
  ASSERT_EQ(result_.ShowResult(&m), 1);
  auto click = [this](GVWnd* w) {
    const GPoint at = w->GetRect().TopLeft() + GSize(1, 1);
    result_.OnLButtonDown(MK_LBUTTON, at);
    return result_.OnLButtonUp(0, at);
  };
  EXPECT_EQ(click(result_.AutoStartToggle()), 1);
  EXPECT_EQ(std::tuple(scene_.model.autoStart, result_.AutoStartToggle()->ImageSet()), std::tuple(1, 1));
  EXPECT_EQ(click(result_.OkButton()), 1);
  EXPECT_EQ(std::tuple(scene_.resultDoneSent, result_.IsVisible()), std::tuple(1, 0));
}

// 48 children of its own, the item panel's 10 among them.
TEST_F(ResultWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVResultWnd>(), 58); }

}  // namespace result_wnd_test
