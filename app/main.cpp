// Pawnfall: a single-window puzzle game of chess-piece chains.
#include <QApplication>
#include <iostream>

#include "app/command_line.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  // Before QApplication, which would need a display even for --help.
  if (const auto status = pawnfall::answer_command_line(argc, argv, std::cout, std::cerr))
    return *status;
  QApplication app(argc, argv);
  // Matches the installed desktop entry, so the desktop groups the window with its launcher.
  QGuiApplication::setDesktopFileName(QStringLiteral("pawnfall"));
  pawnfall::install_fonts();
  pawnfall::MainWindow window;
  window.show_in_place();
  return app.exec();
}
