// What the page's canvas shows, kept as drawing operations, so that a new size or density draws
// it again without asking the game.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/platform.h"

namespace pawnfall {

struct DrawOp {
  enum class Kind { Picture, Outline, Text } kind;
  Picture picture;
  int colour = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int points = 0;
  std::size_t text = 0;  // a text's index in the record's texts
};

// The operations in order. One that stands exactly where a later one of the same kind and size
// stands is painted over by it and dropped: the record stays as large as the screen, not the
// game's history. Kept small and flat: an animation step records every square it draws.
class DrawingRecord {
 public:
  // w and h: a picture's size in twips (what it covers); unused for the other kinds.
  void add(DrawOp op, double w = 0, double h = 0);
  std::size_t add_text(std::string text);
  const std::string& text(const DrawOp& op) const { return texts_[op.text]; }
  template <class F>
  void for_each(F f) const {
    for (const auto& slot : ops_)
      if (slot.live) f(slot.op);
  }
  std::size_t live() const { return by_place_.size(); }

 private:
  struct Place {
    int kind;
    double x, y, w, h;
    int colour;
    bool operator==(const Place&) const = default;
  };
  struct PlaceHash {
    std::size_t operator()(const Place& p) const {
      std::size_t h = std::hash<double>()(p.x) * 31 + std::hash<double>()(p.y);
      h = h * 31 + std::hash<double>()(p.w) * 7 + std::hash<double>()(p.h);
      return h * 31 + static_cast<std::size_t>(p.kind * 16 + p.colour);
    }
  };
  struct Slot {
    DrawOp op;
    Place place;
    bool live = true;
  };
  void compact();
  std::vector<Slot> ops_;
  std::unordered_map<Place, std::size_t, PlaceHash> by_place_;
  std::vector<std::string> texts_;
};

}  // namespace pawnfall
