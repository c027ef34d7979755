// The settings file on disk: Shift_JIS bytes, odd things at its name, and failed writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>

#include "app/main_window.h"
#include "app/qt_files.h"
#include "game/settings.h"
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
  // The tests after this one would run as nobody, and fail for reasons not their own.
  ~AsOrdinaryUser() {
    if (dropped_ && setresuid(0, 0, 0) != 0) std::abort();
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

TEST_F(SettingsFileOnDisk, AFileWithLoneCrLinesAndABlankLineIsReadWhole) {
  write_settings(SJIS_HAIKEIGA "=" SJIS_TAKE "\r" SJIS_SIDOU "=ON\r\n\r" SJIS_SAIKOU "=7 7\r");
  MainWindow w;  // the blank line costs nothing
  EXPECT_TRUE(w.action(MenuItem::TAKE)->isChecked());
  EXPECT_FALSE(w.action(MenuItem::TATAMI)->isChecked());
  EXPECT_TRUE(w.action(MenuItem::SIDOU)->isChecked());
  EXPECT_EQ(w.game().過去最高スコア, 77);
}

// Runs the replacement in a child process that may write no byte to any file, as on a full
// disk; answers how it ended.
int replace_where_nothing_can_be_written(std::string_view bytes) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit none{0, 0};
    setrlimit(RLIMIT_FSIZE, &none);
    _exit(static_cast<int>(replace_regular_file("Pawnfall.ini", bytes)));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SettingsFileOnDisk, AWriteThatFailsOnAFullDiskChangesNothing) {
  const int no_space = static_cast<int>(SaveResult::NoSpace);
  EXPECT_EQ(replace_where_nothing_can_be_written("BGM=OFF\r\n"), no_space);
  EXPECT_FALSE(QFile::exists(kName)) << "a file was made where there was none";
  const QByteArray old = SJIS_SIDOU "=ON\r\n" SJIS_SAIKOU "=4000\r\n";
  write_settings(old);
  EXPECT_EQ(replace_where_nothing_can_be_written("BGM=OFF\r\n"), no_space);
  EXPECT_EQ(settings_bytes(), old);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{kName});
}

// Neither read nor replaced, and left as it was.
void expect_not_regular(const char* name) {
  SCOPED_TRACE(name);
  const QFileInfo before(QString::fromLatin1(name));
  EXPECT_EQ(read_regular_file(name, 100).status, FileStatus::NotRegular);
  EXPECT_EQ(replace_regular_file(name, "x=1\r\n"), SaveResult::NotRegular);
  const QFileInfo after(QString::fromLatin1(name));
  EXPECT_EQ(after.isSymLink(), before.isSymLink());
  EXPECT_EQ(after.isFile(), false);
}

// A device node of the test's own, never the system's; only root can make one.
TEST_F(SettingsFileOnDisk, ADeviceNodeIsNeitherReadNorReplaced) {
  if (mknod("null", S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device";
  expect_not_regular("null");
}

TEST_F(SettingsFileOnDisk, OnlyARegularFileIsReadOrReplacedAndALinkToOneIsFollowed) {
  ASSERT_EQ(mkfifo("pipe", 0600), 0);
  QDir().mkdir(QStringLiteral("folder"));
  QFile::link(QStringLiteral("/dev/zero"), QStringLiteral("zero"));
  for (const char* name : {"pipe", "folder", "zero"}) expect_not_regular(name);

  write_settings("old");
  QFile::link(kName, QStringLiteral("link.ini"));
  EXPECT_EQ(read_regular_file("link.ini", 100).bytes, "old");
  EXPECT_EQ(replace_regular_file("link.ini", "new"), SaveResult::Saved);
  EXPECT_TRUE(QFileInfo(QStringLiteral("link.ini")).isSymLink());
  EXPECT_EQ(settings_bytes(), "new");
}

TEST_F(SettingsFileOnDisk, AHugeFileIsReadOnlyUpToTheLimit) {
  QFile huge(kName);
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
  ASSERT_TRUE(huge.resize(qint64{400} << 20));  // sparse: takes no room on disk
  huge.close();
  EXPECT_EQ(read_regular_file("Pawnfall.ini", 設定最大バイト数).bytes.size(), 設定最大バイト数);
}

TEST_F(SettingsFileOnDisk, AReadOnlyFolderWithAWritableFileIsSavedInPlace) {
  write_settings("BGM=OFF\r\n" SJIS_SAIKOU "=4000\r\n");
  MainWindow w;
  ASSERT_TRUE(QFile::setPermissions(
      dir_.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
  {
    AsOrdinaryUser user(dir_.path());
    ASSERT_TRUE(user.ok());
    w.action(MenuItem::SIDOU)->trigger();
    w.game().スコア = 5000;
    w.new_game_action()->trigger();
  }
  EXPECT_TRUE(settings_bytes().endsWith(SJIS_SIDOU "=ON\r\nBGM=OFF\r\n" SJIS_SAIKOU "=5000\r\n"))
      << settings_bytes().toStdString();
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{kName});
  EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(SettingsFileOnDisk, AReadOnlyFileIsKeptAndTheFirstFailureAloneIsTold) {
  const QByteArray old = "BGM=OFF\r\n";
  write_settings(old);
  QFile::setPermissions(kName, QFile::ReadOwner | QFile::ReadOther);
  MainWindow w;
  {
    AsOrdinaryUser user(dir_.path());
    ASSERT_TRUE(user.ok());
    w.action(MenuItem::SIDOU)->trigger();
    w.action(MenuItem::SIDOU)->trigger();
  }
  EXPECT_EQ(settings_bytes(), old);
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("Pawnfall.ini"))) << warnings_[0].toStdString();
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("権限"))) << warnings_[0].toStdString();
}

TEST_F(SettingsFileOnDisk, TwoWindowsInOneFolderKeepTheHigherBestScoreWhicheverSavesLast) {
  write_settings(SJIS_SAIKOU "=300\r\n");
  MainWindow first, second;
  first.game().スコア = 900;
  first.new_game_action()->trigger();
  second.action(MenuItem::SIDOU)->trigger();
  EXPECT_TRUE(settings_bytes().endsWith(SJIS_SAIKOU "=900\r\n")) << settings_bytes().toStdString();
  EXPECT_TRUE(settings_bytes().contains(SJIS_SIDOU "=ON")) << "the options are the saver's own";
}

}  // namespace
}  // namespace pawnfall
