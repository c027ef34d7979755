// The canvas's pixels, made here and handed to the page in one piece per frame: a square's
// picture and outline are row copies and fills in memory, where a canvas call each cost far more.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drawing/pictures.h"

namespace pawnfall {

class CanvasImage {
 public:
  // A canvas of width × height device pixels, the drawing's area within it, all green.
  void reset(int width, int height, int x, int y, int w, int h);
  // A picture from the page, at w × h device pixels (scaled there when the set differs).
  void picture(int id, int x, int y, int w, int h);
  void fill(int colour, int x, int y, int w, int h);
  // A picture as picture() paints it, only where it stands outside the drawing's area.
  void picture_around(int id, int x, int y, int w, int h);
  // Text is set by the page's fonts and blended in here.
  void text(int x, int y, const std::string& text, int pixels, int colour);
  // Puts what changed since the last time on the canvas.
  void flush();
  // Forgets the pictures made for the last scale.
  void forget_pictures() { pictures_ = {}; }

 private:
  struct Scaled {
    int w = 0, h = 0;
    std::vector<std::uint32_t> pixels;
  };
  // A text as the page set it (its alpha), from margin pixels above and left of its place.
  struct Ink {
    int w = 0, h = 0, margin = 0;
    std::vector<std::uint8_t> alpha;
  };
  // The text at a size, asked of the page once while it stays among the latest few.
  const Ink& ink(const std::string& text, int pixels);
  void touch(int x0, int y0, int x1, int y1);
  // The picture at w × h device pixels, asked of the page once for each size.
  const Scaled* scaled(int id, int w, int h);
  // Copies a span of the picture's row `from_y` to the canvas's row `y`, columns x0..x1.
  void copy_span(const Scaled& p, int x, int from_y, int y, int x0, int x1);
  std::uint32_t* row(int y) {
    return pixels_.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }
  int width_ = 0, height_ = 0;
  int clip_x0_ = 0, clip_y0_ = 0, clip_x1_ = 0, clip_y1_ = 0;  // the drawing's area, exclusive
  std::unique_ptr<std::uint32_t[]> pixels_;                    // width_ × height_, row by row
  int dirty_x0_ = 0, dirty_y0_ = 0, dirty_x1_ = 0, dirty_y1_ = 0;
  std::array<Scaled, kPictureIds> pictures_;
  std::map<std::pair<int, std::string>, Ink> inks_;
  std::vector<std::uint8_t> ink_bytes_;  // a text's bytes as the page hands them over
};

}  // namespace pawnfall
