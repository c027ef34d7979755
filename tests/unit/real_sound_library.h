// The real sound library, loaded from the run directory as the program loads it.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>
#include <vector>

#include "model/platform.h"
#include "tests/unit/sound_waves.h"

namespace pawnfall::test {

// Loaded once and kept: the library owns SDL's global state for the whole process.
inline const SoundLibrary& real_sound_library() {
  static const SoundLibrary lib = [] {
    void* handle = ::dlopen(PAWNFALL_RUN_DIR "/libPawnfall.so", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return SoundLibrary{};
    return SoundLibrary::resolved([handle](const char* name) { return ::dlsym(handle, name); });
  }();
  return lib;
}

// Tests that hear the real library through SDL's disk driver: its 16-bit stereo output written
// to a file in a scratch directory.
class DiskOutputTest : public ::testing::Test {
 protected:
  static constexpr std::size_t kFrameBytes = 4;

  // Sends the output opened next to the file. A short pause per mixed block keeps the file from
  // growing without bound while still running well ahead of real time.
  void select_disk_output() const {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", "2", 1);
  }

  std::size_t frames_written() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(output, error);
    return error ? 0 : static_cast<std::size_t>(size) / kFrameBytes;
  }

  // Waits until the mixer has written at least this many frames. The limit is far beyond any
  // real need; it only keeps a broken library from hanging the suite.
  void wait_for_frames(std::size_t count) const {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (frames_written() < count) {
      ASSERT_LT(std::chrono::steady_clock::now(), give_up) << "the mixer stopped writing";
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // The left channel of everything written, once the output is closed.
  std::vector<int> left_channel() const {
    std::ifstream in(output, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<int> left;
    for (std::size_t i = 0; i + kFrameBytes <= bytes.size(); i += kFrameBytes)
      left.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
    return left;
  }

  ScratchDirectory dir;
  std::filesystem::path output = dir.path() / "mix.raw";
};

}  // namespace pawnfall::test
