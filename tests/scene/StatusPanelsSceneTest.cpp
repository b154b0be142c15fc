// The observer and play-count panels in a built game window: their message boxes come
// up over the host window and close themselves in virtual time, a click reaches the
// panels through the window system, and the host's answer to a portal dialog (event
// 26) acts only once the panel is built.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/CVGFPlayCountWnd.h"
#include "panels/CVObserveSystemWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "base/TextUtil.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"
#include "tables/NoticeTexts.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using testing_support::GameTableTest;
using testing_support::HostSlot;
using testing_support::OpenWatch;
using Observer = CVObserveSystemWnd;

class StatusPanelsSceneTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    SeatOther(1);
    host.Clear();
    trace.Clear();
  }
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    GameTableTest::TearDown();
  }
  // Every box is counted; `key` answers it, none lets it close itself.
  void AnswerBoxes(int key) {
    plat::sim::SetModalHook([this, key](HWND dialog) {
      if (seenBox == dialog) return;
      seenBox = dialog;
      ++boxes;
      std::string text;
      for (const std::string& line : plat::sim::DrawnTexts(dialog)) text += (text.empty() ? "" : "\n") + line;
      boxTexts.push_back(text);
      boxOwner = GetWindow(dialog, GW_OWNER);
      if (key) plat::sim::PressKey(key);
    });
  }
  void Click(GVWnd* w) {
    const GRect r = w->GetRect();
    plat::sim::Click(wnd->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump();
  }
  // The texts drawn in each box, one line each.
  std::vector<std::string> Boxes() const { return boxTexts; }
  std::vector<std::string> Events(HostSlot slot = HostSlot::NotifyEvent) const {
    std::vector<std::string> out;
    for (const auto& c : host.CallsTo(slot)) out.push_back(c.line);
    return out;
  }
  std::vector<std::string> boxTexts;
  HWND seenBox = nullptr;
  HWND boxOwner = nullptr;
  int32_t boxes = 0;
};

TEST_F(StatusPanelsSceneTest, TheSafeButtonWithoutASafeShowsABoxThatClosesItselfAfterTwoSeconds) {
  Observer* panel = scene->ObservePanel();
  ASSERT_NE(panel, nullptr);
  panel->Show(1);
  scene->MyUser().safeAllowance = 0;
  AnswerBoxes(0);
  const DWORD before = GetTickCount();
  Click(panel->ChildAt(Observer::kSafeButton));
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(GetTickCount() - before, 2000u) << "closed by its own time-out";
  EXPECT_EQ(boxOwner, GetAncestor(wnd->Handle(), GA_ROOT));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"금고를 보유하지 않으셨습니다."});
  EXPECT_TRUE(Events().empty());
  EXPECT_TRUE(host.SentBytes().empty());
  EXPECT_EQ(trace.effects, std::vector<int32_t>{IPanelScene::kEffectClick});

  // With a safe the portal's safe dialog is asked for instead, and no box comes up.
  boxes = 0;
  scene->MyUser().safeAllowance = 1;
  Click(panel->ChildAt(Observer::kSafeButton));
  EXPECT_EQ(boxes, 0);
  EXPECT_EQ(Events(), std::vector<std::string>{"NotifyEvent(7, 30, (null), 0)"});
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>{Words({22, Observer::kObserveAsked})});
}

// The limit alert's every step reaches the screen: the tick draws the panel again.
TEST_F(StatusPanelsSceneTest, ThePlayCountAlertIsDrawnAsItRuns) {
  CVGFPlayCountWnd* panel = scene->Widgets().playCountPanel;
  panel->SetPlayCount(298, 0);
  panel->NotifyLimit(2);
  scene->StartGameTimer(CDorvik2VWS::kTickTimer, 0);
  plat::sim::Advance(50);  // the timer's first tick
  Pump();
  std::vector<int32_t> frames;
  for (int32_t step = 0; step < 6; ++step) {
    plat::sim::Advance(50);
    Pump();
    EXPECT_FALSE(panel->IsDirty()) << "drawn at step " << step;
    frames.push_back(panel->Alert()->GetFrame());
  }
  EXPECT_NE(frames.front(), frames.back()) << "the alert ran";
}

TEST_F(StatusPanelsSceneTest, TheInfoButtonsBoxesComeUpOverTheHostWindowAndCloseInFiveSeconds) {
  CVGFPlayCountWnd* panel = scene->Widgets().playCountPanel;
  ASSERT_NE(panel, nullptr);
  struct Case {
    int32_t pcCafe;
    int64_t membershipEnd, royal;
    int key;
    std::vector<std::string> boxes;
    DWORD elapsed;
    std::vector<std::string> events;
  };
  // The body's lines, then the heading.
  const std::string cafe = FormatString(PcCafeNoticeText, 300) + "\n" + PcCafeNoticeTitle;
  const std::string member =
      std::string(MembershipRoyalLine) + FormatString(MembershipNoticeText, 300) + "\n" + MembershipNoticeTitle;
  const Case cases[] = {
      {1, 0, 0, 0, {cafe}, 5000, {}},
      {1, 0, 0, VK_RETURN, {cafe}, 0, {}},
      {0, 20121231235959, 1, 0, {member}, 5000, {}},
      {0, 0, 0, 0, {}, 0, {R"(SetText("14", 36, "1030"))"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (&c - cases));
    RCUser& me = scene->MyUser();
    me.pcCafeCode = c.pcCafe;
    me.membershipEnd = c.membershipEnd;
    me.itemMoney.at(ITEM_MONEY_ROYAL) = c.royal;
    panel->SetPlayCount(10, c.membershipEnd);
    AnswerBoxes(c.key);
    boxes = 0;
    boxTexts.clear();
    seenBox = nullptr;
    host.Clear();
    trace.Clear();
    const DWORD before = GetTickCount();
    // The button lies wholly under the ticker's strip, which takes the window's clicks
    // there: the press and release go to the panel itself.
    const GRect r = panel->InfoButton()->GetRect();
    const GPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    panel->OnLButtonDown(MK_LBUTTON, at);
    panel->OnLButtonUp(0, at);
    EXPECT_EQ(boxes, int32_t(c.boxes.size()));
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(GetTickCount() - before, c.elapsed);
    EXPECT_EQ(Events(HostSlot::SetText), c.events);
    EXPECT_EQ(trace.effects, std::vector<int32_t>{IPanelScene::kEffectClick});
  }
}

TEST_F(StatusPanelsSceneTest, TheHostsAnswerToAServiceDialogGrantsTheStateAndReadsTheBalancesAgain) {
  testing_support::RecordingHost::EventAnswer open;
  open.result = 1;
  host.ScriptEvent(Observer::kServiceQueryEvent, open);
  int32_t code = 26, value = Observer::kFirstServiceCode;
  client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"1"), &value);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>{Words({22, Observer::kObserveGranted})});
  EXPECT_EQ(Events().size(), 2u) << "both services asked about";
  host.Clear();
  value = Observer::kRefusingCode;
  client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"1"), &value);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>{Words({22, Observer::kObserveIdle})});
}

// The host may answer before the panels exist: with no panel nothing is sent, and the
// same answer acts once the build is done.
using ObserverBeforeBuildTest = GameTableTest;

TEST_F(ObserverBeforeBuildTest, AnAnswerBeforeTheBuildDoesNothing) {
  int32_t code = 26, value = Observer::kFirstServiceCode;
  EXPECT_EQ(client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"1"), &value), 0) << "no scene yet";

  OpenWatch gate({.holdAt = "Hwatoo\\normal.bmp", .until = [this] { return wnd->LoaderCancelRequested(); }});
  MakeTable(1);
  ASSERT_TRUE(gate.WaitHeld(kThreadWaitMs));
  ASSERT_FALSE(scene->IsReady());
  host.Clear();
  EXPECT_EQ(client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"1"), &value), 0);
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_EQ(scene->ObserveState(), Observer::kObserveIdle);

  gate.Release();
  WaitForLoader(wnd);
  Pump();
  ASSERT_TRUE(scene->IsReady());
  client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"1"), &value);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>{Words({22, Observer::kObserveGranted})});
  EXPECT_EQ(scene->ObserveState(), Observer::kObserveGranted);
}

}  // namespace
