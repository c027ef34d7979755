// The two ends of the window's life: start-up and shut-down.
#include "game/lifecycle.h"

#include "game/deal.h"
#include "game/settings.h"
#include "sound/sound.h"
#include "view/score.h"

namespace pawnfall {

void 起動処理(Game& g, std::int32_t 窓ハンドル) {
  起動処理_画面(g);
  起動処理_サウンド(g, 窓ハンドル);
}

void 起動処理_サウンド(Game& g, std::int32_t 窓ハンドル) {
  g.音.初期化_サウンド(窓ハンドル);
  g.音.読込_全音源();
}

void 起動処理_画面(Game& g) {
  // Codes, colours, buttons and geometry are compile-time constants (model/state.h).
  g.終了フラグ = 終了状態::続行中;
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) g.桝色[列][行] = 桝の色(列, 行);

  読込_環境設定ファイル(g);
  初期設定(g);
  描画_スコア(g, 0);
  描画_過去最高スコア(g, g.過去最高スコア);
}

void 終了処理(Game& g) { g.音.解放_全音源(); }

}  // namespace pawnfall
