// The stored pictures by name and by number.
#include "drawing/pictures.h"

#include "model/pictures.h"

namespace pawnfall {

int picture_id(Picture p) {
  if (p.code < 0 || p.number < 0 || p.number >= kPictureLooks) return -1;
  const int id = p.code * kPictureLooks + p.number;
  return id < kPictureIds ? id : -1;
}

std::string picture_name(Picture p) {
  const auto entry = 絵_コードから(p.code);
  if (!entry || p.number < 0 || p.number > (entry->番号付き ? 2 : 0)) return {};
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
    for (int look = 0; look < (entry.番号付き ? 3 : 1); ++look) out.push_back({entry.code, look});
  return out;
}

}  // namespace pawnfall
