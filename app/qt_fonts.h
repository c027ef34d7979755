// The board's text faces: the installed family a face name stands for, and its font at a scale.
#pragma once

#include <QFont>
#include <QString>

#include <string_view>

namespace pawnfall {

// The installed family that a face name stands for: its first installed substitute, else the
// face itself (left to Qt's fallback when it is not there either). A family Qt lacks, or one
// missing a character, makes Qt sort every installed font for fallbacks, the largest part of the
// first text's cost: text is set in a family known to be there. Looked up once for each face;
// substitutions made after that are not seen.
QString installed_family(const QString& face);

// The font a text of `points` is set in at `scale` device pixels per pixel of the starting window.
QFont text_font(std::string_view face, int points, double scale);

}  // namespace pawnfall
