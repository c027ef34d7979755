// The menu commands and the about box.
#pragma once

#include "model/state.h"

namespace pawnfall {

void 背景_Click(Game& g, int code);
void SIDOU_Click(Game& g);
void BGM_Click(Game& g);
void CANCEL_Click(Game& g);
void VER_Click(Game& g);

}  // namespace pawnfall
