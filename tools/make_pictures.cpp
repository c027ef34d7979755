// Picture generator: draws every piece, square, tile, the banner and the icon into res/pictures,
// once for each screen density: OUTPUT_DIR/1x at the sizes the layout is measured in, and 2x, 3x
// and 4x drawn again from the same shapes and noise at that many device pixels per pixel, so a
// dense screen gets pictures made for its size rather than enlarged ones.
//
// Usage: QT_QPA_PLATFORM=offscreen make_pictures OUTPUT_DIR
// The output is deterministic: noise comes from an integer hash, never from a random engine.
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

#include "drawing/pictures.h"
#include "model/pictures.h"
#include "tools/figures.h"

namespace {

using namespace pawnfall::art;

constexpr int kSquare = 35;  // piece and empty-square pictures
constexpr int kTile = 36;    // background tiles, laid on a 34-pixel pitch
constexpr int kPitch = 34;   // tiles repeat with this period so their overlap matches
constexpr QRectF kFigureBox(5, 1, 25, 31);  // pixels 5..29 across, 1..31 down
constexpr int kBannerWidth = 210, kBannerHeight = 50, kBand = 3;
constexpr int kIcon = 64;  // the window icon; the installed sizes come from make_icons
constexpr int kDensities[] = {1, 2, 3, 4};

const char* const kTitleFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

// ---------------------------------------------------------------------------------------------
// Noise

std::uint32_t hash(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                    static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

double unit_hash(int x, int y, std::uint32_t seed) { return hash(x, y, seed) / 4294967296.0; }

int wrap(int v, int period) { return period > 0 ? ((v % period) + period) % period : v; }

// Smooth value noise in [0, 1); with a period (in lattice cells) it repeats exactly.
double value_noise(double x, double y, std::uint32_t seed, int period = 0) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  auto at = [&](int dx, int dy) {
    return unit_hash(wrap(ix + dx, period), wrap(iy + dy, period), seed);
  };
  const double top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
  const double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
  return top + (bottom - top) * sy;
}

// Fractal sum of octaves, normalised to [0, 1).
double fbm(double x, double y, std::uint32_t seed, int octaves, int period = 0) {
  double sum = 0, amplitude = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * value_noise(x, y, seed + 101u * i, period);
    total += amplitude;
    x *= 2, y *= 2, amplitude *= 0.5;
    if (period > 0) period *= 2;
  }
  return sum / total;
}

// Noise that repeats every kPitch pixels: `cells` lattice cells span one period. Positions are
// in pixels of the 1x picture, fractional at higher densities.
double tile_noise(double px, double py, std::uint32_t seed, int cells, int octaves) {
  const double scale = static_cast<double>(cells) / kPitch;
  return fbm(px * scale, py * scale, seed, octaves, cells);
}

// ---------------------------------------------------------------------------------------------
// Colour helpers

QColor shade(QColor c, double factor) {
  auto ch = [&](int v) { return std::clamp(static_cast<int>(std::lround(v * factor)), 0, 255); };
  return QColor(ch(c.red()), ch(c.green()), ch(c.blue()));
}

QColor mix(QColor a, QColor b, double t) {
  auto ch = [&](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * t)); };
  return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()));
}

QImage blank(int w, int h, QColor fill) {
  QImage img(w, h, QImage::Format_RGB888);
  img.fill(fill);
  return img;
}

// Where the middle of device pixel `i` lies, in pixels of the 1x picture, less half a pixel: at
// 1x exactly i, so the 1x pictures are those drawn before there were other densities.
double at_1x(int i, int density) { return (i + 0.5) / density - 0.5; }

// ---------------------------------------------------------------------------------------------
// Empty squares: mottled marble with soft veins

QImage marble(QColor base, QColor vein, std::uint32_t seed, int density) {
  const int size = kSquare * density;
  QImage img = blank(size, size, base);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      const double x = at_1x(px, density), y = at_1x(py, density);
      const double mottle = fbm(x / 6.0, y / 6.0, seed, 4);
      // A ridge where the warped noise crosses its middle: thin veins that wander and fork.
      const double warp = fbm(x / 11.0 + 3.7, y / 11.0 + 1.3, seed + 7, 4);
      const double ridge = 1.0 - std::fabs(2.0 * warp - 1.0);
      const double vein_strength = std::pow(ridge, 16.0);
      QColor c = shade(base, 0.78 + 0.4 * mottle);
      c = mix(c, vein, 0.65 * vein_strength);
      img.setPixelColor(px, py, c);
    }
  return img;
}

// ---------------------------------------------------------------------------------------------
// Pieces: chess glyph outlines of DejaVu Sans on the three grounds

enum class Side { White, Black };

struct PieceArt {
  int code;
  Side side;
  Kind kind;
};

constexpr std::array<PieceArt, 12> kPieces{{
    {pawnfall::W_PORN, Side::White, Kind::Pawn},
    {pawnfall::W_NIGT, Side::White, Kind::Knight},
    {pawnfall::W_BSHO, Side::White, Kind::Bishop},
    {pawnfall::W_ROOK, Side::White, Kind::Rook},
    {pawnfall::W_QUIN, Side::White, Kind::Queen},
    {pawnfall::W_KING, Side::White, Kind::King},
    {pawnfall::B_KING, Side::Black, Kind::King},
    {pawnfall::B_NIGT, Side::Black, Kind::Knight},
    {pawnfall::B_BSHO, Side::Black, Kind::Bishop},
    {pawnfall::B_ROOK, Side::Black, Kind::Rook},
    {pawnfall::B_QUIN, Side::Black, Kind::Queen},
    {pawnfall::B_PORN, Side::Black, Kind::Pawn},
}};

// The file name of a picture, as the game names it.
QString picture_name(int code, int number = 0) {
  return QString::fromStdString(pawnfall::picture_name({code, number}));
}

// One scale for every figure, so pieces keep their relative sizes as in a chess diagram. The
// font's pieces are squat for a tall square, so they are stretched upright a little.
QSizeF figure_scale(const Glyphs& glyphs) {
  double width = 0, height = 0;
  for (const PieceArt& p : kPieces) {
    const QRectF r = glyphs.path(glyph_of(p.kind)).boundingRect();
    width = std::max(width, r.width());
    height = std::max(height, r.height());
  }
  constexpr double kMargin = 0.6;  // room for the outline's antialiasing
  constexpr double kMostStretch = 1.15;
  const double across = (kFigureBox.width() - 2 * kMargin) / width;
  const double down = (kFigureBox.height() - 2 * kMargin) / height;
  return {across, std::min(down, across * kMostStretch)};
}

// Places a glyph's outline: centred across the figure box, standing on its bottom.
QTransform placement(const QRectF& glyph_box, QSizeF scale) {
  const double cx = kFigureBox.center().x();
  const double bottom = kFigureBox.bottom() - 0.6;
  QTransform t;
  t.translate(cx, bottom);
  t.scale(scale.width(), scale.height());
  t.translate(-glyph_box.center().x(), -glyph_box.bottom());
  return t;
}

const QColor kWhiteLine(40, 40, 40);
const QColor kBlackBody(49, 49, 49), kBlackLight(64, 64, 64);
const QColor kBlackLine(120, 120, 120), kBlackEdge(20, 20, 20);

void draw_figure(QImage& img, const Glyphs& glyphs, const PieceArt& piece, QSizeF scale,
                 int density) {
  const QPainterPath lines_raw = glyphs.path(glyph_of(piece.kind));
  const QTransform t = placement(lines_raw.boundingRect(), scale);
  const QPainterPath body = t.map(silhouette(lines_raw));
  const QPainterPath lines = t.map(lines_raw);
  const QRectF box = body.boundingRect();

  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (density != 1) p.scale(density, density);
  p.setPen(Qt::NoPen);
  // Light falls from the upper left: the body darkens towards the lower right.
  QLinearGradient light(box.topLeft(), box.bottomRight());
  if (piece.side == Side::White) {
    light.setColorAt(0.0, kWhiteLight);
    light.setColorAt(0.45, kWhiteLight);
    light.setColorAt(0.75, kWhiteMid);
    light.setColorAt(1.0, kWhiteDark);
    p.setBrush(light);
    p.drawPath(body);
    p.setBrush(kWhiteLine);
    p.drawPath(lines);
  } else {
    light.setColorAt(0.0, kBlackLight);
    light.setColorAt(0.5, kBlackBody);
    light.setColorAt(1.0, kBlackBody);
    p.setBrush(light);
    p.drawPath(body);
    p.setBrush(kBlackLine);
    p.drawPath(lines);
    // A dark edge outside the lighter rim keeps the figure crisp on the red ground.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlackEdge, 0.8));
    p.drawPath(body);
  }
}

// ---------------------------------------------------------------------------------------------
// Background tiles, each periodic with the pitch so overlapping copies meet without a seam.
// A tile's colour is asked for at the middle of each device pixel in pixels of the 1x tile
// (u, v in [0, kPitch)): its shapes come from the whole pixel there, floor(u) and floor(v), so
// at 1x they are the pixels they always were; its noise and shading from the point itself.

template <typename Colour>
QImage periodic_tile(int density, Colour colour_at) {
  const int size = kTile * density, period = kPitch * density;
  QImage img = blank(size, size, Qt::black);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      img.setPixelColor(x, y,
                        colour_at((x % period + 0.5) / density, (y % period + 0.5) / density));
  return img;
}

int whole(double u) { return static_cast<int>(std::floor(u)); }

QImage midori(int density) { return blank(kTile * density, kTile * density, QColor(0, 157, 0)); }

// Rush strands two pixels high run across; warp threads bind them every half period.
QImage tatami(int density) {
  const QColor rush(112, 158, 74), warp(70, 104, 46);
  return periodic_tile(density, [&](double u, double v) {
    const int x = whole(u), strand = whole(v) / 2;
    const double grain = tile_noise(u - 0.5, strand * 2, 31, 17, 2);
    const double strand_tone = 0.9 + 0.16 * unit_hash(strand, 0, 37);
    // Each strand is round: lit along its upper half, shaded below, 1.06 and 0.90 exactly in
    // the middles of its two 1x pixels.
    const double across = (1 - std::cos(std::numbers::pi * (v - strand * 2 - 0.5))) / 2;
    const double round = std::lerp(1.06, 0.9, across);
    double f = strand_tone * (0.93 + 0.12 * grain) * round;
    // The strands dip where the warp holds them, alternately left and right of the thread.
    const int thread = x < kPitch / 2 ? 8 : 25;
    const int side = strand % 2 == 0 ? -1 : 1;
    if (x == thread) return shade(warp, 0.95 + 0.1 * grain);
    if (x == thread + side) f *= 0.84;
    return shade(rush, f);
  });
}

// Two stalks per period, lit from the left, each with one node.
QImage take(int density) {
  const QColor gap(16, 64, 60), stalk(72, 160, 140);
  struct Stalk {
    int left, width, node;
  };
  constexpr std::array<Stalk, 2> kStalks{{{1, 14, 9}, {19, 11, 26}}};
  return periodic_tile(density, [&](double u, double v) {
    const int x = whole(u), y = whole(v);
    for (const Stalk& s : kStalks) {
      const int dy = wrap(y - s.node, kPitch);
      const int swell = dy == 0 ? 1 : 0;  // the stalk thickens at its node
      const int dx = x - s.left;
      if (dx < -swell || dx >= s.width + swell) continue;
      const double across = std::clamp((u - s.left) / s.width, 0.0, 1.0);  // 0 left .. 1 right
      const double round =
          1.15 - 0.55 * std::pow(across, 1.6) + 0.15 * std::exp(-40 * std::pow(across - 0.25, 2));
      const double fibre = tile_noise(u - 0.5, v - 0.5, 53, 17, 2);
      QColor c = shade(stalk, round * (0.94 + 0.1 * fibre));
      if (dy == 0) return shade(c, 0.55);           // the node's ridge
      if (dy == 1) return shade(c, 1.18);           // its lit lower lip
      if (dy == kPitch - 1) return shade(c, 0.85);  // shadow above the ridge
      return c;
    }
    const double depth = tile_noise(u - 0.5, v - 0.5, 59, 2, 2);
    return shade(gap, 0.8 + 0.4 * depth);
  });
}

// One-pixel stars of three brightnesses, spread out so no two touch.
QImage uchu(int density) {
  struct Star {
    int x, y, level;
  };
  constexpr std::array<Star, 11> kStars{{{3, 4, 255},
                                         {15, 2, 140},
                                         {27, 7, 200},
                                         {9, 13, 110},
                                         {21, 15, 255},
                                         {31, 19, 130},
                                         {4, 22, 190},
                                         {14, 26, 255},
                                         {26, 29, 150},
                                         {33, 31, 100},
                                         {18, 9, 90}}};
  return periodic_tile(density, [&](double u, double v) {
    for (const Star& s : kStars)
      if (s.x == whole(u) && s.y == whole(v)) return QColor(s.level, s.level, s.level);
    return QColor(0, 0, 0);
  });
}

// Four courses of bricks per period, eight or nine pixels high, staggered by half a brick. The
// mortar is a mid grey: white score digits standing on a light line across them lose their
// strokes, on this one they keep them.
QImage renga(int density) {
  const QColor mortar(132, 126, 120), brick(150, 62, 42);
  constexpr std::array<int, 5> kCourseTop{0, 8, 17, 25, 34};
  constexpr int kBrickLength = 17;
  return periodic_tile(density, [&](double u, double v) {
    const int x = whole(u), y = whole(v);
    const double nx = u - 0.5, ny = v - 0.5;  // where the noise is read
    int course = 0;
    while (y >= kCourseTop[course + 1]) ++course;
    const int top = kCourseTop[course], bottom = kCourseTop[course + 1] - 1;
    if (y == bottom) return shade(mortar, 0.97 + 0.06 * tile_noise(nx, ny, 71, 17, 1));
    const int shifted = x + (course % 2 == 0 ? 0 : 8);
    const int along = shifted % kBrickLength;
    if (along == kBrickLength - 1)
      return shade(mortar, 0.97 + 0.06 * tile_noise(nx, ny, 71, 17, 1));
    const int index = shifted / kBrickLength % 2;
    double f = 0.86 + 0.22 * unit_hash(index, course, 73);
    f *= 0.88 + 0.24 * tile_noise(nx, ny, 79, 17, 3);
    if (y == top) f *= 1.15;         // lit upper edge
    if (y == bottom - 1) f *= 0.82;  // shaded lower edge
    if (along == 0) f *= 1.08;
    return shade(brick, f);
  });
}

// ---------------------------------------------------------------------------------------------
// Title banner and window icon

QImage taitoru(int density) {
  QImage img = blank(kBannerWidth * density, kBannerHeight * density, QColor(255, 242, 166));
  QPainter p(&img);
  if (density != 1) p.scale(density, density);
  const QColor band(255, 128, 64);
  p.fillRect(kBannerWidth - kBand, 0, kBand, kBannerHeight, band);
  p.fillRect(0, kBannerHeight - kBand, kBannerWidth, kBand, band);

  const QRawFont font(QString::fromLatin1(kTitleFont), Glyphs::kEm);
  const QString text = QStringLiteral("Pawnfall");
  QPainterPath path;
  double pen_x = 0;
  const auto indexes = font.glyphIndexesForString(text);
  const auto advances = font.advancesForGlyphIndexes(indexes);
  for (int i = 0; i < indexes.size(); ++i) {
    path.addPath(font.pathForGlyph(indexes[i]).translated(pen_x, 0));
    pen_x += advances[i].x();
  }
  // Centre the ink inside the panel (without the band), at a height that fills it well.
  const QRectF panel(0, 0, kBannerWidth - kBand, kBannerHeight - kBand);
  const QRectF ink = path.boundingRect();
  const double scale =
      std::min((panel.width() - 20) / ink.width(), (panel.height() - 14) / ink.height());
  QTransform t;
  t.translate(panel.center().x(), panel.center().y());
  t.scale(scale, scale);
  t.translate(-ink.center().x(), -ink.center().y());
  const QPainterPath placed = t.map(path);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(238, 196, 120));  // soft drop shadow in the band's hue
  p.drawPath(placed.translated(1.5, 1.5));
  p.setBrush(QColor(0, 0, 128));
  p.drawPath(placed);
  return img;
}

// ---------------------------------------------------------------------------------------------

// The 1x set is read at every start on most screens, so it is stored uncompressed; the denser
// sets are PNG.
bool save(const QImage& img, const QDir& dir, const QString& name, int density) {
  const char* format = density == 1 ? "BMP" : "PNG";
  // The set's own folder, and the file name the game's path gives (its extension the format's).
  const QString path = dir.filePath(
      QFileInfo(QString::fromStdString(pawnfall::picture_path(name.toStdString(), density)))
          .fileName());
  if (img.convertToFormat(QImage::Format_RGB888).save(path, format, 0)) return true;
  std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "make_pictures: cannot create %s\n", argv[1]);
    return 1;
  }
  const Glyphs glyphs(kSansFont);
  if (!glyphs.valid()) {
    std::fprintf(stderr, "make_pictures: cannot read %s\n", kSansFont);
    return 1;
  }

  bool ok = true;
  for (const int density : kDensities) {
    const QDir set(out.filePath(QStringLiteral("%1x").arg(density)));
    if (!QDir().mkpath(set.path())) {
      std::fprintf(stderr, "make_pictures: cannot create %s\n", qPrintable(set.path()));
      return 1;
    }
    const QImage teal = marble(QColor(69, 155, 155), QColor(176, 222, 214), 11, density);
    const QImage rose = marble(QColor(186, 100, 100), QColor(236, 190, 180), 23, density);
    ok &= save(teal, set, picture_name(pawnfall::KARA, 1), density);
    ok &= save(rose, set, picture_name(pawnfall::KARA, 2), density);

    const int square = kSquare * density;
    const std::array<QImage, 3> grounds{blank(square, square, QColor(255, 0, 0)), teal, rose};
    const QSizeF scale = figure_scale(glyphs);
    for (const PieceArt& piece : kPieces)
      for (int number = 0; number < 3; ++number) {
        QImage img = grounds[number].copy();
        draw_figure(img, glyphs, piece, scale, density);
        ok &= save(img, set, picture_name(piece.code, number), density);
      }

    ok &= save(midori(density), set, picture_name(pawnfall::HAIKEI_MIDORI), density);
    ok &= save(tatami(density), set, picture_name(pawnfall::HAIKEI_TATAMI), density);
    ok &= save(take(density), set, picture_name(pawnfall::HAIKEI_TAKE), density);
    ok &= save(uchu(density), set, picture_name(pawnfall::HAIKEI_UCHU), density);
    ok &= save(renga(density), set, picture_name(pawnfall::HAIKEI_RENGA), density);
    ok &= save(taitoru(density), set, picture_name(pawnfall::TAITORU), density);
    ok &= save(icon(glyphs, kIcon * density), set, QStringLiteral("icon"), density);
  }
  return ok ? 0 : 1;
}
