// The animation player's clock on the virtual time: frame changes at their exact
// milliseconds, catch-up, loops and repeats, play counts, stop frame, hold, the 32-bit
// wrap, a backwards clock, and cycles of frames that take no time.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/K_Animation.h"
#include "graphics/K_Animation_RSC.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "support/SpriteFileWriters.h"

namespace {

using namespace testing_support;

struct Loop {
  int32_t frame, target;
  uint16_t repeat;
};

QlaAnimation Timed(const std::vector<uint16_t>& durations, const std::vector<Loop>& loops = {}) {
  QlaAnimation a;
  for (uint16_t d : durations) {
    QlaFrame f;
    f.duration = d;
    a.frames.push_back(f);
  }
  for (const Loop& l : loops) {
    a.frames[size_t(l.frame)].loopTarget = int16_t(l.target);
    a.frames[size_t(l.frame)].repeat = l.repeat;
  }
  return a;
}

class AnimationTimingTest : public testing::Test {
 protected:
  void Bind(const QlaAnimation& a) {
    ASSERT_EQ(rsc.LoadFromBytes(QlaFile(a, {})), 1);
    player.SetRsc(&rsc);
  }
  // Plays at tick `start` and records every frame change as (offset, frame), stepping
  // each millisecond up to `span`.
  std::vector<std::pair<uint32_t, int32_t>> Run(uint32_t start, uint32_t span, int32_t count = 1) {
    plat::sim::SetTickBase(start);
    player.Play(count);
    std::vector<std::pair<uint32_t, int32_t>> changes;
    for (uint32_t t = 1; t <= span; ++t)
      if (player.Step(start + t)) changes.push_back({t, player.CurrentFrame()});
    return changes;
  }
  K_Animation_RSC rsc;
  K_Animation player;
};

TEST_F(AnimationTimingTest, RepeatTwoPlaysTheLoopThreeTimesAtExactMilliseconds) {
  Bind(Timed({1, 1, 1, 1, 1}, {{3, 1, 2}}));
  const auto changes = Run(1000, 200);
  std::vector<std::pair<uint32_t, int32_t>> expected;
  const int32_t order[] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 4};
  for (size_t i = 0; i < std::size(order); ++i) expected.push_back({uint32_t(11 + 10 * i), order[i]});
  expected.push_back({111, -1});  // the single pass ends
  EXPECT_EQ(changes, expected);
}

TEST_F(AnimationTimingTest, LoopsThatNeverEndAndTheClockWrap) {
  // A repeat count on frame 0 re-arms itself (origin 0 means no loop); a top-bit count
  // never runs out.
  for (const Loop& loop : {Loop{0, 0, 1}, Loop{1, 0, 0x8000}}) {
    Bind(Timed({1, 1, 1}, {loop}));
    plat::sim::SetTickBase(100);
    player.Play(1);
    player.Step(100 + 100000);
    EXPECT_TRUE(player.IsPlaying()) << loop.frame;
    EXPECT_LE(player.CurrentFrame(), 1);
  }
  // Where the clock starts changes nothing.
  Bind(Timed({3, 1, 7, 2}, {{2, 1, 1}}));
  const auto early = Run(1000, 400, 2);
  const auto wrapped = Run(0xFFFFF000u, 400, 2);
  EXPECT_EQ(early, wrapped);
  EXPECT_FALSE(early.empty());
}

TEST_F(AnimationTimingTest, CatchUpPassesOverZeroFramesAndKeepsTheRemainder) {
  Bind(Timed({5, 10, 0, 3}));
  const uint32_t T = 5000;
  plat::sim::SetTickBase(T);
  player.Play(1);
  EXPECT_EQ(player.StartTick(), T);
  EXPECT_FALSE(player.Step(T + 50));
  EXPECT_EQ(player.CurrentFrame(), 0);
  EXPECT_TRUE(player.Step(T + 51));
  EXPECT_EQ(player.CurrentFrame(), 1);
  EXPECT_EQ(player.StartTick(), T + 50);
  EXPECT_EQ(player.Progress(), 1000);
  EXPECT_TRUE(player.Step(T + 151));
  EXPECT_EQ(player.CurrentFrame(), 3);
  EXPECT_EQ(player.StartTick(), T + 150);
  EXPECT_EQ(player.Progress(), 3333);
}

TEST_F(AnimationTimingTest, PlayCounts) {
  Bind(Timed({1, 1}));
  for (int32_t count : {0, 1, 2}) {
    const auto changes = Run(700, 100, count);
    const uint32_t end = count == 2 ? 41 : 21;
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), std::make_pair(end, -1)) << count;
    EXPECT_FALSE(player.IsPlaying());
  }
  plat::sim::SetTickBase(700);
  player.Play(-1);
  player.Step(700 + 10000 * 20 + 5);
  EXPECT_TRUE(player.IsPlaying());
  EXPECT_EQ(player.CurrentFrame(), 0);
}

TEST_F(AnimationTimingTest, StopFramePausesResumeRestartsTheClockAndHoldKeepsTheLastFrame) {
  Bind(Timed({1, 1, 1, 1, 1}));
  plat::sim::SetTickBase(2000);
  player.Play(1);
  player.SetStopFrame(3);
  EXPECT_TRUE(player.Step(2000 + 500));
  EXPECT_EQ(player.CurrentFrame(), 3);
  EXPECT_TRUE(player.IsAtRest());
  EXPECT_FALSE(player.Step(2000 + 900));
  plat::sim::SetTickBase(4000);
  EXPECT_EQ(player.Resume(), 4000u);
  EXPECT_FALSE(player.Step(4010));
  EXPECT_TRUE(player.Step(4011));
  EXPECT_EQ(player.CurrentFrame(), 4);
  // Hold keeps the last frame.
  plat::sim::SetTickBase(10);
  player.Play(1);
  player.SetStopFrame(K_Animation::kHoldLast);
  EXPECT_TRUE(player.Step(10 + 51));
  EXPECT_EQ(player.CurrentFrame(), 4);
  EXPECT_TRUE(player.IsPlaying());
  EXPECT_TRUE(player.IsAtRest());
  EXPECT_FALSE(player.Step(10 + 5000));
  EXPECT_EQ(player.CurrentFrame(), 4);
}

TEST_F(AnimationTimingTest, TickZeroABackwardsClockAndALongFrame) {
  Bind(Timed({1, 1}));
  plat::sim::SetTickBase(0);
  player.Play(1);
  EXPECT_FALSE(player.IsAtRest());  // playing at tick 0 is not a pause
  EXPECT_EQ((std::vector<int>{player.Step(11), player.CurrentFrame()}), (std::vector<int>{1, 1}));
  // A clock that goes backwards uses the duration field as the time elapsed.
  plat::sim::SetTickBase(5000);
  player.Play(1);
  EXPECT_FALSE(player.Step(4000));
  EXPECT_EQ(player.CurrentFrame(), 0);
  // Progress through a long frame is worked out in 64 bits.
  Bind(Timed({65535, 1}));
  plat::sim::SetTickBase(1);
  player.Play(1);
  EXPECT_FALSE(player.Step(1 + 327675));
  EXPECT_EQ(player.Progress(), 50000);
}

TEST_F(AnimationTimingTest, ZeroDurationCyclesReturnZeroFramesStayStoppedAndSetFrameChecksItsRange) {
  // One zero frame looping for ever, and an outer loop re-armed by an inner one.
  const std::vector<QlaAnimation> cases = {Timed({0}), Timed({0, 0, 0}, {{1, 0, 2}, {2, 0, 3}})};
  for (const QlaAnimation& a : cases) {
    Bind(a);
    plat::sim::SetTickBase(100);
    player.Play(-1);
    player.Step(100 + 1000000);
    EXPECT_EQ((std::vector<int64_t>{player.IsPlaying(), player.StartTick(), player.Progress()}), (std::vector<int64_t>{1, 100 + 1000000, 0}));
  }
  Bind(Timed({}));
  player.Play(1);
  EXPECT_FALSE(player.IsPlaying());
  Bind(Timed({1, 1, 1}));
  player.SetFrame(-1);
  player.SetFrame(3);
  EXPECT_EQ(player.CurrentFrame(), -1);
  player.SetFrame(2);
  EXPECT_EQ(player.CurrentFrame(), 2);
}

}  // namespace
