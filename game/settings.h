// Reading the settings file into the game and saving the game's options and best score.
#pragma once

#include "model/settings_file.h"
#include "model/state.h"

namespace pawnfall {

void 読込_環境設定ファイル(Game& g);
void 書込_環境設定ファイル(Game& g);

}  // namespace pawnfall
