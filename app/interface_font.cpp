// The font of the menus and message boxes: the desktop's own, with a Japanese face behind it.
#include "app/interface_font.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace pawnfall {

QString japanese_interface_family() {
  // One match, as fc-match answers it: Qt's own search for a face that has the letters sorts
  // every installed font, which costs the first frame several milliseconds.
  const auto pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>(
      FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=ja")), FcPatternDestroy);
  if (!pattern || !FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return {};
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const auto match = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>(
      FcFontMatch(nullptr, pattern.get(), &result), FcPatternDestroy);
  FcLangSet* languages = nullptr;
  FcChar8* family = nullptr;
  // The best match may be a face without Japanese where none is installed.
  if (!match || FcPatternGetLangSet(match.get(), FC_LANG, 0, &languages) != FcResultMatch ||
      FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("ja")) != FcLangEqual ||
      FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch)
    return {};
  return QString::fromUtf8(reinterpret_cast<const char*>(family));
}

QFont with_japanese(QFont desktop, const QString& japanese) {
  QStringList families = desktop.families();
  if (families.isEmpty()) families << desktop.family();
  if (!japanese.isEmpty() && !families.contains(japanese, Qt::CaseInsensitive)) {
    families << japanese;
    desktop.setFamilies(families);
  }
  return desktop;
}

}  // namespace pawnfall
