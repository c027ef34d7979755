#include "tools/figures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>

namespace pawnfall::art {

QPainterPath Glyphs::path(char16_t ch) const {
  const QChar c(ch);
  const auto indexes = font_.glyphIndexesForString(QString(c));
  return indexes.isEmpty() ? QPainterPath() : font_.pathForGlyph(indexes.first());
}

QPainterPath silhouette(const QPainterPath& glyph) {
  QPainterPath out;
  out.setFillRule(Qt::WindingFill);
  for (const QPolygonF& poly : glyph.toSubpathPolygons()) {
    QPainterPath part;
    part.addPolygon(poly);
    part.closeSubpath();
    out = out.united(part);
  }
  return out;
}

QImage icon(const Glyphs& glyphs, int size) {
  QImage img(size, size, QImage::Format_RGB888);
  img.fill(QColor(0, 0, 160));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient sky(QPointF(size * 0.4, size * 0.35), size * 0.8);
  sky.setColorAt(0, QColor(60, 110, 230));
  sky.setColorAt(1, QColor(0, 20, 120));
  p.fillRect(img.rect(), sky);

  // The head fills all but a sixteenth of the side at each edge and stands on the bottom one.
  const double margin = size / 16.0;
  const QPainterPath lines_raw = glyphs.path(glyph_of(Kind::Knight));
  const QRectF raw = lines_raw.boundingRect();
  const double scale = (size - 2 * margin) / std::max(raw.width(), raw.height());
  QTransform t;
  t.translate(size / 2.0, size - margin);
  t.scale(scale, scale);
  t.translate(-raw.center().x(), -raw.bottom());
  const QPainterPath body = t.map(silhouette(lines_raw));
  QLinearGradient light(body.boundingRect().topLeft(), body.boundingRect().bottomRight());
  light.setColorAt(0.0, QColor(250, 250, 250));
  light.setColorAt(0.5, kWhiteLight);
  light.setColorAt(1.0, kWhiteDark);
  p.setPen(Qt::NoPen);
  p.setBrush(light);
  p.drawPath(body);
  p.setBrush(QColor(10, 10, 40));
  p.drawPath(t.map(lines_raw));
  return img;
}

}  // namespace pawnfall::art
