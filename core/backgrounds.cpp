// The check marks of the five background tiles.
#include "core/backgrounds.h"

namespace pawnfall {

void チェック設定(Game& g, int code) {
  for (const auto& b : 背景表) g.platform.set_checked(b.item, false);
  if (const auto tile = 背景_コードから(code)) g.platform.set_checked(tile->item, true);
}

}  // namespace pawnfall
