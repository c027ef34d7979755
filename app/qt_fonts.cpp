// The board's text faces: the installed family a face name stands for, and its font at a scale.
#include "app/qt_fonts.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>

#include "app/qt_text.h"
#include "drawing/fit.h"

namespace pawnfall {

QString installed_family(const QString& face) {
  static QHash<QString, QString> found;
  if (const auto it = found.constFind(face); it != found.cend()) return *it;
  QString family = face;
  for (const QString& candidate : QFont::substitutes(face) + QStringList(face)) {
    // Tried at the application's own size, so the menus then use the font this loads.
    QFont font = QGuiApplication::font();
    font.setFamily(candidate);
    if (QFontInfo(font).family().compare(candidate, Qt::CaseInsensitive) == 0) {
      family = candidate;
      break;
    }
  }
  found.insert(face, family);
  return family;
}

QFont text_font(std::string_view face, int points, double scale) {
  QFont font(installed_family(qs(face)));
  // In pixels at the 96 dots per inch that the twips assume, whatever the screen reports.
  font.setPixelSize(text_pixels(points, scale));
  // Solid glyph pixels: labels are printed again and again at the same place, and only
  // without blended edges does every print leave exactly the same picture.
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

}  // namespace pawnfall
