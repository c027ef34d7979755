// What has been drawn on the client area, in twips: every operation in order, less those that a
// later one paints over entirely at any scale, so any part of it can be painted again at any
// scale or density without asking the game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/rect.h"
#include "drawing/region.h"
#include "model/platform.h"

namespace pawnfall {

struct DrawOp {
  enum class Kind : std::uint8_t { Picture, Outline, Text };
  Kind kind = Kind::Picture;
  bool live = true;
  Picture picture{};  // a picture's
  int colour = 0;     // an outline's or a text's
  // A picture's or a text's top-left corner; an outline's first corner.
  double x1 = 0, y1 = 0;
  // A picture's far corner at its natural size; an outline's second corner.
  double x2 = 0, y2 = 0;
  std::uint32_t text = 0;  // a text's index into the texts
};

struct TextOp {
  std::string text, face;
  int points = 0;
  Rect ink;  // in twips, every pixel it paints at any scale
  // The part of the ink that no later picture has yet covered.
  Region uncovered;
};

// A text's box as the platform's font measured it at the starting size, in pixels from the
// text's top-left corner: its line box together with its ink.
struct TextBox {
  double left = 0, top = 0, right = 0, bottom = 0;
};
// The twips a text may paint at any scale: the measured box grown for font sizes that round
// differently when scaled and for a pixel or two of hinting.
Rect text_ink(double x, double y, const TextBox& measured);

// A text lives until later pictures have covered every twip of its ink, as on a persistent
// image: digits that stand beyond the tiles that clear a number stay until a full redraw.
class DrawingRecord {
 public:
  // A picture of the given natural size in twips, painted opaquely.
  void add_picture(Picture picture, double x, double y, double width, double height);
  void add_outline(int colour, double x1, double y1, double x2, double y2);
  void add_text(double x, double y, std::string_view text, std::string_view face, int points,
                int colour, const Rect& ink);

  // In the order drawn; dead ones are covered by later ones and need not be painted.
  const std::vector<DrawOp>& ops() const { return ops_; }
  const TextOp& text(const DrawOp& op) const { return texts_[op.text]; }
  std::size_t live() const { return ops_.size() - dead_; }
  // The background tile drawn last, which the space around the drawing continues; none before
  // the first.
  std::optional<Picture> background() const;

  // Drops the dead operations once they far outnumber the live ones; answers whether it did,
  // which moves the live ones to other places.
  bool compact();

 private:
  // The latest operation of each footprint (kind and corners), in a table of open addressing:
  // a look-up for every operation has to cost next to nothing beside the painting.
  class Footprints {
   public:
    Footprints() { clear(); }
    // Makes `index` (of `op`, not yet among `ops`) the latest of its footprint; answers the one
    // it replaces, or kNone.
    std::uint32_t replace(const std::vector<DrawOp>& ops, const DrawOp& op, std::uint32_t index);
    void clear();
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

   private:
    struct Slot {
      std::uint32_t index = kNone;
      std::uint32_t hash = 0;
    };
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
  };

  void kill(std::uint32_t index);
  // Records the operation; an earlier one of the same footprint paints the very pixels it
  // paints, at any scale, so it dies.
  void add(const DrawOp& op);
  // Texts lying wholly under the picture's sure area die.
  void cover_texts(const Rect& sure);

  std::vector<DrawOp> ops_;
  std::vector<TextOp> texts_;
  Footprints by_footprint_;
  std::vector<std::uint32_t> live_texts_;  // indices into ops_
  Rect text_area_;                         // bounds every live text's uncovered part
  std::size_t dead_ = 0;
};

}  // namespace pawnfall
