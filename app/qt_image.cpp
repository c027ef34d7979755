// The persistent image of the client area: pictures, outlines and text painted at twips.
#include "app/qt_image.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/pictures.h"

namespace pawnfall {
namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QColor QtImage::palette_colour(int index) {
  static const QRgb palette[16] = {
      qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
      qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
      qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};
  return QColor(palette[index & 15]);
}

QString QtImage::picture_resource(Picture picture, int set) {
  const auto entry = 絵_コードから(picture.code);
  if (!entry) return {};
  const QString name = QString::fromLatin1(entry->名.data(), qsizetype(entry->名.size()));
  if (!entry->番号付き) return QStringLiteral(":/pictures/%1x/%2.png").arg(set).arg(name);
  return QStringLiteral(":/pictures/%1x/%2_%3.png").arg(set).arg(name).arg(picture.number);
}

QtImage::QtImage(QSize size, qreal device_pixel_ratio)
    : scale_(std::max(1, static_cast<int>(std::ceil(device_pixel_ratio - 0.01)))) {
  // Held at a whole multiple of the logical size so pictures scale without blur.
  image_ = QImage(size * scale_, QImage::Format_RGB32);
  image_.setDevicePixelRatio(scale_);
  image_.fill(palette_colour(色_背景));
}

const QImage* QtImage::picture(Picture p) {
  const int key = p.code * 4 + p.number;
  auto it = pictures_.find(key);
  if (it == pictures_.end()) {
    QImage loaded;
    const QString name = picture_resource(p);
    if (!name.isEmpty()) loaded.load(name);
    if (!loaded.isNull()) {
      loaded = loaded.convertToFormat(QImage::Format_RGB32);
      if (scale_ > 1)
        loaded =
            loaded.scaled(loaded.size() * scale_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      loaded.setDevicePixelRatio(scale_);
    }
    it = pictures_.insert(key, loaded);
  }
  return it->isNull() ? nullptr : &*it;
}

// Pictures and outlines are opaque copies and solid rectangles on one RGB32 image, so they go
// straight to its rows: a QPainter per call costs several times the copy itself, and every
// square of an animation step is such a call.
void QtImage::copy_rows(const QImage& source, QPoint at) {
  const QRect target = QRect(at, source.size()).intersected(image_.rect());
  if (target.isEmpty()) return;
  const int skip_x = target.left() - at.x(), skip_y = target.top() - at.y();
  const auto bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
  for (int y = 0; y < target.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(skip_y + y)) + skip_x;
    auto* to = reinterpret_cast<QRgb*>(image_.scanLine(target.top() + y)) + target.left();
    std::memcpy(to, from, bytes);
  }
}

void QtImage::fill(QRect area, QRgb colour) {
  const QRect target = area.intersected(image_.rect());
  for (int y = target.top(); y <= target.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(row + target.left(), row + target.left() + target.width(), colour);
  }
}

void QtImage::paint_picture(Picture p, double x, double y) {
  if (const QImage* pic = picture(p))
    copy_rows(*pic, QPoint(twips_to_pixels(x), twips_to_pixels(y)) * scale_);
}

void QtImage::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  // A one-pixel outline covering the pixels left..right and top..bottom inclusive; at a
  // higher density each pixel is a scale-by-scale block.
  const int left = twips_to_pixels(x1), top = twips_to_pixels(y1);
  const int right = twips_to_pixels(x2), bottom = twips_to_pixels(y2);
  const int s = scale_, width = (right - left + 1) * s, height = (bottom - top + 1) * s;
  const QRgb c = palette_colour(colour).rgb();
  fill(QRect(left * s, top * s, width, s), c);
  fill(QRect(left * s, bottom * s, width, s), c);
  fill(QRect(left * s, top * s, s, height), c);
  fill(QRect(right * s, top * s, s, height), c);
}

void QtImage::print_text(double x, double y, std::string_view text, std::string_view face,
                         int points, int colour) {
  QFont font(qs(face));
  // Points at the 96 dots per inch that the twips assume, whatever the screen reports.
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  // Solid glyph pixels: labels are printed again and again at the same place, and only
  // without blended edges does every print leave exactly the same picture.
  font.setStyleStrategy(QFont::NoAntialias);
  QPainter painter(&image_);
  painter.setFont(font);
  painter.setPen(palette_colour(colour));
  const QFontMetrics metrics(font);
  painter.drawText(QPoint(twips_to_pixels(x), twips_to_pixels(y) + metrics.ascent()), qs(text));
}

}  // namespace pawnfall
