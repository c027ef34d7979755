// The image at other densities and zooms: pictures drawn for the size, presses mapped back to
// the same squares, and the starting size unchanged to the pixel.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>

#include "app/qt_platform.h"
#include "game/deal.h"
#include "game/turn.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "view/draw.h"

static void register_pictures() { Q_INIT_RESOURCE(resources); }

namespace pawnfall {
namespace {

// A game in mid-chain on the first dealt board, guidance on: pieces in all three looks, white
// and green outlines, the banner, every label and number, and a tile of each kind below the
// board (all but the brick tile, whose mortar is made darker for the score to read).
struct Scene {
  explicit Scene(QtPlatform& platform) : sound(platform), g(platform, sound) {
    register_pictures();
    guidance.setCheckable(true);
    guidance.setChecked(true);
    platform.set_menu_action(MenuItem::SIDOU, &guidance);
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) g.桝色[c][r] = 桝の色(c, r);
    g.背景画 = HAIKEI_TATAMI;
    初期設定(g);
    g.スコア = 1234;
    g.過去最高スコア = 56789;
    画面_再描画(g);
    for (int code : {HAIKEI_MIDORI, HAIKEI_TAKE, HAIKEI_UCHU}) 描画_絵(g, code, code, 13, 0);
    const auto [from, to] = first_capture();
    press(from);
    press(to);
  }

  std::pair<QPoint, QPoint> first_capture() const {
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r)
        for (int c2 = 1; c2 <= 列数; ++c2)
          for (int r2 = 1; r2 <= 行数; ++r2)
            if (同種(g.盤面[c][r], g.盤面[c2][r2]) &&
                移動チェック(g.盤面, c, r, c2, r2, g.盤面[c][r]))
              return {QPoint(c, r), QPoint(c2, r2)};
    return {};
  }
  void press(QPoint square) {
    マウス押下(g, 左ボタン, 盤X(square.x() + 0.5), 盤Y(square.y() + 0.5));
  }

  QAction guidance;
  Sound sound;
  Game g;
};

TEST(StartingSize, TheImageIsPixelForPixelTheOneMadeBeforeTheWindowCouldGrow) {
  QtPlatform platform(QSize(773, 620), 1.0);
  Scene scene(platform);
  ASSERT_EQ(scene.g.選択駒.連鎖数, 2);
  const QImage reference(QStringLiteral(PAWNFALL_SOURCE_DIR "/tests/qt/data/starting_size.png"));
  ASSERT_FALSE(reference.isNull());
  EXPECT_EQ(platform.image().convertToFormat(QImage::Format_RGB32),
            reference.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace pawnfall
