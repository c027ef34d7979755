// Reads the board from a screenshot by comparing each square with the game's pictures.
#pragma once

#include <QImage>
#include <QPoint>

#include <optional>

#include "model/state.h"

namespace pawnfall::e2e {

class BoardReader {
 public:
  // Loads the pictures from the source tree's res/pictures.
  BoardReader();

  // Where the client area starts on the screenshot, found by matching square (1, 1).
  std::optional<QPoint> find_client_origin(const QImage& shot) const;
  // The code on every square, or nullopt when a square matches no picture. At a scale other
  // than 1 (device pixels per pixel of the starting window) each square is read as the
  // picture it most resembles when made as small as the 1x pictures.
  std::optional<盤表<int>> read(const QImage& shot, QPoint origin, double scale = 1) const;
  // Screen position of the middle of square (列, 行).
  static QPoint square_centre(QPoint origin, int 列, int 行, double scale = 1);

 private:
  bool matches(const QImage& shot, QPoint at, const QImage& picture) const;
  std::optional<int> code_at(const QImage& shot, QPoint origin, int 列, int 行) const;
  std::optional<int> nearest_code_at(const QImage& shot, QPoint origin, int 列, int 行,
                                     double scale) const;

  QImage pictures_[22][3];
};

}  // namespace pawnfall::e2e
