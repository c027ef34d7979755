// Where the program keeps its settings file and finds its sounds: the installed program in the
// player's data folder by the XDG rules, a built one in the folder it runs in.
#include "app/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "app/qt_files.h"

namespace pawnfall {
namespace {

bool absolute(const char* path) { return path != nullptr && path[0] == '/'; }

// Makes each missing folder of the path, private to the player as the XDG rules ask; answers
// the error number of the first that could not be made, or 0 once the whole path is a folder.
// Where the whole path cannot be made, the folders made on the way are removed again.
int make_folders(const std::string& path) {
  std::vector<std::string> made;
  const auto fail = [&](int error) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) ::rmdir(it->c_str());
    return error;
  };
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) == 0)
      made.push_back(std::move(part));
    else if (errno != EEXIST)
      return fail(errno);
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return fail(errno);
  return S_ISDIR(info.st_mode) ? 0 : fail(ENOTDIR);
}

// A path as a box shows it: a very long one with its middle left out.
std::string shown(const std::string& path) {
  constexpr std::size_t kHead = 40, kTail = 30;
  if (path.size() <= kHead + kTail + 10) return path;
  // Cut at the start of a UTF-8 character.
  auto start = [&](std::size_t i) {
    while (i < path.size() && (static_cast<unsigned char>(path[i]) & 0xC0) == 0x80) ++i;
    return i;
  };
  const std::size_t head = start(kHead), tail = start(path.size() - kTail);
  return path.substr(0, head) + "…" + path.substr(tail);
}

// The data folder as the XDG rules name it ($XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share, then "pawnfall"); nullopt without an absolute home.
std::optional<std::string> data_folder_for(const char* xdg_data_home, const char* home) {
  // A relative or empty value is to be ignored, as if unset.
  if (absolute(xdg_data_home)) return std::string(xdg_data_home) + "/pawnfall";
  if (absolute(home)) return std::string(home) + "/.local/share/pawnfall";
  return std::nullopt;
}

}  // namespace

Place settle_in_data_folder(const std::string& sounds_from_program) {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  const auto sounds = program.parent_path() / sounds_from_program;
  // A built program finds its sounds and settings in the folder it runs in, as ever.
  if (error || !std::filesystem::is_directory(sounds, error)) return {};

  Place place{sounds.lexically_normal().string(), std::nullopt};
  const auto folder = data_folder_for(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (!folder) {
    place.files_unavailable = "ホームフォルダが分からないため、設定を保存する場所がありません。";
    return place;
  }
  int made = make_folders(*folder);
  if (made == 0 && ::chdir(folder->c_str()) != 0) made = errno;
  if (made != 0)
    place.files_unavailable =
        "データフォルダ " + shown(*folder) + " を用意できません: " + describe_error(made);
  return place;
}

}  // namespace pawnfall
