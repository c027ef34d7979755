// PLACEHOLDER: move guidance (being written).
#include "view/guidance.h"
#include "view/draw.h"
namespace pawnfall {
void 描画_移動可能桝色(Game& g, int, int, int, int) { 描画_将棋盤桝(g); }
}  // namespace pawnfall
