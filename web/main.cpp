// Pawnfall in a browser: owns the game and runs the procedures the page's events ask for, one at
// a time in the order they came (the page queues them while one runs).
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/fit.h"
#include "game/lifecycle.h"
#include "game/menu.h"
#include "game/settings.h"
#include "game/turn.h"
#include "model/pictures.h"
#include "sound/sound.h"
#include "web/bridge.h"
#include "web/web_platform.h"

namespace pawnfall {
namespace {

// The waves come from the page, which fetched them after the first frame.
WaveFile page_wave(std::string_view name) {
  const std::string n(name);
  const int size = js_wave_size(n.c_str());
  if (size < 0) return {};
  WaveFile file{
      WaveFile::Status::Read, {}, std::vector<unsigned char>(static_cast<std::size_t>(size))};
  js_wave_read(n.c_str(), file.bytes.data(), size);
  return file;
}

struct Program {
  WebPlatform platform;
  Sound sound{platform, page_wave};
  Game game{platform, sound};
  bool shut_down = false;
};

Program& program() {
  static Program p;
  return p;
}

}  // namespace
}  // namespace pawnfall

using namespace pawnfall;

extern "C" {

// Sizes the canvas to the page's area and draws it again; answers the picture set wanted.
EMSCRIPTEN_KEEPALIVE int web_layout(double width, double height, double ratio) {
  Program& p = program();
  const int set = p.platform.set_layout(width, height, ratio);
  p.platform.flush();
  return set;
}

// A press at css pixels of the canvas, with the button's code as the page was handed it.
EMSCRIPTEN_KEEPALIVE void web_press(int button, double x, double y) {
  Program& p = program();
  if (p.shut_down) return;
  const auto [tx, ty] = p.platform.press_twips(x, y);
  マウス押下(p.game, static_cast<マウスボタン>(button), tx, ty);
  p.platform.flush();
}

// A menu entry chosen, by the command the page was handed with it.
EMSCRIPTEN_KEEPALIVE void web_menu(int command) {
  Program& p = program();
  if (p.shut_down) return;
  if (const auto chosen = メニュー_命令から(command)) メニュー_実行(p.game, *chosen);
  p.platform.flush();
}

// After the first frame, once the page has fetched the waves.
EMSCRIPTEN_KEEPALIVE void web_start_sound() {
  Program& p = program();
  if (!p.shut_down) 起動処理_サウンド(p.game, 0);
  p.platform.flush();
}

// Another tab of the site has written to the storage: it may have lowered the best.
EMSCRIPTEN_KEEPALIVE void web_settings_changed() {
  Program& p = program();
  if (!p.shut_down) 最高スコアを守る(p.game);
}

EMSCRIPTEN_KEEPALIVE void web_shut_down() {
  Program& p = program();
  if (p.shut_down) return;
  p.shut_down = true;
  終了処理(p.game);
}

// The game's start, which the page runs as soon as the code is ready. It is no main(): the
// loader ends a main() that returns by throwing, which cost the first frame a millisecond.
EMSCRIPTEN_KEEPALIVE void web_start() {
  Program& p = program();
  // The game starts while the pictures of the first frame's density come, and draws it all
  // again once they are there; nothing is put on the canvas before.
  const double width = js_area_width(), height = js_area_height(), ratio = js_device_pixel_ratio();
  p.platform.start_pictures(
      picture_set(fit_screen(width, height, ratio, 画面幅画素, 画面高画素).scale));
  p.platform.set_layout(width, height, ratio);
  起動処理_画面(p.game);
  p.platform.await_pictures();
  p.platform.flush();
  // The page fetches the waves after the first frame, by the names the game asks for them under.
  for (const auto& s : 音源表)
    js_name_sound(std::string(s.ファイル名).c_str(), static_cast<int>(s.種類));
  js_started();
}

}  // extern "C"
