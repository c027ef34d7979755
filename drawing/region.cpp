// An area made of rectangles that do not overlap.
#include "drawing/region.h"

#include <algorithm>

namespace pawnfall {

bool Region::intersects(const Rect& r) const {
  return std::any_of(parts_.begin(), parts_.end(), [&](const Rect& p) { return p.intersects(r); });
}

Rect Region::bounds() const {
  Rect out;
  for (const Rect& p : parts_) out |= p;
  return out;
}

void Region::subtract(const Rect& r) {
  std::vector<Rect> kept;
  kept.reserve(parts_.size() + 3);
  for (const Rect& p : parts_) {
    if (!p.intersects(r)) {
      kept.push_back(p);
      continue;
    }
    // The bands above and below the cut, then what is left and right of it between them.
    const int top = std::max(p.top, r.top), bottom = std::min(p.bottom, r.bottom);
    for (const Rect piece :
         {Rect{p.left, p.top, p.right, top}, Rect{p.left, bottom, p.right, p.bottom},
          Rect{p.left, top, std::max(p.left, r.left), bottom},
          Rect{std::min(p.right, r.right), top, p.right, bottom}})
      if (!piece.empty()) kept.push_back(piece);
  }
  parts_ = std::move(kept);
}

}  // namespace pawnfall
