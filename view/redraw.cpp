// The whole window drawn again: background, board, banner and scores.
#include "view/redraw.h"

#include "view/draw.h"
#include "view/score.h"

namespace pawnfall {

void 画面_再描画(Game& g) {
  描画_背景(g, g.背景画);
  描画_盤(g);
  描画_絵(g, TAITORU, 8.5, -1.5, 0);
  描画_スコア(g, g.スコア);
  描画_過去最高スコア(g, g.過去最高スコア);
}

}  // namespace pawnfall
