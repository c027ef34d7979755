// The Qt implementation of the platform: one facade over the drawing, the files and the rest
// (menus, boxes, the clock and the sound library).
#include "app/qt_platform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLibrary>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <sys/stat.h>

#include <chrono>

#include "app/board_view.h"
#include "app/qt_files.h"
#include "app/qt_text.h"
#include "app/shared_object.h"

namespace pawnfall {

void QtPlatform::paint_picture(Picture picture, double x, double y) {
  drawing_.paint_picture(picture, x, y);
}

void QtPlatform::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  drawing_.draw_outline(colour, x1, y1, x2, y2);
}

void QtPlatform::print_text(double x, double y, std::string_view text, std::string_view face,
                            int points, int colour) {
  drawing_.print_text(x, y, text, face, points, colour);
}

void QtPlatform::present() {
  const QRect drawn = drawing_.take_drawn();
  if (surface_)
    surface_->show_drawn(drawn);
  else  // shown nowhere, it needs no painting, and the record may stay compact
    drawing_.mark_painted();
}

bool QtPlatform::checked(MenuItem item) const {
  auto it = actions_.find(item);
  return it != actions_.end() && it->second->isChecked();
}

void QtPlatform::set_checked(MenuItem item, bool on) {
  auto it = actions_.find(item);
  if (it != actions_.end()) it->second->setChecked(on);
}

void QtPlatform::message_box(std::string_view text, std::string_view caption, MessageIcon icon) {
  // Lines are separated by a lone CR in the game's texts.
  QString body = qs(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
  QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                  qs(caption), body, QMessageBox::Ok, surface_ ? surface_->window() : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtPlatform::wait(double seconds) {
  // The window keeps answering the window system (repaints when uncovered, the window
  // manager's ping, focus) while presses, keys and menu commands wait in the queue and run in
  // order after the press being handled. The loop sleeps until an event or the end comes.
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(seconds));
  QEventLoop pause;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &pause, &QEventLoop::quit);
  // A steady clock, so midnight or a clock change neither shortens nor stretches the pause.
  for (auto now = std::chrono::steady_clock::now(); now < end;
       now = std::chrono::steady_clock::now()) {
    timer.start(std::chrono::ceil<std::chrono::milliseconds>(end - now));
    pause.exec(QEventLoop::ExcludeUserInputEvents);
  }
}

std::optional<SoundLibrary> QtPlatform::load_sound_library() {
  // Only from the program's own folder, and by its full file name: a player's working folder
  // must not supply code, and no other file beside the program may stand in for it.
  static QLibrary library;
  const QString path =
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libPawnfall.so"));
  // Only a regular file (through links): the loader's open of a pipe would block for ever. A
  // file cut short counts as none: loading it would end the program.
  const QByteArray file = QFile::encodeName(path);
  struct stat info {};
  if (::stat(file.constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
      !whole_shared_object(file.toStdString()))
    return std::nullopt;
  library.setFileName(path);
  if (!library.load()) return std::nullopt;
  const auto table = SoundLibrary::resolved([](const char* name) { return library.resolve(name); });
  if (!table.complete()) return std::nullopt;
  return table;
}

FileContents QtPlatform::read_file(std::string_view name, std::size_t max_bytes) {
  if (files_unavailable_) return {FileStatus::Unreadable, {}, *files_unavailable_};
  return read_regular_file(name, max_bytes);
}

SaveResult QtPlatform::replace_file(std::string_view name, std::string_view bytes) {
  if (files_unavailable_) return SaveResult::Failed;
  return replace_regular_file(name, bytes);
}

std::unique_ptr<FileLock> QtPlatform::lock_file(std::string_view name) {
  // Long enough for a few other windows' saves on a slow disk, short enough not to be a hang.
  return lock_folder_of(name, kFileLockWait);
}

}  // namespace pawnfall
