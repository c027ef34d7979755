// The game's one state record, its fixed codes, colours, buttons and board geometry.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace pawnfall {

class Platform;
struct SoundLibrary;

// Board size; every per-square table is indexed [0..列数][0..行数] and index 0 is unused.
inline constexpr int 列数 = 20;
inline constexpr int 行数 = 12;

// Board contents and picture codes share one code space.
inline constexpr int KARA = 0;
inline constexpr int W_PORN = 10;
inline constexpr int W_NIGT = 11;
inline constexpr int W_BSHO = 12;
inline constexpr int W_ROOK = 13;
inline constexpr int W_QUIN = 14;
inline constexpr int W_KING = 15;
inline constexpr int B_KING = 16;
inline constexpr int B_NIGT = 17;
inline constexpr int B_BSHO = 18;
inline constexpr int B_ROOK = 19;
inline constexpr int B_QUIN = 20;
inline constexpr int B_PORN = 21;

inline constexpr int TAITORU = 1;
inline constexpr int HAIKEI_MIDORI = 2;
inline constexpr int HAIKEI_TATAMI = 3;
inline constexpr int HAIKEI_TAKE = 4;
inline constexpr int HAIKEI_UCHU = 5;
inline constexpr int HAIKEI_RENGA = 6;

// Palette indices of the classic 16-colour palette.
inline constexpr int 色_白 = 15;
inline constexpr int 色_黒 = 0;
inline constexpr int 色_背景 = 2;
inline constexpr int 色_盤 = 2;

// Mouse buttons as the press handler receives them; the middle button is 4.
inline constexpr int 左ボタン = 1;
inline constexpr int 右ボタン = 2;
inline constexpr int 中ボタン = 4;

// Board geometry in twips.
inline constexpr int 盤左端 = 150;
inline constexpr int 盤上端 = 1450;
inline constexpr int 桝幅 = 510;
inline constexpr int 桝高 = 510;

// Start-up placement of the window, in twips.
inline constexpr int 窓幅 = 11600;
inline constexpr int 窓高 = 9300;

template <typename T>
using 盤表 = std::array<std::array<T, 行数 + 1>, 列数 + 1>;

// The chain in progress.
struct 選択駒型 {
  int 列 = 0;
  int 行 = 0;
  int 先列 = 0;
  int 先行 = 0;
  int 駒 = 0;
  int 連鎖数 = 0;
  double 追加点数 = 0;
};

// The function table of the sound library, or all null when none could be loaded.
struct SoundLibrary {
  std::int32_t (*dsInitialize)(std::int32_t window) = nullptr;
  std::int32_t (*dsCreateDSB)(std::int32_t iface, const void* image, std::int32_t flags) = nullptr;
  std::int32_t (*dsPlay)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsPlayLooping)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsStop)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsFree)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsTerminate)(std::int32_t iface) = nullptr;

  bool complete() const {
    return dsInitialize && dsCreateDSB && dsPlay && dsPlayLooping && dsStop && dsFree &&
           dsTerminate;
  }
};

// Everything the game holds, owned by the main window for the life of the process.
struct Game {
  explicit Game(Platform& p) : platform(p) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& platform;

  盤表<int> 盤面{};
  盤表<int> 消去対象駒{};
  盤表<int> 桝色{};

  int 選択状態 = 0;
  選択駒型 選択駒;
  double スコア = 0;
  double 過去最高スコア = 0;
  int 終了フラグ = 0;
  // Start-up leaves the background unset until the settings file names one; 畳 matches the
  // check mark the menu starts with.
  int 背景画 = HAIKEI_TATAMI;

  SoundLibrary 音ライブラリ;
  std::int32_t 音_インターフェース = 0;
  std::int32_t 音_その他 = 0;
  std::int32_t 音_禁止 = 0;
  std::int32_t 音_選択 = 0;
  std::int32_t 音_駒打音 = 0;
  std::int32_t 音_BGM = 0;

  // The deal's random source: mt19937 with a fixed seed, so every run deals the same boards.
  std::mt19937 乱数{20000801u};
};

// Whether (列, 行) is a square of the board.
constexpr bool 盤内(int 列, int 行) { return 列 >= 1 && 列 <= 列数 && 行 >= 1 && 行 <= 行数; }

}  // namespace pawnfall
