// Times of the game's heavy moments on the recording fake platform with its virtual clock.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>

#include "bench/bench_boards.h"
#include "game/deal.h"
#include "model/platform.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "view/redraw.h"

namespace pawnfall::bench {
namespace {

using Clock = std::chrono::steady_clock;
using test::FakePlatform;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A game as start-up leaves it: shades set and a board dealt from the fixed seed.
void 配る(Game& g) {
  桝色を設定(g);
  初期設定(g);
}

// The right-button press that commits the heaviest chain: removal, six falling steps, five
// column close-ups, clearing the marks and points, the end-of-game test finding nothing, and
// every picture, outline and text drawn on the way. Building the chain (150 left presses) is
// set-up and not timed. The fake records every drawing call, which costs more than the
// game's own logic; the Qt figure of the same press is in qt_bench.cpp.
void BM_WorstCaseCommit(benchmark::State& state) {
  FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  桝色を設定(g);
  const auto order = 最悪の盤を並べる(g);
  const auto board = g.盤面;
  int removed = 0, waits = 0, ended = 0;
  std::size_t pictures = 0, outlines = 0, texts = 0;
  for (auto _ : state) {
    新しい局面(g, board);
    連鎖を組む(g, order);
    platform.clear_drawing();
    platform.waits = 0;
    const auto start = Clock::now();
    押す(g, 右ボタン, 1, 1);
    state.SetIterationTime(seconds_since(start));
    removed = g.選択駒.連鎖数;
    waits = platform.waits;
    ended = g.終了フラグ == 終了状態::終了;
    pictures = platform.paints.size();
    outlines = platform.outlines.size();
    texts = platform.texts.size();
  }
  if (removed != static_cast<int>(order.size()) || ended != 1)
    state.SkipWithError("the constructed chain did not commit as planned");
  state.counters["pieces"] = removed;
  state.counters["steps"] = waits;
  state.counters["pictures"] = static_cast<double>(pictures);
  state.counters["outlines"] = static_cast<double>(outlines);
  state.counters["texts"] = static_cast<double>(texts);
  state.counters["game_over"] = ended;
}
BENCHMARK(BM_WorstCaseCommit)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A first press with move guidance on: marked look, black outline, all 240 outlines redrawn,
// the move test against every square with frames where it allows, and the points display.
// The presses walk over every square of a dealt board; the cancelling press is not timed.
void BM_GuidanceClick(benchmark::State& state) {
  FakePlatform platform;
  platform.checks[MenuItem::SIDOU] = true;
  Sound sound{platform};
  Game g{platform, sound};
  配る(g);
  int square = 0;
  for (auto _ : state) {
    const int 列 = square % 列数 + 1, 行 = square / 列数 % 行数 + 1;
    ++square;
    platform.clear_drawing();
    const auto start = Clock::now();
    押す(g, 左ボタン, 列, 行);
    state.SetIterationTime(seconds_since(start));
    押す(g, 右ボタン, 列, 行);  // a one-piece chain: cancelled, ready for the next press
  }
}
BENCHMARK(BM_GuidanceClick)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The full redraw of a new game or a background change: 591 tiles, 240 squares with their
// outlines, the banner and both score displays, as the fake records them.
void BM_FullRedraw(benchmark::State& state) {
  FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  配る(g);
  for (auto _ : state) {
    platform.clear_drawing();
    const auto start = Clock::now();
    画面_再描画(g);
    state.SetIterationTime(seconds_since(start));
  }
  state.counters["pictures"] = static_cast<double>(platform.paints.size());
  state.counters["outlines"] = static_cast<double>(platform.outlines.size());
  state.counters["texts"] = static_cast<double>(platform.texts.size());
}
BENCHMARK(BM_FullRedraw)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pawnfall::bench
