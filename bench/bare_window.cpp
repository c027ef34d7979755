// The floor for the start-up figures: a bare Qt 6 window of the game's size with a menu bar.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QWidget>

namespace {

// Paints two colours, so the start-up probe sees a real frame.
class Canvas : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::darkGreen);
    painter.fillRect(QRect(44, 97, 34, 34), Qt::white);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.menuBar()->addMenu(QStringLiteral("Game"));
  window.setCentralWidget(new Canvas);
  window.resize(773, 640);
  window.show();
  return app.exec();
}
