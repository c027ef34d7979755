// A private Xvfb display and the built program running on it, in a fresh temporary folder.
#pragma once

#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

#include <functional>
#include <optional>

namespace pawnfall::e2e {

// The five wave files' names, as the game reads them.
QStringList wave_files();

// The kernel sends the process, once started, the signal when the test's starting thread ends.
void end_with_the_test(QProcess& process, int signal = SIGKILL);

class XSession {
 public:
  // With a window manager (openbox), as on a desktop; without, a bare X server. The screen
  // has the given size in pixels.
  explicit XSession(bool window_manager = false, QSize screen = QSize(1024, 768));
  ~XSession();
  bool ok() const { return display_ >= 0; }
  QString display() const { return QStringLiteral(":%1").arg(display_); }

  // Runs a command on the display and answers its standard output, or nullopt on failure.
  std::optional<QString> run(const QString& program, const QStringList& args,
                             int timeout_ms = 10000);
  QImage screenshot();
  void start_window_manager();
  // The id of a visible window whose caption matches the pattern.
  std::optional<QString> visible_window(const QString& caption_pattern);
  // Presses Return on a visible box whose caption matches and waits for it to close; answers
  // whether there was one.
  bool answer_box(const QString& caption_pattern);

 private:
  QProcess xvfb_;
  QProcess window_manager_;
  int display_ = -1;
};

// How the game is started: the folder is made first, then `prepare` may change it.
struct GameOptions {
  bool silent_audio_driver = true;  // SDL's dummy driver; off means no audio device at all
  bool read_only_folder = false;    // the folder mounted read-only in a private namespace
  std::function<void(const QString& folder)> prepare;
  // Another program to start instead of the built one, in the folder as the player's home,
  // which then gets no wave files of its own.
  QString program_as_home;
  // Further environment variables, such as SDL's disk driver settings; a bare name unsets one.
  QStringList environment;
  // A command that starts the program given after it as its last argument, such as
  // sh -c 'ulimit -f 0 && exec "$0"'.
  QStringList wrapper;
};

// The game started in a fresh folder, which holds links to the wave files unless it stands for
// the player's home.
class GameProcess {
 public:
  explicit GameProcess(XSession& x, GameOptions options = {});
  ~GameProcess();
  bool started() const { return started_; }
  // Waits for the main window; false also when a warning box showed up first.
  bool wait_for_window(int timeout_ms = 10000);
  // Presses OK on every warning box (the sound's "Pawnfall.dll", the settings file's
  // "Pawnfall") that shows up while the game starts, and answers how many there were.
  int dismiss_start_up_warnings(int timeout_ms = 15000);
  QString folder() const { return dir_.path(); }
  QStringList files() const;
  void key(const QString& name);
  // Waits for the program to end; nullopt when it is still running after the time.
  std::optional<int> wait_for_exit(int timeout_ms);
  qint64 pid() const { return process_.processId(); }

 private:
  XSession& x_;
  QTemporaryDir dir_;
  QProcess process_;
  QString window_;
  bool started_ = false;
};

}  // namespace pawnfall::e2e
