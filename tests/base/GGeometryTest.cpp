#include "base/GGeometry.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <ostream>

// Found by argument lookup from GoogleTest's printers, so it lives beside GRect.
static std::ostream& operator<<(std::ostream& os, const GRect& r) {
  return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

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

TEST(GRect, MovesAndResizesKeepTheirAnchorsAndWrapAtThirtyTwoBits) {
  GRect r(10, 20, 40, 60);
  EXPECT_EQ(r.TopLeft(), GPoint(10, 20));
  EXPECT_EQ(r.BottomRight(), GPoint(40, 60));
  EXPECT_EQ(r.Size(), GSize(30, 40));
  r.MoveTo(GPoint(-5, 7));
  EXPECT_TRUE(Same(r, -5, 7, 25, 47));
  r.SetSize(1, 2);
  EXPECT_TRUE(Same(r, -5, 7, -4, 9));
  r.Offset(GSize(5, -7));
  r.Offset(GPoint(1, 1));
  EXPECT_TRUE(Same(r, 1, 1, 2, 3));
  EXPECT_TRUE(Same(r + GSize(10, 10), 11, 11, 12, 13));
  EXPECT_TRUE(Same(r - GPoint(1, 1), 0, 0, 1, 2));
  r -= GSize(1, 1);
  r += GPoint(2, 0);
  EXPECT_TRUE(Same(r, 2, 0, 3, 2));
  r.Grow(GSize(3, 4));
  r.Shrink(GSize(1, 2));
  EXPECT_TRUE(Same(r, 2, 0, 5, 4));
  EXPECT_NE(r, GRect(2, 0, 5, 5));
  RECT out{};
  r.CopyTo(&out);
  EXPECT_TRUE(Same(GRect(out), 2, 0, 5, 4));
  r = GRect(0, 0, INT32_MAX, INT32_MAX);  // the arithmetic wraps at 32 bits
  r.Offset(GSize(1, 1));
  EXPECT_TRUE(Same(r, 1, 1, INT32_MIN, INT32_MIN));
  EXPECT_EQ(GRect(INT32_MIN, 0, INT32_MAX, 1).Width(), -1);
  GRect m;
  m.SetRect(INT32_MAX, 0, INT32_MAX, 0);
  m.SetSize(1, 0);
  EXPECT_EQ(m.right, INT32_MIN);
  EXPECT_EQ(-GSize(INT32_MIN, 0), GSize(INT32_MIN, 0));
  EXPECT_EQ(GPoint(INT32_MAX, 0) + GPoint(1, 0), GPoint(INT32_MIN, 0));
}

TEST(GPoint, ComparisonsHoldOnlyWhenBothComponentsAgree) {
  struct Case { GPoint a, b; bool lt, gt, le, ge; };
  const Case cases[] = {
      {{3, 7}, {1, 9}, false, false, false, false}, {{1, 5}, {5, 1}, false, false, false, false},
      {{2, 2}, {1, 1}, false, true, false, true},   {{1, 2}, {1, 1}, false, false, false, true},
      {{1, 1}, {1, 1}, false, false, true, true},   {{1, 1}, {2, 2}, true, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a.x << "," << c.a.y << " vs " << c.b.x << "," << c.b.y);
    using Four = std::array<bool, 4>;
    const GSize sa(c.a), sb(c.b);
    EXPECT_EQ((Four{c.a < c.b, c.a > c.b, c.a <= c.b, c.a >= c.b}), (Four{c.lt, c.gt, c.le, c.ge}));
    EXPECT_EQ((Four{sa < sb, sa > sb, sa <= sb, sa >= sb}), (Four{c.lt, c.gt, c.le, c.ge}));
  }
  EXPECT_TRUE(GPoint(1, 2) != GPoint(1, 3));
}

TEST(GPoint, MixedArithmeticGivesTheRightKindsAndPackedParametersSignOrZeroExtend) {
  const uint32_t packed = 0xFFFF0005u;
  EXPECT_EQ(GPoint::FromMessageParam(static_cast<LPARAM>(packed)), GPoint(5, -1));
  EXPECT_EQ(GPoint::FromPacked(packed), GPoint(5, 65535));
  EXPECT_EQ(GSize::FromMessageParam(static_cast<LPARAM>(packed)), GSize(5, -1));
  EXPECT_EQ(GSize::FromPacked(packed), GSize(5, 65535));
  // Only the low 32 bits of a 64-bit parameter carry the point.
  EXPECT_EQ(GPoint::FromMessageParam(static_cast<LPARAM>(0x123400020003ll)), GPoint(3, 2));
  const GPoint p(10, 20);
  const GSize s(1, 2);
  static_assert(std::is_same_v<decltype(p - p), GSize>);
  static_assert(std::is_same_v<decltype(p + s), GPoint>);
  static_assert(std::is_same_v<decltype(p + p), GPoint>);
  EXPECT_EQ(GPoint(30, 50) - p, GSize(20, 30));
  EXPECT_EQ(p + s, GPoint(11, 22));
  EXPECT_EQ(p - s, GPoint(9, 18));
  EXPECT_EQ(-p, GPoint(-10, -20));
  EXPECT_EQ(s + s - GSize(2, 0), GSize(0, 4));
  GPoint q = p + p;
  q -= GPoint(11, 21);
  EXPECT_EQ(q, GPoint(9, 19));
  EXPECT_TRUE(GSize().IsZero() && !GSize(0, 1).IsZero());
  EXPECT_EQ(GPoint(GSize(4, 5)), GPoint(4, 5));
  EXPECT_EQ(GSize(POINT{6, 7}), GSize(6, 7));
  EXPECT_EQ(GPoint(POINT{6, 7}), GPoint(6, 7));
  EXPECT_EQ(GSize(SIZE{8, 9}), GSize(8, 9));
}

}  // namespace
