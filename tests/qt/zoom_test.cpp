// The image at other densities and zooms: pictures drawn for the size, presses mapped back to
// the same squares, what was drawn kept through a change of zoom, and the starting size
// unchanged to the pixel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <functional>
#include <optional>
#include <tuple>

#include "app/board_view.h"
#include "app/main_window.h"
#include "app/qt_palette.h"
#include "app/qt_platform.h"
#include "drawing/fit.h"
#include "game/deal.h"
#include "game/turn.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "tests/qt/temporary_directory.h"
#include "tests/unit/play_helpers.h"
#include "view/draw.h"
#include "view/redraw.h"
#include "view/score.h"

namespace pawnfall {
namespace {

const QSize kStart(窓幅画素, 窓高画素);

// The first capture on the board, as squares.
std::pair<QPoint, QPoint> first_capture(const Game& g) {
  const auto [from, to] = test::最初の取り(g);
  return {QPoint(from.first, from.second), QPoint(to.first, to.second)};
}
// A game in mid-chain on the first dealt board, guidance on: pieces in all three looks, white
// and green outlines, the banner, every label and number, and a tile of each kind below the
// board (all but the brick tile, which was redrawn for the score to read on it).
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
    const auto [from, to] = first_capture(g);
    press(from);
    press(to);
  }

  void press(QPoint square) {
    マウス押下(g, 左ボタン, 盤X(square.x() + 0.5), 盤Y(square.y() + 0.5));
  }

  QAction guidance;
  Sound sound;
  Game g;
};

QImage rgb32(const QImage& image) {
  QImage out = image.convertToFormat(QImage::Format_RGB32);
  out.setDevicePixelRatio(1);
  return out;
}

QImage reference() {
  return rgb32(QImage(QStringLiteral(PAWNFALL_SOURCE_DIR "/tests/qt/data/starting_size.png")));
}

TEST(StartingSize, TheImageIsPixelForPixelTheOneMadeBeforeTheWindowCouldGrow) {
  QtPlatform platform(kStart, 1.0);
  Scene scene(platform);
  ASSERT_EQ(scene.g.選択駒.連鎖数, 2);
  const QImage expected = reference();
  ASSERT_FALSE(expected.isNull());
  EXPECT_EQ(rgb32(platform.image()), expected);
}

struct Density {
  double ratio, zoom;
};

// The part of the image at a twips position, of a size in pixels of the starting window.
QImage block(const QImage& image, double x, double y, QSize natural, double scale) {
  return rgb32(image).copy(twips_to_pixels(x, scale), twips_to_pixels(y, scale),
                           qRound(natural.width() * scale), qRound(natural.height() * scale));
}

QImage picture(const char* name, int set) {
  register_pictures();
  return rgb32(QImage(picture_file(QLatin1String(name), set)));
}

// A piece at twice, three times and one and a half times the size is the drawing made for
// that density (the half-way one the 2x drawing made smaller), never the 1x drawing enlarged;
// in a shrunk window, the nearest denser drawing made smaller.
TEST(Density, APieceIsTheDrawingOfItsDensityNotTheSmallOneEnlarged) {
  const struct {
    Density density;
    int set;
  } cases[] = {{{2, 1}, 2},   {{1, 3}, 3},   {{1, 1.5}, 2},
               {{2, 1.5}, 3}, {{1, 0.5}, 1}, {{1.25, 0.9}, 2}};
  for (const auto& [d, set] : cases) {
    const double scale = d.ratio * d.zoom;
    SCOPED_TRACE(::testing::Message() << "ratio " << d.ratio << ", zoom " << d.zoom);
    QtPlatform platform(kStart, d.ratio, d.zoom);
    Sound sound{platform};
    Game g{platform, sound};
    描画_絵(g, W_NIGT, 5, 5, 1);
    const QImage drawn = block(platform.image(), 盤X(5), 盤Y(5), QSize(35, 35), scale);
    const QSize size = drawn.size();
    EXPECT_EQ(size, QSize(35, 35) * scale);
    EXPECT_EQ(
        drawn,
        picture("W_NIGT_1", set).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    EXPECT_NE(drawn,
              picture("W_NIGT_1", 1).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
  }
}

// Every device pixel that a square's picture paints and no later square covers selects that
// square, at every density and in odd window sizes, through the window's and the page's use of
// the one fit (each hands it the pressed position in its own pixels times the density).
TEST(Presses, EveryDevicePixelOfASquareSelectsThatSquare) {
  const QSize content(窓幅画素, 595);
  const QSize sizes[] = {content, QSize(1201, 1003), QSize(2319 + 101, 1785 + 3), QSize(501, 401),
                         QSize(773, 561), QSize(939, 509), QSize(499, 349),
                         // phones, where the page leaves the margins out
                         QSize(754, 390), QSize(390, 700)};
  for (const double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
    for (const QSize widget : sizes) {
      const BoardView::Layout window = BoardView::fit(widget, content, ratio);
      const Fit page =
          fit_screen(widget.width(), widget.height(), ratio, content.width(), content.height());
      SCOPED_TRACE(::testing::Message()
                   << "ratio " << ratio << ", " << widget.width() << "x" << widget.height());
      const struct {
        double scale;
        int x, y;
        std::function<std::pair<double, double>(double, double)> press;
      } uses[] = {{window.scale, window.offset.x(), window.offset.y(),
                   [&](double x, double y) {
                     const QPointF t = BoardView::press_twips(QPointF(x, y), window, ratio);
                     return std::pair(t.x(), t.y());
                   }},
                  {page.scale, page.x, page.y,
                   [&](double x, double y) { return press_twips(page, x * ratio, y * ratio); }}};
      for (const auto& use : uses) {
        // Along a row and down a column: a square's pixels run from its picture's edge to the
        // next square's, which paints over the rest.
        for (int 列 = 1; 列 <= 列数; ++列)
          for (int x = twips_to_pixels(盤X(列), use.scale) + use.x;
               x < twips_to_pixels(盤X(列 + 1), use.scale) + use.x; ++x)
            ASSERT_EQ(列番号(use.press(x / ratio, 0).first), 列) << "device pixel " << x;
        for (int 行 = 1; 行 <= 行数; ++行)
          for (int y = twips_to_pixels(盤Y(行), use.scale) + use.y;
               y < twips_to_pixels(盤Y(行 + 1), use.scale) + use.y; ++y)
            ASSERT_EQ(行番号(use.press(0, y / ratio).second), 行) << "device pixel " << y;
      }
    }
  }
}

// The zoom stays 1 wherever the starting size fits; below it, steps of a 34th of a device pixel
// per pixel, down to about half and no further.
TEST(Presses, AWidgetSmallerThanTheStartShowsTheDrawingSmallerDownToAboutHalf) {
  const QSize c(窓幅画素, 595);
  const std::tuple<double, QSize, double> cases[] = {{1, c, 1},
                                                     {1.25, c, 1},
                                                     {1, c / 2, 0.5},
                                                     {1, c / 4, 0.5},
                                                     {1.25, c / 4, 21.0 / 34 / 1.25},
                                                     {2, c / 2, 0.5},
                                                     {1, QSize(700, 595), 30.0 / 34}};
  for (const auto& [ratio, widget, zoom] : cases)
    EXPECT_DOUBLE_EQ(BoardView::fit(widget, c, ratio).zoom, zoom)
        << widget.width() << " at " << ratio;
}

// The same through a real widget and its mouse events, enlarged one and a half and three times
// with room to spare around the image.
TEST(Presses, TheEnlargedWidgetHandsTheGameThePressedSquare) {
  const QSize content(窓幅画素, 595);
  for (const QSize size : {QSize(1200, 1000), QSize(2319 + 101, 1785 + 3)}) {
    QtPlatform platform(kStart, 1.0);
    std::optional<QPoint> pressed;
    BoardView view(
        platform.drawing(),
        [&](マウスボタン, double x, double y) { pressed = QPoint(列番号(x), 行番号(y)); }, content,
        nullptr);
    view.resize(size);
    const BoardView::Layout layout = view.layout();
    ASSERT_GT(layout.zoom, 1.4);
    const double scale = layout.zoom;
    for (const QPoint square : {QPoint(1, 1), QPoint(20, 12), QPoint(7, 10)}) {
      const int left = twips_to_pixels(盤X(square.x()), scale) + layout.offset.x();
      const int bottom = twips_to_pixels(盤Y(square.y() + 1), scale) + layout.offset.y() - 1;
      for (const QPoint at : {QPoint(left, bottom), QPoint(left - 1, bottom + 1)}) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), view.mapToGlobal(QPointF(at)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
        ASSERT_TRUE(pressed);
        const QPoint expected = at.x() == left ? square : square + QPoint(-1, 1);
        EXPECT_EQ(*pressed, expected) << "zoom " << scale;
      }
    }
    EXPECT_EQ(platform.drawing().zoom(), layout.zoom);
  }
}

// A new zoom paints again what the window showed, a chain's marks, guidance and points
// included: the image is the one drawn at that zoom from the start, and back at the starting
// size it is the reference again. The game is not asked to draw anything.
TEST(Zoom, ANewZoomShowsWhatWasDrawnMidChainAndTheStartingSizeAgainAfterIt) {
  QtPlatform platform(kStart, 1.0);
  Scene scene(platform);
  ASSERT_GT(scene.g.選択駒.追加点数, 0);
  platform.image();
  for (const Density d : {Density{1, 2}, Density{1, 1.5}, Density{2, 1.5}, Density{1, 0.5},
                          Density{1.25, 21.0 / 34 / 1.25}}) {
    SCOPED_TRACE(::testing::Message() << "ratio " << d.ratio << ", zoom " << d.zoom);
    platform.drawing().rescale(d.ratio, d.zoom);
    QtPlatform fresh(kStart, d.ratio, d.zoom);
    Scene again(fresh);
    EXPECT_EQ(rgb32(platform.image()), rgb32(fresh.image()));
  }
  platform.drawing().rescale(1, 1);
  EXPECT_EQ(rgb32(platform.image()), reference());
}

// A platform that paints every single operation onto a screen of its own as it comes, only
// what was new each time, as a window shown after each operation would.
class EagerPlatform : public QtPlatform {
 public:
  EagerPlatform(QSize size, double ratio, double zoom)
      : QtPlatform(size, ratio, zoom), screen(drawing().device_size(), QImage::Format_RGB32) {}
  void paint_picture(Picture p, double x, double y) override {
    QtPlatform::paint_picture(p, x, y);
    show();
  }
  void draw_outline(int colour, double x1, double y1, double x2, double y2) override {
    QtPlatform::draw_outline(colour, x1, y1, x2, y2);
    show();
  }
  void print_text(double x, double y, std::string_view text, std::string_view face, int points,
                  int colour) override {
    QtPlatform::print_text(x, y, text, face, points, colour);
    show();
  }
  void show() {
    const QRect drawn = drawing().take_drawn();
    QPainter painter(&screen);
    drawing().paint_new_on(screen, painter, QPoint(0, 0), drawn);
  }
  QImage screen;
};

// Painting a whole redraw at once leaves out the parts of pictures that later ones cover, and
// painting only what is new leaves what is there: at every density both must give the picture
// of painting each operation as it comes.
TEST(Zoom, PaintingARedrawAtOnceLeavesTheSamePictureAsPaintingEachOperation) {
  for (const Density d : {Density{1, 1}, Density{1, 1.5}, Density{2, 1.5}, Density{1.25, 1},
                          Density{1, 0.5}, Density{1.25, 30.0 / 34 / 1.25}}) {
    SCOPED_TRACE(::testing::Message() << "ratio " << d.ratio << ", zoom " << d.zoom);
    QtPlatform batched(kStart, d.ratio, d.zoom);
    EagerPlatform eager(kStart, d.ratio, d.zoom);
    Scene a(batched), b(eager);
    EXPECT_EQ(rgb32(batched.image()), rgb32(eager.screen));
  }
}

// What is kept to paint again stays about one full redraw, however long the play: a later
// operation that paints over an earlier one entirely replaces it, and is dropped in time.
TEST(Zoom, WhatIsKeptToPaintAgainStaysAboutOneFullRedraw) {
  QtPlatform platform(kStart, 1.0);
  Scene scene(platform);
  Game& g = scene.g;
  画面_再描画(g);
  const std::size_t one_redraw = platform.drawing().recorded();
  for (int i = 0; i < 400; ++i) {
    描画_追加点数(g, std::ldexp(1.0, i % 60));
    消去_追加点数(g, 追加点数の行);
    描画_スコア(g, i * 7);
    描画_過去最高スコア(g, i * 9);
    描画_絵(g, W_ROOK, i % 列数 + 1, i % 行数 + 1, 0);
    描画_将棋盤桝(g);
    if (i % 100 == 99) 画面_再描画(g);
    platform.present();
  }
  EXPECT_LE(platform.drawing().recorded(), one_redraw + 10);
  // Nor do the ones painted over pile up behind them.
  EXPECT_LT(platform.drawing().held(), 2 * one_redraw + 4096);
}

using WindowAtZoom = test::InTemporaryDirectory;

// At its starting size the window shows the drawing as it is, on its way to the screen (its
// backing store, painted straight onto below the menu bar) and on any other device; enlarged,
// the drawing at the new zoom, centred, with its background continued around it.
TEST_F(WindowAtZoom, TheStartingWindowShowsTheDrawingAsItIsAndALargerOneTheDrawingCentred) {
  MainWindow w;
  w.show();
  EXPECT_EQ(w.size(), kStart);
  BoardView* view = w.board_view();
  const QSize content(窓幅画素, 窓高画素 - w.menuBar()->height());
  ASSERT_EQ(view->size(), content);
  const QImage drawing = rgb32(w.platform().image()).copy(QRect(QPoint(0, 0), content));
  EXPECT_EQ(rgb32(view->grab().toImage()), drawing);
  while (!w.windowHandle()->isExposed()) QApplication::processEvents();
  view->repaint();
  EXPECT_EQ(rgb32(w.screen()->grabWindow(w.winId()).toImage()).copy(view->geometry()), drawing);
  // A device that is no image, such as a recording for a printer, takes the drawing as one.
  QPicture recording;
  view->render(&recording);
  QImage replayed(content, QImage::Format_RGB32);
  {
    QPainter painter(&replayed);
    painter.drawPicture(0, 0, recording);
  }
  EXPECT_EQ(replayed, drawing);

  // Twice as high, and wider than that.
  w.resize(窓幅画素 * 2 + 40, 窓高画素 + content.height());
  QApplication::processEvents();
  const QImage shown = rgb32(view->grab().toImage());
  const BoardView::Layout layout = view->layout();
  EXPECT_EQ(layout.zoom, 2);
  EXPECT_EQ(w.platform().drawing().scale(), 2);
  const QRect image(layout.offset, content * 2);
  EXPECT_EQ(image.left(), (view->width() - image.width()) / 2);
  EXPECT_EQ(shown.copy(image), rgb32(w.platform().image()).copy(QRect(QPoint(0, 0), content * 2)));
  // Around it, its own background continued: the bands left and right of it are the tiles a
  // square's pitch (68 device pixels) inside it, beside the board's rows.
  const int pitch = 68, band = image.left(), row = twips_to_pixels(盤Y(6), 2);
  ASSERT_GT(band, 0);
  EXPECT_EQ(shown.copy(0, row, band, 1), shown.copy(pitch, row, band, 1));
  EXPECT_EQ(shown.copy(shown.width() - band, row, band, 1),
            shown.copy(shown.width() - band - pitch, row, band, 1));
  for (const QPoint at : {QPoint(0, 0), QPoint(shown.width() - 1, shown.height() - 1)})
    EXPECT_NE(shown.pixel(at), palette_colour(色_背景).rgb());
}

// Presses and an animated commit paint only what they drew onto the backing store, over what
// is there already, unless the store is cleared where it is painted (as a translucent window's
// is): either way it must then hold the drawing as a whole painting gives it.
TEST_F(WindowAtZoom, AfterPressesAndACommitTheBackingStoreHoldsTheDrawing) {
  for (const bool translucent : {false, true}) {
    SCOPED_TRACE(translucent ? "translucent" : "opaque");
    MainWindow w;
    w.setAttribute(Qt::WA_TranslucentBackground, translucent);
    w.show();
    while (!w.windowHandle()->isExposed()) QApplication::processEvents();
    BoardView* view = w.board_view();
    const Game& g = w.game();
    auto click = [&](Qt::MouseButton button, QPoint square) {
      const QPoint at(twips_to_pixels(盤X(square.x() + 0.5), 1),
                      twips_to_pixels(盤Y(square.y() + 0.5), 1));
      QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), view->mapToGlobal(QPointF(at)),
                        button, button, Qt::NoModifier);
      QCoreApplication::sendEvent(view, &event);
      QApplication::processEvents();
    };
    const auto [from, to] = first_capture(g);
    ASSERT_NE(from, to);
    click(Qt::LeftButton, from);
    click(Qt::LeftButton, to);
    click(Qt::RightButton, to);
    ASSERT_GT(g.スコア, 0) << "the chain was not committed";
    const QImage store = rgb32(w.screen()->grabWindow(w.winId()).toImage()).copy(view->geometry());
    EXPECT_EQ(store, rgb32(w.platform().image()).copy(QRect(QPoint(0, 0), view->size())));
  }
}

}  // namespace
}  // namespace pawnfall
