// One of several game windows in one folder that raise their best score at the same moments,
// run by save_race.sh. Each reports every fall of the stored best score it sees.
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/main_window.h"
#include "app/qt_files.h"
#include "model/settings_file.h"

using namespace pawnfall;

namespace {

double stored_best() {
  const FileContents file = read_regular_file(設定ファイル名, 設定最大バイト数);
  return 解析_設定(行に分ける(復号_設定(file.bytes))).過去最高スコア.value_or(-1);
}

}  // namespace

// save_race <window 0..2> <rounds> <start, ms since the epoch> <ms between rounds>
int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const int window = std::atoi(argv[1]), rounds = std::atoi(argv[2]);
  const std::chrono::system_clock::time_point start{std::chrono::milliseconds(std::atoll(argv[3]))};
  const std::chrono::milliseconds gap(std::atoi(argv[4]));
  QApplication app(argc, argv);
  int boxes = 0;
  // The sound library is not beside this program, and a failed save would tell: both boxes are
  // answered at once, and the save's counted.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (box->windowTitle() != QStringLiteral("Pawnfall.dll")) ++boxes;
      box->accept();
    }
  });
  closer.start(5);
  MainWindow w;
  for (int i = 0; i < 20; ++i) QApplication::processEvents();

  double seen = 0;
  int falls = 0;
  const auto look = [&](const char* when, int round) {
    const double best = stored_best();
    if (best < seen) {
      std::printf("fell: window %d, round %d, %s: %g after %g\n", window, round, when, best, seen);
      ++falls;
    }
    seen = std::max(seen, best);
  };
  for (int round = 0; round < rounds; ++round) {
    std::this_thread::sleep_until(start + round * gap);
    look("before", round);
    // Each window's score beats its own best, and the three scores of a round differ.
    w.game().スコア = 3 * round + window + 1;
    w.new_game_action()->trigger();
    look("after", round);
  }
  std::this_thread::sleep_until(start + rounds * gap);
  look("at the end", rounds);
  std::printf("window %d: %d rounds, %d falls, %d warnings, stored best %g\n", window, rounds,
              falls, boxes, stored_best());
  return falls == 0 && boxes == 0 ? 0 : 1;
}
