// The boundary between the game and the window system, clock, files and sound library.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "model/state.h"

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

// The function table of the sound library, or all null when none could be loaded.
struct SoundLibrary {
  std::int32_t (*dsInitialize)(std::int32_t window) = nullptr;
  std::int32_t (*dsCreateDSB)(std::int32_t iface, const void* image, std::int32_t flags) = nullptr;
  std::int32_t (*dsPlay)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsPlayLooping)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsStop)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsFree)(std::int32_t buffer) = nullptr;
  std::int32_t (*dsTerminate)(std::int32_t iface) = nullptr;

  bool complete() const {
    return dsInitialize && dsCreateDSB && dsPlay && dsPlayLooping && dsStop && dsFree &&
           dsTerminate;
  }

  // The operations found by name with `lookup` (a name to an address, or null).
  template <class Lookup>
  static SoundLibrary resolved(Lookup lookup) {
    SoundLibrary table;
    auto resolve = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(lookup(name));
    };
    resolve(table.dsInitialize, "dsInitialize");
    resolve(table.dsCreateDSB, "dsCreateDSB");
    resolve(table.dsPlay, "dsPlay");
    resolve(table.dsPlayLooping, "dsPlayLooping");
    resolve(table.dsStop, "dsStop");
    resolve(table.dsFree, "dsFree");
    resolve(table.dsTerminate, "dsTerminate");
    return table;
  }
};

// What reading a file found: its bytes; no file at all; a file that is there but could not be
// read (it must be left alone, `reason` says why); or something that is no regular file (a
// folder, pipe or device), which is left alone too.
enum class FileStatus { Read, Missing, Unreadable, NotRegular };
struct FileContents {
  FileStatus status = FileStatus::Missing;
  std::string bytes;
  std::string reason;  // for Unreadable: a sentence for the player
};

// Held while a file is read, compared and replaced, so that another copy of the game saving the
// same file waits; let go when destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

// How long a save waits for another holder of the lock: long enough for any save on a slow
// disk, short enough that the game never seems to hang.
inline constexpr std::chrono::milliseconds kFileLockWait{1500};

// How replacing a file ended.
enum class SaveResult { Saved, NoSpace, NotPermitted, NotRegular, Busy, Failed };

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

  // Files by bare name in the current folder. Reading takes at most max_bytes of the file.
  virtual FileContents read_file(std::string_view name, std::size_t max_bytes) = 0;
  // Replaces the file whole: afterwards it is either the old or the new file.
  virtual SaveResult replace_file(std::string_view name, std::string_view bytes) = 0;
  // The lock for replacing the file, waiting a short while for another holder; null when it
  // could not be had in that time.
  virtual std::unique_ptr<FileLock> lock_file(std::string_view name) = 0;
};

}  // namespace pawnfall
