// The mouse-press handler: building, cancelling and committing a chain.
#pragma once

#include "model/state.h"

namespace pawnfall {

// X, Y in twips of the window's client area.
void マウス押下(Game& g, マウスボタン button, double X, double Y);

// Window point in twips to board column and row, rounding toward minus infinity.
int 列番号(double X);
int 行番号(double Y);

}  // namespace pawnfall
