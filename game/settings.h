// Reading the settings file into the game and saving the game's options and best score.
#pragma once

#include "model/settings_file.h"
#include "model/state.h"

namespace pawnfall {

// Clears the five tiles' check marks, then checks the one with this code (none for another code):
// the background's menu marks, as the file and the menu set them.
void チェック設定(Game& g, int code);

void 読込_環境設定ファイル(Game& g);
void 書込_環境設定ファイル(Game& g);
// Where another copy of the game has just written the file with a lower best than this one's,
// writes this one's best back into it.
void 最高スコアを守る(Game& g);

}  // namespace pawnfall
