// The settings file on disk: Shift_JIS bytes, CR LF and lone CR lines, and failed writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include "app/main_window.h"
#include "app/qt_platform.h"
#include "core/settings.h"
#include "tests/qt/temporary_directory.h"

namespace pawnfall {
namespace {

const QString kName = QStringLiteral("Pawnfall.ini");

// Shift_JIS of the Japanese keys and values, spelled out so the test does not trust the codec
// under test.
#define SJIS_HAIKEIGA "\x94\x77\x8C\x69\x89\xE6"
#define SJIS_UCHU "\x89\x46\x92\x88"
#define SJIS_TAKE "\x92\x7C"
#define SJIS_SIDOU "\x88\xDA\x93\xAE\x8E\x77\x93\xB1"
#define SJIS_SAIKOU "\x89\xDF\x8B\x8E\x8D\xC5\x8D\x82\x83\x58\x83\x52\x83\x41"

using SettingsFileOnDisk = test::InTemporaryDirectory;

// File permissions mean nothing to root; the checks of failed writes drop to an ordinary user
// for their duration.
class AsOrdinaryUser {
 public:
  static constexpr uid_t kNobody = 65534;
  explicit AsOrdinaryUser(const QString& dir) {
    if (geteuid() != 0) return;
    if (chown(QFile::encodeName(dir).constData(), kNobody, kNobody) != 0) return;
    if (chown(QFile::encodeName(dir + "/" + kName).constData(), kNobody, kNobody) != 0) return;
    // The saved user stays root so the test can come back; the real one changes too, since
    // access() asks about the real user.
    dropped_ = setresuid(kNobody, kNobody, 0) == 0;
  }
  ~AsOrdinaryUser() {
    if (dropped_) (void)setresuid(0, 0, 0);
  }
  bool ok() const { return dropped_ || geteuid() != 0; }

 private:
  bool dropped_ = false;
};

TEST_F(SettingsFileOnDisk, ChoosingSpaceWithGuidanceOnMusicOffAndBest830WritesTheseBytes) {
  write_settings("BGM=ON\r\n" SJIS_SAIKOU "=830\r\n");
  MainWindow w;
  ASSERT_EQ(w.game().過去最高スコア, 830);
  w.action(MenuItem::SIDOU)->trigger();
  w.action(MenuItem::BGM)->trigger();
  w.action(MenuItem::UCHU)->trigger();
  EXPECT_EQ(settings_bytes(), QByteArray(SJIS_HAIKEIGA "=" SJIS_UCHU "\r\n" SJIS_SIDOU "=ON\r\n"
                                                       "BGM=OFF\r\n" SJIS_SAIKOU "=830\r\n"));
}

TEST_F(SettingsFileOnDisk, AFirstStartWritesTheDefaultFile) {
  MainWindow w;
  EXPECT_EQ(settings_bytes(), QByteArray(SJIS_HAIKEIGA "=\x97\xCE\r\n" SJIS_SIDOU "=OFF\r\n"
                                                       "BGM=ON\r\n" SJIS_SAIKOU "=0\r\n"));
  EXPECT_TRUE(w.action(MenuItem::MIDORI)->isChecked());
  EXPECT_FALSE(w.action(MenuItem::TATAMI)->isChecked());
  EXPECT_TRUE(w.action(MenuItem::BGM)->isChecked());
}

TEST_F(SettingsFileOnDisk, LinesEndAtCrLfOrALoneCrAndAreDecodedFromShiftJis) {
  write_settings(SJIS_HAIKEIGA "=" SJIS_TAKE "\r" SJIS_SIDOU "=ON\r\n\r" SJIS_SAIKOU "=7 7\r");
  QtPlatform platform(QSize(10, 10), 1);
  const auto lines = platform.read_text_lines("Pawnfall.ini");
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines,
            (std::vector<std::string>{"背景画=竹", "移動指導=ON", "", "過去最高スコア=7 7"}));

  MainWindow w;  // the blank line costs nothing
  EXPECT_TRUE(w.action(MenuItem::TAKE)->isChecked());
  EXPECT_FALSE(w.action(MenuItem::TATAMI)->isChecked());
  EXPECT_TRUE(w.action(MenuItem::SIDOU)->isChecked());
  EXPECT_EQ(w.game().過去最高スコア, 77);
}

TEST_F(SettingsFileOnDisk, ALastLineWithoutAnEndAndALineFeedInsideALineAreKept) {
  write_settings("a=1\r\nb=2\nc\r\nd=4");
  QtPlatform platform(QSize(10, 10), 1);
  EXPECT_EQ(platform.read_text_lines("Pawnfall.ini"),
            (std::vector<std::string>{"a=1", "b=2\nc", "d=4"}));
  EXPECT_EQ(platform.read_text_lines("Missing.ini"), std::nullopt);
}

TEST_F(SettingsFileOnDisk, BytesThatAreNoShiftJisReadAsReplacementsAndTheRestSurvives) {
  write_settings("\x81\r" SJIS_SIDOU "=ON\xFF\r\xA0x=1\r" SJIS_HAIKEIGA "=\x94");
  QtPlatform platform(QSize(10, 10), 1);
  EXPECT_EQ(
      platform.read_text_lines("Pawnfall.ini"),
      (std::vector<std::string>{"\uFFFD", "移動指導=ON\uFFFD", "\uFFFDx=1", "背景画=\uFFFD"}));
}

TEST_F(SettingsFileOnDisk, ACharacterAcrossTheDecodersFourKilobyteStepsStaysWhole) {
  for (int before : {4094, 4095, 4096}) {
    write_settings(QByteArray(before, 'a') + SJIS_HAIKEIGA "=x");
    QtPlatform platform(QSize(10, 10), 1);
    EXPECT_EQ(platform.read_text_lines("Pawnfall.ini"),
              (std::vector<std::string>{std::string(before, 'a') + "背景画=x"}))
        << before;
  }
}

TEST_F(SettingsFileOnDisk, TextWithoutAShiftJisSpellingIsNotWrittenAndTheOldFileStays) {
  write_settings("old");
  QtPlatform platform(QSize(10, 10), 1);
  EXPECT_FALSE(platform.replace_text_file("Pawnfall.ini", {"背景画=\U0001F600"}));
  EXPECT_EQ(settings_bytes(), QByteArray("old"));
}

TEST_F(SettingsFileOnDisk, AWriteIntoAReadOnlyDirectoryKeepsTheOldFile) {
  const QByteArray old = "BGM=OFF\r\n" SJIS_SAIKOU "=4000\r\n";
  write_settings(old);
  MainWindow w;
  ASSERT_TRUE(QFile::setPermissions(
      dir_.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
  {
    AsOrdinaryUser user(dir_.path());
    ASSERT_TRUE(user.ok());
    EXPECT_FALSE(w.platform().replace_text_file("Pawnfall.ini", {"x=1"}));
    w.action(MenuItem::SIDOU)->trigger();
    w.game().スコア = 5000;
    w.new_game_action()->trigger();
  }
  EXPECT_EQ(settings_bytes(), old);
  EXPECT_TRUE(w.action(MenuItem::SIDOU)->isChecked());
  EXPECT_EQ(w.game().過去最高スコア, 5000);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{kName});
}

TEST_F(SettingsFileOnDisk, AWriteOverAReadOnlyFileKeepsIt) {
  const QByteArray old = "BGM=OFF\r\n";
  write_settings(old);
  QFile::setPermissions(kName, QFile::ReadOwner | QFile::ReadOther);
  QtPlatform platform(QSize(10, 10), 1);
  {
    AsOrdinaryUser user(dir_.path());
    ASSERT_TRUE(user.ok());
    EXPECT_FALSE(platform.replace_text_file("Pawnfall.ini", {"x=1"}));
  }
  EXPECT_EQ(settings_bytes(), old);
}

}  // namespace
}  // namespace pawnfall
