// The player's words for what is wrong with a wave file.
#pragma once

#include <string_view>

#include "soundlib/wave_check.h"

namespace pawnfall {

// A Japanese sentence describing the fault, or the success.
std::string_view 説明_波形(WaveFault fault);

}  // namespace pawnfall
