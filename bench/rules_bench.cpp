// Costs of the end-of-game test on its worst boards, a chain-link test and a guidance call.
#include <benchmark/benchmark.h>

#include <array>

#include "model/rules.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "view/guidance.h"

namespace pawnfall {
namespace {

// Knight, bishop and queen columns in turn: a full board on which no piece takes its own kind,
// so the test must look at every piece.
void no_capture_board(Game& g) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) {
      const int pair = (c - 1) % 3;
      g.盤面[c][r] =
          (r % 2 ? std::array{W_NIGT, W_BSHO, W_QUIN} : std::array{B_NIGT, B_BSHO, B_QUIN})[pair];
    }
}

// Rooks on distinct rows and columns and bishops along the bottom row, on an otherwise empty
// board: few pieces, but the longest free walks and still no capture.
void sparse_sliders_board(Game& g) {
  g.盤面 = {};
  for (int k = 1; k <= 10; ++k) {
    g.盤面[2 * k][k] = k % 2 ? W_ROOK : B_ROOK;
    g.盤面[2 * k - 1][行数] = k % 2 ? W_BSHO : B_BSHO;
  }
}

void BM_ContinuationNoCaptureFullBoard(benchmark::State& state) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  no_capture_board(g);
  if (チェック_継続可能(g)) state.SkipWithError("the board has a capture");
  for (auto _ : state) benchmark::DoNotOptimize(チェック_継続可能(g));
}
BENCHMARK(BM_ContinuationNoCaptureFullBoard);

void BM_ContinuationOnlyCaptureFoundLast(benchmark::State& state) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  no_capture_board(g);
  // The last square of the scan is a pawn under a pawn; nothing else captures.
  g.盤面[列数][行数 - 1] = W_PORN;
  g.盤面[列数][行数] = B_PORN;
  if (!チェック_継続可能(g)) state.SkipWithError("the board has no capture");
  for (auto _ : state) benchmark::DoNotOptimize(チェック_継続可能(g));
}
BENCHMARK(BM_ContinuationOnlyCaptureFoundLast);

void BM_ContinuationSparseSliders(benchmark::State& state) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  sparse_sliders_board(g);
  if (チェック_継続可能(g)) state.SkipWithError("the board has a capture");
  for (auto _ : state) benchmark::DoNotOptimize(チェック_継続可能(g));
}
BENCHMARK(BM_ContinuationSparseSliders);

void BM_ChainLinkWith240Marks(benchmark::State& state) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  // Every square a marked rook, except three pawns that fence in the bottom-right rook, which
  // therefore no marked piece reaches: the test visits all 240 marks and answers no.
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) {
      g.盤面[c][r] = W_ROOK;
      g.消去対象駒[c][r] = 1;
    }
  g.盤面[列数 - 1][行数] = g.盤面[列数 - 1][行数 - 1] = g.盤面[列数][行数 - 1] = B_PORN;
  if (移動チェック_消去対象駒(g, B_ROOK, 列数, 行数)) state.SkipWithError("a mark reaches it");
  for (auto _ : state) benchmark::DoNotOptimize(移動チェック_消去対象駒(g, B_ROOK, 列数, 行数));
}
BENCHMARK(BM_ChainLinkWith240Marks);

void BM_GuidanceCallWithDrawing(benchmark::State& state) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  g.盤面 = {};
  // A queen in the middle of an empty board but for her corners: the longest diagonal walks.
  g.盤面[10][6] = W_QUIN;
  for (auto [c, r] : std::array<std::array<int, 2>, 4>{{{5, 1}, {15, 1}, {4, 12}, {16, 12}}})
    g.盤面[c][r] = B_ROOK;
  platform.set_checked(MenuItem::SIDOU, true);
  for (auto _ : state) {
    platform.clear_drawing();
    描画_移動可能桝色(g, 10, 6, 色_白, W_QUIN);
  }
  state.counters["hints"] = static_cast<double>(platform.outlines.size()) - 列数 * 行数;
}
BENCHMARK(BM_GuidanceCallWithDrawing);

}  // namespace
}  // namespace pawnfall
