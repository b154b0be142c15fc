// The option panel's stored speed and volume, and its drawing that no child can stop.
#include "panels/CVUserOptionWnd.h"

#include <gtest/gtest.h>

#include <climits>

#include "panels/PanelPictureFixture.h"
#include "tables/PanelPaths.h"
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
        {OptionOkButtonPath, Art::Button}};
    WriteFiles(files);
    ASSERT_EQ(panel_.Create(&scene_), 1);
  }
  CVUserOptionWnd panel_{nullptr};
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

}  // namespace user_option_wnd_test
