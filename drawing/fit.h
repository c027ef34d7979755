// Where the drawing stands in a window of any size and density, in device pixels, and the way
// back from a pressed device pixel to twips; the device pixels each kind of drawing covers.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "drawing/rect.h"

namespace pawnfall {

// A square is 34 pixels of the starting window: with scales in whole 34ths of a device pixel
// per pixel, every square is a whole number of device pixels, the same for every square.
inline constexpr double kScaleSteps = 34;

struct Fit {
  // The window's zoom, and device pixels per pixel of the starting window (the density times
  // the zoom).
  double zoom = 1, scale = 1;
  // The drawing's top-left corner in the window's device pixels, and its size there.
  int x = 0, y = 0, width = 0, height = 0;
};

// The fit of a drawing of `content` pixels of the starting window into an area of `width` ×
// `height` pixels at `density` device pixels each: zoom 1 wherever the starting size fits just
// so; larger in whole steps; smaller in whole steps too, down to `least_zoom` (or one step);
// centred.
Fit fit_drawing(double width, double height, double density, int content_width, int content_height,
                double least_zoom);

// The part of the drawing that holds the banner, the scores and the board, in pixels of the
// starting window: all that a screen smaller than the drawing needs to show.
inline constexpr Rect kPlayArea{40, 33, 770, 541};
// For a screen that may be smaller than the drawing, as a phone's is: the whole drawing where it
// fits at its starting size or larger; else the play area as large as it fits (at most at the
// starting size), centred, the empty margins around it left out.
Fit fit_screen(double width, double height, double density, int content_width, int content_height);

// The twips a press on a device pixel of the window stands for.
std::pair<double, double> press_twips(const Fit& fit, double device_x, double device_y);

// The device pixels, from the drawing's corner, of a picture of a natural size in pixels of the
// starting window.
Rect picture_pixels(double x, double y, int natural_width, int natural_height, double scale);
// The four solid lines of an outline, each a whole number of device pixels wide; the right and
// bottom ones lie on the neighbours' left and top ones, as the window system draws them.
std::array<Rect, 4> outline_pixels(double x1, double y1, double x2, double y2, double scale);
// A text's size in device pixels, at the 96 dots per inch that the twips assume.
int text_pixels(int points, double scale);

// The tiles that continue the drawing's background around it in a window of `window_width` ×
// `window_height` device pixels, so that no band of another colour frames it: each tile's
// device pixels in the window, in the order the game lays tiles, for every place of the tiles'
// grid that reaches outside the drawing.
std::vector<Rect> surrounding_tiles(const Fit& fit, int window_width, int window_height,
                                    int tile_width, int tile_height);

}  // namespace pawnfall
