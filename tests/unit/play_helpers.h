// Small helpers for tests that set up boards and press on squares.
#pragma once

#include <initializer_list>
#include <utility>

#include "game/turn.h"
#include "model/state.h"

namespace pawnfall::test {

// The checkerboard shades as start-up sets them.
inline void 桝色を設定(Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) g.桝色[列][行] = 桝の色(列, 行);
}

inline void 盤を埋める(Game& g, int code) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) g.盤面[列][行] = code;
}

// A press in the middle of square (列, 行).
inline void 押す(Game& g, マウスボタン button, int 列, int 行) {
  マウス押下(g, button, 盤左端 + 桝幅 * (列 + 0.5), 盤上端 + 桝高 * (行 + 0.5));
}

inline int 駒の数(const Game& g) {
  int n = 0;
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) n += g.盤面[列][行] != KARA;
  return n;
}

// Whether any piece stands directly above an empty square.
inline bool 宙に浮く駒がある(const Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 < 行数; ++行)
      if (g.盤面[列][行] != KARA && g.盤面[列][行 + 1] == KARA) return true;
  return false;
}

}  // namespace pawnfall::test
