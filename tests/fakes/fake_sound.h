// A sound library that records every call, for tests of the game's use of sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/platform.h"

namespace pawnfall::test {

struct FakeSoundCall {
  std::string op;
  std::int32_t handle;
  friend bool operator==(const FakeSoundCall&, const FakeSoundCall&) = default;
};

// The calls made since the last reset, and the answers the fake gives.
struct FakeSoundLog {
  std::vector<FakeSoundCall> calls;
  std::int32_t interface_handle = 77;  // what dsInitialize answers
  std::int32_t next_buffer = 1;        // dsCreateDSB answers 1, 2, 3, ...
  std::vector<std::int32_t> created_flags;
};

FakeSoundLog& fake_sound_log();
void reset_fake_sound();
// The table of the fake's seven operations.
SoundLibrary fake_sound_library();
// The calls of one operation, in order.
std::vector<std::int32_t> fake_sound_handles(const std::string& op);

}  // namespace pawnfall::test
