// The program's wrappers around the sound library: opening it, loading waves, the buffer calls.
#include "sound/sound.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "core/platform.h"
#include "sound/wave_check.h"

namespace pawnfall {
namespace {

constexpr std::string_view 初期化失敗文 = "Direct Soundインターフェースが作成できません。";

bool 有効(const Game& g) { return g.音ライブラリ.complete(); }

std::string 警告文(std::string_view ファイル名, std::string_view 説明) {
  std::string text;
  text.append(ファイル名).append(": ").append(説明);
  return text;
}

// The whole file, or nullopt when it cannot be read. The size is checked first, so a huge
// file is never read into memory.
std::optional<std::vector<unsigned char>> 読込_全体(const std::filesystem::path& path,
                                                    std::string& 説明) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) {
    説明 = "ファイルを読み込めません。";
    return std::nullopt;
  }
  if (size > 波形最大バイト数) {
    説明 = 説明_波形(WaveFault::大きすぎる);
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    説明 = "ファイルを開けません。";
    return std::nullopt;
  }
  // One read of the size found; a file that shrank meanwhile is cut where it ends, and the
  // wave check then judges what arrived.
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) {
    説明 = "ファイルを読み込めません。";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

void 初期化_サウンド(Game& g, std::int32_t 窓ハンドル) {
  // A library that is missing or lacks an operation behaves as one whose start-up failed.
  auto library = g.platform.load_sound_library();
  g.音ライブラリ = library && library->complete() ? *library : SoundLibrary{};
  g.音_インターフェース = 有効(g) ? g.音ライブラリ.dsInitialize(窓ハンドル) : 0;
  if (g.音_インターフェース == 0) 表示_警告(g, 初期化失敗文);
}

std::int32_t 読込_サウンド(Game& g, std::string_view ファイル名, std::int32_t フラグ) {
  if (g.音_インターフェース == 0 || !有効(g)) return 0;
  const std::filesystem::path path{std::string(ファイル名)};
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return 0;
  // A directory or a pipe by that name would never read as a wave, and a pipe could block.
  if (!std::filesystem::is_regular_file(status)) {
    表示_警告(g, 警告文(ファイル名, "通常のファイルではありません。"));
    return 0;
  }
  std::string 説明;
  const auto image = 読込_全体(path, 説明);
  if (!image) {
    表示_警告(g, 警告文(ファイル名, 説明));
    return 0;
  }
  // The library gets no length: nothing reaches it that would lead it past the image's end.
  if (const WaveFault fault = 検査_波形(*image); fault != WaveFault::正常) {
    表示_警告(g, 警告文(ファイル名, 説明_波形(fault)));
    return 0;
  }
  const std::int32_t buffer =
      g.音ライブラリ.dsCreateDSB(g.音_インターフェース, image->data(), フラグ);
  if (buffer == 0) 表示_警告(g, 警告文(ファイル名, "音のバッファを作成できません。"));
  return buffer;
}

void 終了_サウンド(Game& g) {
  if (g.音_インターフェース == 0 || !有効(g)) return;
  g.音ライブラリ.dsTerminate(g.音_インターフェース);
  g.音_インターフェース = 0;
}

void 表示_警告(Game& g, std::string_view text) {
  g.platform.message_box(text, 警告見出し, MessageIcon::Warning);
}

void 音_再生(Game& g, std::int32_t buffer) {
  if (buffer != 0 && 有効(g)) g.音ライブラリ.dsPlay(buffer);
}

void 音_ループ再生(Game& g, std::int32_t buffer) {
  if (buffer != 0 && 有効(g)) g.音ライブラリ.dsPlayLooping(buffer);
}

void 音_停止(Game& g, std::int32_t buffer) {
  if (buffer != 0 && 有効(g)) g.音ライブラリ.dsStop(buffer);
}

void 音_解放(Game& g, std::int32_t buffer) {
  if (buffer != 0 && 有効(g)) g.音ライブラリ.dsFree(buffer);
}

}  // namespace pawnfall
