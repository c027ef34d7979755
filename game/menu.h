// The menu bar as one table, which the desktop window and the page both build their menus from,
// and the one function that runs a chosen entry's command.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "model/backgrounds.h"
#include "model/platform.h"
#include "model/state.h"

namespace pawnfall {

// What choosing an entry does: the game's item names, one command each.
enum class メニュー命令 { CANCEL, MIDORI, TATAMI, TAKE, UCHU, RENGA, SIDOU, BGM, VER };

// One entry of the menu bar, in display order. An entry without a command opens the entries
// after it that stand one level deeper; 段 is 0 on the bar itself.
struct メニュー項目 {
  std::string_view 名;
  int 段 = 0;
  std::optional<メニュー命令> 命令{};
  // A check item: its mark is the game's state, read and set through the platform.
  std::optional<MenuItem> 印{};
  bool 初期印 = false;  // checked as the menu is made
};

namespace detail {
// A tile's entry, named as the settings file names the tile.
constexpr メニュー項目 背景の項目(int code, メニュー命令 命令, bool 初期印 = false) {
  const auto tile = 背景_コードから(code);
  return {tile->名, 2, 命令, tile->item, 初期印};
}
}  // namespace detail

inline constexpr std::array<メニュー項目, 12> メニュー表{{
    {"局面", 0},
    {"最初", 1, メニュー命令::CANCEL},
    {"ｵﾌﾟｼｮﾝ", 0},
    {"背景画", 1},
    detail::背景の項目(HAIKEI_MIDORI, メニュー命令::MIDORI),
    detail::背景の項目(HAIKEI_TATAMI, メニュー命令::TATAMI, true),
    detail::背景の項目(HAIKEI_TAKE, メニュー命令::TAKE),
    detail::背景の項目(HAIKEI_UCHU, メニュー命令::UCHU),
    detail::背景の項目(HAIKEI_RENGA, メニュー命令::RENGA),
    {"移動指導", 1, メニュー命令::SIDOU, MenuItem::SIDOU},
    {"BGM", 1, メニュー命令::BGM, MenuItem::BGM},
    // The item on the bar is itself the command.
    {"その他", 0, メニュー命令::VER},
}};

// A table a menu can be built from: it starts on the bar, goes down one level at a time and only
// below an entry that opens a submenu, and that entry has entries under it.
constexpr bool メニュー表_正しい(std::span<const メニュー項目> 表) {
  int 段 = -1;
  bool 開く = true;
  for (const auto& e : 表) {
    if (e.段 < 0 || e.段 > 段 + 1 || (e.段 == 段 + 1) != 開く) return false;
    if (e.印 && !e.命令) return false;
    段 = e.段;
    開く = !e.命令;
  }
  return !開く;
}
static_assert(メニュー表_正しい(メニュー表));

// The command a number stands for, when an entry of the table carries it; nullopt for any other.
std::optional<メニュー命令> メニュー_命令から(int number);

// Runs a chosen entry's command to its end.
void メニュー_実行(Game& g, メニュー命令 命令);

}  // namespace pawnfall
