// The menu commands: new game, background tile, move guidance, music and the about box.
#include "game/commands.h"

#include <string_view>

#include "game/deal.h"
#include "game/settings.h"
#include "model/backgrounds.h"
#include "model/platform.h"
#include "sound/sound.h"
#include "view/redraw.h"
#include "view/score.h"

namespace pawnfall {
namespace {

constexpr std::string_view 題名 = "Pawnfall";
// Seven lines separated by a lone CR.
constexpr std::string_view 版情報 =
    "Pawnfall  Version 0.9 [08/2000]\r"
    "\r"
    "Home page\r"
    "https://pawnfall.example.org/\r"
    "\r"
    "e-mail\r"
    "pawnfall@example.org";

}  // namespace

void 背景_Click(Game& g, int code) {
  const auto tile = 背景_コードから(code);
  if (!tile) return;
  g.選んだ設定.背景画 = true;
  if (!g.platform.checked(tile->item)) {
    チェック設定(g, code);
    g.背景画 = code;
  }
  // Even the tile already chosen is written and redrawn.
  書込_環境設定ファイル(g);
  画面_再描画(g);
}

void SIDOU_Click(Game& g) {
  g.選んだ設定.移動指導 = true;
  g.platform.set_checked(MenuItem::SIDOU, !g.platform.checked(MenuItem::SIDOU));
  書込_環境設定ファイル(g);
}

void BGM_Click(Game& g) {
  g.選んだ設定.BGM = true;
  if (g.platform.checked(MenuItem::BGM)) {
    g.platform.set_checked(MenuItem::BGM, false);
    g.音.stop(音源::音_BGM);
  } else {
    g.platform.set_checked(MenuItem::BGM, true);
    g.音.loop(音源::音_BGM);
  }
  書込_環境設定ファイル(g);
}

void CANCEL_Click(Game& g) {
  if (g.スコア > g.過去最高スコア) {
    g.過去最高スコア = g.スコア;
    描画_過去最高スコア(g, g.過去最高スコア);
    書込_環境設定ファイル(g);
  }
  // A chain left over from the old board would let the next press remove and score pieces of
  // the new board that were never chained. Cleared before the new game's full redraw.
  初期化_消去対象駒(g);
  g.選択状態 = 選択状態型::なし;
  g.選択駒.連鎖数 = 0;
  g.選択駒.追加点数 = 0;
  消去_追加点数(g, 追加点数の行);
  初期設定(g);
}

void VER_Click(Game& g) {
  g.音.play(音源::音_その他);
  g.platform.message_box(版情報, 題名, MessageIcon::None);
}

}  // namespace pawnfall
