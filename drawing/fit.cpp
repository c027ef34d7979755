// Where the drawing stands in a window, and the way back for presses.
#include "drawing/fit.h"

#include <algorithm>
#include <cmath>

#include "model/state.h"

namespace pawnfall {

Fit fit_drawing(double width, double height, double density, int content_width, int content_height,
                double least_zoom) {
  const double fits = std::min(width / content_width, height / content_height);
  const double steps = std::floor(fits * density * kScaleSteps + 1e-9);
  // The scale is computed from whole steps, never as density × zoom, which may round apart
  // from it and paint a square a device pixel away from where a press finds it.
  double scale = density;
  if (fits > 1) {
    scale = std::max(density, steps / kScaleSteps);
  } else if (fits < 1) {
    const double least = std::max(1.0, std::floor(least_zoom * density * kScaleSteps));
    scale = std::max(least, steps) / kScaleSteps;
  }
  Fit f;
  f.scale = scale;
  f.zoom = scale / density;
  f.width = static_cast<int>(std::lround(content_width * scale));
  f.height = static_cast<int>(std::lround(content_height * scale));
  const auto device_w = static_cast<int>(std::lround(width * density));
  const auto device_h = static_cast<int>(std::lround(height * density));
  f.x = std::max(0, (device_w - f.width) / 2);
  f.y = std::max(0, (device_h - f.height) / 2);
  return f;
}

Fit fit_screen(double width, double height, double density, int content_width, int content_height) {
  Fit f = fit_drawing(width, height, density, content_width, content_height, 0);
  if (f.zoom >= 1) return f;
  const Rect& play = kPlayArea;
  const double fits = std::min(width / play.width(), height / play.height());
  const double steps = std::max(1.0, std::floor(fits * density * kScaleSteps + 1e-9));
  f.scale = std::min(density, steps / kScaleSteps);
  f.zoom = f.scale / density;
  f.width = static_cast<int>(std::lround(content_width * f.scale));
  f.height = static_cast<int>(std::lround(content_height * f.scale));
  // Centred on the play area; the drawing's corner may lie outside the screen.
  const auto centre = [&](double size, int from, int to) {
    return static_cast<int>(
        std::lround((size * density - (to - from) * f.scale) / 2 - from * f.scale));
  };
  f.x = centre(width, play.left, play.right);
  f.y = centre(height, play.top, play.bottom);
  return f;
}

std::pair<double, double> press_twips(const Fit& fit, double device_x, double device_y) {
  return {pixels_to_twips(device_x - fit.x, fit.scale),
          pixels_to_twips(device_y - fit.y, fit.scale)};
}

Rect picture_pixels(double x, double y, int natural_width, int natural_height, double scale) {
  const int left = twips_to_pixels(x, scale), top = twips_to_pixels(y, scale);
  return {left, top, left + static_cast<int>(std::lround(natural_width * scale)),
          top + static_cast<int>(std::lround(natural_height * scale))};
}

std::array<Rect, 4> outline_pixels(double x1, double y1, double x2, double y2, double scale) {
  const int left = twips_to_pixels(x1, scale), top = twips_to_pixels(y1, scale);
  const int right = twips_to_pixels(x2, scale), bottom = twips_to_pixels(y2, scale);
  // A line of one pixel of the starting window.
  const int w = std::max(1, static_cast<int>(std::lround(scale)));
  return {{{left, top, right + w, top + w},
           {left, bottom, right + w, bottom + w},
           {left, top, left + w, bottom + w},
           {right, top, right + w, bottom + w}}};
}

int text_pixels(int points, double scale) {
  return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0 * scale)));
}

std::vector<Rect> surrounding_tiles(const Fit& fit, int window_width, int window_height,
                                    int tile_width, int tile_height) {
  std::vector<Rect> out;
  if (fit.scale <= 0) return out;
  const Rect window{0, 0, window_width, window_height};
  const Rect drawing{fit.x, fit.y, fit.x + fit.width, fit.y + fit.height};
  // The grid's places whose tile may reach into the window, a place more on each side.
  const auto first = [&](int origin, int tile, int start, int pitch) {
    return static_cast<int>(
               std::floor(((-origin - tile) * 一画素のtwips / fit.scale - start) / pitch)) -
           1;
  };
  const auto last = [&](int origin, int size, int start, int pitch) {
    return static_cast<int>(
               std::ceil(((size - origin) * 一画素のtwips / fit.scale - start) / pitch)) +
           1;
  };
  for (int c = first(fit.x, tile_width, 盤左端, 桝幅); c <= last(fit.x, window_width, 盤左端, 桝幅);
       ++c)
    for (int r = first(fit.y, tile_height, 盤上端, 桝高);
         r <= last(fit.y, window_height, 盤上端, 桝高); ++r) {
      const Rect tile =
          picture_pixels(盤左端 + 桝幅 * c, 盤上端 + 桝高 * r, tile_width, tile_height, fit.scale)
              .translated(fit.x, fit.y);
      const Rect shown = tile & window;
      if (!shown.empty() && (shown & drawing) != shown) out.push_back(tile);
    }
  return out;
}

}  // namespace pawnfall
