// The Qt implementation of the platform: the persistent image, menus, boxes, clock, files.
#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <map>

#include "core/platform.h"

class QAction;
class QWidget;

namespace pawnfall {

// Twips to device-independent pixels: 15 twips a pixel, halves rounded up (toward +infinity),
// the same rule for pictures, outlines and text.
int twips_to_pixels(double twips);

class QtPlatform : public Platform {
 public:
  // The image covers size logical pixels, held at the given device pixel ratio.
  QtPlatform(QSize size, qreal device_pixel_ratio);

  // The widget that shows the image; present() repaints it at once.
  void set_surface(QWidget* widget) { surface_ = widget; }
  void set_menu_action(MenuItem item, QAction* action) { actions_[item] = action; }
  const QImage& image() const { return image_; }

  void paint_picture(Picture picture, double x, double y) override;
  void draw_outline(int colour, double x1, double y1, double x2, double y2) override;
  void print_text(double x, double y, std::string_view text, std::string_view face, int points,
                  int colour) override;
  void present() override;
  bool checked(MenuItem item) const override;
  void set_checked(MenuItem item, bool on) override;
  void message_box(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void wait(double seconds) override;
  std::optional<SoundLibrary> load_sound_library() override;
  std::optional<std::vector<std::string>> read_text_lines(std::string_view name) override;
  bool replace_text_file(std::string_view name, const std::vector<std::string>& lines) override;

  // The palette colour of an index 0..15.
  static QColor palette_colour(int index);
  // Resource name of a picture, e.g. ":/pictures/W_ROOK_0.png"; empty when there is none.
  static QString picture_resource(Picture picture);

 private:
  const QImage* picture(Picture picture);
  // Device-pixel operations on the image, clipped to it.
  void copy_rows(const QImage& source, QPoint at);
  void fill(QRect area, QRgb colour);

  QImage image_;
  int scale_;
  QWidget* surface_ = nullptr;
  std::map<MenuItem, QAction*> actions_;
  QHash<int, QImage> pictures_;  // by code * 4 + number, scaled to the device
};

}  // namespace pawnfall
