// Fuzzes the settings file's decoding, line split, reader and number reader with arbitrary bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "game/settings.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"

namespace {

using namespace pawnfall;

void check_number(std::string_view text) {
  const double value = 数値読取(text);
  if (!std::isfinite(value)) std::abort();
  // What is written reads back unchanged, in plain decimal.
  const std::string written = 十進表記(value);
  if (written.find_first_not_of("-0123456789.") != std::string::npos) std::abort();
  if (数値読取(written) != value) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_number(bytes);

  // The real decoding and line split, as the game reads the file.
  for (const auto& line : 行に分ける(復号_設定(bytes)))
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();

  test::reset_fake_sound();
  test::FakePlatform platform;
  platform.library = test::fake_sound_library();
  Sound sound{platform};
  Game g{platform, sound};
  sound.初期化_サウンド(1);
  sound.adopt(音源::音_BGM, 5);
  platform.raw_files[std::string(設定ファイル名)] = std::string(bytes);
  読込_環境設定ファイル(g);

  // A readable file is never rewritten by reading, and one background stays checked.
  if (platform.writes != 0 || platform.checked_backgrounds().size() != 1) std::abort();
  if (!std::isfinite(g.過去最高スコア)) std::abort();

  // Writing and reading again gives the same options and best score.
  platform.raw_files.clear();
  書込_環境設定ファイル(g);
  test::FakePlatform again;
  Sound again_sound{again};
  Game h{again, again_sound};
  again.files = platform.files;
  読込_環境設定ファイル(h);
  if (again.checks != platform.checks || h.背景画 != g.背景画 ||
      h.過去最高スコア != g.過去最高スコア)
    std::abort();
  return 0;
}
