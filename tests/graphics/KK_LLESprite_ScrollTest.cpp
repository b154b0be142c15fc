// Timed horizontal moves: duration scaling, the first update, finishing with and
// without looping, and positions that do not depend on where the clock started.
#include "graphics/KK_LLESprite_Scroll.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ScrollMoveTest, DurationScalesTheTimeForASpanToTheWholeMove) {
  tagScroll_Move m;
  m.Set(0, 300, 0);
  m.SetDuration(1000, 100);
  EXPECT_EQ(m.duration, 3000);
  m.SetDuration(700, 0);
  EXPECT_EQ(m.duration, 700);
  // Large moves and times do not overflow.
  m.Set(0, 2000000, 0);
  m.SetDuration(2000000, 1);
  EXPECT_EQ(m.duration, int64_t(2000000) * 2000000);
}

// Positions of a 0 -> 100 move over 1000 ms, updated every `step` ms from `t0`.
std::vector<int32_t> Move(uint32_t t0, uint32_t step, int32_t loop, int32_t updates, std::vector<int32_t>* done) {
  tagScroll_Move m;
  m.Set(0, 100, 0);
  m.SetDuration(1000, 0);
  m.Restart();
  std::vector<int32_t> out;
  uint32_t now = t0;
  for (int32_t i = 0; i < updates; ++i, now += step) {
    const int32_t finished = m.Update(now, loop);
    out.push_back(m.current);
    if (done) done->push_back(finished);
  }
  return out;
}

TEST(ScrollMoveTest, FirstUpdateOnlyRecordsThenTheMoveAdvancesAndFinishes) {
  std::vector<int32_t> done;
  const std::vector<int32_t> pos = Move(1000, 250, 0, 7, &done);
  EXPECT_EQ(pos, (std::vector<int32_t>{0, 25, 50, 75, 100, 100, 100}));
  EXPECT_EQ(done, (std::vector<int32_t>{0, 0, 0, 0, 1, 0, 0}));
}

TEST(ScrollMoveTest, LoopingStartsAgainAfterFinishing) {
  std::vector<int32_t> done;
  const std::vector<int32_t> pos = Move(1000, 250, 1, 7, &done);
  EXPECT_EQ(pos, (std::vector<int32_t>{0, 25, 50, 75, 100, 25, 50}));
  EXPECT_EQ(done, (std::vector<int32_t>{0, 0, 0, 0, 1, 0, 0}));
}

TEST(ScrollMoveTest, PositionsDoNotDependOnWhereTheClockStarted) {
  for (int32_t loop : {0, 1}) {
    std::vector<int32_t> a, b;
    EXPECT_EQ(Move(0xFFFFF000u, 30, loop, 120, &a), Move(1000, 30, loop, 120, &b)) << loop;
    EXPECT_EQ(a, b);
  }
}

TEST(ScrollMoveTest, StoppedMovesDoNothingAndRestartRewindsAFinishedMove) {
  tagScroll_Move m;
  m.Set(10, 20, 20);
  EXPECT_EQ(m.Update(5, 0), 0);
  m.Restart();
  EXPECT_EQ(m.current, 10);
  m.Update(0, 0);  // a first tick at 0 still counts as started
  EXPECT_NE(m.lastTick, 0u);
  m.Stop();
  EXPECT_EQ(m.running, 0);
  EXPECT_EQ(m.current, 10);
  m.Reset();
  EXPECT_EQ(m.end, 0);
}

TEST(ScrollSpriteTest, PositionFollowsTheMove) {
  KK_LLESprite_Scroll s;
  s.Set(0, 50, 0);
  s.current = 12;
  int32_t x = 100, y = 7;
  s.Position(x, y);
  EXPECT_EQ(x, 88);
  EXPECT_EQ(y, 7);
  EXPECT_TRUE(s.IsPast(11));
  EXPECT_FALSE(s.IsPast(12));
  EXPECT_FALSE(s.HasHeader());
}

}  // namespace
