// A sound library that records every call, for tests of the game's use of sound.
#include "tests/fakes/fake_sound.h"

namespace pawnfall::test {
namespace {

FakeSoundLog log_;

std::int32_t record(const char* op, std::int32_t handle) {
  log_.calls.push_back({op, handle});
  return 0;
}

std::int32_t fake_initialize(std::int32_t window) {
  record("dsInitialize", window);
  return log_.interface_handle;
}
std::int32_t fake_create(std::int32_t iface, const void*, std::int32_t flags) {
  record("dsCreateDSB", iface);
  log_.created_flags.push_back(flags);
  return log_.next_buffer++;
}
std::int32_t fake_play(std::int32_t b) { return record("dsPlay", b); }
std::int32_t fake_play_looping(std::int32_t b) { return record("dsPlayLooping", b); }
std::int32_t fake_stop(std::int32_t b) { return record("dsStop", b); }
std::int32_t fake_free(std::int32_t b) { return record("dsFree", b); }
std::int32_t fake_terminate(std::int32_t i) { return record("dsTerminate", i); }

}  // namespace

FakeSoundLog& fake_sound_log() { return log_; }

void reset_fake_sound() { log_ = FakeSoundLog{}; }

SoundLibrary fake_sound_library() {
  SoundLibrary lib;
  lib.dsInitialize = fake_initialize;
  lib.dsCreateDSB = fake_create;
  lib.dsPlay = fake_play;
  lib.dsPlayLooping = fake_play_looping;
  lib.dsStop = fake_stop;
  lib.dsFree = fake_free;
  lib.dsTerminate = fake_terminate;
  return lib;
}

std::vector<std::int32_t> fake_sound_handles(const std::string& op) {
  std::vector<std::int32_t> out;
  for (const auto& c : log_.calls)
    if (c.op == op) out.push_back(c.handle);
  return out;
}

}  // namespace pawnfall::test
