// The wave check: every image the library could misread is named, and sound images pass.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sound/sound.h"
#include "sound/wave_text.h"
#include "soundlib/wave_check.h"
#include "tests/unit/sound_waves.h"

namespace pawnfall {
namespace {

using test::Bytes;

WaveFault check(const Bytes& b) { return 検査_波形(b); }

Bytes with_fmt(const test::WaveFormat& f, const Bytes& data) {
  Bytes chunks;
  test::put_chunk(chunks, "fmt ", test::fmt_body(f));
  test::put_chunk(chunks, "data", data);
  return test::riff(chunks);
}

const Bytes kSound = test::stereo_wave(test::ramp_frames(100, 10));

TEST(WaveCheck, AWellFormedWaveIsAcceptedAndSaysSo) {
  EXPECT_EQ(check(kSound), WaveFault::正常);
  EXPECT_EQ(説明_波形(WaveFault::正常), "正常なWAVEファイルです。");
}

TEST(WaveCheck, PlayableEncodingsPass) {
  for (unsigned bits : {8u, 16u, 24u, 32u})
    EXPECT_EQ(check(with_fmt({1, 1, 22050, bits}, Bytes(bits / 8 * 10, 1))), WaveFault::正常)
        << bits;
  EXPECT_EQ(check(with_fmt({3, 2, 48000, 32}, Bytes(80, 0))), WaveFault::正常);
}

TEST(WaveCheck, ExtensibleFormatIsJudgedByItsSubFormat) {
  auto extensible = [](unsigned sub) {
    Bytes fmt = test::fmt_body({0xFFFE, 2, 44100, 16});
    test::put16(fmt, 22);  // extension size
    test::put16(fmt, 16);  // valid bits
    test::put32(fmt, 3);   // speaker mask
    test::put16(fmt, sub);
    for (unsigned char c :
         {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
      fmt.push_back(c);
    Bytes chunks;
    test::put_chunk(chunks, "fmt ", fmt);
    test::put_chunk(chunks, "data", Bytes(40, 0));
    return test::riff(chunks);
  };
  EXPECT_EQ(check(extensible(1)), WaveFault::正常);
  EXPECT_EQ(check(extensible(2)), WaveFault::形式が未対応);
}

TEST(WaveCheck, ImagesTooShortOrWithoutTagsAreNotWaves) {
  EXPECT_EQ(check({}), WaveFault::短すぎる);
  EXPECT_EQ(check(Bytes(kSound.begin(), kSound.begin() + 11)), WaveFault::短すぎる);
  Bytes riff = kSound;
  riff[0] = 'X';
  EXPECT_EQ(check(riff), WaveFault::RIFFではない);
  Bytes wave = kSound;
  wave[8] = 'A';
  EXPECT_EQ(check(wave), WaveFault::RIFFではない);
  Bytes tiny_body = kSound;
  tiny_body[4] = 2, tiny_body[5] = tiny_body[6] = tiny_body[7] = 0;
  EXPECT_EQ(check(tiny_body), WaveFault::RIFFではない);
}

TEST(WaveCheck, AFileShorterThanItsHeaderDeclaresIsTruncated) {
  for (std::size_t cut : {12u, 20u, 43u, 44u, 100u})
    EXPECT_EQ(check(Bytes(kSound.begin(), kSound.end() - static_cast<long>(cut))),
              WaveFault::途中で切れている)
        << cut;
}

TEST(WaveCheck, AChunkReachingPastTheDeclaredBodyIsRejected) {
  Bytes data_too_long = kSound;
  data_too_long[40] = 0xFF;  // data size low byte
  data_too_long[41] = 0xFF;
  EXPECT_EQ(check(data_too_long), WaveFault::チャンクがはみ出す);
  Bytes fmt_too_long = kSound;
  fmt_too_long[17] = 0x02;  // fmt size 528, more than the whole body
  EXPECT_EQ(check(fmt_too_long), WaveFault::チャンクがはみ出す);
  // The RIFF size cuts the data chunk short although the file goes on: the library would read
  // only the declared bytes, so the data must lie within them.
  Bytes riff_short = kSound;
  riff_short[4] = static_cast<unsigned char>(riff_short[4] - 40);
  EXPECT_EQ(check(riff_short), WaveFault::チャンクがはみ出す);
}

TEST(WaveCheck, FormatAndDataChunksMustBothBeThereInThatOrder) {
  Bytes only_data, only_fmt, data_first;
  test::put_chunk(only_data, "data", Bytes(4, 0));
  test::put_chunk(only_fmt, "fmt ", test::fmt_body({}));
  test::put_chunk(data_first, "data", Bytes(4, 0));
  test::put_chunk(data_first, "fmt ", test::fmt_body({}));
  EXPECT_EQ(check(test::riff(only_data)), WaveFault::fmtがない);
  EXPECT_EQ(check(test::riff(data_first)), WaveFault::fmtがない);
  EXPECT_EQ(check(test::riff(only_fmt)), WaveFault::dataがない);
  EXPECT_EQ(check(test::riff({})), WaveFault::fmtがない);
}

TEST(WaveCheck, OtherChunksAreSkippedIncludingTheirPadByte) {
  Bytes chunks;
  test::put_chunk(chunks, "LIST", Bytes(7, 'x'));  // odd: followed by a pad byte
  test::put_chunk(chunks, "fmt ", test::fmt_body({}));
  test::put_chunk(chunks, "fact", Bytes(4, 0));
  test::put_chunk(chunks, "data", Bytes(8, 0));
  EXPECT_EQ(check(test::riff(chunks)), WaveFault::正常);
}

TEST(WaveCheck, FormatsTheMixerCannotPlayOrThatMakeNoSenseAreNamed) {
  Bytes short_fmt;
  test::put_chunk(short_fmt, "fmt ", Bytes(14, 1));
  test::put_chunk(short_fmt, "data", Bytes(4, 0));
  EXPECT_EQ(check(test::riff(short_fmt)), WaveFault::fmtが短い);

  EXPECT_EQ(check(with_fmt({2, 1, 22050, 4}, Bytes(64, 0))), WaveFault::形式が未対応);  // ADPCM
  EXPECT_EQ(check(with_fmt({1, 1, 22050, 12}, Bytes(64, 0))), WaveFault::形式が未対応);
  EXPECT_EQ(check(with_fmt({3, 1, 22050, 64}, Bytes(64, 0))), WaveFault::形式が未対応);
  EXPECT_EQ(check(with_fmt({1, 0, 22050, 16}, Bytes(64, 0))), WaveFault::形式が不正);
  EXPECT_EQ(check(with_fmt({1, 9, 22050, 16}, Bytes(72, 0))), WaveFault::形式が不正);
  EXPECT_EQ(check(with_fmt({1, 1, 0, 16}, Bytes(64, 0))), WaveFault::形式が不正);
  EXPECT_EQ(check(with_fmt({1, 1, 1000, 16}, Bytes(64, 0))), WaveFault::形式が不正);
  EXPECT_EQ(check(with_fmt({1, 1, 400000, 16}, Bytes(64, 0))), WaveFault::形式が不正);

  Bytes bad_block = with_fmt({1, 2, 44100, 16}, Bytes(64, 0));
  bad_block[32] = 3;  // block align 3 for 2 × 16 bits
  EXPECT_EQ(check(bad_block), WaveFault::形式が不正);
}

TEST(WaveCheck, DataMustHoldWholeFramesAndAtLeastOne) {
  EXPECT_EQ(check(with_fmt({}, {})), WaveFault::dataが空);
  EXPECT_EQ(check(with_fmt({}, Bytes(6, 0))), WaveFault::標本が半端);
}

TEST(WaveCheck, SizeLimitsKeepDecodingWithinReason) {
  // 8-bit mono at the lowest rate: the most seconds per byte.
  EXPECT_EQ(check(with_fmt({1, 1, 8000, 8}, Bytes(8000 * 300, 0))), WaveFault::長すぎる);
  EXPECT_EQ(check(with_fmt({1, 1, 8000, 8}, Bytes(8000 * 299, 0))), WaveFault::正常);
  Bytes huge = with_fmt({}, Bytes(波形最大バイト数, 0));
  EXPECT_EQ(check(huge), WaveFault::大きすぎる);
}

TEST(WaveCheck, RandomBytesNeverPassAndNeverReadOutside) {
  // A fixed generator: the same bytes in every run; the sanitizer build watches the reads.
  std::uint32_t x = 12345;
  for (int n = 0; n < 2000; ++n) {
    Bytes b(static_cast<std::size_t>(n % 97));
    for (auto& c : b) c = static_cast<unsigned char>((x = x * 1664525u + 1013904223u) >> 24);
    EXPECT_NE(check(b), WaveFault::正常);
  }
}

TEST(WaveCheck, TheGeneratedGameSoundsPassAndAre16BitPcm) {
  for (const auto& [id, name, kind] : 音源表) {
    std::ifstream in(std::filesystem::path(PAWNFALL_RUN_DIR) / name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    const Bytes b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(check(b), WaveFault::正常) << name;
    ASSERT_GE(b.size(), 36u);
    EXPECT_EQ(b[20] | b[21] << 8, 1) << name;   // integer PCM
    EXPECT_EQ(b[34] | b[35] << 8, 16) << name;  // 16 bits
  }
}

}  // namespace
}  // namespace pawnfall
