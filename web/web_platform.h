// The browser's implementation of the platform: the page's canvas, menus, boxes, clock, storage
// and sound library.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <utility>

#include "drawing/fit.h"
#include "drawing/pictures.h"
#include "drawing/record.h"
#include "model/platform.h"
#include "web/canvas_image.h"

namespace pawnfall {

class WebPlatform : public Platform {
 public:
  WebPlatform();

  // Sizes the canvas for an area of css pixels and draws everything again into its pixels, which
  // the next flush puts on it; answers the picture set the scale wants (1 to 4), which the page
  // loads when it has not yet.
  int set_layout(double width, double height, double device_pixel_ratio);
  // Starts fetching the pictures of a set while the game draws without them; until they are
  // there, nothing is put on the canvas.
  void start_pictures(int set);
  // Waits for the pictures started, then draws everything again with them.
  void await_pictures();
  // The twips a press at a css pixel of the canvas stands for.
  std::pair<double, double> press_twips(double x, double y) const;

  void paint_picture(Picture picture, double x, double y) override;
  void draw_outline(int colour, double x1, double y1, double x2, double y2) override;
  void print_text(double x, double y, std::string_view text, std::string_view face, int points,
                  int colour) override;
  void present() override { flush(); }
  // Puts what was drawn on the canvas: at every pause, and when a procedure ends.
  void flush() {
    if (pictures_pending_ != 0) return;
    paint_pending();
    image_.flush();
  }
  // The settings file as an item of the browser's storage.
  FileContents read_file(std::string_view name, std::size_t max_bytes) override;
  SaveResult replace_file(std::string_view name, std::string_view bytes) override;
  std::unique_ptr<FileLock> lock_file(std::string_view name) override;
  // The check marks are kept here and shown by the page's menu.
  bool checked(MenuItem item) const override;
  void set_checked(MenuItem item, bool on) override;
  // A dialog of the page, awaited through Asyncify as a modal box is on the desktop.
  void message_box(std::string_view text, std::string_view caption, MessageIcon icon) override;
  // Asyncify's sleep: the page shows the step and queues presses meanwhile.
  void wait(double seconds) override;
  // The library's seven operations over the page's Web Audio, always there.
  std::optional<SoundLibrary> load_sound_library() override;

 private:
  void paint(const DrawOp& op);
  // Paints what was drawn since the last time and is not yet covered: the game draws the
  // scores again and again as it starts, and only the last drawing of each shows.
  void paint_pending();
  // Continues the drawing's background tile around it, when it has changed.
  void paint_around();
  // A picture's size in pixels of the starting window; nullopt for none.
  std::optional<std::pair<int, int>> natural_size(Picture picture);

  Fit fit_;
  int device_width_ = 0, device_height_ = 0;
  double width_ = 0, height_ = 0;  // the page's area in css pixels
  int pictures_pending_ = 0;       // the set being fetched while the game draws, or 0
  std::optional<Picture> around_;  // the tile painted around the drawing
  CanvasImage image_;
  double device_pixel_ratio_ = 1;
  DrawingRecord record_;
  std::size_t painted_ = 0;  // the record's operations painted so far, in order
  std::map<MenuItem, bool> checks_;
};

// The client area's size in pixels of the starting window: the window less the menu bar.
inline constexpr int 画面幅画素 = 窓幅画素;
inline constexpr int 画面高画素 = 窓高画素 - 20;

}  // namespace pawnfall
