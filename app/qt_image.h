// The persistent image of the client area: pictures, outlines and text painted at twips.
#pragma once

#include <QHash>
#include <QImage>

#include <string_view>

#include "model/platform.h"

namespace pawnfall {

class QtImage {
 public:
  // The image covers size logical pixels, held at the given device pixel ratio.
  QtImage(QSize size, qreal device_pixel_ratio);

  const QImage& image() const { return image_; }

  void paint_picture(Picture picture, double x, double y);
  void draw_outline(int colour, double x1, double y1, double x2, double y2);
  void print_text(double x, double y, std::string_view text, std::string_view face, int points,
                  int colour);

  // The palette colour of an index 0..15.
  static QColor palette_colour(int index);
  // Resource name of a picture in a set, e.g. ":/pictures/2x/W_ROOK_0.png"; empty when there
  // is none.
  static QString picture_resource(Picture picture, int set = 1);

 private:
  const QImage* picture(Picture picture);
  // Device-pixel operations on the image, clipped to it.
  void copy_rows(const QImage& source, QPoint at);
  void fill(QRect area, QRgb colour);

  QImage image_;
  int scale_;
  QHash<int, QImage> pictures_;  // by code * 4 + number, scaled to the device
};

}  // namespace pawnfall
