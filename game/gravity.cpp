// Falling pieces and closing-up columns, animated one step at a time.
#include "game/gravity.h"

#include "model/platform.h"
#include "view/draw.h"

namespace pawnfall {
namespace {

// Marks every piece with an empty square directly below it; answers whether any is marked.
// Row 12 never falls, so its marks stay 0.
bool 落下対象を求める(const Game& g, 盤表<int>& 落下対象駒) {
  bool 落下あり = false;
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 < 行数; ++行) {
      const bool 落ちる = g.盤面[列][行] != KARA && g.盤面[列][行 + 1] == KARA;
      落下対象駒[列][行] = 落ちる ? 1 : 0;
      落下あり = 落下あり || 落ちる;
    }
  return 落下あり;
}

// Draws a square as the board now holds it, with its ordinary outline.
void 桝を描く(Game& g, int 列, int 行) {
  描画_絵(g, g.盤面[列][行], 列, 行, g.桝色[列][行]);
  描画_桝輪郭(g, 色_背景, 列, 行);
}

// Shows what was drawn so far, then pauses: the pause itself handles no events and paints
// nothing, so the step has to reach the screen first.
void 一歩見せる(Game& g) {
  g.platform.present();
  待ち時間(g, 一歩の待ち時間);
}

}  // namespace

void 重力処理(Game& g) {
  描画_将棋盤桝(g);
  盤表<int> 落下対象駒{};
  bool 落下あり = 落下対象を求める(g, 落下対象駒);
  while (落下あり) {
    // Two pieces marked in one step are never neighbours in a column, so each moves once.
    for (int 列 = 1; 列 <= 列数; ++列)
      for (int 行 = 1; 行 < 行数; ++行) {
        if (落下対象駒[列][行] != 1) continue;
        g.盤面[列][行 + 1] = g.盤面[列][行];
        g.盤面[列][行] = KARA;
        桝を描く(g, 列, 行);
        桝を描く(g, 列, 行 + 1);
      }
    一歩見せる(g);
    落下あり = 落下対象を求める(g, 落下対象駒);
  }
}

void 重力処理_横(Game& g, int 列) {
  if (列 < 1) return;  // only board columns can be closed; anything else is left alone
  for (int x = 列; x < 列数; ++x) {
    for (int 行 = 1; 行 <= 行数; ++行) {
      g.盤面[x][行] = g.盤面[x + 1][行];
      g.盤面[x + 1][行] = KARA;
      // Where nothing moved both squares already show empty.
      if (g.盤面[x][行] == KARA) continue;
      桝を描く(g, x, 行);
      桝を描く(g, x + 1, 行);
    }
    一歩見せる(g);
  }
}

void 待ち時間(Game& g, double 秒) { g.platform.wait(秒); }

}  // namespace pawnfall
