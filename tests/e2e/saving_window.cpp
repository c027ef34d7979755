// A game window that raises its best score on cue, one of a few that may share a folder; run by
// the settings file's fault tests. It reports every fall of the stored best score it sees and
// the boxes it answered.
//
// saving_window <window> <rounds> <first score> <delay ms> <box ms>: once it says "ready" (its
// window up, its sound's warning answered), it reads the moment of round 0 in milliseconds since
// the epoch from standard input. Round r comes 400 ms later than round r - 1, and the window's
// score then beats its own best: first score + 3r + window. A warning box of the settings file
// is answered after it has been open for <box ms>.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/qt_files.h"
#include "model/settings_file.h"

using namespace pawnfall;

namespace {

// The stored best score, where the file can be read.
std::optional<double> stored_best() {
  const FileContents file = read_regular_file(設定ファイル名, 設定最大バイト数);
  if (file.status != FileStatus::Read) return std::nullopt;
  return 解析_設定(行に分ける(復号_設定(file.bytes))).過去最高スコア.value_or(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) return 2;
  const int window = std::atoi(argv[1]), rounds = std::atoi(argv[2]), first = std::atoi(argv[3]);
  const std::chrono::milliseconds delay(std::atoi(argv[4])), gap(400);
  const qint64 box_ms = std::atoi(argv[5]);
  QApplication app(argc, argv);
  int warnings = 0, sound_warnings = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!box->property("shown").isValid()) box->setProperty("shown", now);
    const bool sound = box->windowTitle() == QStringLiteral("Pawnfall.dll");
    if (!sound && now - box->property("shown").toLongLong() < box_ms) return;
    ++(sound ? sound_warnings : warnings);
    box->accept();
  });
  closer.start(5);
  MainWindow w;
  w.show();
  // The sound starts after the first frame; the library is never beside this program whole.
  for (int i = 0; i < 2000 && sound_warnings == 0; ++i) {
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::cout << "ready" << std::endl;
  std::string line;
  if (!std::getline(std::cin, line)) return 2;
  const std::chrono::system_clock::time_point start{std::chrono::milliseconds(std::stoll(line))};

  double seen = 0;
  int falls = 0;
  const auto look = [&](const char* when, int round) {
    const auto stored = stored_best();
    if (!stored) return;
    const double best = *stored;
    if (best < seen) {
      std::printf("fell: window %d, round %d, %s: %g after %g\n", window, round, when, best, seen);
      ++falls;
    }
    seen = std::max(seen, best);
  };
  for (int round = 0; round < rounds; ++round) {
    std::this_thread::sleep_until(start + round * gap + delay);
    look("before", round);
    w.game().スコア = first + 3 * round + window;
    w.new_game_action()->trigger();
    look("after", round);
  }
  std::this_thread::sleep_until(start + rounds * gap);
  look("at the end", rounds);
  std::printf("window %d: falls %d, warnings %d, sound warnings %d\n", window, falls, warnings,
              sound_warnings);
  return 0;
}
