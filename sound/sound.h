// The Sound object: the sound library's operations, its interface handle and the five buffers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/platform.h"

namespace pawnfall {

inline constexpr std::string_view 警告見出し = "Pawnfall.dll";

// The game's five sounds, in the order start-up creates their buffers.
enum class 音源 { 音_その他, 音_禁止, 音_選択, 音_駒打音, 音_BGM };

// How the library is to make a buffer: an effect at full level, or music beneath the effects.
enum class 音の種類 { 効果音, 音楽 };

struct 音源情報 {
  音源 id;
  std::string_view ファイル名;
  音の種類 種類;
};

inline constexpr std::array<音源情報, 5> 音源表{{
    {音源::音_その他, "その他.wav", 音の種類::効果音},
    {音源::音_禁止, "禁止.wav", 音の種類::効果音},
    {音源::音_選択, "選択.wav", 音の種類::効果音},
    {音源::音_駒打音, "駒打音.wav", 音の種類::効果音},
    {音源::音_BGM, "BGM.wav", 音の種類::音楽},
}};

// A wave file as its source gives it: not there (the game plays silence in its place and says
// nothing), refused for a reason the player is told, or its bytes.
struct WaveFile {
  enum class Status { Absent, Refused, Read } status = Status::Absent;
  std::string reason;
  std::vector<unsigned char> bytes;
};
using WaveSource = std::function<WaveFile(std::string_view name)>;

// The wave files in `folder`, or in the current folder when it is empty.
WaveFile wave_from_folder(const std::string& folder, std::string_view name);

class Sound {
 public:
  // The wave files are read from `folder`, or from the current folder when it is empty.
  explicit Sound(Platform& platform, std::string folder = {})
      : Sound(platform, [folder = std::move(folder)](std::string_view name) {
          return wave_from_folder(folder, name);
        }) {}
  // The waves come from elsewhere: in a browser, from the page that fetched them.
  Sound(Platform& platform, WaveSource source) : platform_(platform), source_(std::move(source)) {}
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Opens the library and its interface; warns when there is none. Start-up goes on either way.
  void 初期化_サウンド(std::int32_t 窓ハンドル);
  // Creates the five buffers from their wave files, in table order, then makes the requests
  // that came before the library was opened.
  void 読込_全音源();
  // A buffer from a wave file of the source, or 0 (with a warning when the file is bad).
  std::int32_t 読込_サウンド(std::string_view ファイル名, 音の種類 種類);
  // Frees the five buffers in table order, then closes the interface.
  void 解放_全音源();
  void 終了_サウンド();
  void 表示_警告(std::string_view text);

  // Each does nothing without a library or for a sound whose buffer could not be made. Before
  // the library is opened they wait, in order: the window opens it after its first frame, so
  // the game shows itself without waiting for the sound device, and the dealing sound and the
  // music start a moment later.
  void play(音源 s);
  void loop(音源 s);
  void stop(音源 s);

  std::int32_t handle(音源 s) const { return buffers_[index(s)]; }
  std::int32_t interface_handle() const { return interface_; }
  // Takes a buffer made outside 読込_全音源, as tests do with a fake library's handles.
  void adopt(音源 s, std::int32_t buffer) { buffers_[index(s)] = buffer; }

 private:
  static std::size_t index(音源 s) { return static_cast<std::size_t>(s); }
  bool usable() const { return library_.complete(); }
  void free(std::int32_t buffer) const;
  enum class Request { Play, Loop, Stop };
  void request(Request r, 音源 s);

  Platform& platform_;
  WaveSource source_;
  SoundLibrary library_;
  std::int32_t interface_ = 0;
  std::array<std::int32_t, 音源表.size()> buffers_{};
  bool opened_ = false;
  std::vector<std::pair<Request, 音源>> waiting_;
};

}  // namespace pawnfall
