// The sixteen palette colours the game names by index, as Qt colours.
#pragma once

#include <QColor>

#include "model/state.h"

namespace pawnfall {

// The palette colour of an index 0..15.
inline QColor palette_colour(int index) {
  return QColor(QRgb(0xFF000000u | kPaletteRgb[static_cast<std::size_t>(index & 15)]));
}

}  // namespace pawnfall
