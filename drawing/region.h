// An area made of rectangles that do not overlap: what is left of a text's ink while later
// pictures cover parts of it.
#pragma once

#include <vector>

#include "drawing/rect.h"

namespace pawnfall {

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r) {
    if (!r.empty()) parts_.push_back(r);
  }
  bool empty() const { return parts_.empty(); }
  bool intersects(const Rect& r) const;
  Rect bounds() const;
  // Takes the rectangle away: each part it cuts leaves at most four.
  void subtract(const Rect& r);

 private:
  std::vector<Rect> parts_;
};

}  // namespace pawnfall
