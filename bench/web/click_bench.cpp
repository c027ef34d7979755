// The worst-case click in the browser: the right-button press that commits the 150-piece chain,
// drawn on the page's canvas through the page's own platform. The pauses are counted, not
// waited, as in the desktop benchmarks; the figures go to the page for bench/web_bench.py.
#include <emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/bench_boards.h"
#include "game/lifecycle.h"
#include "sound/sound.h"
#include "web/bridge.h"
#include "web/web_platform.h"

// The benchmark's own way out, to bench/web_bench.py; all else crosses by the page's bridge.
EM_JS(void, js_report, (const char* json), { document.body.dataset.bench = UTF8ToString(json); });

namespace pawnfall {
namespace {

class BenchPlatform : public WebPlatform {
 public:
  void wait(double) override { ++waits; }
  void message_box(std::string_view, std::string_view, MessageIcon) override { ++boxes; }
  // Building the chain is set-up: its 150 presses' drawing is left out.
  void paint_picture(Picture p, double x, double y) override {
    if (drawing) WebPlatform::paint_picture(p, x, y);
  }
  void draw_outline(int colour, double x1, double y1, double x2, double y2) override {
    if (drawing) WebPlatform::draw_outline(colour, x1, y1, x2, y2);
  }
  void print_text(double x, double y, std::string_view text, std::string_view face, int points,
                  int colour) override {
    if (drawing) WebPlatform::print_text(x, y, text, face, points, colour);
  }
  int waits = 0, boxes = 0;
  bool drawing = true;
};

}  // namespace
}  // namespace pawnfall

// Run by the page as the game's start is.
extern "C" EMSCRIPTEN_KEEPALIVE void web_start() {
  using namespace pawnfall;
  BenchPlatform platform;
  Sound sound(platform);
  Game g(platform, sound);
  js_load_pictures(platform.set_layout(js_area_width(), js_area_height(), js_device_pixel_ratio()));
  platform.set_layout(js_area_width(), js_area_height(), js_device_pixel_ratio());
  起動処理_画面(g);
  const auto order = bench::最悪の盤を並べる(g);
  const auto board = g.盤面;
  std::vector<double> times;
  int removed = 0;
  // The first commits run while the browser still compiles the WebAssembly's optimised code in
  // the background: the first is reported alone, the next ten are not counted.
  constexpr int kWarmUp = 11, kRuns = 21;
  double first = 0;
  for (int run = 0; run < kWarmUp + kRuns; ++run) {
    bench::新しい局面(g, board);
    platform.drawing = false;
    bench::連鎖を組む(g, order);
    platform.drawing = true;
    removed = g.選択駒.連鎖数;
    platform.waits = 0;
    const double start = emscripten_get_now();
    bench::押す(g, 右ボタン, 1, 1);
    platform.flush();  // as the page's press ends
    const double took = emscripten_get_now() - start;
    if (run == 0) first = took;
    if (run >= kWarmUp) times.push_back(took);
  }
  std::sort(times.begin(), times.end());
  js_report(("{\"median_ms\":" + std::to_string(times[times.size() / 2]) +
             ",\"fastest_ms\":" + std::to_string(times.front()) +
             ",\"first_ms\":" + std::to_string(first) + ",\"removed\":" + std::to_string(removed) +
             ",\"waits\":" + std::to_string(platform.waits) +
             ",\"ended\":" + std::to_string(g.終了フラグ == 終了状態::終了) + "}")
                .c_str());
}
