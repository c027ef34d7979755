// The sixteen palette colours the game names by index, as Qt colours.
#pragma once

#include <QColor>

namespace pawnfall {

// The palette colour of an index 0..15.
inline QColor palette_colour(int index) {
  static constexpr QRgb palette[16] = {
      qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
      qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
      qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};
  return QColor(palette[index & 15]);
}

}  // namespace pawnfall
