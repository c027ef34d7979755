// The mouse-press handler: building, cancelling and committing a chain.
#pragma once

#include "core/state.h"

namespace pawnfall {

// button: 1 left, 2 right, 4 middle; X, Y in twips of the window's client area.
void マウス押下(Game& g, int button, double X, double Y);

// Redraws every marked square in its normal look.
void 消去_消去対象駒(Game& g);

// Window point in twips to board column and row, rounding toward minus infinity.
int 列番号(double X);
int 行番号(double Y);

}  // namespace pawnfall
