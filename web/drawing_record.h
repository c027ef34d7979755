// What the page's canvas shows, kept as drawing operations, so that a new size or density draws
// it again without asking the game.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "model/platform.h"

namespace pawnfall {

struct DrawOp {
  enum class Kind { Picture, Outline, Text } kind;
  Picture picture;
  int colour = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::string text, face;
  int points = 0;
};

// The operations in order. One that stands exactly where a later one of the same kind and size
// stands is painted over by it and dropped: the record stays as large as the screen, not the
// game's history.
class DrawingRecord {
 public:
  // w and h: a picture's size in twips (what it covers); unused for the other kinds.
  void add(DrawOp op, double w = 0, double h = 0);
  template <class F>
  void for_each(F f) const {
    for (const auto& slot : ops_)
      if (slot.live) f(slot.op);
  }
  std::size_t live() const { return by_place_.size(); }

 private:
  using Place = std::tuple<int, double, double, double, double, int>;
  struct Slot {
    DrawOp op;
    Place place;
    bool live = true;
  };
  std::vector<Slot> ops_;
  std::map<Place, std::size_t> by_place_;
};

}  // namespace pawnfall
