// The sound wrappers: opening the library, loading waves safely, and the start-up/shut-down order.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/lifecycle.h"
#include "sound/sound.h"
#include "sound/wave_text.h"
#include "soundlib/wave_check.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"
#include "tests/unit/sound_waves.h"

namespace pawnfall {
namespace {

using test::Bytes;
using test::fake_sound_handles;
using test::fake_sound_log;
using test::FakeSoundCall;

constexpr std::string_view kInitFailure = "Direct Soundインターフェースが作成できません。";
const Bytes kGoodWave = test::stereo_wave(test::ramp_frames(64, 100));

class SoundWrappers : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset_fake_sound();
    platform.library = test::fake_sound_library();
  }

  void expect_one_warning(std::string_view text) {
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, text);
    EXPECT_EQ(platform.messages[0].caption, "Pawnfall.dll");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
  }

  test::ScratchDirectory dir;
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

TEST_F(SoundWrappers, OpeningStoresTheInterfaceHandleWithoutAMessage) {
  sound.初期化_サウンド(5);
  EXPECT_EQ(sound.interface_handle(), 77);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(fake_sound_log().calls, (std::vector<FakeSoundCall>{{"dsInitialize", 5}}));
}

TEST_F(SoundWrappers, AMissingLibraryGivesTheOneWarningAndNothingElseHappens) {
  platform.library.reset();
  test::write_file("選択.wav", kGoodWave);
  sound.初期化_サウンド(5);
  expect_one_warning(kInitFailure);
  EXPECT_EQ(sound.interface_handle(), 0);
  EXPECT_EQ(sound.読込_サウンド("選択.wav", 音の種類::効果音), 0);
  sound.adopt(音源::音_選択, 1);
  sound.play(音源::音_選択);
  sound.loop(音源::音_選択);
  sound.stop(音源::音_選択);
  sound.解放_全音源();
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(SoundWrappers, ALibraryLackingAnOperationCountsAsMissingAndIsNeverCalled) {
  platform.library->dsStop = nullptr;
  test::write_file("選択.wav", kGoodWave);
  sound.初期化_サウンド(5);
  expect_one_warning(kInitFailure);
  EXPECT_EQ(sound.読込_サウンド("選択.wav", 音の種類::効果音), 0);
  sound.adopt(音源::音_選択, 1);
  sound.play(音源::音_選択);
  sound.解放_全音源();
  EXPECT_TRUE(fake_sound_log().calls.empty());
}

TEST_F(SoundWrappers, AnInterfaceOfZeroWarnsOnceAndLeavesTheLibraryAlone) {
  fake_sound_log().interface_handle = 0;
  test::write_file("選択.wav", kGoodWave);
  sound.初期化_サウンド(5);
  expect_one_warning(kInitFailure);
  EXPECT_EQ(sound.読込_サウンド("選択.wav", 音の種類::効果音), 0);
  sound.終了_サウンド();
  EXPECT_EQ(fake_sound_log().calls, (std::vector<FakeSoundCall>{{"dsInitialize", 5}}));
}

TEST_F(SoundWrappers, AMissingWaveFileGivesZeroWithoutMessageOrLibraryCall) {
  sound.初期化_サウンド(0);
  EXPECT_EQ(sound.読込_サウンド("禁止.wav", 音の種類::効果音), 0);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(fake_sound_handles("dsCreateDSB").empty());
}

TEST_F(SoundWrappers, AGoodWaveBecomesABufferWithTheGivenFlags) {
  sound.初期化_サウンド(0);
  test::write_file("BGM.wav", kGoodWave);
  EXPECT_EQ(sound.読込_サウンド("BGM.wav", 音の種類::音楽), 1);
  EXPECT_EQ(fake_sound_handles("dsCreateDSB"), std::vector<std::int32_t>{77});
  EXPECT_EQ(fake_sound_log().created_flags, std::vector<std::int32_t>{1});
  EXPECT_TRUE(platform.messages.empty());
}

// Each of these would send the library past the end of the image or give it nonsense.
struct BadWave {
  const char* what;
  Bytes image;
  WaveFault fault;
};

std::vector<BadWave> bad_waves() {
  Bytes data_past_end = kGoodWave;
  data_past_end[41] = 0x7F;
  Bytes empty_data;
  test::put_chunk(empty_data, "fmt ", test::fmt_body({}));
  test::put_chunk(empty_data, "data", {});
  Bytes adpcm;
  test::put_chunk(adpcm, "fmt ", test::fmt_body({2, 1, 22050, 4}));
  test::put_chunk(adpcm, "data", Bytes(64, 0));
  Bytes noise(300);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<unsigned char>(i * 37 + 11);
  return {
      {"empty file", {}, WaveFault::短すぎる},
      {"truncated", Bytes(kGoodWave.begin(), kGoodWave.end() - 30), WaveFault::途中で切れている},
      {"chunk larger than the file", data_past_end, WaveFault::チャンクがはみ出す},
      {"zero-length data", test::riff(empty_data), WaveFault::dataが空},
      {"unsupported format", test::riff(adpcm), WaveFault::形式が未対応},
      {"random bytes", noise, WaveFault::RIFFではない},
  };
}

TEST_F(SoundWrappers, AMalformedWaveGivesZeroAndAWarningNamingTheFault) {
  sound.初期化_サウンド(0);
  for (const auto& bad : bad_waves()) {
    platform.messages.clear();
    test::write_file("駒打音.wav", bad.image);
    EXPECT_EQ(sound.読込_サウンド("駒打音.wav", 音の種類::効果音), 0) << bad.what;
    ASSERT_EQ(platform.messages.size(), 1u) << bad.what;
    EXPECT_EQ(platform.messages[0].text, "駒打音.wav: " + std::string(説明_波形(bad.fault)))
        << bad.what;
    EXPECT_EQ(platform.messages[0].caption, "Pawnfall.dll");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
  }
  EXPECT_TRUE(fake_sound_handles("dsCreateDSB").empty());
}

TEST_F(SoundWrappers, SomethingThatIsNotAPlainFileIsReportedNotRead) {
  sound.初期化_サウンド(0);
  std::filesystem::create_directory("その他.wav");
  EXPECT_EQ(sound.読込_サウンド("その他.wav", 音の種類::効果音), 0);
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(fake_sound_handles("dsCreateDSB").empty());
}

// A source other than a folder (the page, in a browser) is taken at its word the same way.
TEST_F(SoundWrappers, AWaveSourcesAnswerIsTakenAsAFilesWouldBe) {
  const WaveFile refused{WaveFile::Status::Refused, "ファイルを読み込めません。", {}};
  const WaveFile bad{WaveFile::Status::Read, {}, Bytes(kGoodWave.begin(), kGoodWave.end() - 30)};
  const WaveFile good{WaveFile::Status::Read, {}, kGoodWave};
  const std::vector<std::pair<WaveFile, std::string>> rows = {
      {WaveFile{}, ""},
      {refused, "選択.wav: ファイルを読み込めません。"},
      {bad, "選択.wav: " + std::string(説明_波形(WaveFault::途中で切れている))},
      {good, ""}};
  for (const auto& [file, warning] : rows) {
    Sound given{platform, [&file](std::string_view) { return file; }};
    given.初期化_サウンド(0);
    platform.messages.clear();
    EXPECT_EQ(given.読込_サウンド("選択.wav", 音の種類::効果音) != 0, &file == &rows.back().first);
    EXPECT_EQ(platform.messages.empty() ? "" : platform.messages[0].text, warning);
  }
}

TEST_F(SoundWrappers, ALibraryThatRefusesTheWaveGivesZeroAndAWarning) {
  sound.初期化_サウンド(0);
  fake_sound_log().next_buffer = 0;  // the fake's dsCreateDSB answers 0
  test::write_file("選択.wav", kGoodWave);
  EXPECT_EQ(sound.読込_サウンド("選択.wav", 音の種類::効果音), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text.rfind("選択.wav: ", 0), 0u);
}

TEST_F(SoundWrappers, BufferOperationsPassRealHandlesOnAndIgnoreZero) {
  sound.初期化_サウンド(0);
  for (std::int32_t b : {0, 9}) {
    sound.adopt(音源::音_選択, b);
    sound.play(音源::音_選択);
    sound.loop(音源::音_選択);
    sound.stop(音源::音_選択);
  }
  sound.解放_全音源();
  EXPECT_EQ(fake_sound_log().calls, (std::vector<FakeSoundCall>{{"dsInitialize", 0},
                                                                {"dsPlay", 9},
                                                                {"dsPlayLooping", 9},
                                                                {"dsStop", 9},
                                                                {"dsFree", 9},
                                                                {"dsTerminate", 77}}));
}

TEST_F(SoundWrappers, ClosingTerminatesTheInterfaceOnce) {
  sound.初期化_サウンド(0);
  sound.終了_サウンド();
  sound.終了_サウンド();
  EXPECT_EQ(fake_sound_handles("dsTerminate"), std::vector<std::int32_t>{77});
}

// Start-up and shut-down, run from a directory holding the five waves.
class SoundLifecycle : public SoundWrappers {
 protected:
  void SetUp() override {
    SoundWrappers::SetUp();
    for (const auto& s : 音源表) test::write_file(std::string(s.ファイル名), kGoodWave);
  }
};

TEST_F(SoundLifecycle, StartUpCreatesTheFiveBuffersInOrderAndTheNewGamePlaysTheDealingSound) {
  起動処理(g, 3);
  const auto& calls = fake_sound_log().calls;
  ASSERT_GE(calls.size(), 6u);
  EXPECT_EQ(calls[0], (FakeSoundCall{"dsInitialize", 3}));
  for (std::size_t i = 1; i <= 5; ++i) EXPECT_EQ(calls[i], (FakeSoundCall{"dsCreateDSB", 77}));
  EXPECT_EQ(fake_sound_log().created_flags, (std::vector<std::int32_t>{3, 3, 3, 3, 1}));
  EXPECT_EQ((std::vector<std::int32_t>{sound.handle(音源::音_その他), sound.handle(音源::音_禁止),
                                       sound.handle(音源::音_選択), sound.handle(音源::音_駒打音),
                                       sound.handle(音源::音_BGM)}),
            (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(fake_sound_handles("dsPlay"), std::vector<std::int32_t>{sound.handle(音源::音_駒打音)});
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SoundLifecycle, ShutDownFreesTheBuffersInOrderThenTerminates) {
  起動処理(g, 3);
  test::reset_fake_sound();
  終了処理(g);
  EXPECT_EQ(fake_sound_log().calls, (std::vector<FakeSoundCall>{{"dsFree", 1},
                                                                {"dsFree", 2},
                                                                {"dsFree", 3},
                                                                {"dsFree", 4},
                                                                {"dsFree", 5},
                                                                {"dsTerminate", 77}}));
}

TEST_F(SoundLifecycle, WithoutALibraryTheGameStartsSilentlyAfterTheOneWarning) {
  platform.library.reset();
  起動処理(g, 3);
  終了処理(g);
  expect_one_warning(kInitFailure);
  EXPECT_TRUE(fake_sound_log().calls.empty());
  EXPECT_FALSE(platform.paints.empty());  // the board was still dealt and drawn
  EXPECT_NE(g.盤面[1][1], KARA);
}

TEST_F(SoundLifecycle, AMissingWaveLeavesOnlyThatSoundSilent) {
  std::filesystem::remove("禁止.wav");
  起動処理(g, 3);
  EXPECT_EQ(sound.handle(音源::音_禁止), 0);
  EXPECT_EQ(fake_sound_log().created_flags, (std::vector<std::int32_t>{3, 3, 3, 1}));
  EXPECT_TRUE(platform.messages.empty());
  test::reset_fake_sound();
  終了処理(g);
  EXPECT_EQ(fake_sound_handles("dsFree"), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace pawnfall
