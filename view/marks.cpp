// Clearing the marked look of an abandoned chain.
#include "view/draw.h"

namespace pawnfall {

void 消去_消去対象駒(Game& g) {
  // The board and the marks stay; only the pictures go back to the square's own shade.
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行)
      if (g.消去対象駒[列][行] != 0) 描画_絵(g, g.盤面[列][行], 列, 行, g.桝色[列][行]);
}

}  // namespace pawnfall
