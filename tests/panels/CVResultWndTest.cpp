// The result panel's children at the points of layout kind 0, the item panel among
// them, and the points of every layout kind.
#include "panels/CVResultWnd.h"

#include <gtest/gtest.h>

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

// 48 children of its own, the item panel's 10 among them.
TEST_F(ResultWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVResultWnd>(), 58); }

}  // namespace result_wnd_test
