// Pictures and square outlines at board positions; the board and the background.
#include "view/draw.h"

#include "model/pictures.h"
#include "model/platform.h"

namespace pawnfall {
void 描画_絵(Game& g, int code, double 列, double 行, int 絵番号) {
  // A code without a picture draws nothing.
  if (const auto 絵 = 絵_コードから(code))
    g.platform.paint_picture({code, 絵->番号付き ? 絵番号 : 0}, 盤X(列), 盤Y(行));
}

void 描画_桝輪郭(Game& g, int 色, int 列, int 行) {
  const double x1 = 盤X(列), y1 = 盤Y(行);
  g.platform.draw_outline(色, x1, y1, x1 + 桝幅, y1 + 桝高);
}

void 描画_盤(Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) {
      描画_絵(g, g.盤面[列][行], 列, 行, g.桝色[列][行]);
      描画_桝輪郭(g, 色_背景, 列, 行);
    }
}

void 描画_将棋盤桝(Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) 描画_桝輪郭(g, 色_盤, 列, 行);
}

void 描画_背景(Game& g, int 背景) {
  for (int 列 = -3; 列 <= 28; ++列)
    for (int 行 = -3; 行 <= 17; ++行) {
      // The board's middle is always painted over by the board itself.
      if (列 >= 1 && 列 <= 9 && 行 >= 1 && 行 <= 9) continue;
      描画_絵(g, 背景, 列, 行, 0);
    }
}

}  // namespace pawnfall
