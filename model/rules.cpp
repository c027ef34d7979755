// The move rules, the chain-link test and the end-of-game test.
#include "model/rules.h"

#include <array>
#include <cstdlib>

namespace pawnfall {
namespace {

enum class 駒種 { none, pawn, knight, bishop, rook, queen, king };

// Both colours of a kind share one movement rule and count as one kind in a chain.
constexpr 駒種 種類(int 駒) {
  switch (駒) {
    case W_PORN:
    case B_PORN:
      return 駒種::pawn;
    case W_NIGT:
    case B_NIGT:
      return 駒種::knight;
    case W_BSHO:
    case B_BSHO:
      return 駒種::bishop;
    case W_ROOK:
    case B_ROOK:
      return 駒種::rook;
    case W_QUIN:
    case B_QUIN:
      return 駒種::queen;
    case W_KING:
    case B_KING:
      return 駒種::king;
    default:
      return 駒種::none;
  }
}

struct 差分 {
  int 列, 行;
};

constexpr std::array<差分, 8> 桂馬跳び{
    {{-1, 2}, {1, 2}, {-1, -2}, {1, -2}, {2, -1}, {2, 1}, {-2, -1}, {-2, 1}}};
constexpr std::array<差分, 8> 周囲{
    {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}}};
constexpr std::array<差分, 4> 縦横{{{0, -1}, {0, 1}, {-1, 0}, {1, 0}}};
constexpr std::array<差分, 4> 斜め{{{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}};

// Walks from (列, 行) one step at a time until the square before (先列, 先行); false at the
// first piece in between. Both ends lie on the board, so every square visited does too.
bool 間が空(const 盤表<int>& 盤面, int 列, int 行, int 先列, int 先行, int d列, int d行) {
  for (列 += d列, 行 += d行; 列 != 先列 || 行 != 先行; 列 += d列, 行 += d行)
    if (盤面[列][行] != KARA) return false;
  return true;
}

int 符号(int v) { return (v > 0) - (v < 0); }

bool 捕獲可能(const 盤表<int>& 盤面, int 列, int 行, int 先列, int 先行) {
  const int 駒 = 盤面[列][行];
  return 移動チェック(盤面, 列, 行, 先列, 先行, 駒) && 同種(駒, 盤面[先列][先行]);
}

// A sliding piece can only reach the first piece along each of its lines.
bool 線上に同種(const 盤表<int>& 盤面, int 列, int 行, const std::array<差分, 4>& 方向) {
  for (const 差分 d : 方向) {
    int c = 列 + d.列, r = 行 + d.行;
    while (盤内(c, r) && 盤面[c][r] == KARA) c += d.列, r += d.行;
    if (盤内(c, r) && 捕獲可能(盤面, 列, 行, c, r)) return true;
  }
  return false;
}

template <std::size_t N>
bool 跳び先に同種(const 盤表<int>& 盤面, int 列, int 行, const std::array<差分, N>& 跳び) {
  for (const 差分 d : 跳び) {
    const int c = 列 + d.列, r = 行 + d.行;
    if (盤内(c, r) && 捕獲可能(盤面, 列, 行, c, r)) return true;
  }
  return false;
}

}  // namespace

bool 同種(int a, int b) { return a == b || (種類(a) != 駒種::none && 種類(a) == 種類(b)); }

bool 移動チェック(const 盤表<int>& 盤面, int 元列, int 元行, int 先列, int 先行, int 駒) {
  if (!盤内(先列, 先行)) return false;
  if (先列 == 元列 && 先行 == 元行) return false;
  if (盤面[先列][先行] == KARA) return false;
  // Callers always stand on the board; anything else gets no move rather than a stray read.
  if (!盤内(元列, 元行)) return false;

  const int dx = 先列 - 元列, dy = 先行 - 元行;
  const int ax = std::abs(dx), ay = std::abs(dy);
  switch (種類(駒)) {
    case 駒種::king:
      return ax <= 1 && ay <= 1;
    case 駒種::pawn:
      return dx == 0 && dy == -1;
    case 駒種::knight:
      return (ax == 1 && ay == 2) || (ax == 2 && ay == 1);
    case 駒種::bishop:
    case 駒種::queen:  // the queen of this game moves along diagonals only
      return 移動チェック角(盤面, 元列, 元行, 先列, 先行);
    case 駒種::rook:
      return 移動チェック飛車(盤面, 元列, 元行, 先列, 先行);
    case 駒種::none:
      break;
  }
  return false;
}

bool 移動チェック飛車(const 盤表<int>& 盤面, int 元列, int 元行, int 先列, int 先行) {
  if (!盤内(元列, 元行) || !盤内(先列, 先行)) return false;
  if (元列 != 先列 && 元行 != 先行) return false;
  if (元列 == 先列 && 元行 == 先行) return true;  // nothing lies between
  return 間が空(盤面, 元列, 元行, 先列, 先行, 符号(先列 - 元列), 符号(先行 - 元行));
}

bool 移動チェック角(const 盤表<int>& 盤面, int 元列, int 元行, int 先列, int 先行) {
  if (!盤内(元列, 元行) || !盤内(先列, 先行)) return false;
  const int dx = 先列 - 元列, dy = 先行 - 元行;
  if (std::abs(dx) != std::abs(dy)) return false;
  if (dx == 0) return true;  // nothing lies between
  return 間が空(盤面, 元列, 元行, 先列, 先行, 符号(dx), 符号(dy));
}

bool 移動チェック_消去対象駒(const Game& g, int 連鎖駒, int 列, int 行) {
  if (!盤内(列, 行) || !同種(g.盤面[列][行], 連鎖駒)) return false;
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r)
      if (g.消去対象駒[c][r] != 0 && 移動チェック(g.盤面, c, r, 列, 行, g.盤面[c][r])) return true;
  return false;
}

bool チェック_継続可能(const Game& g) {
  const 盤表<int>& 盤面 = g.盤面;
  // Only the squares a piece's movement can reach are worth asking the move test about; the
  // answer is the same as pairing every square with every other.
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) {
      bool found = false;
      switch (種類(盤面[列][行])) {
        case 駒種::pawn:
          found = 盤内(列, 行 - 1) && 捕獲可能(盤面, 列, 行, 列, 行 - 1);
          break;
        case 駒種::knight:
          found = 跳び先に同種(盤面, 列, 行, 桂馬跳び);
          break;
        case 駒種::king:
          found = 跳び先に同種(盤面, 列, 行, 周囲);
          break;
        case 駒種::rook:
          found = 線上に同種(盤面, 列, 行, 縦横);
          break;
        case 駒種::bishop:
        case 駒種::queen:
          found = 線上に同種(盤面, 列, 行, 斜め);
          break;
        case 駒種::none:
          break;
      }
      if (found) return true;
    }
  return false;
}

}  // namespace pawnfall
