// A private Xvfb display and the built program running on it, in a fresh temporary folder.
#include "tests/e2e/xsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <sys/prctl.h>
#include <unistd.h>

#include "sound/sound.h"

namespace pawnfall::e2e {

QStringList wave_files() {
  QStringList names;
  for (const auto& s : 音源表)
    names << QString::fromUtf8(s.ファイル名.data(), static_cast<qsizetype>(s.ファイル名.size()));
  return names;
}

void end_with_the_test(QProcess& process, int signal) {
  // A test that died before the request took effect is no longer this child's parent.
  process.setChildProcessModifier([test = getpid(), signal] {
    if (prctl(PR_SET_PDEATHSIG, signal) != 0 || getppid() != test) _exit(127);
  });
}

XSession::XSession(bool window_manager, QSize screen) {
  // A display number of our own, away from the low ones people use by hand; a server that
  // does not answer is given up for the next number. -noreset: the server must not restart
  // (and refuse connections meanwhile) whenever its last client leaves.
  for (int attempt = 0; attempt < 20 && display_ < 0; ++attempt) {
    const int n = 200 + (QCoreApplication::applicationPid() * 7 + attempt * 13) % 700;
    if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) continue;
    end_with_the_test(xvfb_, SIGTERM);  // TERM lets the server remove its lock file
    xvfb_.start(QStringLiteral("Xvfb"),
                {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                 QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                 QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!xvfb_.waitForStarted(5000)) continue;
    display_ = n;
    bool answered = false;
    for (int i = 0; i < 50 && !answered && xvfb_.state() == QProcess::Running; ++i) {
      answered =
          run(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")}, 2000).has_value();
      if (!answered) QThread::msleep(100);
    }
    if (answered) {
      if (window_manager) start_window_manager();
      return;
    }
    display_ = -1;
    xvfb_.kill();
    xvfb_.waitForFinished(2000);
  }
}

void XSession::start_window_manager() {
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display());
  window_manager_.setProcessEnvironment(env);
  end_with_the_test(window_manager_);
  window_manager_.start(QStringLiteral("openbox"), {});
  // Ready once it has claimed the screen and says so on the root window.
  for (int i = 0; i < 50; ++i) {
    const auto wm = run(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    if (wm && wm->contains(QStringLiteral("window id"))) return;
    QThread::msleep(100);
  }
}

XSession::~XSession() {
  if (window_manager_.state() != QProcess::NotRunning) {
    window_manager_.terminate();
    window_manager_.waitForFinished(2000);
  }
  xvfb_.terminate();
  if (!xvfb_.waitForFinished(3000)) xvfb_.kill();
  xvfb_.waitForFinished(1000);
}

std::optional<QString> XSession::run(const QString& program, const QStringList& args,
                                     int timeout_ms) {
  QProcess p;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display());
  p.setProcessEnvironment(env);
  end_with_the_test(p);
  p.start(program, args);
  if (!p.waitForFinished(timeout_ms) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return std::nullopt;
  return QString::fromUtf8(p.readAllStandardOutput());
}

QImage XSession::screenshot() {
  QProcess p;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display());
  p.setProcessEnvironment(env);
  end_with_the_test(p);
  p.start(QStringLiteral("import"),
          {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
  if (!p.waitForFinished(10000)) return {};
  return QImage::fromData(p.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
}

GameProcess::GameProcess(XSession& x, GameOptions options) : x_(x) {
  const QDir run(QStringLiteral(PAWNFALL_RUN_DIR));
  const bool as_home = !options.program_as_home.isEmpty();
  if (!as_home) {
    for (const QString& name : wave_files()) {
      QFile::link(run.filePath(name), QDir(dir_.path()).filePath(name));
    }
  }
  if (options.prepare) options.prepare(dir_.path());
  const QStringList& wrapper = options.wrapper;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), x.display());
  if (options.silent_audio_driver) {
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
  } else {
    // No device to open: a driver that does not exist stands for a machine without sound.
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("none"));
  }
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  // No session bus: without an address libdbus would start one for the display and leave its
  // files in the player's home.
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
  if (as_home) {
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.remove(QStringLiteral("XDG_DATA_HOME"));
  }
  for (const QString& setting : options.environment) {
    if (setting.contains('='))
      env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    else
      env.remove(setting);
  }
  process_.setProcessEnvironment(env);
  process_.setWorkingDirectory(dir_.path());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  end_with_the_test(process_);
  const QString program =
      as_home ? options.program_as_home : run.filePath(QStringLiteral("pawnfall"));
  if (options.read_only_folder) {
    // Even root cannot write into a read-only bind mount, which a permission bit would not stop.
    const QString script = QStringLiteral(
        "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" \"$1\" && cd \"$1\" && "
        "exec \"$2\"");
    process_.start(QStringLiteral("unshare"),
                   {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                    QStringLiteral("sh"), dir_.path(), program});
  } else if (!wrapper.isEmpty()) {
    process_.start(wrapper.first(), wrapper.mid(1) << program);
  } else {
    process_.start(program, {});
  }
  started_ = process_.waitForStarted(5000);
}

GameProcess::~GameProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

std::optional<QString> XSession::visible_window(const QString& caption_pattern) {
  auto found =
      run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--name"), caption_pattern});
  if (!found || found->trimmed().isEmpty()) return std::nullopt;
  return found->trimmed().split('\n').first();
}

bool XSession::answer_box(const QString& caption_pattern) {
  const auto box = visible_window(caption_pattern);
  if (!box) return false;
  run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), *box,
                                  QStringLiteral("key"), QStringLiteral("Return")});
  // Give the box time to close so it is not answered twice.
  for (int i = 0; i < 20 && visible_window(caption_pattern) == box; ++i) QThread::msleep(50);
  return true;
}

namespace {

const QString kMainCaption = QStringLiteral("^Pawnfall for Windows$");
const QString kWarningCaption = QStringLiteral("^Pawnfall(\\.dll)?$");

}  // namespace

bool GameProcess::wait_for_window(int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    if (x_.visible_window(kWarningCaption)) return false;
    if (auto main = x_.visible_window(kMainCaption)) {
      window_ = *main;
      return true;
    }
    QThread::msleep(100);
  }
  return false;
}

int GameProcess::dismiss_start_up_warnings(int timeout_ms) {
  // The sound's warnings come just after the first frame: once the window is there, a quiet
  // second with no box ends the start-up.
  constexpr int kQuietMs = 1000;
  int warnings = 0, quiet = 0;
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    if (x_.answer_box(kWarningCaption)) {
      ++warnings;
      quiet = 0;
      continue;
    }
    if (auto main = x_.visible_window(kMainCaption)) {
      window_ = *main;
      if (quiet >= kQuietMs) return warnings;
      quiet += 100;
    }
    QThread::msleep(100);
  }
  return -1;
}

QStringList GameProcess::files() const {
  return QDir(dir_.path())
      .entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot,
                 QDir::Name);
}

void GameProcess::key(const QString& name) {
  x_.run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                     window_, QStringLiteral("key"), name});
}

std::optional<int> GameProcess::wait_for_exit(int timeout_ms) {
  if (!process_.waitForFinished(timeout_ms)) return std::nullopt;
  if (process_.exitStatus() != QProcess::NormalExit) return -1;
  return process_.exitCode();
}

}  // namespace pawnfall::e2e
