// The client area: shows the persistent image, enlarged with the window, and passes presses on
// in twips.
#include "app/board_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pawnfall {
namespace {

マウスボタン button_of(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 左ボタン;
    case Qt::RightButton:
      return 右ボタン;
    case Qt::MiddleButton:
      return 中ボタン;
    default:
      return 他のボタン;
  }
}

// A square is 34 pixels of the starting window: with scales in 34ths, it is a whole number of
// device pixels, the same for every square.
constexpr double kScaleSteps = 34;

}  // namespace

BoardView::BoardView(QtPlatform& platform, PressHandler on_press, QSize content, QWidget* parent)
    : QWidget(parent), platform_(platform), on_press_(std::move(on_press)), content_(content) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(content);
}

BoardView::Layout BoardView::fit(QSize widget, QSize content, double ratio) {
  const double fits = std::min(double(widget.width()) / content.width(),
                               double(widget.height()) / content.height());
  double zoom = 1;
  if (fits > 1)
    zoom = std::max(1.0, std::floor(fits * ratio * kScaleSteps + 1e-9) / kScaleSteps / ratio);
  const double scale = ratio * zoom;
  const QSize device(qRound(widget.width() * ratio), qRound(widget.height() * ratio));
  const QSize shown(qRound(content.width() * scale), qRound(content.height() * scale));
  return {zoom, QPoint(std::max(0, (device.width() - shown.width()) / 2),
                       std::max(0, (device.height() - shown.height()) / 2))};
}

QPointF BoardView::press_twips(QPointF position, Layout layout, double ratio) {
  const double scale = ratio * layout.zoom;
  const QPointF device = position * ratio - QPointF(layout.offset);
  return {pixels_to_twips(device.x(), scale), pixels_to_twips(device.y(), scale)};
}

BoardView::Layout BoardView::fit_image() {
  const Layout l = layout();
  QtImage& image = platform_.drawing();
  const double ratio = devicePixelRatioF();
  if (image.zoom() != l.zoom || image.scale() != ratio * l.zoom) image.rescale(ratio, l.zoom);
  return l;
}

void BoardView::show_drawn() {
  const QRect drawn = platform_.drawing().take_drawn();
  if (drawn.isEmpty()) return;
  const Layout l = layout();
  const double ratio = devicePixelRatioF();
  if (platform_.drawing().zoom() != l.zoom || platform_.drawing().scale() != ratio * l.zoom) {
    repaint();
    return;
  }
  const QRectF area(QPointF(drawn.topLeft() + l.offset) / ratio, QSizeF(drawn.size()) / ratio);
  repaint(area.toAlignedRect());
}

void BoardView::paintEvent(QPaintEvent* event) {
  const Layout l = fit_image();
  const QImage& image = platform_.image();
  const double ratio = devicePixelRatioF();
  const QSize shown(qRound(content_.width() * l.zoom * ratio),
                    qRound(content_.height() * l.zoom * ratio));
  const QRectF target(QPointF(l.offset) / ratio, QSizeF(shown) / ratio);
  QPainter painter(this);
  // Around the image, the window's own green; the image then paints over any part of a pixel
  // the two share.
  const QRect inside(
      QPoint(int(std::ceil(target.left())), int(std::ceil(target.top()))),
      QPoint(int(std::floor(target.right())) - 1, int(std::floor(target.bottom())) - 1));
  for (const QRect& r : QRegion(event->rect()) - inside)
    painter.fillRect(r, QtImage::palette_colour(色_背景));
  // The source in the image's own (device) pixels: one image pixel to one screen pixel.
  painter.drawImage(target, image, QRectF(QPointF(0, 0), QSizeF(shown)));
  // Queued, so it runs once this frame has been flushed to the screen.
  if (after_first_frame_) QTimer::singleShot(0, this, std::exchange(after_first_frame_, {}));
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const QPointF twips = press_twips(event->position(), fit_image(), devicePixelRatioF());
  on_press_(button_of(event->button()), twips.x(), twips.y());
  update();
}

}  // namespace pawnfall
