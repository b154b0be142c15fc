// The effect formulas, one scalar function each. The blend tables are built from them
// and the reference row functions evaluate them directly, so both paths share one
// definition of every blend.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kk::fxmath {

constexpr int32_t kLevels = 31;        // levels 0..31; 31 is fully transparent
constexpr int32_t kLevelRows = 30;     // rows for levels 1..30
constexpr int32_t kLevelRowLength = 31;  // alpha values 0..30
constexpr int32_t kTableCount = 34;
constexpr int32_t kCurveTable = 30;    // effect 100
constexpr int32_t kScreenTable = 31;   // effect 101
constexpr int32_t kInvMulTable = 32;   // effect 102
constexpr int32_t kDiffTable = 33;     // effect 103

// Level row of level L (1..30): an alpha a (0..30) weakened by the level.
constexpr int32_t LevelRowEntry(int32_t level, int32_t a) { return a * (33 - level) / 31; }

// ((31 - L) x b + L x a) / 31, rounded: level L keeps L/31 of a.
constexpr int32_t LevelMix(int32_t level, int32_t a, int32_t b) {
  return (((31 - level) * b + level * a) * 2 + 31) / 62;
}

inline int32_t Curve(int32_t a, int32_t b, int32_t m) {
  const double pi = 3.14159265358979323846;
  const double v = std::max(double(a), b - 4.5 * std::sin(2.0 * pi * b / m));
  return std::clamp(int32_t(v + 0.5), int32_t{0}, m);
}

constexpr int32_t Screen(int32_t a, int32_t b, int32_t m) {
  const int32_t hi = std::max(a, b), lo = std::min(a, b);
  return hi + lo * (m - hi) / m;
}

constexpr int32_t InverseMultiply(int32_t a, int32_t b, int32_t m) { return a * (m - b) / m; }

constexpr int32_t Difference(int32_t a, int32_t b) { return std::max(a, b) - std::min(a, b); }

// Entry [a][b] of blend table t for channel maximum m.
inline int32_t TableEntry(int32_t t, int32_t a, int32_t b, int32_t m) {
  if (t < kCurveTable) return LevelMix(t + 1, a, b);
  switch (t) {
    case kCurveTable: return Curve(a, b, m);
    case kScreenTable: return Screen(a, b, m);
    case kInvMulTable: return InverseMultiply(a, b, m);
    default: return Difference(a, b);
  }
}

}  // namespace kk::fxmath
