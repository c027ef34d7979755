// The stored pictures by name and by number.
#include "drawing/pictures.h"

#include <algorithm>

#include "model/backgrounds.h"
#include "model/pictures.h"

namespace pawnfall {

int picture_id(Picture p) {
  if (p.code < 0 || p.number < 0 || p.number >= kPictureLooks) return -1;
  const int id = p.code * kPictureLooks + p.number;
  return id < kPictureIds ? id : -1;
}

namespace {

// The pieces have three looks, the empty square only its two shades (it is never marked), the
// tiles and the banner one picture each.
bool has_look(const 絵情報& entry, int look) {
  if (!entry.番号付き) return look == 0;
  return look >= (entry.code == KARA ? 1 : 0) && look <= 2;
}

bool stored(Picture p) {
  const auto entry = 絵_コードから(p.code);
  return entry && has_look(*entry, p.number);
}

}  // namespace

std::string picture_name(Picture p) {
  const auto entry = 絵_コードから(p.code);
  if (!entry || !has_look(*entry, p.number)) return {};
  std::string name(entry->名);
  if (entry->番号付き) name += "_" + std::to_string(p.number);
  return name;
}

std::string picture_path(std::string_view name, int set) {
  return "pictures/" + std::to_string(set) + "x/" + std::string(name) +
         (set == 1 ? ".bmp" : ".png");
}

std::string picture_path(Picture p, int set) {
  const std::string name = picture_name(p);
  return name.empty() ? std::string() : picture_path(name, set);
}

std::vector<Picture> every_picture() {
  std::vector<Picture> out;
  for (const auto& entry : 絵の表)
    for (int look = 0; look <= 2; ++look)
      if (has_look(entry, look)) out.push_back({entry.code, look});
  return out;
}

namespace {

// The small pictures in cells of 36 × 36, ten to a row, in the table's order; the banner below.
constexpr int kCell = 36, kPerRow = 10;
constexpr Rect kBanner{0, 0, 210, 50};

int small_pictures() {
  int n = 0;
  for (const Picture p : every_picture()) n += p.code != TAITORU;
  return n;
}

}  // namespace

Rect picture_size(Picture p) {
  // Asked for every picture drawn: no name is made for it.
  if (!stored(p)) return {};
  if (p.code == TAITORU) return kBanner;
  const int side = 背景_コードから(p.code) ? kCell : kCell - 1;
  return {0, 0, side, side};
}

Rect sheet_place(Picture p) {
  const Rect size = picture_size(p);
  if (size.empty()) return {};
  const int rows = (small_pictures() + kPerRow - 1) / kPerRow;
  if (p.code == TAITORU) return size.translated(0, rows * kCell);
  int index = 0;
  for (const Picture other : every_picture()) {
    if (other == p) break;
    index += other.code != TAITORU;
  }
  return size.translated(index % kPerRow * kCell, index / kPerRow * kCell);
}

Rect sheet_size() {
  const int rows = (small_pictures() + kPerRow - 1) / kPerRow;
  return {0, 0, std::max(kPerRow * kCell, kBanner.right), rows * kCell + kBanner.bottom};
}

std::string sheet_path(int set) { return "pictures/" + std::to_string(set) + "x.png"; }

}  // namespace pawnfall
