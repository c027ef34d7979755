// PLACEHOLDER: menu commands (being written).
#include "app/commands.h"
#include "core/deal.h"
namespace pawnfall {
void チェック設定(Game&, int) {}
void 背景_Click(Game&, int) {}
void SIDOU_Click(Game&) {}
void BGM_Click(Game&) {}
void CANCEL_Click(Game& g) { 初期設定(g); }
void VER_Click(Game&) {}
}  // namespace pawnfall
