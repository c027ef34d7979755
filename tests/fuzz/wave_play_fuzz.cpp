// Fuzzes the sound library itself: every image the program would hand over (one the wave check
// passes) is decoded, played, looped and mixed by the library's own code, built in here with the
// sanitizers, on SDL's disk driver writing to /dev/null.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "soundlib/pawnfall_sound.h"
#include "soundlib/wave_check.h"

namespace {
std::int32_t session = 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  ::setenv("SDL_DISKAUDIODELAY", "1", 1);
  session = dsInitialize(0);
  if (session == 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The program checks the whole file before the library sees it, since it passes no length.
  if (pawnfall::検査_波形({data, size}) != pawnfall::WaveFault::正常) return 0;
  const std::int32_t effect = dsCreateDSB(session, data, DS_FLAG_MEMORY | DS_FLAG_EFFECT);
  const std::int32_t music = dsCreateDSB(session, data, DS_FLAG_MEMORY);
  // The image may go as soon as the buffers are made; the mixer must not need it.
  dsPlay(effect);
  dsPlayLooping(music);
  // A few of the mixer's blocks, each a millisecond apart on the disk driver.
  std::this_thread::sleep_for(std::chrono::milliseconds(4));
  dsPlay(effect);  // restarts while sounding
  dsStop(music);
  if (dsFree(effect) != (effect != 0) || dsFree(music) != (music != 0)) std::abort();
  return 0;
}
