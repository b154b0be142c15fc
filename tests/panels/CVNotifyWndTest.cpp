// The decision prompt's children at layout 0, every one hidden until a prompt shows it.
#include "panels/CVNotifyWnd.h"

#include <gtest/gtest.h>

#include "panels/CVPSPPushBtn.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"

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
