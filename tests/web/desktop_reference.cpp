// The desktop program's side of the browser tests: plans a fixed game of presses on the fake
// platform, plays its first 30 presses in the Qt main window (offscreen) and writes what the
// browser must match: the presses, the client area's images, the settings file's bytes, and the
// menus.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>

#include <cstdio>
#include <fstream>
#include <vector>

#include "app/main_window.h"
#include "game/deal.h"
#include "game/turn.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/qt/menu_tree.h"

namespace pawnfall {
namespace {

struct Press {
  マウスボタン button;
  int x, y;  // pixels of the client area at zoom 1
};

// The middle pixel of a square.
Press on(マウスボタン button, int 列, int 行) {
  return {button, twips_to_pixels(盤左端 + 桝幅 * (列 + 0.5)),
          twips_to_pixels(盤上端 + 桝高 * (行 + 0.5))};
}

void apply(Game& g, const Press& p) {
  マウス押下(g, p.button, pixels_to_twips(p.x), pixels_to_twips(p.y));
}

// The first square, column by column, that extends the chain, or that starts one of two.
std::optional<std::pair<int, int>> next_link(const Game& g) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) {
      if (g.盤面[c][r] == KARA || g.消去対象駒[c][r] == 1) continue;
      if (g.選択状態 != 選択状態型::なし) {
        if (移動チェック_消去対象駒(g, g.選択駒.駒, c, r)) return std::pair(c, r);
        continue;
      }
      for (int c2 = 1; c2 <= 列数; ++c2)
        for (int r2 = 1; r2 <= 行数; ++r2)
          if ((c2 != c || r2 != r) && 同種(g.盤面[c][r], g.盤面[c2][r2]) &&
              移動チェック(g.盤面, c, r, c2, r2, g.盤面[c][r]))
            return std::pair(c, r);
    }
  return std::nullopt;
}

// A square with a piece that the chain cannot take next.
std::optional<std::pair<int, int>> refused(const Game& g) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r)
      if (g.盤面[c][r] != KARA && g.消去対象駒[c][r] == 0 &&
          !移動チェック_消去対象駒(g, g.選択駒.駒, c, r))
        return std::pair(c, r);
  return std::nullopt;
}

// The fixed game: chains committed by the right and the middle button, a cancel, a refused
// piece; then chains of up to five pieces until no capture is left, and one press more.
std::vector<Press> plan() {
  test::FakePlatform platform;
  Sound sound(platform);
  Game g(platform, sound);
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) g.桝色[c][r] = 桝の色(c, r);
  // The same first deal as the program's.
  初期設定(g);
  std::vector<Press> presses;
  auto press = [&](Press p) {
    presses.push_back(p);
    apply(g, p);
  };
  auto chain = [&](int length, マウスボタン commit) {
    for (int i = 0; i < length; ++i) {
      const auto square = next_link(g);
      if (!square) break;
      press(on(左ボタン, square->first, square->second));
    }
    press(on(commit, 1, 1));
  };
  chain(2, 右ボタン);
  chain(3, 中ボタン);
  chain(1, 右ボタン);  // a chain of one: the right button cancels it
  {
    const auto first = next_link(g);
    press(on(左ボタン, first->first, first->second));
    const auto other = refused(g);
    press(on(左ボタン, other->first, other->second));  // refused: the chain is dropped
  }
  while (presses.size() + 3 <= 30) chain(2, presses.size() % 2 ? 中ボタン : 右ボタン);
  while (presses.size() < 30) press(on(左ボタン, 1, 1)), press(on(右ボタン, 1, 1));
  presses.resize(30);
  while (g.終了フラグ == 終了状態::続行中 && presses.size() < 3000) chain(5, 右ボタン);
  press(on(左ボタン, 1, 1));  // after the end: the reminder
  return presses;
}

}  // namespace
}  // namespace pawnfall

int main(int argc, char** argv) {
  using namespace pawnfall;
  if (argc != 2) {
    std::fprintf(stderr, "usage: desktop_reference OUTPUT-FOLDER\n");
    return 2;
  }
  const std::vector<Press> presses = plan();
  QApplication app(argc, argv);
  install_fonts();
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  QDir::setCurrent(out);
  QFile::remove(QStringLiteral("Pawnfall.ini"));
  {
    std::ofstream list("presses.txt");
    for (const Press& p : presses)
      list << static_cast<int>(p.button) << ' ' << p.x << ' ' << p.y << '\n';
  }
  MainWindow window;
  window.platform().image().save(QStringLiteral("first.png"));
  {
    std::ofstream menus("menus.txt");
    menus << test::menu_tree(window.menuBar()).toStdString();
  }
  for (std::size_t i = 0; i < 30; ++i) {
    apply(window.game(), presses[i]);
    if (i == 2) window.platform().image().save(QStringLiteral("after3.png"));
  }
  window.platform().image().save(QStringLiteral("after30.png"));
  QFile::copy(QStringLiteral("Pawnfall.ini"), QStringLiteral("after30.ini"));
  // Two menu commands on that file: a tile and the movement guide.
  window.action(MenuItem::TAKE)->trigger();
  window.action(MenuItem::SIDOU)->trigger();
  QFile::copy(QStringLiteral("Pawnfall.ini"), QStringLiteral("menus.ini"));
  return 0;
}
