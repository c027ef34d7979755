// Times of the full redraw and the heavy presses painting a real Qt window, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWindow>

#include <chrono>

#include "app/main_window.h"
#include "app/qt_platform.h"
#include "bench/bench_boards.h"
#include "game/deal.h"
#include "game/settings.h"
#include "sound/sound.h"
#include "view/redraw.h"

namespace pawnfall::bench {
namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The real drawing, menus left out, with the animation's pauses counted instead of slept:
// the targets are for the work of a press, not for the pauses the player is meant to see.
class NoPausePlatform : public QtPlatform {
 public:
  explicit NoPausePlatform(double zoom) : QtPlatform(QSize(窓幅画素, 窓高画素), 1.0, zoom) {}
  void wait(double) override { ++waits; }
  // The game-over box would wait for a player; here it is only counted.
  void message_box(std::string_view, std::string_view, MessageIcon) override { ++messages; }
  bool checked(MenuItem item) const override { return item == MenuItem::SIDOU && guidance; }
  int waits = 0;
  int messages = 0;
  bool guidance = false;
};

// A platform with a shown widget as its surface, so each animation step's present() repaints
// a window as in the program (on the offscreen platform its backing store is memory). The
// window is enlarged `zoom` times, as a player may on a large screen (the offscreen screen's
// device pixel ratio is 1, so the zoom is the density too).
struct Window {
  NoPausePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  BoardView view{platform.drawing(), [](マウスボタン, double, double) {}, QSize(窓幅画素, 窓高画素),
                 nullptr};
  explicit Window(bool shown = true, int zoom = 1) : platform(zoom) {
    view.resize(QSize(窓幅画素, 窓高画素) * zoom);
    if (shown) {
      view.show();
      // Until it is exposed, a window takes no repaint: nothing would be painted.
      while (view.windowHandle() == nullptr || !view.windowHandle()->isExposed())
        QCoreApplication::processEvents();
      platform.set_surface(&view);
    }
    桝色を設定(g);
    初期設定(g);
  }
};

// The drawing is painted where it is shown: each redraw, and whatever a timed press drew after
// its last animation step, is shown on the window inside the timing.
void BM_QtFullRedraw(benchmark::State& state) {
  Window w(true, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    画面_再描画(w.g);
    w.platform.present();
  }
}
BENCHMARK(BM_QtFullRedraw)->ArgName("zoom")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// A new zoom, as while the player drags the window's edge: everything drawn so far painted at
// the new size on an image of that size, once per frame shown. Each iteration steps
// the zoom down or back up by a 34th, the smallest step it takes (zoom:115 is 115/34, a 4K
// screen's height); the pictures' set stays, so only their sizes are made again.
void BM_QtNewZoom(benchmark::State& state) {
  Window w(false);
  const double zoom = static_cast<double>(state.range(0)) / 34;
  bool down = false;
  for (auto _ : state) {
    down = !down;
    w.platform.drawing().rescale(1.0, zoom - (down ? 1.0 / 34 : 0));
    benchmark::DoNotOptimize(w.platform.image().constBits());
  }
}
BENCHMARK(BM_QtNewZoom)
    ->ArgName("zoom")
    ->Arg(68)
    ->Arg(102)
    ->Arg(115)
    ->Unit(benchmark::kMicrosecond);

// The shown window is repainted at each animation step as the program does. save:1 starts from a
// best score of 0, so the commit also saves the settings file (atomically, with a flush to disk);
// save:0 starts from a best score it cannot beat.
void BM_QtWorstCaseCommit(benchmark::State& state) {
  Window w(true, static_cast<int>(state.range(1)));
  const double best = state.range(0) == 1 ? 0 : 1e300;
  const auto order = 最悪の盤を並べる(w.g);
  const auto board = w.g.盤面;
  // The chain is built once with presses; each iteration restores the state they left, as
  // 150 presses with their guidance outlines would take far longer than the commit itself.
  新しい局面(w.g, board);
  画面_再描画(w.g);
  連鎖を組む(w.g, order);
  w.platform.present();
  const auto marks = w.g.消去対象駒;
  const auto chain = w.g.選択駒;
  int removed = 0, waits = 0, ended = 0;
  for (auto _ : state) {
    新しい局面(w.g, board);
    w.g.消去対象駒 = marks;
    w.g.選択駒 = chain;
    w.g.選択状態 = 選択状態型::連鎖中;
    w.g.過去最高スコア = best;
    w.platform.waits = 0;
    const auto start = Clock::now();
    押す(w.g, 右ボタン, 1, 1);
    w.platform.present();
    state.SetIterationTime(seconds_since(start));
    removed = w.g.選択駒.連鎖数;
    waits = w.platform.waits;
    ended = w.g.終了フラグ == 終了状態::終了;
  }
  if (removed != static_cast<int>(order.size()) || ended != 1)
    state.SkipWithError("the constructed chain did not commit as planned");
  state.counters["pieces"] = removed;
  state.counters["steps"] = waits;
}
BENCHMARK(BM_QtWorstCaseCommit)
    ->ArgNames({"save", "zoom"})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({0, 3})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_QtGuidanceClick(benchmark::State& state) {
  Window w;
  w.platform.guidance = true;
  int square = 0;
  for (auto _ : state) {
    const int 列 = square % 列数 + 1, 行 = square / 列数 % 行数 + 1;
    ++square;
    const auto start = Clock::now();
    押す(w.g, 左ボタン, 列, 行);
    w.platform.present();
    state.SetIterationTime(seconds_since(start));
    押す(w.g, 右ボタン, 列, 行);
    w.platform.present();
  }
}
BENCHMARK(BM_QtGuidanceClick)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The settings file alone, as a commit that raises the best score writes it: Shift_JIS text
// replaced atomically in the current directory (a fresh temporary one).
void BM_QtSettingsWrite(benchmark::State& state) {
  Window w;
  for (auto _ : state) 書込_環境設定ファイル(w.g);
}
BENCHMARK(BM_QtSettingsWrite)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pawnfall::bench

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pawnfall::register_pictures();
  pawnfall::install_fonts();
  // A commit that raises the best score saves the settings file in the current directory.
  QTemporaryDir scratch;
  if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) return 1;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
