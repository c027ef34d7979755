// A platform that records what the game draws, shows and asks, with a virtual clock.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/platform.h"

namespace pawnfall::test {

class FakePlatform : public Platform {
 public:
  struct Paint {
    Picture picture;
    double x, y;
  };
  struct Outline {
    int colour;
    double x1, y1, x2, y2;
  };
  struct Text {
    double x, y;
    std::string text, face;
    int points, colour;
  };
  struct Message {
    std::string text, caption;
    MessageIcon icon;
  };

  FakePlatform();

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

  // The background tiles' items that are checked, in the tile table's order.
  std::vector<MenuItem> checked_backgrounds() const;
  // Forgets what was drawn so far (not the files, checks or library).
  void clear_drawing();

  std::vector<Paint> paints;
  std::vector<Outline> outlines;
  std::vector<Text> texts;
  std::vector<Message> messages;
  // Every drawing call in order, as "paint", "outline", "text", "present" and "wait".
  std::vector<std::string> events;
  int presents = 0;
  int waits = 0;
  double waited_seconds = 0;

  std::map<MenuItem, bool> checks;
  std::optional<SoundLibrary> library;  // what load_sound_library answers

  // Files as the lines they hold; they reach the game as the bytes of a real settings file.
  std::map<std::string, std::vector<std::string>, std::less<>> files;
  std::map<std::string, std::string, std::less<>> raw_files;  // read as these very bytes
  std::set<std::string, std::less<>> unreadable;   // names whose read fails although present
  bool lock_busy = false;                          // another holder keeps the lock
  std::set<std::string, std::less<>> not_regular;  // names at which a pipe or device stands
  std::optional<SaveResult> fail_writes;           // how every write fails, if it does
  std::function<void()> after_write;               // another writer, just after each write
  int writes = 0;
};

}  // namespace pawnfall::test
