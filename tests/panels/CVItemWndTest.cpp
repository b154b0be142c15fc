// The item panel's children: made hidden at (0, 0) + their offsets, moved with the panel.
#include "panels/CVItemWnd.h"

#include <gtest/gtest.h>

#include "panels/CVPSPPushBtn.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLSWnd.h"

namespace item_wnd_test {

class ItemWndTest : public panel_test::PanelFilesTest {
 protected:
  // The children at `at` + their offsets, in creation order.
  static std::vector<Placed> Layout(CVItemWnd& item, GPoint at) {
    std::vector<Placed> rows{{"back", item.Background(), at, 0}};
    for (int32_t r = 0; r < CVItemWnd::kChoiceRows; ++r) {
      rows.push_back({"mark " + std::to_string(r), item.ChoiceMark(r), at + GSize(112, 20 + 17 * r), 0});
      rows.push_back({"text " + std::to_string(r), item.ChoiceText(r), at + GSize(125, 22 + 17 * r), 1});
    }
    rows.push_back({"tip box", item.TipBox(), GPoint(0, 0), 0});
    rows.push_back({"tip text", item.TipText(), GPoint(0, 0), 1});
    rows.push_back({"withdraw", item.WithdrawButton(), at + GSize(192, 26), 0});
    return rows;
  }
  panel_test::FakePanelScene scene_;
};

TEST_F(ItemWndTest, CreateMakesTheChildrenAtTheOriginAndTheHiddenPanelTakesInput) {
  CVItemWnd item(&scene_);
  ASSERT_EQ(item.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(item.GetRect(), item.IsVisible(), item.IsEnabled(), item.ItemIndex()),
            std::tuple(GRect(0, 0, 300, 92), 0, 1, -1));
  const std::vector<Placed> rows = Layout(item, GPoint(0, 0));
  ExpectPlaced(rows);
  EXPECT_EQ(Children(item), Order(rows));
  for (int32_t r = 0; r < CVItemWnd::kChoiceRows; ++r) {
    EXPECT_EQ(item.ChoiceMark(r)->IsEnabled(), 1);
    ExpectText(item.ChoiceText(r), GSize(65, 12), 0x7BF6F8, DT_LEFT, "choice text");
  }
  ExpectText(item.TipText(), GSize(12, 12), 0x000000, DT_CENTER, "tip text");
  EXPECT_EQ(std::tuple(item.TipBox()->GetRect(), item.TipBox()->GetFillColor(), item.TipBox()->GetFillLevel()),
            std::tuple(GRect(0, 0, 16, 16), COLORREF(0xE1FFFF), 0));
}

TEST_F(ItemWndTest, MovingThePanelMovesItsChildrenAndHidesTheTip) {
  CVItemWnd item(&scene_);
  ASSERT_EQ(item.Create(&scene_), 1);
  item.TipBox()->Show(1);
  item.SetPos(GPoint(210, 358));
  EXPECT_EQ(item.GetRect(), GRect(210, 358, 510, 450));
  std::vector<Placed> rows = Layout(item, GPoint(210, 358));
  rows[rows.size() - 2].shown = 0;  // the tip text hides with its box
  ExpectPlaced(rows);
}

TEST_F(ItemWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVItemWnd>(), 10); }

}  // namespace item_wnd_test
