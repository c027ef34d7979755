// The font of the menus and message boxes: the desktop's own, with a Japanese face behind it.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace pawnfall {

// The installed family that fontconfig, with the desktop's settings, gives a family name or an
// alias such as "Sans Serif"; with a language, only one that has its letters. Empty when none.
QString matched_family(const QString& family, const char* language = nullptr);

// The desktop's font with its family named as installed and `japanese` after it, which Qt asks
// for the letters the first lacks.
QFont with_japanese(QFont desktop, const QString& japanese);

}  // namespace pawnfall
