// The decision prompt's children at layout 0, every one hidden until a prompt shows it.
#include "panels/CVNotifyWnd.h"

#include <gtest/gtest.h>

#include "panels/CVPSPPushBtn.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"
#include "base/TextUtil.h"
#include "plat/sim_kernel.h"

namespace notify_wnd_test {

class NotifyWndTest : public panel_test::PanelFilesTest {
 protected:
  panel_test::FakePanelScene scene_;
};

TEST_F(NotifyWndTest, CreateMakesTheChildrenHiddenAtLayoutZero) {
  CVNotifyWnd prompt(&scene_);
  ASSERT_EQ(prompt.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(prompt.GetRect(), prompt.IsVisible(), prompt.IsEnabled(), prompt.Mode(), prompt.LayoutIndex()),
            std::tuple(GRect(432, 196, 623, 418), 0, 1, -1, 0));
  std::vector<Placed> rows{{"title", prompt.TitleAnimation(), {432, 196}, 0}};
  for (int32_t c = 0; c < CVNotifyWnd::kCards; ++c) {
    rows.push_back({"side", prompt.CardSide(c), {0, 0}, 0});
    rows.push_back({"card", prompt.CardImage(c), {331, 241}, 0});
  }
  rows.insert(rows.end(), {{"effect", prompt.EffectAnimation(), {432, 196}, 0},
                           {"line 1", prompt.TextLine(1), {437, 288}, 0},
                           {"line 2", prompt.TextLine(2), {437, 301}, 0},
                           {"line 3", prompt.TextLine(3), {437, 288}, 0},
                           {"yes", prompt.YesButton(), {449, 299}, 0},
                           {"no", prompt.NoButton(), {533, 299}, 0},
                           {"side money", prompt.SideMoneyMark(), {432, 368}, 0}});
  ExpectPlaced(rows);
  EXPECT_EQ(Children(prompt), Order(rows));
  ExpectText(prompt.TextLine(1), {181, 14}, 0xFFFFFF, DT_CENTER, "line 1");
  ExpectText(prompt.TextLine(2), {181, 14}, 0x00FFFF, DT_CENTER, "line 2");
  ExpectText(prompt.TextLine(3), {181, 14}, 0xFFFFFF, DT_CENTER, "line 3");
  EXPECT_EQ(prompt.TextLine(4), nullptr);
  EXPECT_EQ(std::pair(prompt.YesButton()->IsEnabled(), prompt.NoButton()->IsEnabled()), std::pair(1, 1));
  // Twelve sets of the yes button, four of the no button.
  EXPECT_EQ(std::pair(prompt.YesButton()->SetImageSet(11), prompt.YesButton()->SetImageSet(12)), std::pair(1, 0));
  EXPECT_EQ(std::pair(prompt.NoButton()->SetImageSet(3), prompt.NoButton()->SetImageSet(4)), std::pair(1, 0));
}

TEST_F(NotifyWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVNotifyWnd>(), 16); }

}  // namespace notify_wnd_test

namespace notify_wnd_test {

using Sender = IPanelScene::PromptSender;

class NotifyPromptTest : public NotifyWndTest {
 protected:
  void SetUp() override {
    NotifyWndTest::SetUp();
    ASSERT_EQ(prompt_.Create(&scene_), 1);
  }
  std::string Line(int32_t n) const {
    GVTextWnd* line = prompt_.TextLine(n);
    return line->IsVisible() ? line->GetText() : std::string("-");
  }
  std::array<BOOL, 2> Buttons() const { return {prompt_.YesButton()->IsVisible(), prompt_.NoButton()->IsVisible()}; }
  CVNotifyWnd prompt_{&scene_};
};

TEST_F(NotifyPromptTest, PromptModesShowTheirTextsLayoutsAndButtons) {
  struct Case {
    int32_t mode, n;
    int64_t amount;
    int32_t yesBase, other;
    BOOL sideMark;
    std::string line1, line2, line3;
    int32_t layout;
    std::array<BOOL, 2> buttons;
    std::array<int32_t, 2> sets;
  };
  const std::string stop = "(스톱시 " + FormatMoney(-1500000, 2) + ")";
  const std::string stopWin = "(스톱시 " + FormatMoney(30000, 2) + ")";
  const Case cases[] = {
      {6, 0, 0, 0, 0, 0, "-", "-", "-", 2, {0, 0}, {0, 0}},
      {7, 0, 50000, 0, 0, 0, "(첫뻑: 50000냥)", "-", "-", 1, {0, 0}, {0, 0}},
      {8, 3, 50000, 0, 0, 0, "(3번째: 50000냥)", "-", "-", 1, {0, 0}, {0, 0}},
      {9, 0, 30000, 0, 0, 0, "(성공: 30000냥)", "-", "-", 1, {0, 0}, {0, 0}},
      {10, 0, 20000, 0, 0, 0, "-", "-", "-", 2, {0, 0}, {0, 0}},
      {10, 0, -1500000, 0, 0, 0, stop, "-", "-", 2, {0, 0}, {0, 0}},
      {15, 0, 0, 4, 0, 0, "-", "-", "-", 0, {1, 1}, {0, 0}},
      {16, 7, -1, 4, 0, 0, "(현재 7점)", "-", "-", 0, {1, 1}, {5, 1}},
      {19, 7, 30000, 2, 0, 1, stopWin, "-", "-", 0, {1, 1}, {3, 1}},
      {20, 7, -1, 0, 0, 1, "-", "-", "(현재 7점)", 0, {1, 1}, {1, 1}},
      {17, 7, 0, 0, 0, 0, "옮길 경우 멍따(x2) 실패!", "-", "-", 0, {1, 1}, {0, 0}},
      {17, 18, 0, 0, 0, 0, "옮길 경우 '고'(7점->6점)불가!", "-", "-", 0, {1, 1}, {0, 0}},
      {17, 5, 0, 0, 0, 0, "-", "-", "-", 0, {1, 1}, {0, 0}},
      {18, 0, 20000, 0, 10000, 0, "-", "(" + FormatMoney(10000, 2) + " -> " + FormatMoney(20000, 2) + ")", "-", 0,
       {1, 1}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " n " << c.n);
    ASSERT_EQ(prompt_.ShowNotifyPrompt(c.mode, c.n, c.amount, c.yesBase, c.other, c.sideMark), 1);
    EXPECT_EQ(std::tuple(Line(1), Line(2), Line(3)), std::tuple(c.line1, c.line2, c.line3));
    EXPECT_EQ(std::tuple(prompt_.Mode(), prompt_.LayoutIndex(), prompt_.IsVisible(), Buttons()),
              std::tuple(c.mode, c.layout, 1, c.buttons));
    if (c.buttons[0]) {
      EXPECT_EQ(std::pair(prompt_.YesButton()->ImageSet(), prompt_.NoButton()->ImageSet()),
                std::pair(c.sets[0], c.sets[1]));
    }
    // Only modes 16 and 19 show the side mark, and only when asked.
    EXPECT_EQ(prompt_.SideMoneyMark()->IsVisible(), c.sideMark && (c.mode == 16 || c.mode == 19));
    EXPECT_EQ(prompt_.GetRect().TopLeft(), CVNotifyWnd::kLayoutBases[c.layout]);
  }
}

TEST_F(NotifyPromptTest, ModesOutsideAShowChangeNothing) {
  ASSERT_EQ(prompt_.ShowNotifyPrompt(15, 0, 0, 0, 0, 0), 1);
  scene_.playedEffects.clear();
  for (int32_t mode : {5, 21}) EXPECT_EQ(prompt_.ShowNotifyPrompt(mode, 0, 0, 0, 0, 0), 0);
  std::list<int32_t> cards{1, 2};
  for (int32_t mode : {-1, 6}) EXPECT_EQ(prompt_.ShowNotice(mode, cards), 0);
  EXPECT_EQ(prompt_.ShowMissionSuccess(8, 26, 0), 0);
  EXPECT_EQ(std::tuple(prompt_.Mode(), prompt_.IsVisible(), scene_.playedEffects.size()), std::tuple(15, 1, 0u));
}

TEST_F(NotifyPromptTest, EffectsAndTheirStop) {
  const std::pair<int32_t, int32_t> cases[] = {{6, 27}, {10, 25}, {16, 25}, {19, 25}, {20, 25}, {18, 27}};
  for (const auto& [mode, effect] : cases) {
    SCOPED_TRACE(mode);
    scene_.playedEffects.clear();
    scene_.stoppedEffects.clear();
    prompt_.ShowNotifyPrompt(mode, 0, 0, 0, 0, 0);
    EXPECT_EQ(scene_.playedEffects, std::vector<int32_t>{effect});
    EXPECT_EQ(prompt_.Close(), 1);
    EXPECT_EQ(scene_.stoppedEffects, effect == 25 ? std::vector<int32_t>{25} : std::vector<int32_t>{});
    EXPECT_EQ(prompt_.Close(), 0) << "closed already";
  }
  std::list<int32_t> cards{0};
  scene_.playedEffects.clear();
  prompt_.ShowNotice(1, cards);
  prompt_.ShowMissionSuccess(9, 26, 0);
  EXPECT_EQ(scene_.playedEffects, std::vector<int32_t>{27}) << "the mission notice is silent";
}

TEST_F(NotifyPromptTest, KeysAnswerByTheTableOnlyWhileTheButtonShows) {
  scene_.myUserNo = 7;
  scene_.seatUsers = {7, 9};
  struct Case {
    int32_t mode;
    std::vector<std::array<int32_t, 2>> answers;  // F1 then F2
  };
  const auto s = [](Sender sender) { return static_cast<int32_t>(sender); };
  const Case cases[] = {
      {3, {{s(Sender::kFourOfMonth), 1}, {s(Sender::kFourOfMonth), 0}}},
      {5, {{s(Sender::kPickFloorCard), 12}, {s(Sender::kPickFloorCard), 30}}},
      {15, {{s(Sender::kShake), 1}, {s(Sender::kShake), 0}}},
      {16, {{s(Sender::kGoOrStop), 1}, {s(Sender::kGoOrStop), 0}}},
      {19, {{s(Sender::kGoOrStop), 1}, {s(Sender::kGoOrStop), 0}}},
      {20, {{s(Sender::kGoOrStop), 1}, {s(Sender::kGoOrStop), 0}}},
      {17, {{s(Sender::kNineTen), 1}, {s(Sender::kNineTen), 0}}},
      {18, {{s(Sender::kStakeVote), 1}, {s(Sender::kStakeVote), 0}}},
      {6, {}},
      {12, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    scene_.answers.clear();
    scene_.promptHides = 0;
    for (UINT key : {CVNotifyWnd::kYesKey, CVNotifyWnd::kNoKey}) {
      std::list<int32_t> cards{12, 30};
      if (c.mode <= 5) {
        prompt_.ShowNotice(c.mode, cards);
      } else {
        prompt_.ShowNotifyPrompt(c.mode, 0, 0, 0, 0, 0);
      }
      EXPECT_EQ(prompt_.OnKeyDown(key, 1, 0), 0);
      prompt_.Close();
      EXPECT_EQ(prompt_.OnKeyDown(key, 1, 0), 0) << "hidden";
    }
    EXPECT_EQ(scene_.answers, c.answers);
    EXPECT_EQ(scene_.promptHides, static_cast<int32_t>(c.answers.size()));
  }
  // An observer, or this client on a robot seat, sees the four cards without buttons.
  for (auto seats : {std::array<int32_t, 2>{1, 9}, std::array<int32_t, 2>{7, 9}}) {
    scene_.seatUsers = seats;
    scene_.robotSeats = {seats[0] == 7, 0};
    scene_.answers.clear();
    std::list<int32_t> cards{0, 1, 2, 3};
    ASSERT_EQ(prompt_.ShowNotice(3, cards), 1);
    EXPECT_EQ(Buttons(), (std::array<BOOL, 2>{0, 0}));
    prompt_.OnKeyDown(CVNotifyWnd::kYesKey, 1, 0);
    EXPECT_TRUE(scene_.answers.empty());
  }
}

TEST_F(NotifyPromptTest, PickFloorCardAnswersOnlyWithARealCard) {
  std::list<int32_t> one{20};
  ASSERT_EQ(prompt_.ShowNotice(5, one), 1);
  EXPECT_EQ(std::pair(prompt_.YesButton()->IsVisible(), prompt_.YesButton()->IsEnabled()), std::pair(1, 0));
  prompt_.OnKeyDown(CVNotifyWnd::kNoKey, 1, 0);
  EXPECT_TRUE(scene_.answers.empty()) << "card image 2 holds no card";
  prompt_.OnKeyDown(CVNotifyWnd::kYesKey, 1, 0);
  EXPECT_EQ(scene_.answers, (std::vector<std::array<int32_t, 2>>{{static_cast<int32_t>(Sender::kPickFloorCard), 20}}));
}

TEST_F(NotifyPromptTest, CardsAreCentredAndSpacedByTheirCount) {
  struct Case {
    int32_t mode;
    std::list<int32_t> cards;
    std::vector<GPoint> at;
  };
  // Layout 1 puts the title at (259, 138); layout 0 at (432, 196).
  const Case cases[] = {
      {1, {5}, {{259 + 78, 138 + 115}}},
      {0, {5}, {{259 + 74, 138 + 115}}},
      {2, {5, 9}, {{259 + 42, 253}, {259 + 114, 253}}},
      {4, {9, 1, 5}, {{259 + 30, 243}, {259 + 78, 243}, {259 + 126, 243}}},  // 12 apart
      {3, {0, 1, 2, 3}, {{432 + 19, 196 + 93}, {432 + 58, 289}, {432 + 97, 289}, {432 + 136, 289}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    std::list<int32_t> cards = c.cards;
    ASSERT_EQ(prompt_.ShowNotice(c.mode, cards), 1);
    for (size_t i = 0; i < c.at.size(); ++i) {
      EXPECT_EQ(prompt_.CardImage(int32_t(i))->GetPos(), c.at[i]) << i;
      EXPECT_EQ(prompt_.CardImage(int32_t(i))->IsVisible(), 1);
      EXPECT_EQ(prompt_.CardSide(int32_t(i))->IsVisible(), c.mode == 0);
      if (c.mode == 0) {
        EXPECT_EQ(prompt_.CardSide(int32_t(i))->GetPos(), c.at[i] + GSize(36, 0));
      }
    }
  }
  std::list<int32_t> unsorted{9, 1, 5};
  prompt_.ShowNotice(4, unsorted);
  EXPECT_EQ(unsorted, (std::list<int32_t>{1, 5, 9})) << "mode 4 sorts the caller's list";
  EXPECT_EQ(prompt_.CardOfImage(0), 1);
  std::list<int32_t> five{0, 1, 2, 3, 4}, bad{3, 50};
  EXPECT_EQ(prompt_.ShowNotice(1, five), 0);
  EXPECT_EQ(prompt_.IsVisible(), 0) << "the old prompt closed";
  EXPECT_EQ(prompt_.ShowNotice(1, bad), 0);
  EXPECT_EQ(std::tuple(prompt_.IsVisible(), prompt_.CardOfImage(0), prompt_.CardImage(0)->GetPos()),
            std::tuple(0, 50, GPoint(331, 241)));
}

TEST_F(NotifyPromptTest, MissionSuccessShowsTheMissionsPair) {
  const std::array<int32_t, 2> pairs[] = {{8, 28}, {0, 8},  {0, 28},  {0, 4},   {0, 12},  {0, 32}, {0, 36},
                                          {12, 36}, {12, 20}, {13, 32}, {12, 32}, {12, 24}, {8, 24}};
  for (int32_t mission = 26; mission <= 38; ++mission) {
    SCOPED_TRACE(mission);
    ASSERT_EQ(prompt_.ShowMissionSuccess(9, mission, 30000), 1);
    const auto& pair = pairs[mission - 26];
    EXPECT_EQ(std::tuple(prompt_.CardOfImage(0), prompt_.CardOfImage(1), prompt_.CardImage(0)->GetPos(),
                         prompt_.CardImage(1)->GetPos(), Line(1), prompt_.LayoutIndex()),
              std::tuple(pair[0], pair[1], GPoint(259 + 58, 138 + 114), GPoint(259 + 97, 252), std::string("(성공: 30000냥)"), 1));
  }
  for (int32_t mission : {25, 39}) {
    EXPECT_EQ(prompt_.ShowMissionSuccess(9, mission, 0), 0);
    EXPECT_EQ(prompt_.IsVisible(), 0);
  }
}

TEST_F(NotifyPromptTest, ADragOffTheButtonSendsNothingButRedraws) {
  scene_.playedEffects.clear();
  ASSERT_EQ(prompt_.ShowNotifyPrompt(15, 0, 0, 0, 0, 0), 1);
  const GPoint yes = prompt_.YesButton()->GetPos() + GSize(2, 2);
  EXPECT_EQ(prompt_.OnMouseMove(0, yes), 1) << "the pointer comes over the button first";
  ASSERT_EQ(prompt_.OnLButtonDown(1, yes), 1);
  EXPECT_EQ(prompt_.OnMouseMove(1, GPoint(0, 0)), 1) << "dragged off, still the button's";
  prompt_.SetDirty(0);
  EXPECT_EQ(prompt_.OnLButtonUp(0, GPoint(0, 0)), 0);
  EXPECT_TRUE(scene_.answers.empty());
  EXPECT_EQ(prompt_.IsDirty(), 1);
  // Pressed and released on it: the answer, the hide and the click.
  ASSERT_EQ(prompt_.OnLButtonDown(1, yes), 1);
  EXPECT_EQ(prompt_.OnLButtonUp(0, yes), 1);
  EXPECT_EQ(scene_.answers, (std::vector<std::array<int32_t, 2>>{{static_cast<int32_t>(Sender::kShake), 1}}));
  EXPECT_EQ(std::pair(scene_.promptHides, scene_.playedEffects.back()), std::pair(1, 19));
}

TEST_F(NotifyPromptTest, TickReportsOnlyAnAdvancedAnimation) {
  EXPECT_EQ(prompt_.TickAnimation(), 0) << "hidden animations do not run";
  prompt_.ShowNotifyPrompt(6, 0, 0, 0, 0, 0);
  prompt_.SetDirty(0);
  int32_t advanced = 0;
  for (int32_t i = 0; i < 20; ++i) {
    plat::sim::AdvanceClock(50);
    advanced += prompt_.TickAnimation();
  }
  EXPECT_GT(advanced, 0);
}

}  // namespace notify_wnd_test
