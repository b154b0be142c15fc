// The option panel's stored speed and volume, and its drawing that no child can stop.
#include "panels/CVUserOptionWnd.h"

#include <gtest/gtest.h>

#include <climits>

#include "panels/PanelPictureFixture.h"
#include "tables/PanelPaths.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVSlideWnd.h"

namespace user_option_wnd_test {

using panel_test::Art;

class UserOptionTest : public panel_test::PanelPicturesTest {
 protected:
  void SetUp() override {
    PanelPicturesTest::SetUp();
    const panel_test::PanelFile files[] = {
        {OptionBackPath, Art::Qls},          {OptionVolumeKnobPath, Art::Knob},
        {OptionSoundOffMarkPath, Art::Qls},  {OptionSpeedRadioPath, Art::Psp, 2},
        {OptionSoundCheckBoxPath, Art::Psp, 2}, {OptionRoomOptionAnimPath, Art::Qla},
        {OptionOkButtonPath, Art::Button},   {OptionVoiceRadioPath, Art::Psp, 2},
        {OptionSkinRadioPath, Art::Psp, 2}};
    WriteFiles(files);
    ASSERT_EQ(panel_.Create(&scene_), 1);
  }
  CVUserOptionWnd panel_{nullptr};
  // Children are found by point: they must not overlap where the tests click.
};

TEST_F(UserOptionTest, SavedSpeedBecomesAChoiceWithinTheFive) {
  const std::pair<int32_t, int32_t> cases[] = {{-3, 0}, {-1, 2}, {1, 4},      {-4, 0},
                                               {2, 4},  {INT_MIN, 0}, {INT_MAX, 4}};
  for (const auto& [saved, choice] : cases) {
    panel_.SetSpeed(saved);
    EXPECT_EQ(panel_.SpeedChoice(), choice) << saved;
  }
}

TEST_F(UserOptionTest, SliderFollowsTheVolumeAndTheSoundOffMarkItsBottom) {
  EXPECT_EQ(panel_.VolumeSlider()->GetMinimum(), CVUserOptionWnd::kVolumeMin);
  EXPECT_EQ(panel_.VolumeSlider()->GetValue(), CVUserOptionWnd::kVolumeMax);
  struct Case { int32_t volume; int32_t slider; BOOL mark; };
  const Case cases[] = {{-5000, -5000, 1}, {-4999, -4999, 0}, {0, 0, 0}, {-7000, -5000, 1}, {-2500, -2500, 0}};
  for (const Case& c : cases) {
    panel_.SetVolume(c.volume);
    EXPECT_EQ(panel_.Volume(), c.volume);
    EXPECT_EQ(panel_.VolumeSlider()->GetValue(), c.slider) << c.volume;
    EXPECT_EQ(panel_.SoundOffMark()->IsVisible(), c.mark) << c.volume;
  }
}

TEST_F(UserOptionTest, DrawingIgnoresChildrenThatFail) {
  const GRect clip(0, 0, 800, 600);
  // Without a target every child fails its draw; the common panel walk would stop at 0.
  EXPECT_EQ(panel_.Draw(nullptr, clip), 1);
  panel_.Show(1);
  EXPECT_EQ(panel_.Draw(nullptr, clip), 1);
  EXPECT_EQ(panel_.CVPanelWnd::Draw(nullptr, clip), 0);
}

// What a test clicks: a point inside a child.
GPoint Inside(GVWnd* child) { return child->GetPos() + GSize(1, 1); }
constexpr UINT kLeftHeld = 0x0001;

TEST(UserOptionFind, KeyIsFoundInTheFirstPieceHoldingIt) {
  struct Case { const char* options; const char* key; int32_t value; };
  const Case cases[] = {
      {"SM=2|UP30=1|PE=1", "SM", 2}, {"SM=2|UP30=1|PE=1", "UP30", 1}, {"SM=2|UP30=1|PE=1", "PE", 1},
      {"XSM=5|SM=2", "SM", 5},       {"SM|SM=3", "SM", 0},            {"", "SM", 0},
      {"UP30=1", "SM", 0},           {"SM=99999999999", "SM", INT_MAX}, {"SM=-7x", "SM", -7},
      {"A=1||SM=4|", "SM", 4},       {"SM=1=2", "SM", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(CVUserOptionWnd::FindRoomOption(c.options, c.key), c.value) << c.options;
}

class UserOptionOpenTest : public UserOptionTest {
 protected:
  void SetUp() override {
    UserOptionTest::SetUp();
    RCRoomData& room = scene_.model.room;
    room.playerCount = 2;
    room.option.moneyPerPoint = 1000;
    room.antiLeaveGameCount = 5;
    scene_.model.gameInfo.entryMinMoney = 30000;
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < CVUserOptionWnd::kRoomLines; ++i) {
      GVLightTextWnd* line = panel_.RoomLine(i);
      lines.push_back(line->IsVisible() ? line->GetText() : "(hidden)");
    }
    return lines;
  }
  void Enter(int32_t state, const char* options) {
    scene_.model.room.roomState = state;
    scene_.model.room.optionString = options;
    panel_.SetRoomOptions();
    panel_.Close();
    ASSERT_EQ(panel_.Open(0), 1);
  }
};

TEST_F(UserOptionOpenTest, RoomLinesAreCentredAndStayAtTheTopAfterAnAntiLeaveRoom) {
  const std::string count = "인원:2", password = "비밀번호:설정안함";
  const std::string entry = "입장제한:3만냥", money = "점당머니:1000냥";
  const std::string age = "연령제한:30대이상", noAge = "연령제한:제한없음";
  Enter(1, "SM=1");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"", count, password, entry, money, noAge,
                                               "게임속도:보통", ""}));
  Enter(9, "SM=2|UP30=1|PE=1");
  EXPECT_EQ(Lines(), (std::vector<std::string>{count, password, entry, money, "먹튀방지:5판", age,
                                               "게임속도:빠름", ""}));
  Enter(1, "UP30=1");
  EXPECT_EQ(Lines(), (std::vector<std::string>{count, password, entry, money, age, "게임속도:느림", "", ""}));
  scene_.model.room.password = "abc";
  Enter(1, "SM=7");
  EXPECT_EQ(Lines(), (std::vector<std::string>{count, "비밀번호:abc", entry, money, noAge, "(hidden)", "", ""}));
  EXPECT_EQ(panel_.Open(0), 0) << "already open";
  for (int32_t i = 0; i < 20; ++i) Enter(8, "PE=0");
  EXPECT_EQ(panel_.RoomLineCount(), CVUserOptionWnd::kRoomLines) << "the growth is held at the line total";
  EXPECT_EQ(Lines()[4], "먹튀방지:설정안함");
}

TEST_F(UserOptionOpenTest, FastRoomDimsAndLocksTheSlowerSpeedChoices) {
  scene_.model.room.speedKind = 2;
  Enter(1, "SM=2");
  for (int32_t i = 0; i < CVUserOptionWnd::kSpeedChoices; ++i) {
    const bool dim = i < 4;
    EXPECT_EQ(panel_.SpeedChoiceWnd(i)->GetEffectLevel(), dim ? 23 : 0) << i;
    EXPECT_EQ(panel_.SpeedChoiceWnd(i)->GetPlacementFlags() & 0xFFFF, dim ? 1u : 0u) << i;
  }
  const int32_t before = panel_.SpeedChoice();
  EXPECT_EQ(panel_.OnLButtonDown(0, Inside(panel_.SpeedChoiceWnd(1))), 0);
  EXPECT_EQ(panel_.SpeedChoice(), before);
  scene_.model.room.speedKind = 0;
  Enter(1, "SM=1");
  EXPECT_EQ(panel_.SpeedChoiceWnd(0)->GetEffectLevel(), 0);
  EXPECT_EQ(panel_.OnLButtonDown(0, Inside(panel_.SpeedChoiceWnd(1))), 1);
  EXPECT_EQ(panel_.SpeedChoice(), 1);
  EXPECT_EQ(panel_.SpeedChoiceWnd(1)->GetFrame(), 1);
}

TEST_F(UserOptionOpenTest, SoundSwitchHidesTheVoicesAndAnotherVoiceIsPreviewed) {
  scene_.myUserNo = 7;
  scene_.seatUsers = {-1, 7};
  Enter(1, "");
  for (int32_t i = 0; i < CVUserOptionWnd::kVoiceChoices; ++i) {
    const bool named = !panel_.VoiceLabel(i)->GetText().empty();
    EXPECT_EQ(panel_.VoiceChoiceWnd(i)->IsVisible(), named ? 1 : 0) << i;
  }
  EXPECT_EQ(panel_.OnLButtonDown(0, Inside(panel_.SoundCheck())), 1);
  EXPECT_EQ(panel_.SoundEffect(), 0);
  for (int32_t i = 0; i < CVUserOptionWnd::kVoiceChoices; ++i) {
    EXPECT_EQ(panel_.VoiceChoiceWnd(i)->IsVisible(), 0) << i;
    EXPECT_EQ(panel_.VoiceLabel(i)->IsVisible(), 0) << i;
  }
  panel_.OnLButtonDown(0, Inside(panel_.SoundCheck()));
  ASSERT_EQ(panel_.VoiceChoiceWnd(1)->IsVisible(), 1);
  panel_.OnLButtonDown(0, Inside(panel_.VoiceChoiceWnd(0)));
  EXPECT_TRUE(scene_.previews.empty()) << "the voice set already chosen";
  panel_.OnLButtonDown(0, Inside(panel_.VoiceChoiceWnd(1)));
  EXPECT_EQ(scene_.previews, (std::vector<std::array<int32_t, 3>>{{10001, 1, 1}}));
  EXPECT_EQ(panel_.Voice(), 1);
}

TEST_F(UserOptionOpenTest, OkAppliesOnlyWhenPressedAndReleasedOnIt) {
  Enter(1, "");
  const GPoint ok = Inside(panel_.OkButton());
  panel_.OnLButtonDown(0, ok);
  panel_.OnLButtonUp(0, ok);
  EXPECT_EQ(scene_.appliedOptions, 1);
  panel_.OnLButtonDown(0, ok);
  const GPoint away(2000, 2000);
  panel_.OnMouseMove(kLeftHeld, away);
  panel_.OnLButtonUp(0, away);
  EXPECT_EQ(scene_.appliedOptions, 1);
  EXPECT_EQ(panel_.OkButton()->GetFrame(), 0);
  EXPECT_EQ(panel_.TrackedChild(), nullptr);
}

TEST_F(UserOptionOpenTest, SliderIsHeardOnReleaseAndItsBottomIsSilence) {
  panel_.SetVolume(CVUserOptionWnd::kVolumeMin);
  Enter(1, "");
  GVSlideWnd* slider = panel_.VolumeSlider();
  const GRect k = slider->GetKnobRect();
  const GPoint knob = slider->GetPos() + GSize(k.left + slider->GetKnobSize().cx / 2, k.top + 1);
  EXPECT_EQ(panel_.OnLButtonDown(0, knob), 1);
  panel_.OnMouseMove(kLeftHeld, knob + GSize(30, 0));
  EXPECT_EQ(panel_.SoundOffMark()->IsVisible(), 0);
  panel_.OnLButtonUp(0, knob + GSize(30, 0));
  EXPECT_EQ(panel_.Volume(), -3500);
  EXPECT_EQ(scene_.volumes, std::vector<int32_t>{-3500});
  EXPECT_EQ(scene_.playedEffects, std::vector<int32_t>{19});
  panel_.OnLButtonDown(0, knob + GSize(30, 0));
  panel_.OnMouseMove(kLeftHeld, GPoint(-40, knob.y));
  EXPECT_EQ(panel_.SoundOffMark()->IsVisible(), 1);
  panel_.OnLButtonUp(0, GPoint(-40, knob.y));
  EXPECT_EQ(panel_.Volume(), CVUserOptionWnd::kVolumeMin);
}

}  // namespace user_option_wnd_test
