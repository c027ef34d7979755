// Falling pieces and closing-up columns, animated one step at a time.
#pragma once

#include "model/state.h"

namespace pawnfall {

inline constexpr double 一歩の待ち時間 = 0.1;

void 重力処理(Game& g);
void 重力処理_横(Game& g, int 列);
void 待ち時間(Game& g, double 秒);

}  // namespace pawnfall
