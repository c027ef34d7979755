// The two ends of the window's life: start-up and shut-down.
#pragma once

#include <cstdint>

#include "model/state.h"

namespace pawnfall {

// Runs when the main window is loaded, up to (not including) placing the window: both halves
// below, one after the other.
void 起動処理(Game& g, std::int32_t 窓ハンドル);
// The state, the settings and the first deal, drawn: all that the first frame shows.
void 起動処理_画面(Game& g);
// The sound library and the five buffers; sounds asked for earlier start now.
void 起動処理_サウンド(Game& g, std::int32_t 窓ハンドル);
void 終了処理(Game& g);

}  // namespace pawnfall
