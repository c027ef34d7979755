// Runs the command of a menu entry, for the desktop window and the page alike.
#include "game/menu.h"

#include "game/commands.h"

namespace pawnfall {

std::optional<メニュー命令> メニュー_命令から(int number) {
  for (const auto& e : メニュー表)
    if (e.命令 && static_cast<int>(*e.命令) == number) return e.命令;
  return std::nullopt;
}

void メニュー_実行(Game& g, メニュー命令 命令) {
  switch (命令) {
    case メニュー命令::CANCEL:
      return CANCEL_Click(g);
    case メニュー命令::MIDORI:
      return 背景_Click(g, HAIKEI_MIDORI);
    case メニュー命令::TATAMI:
      return 背景_Click(g, HAIKEI_TATAMI);
    case メニュー命令::TAKE:
      return 背景_Click(g, HAIKEI_TAKE);
    case メニュー命令::UCHU:
      return 背景_Click(g, HAIKEI_UCHU);
    case メニュー命令::RENGA:
      return 背景_Click(g, HAIKEI_RENGA);
    case メニュー命令::SIDOU:
      return SIDOU_Click(g);
    case メニュー命令::BGM:
      return BGM_Click(g);
    case メニュー命令::VER:
      return VER_Click(g);
  }
}

}  // namespace pawnfall
