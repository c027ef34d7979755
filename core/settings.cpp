// PLACEHOLDER: the settings file (being written).
#include "core/settings.h"
namespace pawnfall {
void 読込_環境設定ファイル(Game&) {}
void 書込_環境設定ファイル(Game&) {}
double 数値読取(std::string_view) { return 0; }
std::string 十進表記(double) { return "0"; }
}  // namespace pawnfall
