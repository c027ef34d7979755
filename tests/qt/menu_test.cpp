// The menu commands through the window's real actions: check marks, the file and the about box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStringDecoder>
#include <QTimer>

#include "app/main_window.h"
#include "model/backgrounds.h"
#include "tests/qt/menu_tree.h"
#include "tests/qt/temporary_directory.h"

namespace pawnfall {
namespace {

const QString kName = QStringLiteral("Pawnfall.ini");

class Menus : public test::InTemporaryDirectory {
 protected:
  static QStringList file_lines() {
    QFile f(kName);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringDecoder decode("Shift_JIS");
    QStringList lines = QString(decode(f.readAll())).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }
  static std::vector<MenuItem> checked_backgrounds(const MainWindow& w) {
    std::vector<MenuItem> out;
    for (const auto& b : 背景表)
      if (w.action(b.item)->isChecked()) out.push_back(b.item);
    return out;
  }
};

TEST_F(Menus, BackgroundCommandsMoveTheOneCheckMarkAndRewriteTheFile) {
  MainWindow w;
  ASSERT_EQ(checked_backgrounds(w), std::vector<MenuItem>{MenuItem::MIDORI});
  const struct {
    MenuItem item;
    const char* line;
  } choices[] = {{MenuItem::RENGA, "背景画=煉瓦"},
                 {MenuItem::TAKE, "背景画=竹"},
                 {MenuItem::TATAMI, "背景画=畳"},
                 {MenuItem::UCHU, "背景画=宇宙"}};
  for (const auto& c : choices) {
    w.action(c.item)->trigger();
    EXPECT_EQ(checked_backgrounds(w), std::vector<MenuItem>{c.item});
    EXPECT_EQ(file_lines().value(0), QString::fromUtf8(c.line));
  }
  EXPECT_EQ(w.game().背景画, HAIKEI_UCHU);

  // The checked one again: the mark stays and the file is written anew.
  ASSERT_TRUE(QFile::remove(kName));
  w.action(MenuItem::UCHU)->trigger();
  EXPECT_EQ(checked_backgrounds(w), std::vector<MenuItem>{MenuItem::UCHU});
  EXPECT_EQ(file_lines().value(0), QStringLiteral("背景画=宇宙"));
}

TEST_F(Menus, GuidanceAndMusicTurnOverAndTheFileFollowsEachChange) {
  MainWindow w;
  ASSERT_FALSE(w.action(MenuItem::SIDOU)->isChecked());
  ASSERT_TRUE(w.action(MenuItem::BGM)->isChecked());

  w.action(MenuItem::SIDOU)->trigger();
  EXPECT_TRUE(w.action(MenuItem::SIDOU)->isChecked());
  EXPECT_EQ(file_lines().value(1), QStringLiteral("移動指導=ON"));

  w.action(MenuItem::BGM)->trigger();
  EXPECT_FALSE(w.action(MenuItem::BGM)->isChecked());
  EXPECT_EQ(file_lines().value(2), QStringLiteral("BGM=OFF"));

  w.action(MenuItem::SIDOU)->trigger();
  EXPECT_FALSE(w.action(MenuItem::SIDOU)->isChecked());
  EXPECT_EQ(file_lines().value(1), QStringLiteral("移動指導=OFF"));

  w.action(MenuItem::BGM)->trigger();
  EXPECT_TRUE(w.action(MenuItem::BGM)->isChecked());
  EXPECT_EQ(file_lines().value(2), QStringLiteral("BGM=ON"));
  EXPECT_EQ(checked_backgrounds(w), std::vector<MenuItem>{MenuItem::MIDORI});
}

TEST_F(Menus, NewGameSavesAScoreAboveTheBestAndLeavesTheFileAloneForAnEqualOne) {
  MainWindow w;
  w.game().スコア = 900;
  w.new_game_action()->trigger();
  EXPECT_EQ(w.game().過去最高スコア, 900);
  EXPECT_EQ(file_lines().value(3), QStringLiteral("過去最高スコア=900"));
  EXPECT_EQ(w.game().スコア, 0);

  // A file the game would never write: any rewrite would show.
  const QByteArray marker = "BGM=OFF\r\nmarker\r\n";
  write_settings(marker);
  const auto before = QFileInfo(kName).lastModified();
  w.game().スコア = 900;
  w.new_game_action()->trigger();
  EXPECT_EQ(settings_bytes(), marker);
  EXPECT_EQ(QFileInfo(kName).lastModified(), before);
  EXPECT_EQ(w.game().スコア, 0);
}

TEST_F(Menus, TheMenusFollowTheTableTheyAreBuiltFromInOrderNestingAndCommands) {
  // The game's entries reordered, one left out and one added twice.
  constexpr std::array<メニュー項目, 9> table{{
      {"その他", 0, メニュー命令::VER},
      {"ｵﾌﾟｼｮﾝ", 0},
      {"BGM", 1, メニュー命令::BGM, MenuItem::BGM},
      {"背景画", 1},
      {"煉瓦", 2, メニュー命令::RENGA, MenuItem::RENGA},
      {"緑", 2, メニュー命令::MIDORI, MenuItem::MIDORI},
      {"局面", 0},
      {"最初", 1, メニュー命令::CANCEL},
      {"もう一度", 0, メニュー命令::CANCEL},
  }};
  static_assert(メニュー表_正しい(table));
  MainWindow w({}, table);
  // Checked as the first start leaves them, without a file.
  EXPECT_EQ(test::menu_tree(w.menuBar()), QStringLiteral("その他\n"
                                                         "ｵﾌﾟｼｮﾝ\n"
                                                         "  BGM [x]\n"
                                                         "  背景画\n"
                                                         "    煉瓦 [ ]\n"
                                                         "    緑 [x]\n"
                                                         "局面\n"
                                                         "  最初\n"
                                                         "もう一度\n"));
  w.action(MenuItem::RENGA)->trigger();
  w.action(MenuItem::BGM)->trigger();
  EXPECT_EQ(file_lines().mid(0, 3),
            (QStringList{QStringLiteral("背景画=煉瓦"), QStringLiteral("移動指導=OFF"),
                         QStringLiteral("BGM=OFF")}));
  EXPECT_FALSE(w.action(MenuItem::MIDORI)->isChecked());
}

TEST_F(Menus, TheAboutBoxShowsSevenLinesUnderThePlainCaptionWithoutAnIcon) {
  MainWindow w;
  QString text, caption;
  QMessageBox::Icon icon = QMessageBox::Warning;
  bool seen = false;
  // The box is modal: read and close it from inside its own event loop.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = true;
    text = box->text();
    caption = box->windowTitle();
    icon = box->icon();
    box->accept();
  });
  closer.start(10);
  w.about_action()->trigger();
  closer.stop();
  ASSERT_TRUE(seen);
  EXPECT_EQ(caption, QStringLiteral("Pawnfall"));
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  const QStringList lines = text.split(QChar('\n'));
  ASSERT_EQ(lines.size(), 7);
  EXPECT_EQ(lines[0], QStringLiteral("Pawnfall  Version 0.9 [08/2000]"));
  EXPECT_EQ(lines[2], QStringLiteral("Home page"));
  EXPECT_EQ(lines[5], QStringLiteral("e-mail"));
  EXPECT_FALSE(text.contains(QChar('\r')));
}

}  // namespace
}  // namespace pawnfall
