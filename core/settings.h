// The settings file Pawnfall.ini: the options and the best score between runs.
#pragma once

#include <string>
#include <string_view>

#include "core/state.h"

namespace pawnfall {

inline constexpr std::string_view 設定ファイル名 = "Pawnfall.ini";

void 読込_環境設定ファイル(Game& g);
void 書込_環境設定ファイル(Game& g);

// The number at the start of a value: blanks skipped, sign, digits, point, exponent, &H, &O.
double 数値読取(std::string_view text);
// Plain decimal: no exponent, no separators, a point only for a fraction.
std::string 十進表記(double value);

}  // namespace pawnfall
