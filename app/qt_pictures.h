// The picture sets in the program's resources, and each picture loaded once for a density.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <array>

#include "drawing/pictures.h"
#include "model/pictures.h"
#include "model/platform.h"

namespace pawnfall {

// Makes the picture sets known to the resource system.
void register_pictures();
// Resource name of a set's picture by its file name, e.g. ("W_ROOK_0", 2) is
// ":/pictures/2x/W_ROOK_0.png".
QString picture_file(const QString& name, int set = 1);
// Resource name of a picture in a set, e.g. ":/pictures/2x/W_ROOK_0.png"; empty when there
// is none.
QString picture_resource(Picture picture, int set = 1);

class PictureCache {
 public:
  struct Loaded {
    int set = 0;
    QImage drawn;  // as drawn for the set
    double scale = 0;
    QImage image;   // at the scale, in device pixels: the drawn one itself, or made from it
    QSize natural;  // in pixels of the starting window
  };
  // The picture as painted at a scale, loaded once; null when there is none.
  const Loaded* get(Picture picture, double scale);

 private:
  std::array<Loaded, kPictureIds> pictures_;  // by the picture's number
};

}  // namespace pawnfall
