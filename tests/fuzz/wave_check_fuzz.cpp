// Fuzzes the wave check: no image, however malformed, may lead it outside the bytes it is given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sound/wave_text.h"
#include "soundlib/wave_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const pawnfall::WaveFault fault = pawnfall::検査_波形({data, size});
  // Every answer, success included, has a description to show the player.
  if (pawnfall::説明_波形(fault).empty()) std::abort();
  // An accepted image always lies wholly within what was read: the library trusts its header.
  if (fault == pawnfall::WaveFault::正常) {
    const std::size_t declared = 8 + (std::size_t{data[4]} | std::size_t{data[5]} << 8 |
                                      std::size_t{data[6]} << 16 | std::size_t{data[7]} << 24);
    if (declared > size) std::abort();
  }
  return 0;
}
