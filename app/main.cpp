// Pawnfall: a single-window puzzle game of chess-piece chains.
#include <QApplication>

#include <csignal>
#include <cstdio>
#include <sstream>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  // Before QApplication, which would need a display even for --help.
  // Answered through string streams: the standard streams would set up the C++ locale
  // machinery at every start.
  if (argc > 1) {
    std::ostringstream out, err;
    if (const auto status = pawnfall::answer_command_line(argc, argv, out, err)) {
      std::fputs(out.str().c_str(), stdout);
      std::fputs(err.str().c_str(), stderr);
      return *status;
    }
  }
  // Past a file-size limit a write then fails (and the save says so) instead of killing the game.
  std::signal(SIGXFSZ, SIG_IGN);
  // Nothing on disk is touched before this point, so --help and --version leave no trace.
  const pawnfall::Place place = pawnfall::settle_in_data_folder(PAWNFALL_PROGRAM_TO_SOUNDS);
  QApplication app(argc, argv);
  // Matches the installed desktop entry, so the desktop groups the window with its launcher.
  QGuiApplication::setDesktopFileName(QStringLiteral("pawnfall"));
  pawnfall::install_fonts();
  pawnfall::MainWindow window(place);
  window.show_in_place();
  return app.exec();
}
