// The embedded pictures in each density: sizes, opacity, grounds around the figures, seamless
// tiles, and each set drawn for its own size.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#include "app/qt_image.h"
#include "tests/image_difference.h"

namespace pawnfall {
namespace {

constexpr int kSquare = 35, kTile = 36, kPitch = 34;
const QRect kFigureBox(5, 1, 25, 31);  // pixels 5..29 across, 1..31 down at 1x
constexpr int kSets[] = {1, 2, 3, 4};

const std::array<const char*, 12> kPieces{"W_PORN", "W_NIGT", "W_BSHO", "W_ROOK",
                                          "W_QUIN", "W_KING", "B_KING", "B_NIGT",
                                          "B_BSHO", "B_ROOK", "B_QUIN", "B_PORN"};
const std::array<const char*, 5> kTiles{"HAIKEI_MIDORI", "HAIKEI_TATAMI", "HAIKEI_TAKE",
                                        "HAIKEI_UCHU", "HAIKEI_RENGA"};

QImage load(const QString& name, int set = 1) {
  register_pictures();
  QImage img(picture_file(name, set));
  return img.isNull() ? img : img.convertToFormat(QImage::Format_ARGB32);
}

QString piece(const char* code, int number) {
  return QStringLiteral("%1_%2").arg(QLatin1String(code)).arg(number);
}

bool opaque(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qAlpha(img.pixel(x, y)) != 255) return false;
  return true;
}

// Pixels outside the figure box that differ from the ground.
int ground_faults(const QImage& img, const QImage& ground, int set) {
  const QRect box(kFigureBox.topLeft() * set, kFigureBox.size() * set);
  int faults = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (!box.contains(x, y) && img.pixel(x, y) != ground.pixel(x, y)) ++faults;
  return faults;
}

int figure_pixels(const QImage& img, const QImage& ground) {
  int count = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) count += img.pixel(x, y) != ground.pixel(x, y);
  return count;
}

bool near(QRgb a, QColor b, int tolerance) {
  return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
         std::abs(qBlue(a) - b.blue()) <= tolerance;
}

QRgb mean(const QImage& img) {
  long r = 0, g = 0, b = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      r += qRed(p), g += qGreen(p), b += qBlue(p);
    }
  const long n = static_cast<long>(img.width()) * img.height();
  return qRgb(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

// Every picture with its size at 1x.
std::vector<std::pair<QString, QSize>> all_pictures() {
  std::vector<std::pair<QString, QSize>> all{{"KARA_1", {kSquare, kSquare}},
                                             {"KARA_2", {kSquare, kSquare}},
                                             {"TAITORU", {210, 50}},
                                             {"icon", {64, 64}}};
  for (const char* code : kPieces)
    for (int number = 0; number < 3; ++number)
      all.push_back({piece(code, number), {kSquare, kSquare}});
  for (const char* tile : kTiles) all.push_back({QLatin1String(tile), {kTile, kTile}});
  return all;
}

TEST(Pictures, EveryPictureIsEmbeddedOpaqueAndOfItsSizeInEverySet) {
  for (const int set : kSets)
    for (const auto& [name, size] : all_pictures()) {
      SCOPED_TRACE(name.toStdString() + " at " + std::to_string(set) + "x");
      const QImage img = load(name, set);
      ASSERT_FALSE(img.isNull());
      EXPECT_EQ(img.size(), size * set);
      EXPECT_TRUE(opaque(img));
    }
}

// The largest brightness step between neighbouring pixels: an edge drawn at the picture's own
// size steps nearly from outline to sky in one pixel, a picture scaled up from a smaller one
// spreads that step over several.
int sharpest_step(const QImage& img) {
  int step = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 1; x < img.width(); ++x)
      step = std::max(step, std::abs(qGray(img.pixel(x, y)) - qGray(img.pixel(x - 1, y))));
  return step;
}

TEST(Pictures, TheInstalledIconsAreTheWindowIconDrawnSharpAtEachThemeSize) {
  const QImage window_icon = load("icon");
  const int sharp = sharpest_step(window_icon);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const QImage img =
        QImage(QStringLiteral(PAWNFALL_ICON_DIR "/%1x%1/apps/pawnfall.png").arg(size))
            .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(size, size));
    EXPECT_TRUE(opaque(img));
    // The same picture: scaled to the window icon's size it differs only by resampling.
    const QImage same = img.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_TRUE(near(mean(same), QColor(mean(window_icon)), 6));
    if (size == 64) {
      EXPECT_EQ(img, window_icon);
    }
    // Scaled up from 64 pixels, the 128 and 256 icons step at most half as sharply.
    if (size > 64) {
      EXPECT_GE(sharpest_step(img), sharp * 9 / 10);
    }
  }
}

TEST(Pictures, EmptySquaresAreTealAndRoseMarble) {
  for (const int set : kSets) {
    EXPECT_TRUE(near(mean(load("KARA_1", set)), QColor(69, 155, 155), 20)) << set;
    EXPECT_TRUE(near(mean(load("KARA_2", set)), QColor(186, 100, 100), 20)) << set;
  }
}

TEST(Pictures, PiecesStandInsideTheirBoxOnRedTealAndRoseGrounds) {
  for (const int set : kSets) {
    QImage red(kSquare * set, kSquare * set, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    const std::array<QImage, 3> grounds{red, load("KARA_1", set), load("KARA_2", set)};
    for (const char* code : kPieces) {
      const bool white = code[0] == 'W';
      for (int number = 0; number < 3; ++number) {
        const QString name = piece(code, number);
        SCOPED_TRACE(name.toStdString() + " at " + std::to_string(set) + "x");
        const QImage img = load(name, set);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(ground_faults(img, grounds[number], set), 0);
        EXPECT_GT(figure_pixels(img, grounds[number]), 120 * set * set);
        // The figure's body colour shows in its middle column.
        bool body = false;
        for (int y = kFigureBox.top() * set; y <= kFigureBox.bottom() * set; ++y)
          body |= near(img.pixel(img.width() / 2, y),
                       white ? QColor(224, 224, 224) : QColor(49, 49, 49), 16);
        EXPECT_TRUE(body);
      }
    }
  }
}

TEST(Pictures, BackgroundTilesRepeatOnTheSquarePitch) {
  for (const int set : kSets)
    for (const char* tile : kTiles) {
      const QImage img = load(QLatin1String(tile), set);
      ASSERT_FALSE(img.isNull()) << tile;
      const int size = kTile * set, pitch = kPitch * set;
      int seams = 0;
      for (int a = 0; a < size; ++a)
        for (int b = pitch; b < size; ++b) {
          seams += img.pixel(b, a) != img.pixel(b - pitch, a);
          seams += img.pixel(a, b) != img.pixel(a, b - pitch);
        }
      EXPECT_EQ(seams, 0) << tile << " at " << set << "x";
    }
  const QImage green = load("HAIKEI_MIDORI");
  EXPECT_EQ(green.pixel(0, 0), qRgb(0, 157, 0));
  EXPECT_EQ(green.pixel(20, 30), qRgb(0, 157, 0));
}

// The score's digits are white with a black shadow: a light line running across a tile cuts
// every digit of a number standing on it (the brick tile's mortar once did).
TEST(Pictures, NoTileHasALightLineAcrossItForTheWhiteDigitsToVanishInto) {
  for (const int set : kSets)
    for (const char* tile : kTiles) {
      const QImage img = load(QLatin1String(tile), set);
      int lightest_row = 0;
      for (int y = 0; y < img.height(); ++y) {
        int light = 0;
        for (int x = 0; x < img.width(); ++x) light += qGray(img.pixel(x, y)) >= 170;
        lightest_row = std::max(lightest_row, light);
      }
      EXPECT_LT(lightest_row, img.width() / 2) << tile << " at " << set << "x";
    }
}

TEST(Pictures, BannerIsAPalePanelWithAnOrangeBandAndNavyLettering) {
  for (const int set : kSets) {
    const QImage img = load("TAITORU", set);
    ASSERT_FALSE(img.isNull());
    const QRgb orange = qRgb(255, 128, 64);
    int band_faults = 0, navy = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const bool in_band = x >= img.width() - 3 * set || y >= img.height() - 3 * set;
        if (in_band) band_faults += img.pixel(x, y) != orange;
        navy += img.pixel(x, y) == qRgb(0, 0, 128);
      }
    EXPECT_EQ(band_faults, 0) << set;
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 242, 166)) << set;
    EXPECT_EQ(img.pixel(img.width() - 3 * set - 1, img.height() - 3 * set - 1), qRgb(255, 242, 166))
        << set;
    EXPECT_GT(navy, 1000 * set * set) << set;  // the name in solid lettering
  }
}

// Each denser picture is the 1x one's drawing: made as small, it looks like it. Those drawn
// from outlines and noise have their own detail at their size: they are neither the 1x picture
// enlarged in blocks nor, smoothly enlarged, anything as sharp.
TEST(Pictures, EachDenserSetIsTheSameDrawingMadeForItsSize) {
  for (const int set : {2, 3, 4})
    for (const auto& [name, size] : all_pictures()) {
      SCOPED_TRACE(name.toStdString() + " at " + std::to_string(set) + "x");
      const QImage one = load(name), dense = load(name, set);
      const QImage made_small = dense.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      EXPECT_LT(test::difference(made_small, one), 8);
      const bool drawn = !name.startsWith(QLatin1String("HAIKEI"));
      if (!drawn) continue;
      const QImage blocks = one.scaled(size * set, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      EXPECT_GT(test::difference(dense, blocks), 2);
      const QImage smooth = one.scaled(size * set, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      EXPECT_GT(sharpest_step(dense), sharpest_step(smooth) * 11 / 10);
    }
}

}  // namespace
}  // namespace pawnfall
