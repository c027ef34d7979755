// Waves in other formats than the mix's own (16-bit stereo at 32 kHz) go
// through the library's converter as they play: heard through SDL's disk
// driver, they keep their length and level, end without a click, and loop
// without a seam.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "model/platform.h"
#include "tests/unit/real_sound_library.h"
#include "tests/unit/sound_waves.h"

namespace pawnfall {
namespace {

using test::Bytes;

constexpr int kEffect = 3;
constexpr double kOutputRate = 32000;

const SoundLibrary& real() { return test::real_sound_library(); }

// One format and a frame of it whose every sample sounds at `level` in 16-bit
// terms.
struct Case {
  const char* name;
  test::WaveFormat format;
  Bytes frame;
  int level;
};

Bytes repeat(const Bytes& frame, std::size_t count) {
  Bytes out;
  for (std::size_t i = 0; i < count; ++i) out.insert(out.end(), frame.begin(), frame.end());
  return out;
}

Bytes wave(const Case& c, std::size_t frames) {
  Bytes chunks;
  test::put_chunk(chunks, "fmt ", test::fmt_body(c.format));
  test::put_chunk(chunks, "data", repeat(c.frame, frames));
  return test::riff(chunks);
}

Bytes le16(std::int16_t v) {
  return {Bytes::value_type(v & 0xFF), Bytes::value_type(v >> 8 & 0xFF)};
}

Bytes float_bytes(float f) {
  Bytes b(4);
  std::memcpy(b.data(), &f, 4);
  return b;
}

const std::vector<Case> kCases{
    {"16-bit mono at 16 kHz", {1, 1, 16000, 16}, le16(8000), 8000},
    {"8-bit stereo at 32 kHz", {1, 2, 32000, 8}, {0xC0, 0xC0}, 16384},
    // Resampled 8-bit: the converter's padding of zero bytes is no silence in
    // unsigned 8-bit.
    {"8-bit mono at 11025 Hz", {1, 1, 11025, 8}, {0xC0}, 16384},
    {"float stereo at 48 kHz",
     {3, 2, 48000, 32},
     [] {
       Bytes b = float_bytes(0.25f);
       Bytes r = float_bytes(0.25f);
       b.insert(b.end(), r.begin(), r.end());
       return b;
     }(),
     8192},
    {"24-bit stereo at 44.1 kHz", {1, 2, 44100, 24}, {0, 0, 0x20, 0, 0, 0x20}, 8192},
};

class SoundConversionTest : public test::DiskOutputTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(real().complete()) << ::dlerror();
    select_disk_output();
    iface = real().dsInitialize(0);
    ASSERT_NE(iface, 0);
  }
  void TearDown() override {
    if (iface != 0) real().dsTerminate(iface);
  }

  // The left channel of everything written, from its first sound on; closes the
  // output.
  std::vector<int> sounded() {
    real().dsTerminate(iface);
    iface = 0;
    const std::vector<int> left = left_channel();
    const auto first = std::find_if(left.begin(), left.end(), [](int v) { return v != 0; });
    return {first, left.end()};
  }

  std::int32_t iface = 0;
};

TEST_F(SoundConversionTest, AWaveInAnotherFormatKeepsItsLengthAndLevelAndEndsWithoutAClick) {
  constexpr double kSeconds = 0.25;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    const auto frames = static_cast<std::size_t>(kSeconds * c.format.rate);
    const auto b = real().dsCreateDSB(iface, wave(c, frames).data(), kEffect);
    ASSERT_NE(b, 0);
    const auto start = frames_written();
    real().dsPlay(b);
    wait_for_frames(start + static_cast<std::size_t>(kSeconds * kOutputRate) + 8192);
    const auto s = sounded();
    std::size_t length = s.size();
    while (length > 0 && s[length - 1] == 0) --length;
    EXPECT_NEAR(double(length), kSeconds * kOutputRate, 64.0);
    ASSERT_GT(length, 1000u);
    // Past the converter's ringing at both edges, the level is the wave's own.
    for (std::size_t i = 500; i + 500 < length; ++i) ASSERT_NEAR(s[i], c.level, c.level / 50) << i;
    // The ringing at a step stays within a tenth or so of the step; a bad pad
    // would reach far beyond it, to the other side of zero.
    for (std::size_t i = 0; i < length; ++i)
      ASSERT_TRUE(s[i] > -c.level / 5 && s[i] < c.level * 6 / 5) << i << ": " << s[i];
  }
}

TEST_F(SoundConversionTest, AConvertedLoopRunsOnAcrossItsSeam) {
  const Case& c = kCases[0];
  constexpr std::size_t kFrames = 1600;  // 0.1 s at 16 kHz
  const auto b = real().dsCreateDSB(iface, wave(c, kFrames).data(), kEffect);
  ASSERT_NE(b, 0);
  const auto start = frames_written();
  real().dsPlayLooping(b);
  wait_for_frames(start + 6 * 3200 + 2048);
  const auto s = sounded();
  ASSERT_GT(s.size(), 5u * 3200u);
  for (std::size_t i = 500; i < 5 * 3200; ++i) ASSERT_NEAR(s[i], c.level, c.level / 50) << i;
}

}  // namespace
}  // namespace pawnfall
