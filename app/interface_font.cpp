// The font of the menus and message boxes: the desktop's own, with a Japanese face behind it.
//
// Both families are named as installed, found by one fontconfig match each (a fraction of a
// millisecond once Qt has read the configuration): a family Qt does not know as installed, such
// as the alias "Sans Serif" that it gives by default, has it sort every installed font to find
// one, which costs the first frame milliseconds.
#include "app/interface_font.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace pawnfall {
namespace {

using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

const FcChar8* bytes(const char* text) { return reinterpret_cast<const FcChar8*>(text); }

}  // namespace

QString matched_family(const QString& family, const char* language) {
  const QByteArray name = family.toUtf8();
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  if (!pattern || !FcPatternAddString(pattern.get(), FC_FAMILY, bytes(name.constData())) ||
      (language != nullptr && !FcPatternAddString(pattern.get(), FC_LANG, bytes(language))) ||
      !FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
    return {};
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const Pattern match(FcFontMatch(nullptr, pattern.get(), &result), FcPatternDestroy);
  FcLangSet* languages = nullptr;
  FcChar8* found = nullptr;
  // The best match may lack the language where no installed face has it.
  if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &found) != FcResultMatch ||
      (language != nullptr &&
       (FcPatternGetLangSet(match.get(), FC_LANG, 0, &languages) != FcResultMatch ||
        FcLangSetHasLang(languages, bytes(language)) != FcLangEqual)))
    return {};
  return QString::fromUtf8(reinterpret_cast<const char*>(found));
}

QFont with_japanese(QFont desktop, const QString& japanese) {
  QStringList families;
  const QString installed = matched_family(desktop.family());
  families << (installed.isEmpty() ? desktop.family() : installed);
  if (!japanese.isEmpty() && families.first().compare(japanese, Qt::CaseInsensitive) != 0)
    families << japanese;
  desktop.setFamilies(families);
  return desktop;
}

}  // namespace pawnfall
