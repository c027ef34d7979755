// The boundary between the game and the window system, clock, files and sound library.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"

namespace pawnfall {

// Menu items whose check marks the game reads and sets.
enum class MenuItem { MIDORI, TATAMI, TAKE, UCHU, RENGA, SIDOU, BGM };

enum class MessageIcon { None, Warning };

// A stored picture: a board or picture code and, for pieces and the empty square, its picture
// number (0 marked, 1 and 2 the checkerboard shades). Tiles and the banner use number 0.
struct Picture {
  int code = 0;
  int number = 0;
  friend bool operator==(const Picture&, const Picture&) = default;
};

// Everything the game needs from outside itself. Positions are in twips; the implementation
// alone turns them into pixels.
class Platform {
 public:
  virtual ~Platform() = default;

  // The persistent image of the client area.
  virtual void paint_picture(Picture picture, double x, double y) = 0;
  virtual void draw_outline(int colour, double x1, double y1, double x2, double y2) = 0;
  virtual void print_text(double x, double y, std::string_view text, std::string_view face,
                          int points, int colour) = 0;
  // Shows the image on the screen now, even in the middle of an event handler.
  virtual void present() = 0;

  virtual bool checked(MenuItem item) const = 0;
  virtual void set_checked(MenuItem item, bool on) = 0;

  // A modal box with an OK button.
  virtual void message_box(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

  // Blocks for the given time on a steady clock without handling events.
  virtual void wait(double seconds) = 0;

  // The sound library's operations, or nullopt when it cannot be loaded or lacks one.
  virtual std::optional<SoundLibrary> load_sound_library() = 0;

  // Text files by bare name in the current directory, in Shift_JIS, as UTF-8 lines. Reading
  // splits at CR LF or a lone CR and answers nullopt when the file cannot be opened or read.
  virtual std::optional<std::vector<std::string>> read_text_lines(std::string_view name) = 0;
  // Replaces the file whole (CR LF endings): afterwards it is either the old or the new file.
  virtual bool replace_text_file(std::string_view name, const std::vector<std::string>& lines) = 0;
};

}  // namespace pawnfall
