// Rectangle-list arithmetic. Pieces never overlap, so a pixel is drawn once.
#include "ddraw/Region.h"

#include <algorithm>

namespace plat::detail::ddraw {

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return IsEmpty(r) ? RECT{} : r;
}

std::vector<RECT> Subtract(const std::vector<RECT>& region, const RECT& hole) {
  std::vector<RECT> out;
  for (const RECT& r : region) {
    const RECT cut = Intersect(r, hole);
    if (IsEmpty(cut)) {
      out.push_back(r);
      continue;
    }
    // Bands above and below the hole, then the pieces left and right of it.
    if (r.top < cut.top) out.push_back(RECT{r.left, r.top, r.right, cut.top});
    if (cut.bottom < r.bottom) out.push_back(RECT{r.left, cut.bottom, r.right, r.bottom});
    if (r.left < cut.left) out.push_back(RECT{r.left, cut.top, cut.left, cut.bottom});
    if (cut.right < r.right) out.push_back(RECT{cut.right, cut.top, r.right, cut.bottom});
  }
  return out;
}

std::vector<RECT> Clip(const std::vector<RECT>& region, const RECT& window) {
  std::vector<RECT> out;
  for (const RECT& r : region) {
    const RECT c = Intersect(r, window);
    if (!IsEmpty(c)) out.push_back(c);
  }
  return out;
}

}  // namespace plat::detail::ddraw
