// The chain's points, the score and the best score above the board.
#pragma once

#include <string>
#include <string_view>

#include "model/state.h"

namespace pawnfall {

inline constexpr std::string_view 窓フォント = "ＭＳ Ｐ明朝";
inline constexpr int 見出し寸法 = 16;
inline constexpr int 数字寸法 = 22;
// The row above the board where the chain's points stand.
inline constexpr int 追加点数の行 = -2;

// " 7 ": one blank before (the sign's place) and one after the digits.
std::string 数字文字列(double value);

void 描画_文字(Game& g, double 列, double 行, std::string_view text, int 色, int 寸法);
void 描画_追加点数(Game& g, double 点数);
void 描画_スコア(Game& g, double スコア);
void 描画_過去最高スコア(Game& g, double 最高);
void 消去_追加点数(Game& g, int 行);
void 消去_スコア(Game& g, int 行);

}  // namespace pawnfall
