// The sprite push button: the frame chosen from the set and the button state, the
// press dragged off and back, and the set index.
#include "panels/CVPSPPushBtn.h"

#include <gtest/gtest.h>

#include "widgets/SpriteWidgetFixture.h"

namespace psp_push_btn_test {

using widget_test::SpriteWidgetTest;

class PushBtnTest : public SpriteWidgetTest {
 protected:
  // Two sets of four 10 x 10 frames.
  void Load(CVPSPPushBtn& btn, int32_t framesPerSet) {
    std::vector<testing_support::Bytes> chunks;
    for (int32_t i = 0; i < 8; ++i) chunks.push_back(testing_support::SolidSpriteChunk(32, 10, 10, RGB(20 * i + 20, 0, 0), 0, 0));
    ASSERT_EQ(btn.LoadSprite(Write("btn.psp", testing_support::PspFile(chunks)).c_str(), 2, framesPerSet), 1);
    btn.SetPos(GPoint(0, 0));
  }
};

TEST_F(PushBtnTest, TheFrameFollowsTheState) {
  struct Case { int32_t frames; BOOL enabled, pressed, inside, highlight; int32_t set0, set1; };  // frame in set 0, 1
  // Pressed with tracking needs the press inside; tracking alone comes from moving inside.
  const Case cases[] = {
      {1, 1, 0, 0, 0, 0, 1}, {1, 0, 1, 1, 1, 0, 1}, {2, 1, 0, 0, 0, 0, 2}, {2, 1, 0, 0, 1, 1, 3},
      {2, 1, 1, 1, 0, 1, 3}, {2, 0, 0, 0, 1, 0, 2}, {4, 1, 0, 0, 0, 0, 4}, {4, 1, 0, 0, 1, 1, 5},
      {4, 1, 1, 1, 0, 2, 6}, {4, 1, 1, 0, 0, 0, 4}, {4, 0, 1, 1, 1, 3, 7}, {4, 0, 0, 0, 0, 3, 7}, {3, 1, 1, 1, 1, 5, 5},
  };
  for (const Case& c : cases) {
    for (int32_t set = 0; set < 2; ++set) {
      CVPSPPushBtn btn;
      Load(btn, c.frames);
      btn.SetFrame(5);
      ASSERT_EQ(btn.SetImageSet(set), 1);
      if (c.inside) btn.OnMouseMove(0, GPoint(2, 2));
      btn.SetHighlight(c.highlight);
      btn.SetPressed(c.pressed);
      btn.Enable(c.enabled);
      btn.SelectFrame();
      EXPECT_EQ(btn.GetFrame(), set ? c.set1 : c.set0) << c.frames << c.enabled << c.pressed << c.inside << c.highlight;
    }
  }
}

TEST_F(PushBtnTest, OnlyAReleaseOverTheButtonClicks) {
  struct Case { std::vector<GPoint> moves; BOOL click; int32_t frame; };  // moves after the press
  const GPoint in(3, 3), out(30, 30);
  for (const Case& c : {Case{{out}, 0, 0}, Case{{out, in}, 1, 1}, Case{{}, 1, 1}}) {
    CVPSPPushBtn btn;
    Load(btn, 4);
    btn.OnMouseMove(0, in);
    EXPECT_EQ(btn.OnLButtonDown(0, in), 1);
    EXPECT_EQ(btn.GetFrame(), 2);
    for (GPoint p : c.moves) btn.OnMouseMove(0, p);
    EXPECT_EQ(btn.OnLButtonUp(0, c.moves.empty() ? in : c.moves.back()), c.click);
    if (!c.click) btn.OnMouseMove(0, out);
    EXPECT_EQ(btn.GetFrame(), c.frame);
  }
}

TEST_F(PushBtnTest, RightButtonAndSets) {
  CVPSPPushBtn btn;
  Load(btn, 4);
  EXPECT_EQ(std::tuple(btn.OnRButtonDown(0, GPoint(2, 2)), btn.OnRButtonUp(0, GPoint(2, 2)), btn.IsPressed()),
            std::tuple(1, 1, 0));
  btn.Enable(0);
  EXPECT_EQ(btn.OnRButtonDown(0, GPoint(2, 2)), 0);
  btn.SetDirty(0);
  EXPECT_EQ(std::tuple(btn.SetImageSet(2), btn.SetImageSet(-1), btn.SetImageSet(1)), std::tuple(0, 0, 1));
  EXPECT_EQ(btn.ImageSet(), 1);
  EXPECT_EQ(btn.IsDirty(), 0);
  EXPECT_EQ(btn.LoadSprite("C:\\Sprites\\none.psp", 5, 1), 0);
  EXPECT_EQ(btn.SetImageSet(4), 0);  // the old counts stay
}

}  // namespace psp_push_btn_test
