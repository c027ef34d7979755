// Pawnfall: a single-window puzzle game of chess-piece chains.
#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  pawnfall::install_fonts();
  pawnfall::MainWindow window;
  window.show();
  return app.exec();
}
