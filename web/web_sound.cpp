// The sound library's seven operations over the browser's Web Audio, with the same contract as
// the desktop library: handles never 0 nor reused, stale or zero handles do nothing, an effect
// restarts on play, music loops without a gap at half the effects' level.
#include <algorithm>
#include <cstring>
#include <set>

#include "soundlib/pawnfall_sound.h"
#include "soundlib/wave_check.h"
#include "web/bridge.h"
#include "web/wave_decode.h"

namespace {

std::int32_t next_handle = 1;
std::int32_t open_interface = 0;
std::set<std::int32_t> buffers;

bool known(std::int32_t buffer) { return buffer != 0 && buffers.contains(buffer); }

}  // namespace

extern "C" {

int32_t dsInitialize(int32_t) {
  if (open_interface != 0) return open_interface;
  if (js_audio_open() == 0) return 0;
  return open_interface = next_handle++;
}

int32_t dsCreateDSB(int32_t iface, const void* image, int32_t flags) {
  if (iface == 0 || iface != open_interface || image == nullptr || !(flags & DS_FLAG_MEMORY))
    return 0;
  // No length comes with the image: read the RIFF header's own, as the desktop library does.
  const auto* p = static_cast<const unsigned char*>(image);
  if (std::memcmp(p, "RIFF", 4) != 0) return 0;
  const std::size_t declared = 8 + std::size_t{pawnfall::le32(p + 4)};
  if (declared > DS_MAX_IMAGE_BYTES) return 0;
  const auto wave = pawnfall::decode_wave({p, declared});
  if (!wave) return 0;
  const std::int32_t handle = next_handle++;
  // The browser may refuse a rate or a length it cannot hold.
  if (js_audio_buffer(handle, wave->channels, static_cast<int>(wave->frames),
                      static_cast<int>(wave->rate), wave->samples.data(),
                      (flags & DS_FLAG_EFFECT) != 0) == 0)
    return 0;
  buffers.insert(handle);
  return handle;
}

int32_t dsPlay(int32_t buffer) {
  if (!known(buffer)) return 0;
  js_audio_play(buffer, 0);
  return 1;
}

int32_t dsPlayLooping(int32_t buffer) {
  if (!known(buffer)) return 0;
  js_audio_play(buffer, 1);
  return 1;
}

int32_t dsStop(int32_t buffer) {
  if (!known(buffer)) return 0;
  js_audio_stop(buffer);
  return 1;
}

int32_t dsFree(int32_t buffer) {
  if (!known(buffer)) return 0;
  js_audio_free(buffer);
  buffers.erase(buffer);
  return 1;
}

int32_t dsTerminate(int32_t iface) {
  if (iface == 0 || iface != open_interface) return 0;
  for (const std::int32_t b : buffers) js_audio_free(b);
  buffers.clear();
  js_audio_close();
  open_interface = 0;
  return 1;
}

}  // extern "C"
