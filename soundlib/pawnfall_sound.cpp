// The sound library: wave buffers mixed by our own audio callback on SDL2 alone.
//
// SDL parses each wave and owns the output; the mixing is a few lines here. SDL2_mixer would do
// the same for five buffers but links a dozen codec and synthesiser libraries that every start
// of the game would load for nothing.
#include "pawnfall_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "soundlib/wave_check.h"

namespace {

// Everything the game plays lies well below 16 kHz. The game's effects are made at this rate in
// this format and mix without any conversion; its music, stored at half the rate, is converted
// as it plays.
constexpr int kFrequency = 32000;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kOutputChannels = 2;
constexpr int kOutputFrameBytes = kOutputChannels * 2;
constexpr int kChunkFrames = 1024;
constexpr int kEffectVolume = SDL_MIX_MAXVOLUME;
constexpr int kMusicVolume = SDL_MIX_MAXVOLUME / 2;
// How much of a wave in another format is handed to its converter at a time, in frames.
constexpr Uint32 kConvertFrames = 1024;
// The widest frame a checked wave can have: 8 channels of 32 bits.
constexpr Uint32 kWidestFrameBytes = 8 * 4;
// Fed to a converter after a wave's end, to push out the part it holds back; zero bytes are
// silence in every format a converter gets (unsigned 8-bit waves are widened first).
Uint8 silence[kConvertFrames * kWidestFrameBytes] = {};

// "RIFF", a little-endian size, then the declared bytes beginning with "WAVE".
constexpr std::size_t kRiffHeaderBytes = 8;
// The smallest wave: "WAVE", a 16-byte fmt chunk and an empty data chunk, each with its header.
constexpr std::uint32_t kMinimalRiffBody = 4 + (8 + 16) + 8;

// One wave and its one voice: a replay restarts the voice, and different buffers sound together.
// The samples stay in the file's own format (unsigned 8-bit aside), and a wave in another format
// than the output's goes through its converter as it plays: a mono or low-rate wave takes the
// memory of its file, not of its converted sound.
struct Buffer {
  Uint8* samples = nullptr;  // as SDL decoded them from the image
  Uint32 length = 0;         // bytes, whole frames
  Uint32 frame_bytes = 0;
  SDL_AudioStream* converter = nullptr;  // none when the wave is already in the output format
  Uint64 converted_length = 0;           // output bytes the wave lasts, when converted
  int volume = kEffectVolume;

  // The voice, touched only with the audio device locked.
  bool playing = false;
  bool looping = false;
  Uint32 position = 0;  // bytes of samples mixed or handed to the converter
  Uint64 unheard = 0;   // output bytes a single play through the converter has still to sound

  Buffer() = default;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer() {
    SDL_FreeAudioStream(converter);
    SDL_FreeWAV(samples);
  }

  void start(bool loop) {
    playing = true;
    looping = loop;
    position = 0;
    unheard = converted_length;
    if (converter != nullptr) SDL_AudioStreamClear(converter);
  }

  // Adds the next bytes of the voice to the output block; `scratch` receives converted samples.
  void mix_into(Uint8* out, int bytes, std::vector<Uint8>& scratch) {
    while (playing && bytes > 0) {
      const int done =
          converter == nullptr ? mix_direct(out, bytes) : mix_converted(out, bytes, scratch);
      out += done;
      bytes -= done;
    }
  }

 private:
  int mix_direct(Uint8* out, int bytes) {
    const int n = static_cast<int>(std::min<Uint32>(length - position, static_cast<Uint32>(bytes)));
    SDL_MixAudioFormat(out, samples + position, kFormat, static_cast<Uint32>(n), volume);
    position += static_cast<Uint32>(n);
    if (position == length) next_round();
    return n;
  }

  // Mixes what the converter has ready; when it has nothing, feeds it and mixes nothing yet.
  int mix_converted(Uint8* out, int bytes, std::vector<Uint8>& scratch) {
    Uint64 wanted = std::min<Uint64>(static_cast<Uint64>(bytes), scratch.size());
    if (!looping) wanted = std::min(wanted, unheard);
    const int ready =
        wanted == 0 ? 0 : SDL_AudioStreamGet(converter, scratch.data(), static_cast<int>(wanted));
    if (ready > 0) {
      SDL_MixAudioFormat(out, scratch.data(), kFormat, static_cast<Uint32>(ready), volume);
      if (!looping && (unheard -= static_cast<Uint64>(ready)) == 0) playing = false;
      return ready;
    }
    if (ready < 0 || wanted == 0 || !feed()) playing = false;
    return 0;
  }

  // Hands the converter its next piece: the wave's, its start again after its end for a loop,
  // so the converter's filter runs across the seam, or silence after the end of a single play,
  // which pushes out what the converter still holds back of it. (The converter's own flush
  // dropped a whole block of some waves' ends.)
  bool feed() {
    if (position == length && looping) position = 0;
    if (position == length)
      return SDL_AudioStreamPut(converter, silence,
                                static_cast<int>(kConvertFrames * frame_bytes)) == 0;
    const Uint32 n = std::min(length - position, kConvertFrames * frame_bytes);
    if (SDL_AudioStreamPut(converter, samples + position, static_cast<int>(n)) != 0) return false;
    position += n;
    return true;
  }

  void next_round() {
    if (looping)
      position = 0;
    else
      playing = false;
  }
};

struct Library {
  std::mutex lock;           // orders the callers; the device lock guards against the callback
  std::int32_t session = 0;  // the open interface handle, 0 when closed
  std::int32_t last_session = 0;
  std::int32_t last_buffer = 0;
  SDL_AudioDeviceID device = 0;
  std::vector<Uint8> scratch;  // one output block, for converted samples
  std::map<std::int32_t, std::unique_ptr<Buffer>> buffers;
};

Library& library() {
  static Library lib;
  return lib;
}

// Runs on SDL's audio thread with the device locked.
void SDLCALL mix(void* userdata, Uint8* out, int bytes) {
  auto& lib = *static_cast<Library*>(userdata);
  std::memset(out, 0, static_cast<std::size_t>(bytes));  // silence in signed 16-bit
  for (auto& [handle, buffer] : lib.buffers) buffer->mix_into(out, bytes, lib.scratch);
}

// Holds the audio device's lock, so the callback sees each change whole.
class DeviceLock {
 public:
  explicit DeviceLock(SDL_AudioDeviceID device) : device_(device) { SDL_LockAudioDevice(device_); }
  ~DeviceLock() { SDL_UnlockAudioDevice(device_); }
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;

 private:
  SDL_AudioDeviceID device_;
};

// Handles grow for the life of the process, so a stale handle never names a newer object.
std::int32_t next_handle(std::int32_t& last) {
  last = last == INT32_MAX ? 1 : last + 1;
  return last;
}

// The number of bytes the image's RIFF header declares for the whole image, or 0 when the
// header makes no sense. Reads nothing beyond the header's own 8 bytes unless they allow it;
// the rest of the structure is checked within that length afterwards.
std::size_t declared_image_bytes(const void* image) {
  const auto* bytes = static_cast<const unsigned char*>(image);
  if (std::memcmp(bytes, "RIFF", 4) != 0) return 0;
  const std::uint32_t body = pawnfall::le32(bytes + 4);
  if (body < kMinimalRiffBody || body > DS_MAX_IMAGE_BYTES - kRiffHeaderBytes) return 0;
  if (std::memcmp(bytes + kRiffHeaderBytes, "WAVE", 4) != 0) return 0;
  return kRiffHeaderBytes + body;
}

// Converts unsigned 8-bit samples in place into the output's signed 16-bit format.
bool widen_to_s16(Buffer& buffer, SDL_AudioSpec& form) {
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, form.format, form.channels, form.freq, kFormat, form.channels,
                        form.freq) < 0)
    return false;
  const std::size_t room = std::size_t{buffer.length} * static_cast<std::size_t>(cvt.len_mult);
  auto* grown = static_cast<Uint8*>(SDL_realloc(buffer.samples, room));
  if (grown == nullptr) return false;
  buffer.samples = grown;
  cvt.buf = grown;
  cvt.len = static_cast<int>(buffer.length);
  if (SDL_ConvertAudio(&cvt) != 0) return false;
  buffer.length = static_cast<Uint32>(cvt.len_cvt);
  form.format = kFormat;
  return true;
}

// Decodes a checked image of the given length into a buffer without a voice, or nullptr.
std::unique_ptr<Buffer> decode(const void* image, std::size_t length) {
  // SDL reads from a window of exactly the declared length, never past it.
  SDL_RWops* source = SDL_RWFromConstMem(image, static_cast<int>(length));
  if (source == nullptr) return nullptr;
  auto buffer = std::make_unique<Buffer>();
  SDL_AudioSpec form;
  if (SDL_LoadWAV_RW(source, 1, &form, &buffer->samples, &buffer->length) == nullptr)
    return nullptr;
  // The converter pads a wave's end with zero bytes, which in unsigned 8-bit are the loudest
  // negative value, not silence: such a wave is widened to 16 bits here, once.
  if (form.format == AUDIO_U8 && !widen_to_s16(*buffer, form)) return nullptr;
  buffer->frame_bytes = SDL_AUDIO_BITSIZE(form.format) / 8 * form.channels;
  if (buffer->frame_bytes == 0 || buffer->frame_bytes > kWidestFrameBytes ||
      buffer->length < buffer->frame_bytes)
    return nullptr;
  buffer->length -= buffer->length % buffer->frame_bytes;
  if (form.format != kFormat || form.channels != kOutputChannels || form.freq != kFrequency) {
    buffer->converter = SDL_NewAudioStream(form.format, form.channels, form.freq, kFormat,
                                           kOutputChannels, kFrequency);
    if (buffer->converter == nullptr) return nullptr;
    const Uint64 frames = buffer->length / buffer->frame_bytes;
    const auto rate = static_cast<Uint64>(form.freq);
    buffer->converted_length = (frames * kFrequency + rate - 1) / rate * kOutputFrameBytes;
  }
  return buffer;
}

// Changes a buffer's voice with both locks held; answers 1, or 0 for a handle without a buffer.
template <typename Change>
std::int32_t with_voice(std::int32_t handle, Change change) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  auto it = lib.buffers.find(handle);
  if (it == lib.buffers.end()) return 0;
  DeviceLock device(lib.device);
  change(*it->second);
  return 1;
}

}  // namespace

extern "C" {

int32_t dsInitialize(int32_t) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  if (lib.session != 0) return lib.session;
  // The host program owns Ctrl-C and friends; SDL must not swallow them.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec want{};
  want.freq = kFrequency;
  want.format = kFormat;
  want.channels = kOutputChannels;
  want.samples = kChunkFrames;
  want.callback = mix;
  want.userdata = &lib;
  // No changes allowed: SDL converts to the device, and the mix stays exactly 16-bit stereo.
  SDL_AudioSpec have{};
  try {
    lib.scratch.assign(std::size_t{kChunkFrames} * kOutputFrameBytes, 0);
  } catch (...) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  lib.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (lib.device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  SDL_PauseAudioDevice(lib.device, 0);
  lib.session = next_handle(lib.last_session);
  return lib.session;
}

int32_t dsCreateDSB(int32_t iface, const void* image, int32_t flags) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  if (iface == 0 || iface != lib.session || image == nullptr) return 0;
  if ((flags & DS_FLAG_MEMORY) == 0) return 0;
  const std::size_t length = declared_image_bytes(image);
  if (length == 0) return 0;
  const auto* bytes = static_cast<const unsigned char*>(image);
  if (pawnfall::検査_波形({bytes, length}) != pawnfall::WaveFault::正常) return 0;
  try {
    auto buffer = decode(image, length);
    if (buffer == nullptr) return 0;
    buffer->volume = (flags & DS_FLAG_EFFECT) != 0 ? kEffectVolume : kMusicVolume;
    const std::int32_t handle = next_handle(lib.last_buffer);
    DeviceLock device(lib.device);
    lib.buffers.emplace(handle, std::move(buffer));
    return handle;
  } catch (...) {
    return 0;
  }
}

int32_t dsPlay(int32_t buffer) {
  return with_voice(buffer, [](Buffer& b) { b.start(false); });
}

int32_t dsPlayLooping(int32_t buffer) {
  return with_voice(buffer, [](Buffer& b) { b.start(true); });
}

int32_t dsStop(int32_t buffer) {
  return with_voice(buffer, [](Buffer& b) { b.playing = false; });
}

int32_t dsFree(int32_t buffer) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  auto it = lib.buffers.find(buffer);
  if (it == lib.buffers.end()) return 0;
  std::unique_ptr<Buffer> gone;
  {
    DeviceLock device(lib.device);
    gone = std::move(it->second);
    lib.buffers.erase(it);
  }
  return 1;
}

int32_t dsTerminate(int32_t iface) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  if (iface == 0 || iface != lib.session) return 0;
  // Closing the device ends the callback first; then nothing else touches the buffers.
  SDL_CloseAudioDevice(lib.device);
  lib.device = 0;
  lib.buffers.clear();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  lib.session = 0;
  return 1;
}

}  // extern "C"
