// The client area: shows the drawing, enlarged with the window, and passes presses on in twips.
#include "app/board_view.h"

#include <QBackingStore>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "app/qt_palette.h"
#include "drawing/fit.h"

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

// The least a window may be made: half the starting size, where a square is 17 pixels.
constexpr double kLeastZoom = 0.5;

}  // namespace

BoardView::BoardView(QtImage& drawing, PressHandler on_press, QSize content, QWidget* parent)
    : QWidget(parent), drawing_(drawing), on_press_(std::move(on_press)), content_(content) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize((content.width() + 1) / 2, (content.height() + 1) / 2);
}

BoardView::Layout BoardView::fit(QSize widget, QSize content, double ratio) {
  const Fit f = pawnfall::fit_drawing(widget.width(), widget.height(), ratio, content.width(),
                                      content.height(), kLeastZoom);
  return {f.zoom, QPoint(f.x, f.y), f.scale};
}

Fit BoardView::as_fit(Layout layout, QSize shown) {
  Fit f;
  f.zoom = layout.zoom;
  f.scale = layout.scale;
  f.x = layout.offset.x();
  f.y = layout.offset.y();
  f.width = shown.width();
  f.height = shown.height();
  return f;
}

QPointF BoardView::press_twips(QPointF position, Layout layout, double ratio) {
  const auto [x, y] =
      pawnfall::press_twips(as_fit(layout, {}), position.x() * ratio, position.y() * ratio);
  return {x, y};
}

BoardView::Layout BoardView::fit_drawing() {
  const Layout l = layout();
  const double ratio = devicePixelRatioF();
  if (drawing_.zoom() != l.zoom || drawing_.scale() != l.scale)
    drawing_.rescale(ratio, l.zoom, l.scale);
  return l;
}

QRect BoardView::widget_area(QRect drawn, Layout layout) const {
  const double ratio = devicePixelRatioF();
  return QRectF(QPointF(drawn.topLeft() + layout.offset) / ratio, QSizeF(drawn.size()) / ratio)
             .toAlignedRect() &
         rect();
}

void BoardView::show_drawn(QRect drawn) {
  if (drawn.isEmpty()) return;
  const Layout l = layout();
  if (drawing_.zoom() != l.zoom || drawing_.scale() != l.scale) {
    repaint();
    return;
  }
  pending_ |= widget_area(drawn, l);
  repaint(pending_);
}

void BoardView::update_drawn() {
  // A new background changes the space around the drawing too.
  const PictureCache::Loaded* tile = drawing_.background_tile();
  if ((tile ? tile->image.cacheKey() : 0) != tile_) update();
  const QRect drawn = drawing_.take_drawn();
  if (drawn.isEmpty()) return;
  pending_ |= widget_area(drawn, layout());
  update(pending_);
}

void BoardView::paintEvent(QPaintEvent* event) {
  const Layout l = fit_drawing();
  const double ratio = devicePixelRatioF();
  const QSize shown = drawing_.device_size();
  const QRectF target(QPointF(l.offset) / ratio, QSizeF(shown) / ratio);
  QPainter painter(this);
  // Around the drawing, its background continued; the drawing then paints over any part of a
  // pixel the two share.
  const QRect inside(
      QPoint(int(std::ceil(target.left())), int(std::ceil(target.top()))),
      QPoint(int(std::floor(target.right())) - 1, int(std::floor(target.bottom())) - 1));
  if (const QRegion around = QRegion(event->rect()) - inside; !around.isEmpty())
    paint_around(painter, around, l);
  // The drawing's device pixels that the event asks for.
  const QRectF asked(QPointF(event->rect().topLeft()) * ratio,
                     QSizeF(event->rect().size()) * ratio);
  // Asked for just what was drawn since the last painting, the rest there is on the backing
  // store already; asked for more (uncovered, resized, or with other changes gathered in), all
  // of it is painted again. A painting elsewhere (a grab, a print) leaves the window's as it is.
  const QPaintEngine* engine = painter.paintEngine();
  const bool to_window = engine != nullptr && backingStore() != nullptr &&
                         engine->paintDevice() == backingStore()->paintDevice();
  const bool only_new = to_window && !pending_.isEmpty() && event->region() == QRegion(pending_);
  const bool all_new = to_window && (QRegion(pending_) - event->region()).isEmpty();
  paint_drawing(painter, l, asked.toAlignedRect().translated(-l.offset), only_new);
  if (all_new) {
    drawing_.mark_painted();
    pending_ = QRect();
  }
  // Queued, so it runs once this frame has been flushed to the screen.
  if (after_first_frame_) QTimer::singleShot(0, this, std::exchange(after_first_frame_, {}));
}

void BoardView::paint_around(QPainter& painter, const QRegion& around, Layout layout) {
  painter.save();
  painter.setClipRegion(around);
  painter.fillRect(around.boundingRect(), palette_colour(色_背景));
  const PictureCache::Loaded* tile = drawing_.background_tile();
  tile_ = tile ? tile->image.cacheKey() : 0;
  if (tile) {
    const double ratio = devicePixelRatioF();
    const Fit fit = as_fit(layout, drawing_.device_size());
    QImage shown = tile->image;
    shown.setDevicePixelRatio(ratio);
    for (const Rect& r : surrounding_tiles(fit, qRound(width() * ratio), qRound(height() * ratio),
                                           tile->natural.width(), tile->natural.height()))
      painter.drawImage(QPointF(r.left, r.top) / ratio, shown);
  }
  painter.restore();
}

void BoardView::paint_drawing(QPainter& painter, Layout layout, QRect asked, bool only_new) {
  const double ratio = devicePixelRatioF();
  // Straight onto the backing store when it is an image in the drawing's own pixel format, as
  // it is on X11, Wayland and offscreen; else through an image of the asked part.
  QPaintEngine* engine = painter.paintEngine();
  auto* store = engine ? dynamic_cast<QImage*>(engine->paintDevice()) : nullptr;
  const QTransform to_store = painter.deviceTransform();
  if (store &&
      (store->format() == QImage::Format_RGB32 ||
       store->format() == QImage::Format_ARGB32_Premultiplied) &&
      to_store.type() <= QTransform::TxScale && qFuzzyCompare(to_store.m11(), ratio) &&
      qFuzzyCompare(to_store.m22(), ratio)) {
    const QPointF corner = to_store.map(QPointF(0, 0));
    const QPoint origin(qRound(corner.x()) + layout.offset.x(),
                        qRound(corner.y()) + layout.offset.y());
    const QRect part = asked & QRect(QPoint(0, 0), drawing_.device_size());
    // Some stores are cleared to transparent where they are about to be painted (a translucent
    // window's on X11, every one on Wayland), and keep nothing painted before (what the drawing
    // paints is opaque). Painting everything again at every animation step costs several times
    // a copy, so for such a store the window keeps a copy of its own, as it had to before.
    if (only_new && store->hasAlphaChannel() && !part.isEmpty() &&
        qAlpha(store->pixel(origin + part.topLeft())) != 255 && copy_.isNull())
      copy_ = QImage(drawing_.device_size(), QImage::Format_RGB32);
    if (!copy_.isNull()) {
      paint_from_copy(*store, origin, part, only_new);
      return;
    }
    // Text is placed in the store's own pixels too.
    painter.setWorldTransform(to_store.inverted());
    if (only_new)
      drawing_.paint_new_on(*store, painter, origin, asked);
    else
      drawing_.paint_on(*store, painter, origin, asked);
    return;
  }
  const QRect part = asked & QRect(QPoint(0, 0), drawing_.device_size());
  if (part.isEmpty()) return;
  QImage image(part.size(), QImage::Format_RGB32);
  {
    QPainter image_painter(&image);
    drawing_.paint_on(image, image_painter, -part.topLeft(), part);
  }
  image.setDevicePixelRatio(ratio);
  painter.drawImage(QPointF(part.topLeft() + layout.offset) / ratio, image);
}

void BoardView::paint_from_copy(QImage& store, QPoint origin, QRect part, bool only_new) {
  const bool fresh = copy_.size() != drawing_.device_size() || !copy_valid_;
  if (fresh) {
    copy_ = QImage(drawing_.device_size(), QImage::Format_RGB32);
    part = copy_.rect();
  }
  {
    QPainter painter(&copy_);
    if (only_new && !fresh)
      drawing_.paint_new_on(copy_, painter, QPoint(0, 0), part);
    else
      drawing_.paint_on(copy_, painter, QPoint(0, 0), part);
  }
  copy_valid_ = true;
  const QRect to = part.translated(origin) & store.rect();
  const auto bytes = static_cast<std::size_t>(to.width()) * sizeof(QRgb);
  for (int y = to.top(); y <= to.bottom(); ++y)
    std::memcpy(store.scanLine(y) + to.left() * sizeof(QRgb),
                copy_.constScanLine(y - origin.y()) + (to.left() - origin.x()) * sizeof(QRgb),
                bytes);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const QPointF twips = press_twips(event->position(), fit_drawing(), devicePixelRatioF());
  on_press_(button_of(event->button()), twips.x(), twips.y());
  update_drawn();
}

}  // namespace pawnfall
