// A game window that raises its best score on cue, one of a few that may share a folder in the
// settings file's fault tests; it reports every fall of the stored best it sees, and its boxes.
// saving_window <window> <rounds> <first score> <delay ms> <box ms>: once "ready", it reads the
// moment of round 0 (ms since the epoch) from standard input. Round r comes 400r + <delay> ms
// later with the score first + 3r + window. A settings box is answered after <box ms>.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/qt_files.h"
#include "model/settings_file.h"

using namespace pawnfall;

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
  const auto look = [&] {  // at the stored best, where the file can be read
    const FileContents file = read_regular_file(設定ファイル名, 設定最大バイト数);
    if (file.status != FileStatus::Read) return;
    const double best = 解析_設定(行に分ける(復号_設定(file.bytes))).過去最高スコア.value_or(0);
    falls += best < seen;
    seen = std::max(seen, best);
  };
  for (int round = 0; round < rounds; ++round) {
    std::this_thread::sleep_until(start + round * gap + delay);
    look();
    w.game().スコア = first + 3 * round + window;
    w.new_game_action()->trigger();
    look();
  }
  std::this_thread::sleep_until(start + rounds * gap);
  look();
  std::cout << "told " << falls << ' ' << warnings << ' ' << sound_warnings << std::endl;
  return 0;
}
