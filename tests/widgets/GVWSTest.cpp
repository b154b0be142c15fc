#include "widgets/GVWS.h"

#include <gtest/gtest.h>

#include "RecordingWnd.h"
#include "WidgetTestSupport.h"
#include "plat/winuser.h"

namespace widget_test {
namespace {

using Names = std::vector<std::string>;

class GVWSTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    back_ = MakeSurface(dd_, 800, 600);
    ws_ = std::make_unique<GVWS>();
    ws_->SetRect(0, 0, 800, 600);
  }
  void TearDown() override {
    ws_.reset();
    back_ = nullptr;
    DisplayTest::TearDown();
  }
  RecordingWnd* Add(const char* name, GRect r) {
    auto* w = new RecordingWnd(journal_, name, r);
    ws_->AddWnd(w);
    return w;
  }
  GRect Draw(GRect area = GRect()) {
    journal_.draws.clear();
    return ws_->Draw(back_.Get(), area);
  }
  // Two full frames: a widget's history (the stretch to the origin of its first
  // rectangle) survives until it has been drawn in two frames running; afterwards its
  // drawn and previous drawn rectangles both equal its rectangle.
  void Settle() {
    Draw();
    ws_->SetFullRedraw();
    Draw();
    journal_.draws.clear();
  }
  Names Receivers() {
    Names out;
    for (const auto& in : journal_.inputs) out.push_back(in.name);
    return out;
  }
  std::pair<GVWnd*, GVWnd*> FocusAndHover() { return {ws_->GetFocusWnd(), ws_->GetHoverWnd()}; }
  Names FrontToBack() {
    Names out;
    for (GVWnd* w : ws_->GetWndList()) out.push_back(static_cast<RecordingWnd*>(w)->Name());
    return out;
  }
  Journal journal_;
  DDSurface back_;
  std::unique_ptr<GVWS> ws_;
};

TEST_F(GVWSTest, FirstFrameDrawsEverythingBackToFrontThenALateWidgetRepaintsFromTheOrigin) {
  Add("back", GRect(0, 0, 800, 600));
  Add("mid", GRect(100, 100, 300, 300));
  Add("front", GRect(200, 200, 400, 400));
  EXPECT_EQ(Draw(), GRect(0, 0, 800, 600));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"back", "mid", "front"}));
  for (const auto& d : journal_.draws) EXPECT_EQ(d.clip, GRect(0, 0, 800, 600));
  EXPECT_FALSE(ws_->IsFullRedraw());
  Settle();
  // Its rectangles start at (0, 0, 0, 0) and the union keeps them; "front" only
  // touches the area's corner.
  Add("late", GRect(100, 100, 200, 200));
  EXPECT_EQ(Draw(), GRect(0, 0, 200, 200));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"back", "mid", "late"}));
}

TEST_F(GVWSTest, MovedWidgetRepaintsOldAndNewPlace) {
  RecordingWnd* w = Add("w", GRect(0, 0, 50, 50));
  Add("old-neighbour", GRect(20, 20, 40, 40));
  Add("far", GRect(500, 500, 600, 600));
  ws_->AddWndAtBottom(w);
  Settle();
  w->SetRect(GRect(100, 100, 200, 200));
  EXPECT_EQ(Draw(), GRect(0, 0, 200, 200));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"w", "old-neighbour"}));
  for (const auto& d : journal_.draws) EXPECT_EQ(d.clip, GRect(0, 0, 200, 200));
  // The previous frame's drawn rectangle is merged in once more, then nothing.
  w->SetRect(GRect(300, 300, 310, 310));
  EXPECT_EQ(Draw(), GRect(0, 0, 310, 310));
  EXPECT_EQ(Draw(), GRect());
}

TEST_F(GVWSTest, DirtyWidgetsAreJoinedAndAFullRedrawCoversEveryWidgetOnce) {
  RecordingWnd* a = Add("a", GRect(10, 10, 20, 20));
  RecordingWnd* b = Add("b", GRect(300, 300, 310, 310));
  Settle();
  EXPECT_EQ(Draw(), GRect());
  a->SetDirty(1);
  b->SetDirty(1);
  EXPECT_EQ(Draw(), GRect(10, 10, 310, 310));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"a", "b"}));
  ws_->SetFullRedraw();
  EXPECT_EQ(Draw(), GRect(0, 0, 800, 600));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"a", "b"}));
  EXPECT_FALSE(ws_->IsFullRedraw());
  EXPECT_EQ(Draw(), GRect());
  EXPECT_TRUE(journal_.draws.empty());
}

TEST_F(GVWSTest, CleanWidgetsMeetingTheAreaAreRedrawnHiddenOnesToo) {
  RecordingWnd* dirty = Add("dirty", GRect(100, 100, 200, 200));
  RecordingWnd* hidden = Add("hidden", GRect(150, 150, 250, 250));
  Add("touching", GRect(200, 100, 300, 200));  // shares an edge only
  Add("apart", GRect(400, 400, 500, 500));
  ws_->AddWndAtBottom(dirty);
  Settle();
  hidden->Show(0);
  Draw();  // a hidden widget stays dirty through its own draw; this pass cleans it
  dirty->SetDirty(1);
  EXPECT_EQ(Draw(), GRect(100, 100, 200, 200));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"dirty", "hidden"}));
  EXPECT_FALSE(hidden->IsDirty());
}

TEST_F(GVWSTest, AreaIsClippedToTheScreenAndDisabledDrawingOrNoTargetStillMergesRectangles) {
  RecordingWnd* a = Add("a", GRect(10, 10, 20, 20));
  Settle();
  a->SetDirty(1);
  EXPECT_EQ(Draw(GRect()), GRect(10, 10, 20, 20));  // empty area: the whole screen
  a->SetDirty(1);
  EXPECT_EQ(Draw(GRect(900, 900, 1000, 1000)), GRect());
  EXPECT_TRUE(journal_.draws.empty());
  a->SetDirty(1);
  EXPECT_EQ(Draw(GRect(15, 0, 900, 900)), GRect(15, 10, 20, 20));
  ASSERT_EQ(journal_.draws.size(), 1u);
  EXPECT_EQ(journal_.draws[0].clip, GRect(15, 10, 20, 20));
  Settle();
  a->SetRect(GRect(30, 30, 40, 40));
  ws_->SetDrawingEnabled(0);
  EXPECT_EQ(Draw(), GRect());
  EXPECT_EQ(a->GetPrevDrawnRect(), GRect(10, 10, 40, 40));
  ws_->SetDrawingEnabled(1);
  journal_.draws.clear();
  EXPECT_EQ(ws_->Draw(nullptr, GRect()), GRect());
  EXPECT_TRUE(journal_.draws.empty() && a->IsDirty());
}

TEST_F(GVWSTest, FailingWidgetWordIsCopiedAndRedrawGoesOn) {
  RecordingWnd* under = Add("under", GRect(0, 0, 100, 100));
  RecordingWnd* bad = Add("bad", GRect(10, 10, 50, 50));
  RecordingWnd* over = Add("over", GRect(20, 20, 60, 60));
  Settle();
  bad->failWith = E_FAIL;
  bad->SetDirty(1);
  EXPECT_EQ(Draw(), GRect(10, 10, 50, 50));
  EXPECT_EQ(journal_.DrawOrder(), (Names{"under", "bad", "over"}));
  EXPECT_EQ(ws_->GetLastResult(), E_FAIL);
  // Every widget of the partial path is clean afterwards, the failing one included.
  for (GVWnd* w : {static_cast<GVWnd*>(under), static_cast<GVWnd*>(bad), static_cast<GVWnd*>(over)}) {
    EXPECT_FALSE(w->IsDirty());
    EXPECT_EQ(w->GetDrawnRect(), w->GetRect());
  }
}

TEST_F(GVWSTest, PartialPathClearsDirtEvenWhenTheClipMissesTheWidget) {
  RecordingWnd* big = Add("big", GRect(0, 0, 400, 400));
  Settle();
  big->SetDirty(1);
  // The widget's own draw misses the clip and stays dirty; the pass cleans it anyway.
  EXPECT_EQ(Draw(GRect(500, 500, 600, 600)), GRect());
  big->SetRect(GRect(0, 0, 400, 400));
  EXPECT_EQ(Draw(GRect(390, 390, 800, 600)), GRect(390, 390, 400, 400));
  EXPECT_FALSE(big->IsDirty());
}

TEST_F(GVWSTest, TheFrontWidgetTakesTheClickUnlessHiddenEvenWhenDisabled) {
  Add("below", GRect(0, 0, 100, 100));
  RecordingWnd* above = Add("above", GRect(50, 50, 150, 150));
  EXPECT_EQ(ws_->OnLButtonDown(MK_LBUTTON, GPoint(60, 60)), 1);
  above->Show(0);
  ws_->OnLButtonDown(0, GPoint(60, 60));
  above->Show(1);
  above->Enable(0);
  ws_->OnLButtonDown(0, GPoint(60, 60));
  EXPECT_EQ(Receivers(), (Names{"above", "below", "above"}));
  EXPECT_EQ(ws_->OnLButtonDown(0, GPoint(150, 60)), 0);  // the right edge is outside
  Draw();
  EXPECT_EQ(journal_.DrawOrder(), (Names{"below", "above"}));
}

TEST_F(GVWSTest, KeysReachOnlyAnEnabledFocusWidgetAndInputOffSilencesEverything) {
  RecordingWnd* f = Add("f", GRect(0, 0, 100, 100));
  EXPECT_EQ(ws_->OnKeyDown('A', 1, 0), 0);
  ws_->SetFocusWnd(f);
  EXPECT_EQ(ws_->OnKeyDown('A', 1, 0x1E), 1);
  EXPECT_EQ(ws_->OnImeComposition(0xB0A1, 0x800), 1);
  f->Enable(0);
  EXPECT_EQ(ws_->OnKeyDown('B', 1, 0) + ws_->OnImeComposition(1, 2), 0);
  ASSERT_EQ(journal_.inputs.size(), 2u);
  EXPECT_EQ(std::pair(journal_.inputs[0].a, journal_.inputs[0].c), std::pair(UINT{'A'}, 0x1Eu));
  EXPECT_EQ(journal_.inputs[1].what, "ImeComposition");
  f->Enable(1);
  ws_->SetInputEnabled(0);
  LRESULT result = 77;
  EXPECT_EQ((std::vector<BOOL>{ws_->OnKeyDown('A', 1, 0), ws_->OnChar('a', 1, 0), ws_->OnLButtonDown(0, GPoint(5, 5)),
                               ws_->OnMouseMove(0, GPoint(5, 5))}),
            (std::vector<BOOL>(4, 0)));
  for (UINT msg : {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_IME_COMPOSITION, WM_TIMER}) {
    EXPECT_EQ(ws_->WndProc(msg, 0, MAKELPARAM(5, 5), &result), 0) << msg;
  }
  EXPECT_EQ(result, 77);
  EXPECT_EQ(journal_.inputs.size(), 2u);
}

TEST_F(GVWSTest, WndProcUnpacksKeysZeroExtendedAndMouseSignExtended) {
  RecordingWnd* f = Add("f", GRect(-10, -10, 100, 100));
  ws_->SetFocusWnd(f);
  LRESULT result = 77;
  for (auto [msg, wp, lp] : {std::tuple<UINT, WPARAM, LPARAM>{WM_KEYDOWN, 'Q', static_cast<LPARAM>(0xC0FFFFFFu)},
                             {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0xFFFB, 0xFFFE)},
                             {WM_LBUTTONUP, 0, MAKELPARAM(3, 4)},
                             {WM_LBUTTONDBLCLK, 0, MAKELPARAM(3, 4)}}) {
    result = 77;
    EXPECT_EQ(ws_->WndProc(msg, wp, lp, &result), 1);
    EXPECT_EQ(result, 0);
  }
  ASSERT_EQ(journal_.inputs.size(), 4u);
  EXPECT_EQ(std::pair(journal_.inputs[0].b, journal_.inputs[0].c), std::pair(0xFFFFu, 0xC0FFu));
  EXPECT_EQ(journal_.inputs[1].pt, GPoint(-5, -2));
  EXPECT_EQ(journal_.inputs[2].what, "LButtonUp");
  EXPECT_EQ(journal_.inputs[3].what, "LButtonDblClk");
  EXPECT_EQ(journal_.inputs[3].pt, GPoint(3, 4));
  // Unhandled: nothing stored.
  f->takes = 0;
  result = 77;
  EXPECT_EQ(ws_->WndProc(WM_KEYUP, 'Q', 0, &result), 0);
  EXPECT_EQ(ws_->WndProc(WM_SETCURSOR, 0, 0, &result), 0);
  EXPECT_EQ(result, 77);
  EXPECT_EQ(ws_->WndProc(WM_MBUTTONDBLCLK, 0, MAKELPARAM(1, 1), nullptr), 0);
  EXPECT_EQ(journal_.inputs.back().what, "MButtonDblClk");
}

TEST_F(GVWSTest, RemovingTakesChildrenOutAndLeavesObjectsAlive) {
  RecordingWnd* parent = Add("parent", GRect());
  RecordingWnd* child = Add("child", GRect());
  parent->GetChildren().push_back(child);
  child->SetParent(parent);
  EXPECT_EQ(ws_->RemoveWnd(parent), 1);
  EXPECT_TRUE(FrontToBack().empty() && parent->GetChildren().empty() && journal_.deleted.empty());
  EXPECT_EQ(child->GetParent(), nullptr);
  EXPECT_EQ(ws_->RemoveWnd(nullptr), 0);
  delete child;
  delete parent;
}

TEST_F(GVWSTest, InsertAfterMovesAWidgetNextToItsReferenceAndKeepsItWithoutOne) {
  RecordingWnd* a = Add("a", GRect());
  RecordingWnd* b = Add("b", GRect());
  RecordingWnd* c = Add("c", GRect());
  const Names before = FrontToBack();
  EXPECT_EQ(ws_->InsertWndAfter(a, c), 1);
  const Names moved = FrontToBack();
  EXPECT_NE(moved, before);
  auto at = [&](const char* name) { return std::find(moved.begin(), moved.end(), name) - moved.begin(); };
  EXPECT_EQ(at("c"), at("a") + 1);
  // A reference outside the list, or the widget itself, leaves the list as it was.
  RecordingWnd outside(journal_, "outside", GRect());
  EXPECT_EQ(ws_->InsertWndAfter(&outside, b), 0);
  EXPECT_EQ(ws_->InsertWndAfter(b, b), 0);
  EXPECT_EQ(FrontToBack(), moved);
}

TEST_F(GVWSTest, DestroyDeletesChildrenAndDestroyAllGoesFrontFirst) {
  RecordingWnd* parent = Add("parent", GRect());
  RecordingWnd* other = Add("other", GRect());
  Add("front", GRect());
  auto* child = new RecordingWnd(journal_, "child");
  parent->GetChildren().push_back(child);
  child->SetParent(other);  // a child naming another parent cannot stall destruction
  other->GetChildren().push_back(child);
  EXPECT_EQ(ws_->DestroyWnd(parent), 1);
  EXPECT_EQ(journal_.deleted, (Names{"child", "parent"}));
  EXPECT_TRUE(other->GetChildren().empty());
  ws_->DestroyAll();
  EXPECT_EQ(journal_.deleted, (Names{"child", "parent", "front", "other"}));
  EXPECT_TRUE(ws_->GetWndList().empty());
}

TEST_F(GVWSTest, FocusAndHoverChangesTellThePreviousWidgetAndDestroyedOnesAreForgotten) {
  RecordingWnd* a = Add("a", GRect());
  RecordingWnd* b = Add("b", GRect());
  EXPECT_EQ(ws_->SetFocusWnd(a), nullptr);
  EXPECT_EQ(ws_->SetFocusWnd(a), a);
  EXPECT_EQ(ws_->SetFocusWnd(b), a);
  EXPECT_EQ(ws_->SetHoverWnd(b), nullptr);
  EXPECT_EQ(ws_->SetHoverWnd(nullptr), b);
  EXPECT_EQ(journal_.killFocus, (Names{"a->a", "a->b", "b->-"}));
  RecordingWnd* parent = Add("parent", GRect(0, 0, 10, 10));
  auto* child = new RecordingWnd(journal_, "child", GRect(0, 0, 10, 10));
  parent->GetChildren().push_back(child);
  child->SetParent(parent);
  ws_->SetFocusWnd(child);
  ws_->SetHoverWnd(parent);
  journal_.killFocus.clear();
  ws_->DestroyWnd(parent);
  EXPECT_EQ(FocusAndHover(), (std::pair<GVWnd*, GVWnd*>()));
  EXPECT_TRUE(journal_.killFocus.empty());  // the leaving widget is not told
  EXPECT_EQ(ws_->OnKeyDown('A', 1, 0), 0);
  RecordingWnd* next = Add("next", GRect());
  EXPECT_EQ(ws_->SetHoverWnd(next), nullptr);
  EXPECT_EQ(ws_->SetFocusWnd(next), nullptr);
  ws_->DestroyAll();
  EXPECT_EQ(FocusAndHover(), (std::pair<GVWnd*, GVWnd*>()));
  RecordingWnd* last = Add("last", GRect());
  ws_->SetFocusWnd(last);
  ws_->RemoveAll();
  EXPECT_EQ(ws_->GetFocusWnd(), nullptr);
  delete last;
}

TEST_F(GVWSTest, FindWndInRectHonoursFlagsAndPositiveOverlap) {
  RecordingWnd* low = Add("low", GRect(0, 0, 100, 100));
  RecordingWnd* high = Add("high", GRect(0, 0, 100, 100));
  high->Enable(0);
  EXPECT_EQ(ws_->FindWndInRect(GRect(50, 50, 60, 60), 0), high);
  EXPECT_EQ(ws_->FindWndInRect(GRect(50, 50, 60, 60), 2), low);
  low->Show(0);
  EXPECT_EQ(ws_->FindWndInRect(GRect(50, 50, 60, 60), 3), nullptr);
  EXPECT_EQ(ws_->FindWndInRect(GRect(100, 0, 200, 100), 0), nullptr);
}

// ---- Z-order ----
TEST_F(GVWSTest, InsertionsRemoveDuplicates) {
  RecordingWnd* a = Add("a", GRect());
  RecordingWnd* b = Add("b", GRect());
  ws_->AddWnd(a);
  EXPECT_EQ(FrontToBack(), (Names{"a", "b"}));
  ws_->GetWndList().push_back(a);  // a stray duplicate
  ws_->AddWndAtBottom(a);
  EXPECT_EQ(FrontToBack(), (Names{"b", "a"}));
  ws_->AddWndAtTop(a);
  EXPECT_EQ(FrontToBack(), (Names{"a", "b"}));
  EXPECT_EQ(ws_->AddWnd(nullptr), 0);
  EXPECT_EQ(ws_->AddWndAtBottom(nullptr), 0);
  EXPECT_EQ(ws_->GetTopWnd(), a);
  EXPECT_EQ(ws_->GetBottomWnd(), b);
}

TEST_F(GVWSTest, InsertBeforeMakesTheWidgetHitFirst) {
  RecordingWnd* ref = Add("ref", GRect(0, 0, 100, 100));
  Add("top", GRect(500, 500, 510, 510));
  auto* w = new RecordingWnd(journal_, "w", GRect(0, 0, 100, 100));
  ws_->AddWndAtBottom(w);
  EXPECT_EQ(ws_->InsertWndBefore(ref, w), 1);
  EXPECT_EQ(FrontToBack(), (Names{"top", "w", "ref"}));
  EXPECT_EQ(ws_->FindWndAtPoint(GPoint(50, 50), 1), w);
  EXPECT_EQ(ws_->InsertWndAfter(ref, w), 1);
  EXPECT_EQ(FrontToBack(), (Names{"top", "ref", "w"}));
}

// A reference outside the list, or the widget itself, once dropped the widget (and with
// it the list's ownership); now the list stays as it was.
TEST_F(GVWSTest, InsertAgainstAMissingReferenceLeavesTheWidgetWhereItWas) {
  RecordingWnd* w = Add("w", GRect());
  RecordingWnd stranger(journal_, "stranger");
  EXPECT_EQ(ws_->InsertWndBefore(&stranger, w), 0);
  EXPECT_EQ(ws_->InsertWndBefore(w, w), 0);
  EXPECT_EQ(FrontToBack(), (Names{"w"}));
  ws_->AddWnd(w);
  EXPECT_EQ(ws_->InsertWndAfter(w, w), 0);
  EXPECT_EQ(FrontToBack(), (Names{"w"}));
}

}  // namespace
}  // namespace widget_test
