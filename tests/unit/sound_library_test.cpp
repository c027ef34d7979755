// The real sound library, loaded from the run directory as the program loads it, heard through
// SDL's disk driver, which writes the mix to a file instead of a sound device.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "model/state.h"
#include "sound/sound.h"
#include "soundlib/wave_check.h"
#include "tests/fakes/fake_platform.h"
#include "tests/unit/real_sound_library.h"
#include "tests/unit/sound_waves.h"

namespace pawnfall {
namespace {

using test::Bytes;

constexpr std::size_t kMixFrames = 1024;
constexpr int kEffect = 3, kMusic = 1;

const SoundLibrary& real() { return test::real_sound_library(); }

class SoundLibraryTest : public test::DiskOutputTest {
 protected:
  void SetUp() override { ASSERT_TRUE(real().complete()) << ::dlerror(); }

  void TearDown() override {
    if (iface != 0) real().dsTerminate(iface);
  }

  void open_disk_output() {
    select_disk_output();
    iface = real().dsInitialize(0);
    ASSERT_NE(iface, 0);
  }

  void open_silent_output() {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    iface = real().dsInitialize(0);
    ASSERT_NE(iface, 0);
  }

  void close_output() {
    EXPECT_EQ(real().dsTerminate(iface), 1);
    iface = 0;
  }

  std::int32_t create(const Bytes& image, int flags = kEffect) {
    return real().dsCreateDSB(iface, image.data(), flags);
  }

  static std::size_t first_sound(const std::vector<int>& s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == 0) ++i;
    return i;
  }

  std::int32_t iface = 0;
};

TEST_F(SoundLibraryTest, PlayingOnceSoundsTheWholeWaveAndNothingMore) {
  constexpr std::size_t N = 4410;  // 0.1 s
  open_disk_output();
  const auto b = create(test::stereo_wave(test::ramp_frames(N, 7)));
  ASSERT_NE(b, 0);
  const auto start = frames_written();
  EXPECT_EQ(real().dsPlay(b), 1);
  wait_for_frames(start + N + 4 * kMixFrames);
  close_output();

  const auto s = left_channel();
  const auto first = first_sound(s);
  ASSERT_LT(first + N, s.size());
  for (std::size_t k = 0; k < N; ++k) ASSERT_EQ(s[first + k], 7 * int(k + 1)) << k;
  for (std::size_t i = first + N; i < s.size(); ++i) ASSERT_EQ(s[i], 0) << i;
}

TEST_F(SoundLibraryTest, PlayingASoundingBufferAgainRestartsItFromTheStart) {
  constexpr std::size_t N = 30000;
  open_disk_output();
  const auto b = create(test::stereo_wave(test::ramp_frames(N, 1)));
  const auto start = frames_written();
  real().dsPlay(b);
  // By now the first play has sounded for several blocks, and is far from its end.
  wait_for_frames(start + 6 * kMixFrames);
  real().dsPlay(b);
  wait_for_frames(frames_written() + N + 4 * kMixFrames);
  close_output();

  const auto s = left_channel();
  const auto first = first_sound(s);
  std::size_t cut = 0;
  while (first + cut < s.size() && s[first + cut] == int(cut + 1)) ++cut;
  EXPECT_GT(cut, 0u);
  EXPECT_LT(cut, N) << "the first play was not cut short";
  const auto again = first + cut;
  ASSERT_LT(again + N, s.size());
  for (std::size_t k = 0; k < N; ++k) ASSERT_EQ(s[again + k], int(k + 1)) << k;
  for (std::size_t i = again + N; i < s.size(); ++i) ASSERT_EQ(s[i], 0) << i;
}

TEST_F(SoundLibraryTest, LoopingRepeatsWithoutAGapUntilStoppedAndAStopEndsASinglePlayToo) {
  constexpr std::size_t N = 2000, kLong = 40 * kMixFrames;
  open_disk_output();
  const auto b = create(test::stereo_wave(test::ramp_frames(N, 16)));
  const auto once = create(test::stereo_wave(test::constant_frames(kLong, 5)));
  const auto start = frames_written();
  EXPECT_EQ(real().dsPlayLooping(b), 1);
  wait_for_frames(start + 4 * N + 2 * kMixFrames);
  EXPECT_EQ(real().dsStop(b), 1);
  const auto stopped = frames_written();
  wait_for_frames(stopped + 2 * kMixFrames);
  real().dsPlay(once);
  wait_for_frames(frames_written() + 4 * kMixFrames);
  EXPECT_EQ(real().dsStop(once), 1);
  const auto cut = frames_written();
  wait_for_frames(cut + 4 * kMixFrames);
  close_output();

  const auto s = left_channel();
  const auto first = first_sound(s);
  std::size_t run = 0;
  while (first + run < s.size() && s[first + run] != 0) {
    ASSERT_EQ(s[first + run], 16 * int(run % N + 1)) << "gap or jump at " << run;
    ++run;
  }
  EXPECT_GE(run, 3 * N) << "did not repeat past one length";
  EXPECT_LE(first + run, stopped + kMixFrames) << "kept sounding after the stop";
  for (std::size_t i = first + run; i < s.size(); ++i) ASSERT_TRUE(s[i] == 0 || s[i] == 5) << i;
  // The single play, many blocks long, ends within a block of its stop too.
  const auto end = static_cast<std::size_t>(std::find(s.rbegin(), s.rend(), 5).base() - s.begin());
  EXPECT_GT(end, stopped) << "the single play did not sound";
  EXPECT_LE(end, cut + kMixFrames) << "the single play kept sounding after the stop";
}

TEST_F(SoundLibraryTest, TwoBuffersSoundTogether) {
  constexpr std::size_t NA = 3000, NB = 2000;
  constexpr int A = 1000, B = 3000;
  open_disk_output();
  const auto a = create(test::stereo_wave(test::constant_frames(NA, A)));
  const auto b = create(test::stereo_wave(test::constant_frames(NB, B)));
  const auto start = frames_written();
  real().dsPlay(a);
  real().dsPlay(b);
  wait_for_frames(start + NA + NB + 4 * kMixFrames);
  close_output();

  std::size_t with_a = 0, with_b = 0, both = 0;
  for (int v : left_channel()) {
    ASSERT_TRUE(v == 0 || v == A || v == B || v == A + B) << v;
    with_a += v == A || v == A + B;
    with_b += v == B || v == A + B;
    both += v == A + B;
  }
  EXPECT_EQ(with_a, NA);
  EXPECT_EQ(with_b, NB);
  EXPECT_GT(both, 0u);
}

TEST_F(SoundLibraryTest, MusicBuffersSoundAtHalfTheLevelOfEffects) {
  open_disk_output();
  const auto music = create(test::stereo_wave(test::constant_frames(1000, 4000)), kMusic);
  const auto start = frames_written();
  real().dsPlay(music);
  wait_for_frames(start + 1000 + 4 * kMixFrames);
  close_output();
  const auto s = left_channel();
  EXPECT_EQ(s[first_sound(s)], 2000);
}

TEST_F(SoundLibraryTest, HandleZeroFreedAndStaleHandlesAreSilent) {
  open_silent_output();
  const Bytes loud = test::stereo_wave(test::constant_frames(3000, 9000));
  const auto stale = create(loud);
  ASSERT_NE(stale, 0);
  close_output();

  open_disk_output();
  const auto freed = create(loud);
  EXPECT_EQ(real().dsFree(freed), 1);
  const auto start = frames_written();
  for (std::int32_t h : {0, freed, stale}) {
    EXPECT_EQ(real().dsPlay(h), 0);
    EXPECT_EQ(real().dsPlayLooping(h), 0);
    EXPECT_EQ(real().dsStop(h), 0);
    EXPECT_EQ(real().dsFree(h), 0);
  }
  EXPECT_EQ(real().dsCreateDSB(0, loud.data(), kEffect), 0);
  wait_for_frames(start + 3000 + 4 * kMixFrames);
  close_output();
  const auto s = left_channel();
  EXPECT_EQ(first_sound(s), s.size());
}

TEST_F(SoundLibraryTest, WithoutAnyAudioOutputTheInterfaceIsZero) {
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_EQ(real().dsInitialize(0), 0);
  EXPECT_EQ(real().dsCreateDSB(0, test::stereo_wave({1}).data(), kEffect), 0);
}

// An image placed so that its last byte is the last readable byte before an unmapped page:
// a read past its end faults at once, in any build.
class GuardedImage {
 public:
  explicit GuardedImage(const Bytes& image) {
    page_ = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    span_ = (image.size() / page_ + 2) * page_;
    void* p = ::mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = p == MAP_FAILED ? nullptr : static_cast<unsigned char*>(p);
    if (base_ == nullptr) return;
    ::mprotect(base_ + span_ - page_, page_, PROT_NONE);
    data_ = base_ + span_ - page_ - image.size();
    std::memcpy(data_, image.data(), image.size());
  }
  ~GuardedImage() {
    if (base_) ::munmap(base_, span_);
  }
  GuardedImage(const GuardedImage&) = delete;
  GuardedImage& operator=(const GuardedImage&) = delete;
  const unsigned char* data() const { return data_; }

 private:
  std::size_t page_ = 0, span_ = 0;
  unsigned char* base_ = nullptr;
  unsigned char* data_ = nullptr;
};

TEST_F(SoundLibraryTest, CreationReadsNoMoreThanTheHeaderDeclaresAndRejectsNonsense) {
  open_silent_output();
  const Bytes good = test::stereo_wave(test::ramp_frames(500, 3));
  {
    GuardedImage exact(good);
    ASSERT_NE(exact.data(), nullptr);
    EXPECT_NE(real().dsCreateDSB(iface, exact.data(), kEffect), 0);
  }
  // Each image is cut where the header says it ends, so that any further read faults.
  auto cut = [](Bytes b, std::size_t length) {
    b.resize(length);
    return b;
  };
  // The data chunk claims more than the header declares: the library must stop at the
  // declared end, where it finds the wave incomplete.
  Bytes short_riff = good;
  short_riff[4] = static_cast<unsigned char>(short_riff[4] - 100);
  short_riff = cut(short_riff, good.size() - 100);
  Bytes not_riff = good;
  not_riff[0] = 'X';
  Bytes not_wave = good;
  not_wave[9] = 'X';
  // Declared sizes too small for a wave, or beyond the limit, are refused from the 8-byte
  // header alone.
  Bytes tiny = good;
  tiny[4] = 3, tiny[5] = tiny[6] = tiny[7] = 0;
  tiny = cut(tiny, 8);
  Bytes huge = good;
  huge[7] = 0x7F;
  huge = cut(huge, 8);
  Bytes adpcm = good;
  adpcm[20] = 2;
  for (const Bytes* bad : {&short_riff, &not_riff, &not_wave, &tiny, &huge, &adpcm}) {
    GuardedImage guarded(*bad);
    ASSERT_NE(guarded.data(), nullptr);
    EXPECT_EQ(real().dsCreateDSB(iface, guarded.data(), kEffect), 0);
  }
  EXPECT_EQ(real().dsCreateDSB(iface, nullptr, kEffect), 0);
  EXPECT_EQ(real().dsCreateDSB(iface, good.data(), 2), 0) << "flag 1 is required";
  EXPECT_EQ(real().dsCreateDSB(iface + 1, good.data(), kEffect), 0) << "not this interface";
}

TEST_F(SoundLibraryTest, TheWrappersOverTheRealLibraryRefuseMalformedFilesAndLoadTheGameSounds) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  test::FakePlatform platform;
  platform.library = real();
  Sound sound{platform};
  Game g{platform, sound};
  sound.初期化_サウンド(0);
  ASSERT_NE(sound.interface_handle(), 0);
  const Bytes good = test::stereo_wave(test::ramp_frames(100, 5));
  const std::vector<Bytes> malformed{{},
                                     Bytes(good.begin(), good.end() - 1),
                                     Bytes(good.begin(), good.begin() + 40),
                                     Bytes(200, 0xA5)};
  for (const auto& image : malformed) {
    platform.messages.clear();
    test::write_file("駒打音.wav", image);
    EXPECT_EQ(sound.読込_サウンド("駒打音.wav", 音の種類::効果音), 0);
    EXPECT_EQ(platform.messages.size(), 1u);
  }
  platform.messages.clear();
  for (const auto& [id, name, kind] : 音源表) {
    std::filesystem::copy_file(std::filesystem::path(PAWNFALL_RUN_DIR) / name,
                               std::filesystem::path(name),
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_NE(sound.読込_サウンド(name, 音の種類::効果音), 0) << name;
  }
  EXPECT_TRUE(platform.messages.empty());
  sound.終了_サウンド();
}

}  // namespace
}  // namespace pawnfall
