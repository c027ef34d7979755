// The persistent image of the client area: pictures, outlines and text painted at twips, held
// in device pixels at the screen's density times the window's zoom.
//
// Every operation is kept in a DrawingRecord as well as painted, so a new density or zoom
// paints the record again and the window shows just what it showed, mid-chain or
// mid-animation, without asking the game for anything. Painting waits until the image is
// looked at (shown, or read by a test): by then a full redraw's background tiles under the
// board are known to be covered, and are left out.
#include "app/qt_image.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/pictures.h"

// The sets live in a static library, so their registration must be asked for (outside any
// namespace), which links them in.
static void register_picture_sets() {
  Q_INIT_RESOURCE(pictures_1x);
  Q_INIT_RESOURCE(pictures_dense);
}

namespace pawnfall {
namespace {

constexpr int kDensest = 4;

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Text is set in pixels at the 96 dots per inch that the twips assume, whatever the screen
// reports, times the scale.
QFont text_font(std::string_view face, int points, double scale) {
  QFont font(QtImage::installed_family(qs(face)));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0 * scale))));
  // Solid glyph pixels: labels are printed again and again at the same place, and only
  // without blended edges does every print leave exactly the same picture.
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

// The board's grid, on which the tiles and squares stand: cell (c, r) runs from board position
// (c, r) to (c + 1, r + 1). A full redraw paints most cells several times over; flush() paints
// each part of a picture only when no later picture covers its cell.
constexpr int kGridLeft = -4, kGridTop = -4;

// Cells of a grid picture: its own, right, lower and lower-right neighbour.
constexpr std::uint8_t kOwn = 1, kRight = 2, kBelow = 4, kDiagonal = 8, kAllCells = 15;
constexpr std::uint8_t kOffGrid = 0xFF;

}  // namespace

void QtImage::register_pictures() { register_picture_sets(); }

QString QtImage::installed_family(const QString& face) {
  static QHash<QString, QString> found;
  if (const auto it = found.constFind(face); it != found.cend()) return *it;
  QString family = face;
  for (const QString& candidate : QFont::substitutes(face) + QStringList(face)) {
    // Tried at the application's own size, so the menus then use the font this loads.
    QFont font = QGuiApplication::font();
    font.setFamily(candidate);
    if (QFontInfo(font).family().compare(candidate, Qt::CaseInsensitive) == 0) {
      family = candidate;
      break;
    }
  }
  found.insert(face, family);
  return family;
}

QColor QtImage::palette_colour(int index) {
  static const QRgb palette[16] = {
      qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
      qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
      qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};
  return QColor(palette[index & 15]);
}

int QtImage::picture_set(double scale) {
  for (int set = 1; set < kDensest; ++set)
    if (scale <= set + 1e-6) return set;
  return kDensest;
}

QString QtImage::picture_file(const QString& name, int set) {
  return QStringLiteral(":/pictures/%1x/%2.%3").arg(set).arg(name, set == 1 ? "bmp" : "png");
}

QString QtImage::picture_resource(Picture picture, int set) {
  const auto entry = 絵_コードから(picture.code);
  if (!entry) return {};
  const QString name = QString::fromLatin1(entry->名.data(), qsizetype(entry->名.size()));
  if (!entry->番号付き) return picture_file(name, set);
  return picture_file(QStringLiteral("%1_%2").arg(name).arg(picture.number), set);
}

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

void QtImage::rescale(double device_pixel_ratio, double zoom) {
  device_pixel_ratio_ = device_pixel_ratio;
  zoom_ = zoom;
  const double scale = device_pixel_ratio * zoom;
  if (scale != scale_) {
    scale_ = scale;
    image_ = QImage();  // the old one goes before the new one comes
    image_ =
        QImage(qRound(size_.width() * scale), qRound(size_.height() * scale), QImage::Format_RGB32);
    image_.fill(palette_colour(色_背景));
    for (int c = 0; c < kGridColumns; ++c)
      grid_x_[c] = twips_to_pixels(盤左端 + 桝幅 * (c + kGridLeft), scale);
    for (int r = 0; r < kGridRows; ++r)
      grid_y_[r] = twips_to_pixels(盤上端 + 桝高 * (r + kGridTop), scale);
    painted_ = 0;
    drawn_ = image_.rect();
  }
  image_.setDevicePixelRatio(device_pixel_ratio);
}

const QImage& QtImage::image() {
  flush();
  return image_;
}

const QtImage::Loaded* QtImage::picture(Picture p) {
  static_assert(std::ranges::all_of(絵の表, [](const 絵情報& e) { return e.code < kCodes; }));
  if (p.code < 0 || p.code >= kCodes || p.number < 0 || p.number > 3) return nullptr;
  Loaded& slot = pictures_[static_cast<std::size_t>(p.code * 4 + p.number)];
  if (slot.scale == scale_) return slot.image.isNull() ? nullptr : &slot;
  // Only the set in use is read, and only the pictures asked for; a new zoom that keeps the set
  // reads none again.
  if (const int set = picture_set(scale_); slot.set != set) {
    slot.set = set;
    slot.drawn = QImage();
    const QString name = picture_resource(p, set);
    if (!name.isEmpty()) slot.drawn.load(name);
    slot.natural = slot.drawn.size() / set;
    if (!slot.drawn.isNull()) slot.drawn = slot.drawn.convertToFormat(QImage::Format_RGB32);
  }
  slot.scale = scale_;
  // Between the sets, the next denser one made smaller; beyond the densest, it enlarged.
  const QSize size(qRound(slot.natural.width() * scale_), qRound(slot.natural.height() * scale_));
  slot.image = slot.drawn.isNull() || size == slot.drawn.size()
                   ? slot.drawn
                   : slot.drawn.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return slot.image.isNull() ? nullptr : &slot;
}

void QtImage::paint_picture(Picture p, double x, double y) {
  if (const Loaded* pic = picture(p))
    record_.add_picture(p, x, y, pic->natural.width() * 一画素のtwips,
                        pic->natural.height() * 一画素のtwips);
}

void QtImage::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  record_.add_outline(colour, x1, y1, x2, y2);
}

void QtImage::print_text(double x, double y, std::string_view text, std::string_view face,
                         int points, int colour) {
  // Where the text may paint, at any scale: its line box and ink at the starting size, grown
  // for the font sizes rounding differently when scaled and for a pixel or two of hinting.
  const QFontMetricsF metrics(text_font(face, points, 1.0));
  const QString s = qs(text);
  const QRectF line(0, 0, metrics.horizontalAdvance(s), metrics.height());
  const QRectF ink = metrics.boundingRect(s).translated(0, metrics.ascent()) | line;
  constexpr double kGrowth = 1.05, kMargin = 2;
  const QRectF sure(QPointF(std::min(0.0, ink.left() * kGrowth) - kMargin,
                            std::min(0.0, ink.top() * kGrowth) - kMargin),
                    QPointF(ink.right() * kGrowth + kMargin, ink.bottom() * kGrowth + kMargin));
  const QRect twips(QPoint(static_cast<int>(std::floor(x + sure.left() * 一画素のtwips)),
                           static_cast<int>(std::floor(y + sure.top() * 一画素のtwips))),
                    QPoint(static_cast<int>(std::ceil(x + sure.right() * 一画素のtwips)),
                           static_cast<int>(std::ceil(y + sure.bottom() * 一画素のtwips))));
  record_.add_text(x, y, text, face, points, colour, twips);
}

void QtImage::flush() {
  const std::vector<DrawOp>& ops = record_.ops();
  if (painted_ >= ops.size()) return;
  const std::size_t count = ops.size() - painted_;

  // Backwards: which cells of each grid picture no later picture covers.
  cells_.assign(count, kOffGrid);
  std::array<std::array<bool, kGridRows>, kGridColumns> covered{};
  for (std::size_t i = count; i-- > 0;) {
    const DrawOp& op = ops[painted_ + i];
    if (!op.live || op.kind != DrawOp::Kind::Picture) continue;
    const Loaded* pic = picture(op.picture);
    const auto at = pic ? grid_cell(op, pic->image.size()) : std::nullopt;
    if (!at) continue;
    const int c = at->x(), r = at->y();
    cells_[i] = static_cast<std::uint8_t>(
        (covered[c][r] ? 0 : kOwn) | (covered[c + 1][r] ? 0 : kRight) |
        (covered[c][r + 1] ? 0 : kBelow) | (covered[c + 1][r + 1] ? 0 : kDiagonal));
    covered[c][r] = true;
  }

  image_.setDevicePixelRatio(1);  // text is placed in device pixels
  bits_ = image_.bits();
  bytes_per_line_ = image_.bytesPerLine();
  for (std::size_t i = 0; i < count; ++i)
    if (ops[painted_ + i].live) paint(ops[painted_ + i], cells_[i]);
  image_.setDevicePixelRatio(device_pixel_ratio_);
  drawn_ &= image_.rect();
  painted_ = ops.size();
  if (record_.compact()) painted_ = record_.ops().size();
}

void QtImage::paint(const DrawOp& op, std::uint8_t cells) {
  const double s = scale_;
  switch (op.kind) {
    case DrawOp::Kind::Picture: {
      const QImage& pic = picture(op.picture)->image;
      const QPoint at(twips_to_pixels(op.x1, s), twips_to_pixels(op.y1, s));
      if (cells != 0) drawn_ |= QRect(at, pic.size());
      if (cells == kOffGrid || cells == kAllCells) {
        copy_rows(pic, at, image_.rect());
        return;
      }
      const QPoint c = *grid_cell(op, pic.size());
      const int x1 = grid_x_[c.x() + 1], y1 = grid_y_[c.y() + 1];
      const int far = 1 << 20;
      if (cells & kOwn) copy_rows(pic, at, QRect(QPoint(at.x(), at.y()), QPoint(x1 - 1, y1 - 1)));
      if (cells & kRight) copy_rows(pic, at, QRect(QPoint(x1, at.y()), QPoint(far, y1 - 1)));
      if (cells & kBelow) copy_rows(pic, at, QRect(QPoint(at.x(), y1), QPoint(x1 - 1, far)));
      if (cells & kDiagonal) copy_rows(pic, at, QRect(QPoint(x1, y1), QPoint(far, far)));
      return;
    }
    case DrawOp::Kind::Outline: {
      // A line of one pixel of the starting window, in whole device pixels, along the pixels
      // left..right and top..bottom: the right and bottom lines lie on the neighbours' left
      // and top ones.
      const int left = twips_to_pixels(op.x1, s), top = twips_to_pixels(op.y1, s);
      const int right = twips_to_pixels(op.x2, s), bottom = twips_to_pixels(op.y2, s);
      const int w = std::max(1, static_cast<int>(std::lround(s)));
      const int width = right - left + w, height = bottom - top + w;
      const QRgb c = palette_colour(op.colour).rgb();
      drawn_ |= QRect(left, top, width, height);
      fill(QRect(left, top, width, w), c);
      fill(QRect(left, bottom, width, w), c);
      fill(QRect(left, top, w, height), c);
      fill(QRect(right, top, w, height), c);
      return;
    }
    case DrawOp::Kind::Text: {
      const TextOp& t = record_.text(op);
      drawn_ |=
          QRect(QPoint(twips_to_pixels(t.ink.left(), s), twips_to_pixels(t.ink.top(), s)),
                QPoint(twips_to_pixels(t.ink.right(), s), twips_to_pixels(t.ink.bottom(), s)));
      const QFont font = text_font(t.face, t.points, s);
      QPainter painter(&image_);
      painter.setFont(font);
      painter.setPen(palette_colour(op.colour));
      painter.drawText(QPoint(twips_to_pixels(op.x1, s),
                              twips_to_pixels(op.y1, s) + QFontMetrics(font).ascent()),
                       qs(t.text));
      return;
    }
  }
}

// Pictures and outlines are opaque copies and solid rectangles on one RGB32 image, so they go
// straight to its rows: a QPainter per call costs several times the copy itself, and every
// square of an animation step is such a call. They go
// straight to its rows (found once per flush: each scanLine() call on the image checks whether
// it must be copied first).

void QtImage::copy_rows(const QImage& source, QPoint at, const QRect& clip) {
  const QRect target = QRect(at, source.size()).intersected(image_.rect()).intersected(clip);
  if (target.isEmpty()) return;
  const int skip_x = target.left() - at.x(), skip_y = target.top() - at.y();
  const auto bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
  const qsizetype step = source.bytesPerLine();
  const uchar* from = source.constBits() + skip_y * step;
  for (int y = 0; y < target.height(); ++y, from += step)
    std::memcpy(row(target.top() + y) + target.left(), reinterpret_cast<const QRgb*>(from) + skip_x,
                bytes);
}

void QtImage::fill(QRect area, QRgb colour) {
  const QRect target = area.intersected(image_.rect());
  for (int y = target.top(); y <= target.bottom(); ++y)
    std::fill_n(row(y) + target.left(), target.width(), colour);
}

}  // namespace pawnfall
