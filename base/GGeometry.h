// Pixel geometry of the widget library: points, sizes and rectangles with exclusive
// right and bottom edges. Plain values laid out like POINT, SIZE and RECT; arithmetic
// wraps at 32 bits (done in uint32_t, so overflow is defined, never trapped).
#pragma once

#include <cstdint>
#include <utility>

#include "plat/types.h"

namespace geom {

constexpr int32_t Add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t Sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t Neg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }
constexpr int32_t Mul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
constexpr int32_t Low16Signed(uint32_t packed) { return static_cast<int16_t>(packed & 0xFFFFu); }
constexpr int32_t High16Signed(uint32_t packed) { return static_cast<int16_t>(packed >> 16); }
constexpr int32_t Low16Unsigned(uint32_t packed) { return static_cast<int32_t>(packed & 0xFFFFu); }
constexpr int32_t High16Unsigned(uint32_t packed) { return static_cast<int32_t>(packed >> 16); }

}  // namespace geom

struct GPoint;

struct GSize {
  int32_t cx = 0;
  int32_t cy = 0;

  constexpr GSize() = default;
  constexpr GSize(int32_t w, int32_t h) : cx(w), cy(h) {}
  constexpr GSize(const SIZE& s) : cx(s.cx), cy(s.cy) {}
  constexpr explicit GSize(const POINT& p) : cx(p.x), cy(p.y) {}
  constexpr explicit GSize(const GPoint& p);

  // Window messages pack two signed 16-bit halves into their parameter; only the
  // low 32 bits of an LPARAM count, as on 32-bit Windows.
  static constexpr GSize FromMessageParam(LPARAM packed) {
    const auto v = static_cast<uint32_t>(packed);
    return {geom::Low16Signed(v), geom::High16Signed(v)};
  }
  static constexpr GSize FromPacked(uint32_t packed) {
    return {geom::Low16Unsigned(packed), geom::High16Unsigned(packed)};
  }

  constexpr bool IsZero() const { return cx == 0 && cy == 0; }

  constexpr GSize& operator+=(const GSize& o) {
    cx = geom::Add(cx, o.cx);
    cy = geom::Add(cy, o.cy);
    return *this;
  }
  constexpr GSize& operator-=(const GSize& o) {
    cx = geom::Sub(cx, o.cx);
    cy = geom::Sub(cy, o.cy);
    return *this;
  }
  constexpr GSize operator-() const { return {geom::Neg(cx), geom::Neg(cy)}; }
  friend constexpr GSize operator+(GSize a, const GSize& b) { return a += b; }
  friend constexpr GSize operator-(GSize a, const GSize& b) { return a -= b; }

  friend constexpr bool operator==(const GSize& a, const GSize& b) { return a.cx == b.cx && a.cy == b.cy; }
  // Component-wise partial order: a relation holds only when it holds for both.
  friend constexpr bool operator<(const GSize& a, const GSize& b) { return a.cx < b.cx && a.cy < b.cy; }
  friend constexpr bool operator>(const GSize& a, const GSize& b) { return a.cx > b.cx && a.cy > b.cy; }
  friend constexpr bool operator<=(const GSize& a, const GSize& b) { return a.cx <= b.cx && a.cy <= b.cy; }
  friend constexpr bool operator>=(const GSize& a, const GSize& b) { return a.cx >= b.cx && a.cy >= b.cy; }
};

struct GPoint {
  int32_t x = 0;
  int32_t y = 0;

  constexpr GPoint() = default;
  constexpr GPoint(int32_t px, int32_t py) : x(px), y(py) {}
  constexpr GPoint(const POINT& p) : x(p.x), y(p.y) {}
  constexpr explicit GPoint(const GSize& s) : x(s.cx), y(s.cy) {}

  static constexpr GPoint FromMessageParam(LPARAM packed) {
    const auto v = static_cast<uint32_t>(packed);
    return {geom::Low16Signed(v), geom::High16Signed(v)};
  }
  static constexpr GPoint FromPacked(uint32_t packed) {
    return {geom::Low16Unsigned(packed), geom::High16Unsigned(packed)};
  }

  constexpr GPoint& operator+=(const GSize& s) {
    x = geom::Add(x, s.cx);
    y = geom::Add(y, s.cy);
    return *this;
  }
  constexpr GPoint& operator-=(const GSize& s) {
    x = geom::Sub(x, s.cx);
    y = geom::Sub(y, s.cy);
    return *this;
  }
  constexpr GPoint& operator+=(const GPoint& p) { return *this += GSize(p); }
  constexpr GPoint& operator-=(const GPoint& p) { return *this -= GSize(p); }
  constexpr GPoint operator-() const { return {geom::Neg(x), geom::Neg(y)}; }

  friend constexpr GPoint operator+(GPoint a, const GSize& b) { return a += b; }
  friend constexpr GPoint operator-(GPoint a, const GSize& b) { return a -= b; }
  friend constexpr GPoint operator+(GPoint a, const GPoint& b) { return a += b; }
  // The distance between two points is an extent, not a position.
  friend constexpr GSize operator-(const GPoint& a, const GPoint& b) {
    return {geom::Sub(a.x, b.x), geom::Sub(a.y, b.y)};
  }

  friend constexpr bool operator==(const GPoint& a, const GPoint& b) { return a.x == b.x && a.y == b.y; }
  friend constexpr bool operator<(const GPoint& a, const GPoint& b) { return a.x < b.x && a.y < b.y; }
  friend constexpr bool operator>(const GPoint& a, const GPoint& b) { return a.x > b.x && a.y > b.y; }
  friend constexpr bool operator<=(const GPoint& a, const GPoint& b) { return a.x <= b.x && a.y <= b.y; }
  friend constexpr bool operator>=(const GPoint& a, const GPoint& b) { return a.x >= b.x && a.y >= b.y; }
};

constexpr GSize::GSize(const GPoint& p) : cx(p.x), cy(p.y) {}

struct GRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr GRect() = default;
  // Only these three constructors order the edges; copies, RECTs and the setters
  // keep what they are given, inverted or not.
  constexpr GRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {
    Normalize();
  }
  constexpr GRect(const GPoint& topLeft, const GPoint& bottomRight)
      : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {
    Normalize();
  }
  constexpr GRect(const GPoint& topLeft, const GSize& size)
      : left(topLeft.x), top(topLeft.y), right(geom::Add(topLeft.x, size.cx)), bottom(geom::Add(topLeft.y, size.cy)) {
    Normalize();
  }
  constexpr GRect(const RECT& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}
  constexpr GRect& operator=(const RECT& r) {
    SetRect(r);
    return *this;
  }

  constexpr void SetRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  constexpr void SetRect(const GPoint& topLeft, const GPoint& bottomRight) {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
  }
  constexpr void SetRect(const GPoint& topLeft, const GSize& size) {
    SetRect(topLeft.x, topLeft.y, geom::Add(topLeft.x, size.cx), geom::Add(topLeft.y, size.cy));
  }
  constexpr void SetRect(const RECT& r) { SetRect(r.left, r.top, r.right, r.bottom); }
  constexpr void SetEmpty() { SetRect(0, 0, 0, 0); }

  constexpr int32_t Left() const { return left; }
  constexpr int32_t Top() const { return top; }
  constexpr int32_t Right() const { return right; }
  constexpr int32_t Bottom() const { return bottom; }
  constexpr GPoint TopLeft() const { return {left, top}; }
  constexpr GPoint BottomRight() const { return {right, bottom}; }
  constexpr int32_t Width() const { return geom::Sub(right, left); }
  constexpr int32_t Height() const { return geom::Sub(bottom, top); }
  constexpr GSize Size() const { return {Width(), Height()}; }

  constexpr void SetSize(int32_t cx, int32_t cy) {
    right = geom::Add(left, cx);
    bottom = geom::Add(top, cy);
  }
  constexpr void MoveTo(const GPoint& p) {
    const GSize size = Size();
    left = p.x;
    top = p.y;
    SetSize(size.cx, size.cy);
  }
  constexpr void Offset(const GSize& d) {
    left = geom::Add(left, d.cx);
    right = geom::Add(right, d.cx);
    top = geom::Add(top, d.cy);
    bottom = geom::Add(bottom, d.cy);
  }
  constexpr void Offset(const GPoint& d) { Offset(GSize(d)); }
  constexpr GRect& operator+=(const GSize& d) {
    Offset(d);
    return *this;
  }
  constexpr GRect& operator-=(const GSize& d) {
    Offset(-d);
    return *this;
  }
  constexpr GRect& operator+=(const GPoint& d) { return *this += GSize(d); }
  constexpr GRect& operator-=(const GPoint& d) { return *this -= GSize(d); }
  friend constexpr GRect operator+(GRect r, const GSize& d) { return r += d; }
  friend constexpr GRect operator-(GRect r, const GSize& d) { return r -= d; }
  friend constexpr GRect operator+(GRect r, const GPoint& d) { return r += d; }
  friend constexpr GRect operator-(GRect r, const GPoint& d) { return r -= d; }

  // Only the far edges move: the top-left corner is the widget's anchor.
  constexpr void Grow(const GSize& d) {
    right = geom::Add(right, d.cx);
    bottom = geom::Add(bottom, d.cy);
  }
  constexpr void Shrink(const GSize& d) { Grow(-d); }

  friend constexpr bool operator==(const GRect& a, const GRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }

  void CopyTo(RECT* out) const {
    out->left = left;
    out->top = top;
    out->right = right;
    out->bottom = bottom;
  }

  constexpr int32_t CountPositiveSides() const { return (Width() > 0 ? 1 : 0) + (Height() > 0 ? 1 : 0); }
  constexpr bool IsNull() const { return CountPositiveSides() == 0; }
  constexpr bool HasOnePositiveSide() const { return CountPositiveSides() == 1; }
  constexpr bool HasArea() const { return CountPositiveSides() == 2; }
  // The product is the 32-bit one on purpose: a large rectangle can wrap negative.
  constexpr bool HasNonNegativeArea() const { return geom::Mul(Width(), Height()) >= 0; }
  constexpr bool PtInRect(int32_t x, int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }

  // Equal edges stay where they are, so an empty rectangle keeps its position.
  constexpr void Normalize() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
};

static_assert(sizeof(GPoint) == sizeof(POINT) && offsetof(GPoint, x) == offsetof(POINT, x) &&
              offsetof(GPoint, y) == offsetof(POINT, y));
static_assert(sizeof(GSize) == sizeof(SIZE) && offsetof(GSize, cx) == offsetof(SIZE, cx) &&
              offsetof(GSize, cy) == offsetof(SIZE, cy));
static_assert(sizeof(GRect) == sizeof(RECT) && offsetof(GRect, left) == offsetof(RECT, left) &&
              offsetof(GRect, top) == offsetof(RECT, top) && offsetof(GRect, right) == offsetof(RECT, right) &&
              offsetof(GRect, bottom) == offsetof(RECT, bottom));

// Touching edges do not overlap (right edges are exclusive); no overlap is (0,0,0,0).
constexpr GRect& GRectIntersection(GRect& out, const GRect& a, const GRect& b) {
  const GPoint topLeft(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top);
  const GPoint bottomRight(a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
  out = bottomRight > topLeft ? GRect(topLeft, bottomRight) : GRect();
  return out;
}

// No test for empty input: callers that keep a running union choose what joins it.
constexpr GRect& GRectUnion(GRect& out, const GRect& a, const GRect& b) {
  const GPoint topLeft(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top);
  const GPoint bottomRight(a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
  out = GRect(topLeft, bottomRight);
  return out;
}
