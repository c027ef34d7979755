// The real sound library, loaded from the run directory as the program loads it.
#pragma once

#include <dlfcn.h>

#include <type_traits>

#include "model/platform.h"

namespace pawnfall::test {

// Loaded once and kept: the library owns SDL's global state for the whole process.
inline const SoundLibrary& real_sound_library() {
  static const SoundLibrary lib = [] {
    SoundLibrary table;
    void* handle = ::dlopen(PAWNFALL_RUN_DIR "/libPawnfall.so", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return table;
    auto resolve = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(handle, name));
    };
    resolve(table.dsInitialize, "dsInitialize");
    resolve(table.dsCreateDSB, "dsCreateDSB");
    resolve(table.dsPlay, "dsPlay");
    resolve(table.dsPlayLooping, "dsPlayLooping");
    resolve(table.dsStop, "dsStop");
    resolve(table.dsFree, "dsFree");
    resolve(table.dsTerminate, "dsTerminate");
    return table;
  }();
  return lib;
}

}  // namespace pawnfall::test
