// A private Xvfb display and the built program running on it, in a fresh temporary folder.
#include "tests/e2e/xsession.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

namespace pawnfall::e2e {

XSession::XSession() {
  // -displayfd lets the server pick a free display and tell us its number.
  xvfb_.start(QStringLiteral("Xvfb"),
              {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
               QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
               QStringLiteral("tcp")});
  if (!xvfb_.waitForStarted(5000)) return;
  QByteArray line;
  for (int i = 0; i < 100 && !line.contains('\n'); ++i) {
    xvfb_.waitForReadyRead(100);
    line += xvfb_.readAllStandardOutput();
  }
  bool number = false;
  const int d = line.trimmed().toInt(&number);
  if (number) display_ = d;
}

XSession::~XSession() {
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
  p.start(QStringLiteral("import"),
          {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
  if (!p.waitForFinished(10000)) return {};
  return QImage::fromData(p.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
}

GameProcess::GameProcess(XSession& x) : x_(x) {
  const QDir run(QStringLiteral(PAWNFALL_RUN_DIR));
  for (const char* wave : {"その他.wav", "禁止.wav", "選択.wav", "駒打音.wav", "BGM.wav"}) {
    const QString name = QString::fromUtf8(wave);
    QFile::link(run.filePath(name), QDir(dir_.path()).filePath(name));
  }
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), x.display());
  env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process_.setProcessEnvironment(env);
  process_.setWorkingDirectory(dir_.path());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(run.filePath(QStringLiteral("pawnfall")), {});
}

GameProcess::~GameProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

bool GameProcess::wait_for_window(int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    auto found = x_.run(QStringLiteral("xdotool"),
                        {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--name"), QStringLiteral("^Pawnfall for Windows$")});
    if (found && !found->trimmed().isEmpty()) {
      window_ = found->trimmed().split('\n').first();
      return true;
    }
    QThread::msleep(100);
  }
  return false;
}

QStringList GameProcess::files() const {
  return QDir(dir_.path())
      .entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot,
                 QDir::Name);
}

void GameProcess::click(int x, int y, int button) {
  x_.run(QStringLiteral("xdotool"),
         {QStringLiteral("mousemove"), QString::number(x), QString::number(y),
          QStringLiteral("click"), QString::number(button)});
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
