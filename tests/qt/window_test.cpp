// The main window as it is created: caption, menus and their first check marks.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>

#include "app/main_window.h"
#include "tests/qt/temporary_directory.h"

namespace pawnfall {
namespace {

QStringList captions(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) out << a->text();
  return out;
}

using MainWindowTest = test::InTemporaryDirectory;

TEST_F(MainWindowTest, HasTheCaptionAndTheMenuTreeWithOnlyTatamiChecked) {
  write_settings({});  // an empty settings file changes nothing
  MainWindow w;
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Pawnfall for Windows"));
  const auto bar = w.menuBar()->actions();
  ASSERT_EQ(captions(bar), (QStringList{"局面", "ｵﾌﾟｼｮﾝ", "その他"}));
  EXPECT_EQ(captions(bar[0]->menu()->actions()), QStringList{"最初"});
  const auto option = bar[1]->menu()->actions();
  ASSERT_EQ(captions(option), (QStringList{"背景画", "移動指導", "BGM"}));
  EXPECT_EQ(captions(option[0]->menu()->actions()),
            (QStringList{"緑", "畳", "竹", "宇宙", "煉瓦"}));
  EXPECT_EQ(bar[2]->menu(), nullptr);  // the about item is itself the command
  for (auto item : {MenuItem::MIDORI, MenuItem::TAKE, MenuItem::UCHU, MenuItem::RENGA,
                    MenuItem::SIDOU, MenuItem::BGM})
    EXPECT_FALSE(w.action(item)->isChecked());
  EXPECT_TRUE(w.action(MenuItem::TATAMI)->isChecked());
}

TEST_F(MainWindowTest, EscapeOnTheMenuBarOnlyLeavesItAndOnTheBoardEndsTheGame) {
  MainWindow w;
  w.show();
  QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(w.board_view(), &other);
  EXPECT_TRUE(w.isVisible());
  // Alt, or a menu closed with the keyboard, leaves the keyboard with the menu bar.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(w.menuBar(), &escape);
  EXPECT_TRUE(w.isVisible());
  QCoreApplication::sendEvent(w.board_view(), &escape);
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace pawnfall
