// Files by name in the current folder: bounded reads of regular files, replacements that either
// happen whole or change nothing, and the lock between copies of the game saving one file.
#include "app/qt_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>

namespace pawnfall {
namespace {

std::string path_of(std::string_view name) { return std::string(name); }

std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// Where a link at the path leads, or the path itself.
std::string resolved(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string target(real);
  std::free(real);
  return target;
}

// A save's own files stand beside the file, hidden, under its name and a mark no player's file
// bears, so that what a killed save left can be told apart and removed: the replacement is
// ".NAME.saving-" and six letters or digits, the lock file where flock is refused ".NAME.saving".
constexpr std::string_view kSaving = ".saving";
constexpr std::size_t kTemporaryLetters = 6;
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string saving_name(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, base) + '.' + path.substr(base) + std::string(kSaving);
}

std::string temporary_name(const std::string& path) {
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string name = saving_name(path) + '-';
  for (std::size_t i = 0; i < kTemporaryLetters; ++i) name += kLetters[pick(random)];
  return name;
}

bool is_temporary_of(std::string_view entry, const std::string& base) {
  const std::string prefix = saving_name(base) + '-';
  return entry.size() == prefix.size() + kTemporaryLetters && entry.starts_with(prefix) &&
         entry.substr(prefix.size()).find_first_not_of(kLetters) == std::string_view::npos;
}

// A file a save makes is gone within seconds; one older than this was left by a save that died.
constexpr std::time_t kLeftBehindSeconds = 10;
bool left_behind(const struct stat& info) {
  return info.st_mtime + kLeftBehindSeconds < std::time(nullptr);
}

SaveResult from_errno(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return SaveResult::NoSpace;
    case EACCES:
    case EPERM:
    case EROFS:
      return SaveResult::NotPermitted;
    default:
      return SaveResult::Failed;
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now: a network file system may report a failed write only here.
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// Rewrites the file where it stands, for a folder that allows no new file beside it. The room
// for the new text is taken first, so a full disk fails before a byte of the old file changes.
SaveResult write_all(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return from_errno(errno);
    done += static_cast<std::size_t>(n);
  }
  return SaveResult::Saved;
}

SaveResult rewrite_in_place(const std::string& path, std::string_view bytes) {
  const Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return from_errno(errno);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return from_errno(errno);
  if (!S_ISREG(info.st_mode)) return SaveResult::NotRegular;
  const auto size = static_cast<off_t>(bytes.size());
  if (size > info.st_size) {
    if (const int error = ::posix_fallocate(fd.get(), 0, size); error != 0)
      return from_errno(error);
  }
  if (const SaveResult written = write_all(fd.get(), bytes); written != SaveResult::Saved)
    return written;
  if (::ftruncate(fd.get(), size) != 0 || ::fsync(fd.get()) != 0) return from_errno(errno);
  return SaveResult::Saved;
}

}  // namespace

std::string describe_error(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "権限がありません。";
    case EROFS:
      return "読み取り専用の場所です。";
    case EIO:
      return "入出力エラーが起きました。";
    case ESTALE:
      return "ネットワーク上のファイルの参照が古くなっています。";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます。";
    case ENOMEM:
      return "メモリが足りません。";
    case ENOENT:
      return "見つかりません。";
    case ENOTDIR:
    case EEXIST:
      return "フォルダではないものが途中にあります。";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空きが足りません。";
    case ENAMETOOLONG:
      return "名前が長すぎます。";
    case ELOOP:
      return "リンクが多すぎるか、循環しています。";
    case EISDIR:
      return "フォルダです。";
    case EFBIG:
    case EOVERFLOW:
      return "ファイルが大きすぎます。";
    case EBUSY:
    case ETXTBSY:
      return "ほかのプログラムが使っています。";
    case ENOLCK:
      return "ロックを掛けられません。";
    case EINTR:
    case EAGAIN:
      return "一時的に使えません。";
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
      return "この場所では使えない操作です。";
    case ENXIO:
    case ENODEV:
      return "装置が見つかりません。";
    case EMLINK:
      return "リンクが多すぎます。";
    case ETIMEDOUT:
      return "応答がありません。";
    case ENOTCONN:
    case ECONNABORTED:
    case ECONNRESET:
    case ECONNREFUSED:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
      return "ネットワークにつながりません。";
    default:
      return "原因の分からないエラーが起きました（エラー番号 " + std::to_string(error) + "）。";
  }
}

FileContents read_regular_file(std::string_view name, std::size_t max_bytes) {
  const std::string path = path_of(name);
  // Only a file that is not there counts as missing: any other failure leaves the file as it
  // is, since it may hold the player's best score.
  const auto failed = [](int error) {
    if (error == ENOENT) return FileContents{FileStatus::Missing, {}, {}};
    return FileContents{FileStatus::Unreadable, {}, describe_error(error)};
  };
  // Asked before opening: opening a pipe blocks and opening a device may act on it.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return failed(errno);
  if (!S_ISREG(info.st_mode)) return {FileStatus::NotRegular, {}, {}};
  // Non-blocking and checked again, in case something else now stands at the name.
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return failed(errno);
  if (::fstat(fd.get(), &info) != 0) return failed(errno);
  if (!S_ISREG(info.st_mode)) return {FileStatus::NotRegular, {}, {}};

  std::string bytes;
  char chunk[4096];
  while (bytes.size() < max_bytes) {
    const ssize_t n = ::read(fd.get(), chunk, std::min(sizeof chunk, max_bytes - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {FileStatus::Unreadable, {}, describe_error(errno)};
    if (n == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return {FileStatus::Read, std::move(bytes), {}};
}

namespace {

class FolderLock : public FileLock {
 public:
  explicit FolderLock(int fd) : fd_(fd) {}

 private:
  Descriptor fd_;  // closing it lets go of the lock
};

// For a file system that refuses flock: a file beside the settings made only while a save runs.
class LockFile : public FileLock {
 public:
  explicit LockFile(std::string path) : path_(std::move(path)) {}
  ~LockFile() override { ::unlink(path_.c_str()); }

 private:
  std::string path_;
};

// A lock, or null while another holds one; `held` false where none can be had at all.
struct Lock {
  std::unique_ptr<FileLock> token;
  bool held = false;
};

Lock take_lock(const std::string& path, std::chrono::milliseconds wait) {
  const auto end = std::chrono::steady_clock::now() + wait;
  const auto pause = [&] {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return true;
  };
  // The folder is locked rather than a lock file beside the settings: no file of the game's
  // own is left in the player's folder, and a folder that allows no new file is locked too.
  if (const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
    auto lock = std::make_unique<FolderLock>(fd);
    for (;;) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return {std::move(lock), true};
      if (errno != EWOULDBLOCK && errno != EINTR) break;
      if (!pause()) return {};
    }
  }
  // Some file systems refuse flock (ENOLCK, EOPNOTSUPP) but make a file only where none is.
  const std::string lock_path = saving_name(path);
  for (;;) {
    const int fd = ::open(lock_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return {std::make_unique<LockFile>(lock_path), true};
    }
    // Where no such file can be made either, the save goes on unlocked.
    if (errno != EEXIST && errno != EINTR) return {std::make_unique<FileLock>(), false};
    struct stat info {};
    if (errno == EEXIST && ::lstat(lock_path.c_str(), &info) == 0 && left_behind(info) &&
        ::unlink(lock_path.c_str()) == 0)
      continue;
    if (!pause()) return {};
  }
}

}  // namespace

std::unique_ptr<FileLock> lock_folder_of(std::string_view name, std::chrono::milliseconds wait) {
  return take_lock(path_of(name), wait).token;
}

void remove_left_behind_temporaries(std::string_view name) {
  // Under the saves' lock no save is running, so every replacement found was left by a killed
  // one; without one, only those too old to belong to a save still running. While another
  // window saves, they wait for the next start.
  const Lock lock = take_lock(path_of(name), std::chrono::milliseconds(0));
  if (!lock.token) return;
  // Replacements are made beside the file a link leads to.
  const std::string target = resolved(path_of(name));
  const std::string folder = folder_of(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!is_temporary_of(entry->d_name, base)) continue;
    const std::string path = folder + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        (lock.held || left_behind(info)))
      ::unlink(path.c_str());
  }
}

// Written out here rather than with QSaveFile, whose commit renames the new file over the old
// one even when syncing it to the disk failed: after a crash both could then be lost.
SaveResult replace_regular_file(std::string_view name, std::string_view bytes) {
  const std::string path = path_of(name);
  // Only a regular file is replaced: a device or pipe at the name (even through a link) stays.
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) return SaveResult::NotRegular;
  // A file made read-only stays as it is: renaming a new one over it would get round that.
  if (exists && ::access(path.c_str(), W_OK) != 0) return SaveResult::NotPermitted;

  // A link is followed: its target is replaced, and the link stays.
  const std::string target = exists ? resolved(path) : path;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporary_name(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int error = errno;
    if (exists && ::access(folder_of(target).c_str(), W_OK) != 0)
      return rewrite_in_place(path, bytes);
    return from_errno(error);
  }
  Descriptor file(fd);
  const auto failed = [&](int error) {
    ::unlink(temporary.c_str());
    return from_errno(error);
  };
  // The new file keeps the old one's permissions.
  if (exists && ::fchmod(fd, info.st_mode & 07777) != 0) return failed(errno);
  if (const SaveResult written = write_all(fd, bytes); written != SaveResult::Saved) {
    ::unlink(temporary.c_str());
    return written;
  }
  if (::fdatasync(fd) != 0 || !file.close()) return failed(errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return failed(errno);
  // The rename itself reaches the disk with the folder; the new file is whole either way.
  if (const int folder = ::open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return SaveResult::Saved;
}

}  // namespace pawnfall
