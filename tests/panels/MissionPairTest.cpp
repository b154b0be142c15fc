// The two-card missions as both panels show them: the mission panel's revealed cards
// and the decision prompt's success pair are the same two cards, in the same order.
#include <gtest/gtest.h>

#include "panels/CVMissionWnd.h"
#include "panels/CVNotifyWnd.h"
#include "panels/PanelFilesFixture.h"

namespace mission_pair_test {

class MissionPairTest : public panel_test::PanelFilesTest {
 protected:
  void SetUp() override {
    PanelFilesTest::SetUp();
    ASSERT_EQ(mission_.Create(&scene_), 1);
    ASSERT_EQ(prompt_.Create(&scene_), 1);
  }
  panel_test::FakePanelScene scene_;
  CVMissionWnd mission_{&scene_};
  CVNotifyWnd prompt_{&scene_};
};

TEST_F(MissionPairTest, ThePromptsPairIsTheMissionPanelsCardsForEveryTwoCardMission) {
  for (int32_t id = 26; id <= 38; ++id) {
    SCOPED_TRACE(id);
    mission_.Reset();
    mission_.SetMission(id, 1, 1);
    mission_.RevealCards();
    ASSERT_EQ(prompt_.ShowMissionSuccess(9, id, 1), 1);
    for (int32_t slot = 0; slot < 2; ++slot) {
      EXPECT_EQ(mission_.Card(slot)->IsVisible(), 1);
      EXPECT_EQ(scene_.CardOfWidget(mission_.Card(slot)), prompt_.CardOfImage(slot)) << "slot " << slot;
    }
    EXPECT_EQ(mission_.Card(2)->IsVisible(), 0) << "a pair, not more";
  }
}

TEST_F(MissionPairTest, MissionsOfMoreCardsOrNoneHaveNoPair) {
  for (int32_t id = -1; id < 26; ++id) {
    SCOPED_TRACE(id);
    EXPECT_EQ(prompt_.ShowMissionSuccess(9, id, 1), 0);
    EXPECT_EQ(prompt_.IsVisible(), 0);
  }
}

}  // namespace mission_pair_test
