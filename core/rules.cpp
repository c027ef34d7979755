// PLACEHOLDER: the move rules (being written).
#include "core/rules.h"
namespace pawnfall {
bool 同種(int, int) { return false; }
bool 移動チェック(const 盤表<int>&, int, int, int, int, int) { return false; }
bool 移動チェック飛車(const 盤表<int>&, int, int, int, int) { return false; }
bool 移動チェック角(const 盤表<int>&, int, int, int, int) { return false; }
bool 移動チェック_消去対象駒(const Game&, int, int, int) { return false; }
bool チェック_継続可能(const Game&) { return false; }
}  // namespace pawnfall
