// Boards and chains shared by the benchmarks: the heaviest commit we know how to build.
#pragma once

#include <array>
#include <cstddef>
#include <queue>
#include <utility>
#include <vector>

#include "game/deal.h"
#include "game/turn.h"
#include "model/state.h"

namespace pawnfall::bench {

using 桝 = std::pair<int, int>;

// The heaviest commit: a rook chain over the odd columns 1..9 and the bottom six rows.
// Its commit removes 150 pieces, lets the other 90 fall six rows (36 pieces-moves per
// column), closes five emptied columns one after another (each step moving up to 90
// pieces), and leaves a board on which no capture is possible, so the end-of-game test
// scans everything and the game ends. Other shapes we tried moved fewer pieces.
inline bool 最悪の連鎖に入る(int 列, int 行) { return 行 > 6 || (列 <= 9 && 列 % 2 == 1); }

// Where a piece left standing ends up after the commit: it falls six rows and the five
// emptied columns to its left close up.
inline 桝 最後の位置(int 列, int 行) { return {列 <= 10 ? 列 / 2 : 列 - 5, 行 + 6}; }

// A kind for every square such that no two squares a king step or a knight jump apart share
// one: (column + 3 × row) mod 6 differs for every such offset. With one kind per residue no
// capture of any kind is possible.
inline int 取れない駒(int 列, int 行) {
  static constexpr std::array<std::array<int, 2>, 6> 種類{{{W_PORN, B_PORN},
                                                           {W_NIGT, B_NIGT},
                                                           {W_BSHO, B_BSHO},
                                                           {W_KING, B_KING},
                                                           {W_QUIN, B_QUIN},
                                                           {W_ROOK, B_ROOK}}};
  return 種類[static_cast<std::size_t>((列 + 3 * 行) % 6)][static_cast<std::size_t>((列 + 行) % 2)];
}

inline void 桝色を設定(Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) g.桝色[列][行] = 桝の色(列, 行);
}

// Lays out the heaviest-commit board and answers the chain's squares in an order in which
// each joins a piece already in the chain (breadth first from (1, 12)).
inline std::vector<桝> 最悪の盤を並べる(Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) {
      if (最悪の連鎖に入る(列, 行)) {
        g.盤面[列][行] = (列 + 行) % 2 == 0 ? W_ROOK : B_ROOK;
      } else {
        const auto [c, r] = 最後の位置(列, 行);
        g.盤面[列][行] = 取れない駒(c, r);
      }
    }
  std::vector<桝> order;
  盤表<int> seen{};
  std::queue<桝> queue;
  queue.push({1, 行数});
  seen[1][行数] = 1;
  while (!queue.empty()) {
    const auto [列, 行] = queue.front();
    queue.pop();
    order.push_back({列, 行});
    for (const auto& [dc, dr] : {桝{1, 0}, 桝{-1, 0}, 桝{0, 1}, 桝{0, -1}}) {
      const int c = 列 + dc, r = 行 + dr;
      if (!盤内(c, r) || seen[c][r] || !最悪の連鎖に入る(c, r)) continue;
      seen[c][r] = 1;
      queue.push({c, r});
    }
  }
  return order;
}

// A press in the middle of square (列, 行).
inline void 押す(Game& g, マウスボタン button, int 列, int 行) {
  マウス押下(g, button, 盤左端 + 桝幅 * (列 + 0.5), 盤上端 + 桝高 * (行 + 0.5));
}

// Starts a fresh game on the given board with no chain, score or best score, so the commit
// also draws and saves a new best score.
inline void 新しい局面(Game& g, const 盤表<int>& 盤面) {
  g.盤面 = 盤面;
  g.消去対象駒 = {};
  g.選択状態 = 選択状態型::なし;
  g.選択駒 = {};
  g.スコア = 0;
  g.過去最高スコア = 0;
  g.終了フラグ = 終了状態::続行中;
}

// Builds the chain with ordinary left presses, as a player would.
inline void 連鎖を組む(Game& g, const std::vector<桝>& order) {
  for (const auto& [列, 行] : order) 押す(g, 左ボタン, 列, 行);
}

}  // namespace pawnfall::bench
