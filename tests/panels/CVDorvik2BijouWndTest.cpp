// The bijou panel's children at the lower left corner, hidden and inactive after Create.
#include "panels/CVDorvik2BijouWnd.h"

#include <gtest/gtest.h>

#include "panels/CVQLATextWnd.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace bijou_wnd_test {

class BijouWndTest : public panel_test::PanelFilesTest {
 protected:
  panel_test::FakePanelScene scene_;
};

TEST_F(BijouWndTest, CreateMakesTheChildrenHiddenInDrawingOrder) {
  CVDorvik2BijouWnd bijou(&scene_);
  ASSERT_EQ(bijou.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(bijou.GetRect(), bijou.IsVisible(), bijou.IsActive()), std::tuple(GRect(1, 519, 119, 574), 0, 0));
  const std::vector<Placed> rows{{"back", bijou.Background(), {1, 519}, 0},
                                 {"full", bijou.FullPicture(), {1, 519}, 0},
                                 {"kind animation", bijou.KindAnimation(), {28, 529}, 0},
                                 {"kind picture", bijou.KindPicture(), {28, 529}, 0},
                                 {"digits", bijou.CountDigits(), {70, 554}, 0},
                                 {"gain text", bijou.GainText(), {21, 549}, 0},
                                 {"gain animation", bijou.GainAnimation(), {21, 549}, 0}};
  ExpectPlaced(rows);
  EXPECT_EQ(Children(bijou), Order(rows));
  EXPECT_EQ(std::pair(bijou.CountDigits()->GetRect().Size(), bijou.CountDigits()->GetStyle()),
            std::pair(GSize(44, 14), GVPSPNumberWnd::kRightAligned));
  EXPECT_EQ(bijou.GainText()->GetRect(), GRect(21, 549, 101, 579));
  EXPECT_EQ(std::pair(std::string(bijou.GainAnimation()->GetName()), bijou.GainAnimation()->GetAnimationIndex()),
            std::pair(std::string("dama"), 1));
}

// Seven children, the gain text's twelve character animations among the calls.
TEST_F(BijouWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVDorvik2BijouWnd>(), 19); }

}  // namespace bijou_wnd_test
