// The real sound library, loaded from the run directory as the program loads it.
#pragma once

#include <dlfcn.h>

#include "model/platform.h"

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

}  // namespace pawnfall::test
