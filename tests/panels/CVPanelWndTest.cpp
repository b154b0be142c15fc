// The panel base: the drawing walk, the press handed to the child under the point, Clear.
#include <gtest/gtest.h>

#include <string>

#include "panels/CVPanelWnd.h"

namespace panel_wnd_test {

// A child that logs its draws and presses and answers as told.
class ProbeWnd : public GVWnd {
 public:
  ProbeWnd(std::string n, std::vector<std::string>& log, BOOL answer) : name(std::move(n)), log_(log), answer_(answer) {}
  ~ProbeWnd() override { log_.push_back("~" + name); }
  BOOL Draw(IDirectDrawSurface4*, const GRect&) override { return IsVisible() ? (log_.push_back(name), answer_) : 1; }
  BOOL OnLButtonDown(UINT, GPoint) override { return log_.push_back("press " + name), answer_; }
  std::string name;
  std::vector<std::string>& log_;
  BOOL answer_;
};

class Panel : public CVPanelWnd {
 public:
  ProbeWnd* Add(std::string name, std::vector<std::string>& log, BOOL answer, BOOL show, GRect rect = {0, 0, 10, 10}) {
    auto* child = new ProbeWnd(std::move(name), log, answer);
    child->SetRect(rect);
    EXPECT_TRUE(Adopt(child, show));
    return child;
  }
  bool AdoptNull() { return Adopt(nullptr, 1); }
};

TEST(CVPanelWndTest, DrawingWalksTheShownChildrenUntilOneFails) {
  struct Case { BOOL panelShown; std::vector<BOOL> shown, answers; BOOL result; std::vector<std::string> drawn; };
  const Case cases[] = {
      {0, {1, 1}, {1, 1}, 1, {}},
      {1, {1, 0, 1}, {1, 0, 1}, 1, {"c0", "c2"}},
      {1, {1, 1, 1}, {1, 0, 1}, 0, {"c0", "c1"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    {
      Panel panel;
      for (size_t i = 0; i < c.shown.size(); ++i) panel.Add("c" + std::to_string(i), log, c.answers[i], c.shown[i]);
      panel.Show(c.panelShown);
      EXPECT_EQ(panel.Draw(nullptr, GRect(0, 0, 800, 600)), c.result);
      EXPECT_EQ(log, c.drawn);
    }
    EXPECT_EQ(log.size(), c.drawn.size() + c.shown.size());  // every child deleted with the panel
  }
}

TEST(CVPanelWndTest, APressGoesToTheFrontMostLiveChildUnderThePoint) {
  std::vector<std::string> log;
  Panel panel;
  // Drawn first and covering the others, as a panel's back picture does.
  ProbeWnd* back = panel.Add("back", log, 1, 1, GRect(0, 0, 40, 40));
  panel.Add("takes", log, 1, 1);
  ProbeWnd* refuses = panel.Add("refuses", log, 0, 1, GRect(0, 0, 5, 5));
  panel.Add("hidden", log, 1, 0);
  EXPECT_EQ(panel.ChildFromPoint(GPoint(2, 2), GVWnd::kHitVisible), refuses) << "the hidden one is passed over";
  EXPECT_EQ(static_cast<ProbeWnd*>(panel.ChildFromPoint(GPoint(2, 2), 0))->name, "hidden") << "without flags it stands in front";
  EXPECT_EQ(panel.ChildFromPoint(GPoint(30, 30), GVWnd::kHitVisible), back);
  EXPECT_EQ(panel.OnLButtonDown(0, GPoint(2, 2)), 0);
  panel.SetDirty(0);
  EXPECT_EQ(panel.OnLButtonDown(0, GPoint(7, 7)), 1);
  EXPECT_EQ(panel.IsDirty(), 1);
  panel.Enable(0);
  EXPECT_EQ(panel.OnLButtonDown(0, GPoint(7, 7)), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"press refuses", "press takes"}));
  EXPECT_EQ(panel.ChildFromPoint(GPoint(50, 50), 0), nullptr);
  EXPECT_FALSE(panel.AdoptNull());
  EXPECT_EQ(panel.HideAll(), 1);
  EXPECT_EQ(refuses->IsVisible(), 0);
  panel.Clear();
  EXPECT_EQ(log.back(), "~hidden");
  EXPECT_TRUE(panel.GetChildren().empty());
}

}  // namespace panel_wnd_test
