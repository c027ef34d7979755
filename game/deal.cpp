// A new game: dealing the board and resetting the score.
#include "game/deal.h"

#include <algorithm>
#include <cctype>

#include "model/decimal_text.h"
#include "sound/sound.h"
#include "view/redraw.h"
#include "view/score.h"

namespace pawnfall {
namespace {

// A uniform float in [0, 1): the top 24 bits of the engine's output, so every value is exact
// and 1 can never come out of rounding.
float 一様乱数(std::mt19937& engine) {
  return static_cast<float>(engine() >> 8) * (1.0f / 16777216.0f);
}

}  // namespace

std::string 単精度文字列(float value) {
  std::string text = general_form(value, 7);
  std::replace(text.begin(), text.end(), 'e', 'E');
  return text;
}

std::string 文字列編集_不用文字削除(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text)
    if (c != '.' && c != 'E' && c != '-') result.push_back(c);
  return result;
}

void 初期設定_駒(Game& g) {
  std::string 配牌;
  while (配牌.size() < 240) {
    const float a = 一様乱数(g.乱数);
    const float b = 一様乱数(g.乱数);
    const float r = a * b;
    配牌 += 文字列編集_不用文字削除(単精度文字列(r));
  }
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) g.盤面[列][行] = 10 + (配牌[列 * 行 - 1] - '0');
}

void 初期化_消去対象駒(Game& g) {
  for (int 行 = 1; 行 <= 行数; ++行)
    for (int 列 = 1; 列 <= 列数; ++列) g.消去対象駒[列][行] = 0;
}

void 初期設定(Game& g) {
  g.終了フラグ = 終了状態::続行中;
  g.スコア = 0;
  描画_スコア(g, g.スコア);
  初期設定_駒(g);
  画面_再描画(g);
  g.音.play(音源::音_駒打音);
}

}  // namespace pawnfall
