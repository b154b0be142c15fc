// A region as y-banded rectangles: bands sorted top to bottom, never overlapping,
// each holding sorted, disjoint, non-touching x spans; adjacent bands with equal
// spans are merged. Built for regions of thousands of one-row rectangles.
#pragma once

#include <cstdint>
#include <vector>

#include "plat/gdi.h"

namespace plat::detail::gdi {

class Region {
 public:
  struct Span {
    int32_t left, right;
  };
  struct Band {
    int32_t top, bottom;
    uint32_t first, count;  // spans_[first .. first + count)
  };

  Region() = default;
  explicit Region(const RECT& rect);
  // Any rectangles, overlapping or unsorted; empty ones are ignored. Rectangles that
  // come in band order (as a row scan makes them) are taken without sorting.
  static Region FromRects(const RECT* rects, size_t count);
  // The general sweep FromRects falls back on: the reference its fast path must equal.
  static Region FromRectsSweep(const RECT* rects, size_t count);

  bool Empty() const { return bands_.empty(); }
  RECT Box() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;
  bool Contains(int32_t x, int32_t y) const;
  bool Intersects(const RECT& rect) const;
  void Offset(int32_t dx, int32_t dy);
  std::vector<RECT> Rects() const;
  // Calls f(RECT) for each rectangle of the region inside `bounds`, clipped to it.
  template <class F>
  void ForEachIn(const RECT& bounds, F&& f) const {
    for (const Band& b : bands_) {
      if (b.bottom <= bounds.top) continue;
      if (b.top >= bounds.bottom) break;
      const int32_t top = b.top > bounds.top ? b.top : bounds.top;
      const int32_t bottom = b.bottom < bounds.bottom ? b.bottom : bounds.bottom;
      for (uint32_t i = b.first; i < b.first + b.count; ++i) {
        const Span& s = spans_[i];
        const int32_t l = s.left > bounds.left ? s.left : bounds.left;
        const int32_t r = s.right < bounds.right ? s.right : bounds.right;
        if (l < r) f(RECT{l, top, r, bottom});
      }
    }
  }

  enum class Op { And, Or, Xor, Diff };
  static Region Combine(const Region& a, const Region& b, Op op);
  // Or-s `b` into this region in time linear in `b` alone, when `b` starts no higher
  // than this region's last band (a region built row by row, block by block); false,
  // and nothing changed, otherwise.
  bool AppendOr(const Region& b);
  bool operator==(const Region& other) const;

 private:
  const Band* BandAt(int32_t y) const;
  void AddBand(int32_t top, int32_t bottom, const std::vector<Span>& spans) {
    AddBand(top, bottom, spans.data(), spans.size());
  }
  void AddBand(int32_t top, int32_t bottom, const Span* spans, size_t count);

  std::vector<Band> bands_;
  std::vector<Span> spans_;
};

}  // namespace plat::detail::gdi
