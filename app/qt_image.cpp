// The drawing of the client area: pictures, outlines and text drawn at twips, painted in
// device pixels at the screen's density times the window's zoom.
//
// Every operation is kept in a DrawingRecord, and nothing else: the window paints the part it
// is asked for from the record straight onto its backing store, so no image of the whole client
// area is held beside the window's own (at a large zoom that image alone was tens of
// megabytes). A new density or zoom paints the record at the new size and the window shows
// just what it showed, mid-chain or mid-animation, without asking the game for anything. A
// full redraw's background tiles under the board are covered by later squares, and are left
// out.
#include "app/qt_image.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "app/pixel_rows.h"
#include "app/qt_fonts.h"
#include "app/qt_palette.h"
#include "app/qt_text.h"
#include "drawing/fit.h"

namespace pawnfall {
namespace {

// The board's grid, on which the tiles and squares stand: cell (c, r) runs from board position
// (c, r) to (c + 1, r + 1). A full redraw paints most cells several times over; paint_on() paints
// each part of a picture only when no later picture covers its cell.
constexpr int kGridLeft = -4, kGridTop = -4;

// Cells of a grid picture: its own, right, lower and lower-right neighbour.
constexpr std::uint8_t kOwn = 1, kRight = 2, kBelow = 4, kDiagonal = 8, kAllCells = 15;
constexpr std::uint8_t kOffGrid = 0xFF;

QRect to_qrect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

// The cell of a picture that stands at a board position and covers its own cell, spilling
// into the next ones only; or nothing.
std::optional<QPoint> QtImage::grid_cell(const DrawOp& op, QSize size) const {
  const double c = std::round((op.x1 - 盤左端) / 桝幅), r = std::round((op.y1 - 盤上端) / 桝高);
  if (盤左端 + 桝幅 * c != op.x1 || 盤上端 + 桝高 * r != op.y1) return std::nullopt;
  const int ci = static_cast<int>(c) - kGridLeft, ri = static_cast<int>(r) - kGridTop;
  if (ci < 0 || ci + 2 >= kGridColumns || ri < 0 || ri + 2 >= kGridRows) return std::nullopt;
  const auto& gx = grid_x_;
  const auto& gy = grid_y_;
  if (size.width() < gx[ci + 1] - gx[ci] || size.width() > gx[ci + 2] - gx[ci] ||
      size.height() < gy[ri + 1] - gy[ri] || size.height() > gy[ri + 2] - gy[ri])
    return std::nullopt;
  return QPoint(ci, ri);
}

QtImage::QtImage(QSize size, double device_pixel_ratio, double zoom)
    : size_(size), device_pixel_ratio_(0), zoom_(0), scale_(0) {
  rescale(device_pixel_ratio, zoom);
}

QSize QtImage::device_size() const {
  return {qRound(size_.width() * scale_), qRound(size_.height() * scale_)};
}

void QtImage::rescale(double device_pixel_ratio, double zoom, double scale) {
  device_pixel_ratio_ = device_pixel_ratio;
  zoom_ = zoom;
  if (scale == scale_) return;
  scale_ = scale;
  for (int c = 0; c < kGridColumns; ++c)
    grid_x_[c] = twips_to_pixels(盤左端 + 桝幅 * (c + kGridLeft), scale);
  for (int r = 0; r < kGridRows; ++r)
    grid_y_[r] = twips_to_pixels(盤上端 + 桝高 * (r + kGridTop), scale);
  areas_.clear();
  drawn_ = QRect(QPoint(0, 0), device_size());
  painted_ = 0;
}

QImage QtImage::image() {
  QImage image(device_size(), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    paint_on(image, painter, QPoint(0, 0), image.rect());
  }
  image.setDevicePixelRatio(device_pixel_ratio_);
  return image;
}

const PictureCache::Loaded* QtImage::background_tile() {
  const auto tile = record_.background();
  return tile ? picture(*tile) : nullptr;
}

QRect QtImage::take_drawn() {
  const std::vector<DrawOp>& ops = record_.ops();
  QRect drawn = std::exchange(drawn_, QRect());
  // A dead operation was painted over by a later one, whose pixels are in the later one's area.
  for (std::size_t i = taken_; i < ops.size(); ++i)
    if (ops[i].live) drawn |= area(i);
  taken_ = ops.size();
  return drawn & QRect(QPoint(0, 0), device_size());
}

const QRect& QtImage::area(std::size_t index) {
  const std::vector<DrawOp>& ops = record_.ops();
  const double s = scale_;
  while (areas_.size() <= index) {
    const DrawOp& op = ops[areas_.size()];
    QRect r;
    switch (op.kind) {
      case DrawOp::Kind::Picture:
        if (const PictureCache::Loaded* pic = picture(op.picture))
          r = QRect(QPoint(twips_to_pixels(op.x1, s), twips_to_pixels(op.y1, s)),
                    pic->image.size());
        break;
      case DrawOp::Kind::Outline: {
        const auto lines = outline_pixels(op.x1, op.y1, op.x2, op.y2, s);
        r = to_qrect(lines[0] | lines[1] | lines[2] | lines[3]);
        break;
      }
      case DrawOp::Kind::Text: {
        const Rect& ink = record_.text(op).ink;
        r = QRect(QPoint(twips_to_pixels(ink.left, s), twips_to_pixels(ink.top, s)),
                  QPoint(twips_to_pixels(ink.right - 1, s), twips_to_pixels(ink.bottom - 1, s)));
        break;
      }
    }
    areas_.push_back(r);
  }
  return areas_[index];
}

void QtImage::paint_picture(Picture p, double x, double y) {
  if (const PictureCache::Loaded* pic = picture(p))
    record_.add_picture(p, x, y, pic->natural.width() * 一画素のtwips,
                        pic->natural.height() * 一画素のtwips);
}

void QtImage::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  record_.add_outline(colour, x1, y1, x2, y2);
}

void QtImage::print_text(double x, double y, std::string_view text, std::string_view face,
                         int points, int colour) {
  // Its line box and ink at the starting size, from which the record knows where it may paint.
  const QFontMetricsF metrics(text_font(face, points, 1.0));
  const QString s = qs(text);
  const QRectF line(0, 0, metrics.horizontalAdvance(s), metrics.height());
  const QRectF ink = metrics.boundingRect(s).translated(0, metrics.ascent()) | line;
  record_.add_text(x, y, text, face, points, colour,
                   text_ink(x, y, {ink.left(), ink.top(), ink.right(), ink.bottom()}));
}

void QtImage::paint_on(QImage& target, QPainter& painter, QPoint origin, const QRect& area) {
  paint_from(0, target, painter, origin, area);
}

void QtImage::paint_new_on(QImage& target, QPainter& painter, QPoint origin, const QRect& area) {
  paint_from(painted_, target, painter, origin, area);
  mark_painted();
}

void QtImage::mark_painted() {
  // What was drawn and not yet reported has not been asked for; it is painted once it is.
  painted_ = taken_;
  // Once every operation is both reported and painted, their places may move.
  if (taken_ == record_.ops().size() && record_.compact()) {
    areas_.clear();
    taken_ = painted_ = record_.ops().size();
  }
}

void QtImage::paint_from(std::size_t first, QImage& target, QPainter& painter, QPoint origin,
                         const QRect& area) {
  const QRect clip = area & QRect(QPoint(0, 0), device_size()) & target.rect().translated(-origin);
  if (clip.isEmpty()) return;
  const std::vector<DrawOp>& ops = record_.ops();
  // The clip in whole twips, a device pixel larger all round: a text whose part that no later
  // picture covers lies outside it paints nothing here that stays.
  const double s = scale_;
  const Rect twips{static_cast<int>(std::floor(pixels_to_twips(clip.left() - 1, s))),
                   static_cast<int>(std::floor(pixels_to_twips(clip.top() - 1, s))),
                   static_cast<int>(std::ceil(pixels_to_twips(clip.right() + 2, s))) + 1,
                   static_cast<int>(std::ceil(pixels_to_twips(clip.bottom() + 2, s))) + 1};
  visible_.clear();
  for (std::size_t i = first; i < ops.size(); ++i) {
    const DrawOp& op = ops[i];
    if (!op.live || !this->area(i).intersects(clip)) continue;
    if (op.kind == DrawOp::Kind::Text && !record_.text(op).uncovered.intersects(twips)) continue;
    visible_.push_back(static_cast<std::uint32_t>(i));
  }

  // Backwards: which cells of each grid picture no later picture covers. A picture that covers
  // a cell within the clip is itself within it, so the visible operations are enough.
  cells_.assign(visible_.size(), kOffGrid);
  std::array<std::array<bool, kGridRows>, kGridColumns> covered{};
  for (std::size_t k = visible_.size(); k-- > 0;) {
    const DrawOp& op = ops[visible_[k]];
    if (op.kind != DrawOp::Kind::Picture) continue;
    const PictureCache::Loaded* pic = picture(op.picture);
    const auto at = pic ? grid_cell(op, pic->image.size()) : std::nullopt;
    if (!at) continue;
    const int c = at->x(), r = at->y();
    cells_[k] = static_cast<std::uint8_t>(
        (covered[c][r] ? 0 : kOwn) | (covered[c + 1][r] ? 0 : kRight) |
        (covered[c][r + 1] ? 0 : kBelow) | (covered[c + 1][r + 1] ? 0 : kDiagonal));
    covered[c][r] = true;
  }

  PixelRows rows(target, origin, clip);
  // What no operation paints shows the window's own green.
  if (first == 0) rows.fill(clip, palette_colour(色_背景).rgb());
  for (std::size_t k = 0; k < visible_.size(); ++k)
    paint(ops[visible_[k]], cells_[k], rows, painter, origin, clip);
}

void QtImage::paint(const DrawOp& op, std::uint8_t cells, PixelRows& rows, QPainter& painter,
                    QPoint origin, const QRect& clip) {
  const double s = scale_;
  switch (op.kind) {
    case DrawOp::Kind::Picture: {
      const QImage& pic = picture(op.picture)->image;
      const QPoint at(twips_to_pixels(op.x1, s), twips_to_pixels(op.y1, s));
      if (cells == kOffGrid || cells == kAllCells) {
        rows.copy(pic, at, clip);
        return;
      }
      const QPoint c = *grid_cell(op, pic.size());
      const int x1 = grid_x_[c.x() + 1], y1 = grid_y_[c.y() + 1];
      const int far = 1 << 20;
      if (cells & kOwn) rows.copy(pic, at, QRect(QPoint(at.x(), at.y()), QPoint(x1 - 1, y1 - 1)));
      if (cells & kRight) rows.copy(pic, at, QRect(QPoint(x1, at.y()), QPoint(far, y1 - 1)));
      if (cells & kBelow) rows.copy(pic, at, QRect(QPoint(at.x(), y1), QPoint(x1 - 1, far)));
      if (cells & kDiagonal) rows.copy(pic, at, QRect(QPoint(x1, y1), QPoint(far, far)));
      return;
    }
    case DrawOp::Kind::Outline: {
      const QRgb c = palette_colour(op.colour).rgb();
      for (const Rect& line : outline_pixels(op.x1, op.y1, op.x2, op.y2, s))
        rows.fill(to_qrect(line), c);
      return;
    }
    case DrawOp::Kind::Text: {
      const TextOp& t = record_.text(op);
      const QFont font = text_font(t.face, t.points, s);
      painter.save();
      painter.setClipRect(clip.translated(origin), Qt::IntersectClip);
      painter.setFont(font);
      painter.setPen(palette_colour(op.colour));
      painter.drawText(QPoint(twips_to_pixels(op.x1, s),
                              twips_to_pixels(op.y1, s) + QFontMetrics(font).ascent()) +
                           origin,
                       qs(t.text));
      painter.restore();
      return;
    }
  }
}

}  // namespace pawnfall
