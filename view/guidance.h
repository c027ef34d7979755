// Move guidance: outlines around the pieces the chain's current piece could capture.
#pragma once

#include "model/state.h"

namespace pawnfall {

void 描画_移動可能桝色(Game& g, int 列, int 行, int 色, int 駒);

}  // namespace pawnfall
