// The client area: shows the drawing, enlarged with the window, and passes presses on in twips.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

#include "app/qt_image.h"
#include "drawing/fit.h"
#include "model/state.h"

namespace pawnfall {

class BoardView : public QWidget {
  Q_OBJECT
 public:
  using PressHandler = std::function<void(マウスボタン, double x, double y)>;
  // content: the pixels of the starting window that the client area shows at zoom 1.
  BoardView(QtImage& drawing, PressHandler on_press, QSize content, QWidget* parent);

  // Where the drawing stands in the widget: the zoom that fits it (1 wherever the starting size
  // fits; else whole steps of a 34th of a device pixel per pixel, so every square is as wide
  // as the next, down to about a half), and its top-left corner in device pixels, centred.
  struct Layout {
    double zoom;
    QPoint offset;
    double scale;  // device pixels per pixel of the starting window
  };
  static Layout fit(QSize widget, QSize content, double device_pixel_ratio);
  Layout layout() const { return fit(size(), content_, devicePixelRatioF()); }
  // The twips a press at a position in the widget stands for.
  static QPointF press_twips(QPointF position, Layout layout, double device_pixel_ratio);
  // Shows at once the drawing's device pixels that were drawn on.
  void show_drawn(QRect drawn);
  // Shows what was drawn since the last time, once control is back in the event loop.
  void update_drawn();
  // Runs once, as soon as the first frame has gone to the screen.
  void after_first_frame(std::function<void()> action) { after_first_frame_ = std::move(action); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // The layout as the drawing library's fit, the drawing `shown` device pixels large.
  static Fit as_fit(Layout layout, QSize shown);
  // Makes the drawing's scale that of the layout; answers the layout.
  Layout fit_drawing();
  // The widget's area, in its own pixels, that shows the drawing's device pixels `drawn` (the
  // drawing may reach beyond the widget).
  QRect widget_area(QRect drawn, Layout layout) const;

  // Paints the drawing's background tile on the window around the drawing.
  void paint_around(QPainter& painter, const QRegion& around, Layout layout);
  // Paints the drawing's device pixels `asked` onto the painter's device: only what was drawn
  // since the last painting when `only_new`, else everything there.
  void paint_drawing(QPainter& painter, Layout layout, QRect asked, bool only_new);

  // For a store that keeps nothing painted before: paints `part` onto the window's own copy of
  // the drawing (all of it when the copy is new or of another size) and copies it from there.
  void paint_from_copy(QImage& store, QPoint origin, QRect part, bool only_new);

  QtImage& drawing_;
  // The drawing as the window shows it, kept only for a store that keeps nothing.
  QImage copy_;
  bool copy_valid_ = false;
  // The widget's area that shows what was drawn and is not yet painted.
  QRect pending_;
  PressHandler on_press_;
  QSize content_;
  qint64 tile_ = 0;  // the tile last painted around the drawing, by its image's key
  std::function<void()> after_first_frame_;
};

}  // namespace pawnfall
