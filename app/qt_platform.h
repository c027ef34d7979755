// The Qt implementation of the platform: one facade over the drawing, the files and the rest
// (menus, boxes, the clock and the sound library).
#pragma once

#include <map>
#include <optional>
#include <string>

#include "app/qt_image.h"
#include "model/platform.h"

class QAction;

namespace pawnfall {

class BoardView;

class QtPlatform : public Platform {
 public:
  // The drawing shows size pixels of the starting window, at device_pixel_ratio × zoom device
  // pixels each.
  QtPlatform(QSize size, double device_pixel_ratio, double zoom = 1.0)
      : drawing_(size, device_pixel_ratio, zoom) {}

  // The widget that shows the drawing; present() repaints it at once.
  void set_surface(BoardView* view) { surface_ = view; }
  void set_menu_action(MenuItem item, QAction* action) { actions_[item] = action; }
  // Everything drawn so far, painted on an image of its own.
  QImage image() { return drawing_.image(); }
  QtImage& drawing() { return drawing_; }

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
  FileContents read_file(std::string_view name, std::size_t max_bytes) override;
  SaveResult replace_file(std::string_view name, std::string_view bytes) override;
  std::unique_ptr<FileLock> lock_file(std::string_view name) override;
  // No file can be kept, for the reason given: reads say so, and nothing is written.
  void set_files_unavailable(std::string reason) { files_unavailable_ = std::move(reason); }

 private:
  QtImage drawing_;
  BoardView* surface_ = nullptr;
  std::map<MenuItem, QAction*> actions_;
  std::optional<std::string> files_unavailable_;
};

}  // namespace pawnfall
