// Files by name in the current folder: bounded reads of regular files, replacements that either
// happen whole or change nothing.
#include "app/qt_files.h"

#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "app/qt_text.h"

namespace pawnfall {
namespace {

std::string path_of(std::string_view name) { return std::string(name); }

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

 private:
  int fd_;
};

// Rewrites the file where it stands, for a folder that allows no new file beside it. The room
// for the new text is taken first, so a full disk fails before a byte of the old file changes.
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
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return from_errno(errno);
    done += static_cast<std::size_t>(n);
  }
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

}  // namespace

std::unique_ptr<FileLock> lock_folder_of(std::string_view name, std::chrono::milliseconds wait) {
  // The folder is locked rather than a lock file beside the settings: no file of the game's
  // own is left in the player's folder, and a folder that allows no new file is locked too.
  const std::string path = path_of(name);
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that cannot be opened or locked at all (some network file systems) is saved to
  // without the lock, as before: only another holder makes the save wait.
  if (fd < 0) return std::make_unique<FileLock>();
  auto lock = std::make_unique<FolderLock>(fd);
  const auto end = std::chrono::steady_clock::now() + wait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return lock;
    if (std::chrono::steady_clock::now() >= end) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return lock;
}

SaveResult replace_regular_file(std::string_view name, std::string_view bytes) {
  const std::string path = path_of(name);
  // Only a regular file is replaced: a device or pipe at the name (even through a link) stays.
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) return SaveResult::NotRegular;
  // A file made read-only stays as it is: renaming a new one over it would get round that.
  if (exists && ::access(path.c_str(), W_OK) != 0) return SaveResult::NotPermitted;

  // QSaveFile writes beside the file and renames over it, following a link to its target.
  QSaveFile file(qs(name));
  if (!file.open(QIODevice::WriteOnly)) {
    const int error = errno;
    if (exists && ::access(QFileInfo(qs(name)).absolutePath().toLocal8Bit().constData(), W_OK) != 0)
      return rewrite_in_place(path, bytes);
    return from_errno(error);
  }
  const auto size = static_cast<qint64>(bytes.size());
  // The flush is checked apart: a write that fails inside commit's own flush is not reported.
  errno = 0;
  if (file.write(bytes.data(), size) != size || !file.flush()) {
    const int error = errno;
    file.cancelWriting();
    return from_errno(error);
  }
  errno = 0;
  if (!file.commit()) return from_errno(errno);
  return SaveResult::Saved;
}

}  // namespace pawnfall
