// The chain's points, the score and the best score above the board.
#include "view/score.h"

#include <cmath>
#include <cstdio>

#include "model/platform.h"
#include "view/draw.h"

namespace pawnfall {
namespace {

// Text stands a little right of and below its board position.
constexpr double 文字横ずれ = 120;
constexpr double 文字縦ずれ = 160;

// Column of a number's black copy by its size; the white copy stands a tenth to the left.
double 数字列(double value, double 一桁列) {
  if (value < 10) return 一桁列;
  if (value < 100) return 一桁列 - 0.1;
  return 一桁列 - 0.2;
}

void 影付き(Game& g, double 黒列, double 黒行, double 白列, double 白行, std::string_view text,
            int 寸法) {
  描画_文字(g, 黒列, 黒行, text, 色_黒, 寸法);
  描画_文字(g, 白列, 白行, text, 色_白, 寸法);
}

}  // namespace

std::string 数字文字列(double value) {
  // Whole numbers up to 2^53 and beyond print exactly with %.0f; no separators, no exponent.
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.0f", std::fabs(value));
  return std::string(value < 0 ? "-" : " ") + digits + " ";
}

void 描画_文字(Game& g, double 列, double 行, std::string_view text, int 色, int 寸法) {
  g.platform.print_text(盤X(列) + 文字横ずれ, 盤Y(行) + 文字縦ずれ, text, 窓フォント, 寸法, 色);
}

void 描画_追加点数(Game& g, double 点数) {
  消去_追加点数(g, 追加点数の行);
  影付き(g, 1.2, -2.0, 1.1, -1.9, "加算点数", 見出し寸法);
  const double 列 = 数字列(点数, 4.3);
  影付き(g, 列, -2.2, 列 - 0.1, -2.1, 数字文字列(点数), 数字寸法);
}

void 描画_スコア(Game& g, double スコア) {
  消去_スコア(g, -2);
  影付き(g, 16.6, -1.9, 16.5, -2.0, "SCORE", 見出し寸法);
  const double 列 = 数字列(スコア, 19.3);
  影付き(g, 列, -2.1, 列 - 0.1, -2.2, 数字文字列(スコア), 数字寸法);
}

void 描画_過去最高スコア(Game& g, double 最高) {
  消去_スコア(g, -1);
  影付き(g, 15.2, -1.0, 15.1, -1.1, "最高 SCORE", 見出し寸法);
  const double 列 = 数字列(最高, 19.3);
  影付き(g, 列, -1.1, 列 - 0.1, -1.2, 数字文字列(最高), 数字寸法);
}

void 消去_追加点数(Game& g, int 行) {
  for (int 列 : {4, 5, 6}) 描画_絵(g, g.背景画, 列, 行, 0);
}

void 消去_スコア(Game& g, int 行) {
  for (int 列 : {19, 20, 21}) 描画_絵(g, g.背景画, 列, 行, 0);
}

}  // namespace pawnfall
