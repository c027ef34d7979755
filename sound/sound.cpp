// The Sound object: opening the library, loading the waves, the buffer calls.
#include "sound/sound.h"
#include "sound/wave_text.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "soundlib/pawnfall_sound.h"

namespace pawnfall {
namespace {

constexpr std::string_view 初期化失敗文 = "Direct Soundインターフェースが作成できません。";

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
  // Plain C stdio: a file stream would set up the C++ locale machinery for one binary read.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!in) {
    説明 = "ファイルを開けません。";
    return std::nullopt;
  }
  // One read of the size found; a file that shrank meanwhile is cut where it ends, and the
  // wave check then judges what arrived.
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in.get()));
  if (std::ferror(in.get()) != 0) {
    説明 = "ファイルを読み込めません。";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

WaveFile wave_from_folder(const std::string& folder, std::string_view name) {
  const std::filesystem::path path = std::filesystem::path(folder) / std::string(name);
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return {};
  // A directory or a pipe by that name would never read as a wave, and a pipe could block.
  if (!std::filesystem::is_regular_file(status))
    return {WaveFile::Status::Refused, "通常のファイルではありません。", {}};
  WaveFile file{WaveFile::Status::Read, {}, {}};
  if (auto image = 読込_全体(path, file.reason))
    file.bytes = std::move(*image);
  else
    file.status = WaveFile::Status::Refused;
  return file;
}

void Sound::初期化_サウンド(std::int32_t 窓ハンドル) {
  // A library that is missing or lacks an operation behaves as one whose start-up failed.
  auto library = platform_.load_sound_library();
  library_ = library && library->complete() ? *library : SoundLibrary{};
  interface_ = usable() ? library_.dsInitialize(窓ハンドル) : 0;
  opened_ = true;
  if (interface_ == 0) 表示_警告(初期化失敗文);
}

void Sound::読込_全音源() {
  for (const auto& entry : 音源表) adopt(entry.id, 読込_サウンド(entry.ファイル名, entry.種類));
  const auto waiting = std::exchange(waiting_, {});
  for (const auto& [r, s] : waiting) request(r, s);
}

std::int32_t Sound::読込_サウンド(std::string_view ファイル名, 音の種類 種類) {
  if (interface_ == 0 || !usable()) return 0;
  const WaveFile file = source_(ファイル名);
  if (file.status == WaveFile::Status::Absent) return 0;
  if (file.status == WaveFile::Status::Refused) {
    表示_警告(警告文(ファイル名, file.reason));
    return 0;
  }
  // The library gets no length: nothing reaches it that would lead it past the image's end.
  if (const WaveFault fault = 検査_波形(file.bytes); fault != WaveFault::正常) {
    表示_警告(警告文(ファイル名, 説明_波形(fault)));
    return 0;
  }
  const std::int32_t flags = DS_FLAG_MEMORY | (種類 == 音の種類::効果音 ? DS_FLAG_EFFECT : 0);
  const std::int32_t buffer = library_.dsCreateDSB(interface_, file.bytes.data(), flags);
  if (buffer == 0) 表示_警告(警告文(ファイル名, "音のバッファを作成できません。"));
  return buffer;
}

void Sound::解放_全音源() {
  for (const auto& entry : 音源表) {
    free(handle(entry.id));
    adopt(entry.id, 0);
  }
  終了_サウンド();
}

void Sound::終了_サウンド() {
  if (interface_ == 0 || !usable()) return;
  library_.dsTerminate(interface_);
  interface_ = 0;
}

void Sound::表示_警告(std::string_view text) {
  platform_.message_box(text, 警告見出し, MessageIcon::Warning);
}

void Sound::play(音源 s) { request(Request::Play, s); }
void Sound::loop(音源 s) { request(Request::Loop, s); }
void Sound::stop(音源 s) { request(Request::Stop, s); }

void Sound::request(Request r, 音源 s) {
  if (!opened_) {
    waiting_.emplace_back(r, s);
    return;
  }
  const auto buffer = handle(s);
  if (buffer == 0 || !usable()) return;
  switch (r) {
    case Request::Play:
      library_.dsPlay(buffer);
      break;
    case Request::Loop:
      library_.dsPlayLooping(buffer);
      break;
    case Request::Stop:
      library_.dsStop(buffer);
      break;
  }
}

void Sound::free(std::int32_t buffer) const {
  if (buffer != 0 && usable()) library_.dsFree(buffer);
}

}  // namespace pawnfall
