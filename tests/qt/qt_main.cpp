// Entry point of the Qt tests: one QApplication on the offscreen platform for every test.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pawnfall::install_fonts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
