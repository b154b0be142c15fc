#include "base/GGeometry.h"

#include <gtest/gtest.h>

// Its printer of GRect, found by argument lookup from GoogleTest's printers.
#include "widgets/WidgetTestSupport.h"

namespace {

bool Same(const GRect& r, int32_t l, int32_t t, int32_t rr, int32_t b) {
  return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST(GRect, ConstructorsNormaliseButSettersAndRecordsDoNot) {
  GRect set, assigned, sized;
  set.SetRect(30, 40, 10, 20);
  const RECT inverted{5, 6, 1, 2};
  assigned = inverted;
  sized.SetRect(GPoint(1, 2), GSize(3, 4));
  // Run-time calls, not a constant table, so that the constructors run here.
  EXPECT_TRUE(Same(GRect(30, 40, 10, 20), 10, 20, 30, 40));
  EXPECT_TRUE(Same(GRect(10, 40, 30, 20), 10, 20, 30, 40));
  EXPECT_TRUE(Same(GRect(GPoint(30, 40), GPoint(10, 20)), 10, 20, 30, 40));
  EXPECT_TRUE(Same(GRect(GPoint(30, 40), GSize(-20, -20)), 10, 20, 30, 40));
  EXPECT_TRUE(Same(GRect(7, 9, 7, 3), 7, 3, 7, 9));  // equal edges stay in place
  EXPECT_TRUE(Same(set, 30, 40, 10, 20));
  EXPECT_TRUE(Same(GRect(inverted), 5, 6, 1, 2));
  EXPECT_TRUE(Same(assigned, 5, 6, 1, 2));
  EXPECT_TRUE(Same(sized, 1, 2, 4, 6));
  EXPECT_EQ(set.Width(), -20);
  EXPECT_EQ(set.Height(), -20);
  set.SetEmpty();
  EXPECT_TRUE(Same(set, 0, 0, 0, 0));
}

TEST(GRect, SideCountsClassifyEmptiness) {
  struct Case { GRect r; int32_t sides; bool nonNegativeArea; };
  GRect inverted;
  inverted.SetRect(0, 0, -5, -5);
  GRect oneNegative;
  oneNegative.SetRect(0, 0, -5, 5);
  const Case cases[] = {
      {GRect(), 0, true},           {GRect(0, 0, 5, 0), 1, true}, {GRect(0, 0, 0, 5), 1, true},
      {GRect(0, 0, 5, 5), 2, true}, {inverted, 0, true},          {oneNegative, 1, false},
      // The area is the wrapping 32-bit product: 46341 squared passes INT32_MAX.
      {GRect(0, 0, 46340, 46340), 2, true}, {GRect(0, 0, 46341, 46341), 2, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.r.CountPositiveSides(), c.sides) << c.r;
    EXPECT_EQ(c.r.IsNull(), c.sides == 0) << c.r;
    EXPECT_EQ(c.r.HasOnePositiveSide(), c.sides == 1) << c.r;
    EXPECT_EQ(c.r.HasArea(), c.sides == 2) << c.r;
    EXPECT_EQ(c.r.HasNonNegativeArea(), c.nonNegativeArea) << c.r;
  }
}

TEST(GRect, PtInRectExcludesRightAndBottomEdgesIntersectionNeedsOverlapAndUnionSkipsNoInput) {
  GRect out(1, 1, 2, 2);
  EXPECT_TRUE(Same(GRectIntersection(out, GRect(0, 0, 10, 10), GRect(10, 0, 20, 10)), 0, 0, 0, 0));
  EXPECT_TRUE(Same(GRectIntersection(out, GRect(0, 0, 10, 10), GRect(5, 5, 20, 20)), 5, 5, 10, 10));
  EXPECT_TRUE(Same(out, 5, 5, 10, 10));
  const GRect full(3, 4, 50, 60);
  EXPECT_EQ(GRectIntersection(out, full, full), full);
  const GRect flat(3, 4, 50, 4);
  EXPECT_TRUE(Same(GRectIntersection(out, flat, flat), 0, 0, 0, 0));
  GRect a(0, 0, 10, 10);
  GRectIntersection(a, a, GRect(2, 3, 20, 20));  // the output may alias an input
  EXPECT_TRUE(Same(a, 2, 3, 10, 10));
  EXPECT_TRUE(Same(GRectUnion(out, GRect(), GRect(100, 100, 200, 200)), 0, 0, 200, 200));
  EXPECT_TRUE(Same(GRectUnion(out, GRect(5, 5, 6, 6), GRect(-3, 10, 2, 12)), -3, 5, 6, 12));
  const GRect r(10, 10, 20, 20);
  struct Case { int32_t x, y; bool inside; };
  const Case cases[] = {{10, 10, true}, {19, 19, true}, {20, 15, false}, {15, 20, false}, {9, 15, false}, {15, 9, false}};
  for (const Case& c : cases) EXPECT_EQ(r.PtInRect(c.x, c.y), c.inside) << c.x << "," << c.y;
}

}  // namespace
