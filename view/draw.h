// Pictures and square outlines at board positions; the board and the background.
#pragma once

#include "model/state.h"

namespace pawnfall {

// Top-left corner in twips of board position (列, 行); fractional and outside positions allowed.
constexpr double 盤X(double 列) { return 盤左端 + 桝幅 * 列; }
constexpr double 盤Y(double 行) { return 盤上端 + 桝高 * 行; }

void 描画_絵(Game& g, int code, double 列, double 行, int 絵番号);
void 描画_桝輪郭(Game& g, int 色, int 列, int 行);
void 描画_盤(Game& g);
void 描画_将棋盤桝(Game& g);
void 描画_背景(Game& g, int 背景);
// Redraws every marked square in its normal look.
void 消去_消去対象駒(Game& g);

}  // namespace pawnfall
