// Small helpers for tests that set up boards and press on squares.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "game/turn.h"
#include "model/rules.h"
#include "model/state.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"

namespace pawnfall::test {

// A game on the fake platform with the fake sound library open, and the buffers the options and
// commands sound through made as the library would make them (no wave files needed); the calls
// so far forgotten.
class GameOnFakes : public ::testing::Test {
 protected:
  GameOnFakes() {
    reset_fake_sound();
    platform.library = fake_sound_library();
    sound.初期化_サウンド(1);
    sound.adopt(音源::音_その他, 1);
    sound.adopt(音源::音_BGM, 5);
    fake_sound_log().calls.clear();
  }

  FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

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

// The first piece, column by column, that can take another of its kind, and that one; two equal
// squares when there is none.
inline std::pair<std::pair<int, int>, std::pair<int, int>> 最初の取り(const Game& g) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r)
      for (int c2 = 1; c2 <= 列数; ++c2)
        for (int r2 = 1; r2 <= 行数; ++r2)
          if (同種(g.盤面[c][r], g.盤面[c2][r2]) &&
              移動チェック(g.盤面, c, r, c2, r2, g.盤面[c][r]))
            return {{c, r}, {c2, r2}};
  return {};
}

// Whether any piece stands directly above an empty square.
inline bool 宙に浮く駒がある(const Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 < 行数; ++行)
      if (g.盤面[列][行] != KARA && g.盤面[列][行 + 1] == KARA) return true;
  return false;
}

// A late-game board whose commit of the two rooks in column 1 closes columns 1, 2 and 3 in turn
// (54 animation steps); the kings side by side keep the game going afterwards.
inline 盤表<int> 長い閉じ込みの盤() {
  盤表<int> b{};
  b[1][11] = W_ROOK;
  b[1][12] = B_ROOK;
  for (int c = 2; c <= 列数; ++c)
    if (c != 3 && c != 5) b[c][12] = c % 2 == 0 ? W_PORN : B_NIGT;
  b[19][12] = W_KING;
  b[20][12] = B_KING;
  return b;
}

}  // namespace pawnfall::test
