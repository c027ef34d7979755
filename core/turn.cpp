// PLACEHOLDER: the mouse-press handler (being written).
#include "core/turn.h"
#include <cmath>
namespace pawnfall {
int 列番号(double X) { return static_cast<int>(std::floor((X - 盤左端) / 桝幅)); }
int 行番号(double Y) { return static_cast<int>(std::floor((Y - 盤上端) / 桝高)); }
void マウス押下(Game&, int, double, double) {}
}  // namespace pawnfall
