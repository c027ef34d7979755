// The drawing of the client area: pictures, outlines and text drawn at twips, painted in
// device pixels at the screen's density times the window's zoom wherever it is shown.
#pragma once

#include <QImage>
#include <QPainter>

#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/pixel_rows.h"
#include "app/qt_pictures.h"
#include "drawing/record.h"
#include "model/platform.h"

namespace pawnfall {

class QtImage {
 public:
  // The drawing shows size pixels of the starting window, at device_pixel_ratio × zoom device
  // pixels each.
  QtImage(QSize size, double device_pixel_ratio, double zoom = 1.0);

  // Everything drawn so far, painted on an image of its own, whose device pixel ratio is the
  // screen's. The window does not need one: it paints straight onto its own backing store.
  QImage image();
  // Paints what the drawing holds in `area` (its own device pixels) onto `target`, a 32-bit RGB
  // image, with the drawing's top-left corner at `origin`. Text goes through `painter`, which
  // must paint on `target` in its device pixels. Pixels nothing was drawn on are the
  // background colour.
  void paint_on(QImage& target, QPainter& painter, QPoint origin, const QRect& area);
  // The same for the operations drawn since the last painting, over the ones before them that
  // `target` holds already: an animation step paints only what it drew.
  void paint_new_on(QImage& target, QPainter& painter, QPoint origin, const QRect& area);
  // Takes every operation that take_drawn() reported as painted where the drawing is shown (or
  // as needing no painting, where it is shown nowhere).
  void mark_painted();
  // The drawing's size in device pixels.
  QSize device_size() const;
  // Device pixels per pixel of the starting window.
  double scale() const { return scale_; }
  double zoom() const { return zoom_; }
  // Makes the drawing's device pixels those of another screen or zoom.
  void rescale(double device_pixel_ratio, double zoom) {
    rescale(device_pixel_ratio, zoom, device_pixel_ratio * zoom);
  }
  // The same with the fit's own scale, which steps exactly where density × zoom may not.
  void rescale(double device_pixel_ratio, double zoom, double scale);
  // The background tile drawn last at the current scale, for the space around the drawing;
  // null before there is one.
  const PictureCache::Loaded* background_tile();
  // How many drawing operations it keeps to paint again.
  std::size_t recorded() const { return record_.live(); }
  // How many it holds, those painted over and not yet dropped included.
  std::size_t held() const { return record_.ops().size(); }
  // The device pixels drawn on since the last call (all of them after a rescale), bounded.
  QRect take_drawn();

  void paint_picture(Picture picture, double x, double y);
  void draw_outline(int colour, double x1, double y1, double x2, double y2);
  void print_text(double x, double y, std::string_view text, std::string_view face, int points,
                  int colour);

 private:
  // The picture as painted at the current scale, loaded once; null when there is none.
  const PictureCache::Loaded* picture(Picture p) { return pictures_.get(p, scale_); }
  // The device pixels an operation of the record paints, by its index.
  const QRect& area(std::size_t index);
  // paint_on() for the operations from `first` on; from the first, over the background colour.
  void paint_from(std::size_t first, QImage& target, QPainter& painter, QPoint origin,
                  const QRect& area);
  // One operation, its pictures and outlines through `rows` and its text through `painter`,
  // within `clip` of the drawing; a grid picture only in the `cells` no later one covers.
  void paint(const DrawOp& op, std::uint8_t cells, PixelRows& rows, QPainter& painter,
             QPoint origin, const QRect& clip);

  QSize size_;
  double device_pixel_ratio_, zoom_, scale_;
  DrawingRecord record_;
  std::vector<QRect> areas_;  // by index into the record's operations, made as they are needed
  std::size_t taken_ = 0;     // the record's operations before this are in take_drawn()'s past
  std::size_t painted_ = 0;   // the record's operations before this are painted where shown
  QRect drawn_;               // drawn on beyond those: the whole drawing after a rescale
  // The board's grid, on which the tiles and squares stand, in device pixels: cell (c, r) runs
  // from board position (c, r) to (c + 1, r + 1), numbered from (-4, -4).
  static constexpr int kGridColumns = 36, kGridRows = 26;
  std::array<int, kGridColumns> grid_x_{};
  std::array<int, kGridRows> grid_y_{};
  std::optional<QPoint> grid_cell(const DrawOp& op, QSize size) const;
  PictureCache pictures_;
  std::vector<std::uint32_t> visible_;  // scratch for paint_on()
  std::vector<std::uint8_t> cells_;     // scratch for paint_on()
};

}  // namespace pawnfall
