// The two ends of the window's life: start-up and shut-down.
#pragma once

#include <cstdint>

#include "model/state.h"

namespace pawnfall {

// Runs when the main window is loaded, up to (not including) placing the window.
void 起動処理(Game& g, std::int32_t 窓ハンドル);
void 終了処理(Game& g);

}  // namespace pawnfall
