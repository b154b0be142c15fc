#include "widgets/GVQLAniWnd.h"

#include <gtest/gtest.h>

#include "SpriteWidgetFixture.h"
#include "plat/time.h"

namespace widget_test {
namespace gvqlani_wnd_test {

using testing_support::QlaAnimation;
using testing_support::QlaFrame;
using testing_support::QlaPart;

constexpr uint32_t kTick = 50;
constexpr COLORREF kRed = RGB(0xF8, 0x20, 0x10);
constexpr COLORREF kCyan = RGB(0x10, 0xC0, 0xC8);

// Sprite 0: 6 x 4 with a hole at (2, 1); sprite 1: 3 x 3.
Bytes Sprites() {
  Bytes out = testing_support::SolidSpriteChunk(32, 6, 4, kRed, 0, 0, 2, 1);
  const Bytes second = testing_support::SolidSpriteChunk(32, 3, 3, kCyan, 0, 0);
  out.insert(out.end(), second.begin(), second.end());
  return out;
}

QlaFrame Frame(uint16_t duration, std::vector<QlaPart> parts) {
  QlaFrame f;
  f.duration = duration;
  f.parts = std::move(parts);
  return f;
}

QlaAnimation Anim(const char* name, std::vector<QlaFrame> frames) {
  QlaAnimation a;
  a.name = name;
  a.frames = std::move(frames);
  return a;
}

// Three 50 ms frames bounded by kWalk; the jump is sprite 1 at (0, 0), then at (1, 1).
QlaAnimation Walk() { return Anim("walk", {Frame(5, {{0, 0, 0}}), Frame(5, {{1, 4, 2}}), Frame(5, {{0, 8, 0}})}); }
const GRect kWalk[] = {GRect(0, 0, 6, 4), GRect(4, 2, 7, 5), GRect(8, 0, 14, 4)};
QlaAnimation Jump() { return Anim("jump", {Frame(5, {{1, 0, 0}}), Frame(5, {{1, 1, 1}})}); }

class AniWndTest : public SpriteWidgetTest {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    walk_ = Write("walk.qla", testing_support::QlaFile(Walk(), Sprites()));
    set_ = Write("set.qla", testing_support::QlaSetFile({Walk(), Jump()}, Sprites()));
    ASSERT_EQ(w.Load(walk_, 10, 10), 1);
  }
  void TearDown() override {
    w.ReleaseImage();
    SpriteWidgetTest::TearDown();
  }
  BOOL Tick(GVQLAniWnd& w, uint32_t ms = kTick) {
    plat::sim::AdvanceClock(ms);
    return w.Update();
  }
  std::string walk_, set_;
  GVQLAniWnd w;  // walk_ at (10, 10)
};

TEST_F(AniWndTest, UpdateBeforePlayGivesZeroAndChangesNothing) {
  GVQLAniWnd a;
  EXPECT_EQ(a.Update(), 0);
  ASSERT_EQ(a.Load(walk_, 10, 10), 1);
  EXPECT_STREQ(a.GetName(), "walk");
  a.SetDirty(0);
  EXPECT_EQ(Tick(a), 0);
  EXPECT_EQ((std::vector<int>{a.GetFrame(), a.IsDirty()}), (std::vector<int>{-1, 0}));
  EXPECT_EQ(a.GetRect(), GRect());
  EXPECT_EQ(a.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect());
}

TEST_F(AniWndTest, PlayingOnceWalksTheFramesThenHidesAndReportsTheEndOnce) {
  w.Show(0);
  w.Play(1, 0);
  EXPECT_TRUE(w.IsVisible());
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(w.GetRect(), kWalk[0] + GSize(10, 10));
  std::vector<int32_t> seen;
  int32_t ends = 0;
  for (int32_t t = 0; t < 20; ++t) {
    if (!Tick(w)) continue;
    if (w.GetFrame() < 0) {
      ++ends;
      EXPECT_FALSE(w.IsVisible());
      EXPECT_TRUE(w.IsDirty());
      continue;
    }
    seen.push_back(w.GetFrame());
    EXPECT_EQ(w.GetRect(), kWalk[w.GetFrame()] + GSize(10, 10));
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(w.IsPlaying());
}

TEST_F(AniWndTest, HoldingOrAStopFrameKeepsThatFrameShown) {
  w.Play(1, 1);
  int32_t changes = 0;
  for (int32_t t = 0; t < 20; ++t) changes += Tick(w);
  EXPECT_EQ(changes, 3);  // frames 1 and 2, then the held end
  EXPECT_EQ(std::pair(w.GetFrame(), w.IsVisible()), std::pair(2, 1));
  ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), kWalk[2] + GSize(10, 10));
  GVQLAniWnd looping;
  ASSERT_EQ(looping.Load(walk_, 0, 0), 1);
  looping.Play(-1, 0);
  looping.SetStopFrame(2);
  for (int32_t t = 0; t < 20; ++t) Tick(looping);
  EXPECT_EQ(std::pair(looping.GetFrame(), looping.IsVisible()), std::pair(2, 1));
  EXPECT_EQ(looping.GetRect(), kWalk[2]);
}

TEST_F(AniWndTest, TheMirroredRectangleMirrorsAboutThePositionsX) {
  GVQLAniWnd a;
  ASSERT_EQ(a.Load(walk_, 30, 10), 1);
  a.SetMirror(1);
  a.Play(-1, 0);
  EXPECT_EQ(a.GetRect(), GRect(24, 10, 30, 14));
  GRect r;
  a.GetFrameRect(r);
  EXPECT_EQ(r, a.GetRect());
  ASSERT_EQ(a.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect(24, 10, 30, 14));
  EXPECT_EQ(At(27, 11), 0u);  // the hole at (2, 1), mirrored: 30 - 1 - 2
  EXPECT_EQ((std::vector<BOOL>{a.HitTest(27, 11, 3), a.HitTest(24, 10, 3)}), (std::vector<BOOL>{0, 1}));
  while (a.GetFrame() != 1) Tick(a);
  EXPECT_EQ(a.GetRect(), GRect(23, 12, 26, 15));
  a.SetPos(GPoint(40, 10));  // the frame follows the position
  EXPECT_EQ(a.GetRect(), GRect(33, 12, 36, 15));
}

TEST_F(AniWndTest, SteppingByHand) {
  EXPECT_EQ((std::vector<BOOL>{w.SetFrame(3), w.SetFrame(-1)}), (std::vector<BOOL>{0, 0}));
  EXPECT_EQ(w.GetFrame(), -1);
  EXPECT_EQ(w.SetFrame(1), 1);
  EXPECT_EQ(w.GetRect(), kWalk[1] + GSize(10, 10));
  EXPECT_EQ(Tick(w), 0);  // the clock did not start
  EXPECT_EQ(w.NextFrame(), 2);
  EXPECT_EQ(w.NextFrame(), 0);
  EXPECT_EQ(w.GetRect(), kWalk[0] + GSize(10, 10));
  w.Show(0);
  EXPECT_EQ(w.SetFrame(2), 1);  // hidden: set but not laid out
  EXPECT_EQ(w.GetRect(), kWalk[0] + GSize(10, 10));
  w.Rewind();
  EXPECT_EQ(std::pair(w.GetFrame(), w.IsVisible()), std::pair(0, 1));
}

TEST_F(AniWndTest, ANegativeStopFramePausesAndResumeContinues) {
  for (int32_t pause : {-1, -326, -7}) {
    GVQLAniWnd a;
    ASSERT_EQ(a.Load(walk_, 0, 0), 1);
    a.Play(-1, 0);
    Tick(a, 20);
    a.SetStopFrame(pause);
    for (int32_t t = 0; t < 10; ++t) EXPECT_EQ(Tick(a), 0) << pause;
    EXPECT_EQ(a.GetFrame(), 0);
    EXPECT_EQ(a.Resume(), timeGetTime());
    // The frame restarts its full 50 ms.
    EXPECT_EQ((std::pair{Tick(a, 40), Tick(a, 11)}), std::pair(0, 1));
    EXPECT_EQ(a.GetFrame(), 1);
  }
}

TEST_F(AniWndTest, DrawAndHitTestFollowTheCurrentFramesPixels) {
  EXPECT_FALSE(w.HitTest(10, 10, 3));  // no current frame
  w.Play(-1, 0);
  const std::vector<BOOL> hits{w.HitTest(10, 10, 3), w.HitTest(12, 11, 3), w.HitTest(15, 13, 3), w.HitTest(16, 13, 3)};
  EXPECT_EQ(hits, (std::vector<BOOL>{1, 0, 1, 0}));  // (12, 11) is the hole
  ASSERT_EQ(w.Draw(back_.Get(), GRect(0, 0, 13, 48)), 1);
  EXPECT_EQ(Painted(), GRect(10, 10, 13, 14));
  EXPECT_EQ(std::pair(At(10, 10), At(12, 11)), std::pair(Pixel(kRed), 0u));
  Clear();
  w.Show(0);
  EXPECT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(w.Draw(nullptr, Screen()), 1);
  EXPECT_EQ(Painted(), GRect());
  w.Show(1);
  w.Enable(0);
  EXPECT_FALSE(w.HitTest(10, 10, 3));
}

TEST_F(AniWndTest, LoadsAndReleasesKeepTheManagerBalanced) {
  const std::string single = Write("one.qls", testing_support::SolidSpriteChunk(32, 2, 2, kRed, 0, 0));
  const uint32_t walk = Held(w);
  ASSERT_EQ(w.Load(walk_, 5, 5), 1);
  EXPECT_EQ(std::pair(Held(w), Count(walk)), std::pair(walk, 1));
  w.SetMirror(1);
  ASSERT_EQ(w.ChangeAnimation(set_), 1);
  EXPECT_EQ(std::pair(Count(walk), w.GetMirror()), std::pair(0, 0));
  EXPECT_EQ(w.GetPos(), GPoint(5, 5));
  EXPECT_EQ(w.ChangeAnimation("C:\\Sprites\\absent.qla"), 0);
  EXPECT_EQ(w.GetFrameCount(), 3);
  EXPECT_EQ(w.Load(single, 0, 0), 0);  // a single sprite is no animation
  EXPECT_EQ(std::pair(rm::Manager().FindByName("one.qls"), rm::Manager().FindByName("set.qla")), std::pair(0u, 0u));
  EXPECT_EQ((std::vector<int>{w.GetFrameCount(), w.GetAnimationIndex()}), (std::vector<int>{0, -1}));
  ASSERT_EQ(w.Load(set_, 0, 0), 1);
  ASSERT_EQ(w.SelectAnimation(1), 1);
  w.Play(-1, 0);
  w.ReleaseImage();
  EXPECT_EQ((std::vector<int>{w.GetFrame(), w.GetAnimationIndex(), Tick(w)}), (std::vector<int>{-1, -1, 0}));
  EXPECT_EQ(rm::Manager().FindByName("set.qla"), 0u);
  {
    GVQLAniWnd owner;
    ASSERT_EQ(owner.Load(walk_, 0, 0), 1);
  }
  EXPECT_EQ(rm::Manager().FindByName("walk.qla"), 0u);
}

TEST_F(AniWndTest, SelectingTheSameIndexChangesNothing) {
  GVQLAniWnd w;
  EXPECT_EQ(w.GetAnimationIndex(), -1);
  ASSERT_EQ(w.Load(set_, 0, 0), 1);
  EXPECT_EQ(w.GetAnimationIndex(), 0);
  w.SetMirror(1);
  ASSERT_EQ(w.SelectAnimation(1), 1);
  EXPECT_EQ(w.GetAnimationIndex(), 1);
  EXPECT_STREQ(w.GetName(), "jump");
  EXPECT_EQ(w.GetFrameCount(), 2);
  EXPECT_EQ(w.GetMirror(), 0);
  w.Play(-1, 0);
  while (w.GetFrame() != 1) Tick(w);
  w.SetMirror(1);
  ASSERT_EQ(w.SelectAnimation(1), 1);
  EXPECT_EQ(w.GetFrame(), 1);  // still playing where it was
  EXPECT_EQ(w.GetMirror(), 1);
  EXPECT_EQ(w.SelectAnimation(2), 0);
  EXPECT_EQ(w.SelectAnimation(-1), 0);
  EXPECT_EQ(w.SelectAnimationByName("none"), 0);
  ASSERT_EQ(w.SelectAnimationByName("walk"), 1);
  EXPECT_EQ(w.GetAnimationIndex(), 0);
  EXPECT_EQ(w.GetFrameCount(), 3);
  EXPECT_EQ(w.GetFrame(), -1);  // another animation starts stopped
}

TEST_F(AniWndTest, AMovingFrameRedrawsEachTickInsideTheFrameRectangle) {
  QlaAnimation a;
  a.name = "slide";
  QlaPart moving{0, 0, 0};
  moving.dx = 20;
  moving.moves = true;
  a.frames = {Frame(40, {moving}), Frame(20, {{1, 0, 0}})};
  const std::string file = Write("slide.qla", testing_support::QlaFile(a, Sprites()));
  GVQLAniWnd w;
  ASSERT_EQ(w.Load(file, 10, 10), 1);
  w.Play(1, 0);
  EXPECT_TRUE(w.IsMoving());
  const GRect frame0(10, 10, 36, 14);  // the sprite's 6 columns plus the 20 it travels
  int32_t lastLeft = -1;
  for (int32_t t = 0; t < 7; ++t) {  // 350 ms of the 400 ms frame
    w.SetDirty(0);
    ASSERT_EQ(Tick(w), 1) << t;
    EXPECT_TRUE(w.IsDirty());
    EXPECT_EQ(w.GetFrame(), 0);
    EXPECT_EQ(w.GetRect(), frame0);
    Clear();
    ASSERT_EQ(w.Draw(back_.Get(), w.GetRect()), 1);
    const GRect painted = Painted();
    EXPECT_GT(painted.left, lastLeft) << t;
    GRect inside;
    EXPECT_EQ(GRectIntersection(inside, painted, frame0), painted) << t;
    lastLeft = painted.left;
  }
  // The still frame after it needs no redraw between changes.
  while (w.GetFrame() != 1) Tick(w);
  EXPECT_FALSE(w.IsMoving());
  EXPECT_EQ(w.GetRect(), GRect(10, 10, 13, 13));
  EXPECT_EQ(Tick(w, 20), 0);
}

}  // namespace widget_test

}  // namespace gvqlani_wnd_test
