// The browser's wave decoder: every sample format the wave check lets through becomes the same
// floating-point samples, channel after channel.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/unit/sound_waves.h"
#include "web/wave_decode.h"

namespace pawnfall {
namespace {

using test::Bytes;

// A stereo wave of two frames, (-1/2, 1/4) and (0, the most negative value), in one format;
// `sample` writes a value in [-1, 1) in that format.
template <class Put>
Bytes two_frames(unsigned encoding, unsigned bits, Put sample) {
  test::WaveFormat f;
  f.encoding = encoding;
  f.bits = bits;
  Bytes data;
  for (double v : {-0.5, 0.25, 0.0, -1.0}) sample(data, v);
  Bytes chunks;
  test::put_chunk(chunks, "fmt ", test::fmt_body(f));
  test::put_chunk(chunks, "data", data);
  return test::riff(chunks);
}

TEST(WaveDecode, EveryFormatGivesTheSameSamplesChannelAfterChannel) {
  auto integer = [](unsigned bytes) {
    return [bytes](Bytes& out, double v) {
      auto n =
          static_cast<std::int64_t>(v * static_cast<double>(std::int64_t{1} << (bytes * 8 - 1)));
      if (bytes == 1) n += 128;  // 8-bit samples are unsigned
      for (unsigned i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(n >> (8 * i)));
    };
  };
  auto floating = [](Bytes& out, double v) {
    const float f = static_cast<float>(v);
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    test::put32(out, u);
  };
  const std::vector<Bytes> waves = {two_frames(1, 8, integer(1)), two_frames(1, 16, integer(2)),
                                    two_frames(1, 24, integer(3)), two_frames(1, 32, integer(4)),
                                    two_frames(3, 32, floating)};
  for (const Bytes& wave : waves) {
    const auto decoded = decode_wave(wave);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->channels, 2);
    EXPECT_EQ(decoded->frames, 2u);
    EXPECT_EQ(decoded->samples, (std::vector<float>{-0.5f, 0.0f, 0.25f, -1.0f}));
  }
  // Anything the wave check refuses is refused here too.
  EXPECT_FALSE(decode_wave(Bytes(waves[1].begin(), waves[1].end() - 1)));
}

}  // namespace
}  // namespace pawnfall
