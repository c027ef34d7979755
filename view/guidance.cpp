// Move guidance: outlines around the pieces the chain's current piece could capture.
#include "view/guidance.h"

#include "model/platform.h"
#include "model/rules.h"
#include "view/draw.h"

namespace pawnfall {

void 描画_移動可能桝色(Game& g, int 列, int 行, int 色, int 駒) {
  // Every call first takes the previous hints off, whether or not the option is on.
  描画_将棋盤桝(g);
  if (!g.platform.checked(MenuItem::SIDOU)) return;
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r)
      if (移動チェック(g.盤面, 列, 行, c, r, 駒)) 描画_桝輪郭(g, 色, c, r);
}

}  // namespace pawnfall
