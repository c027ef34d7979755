// The client area: shows the persistent image, enlarged with the window, and passes presses on
// in twips.
#pragma once

#include <QWidget>

#include <functional>

#include "app/qt_platform.h"
#include "model/state.h"

namespace pawnfall {

class BoardView : public QWidget {
  Q_OBJECT
 public:
  using PressHandler = std::function<void(マウスボタン, double x, double y)>;
  // content: the pixels of the starting window that the client area shows at zoom 1.
  BoardView(QtPlatform& platform, PressHandler on_press, QSize content, QWidget* parent);

  // Where the image stands in the widget: the zoom that fits it (whole steps of a 34th of a
  // device pixel per pixel, so every square is as wide as the next; never below 1), and its
  // top-left corner in device pixels, centred.
  struct Layout {
    double zoom;
    QPoint offset;
  };
  static Layout fit(QSize widget, QSize content, double device_pixel_ratio);
  Layout layout() const { return fit(size(), content_, devicePixelRatioF()); }
  // The twips a press at a position in the widget stands for.
  static QPointF press_twips(QPointF position, Layout layout, double device_pixel_ratio);
  // Shows at once what was drawn since the last time.
  void show_drawn();
  // Runs once, as soon as the first frame has gone to the screen.
  void after_first_frame(std::function<void()> action) { after_first_frame_ = std::move(action); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Makes the image's scale that of the layout; answers the layout.
  Layout fit_image();

  QtPlatform& platform_;
  PressHandler on_press_;
  QSize content_;
  std::function<void()> after_first_frame_;
};

}  // namespace pawnfall
