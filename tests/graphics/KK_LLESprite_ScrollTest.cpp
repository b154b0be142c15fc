// Timed horizontal moves: duration scaling, the first update, finishing with and
// without looping, and positions that do not depend on where the clock started.
#include "graphics/KK_LLESprite_Scroll.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Positions of a 0 -> 100 move over 1000 ms, updated every `step` ms from `t0`, and
// what each update returned.
std::pair<std::vector<int32_t>, std::vector<int32_t>> Move(uint32_t t0, uint32_t step, int32_t loop, int32_t updates) {
  tagScroll_Move m;
  m.Set(0, 100, 0);
  m.SetDuration(1000, 0);
  m.Restart();
  std::vector<int32_t> positions, finished;
  for (int32_t i = 0; i < updates; ++i, t0 += step) {
    finished.push_back(m.Update(t0, loop));
    positions.push_back(m.current);
  }
  return {positions, finished};
}

TEST(ScrollMoveTest, FirstUpdateOnlyRecordsThenTheMoveAdvancesAndFinishesOrLoops) {
  const std::vector<int32_t> finished = {0, 0, 0, 0, 1, 0, 0};
  EXPECT_EQ(Move(1000, 250, 0, 7), std::make_pair(std::vector<int32_t>{0, 25, 50, 75, 100, 100, 100}, finished));
  EXPECT_EQ(Move(1000, 250, 1, 7), std::make_pair(std::vector<int32_t>{0, 25, 50, 75, 100, 25, 50}, finished));
  // Where the clock started (here, just before its wrap) changes nothing.
  for (int32_t loop : {0, 1}) EXPECT_EQ(Move(0xFFFFF000u, 30, loop, 120), Move(1000, 30, loop, 120)) << loop;
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
  EXPECT_EQ(std::make_pair(m.running, m.current), std::make_pair(0, 10));
  m.Reset();
  EXPECT_EQ(m.end, 0);
}

}  // namespace
