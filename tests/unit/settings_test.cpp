// The settings file: reading in file order, the number reader, writing, and the lost-data cases.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "game/commands.h"
#include "game/settings.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"
#include "tests/unit/play_helpers.h"

namespace pawnfall {
namespace {

using Lines = std::vector<std::string>;
const std::string kFile(設定ファイル名);

class SettingsFile : public test::GameOnFakes {
 protected:
  void read(const Lines& lines) {
    platform.files[kFile] = lines;
    読込_環境設定ファイル(g);
  }

  bool tile_painted(int code) const {
    for (const auto& p : platform.paints)
      if (p.picture.code == code) return true;
    return false;
  }

  std::vector<MenuItem> checked_backgrounds() const { return platform.checked_backgrounds(); }
};

TEST(NumberReader, ReadsTheNumberAtTheStartAndStopsAtTheFirstCharacterThatDoesNotFit) {
  EXPECT_EQ(数値読取("12abc"), 12);
  EXPECT_EQ(数値読取(""), 0);
  EXPECT_EQ(数値読取("abc"), 0);
  EXPECT_EQ(数値読取("-5"), -5);
  EXPECT_EQ(数値読取("+7"), 7);
  EXPECT_EQ(数値読取("1.5E3"), 1500);
  EXPECT_EQ(数値読取("1.5e-1"), 0.15);
  EXPECT_EQ(数値読取(".5"), 0.5);
  EXPECT_EQ(数値読取("3."), 3);
  EXPECT_EQ(数値読取("1.5E"), 1.5);  // an exponent mark without digits is not part of it
  EXPECT_EQ(数値読取("2E+x"), 2);
  EXPECT_EQ(数値読取("7-3"), 7);
  EXPECT_EQ(数値読取("--5"), 0);
  EXPECT_EQ(数値読取("."), 0);
  EXPECT_EQ(数値読取("１２"), 0);  // full-width digits are not digits
}

TEST(NumberReader, SkipsBlanksTabsAndLineFeedsWhereverTheyStand) {
  EXPECT_EQ(数値読取("1 250"), 1250);
  EXPECT_EQ(数値読取(" \t-1 2\n.5 E 1"), -125);
  EXPECT_EQ(数値読取("& H 1 F"), 31);
  EXPECT_EQ(数値読取("1\r2"), 1);  // a carriage return is not skipped
}

TEST(NumberReader, ReadsHexadecimalAndOctalAfterTheirPrefixes) {
  EXPECT_EQ(数値読取("&H1F"), 31);
  EXPECT_EQ(数値読取("&h1f"), 31);
  EXPECT_EQ(数値読取("&HFFFFFFFF"), 4294967295.0);
  EXPECT_EQ(数値読取("&O17"), 15);
  EXPECT_EQ(数値読取("&O19"), 1);
  EXPECT_EQ(数値読取("&H"), 0);
  EXPECT_EQ(数値読取("&Z1"), 0);
  EXPECT_EQ(数値読取("-&H1F"), 0);
}

TEST(NumberReader, NumbersBeyondADoubleGiveTheLargestDoubleOrZero) {
  const double max = std::numeric_limits<double>::max();
  EXPECT_EQ(数値読取("1E400"), max);
  EXPECT_EQ(数値読取("0.001E310"), 1e307);
  EXPECT_EQ(数値読取("-1E400"), -max);
  EXPECT_EQ(数値読取("0.001E312"), max);
  EXPECT_EQ(数値読取("1E99999999999999999999999"), max);
  EXPECT_EQ(数値読取(std::string(400, '9')), max);
  EXPECT_EQ(数値読取("&H" + std::string(300, 'F')), max);
  EXPECT_EQ(数値読取("1E-400"), 0);
  EXPECT_EQ(数値読取("1000E-99999999999999999999"), 0);
  EXPECT_EQ(数値読取("1" + std::string(400, '0') + "E-398"), 100);
}

TEST(DecimalWriter, WritesPlainDecimalWithAPointOnlyForAFraction) {
  EXPECT_EQ(十進表記(1250), "1250");
  EXPECT_EQ(十進表記(830), "830");
  EXPECT_EQ(十進表記(0), "0");
  EXPECT_EQ(十進表記(-0.0), "0");
  EXPECT_EQ(十進表記(-5), "-5");
  EXPECT_EQ(十進表記(12.5), "12.5");
  EXPECT_EQ(十進表記(1e20), "100000000000000000000");
  EXPECT_EQ(十進表記(9007199254740992.0), "9007199254740992");
  EXPECT_EQ(十進表記(0.0001), "0.0001");
}

TEST(DecimalWriter, EveryWrittenNumberReadsBackAsTheSameDouble) {
  for (double v : {0.1, 1.0 / 3, 123456789.125, 5e-324, 1e300, std::numeric_limits<double>::max(),
                   -2.5e-10, 4503599627370497.0}) {
    const std::string text = 十進表記(v);
    EXPECT_EQ(text.find_first_of("eE "), std::string::npos) << text;
    EXPECT_EQ(数値読取(text), v) << text;
  }
}

std::string utf16(std::u16string_view text, bool big_endian) {
  std::string bytes;
  for (const char16_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// Bytes as editors save the file: each holds 過去最高スコア=830.
TEST(SettingsText, EveryLineEndAndEncodingAnEditorWritesGivesTheBestScore) {
  const std::string sjis_key = "\x89\xDF\x8B\x8E\x8D\xC5\x8D\x82\x83\x58\x83\x52\x83\x41";
  const std::string utf8_key = "過去最高スコア";
  const struct {
    const char* what;
    std::string bytes;
  } files[] = {
      {"Shift_JIS, CR LF", "BGM=ON\r\n" + sjis_key + "=830\r\n"},
      {"Shift_JIS, LF", "BGM=ON\n" + sjis_key + "=830\n"},
      {"Shift_JIS, CR", "BGM=ON\r" + sjis_key + "=830"},
      {"UTF-8, LF", "背景画=竹\n" + utf8_key + "=830\n"},
      {"UTF-8, CR LF, byte-order mark", "\xEF\xBB\xBF" + utf8_key + "=830\r\n"},
      {"UTF-8, LF, byte-order mark", "\xEF\xBB\xBF背景画=竹\n" + utf8_key + "=830"},
      {"UTF-16LE, byte-order mark", utf16(u"\uFEFF背景画=竹\r\n過去最高スコア=830\r\n", false)},
      {"UTF-16BE, byte-order mark", utf16(u"\uFEFF過去最高スコア=830", true)},
      // A bad code unit costs one character, not the lines after it.
      {"UTF-16LE, a lone surrogate", utf16(u"\uFEFF背景画=竹\xD800\r\n過去最高スコア=830", false)},
      {"UTF-16BE, a lone low surrogate", utf16(u"\uFEFF\xDC00\r\n過去最高スコア=830\r\n", true)},
  };
  for (const auto& f : files)
    EXPECT_EQ(解析_設定(行に分ける(復号_設定(f.bytes))).過去最高スコア, 830) << f.what;
}

TEST(SettingsText, BytesThatDecodeToNothingBecomeReplacementsAndTheRestSurvives) {
  const std::string sidou = "\x88\xDA\x93\xAE\x8E\x77\x93\xB1", haikei = "\x94\x77\x8C\x69\x89\xE6";
  EXPECT_EQ(行に分ける(復号_設定("\x81\r" + sidou + "=ON\xFF\r\xA0x=1\r" + haikei + "=\x94")),
            (Lines{"\uFFFD", "移動指導=ON\uFFFD", "\uFFFDx=1", "背景画=\uFFFD"}));
  // A character cut by the decoder's 4 KB steps stays whole.
  for (std::size_t before : {4094u, 4095u, 4096u})
    EXPECT_EQ(復号_設定(std::string(before, 'a') + haikei), std::string(before, 'a') + "背景画")
        << before;
  EXPECT_EQ(符号化_設定({"背景画=\U0001F600"}), std::nullopt) << "no Shift_JIS spelling";
}

TEST_F(SettingsFile, LinesActInFileOrderAndTheLaterLineWins) {
  read({"背景画=竹", "過去最高スコア=100", "背景画=宇宙", "過去最高スコア=500"});
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::UCHU});
  EXPECT_EQ(g.背景画, HAIKEI_UCHU);
  EXPECT_FALSE(tile_painted(HAIKEI_TAKE)) << "only the tile the file leaves is painted";
  EXPECT_TRUE(tile_painted(HAIKEI_UCHU));
  EXPECT_EQ(g.過去最高スコア, 500);
  EXPECT_EQ(platform.writes, 0);
}

TEST_F(SettingsFile, EachTileNameSelectsItsBackground) {
  const struct {
    const char* name;
    int code;
    MenuItem item;
  } cases[] = {{"緑", HAIKEI_MIDORI, MenuItem::MIDORI},
               {"畳", HAIKEI_TATAMI, MenuItem::TATAMI},
               {"竹", HAIKEI_TAKE, MenuItem::TAKE},
               {"宇宙", HAIKEI_UCHU, MenuItem::UCHU},
               {"煉瓦", HAIKEI_RENGA, MenuItem::RENGA}};
  for (const auto& c : cases) {
    read({std::string("背景画=") + c.name});
    EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{c.item}) << c.name;
    EXPECT_EQ(g.背景画, c.code) << c.name;
  }
}

TEST_F(SettingsFile, AnUnknownTileIsIgnoredAndAHandEditorsBlanksAndTabsAreNot) {
  read({"背景画=青", "背景画=緑=", "色=緑"});
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::TATAMI});
  EXPECT_TRUE(platform.paints.empty());
  read({" 背景画\t= 竹 ", "移動指導 =\tON", "\t過去最高スコア = 1234 "});
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::TAKE});
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  EXPECT_EQ(g.過去最高スコア, 1234);
}

TEST_F(SettingsFile, GuidanceIsOnOnlyForUpperCaseON) {
  read({"移動指導=ON"});
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  read({"移動指導=on"});
  EXPECT_FALSE(platform.checks[MenuItem::SIDOU]);
  read({"移動指導=ON", "移動指導="});
  EXPECT_FALSE(platform.checks[MenuItem::SIDOU]);
}

TEST_F(SettingsFile, MusicONSetsTheMarkAndLoopsTheMusic) {
  ASSERT_NE(sound.handle(音源::音_BGM), 0);
  read({"BGM=ON"});
  EXPECT_TRUE(platform.checks[MenuItem::BGM]);
  EXPECT_EQ(test::fake_sound_handles("dsPlayLooping"),
            std::vector<std::int32_t>{sound.handle(音源::音_BGM)});
}

TEST_F(SettingsFile, MusicOnInMixedCaseClearsTheMarkAndStartsNoMusic) {
  platform.checks[MenuItem::BGM] = true;
  read({"BGM=On"});
  EXPECT_FALSE(platform.checks[MenuItem::BGM]);
  EXPECT_TRUE(test::fake_sound_log().calls.empty());
}

TEST_F(SettingsFile, TheBestScoreIsTheNumberAtTheStartOfTheValue) {
  read({"過去最高スコア=12abc"});
  EXPECT_EQ(g.過去最高スコア, 12);
  read({"過去最高スコア=1 250"});
  EXPECT_EQ(g.過去最高スコア, 1250);
  read({"過去最高スコア="});
  EXPECT_EQ(g.過去最高スコア, 0);
  read({"過去最高スコア=-5"});
  EXPECT_EQ(g.過去最高スコア, -5);
  read({"過去最高スコア=7=8"});  // the value runs from the first sign on
  EXPECT_EQ(g.過去最高スコア, 7);
}

TEST_F(SettingsFile, AnEmptyFileChangesNothingAndIsNotRewritten) {
  platform.checks[MenuItem::SIDOU] = true;
  g.過去最高スコア = 42;
  read({});
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::TATAMI});
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  EXPECT_FALSE(platform.checks[MenuItem::BGM]);
  EXPECT_EQ(g.過去最高スコア, 42);
  EXPECT_EQ(g.背景画, HAIKEI_TATAMI);
  EXPECT_EQ(platform.writes, 0);
  EXPECT_TRUE(platform.files[kFile].empty());
}

TEST_F(SettingsFile, AFirstStartCreatesTheDefaultFileDrawsGreenAndMarksTheMusicWithoutPlaying) {
  platform.checks[MenuItem::SIDOU] = true;
  g.過去最高スコア = 42;
  読込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile],
            (Lines{"背景画=緑", "移動指導=OFF", "BGM=ON", "過去最高スコア=0"}));
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::MIDORI});
  EXPECT_EQ(g.背景画, HAIKEI_MIDORI);
  EXPECT_TRUE(tile_painted(HAIKEI_MIDORI));
  EXPECT_FALSE(platform.checks[MenuItem::SIDOU]);
  EXPECT_TRUE(platform.checks[MenuItem::BGM]);
  EXPECT_EQ(g.過去最高スコア, 0);
  EXPECT_TRUE(test::fake_sound_log().calls.empty());
  EXPECT_TRUE(platform.messages.empty());
}

// A read that failed at start may work by the next save: the file then still holds the player's
// options, which the game never knew, and only those the player chose since replace them.
TEST_F(SettingsFile, AFileThatCannotBeReadIsNeverWrittenOverAndOnceReadKeepsTheOptionsNotChosen) {
  platform.files[kFile] = {"背景画=竹", "移動指導=ON", "BGM=OFF", "過去最高スコア=900"};
  platform.unreadable.insert(kFile);
  読込_環境設定ファイル(g);
  EXPECT_EQ(g.過去最高スコア, 0);
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::MIDORI});
  g.過去最高スコア = 50;
  書込_環境設定ファイル(g);  // the stored best cannot be read, so it is not written over
  EXPECT_EQ(platform.writes, 0);
  EXPECT_EQ(platform.messages.size(), 1u);
  platform.unreadable.clear();
  背景_Click(g, HAIKEI_UCHU);
  EXPECT_EQ(platform.files[kFile],
            (Lines{"背景画=宇宙", "移動指導=ON", "BGM=OFF", "過去最高スコア=900"}));
}

// Where no lock can be had, a window may write a lower best just after this one's save.
TEST_F(SettingsFile, ALowerBestWrittenOverTheSaveByAnUnlockedWindowIsWrittenOver) {
  platform.files[kFile] = {"背景画=竹", "過去最高スコア=10"};
  platform.after_write = [&] {
    platform.files[kFile] = {"背景画=畳", "移動指導=ON", "過去最高スコア=11"};
    platform.after_write = nullptr;
  };
  g.過去最高スコア = 12;
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile],
            (Lines{"背景画=畳", "移動指導=ON", "BGM=OFF", "過去最高スコア=12"}));
}

TEST_F(SettingsFile, ALockHeldElsewhereFailsTheSaveWithTheOneWarning) {
  platform.files[kFile] = {"過去最高スコア=900"};
  platform.lock_busy = true;
  g.過去最高スコア = 950;
  書込_環境設定ファイル(g);
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.writes, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("保存できません"), std::string::npos);
}

TEST_F(SettingsFile, WhenTheDefaultFileCannotBeMadeTheDefaultsStillApply) {
  platform.fail_writes = SaveResult::Failed;
  読込_環境設定ファイル(g);
  EXPECT_FALSE(platform.files.contains(kFile));
  EXPECT_EQ(g.背景画, HAIKEI_MIDORI);
  EXPECT_TRUE(platform.checks[MenuItem::BGM]);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(SettingsFile, APipeOrDeviceAtTheNameIsLeftAloneAndTheDefaultsApply) {
  platform.not_regular.insert(kFile);
  読込_環境設定ファイル(g);
  EXPECT_EQ(platform.writes, 0);
  EXPECT_EQ(g.背景画, HAIKEI_MIDORI);
  EXPECT_EQ(g.過去最高スコア, 0);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsFile, LinesWithoutAnEqualsSignAreSkippedAndKeepTheBestScore) {
  read({"過去最高スコア=700", "", "garbage", "移動指導=ON", "背景画"});
  EXPECT_EQ(g.過去最高スコア, 700);
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::TATAMI});
  EXPECT_EQ(platform.writes, 0);
  EXPECT_EQ(platform.files[kFile].front(), "過去最高スコア=700");
}

TEST_F(SettingsFile, WritesTheFourLinesInTheirOrder) {
  platform.checks[MenuItem::TATAMI] = false;
  platform.checks[MenuItem::UCHU] = true;
  platform.checks[MenuItem::SIDOU] = true;
  platform.checks[MenuItem::BGM] = false;
  g.過去最高スコア = 830;
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile],
            (Lines{"背景画=宇宙", "移動指導=ON", "BGM=OFF", "過去最高スコア=830"}));
}

TEST_F(SettingsFile, TheWrittenTileIsTheFirstCheckedInTheOrderGreenBambooTatamiSpaceBrick) {
  platform.checks[MenuItem::TAKE] = true;  // 畳 is checked too
  g.過去最高スコア = 1250;
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile].front(), "背景画=竹");
  EXPECT_EQ(platform.files[kFile].back(), "過去最高スコア=1250");

  for (auto item : {MenuItem::TAKE, MenuItem::TATAMI}) platform.checks[item] = false;
  platform.files.clear();
  g.過去最高スコア = 12.5;
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile], (Lines{"移動指導=OFF", "BGM=OFF", "過去最高スコア=12.5"}));
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFileTheBestScoreAndTheOptions) {
  const Lines old{"背景画=煉瓦", "移動指導=OFF", "BGM=OFF", "過去最高スコア=4000"};
  platform.files[kFile] = old;
  platform.fail_writes = SaveResult::Failed;
  platform.checks[MenuItem::SIDOU] = true;
  g.過去最高スコア = 4100;
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile], old);
  EXPECT_EQ(g.過去最高スコア, 4100);
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::TATAMI});
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  EXPECT_FALSE(platform.checks[MenuItem::BGM]);
  // The first failure of the session is told, naming the file and why; later ones are not.
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("Pawnfall.ini"), std::string::npos);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.messages.size(), 1u);

  platform.fail_writes = std::nullopt;  // the next change writes the state kept in memory
  書込_環境設定ファイル(g);
  EXPECT_EQ(platform.files[kFile],
            (Lines{"背景画=畳", "移動指導=ON", "BGM=OFF", "過去最高スコア=4100"}));
}

TEST_F(SettingsFile, WhatIsWrittenReadsBackToTheSameState) {
  platform.checks[MenuItem::TATAMI] = false;
  platform.checks[MenuItem::RENGA] = true;
  platform.checks[MenuItem::BGM] = true;
  g.過去最高スコア = 123456789012.5;
  書込_環境設定ファイル(g);

  test::FakePlatform other;
  other.files = platform.files;
  Sound h_sound{other};
  Game h{other, h_sound};
  読込_環境設定ファイル(h);
  EXPECT_EQ(other.checks, platform.checks);
  EXPECT_EQ(h.背景画, HAIKEI_RENGA);
  EXPECT_EQ(h.過去最高スコア, g.過去最高スコア);
}

}  // namespace
}  // namespace pawnfall
