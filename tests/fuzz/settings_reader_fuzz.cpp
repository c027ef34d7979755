// Fuzzes the settings reader and its number reader with arbitrary bytes as a settings file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"

namespace {

using namespace pawnfall;

constexpr MenuItem kBackgrounds[] = {MenuItem::MIDORI, MenuItem::TATAMI, MenuItem::TAKE,
                                     MenuItem::UCHU, MenuItem::RENGA};

// Lines as the platform hands them over: ended by CR LF or a lone CR, a last line without an
// ending kept when it is not empty.
std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      lines.push_back(line);
      line.clear();
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int checked_backgrounds(const test::FakePlatform& p) {
  int n = 0;
  for (auto item : kBackgrounds) n += p.checks.at(item) ? 1 : 0;
  return n;
}

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
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check_number(text);

  test::reset_fake_sound();
  test::FakePlatform platform;
  platform.library = test::fake_sound_library();
  Game g(platform);
  初期化_サウンド(g, 1);
  g.音_BGM = 5;
  platform.files[std::string(設定ファイル名)] = split_lines(text);
  読込_環境設定ファイル(g);

  // A readable file is never rewritten by reading, and one background stays checked.
  if (platform.writes != 0 || checked_backgrounds(platform) != 1) std::abort();
  if (!std::isfinite(g.過去最高スコア)) std::abort();

  // Writing and reading again gives the same options and best score.
  書込_環境設定ファイル(g);
  test::FakePlatform again;
  Game h(again);
  again.files = platform.files;
  読込_環境設定ファイル(h);
  if (again.checks != platform.checks || h.背景画 != g.背景画 ||
      h.過去最高スコア != g.過去最高スコア)
    std::abort();
  return 0;
}
