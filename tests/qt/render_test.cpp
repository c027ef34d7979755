// The persistent image as the Qt platform paints it: pictures, outlines, text and units.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>

#include "app/qt_platform.h"
#include "game/deal.h"
#include "sound/sound.h"
#include "view/draw.h"
#include "view/redraw.h"
#include "view/score.h"

namespace pawnfall {
namespace {

QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

// Average colour of a picture-sized block, inside its outline.
QColor average(const QImage& image, QPoint at, int size) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = 1; y < size - 1; ++y)
    for (int x = 1; x < size - 1; ++x) {
      const QColor c = image.pixelColor(at.x() + x, at.y() + y);
      r += c.red(), g += c.green(), b += c.blue(), ++n;
    }
  return QColor(int(r / n), int(g / n), int(b / n));
}

bool near(const QColor& c, int r, int g, int b, int tolerance = 30) {
  return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
         std::abs(c.blue() - b) <= tolerance;
}

QPoint px(double x_twips, double y_twips) {
  return {twips_to_pixels(x_twips), twips_to_pixels(y_twips)};
}

// Pixels of a rectangle that differ from the background tiling (tiles on a 34-pixel pitch
// starting at pixel (10, 97) for board position (0, 0)).
int tile_mismatches(const QImage& image, const QImage& tile, QRect area) {
  int differing = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) != tile.pixel(((x - 10) % 34 + 34) % 34, ((y - 97) % 34 + 34) % 34))
        ++differing;
  return differing;
}

struct RenderTest : ::testing::Test {
  QtPlatform platform{QSize(773, 620), 1.0};
  Sound sound{platform};
  Game g{platform, sound};
  RenderTest() {
    register_pictures();
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) g.桝色[c][r] = 桝の色(c, r);
  }
};

TEST(Units, FifteenTwipsAPixelTimesTheScaleWithHalvesRoundedUp) {
  EXPECT_EQ(twips_to_pixels(660), 44);
  EXPECT_EQ(twips_to_pixels(1450), 97);  // 96.67
  EXPECT_EQ(twips_to_pixels(685), 46);   // 45.67
  EXPECT_EQ(twips_to_pixels(7.5), 1);
  EXPECT_EQ(twips_to_pixels(7.4), 0);
  EXPECT_EQ(twips_to_pixels(-1380), -92);
  // At a scale, device pixels: 96.67 × 1.5 = 145, 44 × 3.5 = 154, halves still up.
  EXPECT_EQ(twips_to_pixels(1450, 1.5), 145);
  EXPECT_EQ(twips_to_pixels(660, 3.5), 154);
  EXPECT_EQ(twips_to_pixels(6, 1.25), 1);    // 0.5
  EXPECT_EQ(twips_to_pixels(1450, 2), 193);  // 193.33
}

TEST_F(RenderTest, EmptySquaresAreTealAndRoseMarbleWithGreenLinesBetween) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) g.盤面[c][r] = KARA;
  描画_盤(g);
  const QImage& image = platform.image();
  EXPECT_TRUE(near(average(image, px(660, 1960), 34), 69, 155, 155)) << "(1, 1) teal";
  EXPECT_TRUE(near(average(image, px(1170, 1960), 34), 186, 100, 100)) << "(2, 1) rose";
  EXPECT_TRUE(near(average(image, px(660, 2470), 34), 186, 100, 100)) << "(1, 2) rose";
  // Every grid line, vertical and horizontal, is palette green.
  for (int c = 1; c <= 列数 + 1; ++c)
    for (int y = twips_to_pixels(1960); y <= twips_to_pixels(8080); y += 7)
      ASSERT_EQ(image.pixel(twips_to_pixels(150 + 510 * c), y), rgb(0, 128, 0)) << c << "," << y;
  for (int r = 1; r <= 行数 + 1; ++r)
    for (int x = twips_to_pixels(660); x <= twips_to_pixels(10860); x += 7)
      ASSERT_EQ(image.pixel(x, twips_to_pixels(1450 + 510 * r)), rgb(0, 128, 0)) << r << "," << x;
}

TEST_F(RenderTest, AMarkedPieceStandsOnSolidRed) {
  描画_絵(g, B_QUIN, 3, 3, 0);
  const QPoint at = px(150 + 510 * 3, 1450 + 510 * 3);
  EXPECT_EQ(platform.image().pixel(at + QPoint(1, 33)), rgb(255, 0, 0));
  EXPECT_EQ(platform.image().pixel(at + QPoint(33, 1)), rgb(255, 0, 0));
  EXPECT_EQ(platform.image().pixel(at + QPoint(2, 2)), rgb(255, 0, 0));
}

TEST_F(RenderTest, TheBannerStartsAtItsTwipsAndEndsAboveTheBoard) {
  描画_絵(g, HAIKEI_UCHU, 8, -2, 0);  // something dark under the banner's corner
  描画_絵(g, TAITORU, 8.5, -1.5, 0);
  const QPoint corner = px(4485, 685);
  EXPECT_TRUE(near(platform.image().pixelColor(corner), 255, 242, 166, 40));
  EXPECT_LT(corner.y() + 50, twips_to_pixels(1960));
}

TEST_F(RenderTest, CodesWithoutAPictureChangeNoPixel) {
  初期設定_駒(g);
  画面_再描画(g);
  const QImage before = platform.image().copy();
  for (int code : {7, 8, 9, 22, -1}) 描画_絵(g, code, 5, 5, 1);
  EXPECT_EQ(platform.image(), before);
}

TEST(Clipping, APictureCutByAnyEdgeShowsExactlyItsPartInside) {
  register_pictures();
  QImage rook(picture_resource({W_ROOK, 1}));
  rook = rook.convertToFormat(QImage::Format_RGB32);
  // Positions in pixels of the picture's corner on a 50 x 40 image: cut on each side.
  const QPoint corners[] = {{-10, 3}, {3, -12}, {30, 3}, {3, 20}, {-20, -20}};
  for (const QPoint corner : corners) {
    QtImage image(QSize(50, 40), 1.0);
    image.paint_picture({W_ROOK, 1}, corner.x() * 一画素のtwips, corner.y() * 一画素のtwips);
    const QImage& out = image.image();
    int compared = 0;
    for (int y = 0; y < out.height(); ++y)
      for (int x = 0; x < out.width(); ++x) {
        const QPoint in_picture = QPoint(x, y) - corner;
        if (!rook.rect().contains(in_picture)) continue;
        ASSERT_EQ(out.pixel(x, y), rook.pixel(in_picture)) << corner.x() << "," << corner.y();
        ++compared;
      }
    EXPECT_GT(compared, 0);
  }
}

TEST_F(RenderTest, AChangeOfBackgroundRepaintsAroundTheBoardAndDropsTheAddedPoints) {
  初期設定_駒(g);
  g.背景画 = HAIKEI_MIDORI;
  画面_再描画(g);
  描画_追加点数(g, 8);
  g.背景画 = HAIKEI_RENGA;
  画面_再描画(g);
  const QImage& image = platform.image();
  QImage tile(picture_file(QStringLiteral("HAIKEI_RENGA")));
  tile = tile.convertToFormat(QImage::Format_RGB32);
  // The added-points area and the corner below the board show the new tile and nothing else.
  EXPECT_LT(tile_mismatches(image, tile, QRect(px(831, 641), QSize(150, 20))), 40)
      << "the added-points label is still there";
  EXPECT_EQ(tile_mismatches(image, tile, QRect(730, 545, 40, 70)), 0);
}

TEST_F(RenderTest, PrintingTheLabelsAndNumbersAgainLeavesTheSamePicture) {
  g.背景画 = HAIKEI_TAKE;
  画面_再描画(g);
  描画_追加点数(g, 4);
  const QImage once = platform.image().copy();
  for (int i = 0; i < 5; ++i) {
    描画_追加点数(g, 4);
    描画_スコア(g, g.スコア);
    描画_過去最高スコア(g, g.過去最高スコア);
  }
  EXPECT_EQ(platform.image(), once);
}

// The board's texts in the Mincho face; the menus in the desktop's own face, with a Japanese
// face behind it that has every letter of theirs.
TEST(Fonts, TheGamesFaceAndTheMenusRenderEveryJapaneseGlyph) {
  const QFont face(QString::fromUtf8(窓フォント.data(), qsizetype(窓フォント.size())));
  EXPECT_TRUE(QFontInfo(face).family().contains(QStringLiteral("IPA")))
      << QFontInfo(face).family().toStdString();
  const QStringList menus = QApplication::font().families();
  ASSERT_GE(menus.size(), 2);
  EXPECT_FALSE(QFontInfo(QFont(menus.first())).family().contains(QStringLiteral("Mincho")));
  const QFontMetrics game(face), ui(QFont(menus.last()));
  for (const QString& text :
       {QStringLiteral("加算点数最高 SCORE0123456789"),
        QStringLiteral("局面最初ｵﾌﾟｼｮﾝ背景画緑畳竹宇宙煉瓦移動指導その他"),
        QStringLiteral("これ以上取る事のできる駒はありません局面　⇒　最初　にしてください")}) {
    for (QChar c : text) {
      EXPECT_TRUE(game.inFont(c)) << QString(c).toStdString();
      EXPECT_TRUE(ui.inFont(c)) << QString(c).toStdString();
    }
  }
}

}  // namespace
}  // namespace pawnfall
