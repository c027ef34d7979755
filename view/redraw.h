// The whole window drawn again: background, board, banner and scores.
#pragma once

#include "model/state.h"

namespace pawnfall {

void 画面_再描画(Game& g);

}  // namespace pawnfall
