// The chess figures of the picture generator and the icon drawn from them, shared by the
// generator of the game's pictures and the generator of the installed icons.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>

namespace pawnfall::art {

const char* const kSansFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The font's hollow chess glyphs, U+2654..2659 in the order K Q R B N P, give both colours
// their figure: the outline and inner lines over a silhouette filled in the figure's colour.
enum class Kind : char16_t { King, Queen, Rook, Bishop, Knight, Pawn };
constexpr char16_t glyph_of(Kind kind) { return u'\u2654' + static_cast<char16_t>(kind); }

class Glyphs {
 public:
  explicit Glyphs(const char* file) : font_(QString::fromLatin1(file), kEm) {}
  bool valid() const { return font_.isValid(); }

  // Outline of one character at the font's em size, origin on the baseline.
  QPainterPath path(char16_t ch) const;

  static constexpr double kEm = 100;

 private:
  QRawFont font_;
};

// Every contour filled on its own, so holes close up: the piece's whole silhouette.
QPainterPath silhouette(const QPainterPath& glyph);

inline const QColor kWhiteLight(224, 224, 224), kWhiteMid(192, 192, 192), kWhiteDark(160, 160, 160);

// The window icon, a white knight's head on a blue sky, drawn straight at `size` pixels square
// so each theme size is sharp rather than scaled from another.
QImage icon(const Glyphs& glyphs, int size);

}  // namespace pawnfall::art
