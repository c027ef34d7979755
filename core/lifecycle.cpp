// The two ends of the window's life: start-up and shut-down.
#include "core/lifecycle.h"

#include "core/deal.h"
#include "core/settings.h"
#include "sound/sound.h"
#include "view/score.h"

namespace pawnfall {

void 起動処理(Game& g, std::int32_t 窓ハンドル) {
  初期化_サウンド(g, 窓ハンドル);
  g.音_その他 = 読込_サウンド(g, "その他.wav", 3);
  g.音_禁止 = 読込_サウンド(g, "禁止.wav", 3);
  g.音_選択 = 読込_サウンド(g, "選択.wav", 3);
  g.音_駒打音 = 読込_サウンド(g, "駒打音.wav", 3);
  g.音_BGM = 読込_サウンド(g, "BGM.wav", 1);

  // Codes, colours, buttons and geometry are compile-time constants (core/state.h).
  g.終了フラグ = 0;
  for (int 列 = 1; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) g.桝色[列][行] = (列 + 行) % 2 == 0 ? 1 : 2;

  読込_環境設定ファイル(g);
  初期設定(g);
  描画_スコア(g, 0);
  描画_過去最高スコア(g, g.過去最高スコア);
}

void 終了処理(Game& g) {
  for (auto buffer : {g.音_その他, g.音_禁止, g.音_選択, g.音_駒打音, g.音_BGM}) 音_解放(g, buffer);
  終了_サウンド(g);
}

}  // namespace pawnfall
