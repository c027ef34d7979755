// The move rules, the chain-link test and the end-of-game test.
#pragma once

#include "model/state.h"

namespace pawnfall {

// Whether two piece codes are of one kind (equal, or the two colours of one piece).
bool 同種(int a, int b);

bool 移動チェック(const 盤表<int>& 盤面, int 元列, int 元行, int 先列, int 先行, int 駒);
bool 移動チェック飛車(const 盤表<int>& 盤面, int 元列, int 元行, int 先列, int 先行);
bool 移動チェック角(const 盤表<int>& 盤面, int 元列, int 元行, int 先列, int 先行);

// May the piece on (列, 行) join the chain that the marked squares form?
bool 移動チェック_消去対象駒(const Game& g, int 連鎖駒, int 列, int 行);

// Whether any capture is left on the board.
bool チェック_継続可能(const Game& g);

}  // namespace pawnfall
