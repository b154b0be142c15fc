// Region algebra by sweeping bands: every operation walks both band lists once,
// combining the x spans of each y interval, so building a region row by row stays
// linear in its size.
#include "gdi/Region.h"

#include <algorithm>
#include <limits>

namespace plat::detail::gdi {
namespace {

using Span = Region::Span;

bool Keep(Region::Op op, bool inA, bool inB) {
  switch (op) {
    case Region::Op::And: return inA && inB;
    case Region::Op::Or: return inA || inB;
    case Region::Op::Xor: return inA != inB;
    case Region::Op::Diff: return inA && !inB;
  }
  return false;
}

// Spans of two sorted disjoint lists combined by `op`.
void CombineSpans(const Span* a, size_t na, const Span* b, size_t nb, Region::Op op, std::vector<Span>& out) {
  out.clear();
  size_t ia = 0, ib = 0;  // index of the next edge: span i/2, left when even
  bool inA = false, inB = false, in = false;
  int32_t start = 0;
  auto edge = [](const Span* s, size_t i) { return (i & 1) ? s[i / 2].right : s[i / 2].left; };
  while (ia < 2 * na || ib < 2 * nb) {
    int32_t x = std::numeric_limits<int32_t>::max();
    bool any = false;
    if (ia < 2 * na) x = edge(a, ia), any = true;
    if (ib < 2 * nb && (!any || edge(b, ib) < x)) x = edge(b, ib);
    while (ia < 2 * na && edge(a, ia) == x) inA = !(ia++ & 1);
    while (ib < 2 * nb && edge(b, ib) == x) inB = !(ib++ & 1);
    const bool now = Keep(op, inA, inB);
    if (now != in) {
      if (now) {
        start = x;
      } else if (start < x) {
        out.push_back({start, x});
      }
      in = now;
    }
  }
}

bool SameSpans(const Span* a, const Span* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (a[i].left != b[i].left || a[i].right != b[i].right) return false;
  return true;
}

}  // namespace

Region::Region(const RECT& r) {
  if (r.left < r.right && r.top < r.bottom) AddBand(r.top, r.bottom, {{r.left, r.right}});
}

void Region::AddBand(int32_t top, int32_t bottom, const Span* spans, size_t count) {
  if (count == 0 || top >= bottom) return;
  if (!bands_.empty()) {
    Band& last = bands_.back();
    if (last.bottom == top && last.count == count && SameSpans(&spans_[last.first], spans, count)) {
      last.bottom = bottom;
      return;
    }
  }
  bands_.push_back({top, bottom, static_cast<uint32_t>(spans_.size()), static_cast<uint32_t>(count)});
  spans_.insert(spans_.end(), spans, spans + count);
}

Region Region::FromRects(const RECT* rects, size_t count) {
  // Band order: runs of rectangles of one top and bottom, left to right without
  // overlap, each run starting no higher than the last one ended. Such a list is
  // already its own banding; anything else takes the sweep.
  for (size_t i = 0; i < count; ++i) {
    const RECT& r = rects[i];
    if (r.left >= r.right || r.top >= r.bottom) return FromRectsSweep(rects, count);
    if (i == 0) continue;
    const RECT& p = rects[i - 1];
    const bool sameBand = r.top == p.top && r.bottom == p.bottom && r.left >= p.right;
    if (!sameBand && r.top < p.bottom) return FromRectsSweep(rects, count);
  }
  Region out;
  out.spans_.reserve(count);
  std::vector<Span> spans;
  for (size_t i = 0; i < count;) {
    const int32_t top = rects[i].top, bottom = rects[i].bottom;
    spans.clear();
    for (; i < count && rects[i].top == top && rects[i].bottom == bottom; ++i) {
      // Touching runs are one span, as the sweep joins them.
      if (!spans.empty() && rects[i].left <= spans.back().right) {
        spans.back().right = std::max(spans.back().right, rects[i].right);
      } else {
        spans.push_back({rects[i].left, rects[i].right});
      }
    }
    out.AddBand(top, bottom, spans);
  }
  return out;
}

Region Region::FromRectsSweep(const RECT* rects, size_t count) {
  std::vector<RECT> sorted;
  sorted.reserve(count);
  std::vector<int32_t> ys;
  ys.reserve(2 * count);
  for (size_t i = 0; i < count; ++i) {
    const RECT& r = rects[i];
    if (r.left >= r.right || r.top >= r.bottom) continue;
    sorted.push_back(r);
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  std::sort(sorted.begin(), sorted.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  Region out;
  std::vector<const RECT*> active;
  std::vector<Span> spans;
  size_t next = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int32_t y0 = ys[k], y1 = ys[k + 1];
    std::erase_if(active, [y0](const RECT* r) { return r->bottom <= y0; });
    while (next < sorted.size() && sorted[next].top <= y0) active.push_back(&sorted[next++]);
    if (active.empty()) continue;
    spans.clear();
    for (const RECT* r : active) spans.push_back({r->left, r->right});
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.left < b.left; });
    size_t w = 0;
    for (size_t i = 1; i < spans.size(); ++i) {
      if (spans[i].left <= spans[w].right) {
        spans[w].right = std::max(spans[w].right, spans[i].right);
      } else {
        spans[++w] = spans[i];
      }
    }
    spans.resize(w + 1);
    out.AddBand(y0, y1, spans);
  }
  return out;
}

RECT Region::Box() const {
  if (bands_.empty()) return RECT{0, 0, 0, 0};
  RECT box{std::numeric_limits<int32_t>::max(), bands_.front().top, std::numeric_limits<int32_t>::min(),
           bands_.back().bottom};
  for (const Band& b : bands_) {
    box.left = std::min(box.left, spans_[b.first].left);
    box.right = std::max(box.right, spans_[b.first + b.count - 1].right);
  }
  return box;
}

int Region::Complexity() const {
  if (bands_.empty()) return NULLREGION;
  return (bands_.size() == 1 && bands_[0].count == 1) ? SIMPLEREGION : COMPLEXREGION;
}

const Region::Band* Region::BandAt(int32_t y) const {
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y, [](int32_t v, const Band& b) { return v < b.top; });
  if (it == bands_.begin()) return nullptr;
  --it;
  return y < it->bottom ? &*it : nullptr;
}

bool Region::Contains(int32_t x, int32_t y) const {
  const Band* b = BandAt(y);
  if (!b) return false;
  const Span* first = &spans_[b->first];
  const Span* last = first + b->count;
  const Span* s = std::upper_bound(first, last, x, [](int32_t v, const Span& sp) { return v < sp.left; });
  if (s == first) return false;
  --s;
  return x < s->right;
}

bool Region::Intersects(const RECT& rect) const {
  bool hit = false;
  ForEachIn(rect, [&hit](const RECT&) { hit = true; });
  return hit;
}

void Region::Offset(int32_t dx, int32_t dy) {
  bool clamped = false;
  auto move = [&clamped](int32_t v, int32_t d) {
    const int64_t r = static_cast<int64_t>(v) + d;
    const int64_t c = std::clamp<int64_t>(r, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    clamped |= c != r;
    return static_cast<int32_t>(c);
  };
  for (Band& b : bands_) {
    b.top = move(b.top, dy);
    b.bottom = move(b.bottom, dy);
  }
  for (Span& s : spans_) {
    s.left = move(s.left, dx);
    s.right = move(s.right, dx);
  }
  // Clamping at the coordinate limits can collapse or join pieces: rebuild then.
  if (clamped) {
    std::vector<RECT> rects = Rects();
    *this = FromRects(rects.data(), rects.size());
  }
}

std::vector<RECT> Region::Rects() const {
  std::vector<RECT> out;
  out.reserve(spans_.size());
  for (const Band& b : bands_)
    for (uint32_t i = b.first; i < b.first + b.count; ++i) out.push_back({spans_[i].left, b.top, spans_[i].right, b.bottom});
  return out;
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  Region out;
  std::vector<int32_t> ys;
  ys.reserve(2 * (a.bands_.size() + b.bands_.size()));
  for (const Region* r : {&a, &b})
    for (const Band& band : r->bands_) {
      ys.push_back(band.top);
      ys.push_back(band.bottom);
    }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  size_t ia = 0, ib = 0;
  std::vector<Span> spans;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int32_t y0 = ys[k], y1 = ys[k + 1];
    while (ia < a.bands_.size() && a.bands_[ia].bottom <= y0) ++ia;
    while (ib < b.bands_.size() && b.bands_[ib].bottom <= y0) ++ib;
    const bool hasA = ia < a.bands_.size() && a.bands_[ia].top <= y0;
    const bool hasB = ib < b.bands_.size() && b.bands_[ib].top <= y0;
    const Span* sa = hasA ? &a.spans_[a.bands_[ia].first] : nullptr;
    const Span* sb = hasB ? &b.spans_[b.bands_[ib].first] : nullptr;
    CombineSpans(sa, hasA ? a.bands_[ia].count : 0, sb, hasB ? b.bands_[ib].count : 0, op, spans);
    out.AddBand(y0, y1, spans);
  }
  return out;
}

bool Region::AppendOr(const Region& b) {
  if (b.Empty()) return true;
  if (Empty()) {
    *this = b;
    return true;
  }
  const Band last = bands_.back();
  if (b.bands_.front().top < last.top || last.first + last.count != spans_.size()) return false;
  if (b.bands_.front().top >= last.bottom) {
    // Wholly below: b's bands follow as they are, the first joining the last band
    // when it continues it with equal spans.
    for (const Band& band : b.bands_) AddBand(band.top, band.bottom, &b.spans_[band.first], band.count);
    return true;
  }
  // Only the last band can meet `b`: it is combined with `b` and the result takes
  // its place, so equal bands at the seam merge as in a full combine.
  Region tail;
  tail.AddBand(last.top, last.bottom, std::vector<Span>(spans_.begin() + last.first, spans_.end()));
  const Region merged = Combine(tail, b, Op::Or);
  bands_.pop_back();
  spans_.resize(last.first);
  std::vector<Span> spans;
  for (const Band& band : merged.bands_) {
    spans.assign(merged.spans_.begin() + band.first, merged.spans_.begin() + band.first + band.count);
    AddBand(band.top, band.bottom, spans);
  }
  return true;
}

bool Region::operator==(const Region& other) const {
  if (bands_.size() != other.bands_.size() || spans_.size() != other.spans_.size()) return false;
  for (size_t i = 0; i < bands_.size(); ++i) {
    const Band &x = bands_[i], &y = other.bands_[i];
    if (x.top != y.top || x.bottom != y.bottom || x.count != y.count) return false;
    if (!SameSpans(&spans_[x.first], &other.spans_[y.first], x.count)) return false;
  }
  return true;
}

}  // namespace plat::detail::gdi
