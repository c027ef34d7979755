// Reads the board from a screenshot by comparing each square with the game's pictures.
#include "tests/e2e/board_reader.h"

#include <QString>

#include <algorithm>
#include <cmath>

#include "model/pictures.h"
#include "tests/image_difference.h"

namespace pawnfall::e2e {
namespace {

// Top-left pixel of square (列, 行) relative to the client area.
QPoint square_corner(int 列, int 行, double scale = 1) {
  return {twips_to_pixels(盤左端 + 桝幅 * 列, scale), twips_to_pixels(盤上端 + 桝高 * 行, scale)};
}

}  // namespace

BoardReader::BoardReader() {
  for (const auto& entry : 絵の表) {
    if (!entry.番号付き) continue;
    const int code = entry.code;
    for (int n = 0; n < 3; ++n) {
      const QString path = QStringLiteral(PAWNFALL_SOURCE_DIR "/res/pictures/1x/%1_%2.bmp")
                               .arg(QLatin1String(entry.名.data(), qsizetype(entry.名.size())))
                               .arg(n);
      QImage image(path);
      if (!image.isNull()) pictures_[code][n] = image.convertToFormat(QImage::Format_RGB32);
    }
  }
}

bool BoardReader::matches(const QImage& shot, QPoint at, const QImage& picture) const {
  if (picture.isNull()) return false;
  // The square's inside only: its outline and the next square's overlap cover the edges.
  for (int y = 1; y < 33; ++y)
    for (int x = 1; x < 33; ++x) {
      const int sx = at.x() + x, sy = at.y() + y;
      if (sx < 0 || sy < 0 || sx >= shot.width() || sy >= shot.height()) return false;
      if ((shot.pixel(sx, sy) & 0xffffff) != (picture.pixel(x, y) & 0xffffff)) return false;
    }
  return true;
}

std::optional<int> BoardReader::code_at(const QImage& shot, QPoint origin, int 列, int 行) const {
  const QPoint at = origin + square_corner(列, 行);
  for (int code = 0; code < 22; ++code)
    for (int n : {桝の色(列, 行), 0})
      if (matches(shot, at, pictures_[code][n])) return code;
  return std::nullopt;
}

std::optional<QPoint> BoardReader::find_client_origin(const QImage& shot) const {
  for (int dy = 0; dy < 120; ++dy)
    for (int dx = 0; dx < 20; ++dx)
      if (code_at(shot, QPoint(dx, dy), 1, 1)) return QPoint(dx, dy);
  return std::nullopt;
}

std::optional<int> BoardReader::nearest_code_at(const QImage& shot, QPoint origin, int 列, int 行,
                                                double scale) const {
  // The square's inside, between its outlines, made as small as the 1x pictures' inside.
  const QPoint at = origin + square_corner(列, 行, scale);
  const QPoint end = origin + square_corner(列 + 1, 行 + 1, scale);
  const int line = std::max(1, static_cast<int>(std::lround(scale)));
  const QRect inside(at + QPoint(line, line), end - QPoint(1, 1));
  if (!shot.rect().contains(inside)) return std::nullopt;
  const QImage small =
      shot.copy(inside).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  std::optional<int> best;
  double best_difference = 12;  // anything further is no picture of ours
  for (int code = 0; code < 22; ++code)
    for (int n : {桝の色(列, 行), 0}) {
      const QImage& picture = pictures_[code][n];
      if (picture.isNull()) continue;
      const double d = test::difference(
          small, picture.copy(1, 1, 33, 33)
                     .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
      if (d < best_difference) best = code, best_difference = d;
    }
  return best;
}

std::optional<盤表<int>> BoardReader::read(const QImage& shot, QPoint origin, double scale) const {
  盤表<int> board{};
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) {
      auto code =
          scale == 1 ? code_at(shot, origin, 列, 行) : nearest_code_at(shot, origin, 列, 行, scale);
      if (!code) return std::nullopt;
      board[列][行] = *code;
    }
  return board;
}

QPoint BoardReader::square_centre(QPoint origin, int 列, int 行, double scale) {
  return origin + QPoint(twips_to_pixels(盤左端 + 桝幅 * (列 + 0.5), scale),
                         twips_to_pixels(盤上端 + 桝高 * (行 + 0.5), scale));
}

}  // namespace pawnfall::e2e
