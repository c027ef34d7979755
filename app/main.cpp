// Pawnfall: a single-window puzzle game of chess-piece chains.
#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Matches the installed desktop entry, so the desktop groups the window with its launcher.
  QGuiApplication::setDesktopFileName(QStringLiteral("pawnfall"));
  pawnfall::install_fonts();
  pawnfall::MainWindow window;
  window.show_in_place();
  return app.exec();
}
