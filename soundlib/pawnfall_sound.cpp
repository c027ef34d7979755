// The sound library: wave buffers on SDL2_mixer behind the seven C operations.
#include "pawnfall_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "soundlib/wave_check.h"

namespace {

// Everything the game plays lies well below 16 kHz; at 32 kHz the decoded music loop takes a
// quarter less memory than at 44.1 kHz, and waves made at this rate load without resampling.
constexpr int kFrequency = 32000;
constexpr int kOutputChannels = 2;
constexpr int kChunkFrames = 1024;
constexpr int kMusicVolume = MIX_MAX_VOLUME / 2;

// "RIFF", a little-endian size, then the declared bytes beginning with "WAVE".
constexpr std::size_t kRiffHeaderBytes = 8;
// The smallest wave: "WAVE", a 16-byte fmt chunk and an empty data chunk, each with its header.
constexpr std::uint32_t kMinimalRiffBody = 4 + (8 + 16) + 8;

struct Buffer {
  Mix_Chunk* chunk = nullptr;
  int channel = 0;
};

struct Library {
  std::mutex lock;
  std::int32_t session = 0;  // the open interface handle, 0 when closed
  std::int32_t last_session = 0;
  std::int32_t last_buffer = 0;
  std::map<std::int32_t, Buffer> buffers;
};

Library& library() {
  static Library lib;
  return lib;
}

// Handles grow for the life of the process, so a stale handle never names a newer object.
std::int32_t next_handle(std::int32_t& last) {
  last = last == INT32_MAX ? 1 : last + 1;
  return last;
}

std::uint32_t read_le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The number of bytes the image's RIFF header declares for the whole image, or 0 when the
// header makes no sense. Reads nothing beyond the header's own 8 bytes unless they allow it;
// the rest of the structure is checked within that length afterwards.
std::size_t declared_image_bytes(const void* image) {
  const auto* bytes = static_cast<const unsigned char*>(image);
  if (std::memcmp(bytes, "RIFF", 4) != 0) return 0;
  const std::uint32_t body = read_le32(bytes + 4);
  if (body < kMinimalRiffBody || body > DS_MAX_IMAGE_BYTES - kRiffHeaderBytes) return 0;
  if (std::memcmp(bytes + kRiffHeaderBytes, "WAVE", 4) != 0) return 0;
  return kRiffHeaderBytes + body;
}

// Each buffer owns one mixer channel, so a replay restarts it and never cuts another sound.
int free_channel(const Library& lib) {
  std::vector<bool> used;
  for (const auto& [handle, buffer] : lib.buffers) {
    if (static_cast<std::size_t>(buffer.channel) >= used.size()) used.resize(buffer.channel + 1);
    used[buffer.channel] = true;
  }
  int channel = 0;
  while (static_cast<std::size_t>(channel) < used.size() && used[channel]) ++channel;
  if (channel >= Mix_AllocateChannels(-1)) Mix_AllocateChannels(channel + 1);
  return channel;
}

const Buffer* find(Library& lib, std::int32_t handle) {
  auto it = lib.buffers.find(handle);
  return it == lib.buffers.end() ? nullptr : &it->second;
}

void release_all(Library& lib) {
  for (auto& [handle, buffer] : lib.buffers) {
    Mix_HaltChannel(buffer.channel);
    Mix_FreeChunk(buffer.chunk);
  }
  lib.buffers.clear();
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
  // No format changes allowed: SDL converts to the device, and the mix stays exactly 16-bit.
  if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kOutputChannels, kChunkFrames, nullptr, 0) !=
      0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
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
  // SDL reads from a window of exactly the declared length, never past it.
  SDL_RWops* source = SDL_RWFromConstMem(image, static_cast<int>(length));
  if (source == nullptr) return 0;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
  if (chunk == nullptr) return 0;
  if (chunk->alen == 0) {
    Mix_FreeChunk(chunk);
    return 0;
  }
  Mix_VolumeChunk(chunk, (flags & DS_FLAG_EFFECT) != 0 ? MIX_MAX_VOLUME : kMusicVolume);
  try {
    const int channel = free_channel(lib);
    const std::int32_t handle = next_handle(lib.last_buffer);
    lib.buffers[handle] = Buffer{chunk, channel};
    return handle;
  } catch (...) {
    Mix_FreeChunk(chunk);
    return 0;
  }
}

int32_t dsPlay(int32_t buffer) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  const Buffer* b = find(lib, buffer);
  return b != nullptr && Mix_PlayChannel(b->channel, b->chunk, 0) >= 0 ? 1 : 0;
}

int32_t dsPlayLooping(int32_t buffer) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  const Buffer* b = find(lib, buffer);
  return b != nullptr && Mix_PlayChannel(b->channel, b->chunk, -1) >= 0 ? 1 : 0;
}

int32_t dsStop(int32_t buffer) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  const Buffer* b = find(lib, buffer);
  if (b == nullptr) return 0;
  Mix_HaltChannel(b->channel);
  return 1;
}

int32_t dsFree(int32_t buffer) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  auto it = lib.buffers.find(buffer);
  if (it == lib.buffers.end()) return 0;
  Mix_HaltChannel(it->second.channel);
  Mix_FreeChunk(it->second.chunk);
  lib.buffers.erase(it);
  return 1;
}

int32_t dsTerminate(int32_t iface) {
  Library& lib = library();
  std::lock_guard guard(lib.lock);
  if (iface == 0 || iface != lib.session) return 0;
  release_all(lib);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  lib.session = 0;
  return 1;
}

}  // extern "C"
