// Measures the game's processor time against the wall clock while it sits idle and while a long
// animation runs, in a real window on the X server of $DISPLAY.
//
//   cpu_probe [--idle-ms N]
//
// Opens the game's main window in a fresh folder with the wave files (built into the run folder,
// beside the game and its sound library), lets it sit for the idle time, then builds a
// chain on a constructed late-game board whose commit closes columns for several seconds, and
// times the commit. Prints one line:
//   idle_cpu_percent=0.0 animating_cpu_percent=1.2 animation_ms=5400
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "tests/unit/play_helpers.h"
#include "view/redraw.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace pawnfall;

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void press(QWidget* view, int col, int row, Qt::MouseButton button) {
  const QPointF at(twips_to_pixels(盤左端 + 桝幅 * (col + 0.5)),
                   twips_to_pixels(盤上端 + 桝高 * (row + 0.5)));
  QMouseEvent event(QEvent::MouseButtonPress, at, view->mapToGlobal(at), button, button,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(view, &event);
}

// Runs the event loop for the time, as the idle game does.
void run_for(int ms) {
  QTimer::singleShot(ms, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  int idle_ms = 2000;
  if (argc == 3 && std::strcmp(argv[1], "--idle-ms") == 0) idle_ms = std::atoi(argv[2]);
  QApplication app(argc, argv);
  install_fonts();
  // The game's own folder: this program stands beside the sound library and the waves, as the
  // game does, so their mixing counts too.
  QTemporaryDir folder;
  const QDir run(QCoreApplication::applicationDirPath());
  for (const QString& wave : run.entryList({QStringLiteral("*.wav")}))
    QFile::link(run.filePath(wave), QDir(folder.path()).filePath(wave));
  QDir::setCurrent(folder.path());

  MainWindow window;
  window.show_in_place();
  run_for(500);  // mapped, painted and settled

  const auto idle_start = Clock::now();
  const double idle_cpu = cpu_seconds();
  run_for(idle_ms);
  const double idle_wall = std::chrono::duration<double>(Clock::now() - idle_start).count();
  const double idle_used = cpu_seconds() - idle_cpu;

  window.game().盤面 = test::長い閉じ込みの盤();
  画面_再描画(window.game());
  QWidget* view = window.board_view();
  press(view, 1, 11, Qt::LeftButton);
  press(view, 1, 12, Qt::LeftButton);
  const auto start = Clock::now();
  const double cpu = cpu_seconds();
  press(view, 1, 12, Qt::RightButton);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double used = cpu_seconds() - cpu;

  std::printf("idle_cpu_percent=%.1f animating_cpu_percent=%.1f animation_ms=%.0f\n",
              100 * idle_used / idle_wall, 100 * used / wall, wall * 1000);
  return 0;
}
