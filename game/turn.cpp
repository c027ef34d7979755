// The mouse-press handler: building, cancelling and committing a chain.
#include "game/turn.h"

#include <cmath>

#include "game/deal.h"
#include "game/gravity.h"
#include "game/settings.h"
#include "model/platform.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "view/draw.h"
#include "view/guidance.h"
#include "view/score.h"

namespace pawnfall {
namespace {

constexpr std::string_view 終了後の案内 = "局面　⇒　最初　にしてください";
constexpr std::string_view 終了の知らせ = "これ以上取る事のできる駒はありません";

// Rounds toward minus infinity; a position that is no number, or far outside any window,
// becomes a square just off the board instead of an out-of-range conversion.
int 桝番号(double 位置, int 端, int 幅, int 数) {
  const double 番号 = std::floor((位置 - 端) / 幅);
  if (!(番号 >= -1)) return -1;
  if (番号 > 数 + 1) return 数 + 1;
  return static_cast<int>(番号);
}

bool 列が空(const Game& g, int 列) {
  for (int 行 = 1; 行 <= 行数; ++行)
    if (g.盤面[列][行] != KARA) return false;
  return true;
}

void 最初の押下(Game& g, int 列, int 行) {
  const int code = g.盤面[列][行];
  if (code == KARA) return;
  g.選択駒.列 = 列;
  g.選択駒.行 = 行;
  g.選択駒.駒 = code;
  描画_絵(g, code, 列, 行, 0);
  描画_桝輪郭(g, 色_黒, 列, 行);
  g.選択状態 = 選択状態型::連鎖中;
  g.消去対象駒[列][行] = 1;
  g.音.play(音源::音_選択);
  描画_移動可能桝色(g, 列, 行, 色_白, code);
  g.選択駒.連鎖数 = 1;
  g.選択駒.追加点数 = 1;
  描画_追加点数(g, g.選択駒.追加点数);
}

void 連鎖を取り消す(Game& g) {
  消去_消去対象駒(g);
  初期化_消去対象駒(g);
  const int 列 = g.選択駒.列, 行 = g.選択駒.行;
  描画_絵(g, g.盤面[列][行], 列, 行, g.桝色[列][行]);
  g.音.play(音源::音_禁止);
  g.選択状態 = 選択状態型::なし;
  描画_将棋盤桝(g);
  g.選択駒.連鎖数 = 0;
  g.選択駒.追加点数 = 0;
  消去_追加点数(g, 追加点数の行);
}

void 連鎖に加える(Game& g, int 列, int 行) {
  g.選択駒.先列 = 列;
  g.選択駒.先行 = 行;
  if (g.消去対象駒[列][行] == 1) return;
  const int code = g.盤面[列][行];
  if (code == KARA) return;
  if (!移動チェック_消去対象駒(g, g.選択駒.駒, 列, 行)) {
    連鎖を取り消す(g);
    return;
  }
  描画_絵(g, code, 列, 行, 0);
  描画_桝輪郭(g, 色_黒, 列, 行);
  g.音.play(音源::音_選択);
  描画_移動可能桝色(g, 列, 行, 色_白, code);
  g.消去対象駒[列][行] = 1;
  g.選択駒.列 = 列;
  g.選択駒.行 = 行;
  g.選択駒.連鎖数 += 1;
  // Same code doubles; the other colour halves, but never below 1, so the points stay powers
  // of two and the halving is exact.
  if (code == g.選択駒.駒) {
    g.選択駒.追加点数 *= 2;
  } else {
    if (g.選択駒.追加点数 >= 2) g.選択駒.追加点数 /= 2;
    g.選択駒.駒 = code;
  }
  描画_追加点数(g, g.選択駒.追加点数);
}

// Each column number is looked at once: after a close-up the column holds its old right-hand
// neighbour, which is not looked at again, so of two emptied neighbours one stays standing.
void 空列を詰める(Game& g) {
  for (int 列 = 1; 列 <= 列数; ++列)
    if (列が空(g, 列)) 重力処理_横(g, 列);
}

void 連鎖を確定する(Game& g) {
  g.スコア += g.選択駒.追加点数;
  描画_スコア(g, g.スコア);
  if (g.スコア > g.過去最高スコア) {
    g.過去最高スコア = g.スコア;
    描画_過去最高スコア(g, g.過去最高スコア);
    // Saved at once, so a best score survives however the program ends.
    書込_環境設定ファイル(g);
  }
  g.選択状態 = 選択状態型::なし;
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) {
      if (g.消去対象駒[列][行] != 1) continue;
      g.盤面[列][行] = KARA;
      描画_絵(g, KARA, 列, 行, g.桝色[列][行]);
    }
  g.音.play(音源::音_駒打音);
  重力処理(g);
  空列を詰める(g);
  初期化_消去対象駒(g);
  消去_追加点数(g, 追加点数の行);
  g.選択駒.追加点数 = 0;
  if (!チェック_継続可能(g)) {
    g.終了フラグ = 終了状態::終了;
    g.platform.message_box(終了の知らせ, "", MessageIcon::None);
  }
}

void 連鎖中の押下(Game& g, マウスボタン button, int 列, int 行) {
  if (button == 左ボタン) {
    連鎖に加える(g, 列, 行);
  } else if (button == 右ボタン && g.選択駒.連鎖数 <= 1) {
    連鎖を取り消す(g);
  } else {
    // The right button with two or more pieces, and every other button even on one piece.
    連鎖を確定する(g);
  }
}

}  // namespace

int 列番号(double X) { return 桝番号(X, 盤左端, 桝幅, 列数); }
int 行番号(double Y) { return 桝番号(Y, 盤上端, 桝高, 行数); }

void マウス押下(Game& g, マウスボタン button, double X, double Y) {
  if (g.終了フラグ == 終了状態::終了) {
    g.platform.message_box(終了後の案内, "", MessageIcon::None);
    return;
  }
  const int 列 = 列番号(X), 行 = 行番号(Y);
  if (!盤内(列, 行)) return;
  if (g.選択状態 == 選択状態型::なし)
    最初の押下(g, 列, 行);
  else
    連鎖中の押下(g, button, 列, 行);
}

}  // namespace pawnfall
