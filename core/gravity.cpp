// PLACEHOLDER: gravity (being written).
#include "core/gravity.h"
namespace pawnfall {
void 重力処理(Game&) {}
void 重力処理_横(Game&, int) {}
void 待ち時間(Game&, double) {}
}  // namespace pawnfall
