// Move guidance as the Qt platform paints it: which square edges turn white and which stay green.
#include <gtest/gtest.h>

#include <QAction>

#include <array>
#include <set>
#include <utility>

#include "app/qt_platform.h"
#include "sound/sound.h"
#include "view/draw.h"
#include "view/guidance.h"

namespace pawnfall {
namespace {

using Squares = std::set<std::pair<int, int>>;

const QRgb 白 = qRgb(255, 255, 255);
const QRgb 緑 = qRgb(0, 128, 0);

// The pixel rectangle a square's outline runs along: both ends inclusive.
QRect outline_pixels(int c, int r) {
  const int left = twips_to_pixels(盤X(c)), top = twips_to_pixels(盤Y(r));
  return QRect(QPoint(left, top),
               QPoint(twips_to_pixels(盤X(c) + 桝幅), twips_to_pixels(盤Y(r) + 桝高)));
}

bool on_edge(const QRect& rect, int x, int y) {
  return rect.contains(x, y) &&
         (x == rect.left() || x == rect.right() || y == rect.top() || y == rect.bottom());
}

class GuidanceRender : public ::testing::Test {
 protected:
  GuidanceRender() {
    register_pictures();
    action.setCheckable(true);
    platform.set_menu_action(MenuItem::SIDOU, &action);
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        g.桝色[c][r] = 桝の色(c, r);
        // A full board of mixed kinds and colours.
        g.盤面[c][r] = std::array{W_KING, B_NIGT, W_BSHO, B_PORN, W_QUIN}[(c * 3 + r) % 5];
      }
  }

  void draw_board() { 描画_盤(g); }

  // Checks every pixel on every square's outline: white exactly where it lies on the outline of
  // one of the framed squares, palette green everywhere else.
  void expect_frames(const Squares& framed) {
    const QImage& image = platform.image();
    int wrong = 0;
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        const QRect rect = outline_pixels(c, r);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
          for (int x = rect.left(); x <= rect.right(); ++x) {
            if (!on_edge(rect, x, y)) continue;
            bool hinted = false;
            for (auto [fc, fr] : framed) hinted = hinted || on_edge(outline_pixels(fc, fr), x, y);
            const QRgb expected = hinted ? 白 : 緑;
            const QRgb seen = image.pixel(x, y) & 0xFFFFFF;
            if (seen != (expected & 0xFFFFFF)) {
              if (++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") on square (" << c << ", " << r
                              << ") is " << std::hex << seen << ", expected " << expected;
            }
          }
      }
    EXPECT_EQ(wrong, 0);
  }

  QtPlatform platform{QSize(773, 620), 1.0};
  Sound sound{platform};
  Game g{platform, sound};
  QAction action;
};

TEST_F(GuidanceRender, ARookWithPiecesOnAllFourSidesFramesExactlyThoseFour) {
  g.盤面[10][6] = W_ROOK;
  action.setChecked(true);
  draw_board();
  描画_移動可能桝色(g, 10, 6, 色_白, W_ROOK);
  expect_frames({{9, 6}, {11, 6}, {10, 5}, {10, 7}});
}

TEST_F(GuidanceRender, AQueenFramesOnlyItsDiagonalTargets) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) g.盤面[c][r] = KARA;
  g.盤面[10][6] = B_QUIN;
  g.盤面[10][2] = W_QUIN;  // straight up
  g.盤面[15][6] = B_ROOK;  // straight right
  g.盤面[7][3] = W_PORN;   // diagonal, free
  g.盤面[12][8] = B_KING;  // diagonal, free
  g.盤面[13][9] = W_QUIN;  // behind the king
  g.盤面[14][2] = W_NIGT;  // diagonal, free, far
  action.setChecked(true);
  draw_board();
  描画_移動可能桝色(g, 10, 6, 色_白, B_QUIN);
  expect_frames({{7, 3}, {12, 8}, {14, 2}});
}

TEST_F(GuidanceRender, APawnInTheTopRowFramesNothing) {
  g.盤面[5][1] = W_PORN;
  action.setChecked(true);
  draw_board();
  描画_移動可能桝色(g, 5, 1, 色_白, W_PORN);
  expect_frames({});
}

TEST_F(GuidanceRender, WithTheOptionOffOnlyOrdinaryOutlinesRemainWhereHintsStoodBefore) {
  g.盤面[10][6] = B_ROOK;
  action.setChecked(true);
  draw_board();
  描画_移動可能桝色(g, 10, 6, 色_白, B_ROOK);
  expect_frames({{9, 6}, {11, 6}, {10, 5}, {10, 7}});
  action.setChecked(false);
  描画_移動可能桝色(g, 10, 6, 色_白, B_ROOK);
  expect_frames({});
}

TEST_F(GuidanceRender, ANewCallTakesTheHintsOfThePreviousPieceOff) {
  g.盤面[10][6] = W_ROOK;
  g.盤面[3][3] = B_NIGT;
  action.setChecked(true);
  draw_board();
  描画_移動可能桝色(g, 10, 6, 色_白, W_ROOK);
  描画_移動可能桝色(g, 3, 3, 色_白, B_NIGT);
  expect_frames({{1, 2}, {1, 4}, {2, 1}, {2, 5}, {4, 1}, {4, 5}, {5, 2}, {5, 4}});
}

}  // namespace
}  // namespace pawnfall
