// The font of the menus and message boxes: the desktop's own, with a Japanese face behind it.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace pawnfall {

// The family that fontconfig, with the desktop's settings, would give Japanese sans-serif text,
// when it has Japanese letters; else empty.
QString japanese_interface_family();

// `desktop` with `japanese` after its own families, which Qt asks for the letters they lack
// before any search of its own.
QFont with_japanese(QFont desktop, const QString& japanese);

}  // namespace pawnfall
