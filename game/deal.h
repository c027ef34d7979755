// A new game: dealing the board and resetting the score.
#pragma once

#include <string>
#include <string_view>

#include "model/state.h"

namespace pawnfall {

void 初期設定(Game& g);
void 初期設定_駒(Game& g);
std::string 文字列編集_不用文字削除(std::string_view text);
void 初期化_消去対象駒(Game& g);

// The general text form of a single-precision value: 7 significant digits, fixed-point for
// ordinary values, "E" and a signed exponent for very small ones (1.234567E-02).
std::string 単精度文字列(float value);

}  // namespace pawnfall
