// Rectangles in band order (a row scan's runs) are banded without the sweep, and a
// region wholly below another is appended band by band: both must give exactly what
// the sweep and the full merge give, over a seeded sweep of shapes.
#include <gtest/gtest.h>

#include <vector>

#include "gdi/Region.h"
#include "support/Sweep.h"

namespace region_band_order_test {

using plat::detail::gdi::Region;
using testing_support::CaseRng;

constexpr int32_t kCases = 400;

// Runs of `rows` rows from `top`, as a scan of a picture with short runs finds them:
// bands of one or a few rows, touching runs now and then, equal rows often, gaps.
std::vector<RECT> ScanRuns(CaseRng& rng, int32_t top, int32_t rows) {
  std::vector<RECT> out;
  std::vector<RECT> previous;
  for (int32_t y = top; y < top + rows;) {
    const int32_t height = rng.Chance(20) ? rng.Range(2, 4) : 1;
    if (rng.Chance(30) && !previous.empty()) {
      for (RECT r : previous) out.push_back({r.left, y, r.right, y + height});
    } else if (!rng.Chance(10)) {
      previous.clear();
      for (int32_t x = rng.Range(-3, 5); x < 60; x += rng.Range(1, 6)) {
        const int32_t right = x + rng.Range(1, 5);
        previous.push_back({x, y, right, y + height});
        x = right;  // the next run starts at or after this one's end: touching is allowed
      }
      for (RECT r : previous) out.push_back(r);
    }
    y += height;
  }
  return out;
}

TEST(RegionBandOrder, RunsInBandOrderEqualTheSweep) {
  for (int32_t i : testing_support::SweepCases(kCases)) {
    SCOPED_TRACE(testing::Message() << "DORVIK_CASE=" << i);
    CaseRng rng{uint64_t(i)};
    std::vector<RECT> rects = ScanRuns(rng, rng.Range(-10, 10), rng.Range(1, 30));
    // Some cases leave band order: a swap, an overlap or an empty rectangle.
    if (rects.size() > 2 && rng.Chance(30)) {
      const size_t k = size_t(rng.Below(int32_t(rects.size()) - 1));
      switch (rng.Below(3)) {
        case 0: std::swap(rects[k], rects[k + 1]); break;
        case 1: rects[k + 1].left = rects[k].left; break;
        default: rects[k].right = rects[k].left; break;
      }
    }
    const Region fast = Region::FromRects(rects.data(), rects.size());
    const Region sweep = Region::FromRectsSweep(rects.data(), rects.size());
    ASSERT_TRUE(fast == sweep);
    ASSERT_EQ(fast.Rects().size(), sweep.Rects().size());
  }
}

TEST(RegionBandOrder, AppendingARegionBelowEqualsTheFullMerge) {
  for (int32_t i : testing_support::SweepCases(kCases)) {
    SCOPED_TRACE(testing::Message() << "DORVIK_CASE=" << i);
    CaseRng rng(uint64_t(i) + 1000);
    const std::vector<RECT> upper = ScanRuns(rng, 0, rng.Range(1, 20));
    const int32_t end = upper.empty() ? 0 : upper.back().bottom;
    std::vector<RECT> lower;
    // Often the lower part starts by repeating the upper part's last band, so the
    // bands at the seam merge; else it starts directly below, below a gap, or one
    // row up, which the append refuses or combines.
    int32_t start = end + rng.Range(-1, 3);
    if (!upper.empty() && rng.Chance(40)) {
      const int32_t height = rng.Range(1, 3);
      for (const RECT& r : upper)
        if (r.bottom == end) lower.push_back({r.left, end, r.right, end + height});
      start = end + height;
    }
    const std::vector<RECT> rest = ScanRuns(rng, start, rng.Range(1, 20));
    lower.insert(lower.end(), rest.begin(), rest.end());

    Region grown = Region::FromRects(upper.data(), upper.size());
    const Region below = Region::FromRects(lower.data(), lower.size());
    const Region merged = Region::Combine(grown, below, Region::Op::Or);
    const Region before = grown;
    if (grown.AppendOr(below)) {
      ASSERT_TRUE(grown == merged);
    } else {
      ASSERT_TRUE(grown == before);
    }
  }
}

}  // namespace region_band_order_test
