// The game's one state record, its fixed codes, colours, buttons and board geometry.
//
// Glossary of the Japanese names, for a maintainer who reads no Japanese:
//   盤面 the board (a piece code per square)     消去対象駒 erase marks (squares in the chain)
//   桝色 square shade (picture 1 or 2)            選択状態 selection state (a chain in progress?)
//   選択駒 the chain record: 列/行 column/row of its current piece, 先列/先行 the square last
//          pressed, 駒 the code the chain now follows, 連鎖数 pieces in the chain,
//          追加点数 the chain's points
//   スコア score          過去最高スコア best score          終了フラグ game-over flag
//   背景画 background tile code                   音 the Sound object          乱数 the deal's
//   random source 列/行 column/row      列数/行数 columns/rows   盤左端/盤上端 board origin
//   桝幅/桝高 square size 窓幅/窓高 window width/height                色_白/黒/背景/盤
//   white/black/background/board colour 左/右/中ボタン left/right/middle button Piece codes: W_/B_
//   white/black; PORN pawn, NIGT knight, BSHO bishop, ROOK rook, QUIN queen, KING king; KARA empty;
//   TAITORU title banner; HAIKEI_ background tiles: MIDORI green, TATAMI straw mat, TAKE bamboo,
//   UCHU space, RENGA brick.
// Shogi words stand for the chess pieces and board in some names: 飛車 rook, 角 bishop, 桂馬
//   knight (桂馬跳び its jumps), 将棋盤 board (描画_将棋盤桝 its square outlines); 移動チェック
//   move check. 一歩 is one step of an animation, not the shogi pawn.
// Menu handlers are named after their menu items, NAME_Click: CANCEL new game, 背景 a background
//   tile, SIDOU move guidance, BGM music, VER the about box.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <random>

namespace pawnfall {

class Platform;
class Sound;

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
// The palette's colours by index, as 0xRRGGBB.
inline constexpr std::array<std::uint32_t, 16> kPaletteRgb = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// Mouse buttons as the press handler receives them; any further button commits like the middle.
enum class マウスボタン { 左ボタン = 1, 右ボタン = 2, 中ボタン = 4, 他のボタン = 8 };
using enum マウスボタン;

// Whether a chain is being built.
enum class 選択状態型 { なし = 0, 連鎖中 = 1 };
// Whether the game has ended; then only a new game goes on.
enum class 終了状態 { 続行中 = 0, 終了 = 1 };

// Board geometry in twips.
inline constexpr int 盤左端 = 150;
inline constexpr int 盤上端 = 1450;
inline constexpr int 桝幅 = 510;
inline constexpr int 桝高 = 510;

// Start-up placement of the window, in twips.
inline constexpr int 窓幅 = 11600;
inline constexpr int 窓高 = 9300;

// Twips per device-independent pixel at the 96 dots per inch the layout assumes.
inline constexpr int 一画素のtwips = 15;
// The one conversion of twips to pixels, for pictures, outlines and text alike: halves round up.
// The scale is device pixels per pixel of the starting window (the screen's density times the
// window's zoom).
inline int twips_to_pixels(double twips, double scale = 1.0) {
  return static_cast<int>(std::floor(twips * scale / 一画素のtwips + 0.5));
}
// Its inverse for presses: the point a press on (device) pixel `pixel` stands for. It lies just
// below the pixel's middle, so that a pixel selects exactly the square that twips_to_pixels
// painted on it, edges and shared outlines included, at any scale.
inline double pixels_to_twips(double pixel, double scale = 1.0) {
  return (std::floor(pixel) + 0.5) * 一画素のtwips / scale - 1e-6;
}
inline constexpr int 窓幅画素 = 窓幅 / 一画素のtwips;
inline constexpr int 窓高画素 = 窓高 / 一画素のtwips;

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

// Everything the game holds, owned by the main window for the life of the process.
struct Game {
  Game(Platform& p, Sound& s) : platform(p), 音(s) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& platform;
  Sound& 音;

  盤表<int> 盤面{};
  盤表<int> 消去対象駒{};
  盤表<int> 桝色{};

  選択状態型 選択状態 = 選択状態型::なし;
  選択駒型 選択駒;
  double スコア = 0;
  double 過去最高スコア = 0;
  終了状態 終了フラグ = 終了状態::続行中;
  // Start-up leaves the background unset until the settings file names one; 畳 matches the
  // check mark the menu starts with.
  int 背景画 = HAIKEI_TATAMI;

  // Whether a settings file that could not be read or saved has been told this session.
  bool 設定の警告済み = false;
  // Whether start-up found a settings file it could not read, and so runs on the defaults; a
  // save that can read it later keeps the file's value of every option the player has not
  // chosen from the menus in this session (those marked here).
  bool 設定を読めなかった = false;
  struct {
    bool 背景画 = false, 移動指導 = false, BGM = false;
  } 選んだ設定;

  // The deal's random source: mt19937 with a fixed seed, so every run deals the same boards.
  std::mt19937 乱数{20000801u};
};

// The checkerboard shade of a square: picture 1 or 2.
constexpr int 桝の色(int 列, int 行) { return (列 + 行) % 2 == 0 ? 1 : 2; }

// Whether (列, 行) is a square of the board.
constexpr bool 盤内(int 列, int 行) { return 列 >= 1 && 列 <= 列数 && 行 >= 1 && 行 <= 行数; }

}  // namespace pawnfall
