// The host's top bar and its local buttons, the chat macros, auto-play, kicks, the
// money notices and the stored options applied from the option panel.
#include <gtest/gtest.h>

#include <climits>

#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"
#include "widgets/GVQLAniWnd.h"

namespace {

using testing_support::GameTableTest;
using testing_support::HostSlot;

class TopBarTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    host.Clear();
    trace.Clear();
  }
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    GameTableTest::TearDown();
  }
  // Every message box is answered with the key; the texts are kept.
  void AnswerBoxes(int32_t key) {
    plat::sim::SetModalHook([this, key](HWND) {
      ++boxes;
      plat::sim::PressKey(key);
    });
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (const auto& c : host.CallsTo(HostSlot::NotifyEvent)) out.push_back(c.line);
    return out;
  }
  std::string ChatText() const {
    std::string text;
    for (const auto& c : host.CallsTo(HostSlot::AddText)) text += c.texts.at(0);
    return text;
  }
  int32_t boxes = 0;
};

TEST_F(TopBarTest, ButtonStateSendsEvent45AndSetsTheLocalButton) {
  CVPSPPushBtn* exitButton = scene->Widgets().exitButton;
  struct Case { const char* word; int32_t shown, enabled, set; const char* event; BOOL visible, live; };
  const Case cases[] = {
      {"exit", 0, 0, -1, R"(NotifyEvent(7, 45, "exit", 0))", 0, 0},
      {"exit", 1, 0, 5, R"(NotifyEvent(7, 45, "exit", 1))", 1, 0},
      {"exit", 1, 1, 1, R"(NotifyEvent(7, 45, "exit", 17))", 1, 1},
  };
  for (const Case& c : cases) {
    host.Clear();
    scene->SetButtonState(c.word, c.shown, c.enabled, c.set);
    EXPECT_EQ(Events(), std::vector<std::string>{c.event});
    EXPECT_EQ(exitButton->IsVisible(), c.visible) << c.event;
    EXPECT_EQ(exitButton->IsEnabled(), c.live) << c.event;
    EXPECT_EQ(exitButton->ImageSet(), 0) << "a set the button lacks is ignored";
  }
  host.Clear();
  scene->SetButtonState("foo", 0, 0);
  EXPECT_EQ(Events(), std::vector<std::string>{R"(NotifyEvent(7, 45, "", 0))"});
  EXPECT_EQ(exitButton->IsVisible(), 1);
}

TEST_F(TopBarTest, PlayAndExitButtonsFollowTheSeat) {
  struct Case { int32_t show, roomState; bool seated, free; int32_t reserved; std::vector<std::string> events; };
  const Case cases[] = {
      {0, 1, true, false, 0, {R"(NotifyEvent(7, 45, "play", 0))", R"(NotifyEvent(7, 45, "observe", 0))"}},
      {1, 60, false, true, 0, {R"(NotifyEvent(7, 45, "play", 0))", R"(NotifyEvent(7, 45, "observe", 0))"}},
      {1, 1, true, false, 1, {R"(NotifyEvent(7, 45, "play", 17))", R"(NotifyEvent(7, 45, "observe", 0))"}},
      {1, 1, true, false, 0, {R"(NotifyEvent(7, 45, "play", 0))", R"(NotifyEvent(7, 45, "observe", 17))"}},
      {1, 1, false, true, 0, {R"(NotifyEvent(7, 45, "observe", 0))", R"(NotifyEvent(7, 45, "play", 17))"}},
      {1, 1, false, false, 0, {R"(NotifyEvent(7, 45, "observe", 0))", R"(NotifyEvent(7, 45, "play", 1))"}},
  };
  for (const Case& c : cases) {
    scene->GetPlayer(0).Reset();
    scene->GetPlayer(1).Reset();
    c.seated ? SeatMe(0) : SeatOther(0);
    if (!c.free) scene->GetPlayer(1).userNo = kOther + 1;
    scene->GetPlayer(0).observeReserved = c.reserved;
    scene->GetRoomData().roomState = c.roomState;
    host.Clear();
    scene->UpdatePlayButtons(c.show);
    EXPECT_EQ(Events(), c.events) << c.show << " " << c.roomState << " " << c.seated << c.free;
    if (!c.seated && c.show && c.roomState != 60) {
      EXPECT_EQ(scene->Widgets().observePanel->PlayButtonEnabled(), c.free ? 1 : 0);
    }
  }
  struct Exit { int32_t show; bool seated; int32_t reserved; std::vector<std::string> events; };
  const Exit exits[] = {
      {0, true, 1, {R"(NotifyEvent(7, 45, "exit", 0))", R"(NotifyEvent(7, 45, "cancelexit", 0))"}},
      {1, false, 0, {R"(NotifyEvent(7, 45, "exit", 17))", R"(NotifyEvent(7, 45, "cancelexit", 0))"}},
      {1, true, 0, {R"(NotifyEvent(7, 45, "exit", 17))", R"(NotifyEvent(7, 45, "cancelexit", 0))"}},
      {1, true, 1, {R"(NotifyEvent(7, 45, "exit", 0))", R"(NotifyEvent(7, 45, "cancelexit", 17))"}},
  };
  for (const Exit& c : exits) {
    scene->GetPlayer(0).Reset();
    if (c.seated) SeatMe(0);
    scene->GetPlayer(0).exitReserved = c.reserved;
    host.Clear();
    scene->UpdateExitButtons(c.show);
    EXPECT_EQ(Events(), c.events);
  }
}

TEST_F(TopBarTest, HostButtonsActByWordAndAntiLeaveAsksFirst) {
  SeatMe(0);
  SeatOther(1);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  RCRoomData& room = scene->GetRoomData();
  room.roomState = 9;
  room.antiLeaveLevel = 1;
  scene->Model().antiLeave = 1;
  AnswerBoxes(VK_ESCAPE);
  scene->OnHostButton("observe", 0);
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(host.SentBytes().empty()) << "No keeps the seat";
  AnswerBoxes(VK_RETURN);
  scene->OnHostButton("observe", 0);
  EXPECT_EQ(host.SentBytes().size(), 1u);
  host.Clear();
  scene->OnHostButton("macro", 3);
  EXPECT_EQ(host.SentBytes().size(), 1u);
  host.Clear();
  scene->OnHostButton("option", 0);
  EXPECT_TRUE(scene->Widgets().optionPanel->IsOpen());
  EXPECT_EQ(Events(), std::vector<std::string>{R"(NotifyEvent(7, 45, "option", 1))"});
  EXPECT_EQ(trace.effects, std::vector<int32_t>{19});
  EXPECT_EQ(scene->OpenOptionPanel(), 0) << "already open";
  EXPECT_EQ(scene->ShowVipButtonIfOpen(), 0);
  // "play": join while waiting or unseated in a game, else watch.
  room.roomState = 1;
  for (int32_t mode : {1, 2, 3}) {
    host.Clear();
    scene->SetSceneMode(mode);
    scene->OnHostButton("play", 0);
    EXPECT_EQ(host.SentBytes().size(), mode == 1 ? 0u : 1u) << "seated: mode " << mode;
  }
}

TEST_F(TopBarTest, ChatMacroSpeaksSendsAndPausesTheMacroButton) {
  SeatMe(0);
  SeatOther(1);
  scene->SendChatMacro(10, kMe);
  scene->SendChatMacro(-1, kMe);
  EXPECT_TRUE(host.Calls().empty() && trace.voices.empty());
  scene->AddMutedUser(kOther);
  scene->SendChatMacro(6, kOther);
  EXPECT_TRUE(trace.voices.empty()) << "a muted speaker";
  scene->SendChatMacro(6, kMe);
  EXPECT_EQ(trace.voices, (std::vector<std::array<int32_t, 2>>{{10042, 0}}));
  EXPECT_EQ(Events(), (std::vector<std::string>{Utf8(u8R"(NotifyEvent(7, 57, "좋았어!! ^o^", 12))"),
                                                R"(NotifyEvent(7, 45, "macro", 1))"}));
  host.Clear();
  scene->WaitPumpingMessages(2100);
  EXPECT_EQ(Events(), std::vector<std::string>{R"(NotifyEvent(7, 45, "macro", 17))"});
}

TEST_F(TopBarTest, AutoPlayRestartsTheTurnCountdown) {
  SeatMe(0);
  SeatOther(1);
  scene->Model().turnUserNo = kMe;
  StartPhase(CDorvik2VWS::kPhasePlayCard);
  scene->Timers().SetCountdown(15, 15);
  scene->SetAutoPlay(1);
  EXPECT_EQ(scene->GetPhase(), CDorvik2VWS::kPhasePlayCard);
  EXPECT_EQ(ChatText(), Utf8(u8"자동치기 진행중 입니다."));
  EXPECT_EQ(scene->Widgets().autoPlaySettingButton->ImageSet(), 1);
  scene->WaitPumpingMessages(900);
  EXPECT_EQ(scene->GetPhase(), CDorvik2VWS::kPhasePlayCard) << "not yet";
  host.Clear();
  scene->SetAutoPlay(0);
  EXPECT_EQ(ChatText(), Utf8(u8"자동치기 기능을 종료합니다."));
  EXPECT_EQ(scene->Model().autoPlay, 0);
  const int32_t limits[] = {0, 2, 2, 1, 0, 0, 2, 0, 1, 2, 0, 2, 0, 0, 2, 2, 0, 10};
  for (int32_t phase = 0; phase < 18; ++phase) EXPECT_EQ(CDorvik2VWS::AutoPlayLimitSeconds(phase), limits[phase]);
  EXPECT_EQ(CDorvik2VWS::AutoPlayLimitSeconds(18), 0);
}

TEST_F(TopBarTest, KickIsAskedOnlyOfTheOwnerAndCostsSevenPoints) {
  SeatMe(0);
  SeatOther(1);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->GetRoomData().option.moneyPerPoint = 1000;
  scene->MyUser().money = 6999;
  AnswerBoxes(VK_RETURN);
  scene->RequestKick(kOther);
  EXPECT_EQ(boxes, 0) << "not the owner";
  scene->Model().tableOwnerUserNo = kMe;
  scene->Model().game.kickReservations = {kOther};
  scene->RequestKick(kOther);
  EXPECT_EQ(boxes, 0) << "already on the kick list";
  scene->Model().game.kickReservations.clear();
  scene->RequestKick(kOther);
  EXPECT_EQ(boxes, 1) << "the money box";
  EXPECT_EQ(trace.effects, std::vector<int32_t>{27});
  EXPECT_TRUE(host.SentBytes().empty());
  scene->MyUser().money = 7000;
  scene->RequestKick(kOther);
  EXPECT_EQ(host.SentBytes(), std::vector<std::string>{Words({5, kOther})});
  host.Clear();
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->RequestKick(kOther);
  EXPECT_TRUE(host.SentBytes().empty()) << "mode 2 without the kick-allowed flag";
  scene->GetRoomData().option.moneyPerPoint = INT_MAX;
  scene->MyUser().money = int64_t(INT_MAX) * 7 - 1;
  boxes = 0;
  scene->RequestKick(kOther);
  EXPECT_EQ(boxes, 1) << "the cost does not wrap";
}

TEST_F(TopBarTest, StakeLabelsAndMoneyRecord) {
  const char* labels[] = {"점1천냥", "점3천냥", "점5천냥", "점1만냥", "점3만냥", "점5만냥", "점30만냥", "점100만냥", "점300만냥"};
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(CDorvik2VWS::StakeLabel(i), labels[i]);
  EXPECT_EQ(CDorvik2VWS::StakeLabel(9), labels[0]);
  EXPECT_EQ(CDorvik2VWS::StakeLabel(-1), labels[0]);
  SeatMe(0);
  SeatOther(1);
  scene->AppendMoneyRecord();
  EXPECT_TRUE(Events().empty()) << "no seat has a side";
  scene->GetPlayer(0).screenPos = 0;
  scene->GetPlayer(1).screenPos = 1;
  scene->GetPlayer(0).money = 5000000000;
  scene->GetPlayer(0).totalMoney = 6;
  scene->GetPlayer(1).money = -1;
  scene->AppendMoneyRecord();
  EXPECT_EQ(Events(), std::vector<std::string>{R"(NotifyEvent(7, 31, "|7=5000000000,6||9=-1,0|", 24))"});
}

TEST_F(TopBarTest, MoneyNoticesPlayTheirAnimationsAndTellTheChat) {
  SeatMe(0);
  SeatOther(1);
  scene->GetPlayer(0).screenPos = 0;
  scene->GetPlayer(1).screenPos = 1;
  scene->MoneyBellNotice({{kMe, 400000, 3}, {55, 1, 1}, {kOther, 5, 1}});
  EXPECT_EQ(scene->Widgets().moneyBellAnim->GetAnimationIndex(), 2);
  EXPECT_EQ(scene->GetPlayer(0).moneyBellCount, 3);
  EXPECT_EQ(scene->GetPlayer(0).money, 400000);
  EXPECT_EQ(scene->GetPlayer(1).money, 0) << "a missing seat stops the list";
  EXPECT_EQ(trace.effects, std::vector<int32_t>{36});
  EXPECT_NE(ChatText().find(Utf8(u8"40만냥")), std::string::npos);
  host.Clear();
  scene->RefillNotice(3, {{kMe, 200000, 2}, {55, 1, 1}, {kOther, 750000, 0}});
  EXPECT_EQ(scene->Widgets().autoRefillAnims[0]->GetAnimationIndex(), 0);
  EXPECT_EQ(scene->Widgets().autoRefillAnims[1]->GetAnimationIndex(), 3);
  EXPECT_EQ(scene->Widgets().autoRefillTexts[0]->GetText(), "남은 리필 2회");
  EXPECT_EQ(scene->Widgets().autoRefillTexts[1]->GetText(), "남은 리필 없음");
  EXPECT_EQ(scene->GetPlayer(1).money, 750000) << "a missing seat is skipped";
  EXPECT_EQ(ChatText(), Utf8(u8"자동리필 +20만냥, 리필이 2회 남았습니다."));
  EXPECT_EQ(Events().size(), 1u) << "one money record";
  EXPECT_FALSE(scene->Widgets().autoRefillAnims[0]->IsPlaying());
}

TEST_F(TopBarTest, ResultEffectLoopsForTheSeat) {
  scene->PlayResultEffect(0);
  EXPECT_EQ(trace.stopped, (std::vector<int32_t>{49, 50}));
  EXPECT_TRUE(trace.effects.empty()) << "no seat of mine";
  SeatMe(1);
  scene->PlayResultEffect(1);
  scene->PlayResultEffect(0);
  EXPECT_EQ(trace.effects, (std::vector<int32_t>{49, 50}));
}

TEST_F(TopBarTest, StatusTextShowsOnTheStatusLabel) {
  scene->SetStatusText("ready");
  EXPECT_EQ(scene->Widgets().statusText->GetText(), "ready");
  EXPECT_EQ(scene->StatusText(), "ready");
}

}  // namespace

namespace {

using OptionsApplyTest = TopBarTest;

TEST_F(OptionsApplyTest, OkSavesAndAppliesInOrderAndOnlyAChangeIsSummarised) {
  CVUserOptionWnd* panel = scene->Widgets().optionPanel;
  scene->ApplyUserOptions();
  EXPECT_TRUE(Events().empty()) << "a closed panel applies nothing";
  ASSERT_EQ(scene->OpenOptionPanel(), 1);
  host.Clear();
  trace.Clear();
  panel->SetVolume(-6000);
  scene->ApplyUserOptions();
  EXPECT_EQ(scene->EffectVolume(), -10000);
  EXPECT_EQ(Events(), std::vector<std::string>{R"(NotifyEvent(7, 45, "option", 17))"});
  EXPECT_TRUE(host.CallsTo(HostSlot::AddText).empty()) << "only the volume changed";
  std::string text;
  ASSERT_EQ(scene->ReadRegString(CSceneOptions::kSubKey, "Option_Volume", text), 1);
  EXPECT_EQ(text, "-6000");

  SeatMe(0);
  ASSERT_EQ(scene->OpenOptionPanel(), 1);
  host.Clear();
  panel->SetSpeedChoice(2);
  panel->SetSoundEffect(0);
  panel->SetVoice((scene->Model().myVoiceSet + 1) % 4);
  panel->SetSkin(2);
  GVWnd* oldBackground = scene->Widgets().background;
  scene->ApplyUserOptions();
  EXPECT_EQ(scene->Options().speed, -1);
  EXPECT_EQ(scene->AnimSteps(0), 5);
  ASSERT_EQ(scene->ReadRegString(CSceneOptions::kSubKey, "Option_Speed", text), 1);
  EXPECT_EQ(text, "-1");
  EXPECT_EQ(scene->Options().skin, 2);
  EXPECT_NE(scene->Widgets().background, oldBackground);
  EXPECT_EQ(scene->GetWndList().back(), scene->Widgets().background) << "the cloth lies at the bottom";
  const auto calls = host.Calls();
  std::vector<std::string> order;
  for (const auto& c : calls) {
    if (c.slot == HostSlot::Send) order.push_back("send");
    if (c.slot == HostSlot::NotifyEvent) order.push_back(c.line);
    if (c.slot == HostSlot::AddText && (order.empty() || order.back() != "chat")) order.push_back("chat");
  }
  EXPECT_EQ(order, (std::vector<std::string>{R"(NotifyEvent(7, 45, "macro", 1))", "send",
                                             R"(NotifyEvent(7, 45, "option", 17))", "chat"}));
  EXPECT_EQ(ChatText(), Utf8(u8"게임옵션 : 패속도(보통), 목소리(클래식), 배경화면(브라운)"));
  EXPECT_EQ(trace.effects.back(), 19);
}

}  // namespace
