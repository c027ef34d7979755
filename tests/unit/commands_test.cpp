// The menu commands: background marks, the two options, a new game and the about box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/commands.h"
#include "game/settings.h"
#include "model/backgrounds.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"
#include "tests/unit/play_helpers.h"
#include "view/draw.h"

namespace pawnfall {
namespace {

using Lines = std::vector<std::string>;
const std::string kFile(設定ファイル名);
class Commands : public test::GameOnFakes {
 protected:
  std::vector<MenuItem> checked_backgrounds() const { return platform.checked_backgrounds(); }

  // Index in platform.paints of the first paint of this picture at board position (列, 行).
  std::ptrdiff_t first_paint(int code, double 列, double 行) const {
    const auto& p = platform.paints;
    return std::find_if(p.begin(), p.end(),
                        [&](const auto& x) {
                          return x.picture.code == code && x.x == 盤X(列) && x.y == 盤Y(行);
                        }) -
           p.begin();
  }
};

TEST_F(Commands, SettingTheBackgroundMarkLeavesExactlyThatItemChecked) {
  platform.checks[MenuItem::SIDOU] = true;
  for (const auto& b : 背景表) {
    チェック設定(g, b.code);
    EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{b.item}) << b.code;
  }
  for (int other : {0, 1, 7, -3}) {
    チェック設定(g, HAIKEI_TAKE);
    チェック設定(g, other);
    EXPECT_TRUE(checked_backgrounds().empty()) << other;
  }
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  EXPECT_FALSE(platform.checks[MenuItem::BGM]);
}

TEST_F(Commands, ChoosingABackgroundMovesTheMarkWritesTheFileAndRedrawsInTheNewTile) {
  背景_Click(g, HAIKEI_UCHU);
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::UCHU});
  EXPECT_EQ(g.背景画, HAIKEI_UCHU);
  EXPECT_EQ(platform.files[kFile].front(), "背景画=宇宙");
  EXPECT_LT(first_paint(HAIKEI_UCHU, -3, -3), std::ssize(platform.paints));
  EXPECT_LT(first_paint(TAITORU, 8.5, -1.5), std::ssize(platform.paints));
}

TEST_F(Commands, ChoosingTheCheckedBackgroundStillWritesAndRedraws) {
  platform.files[kFile] = {"stale"};
  背景_Click(g, HAIKEI_TATAMI);
  EXPECT_EQ(checked_backgrounds(), std::vector<MenuItem>{MenuItem::TATAMI});
  EXPECT_EQ(platform.writes, 1);
  EXPECT_EQ(platform.files[kFile].front(), "背景画=畳");
  EXPECT_LT(first_paint(HAIKEI_TATAMI, -3, -3), std::ssize(platform.paints));
  EXPECT_LT(first_paint(TAITORU, 8.5, -1.5), std::ssize(platform.paints));
}

TEST_F(Commands, GuidanceTurnsOverAndTheFileFollowsWithoutRedrawing) {
  SIDOU_Click(g);
  EXPECT_TRUE(platform.checks[MenuItem::SIDOU]);
  EXPECT_EQ(platform.files[kFile][1], "移動指導=ON");
  SIDOU_Click(g);
  EXPECT_FALSE(platform.checks[MenuItem::SIDOU]);
  EXPECT_EQ(platform.files[kFile][1], "移動指導=OFF");
  EXPECT_TRUE(platform.events.empty());
}

TEST_F(Commands, MusicStopsWhenMarkedAndLoopsWhenNotAndTheFileFollows) {
  platform.checks[MenuItem::BGM] = true;
  BGM_Click(g);
  EXPECT_FALSE(platform.checks[MenuItem::BGM]);
  EXPECT_EQ(test::fake_sound_handles("dsStop"),
            std::vector<std::int32_t>{sound.handle(音源::音_BGM)});
  EXPECT_EQ(platform.files[kFile][2], "BGM=OFF");
  BGM_Click(g);
  EXPECT_TRUE(platform.checks[MenuItem::BGM]);
  EXPECT_EQ(test::fake_sound_handles("dsPlayLooping"),
            std::vector<std::int32_t>{sound.handle(音源::音_BGM)});
  EXPECT_EQ(platform.files[kFile][2], "BGM=ON");
}

TEST_F(Commands, AfterAFirstStartTheSecondMusicClickStartsTheMusic) {
  読込_環境設定ファイル(g);  // no file: BGM marked, nothing playing
  ASSERT_TRUE(platform.checks[MenuItem::BGM]);
  ASSERT_TRUE(test::fake_sound_handles("dsPlayLooping").empty());
  BGM_Click(g);
  EXPECT_TRUE(test::fake_sound_handles("dsPlayLooping").empty());
  BGM_Click(g);
  EXPECT_EQ(test::fake_sound_handles("dsPlayLooping"),
            std::vector<std::int32_t>{sound.handle(音源::音_BGM)});
}

TEST_F(Commands, ANewGameWithAScoreAboveTheBestSavesAndShowsIt) {
  g.過去最高スコア = 300;
  g.スコア = 512;
  g.終了フラグ = 終了状態::終了;
  CANCEL_Click(g);
  EXPECT_EQ(g.過去最高スコア, 512);
  EXPECT_EQ(platform.files[kFile].back(), "過去最高スコア=512");
  const auto shown = std::count_if(platform.texts.begin(), platform.texts.end(),
                                   [](const auto& t) { return t.text == " 512 "; });
  EXPECT_GE(shown, 2);  // the number and its shadow
  EXPECT_EQ(g.スコア, 0);
  EXPECT_EQ(g.終了フラグ, 終了状態::続行中);
}

TEST_F(Commands, ANewGameWithAScoreEqualToOrBelowTheBestLeavesTheFileAlone) {
  for (double score : {300.0, 299.0}) {
    platform.files[kFile] = {"過去最高スコア=300"};
    g.過去最高スコア = 300;
    g.スコア = score;
    g.終了フラグ = 終了状態::終了;
    CANCEL_Click(g);
    EXPECT_EQ(platform.writes, 0) << score;
    EXPECT_EQ(platform.files[kFile], Lines{"過去最高スコア=300"}) << score;
    EXPECT_EQ(g.過去最高スコア, 300);
    EXPECT_EQ(g.終了フラグ, 終了状態::続行中);
  }
}

TEST_F(Commands, ANewGameEndsTheChainInProgressBeforeTheBoardIsRedrawn) {
  g.選択状態 = 選択状態型::連鎖中;
  g.選択駒 = {3, 4, 3, 5, W_ROOK, 3, 4};
  g.消去対象駒[3][4] = g.消去対象駒[3][5] = g.消去対象駒[20][12] = 1;
  CANCEL_Click(g);
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(g.選択駒.連鎖数, 0);
  EXPECT_EQ(g.選択駒.追加点数, 0);
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) EXPECT_EQ(g.消去対象駒[c][r], 0) << c << "," << r;
  // The points number is covered with tiles before the new game draws anything (its score
  // display first), so the full redraw has the last word.
  const auto erased = first_paint(g.背景画, 4, -2);
  const auto new_game = first_paint(g.背景画, 19, -2);
  ASSERT_LT(new_game, std::ssize(platform.paints));
  EXPECT_LT(erased, new_game);
}

TEST_F(Commands, ANewGameWhoseSaveFailsKeepsTheRaisedBestInMemory) {
  platform.files[kFile] = {"過去最高スコア=300"};
  platform.fail_writes = SaveResult::Failed;
  g.過去最高スコア = 300;
  g.スコア = 400;
  CANCEL_Click(g);
  EXPECT_EQ(g.過去最高スコア, 400);
  EXPECT_EQ(platform.files[kFile], Lines{"過去最高スコア=300"});
  EXPECT_EQ(platform.messages.size(), 1u);  // the player is told the best score is not kept
}

TEST_F(Commands, TheAboutBoxShowsSevenLinesUnderThePlainCaptionWithASound) {
  VER_Click(g);
  EXPECT_EQ(test::fake_sound_handles("dsPlay"),
            std::vector<std::int32_t>{sound.handle(音源::音_その他)});
  ASSERT_EQ(platform.messages.size(), 1u);
  const auto& m = platform.messages[0];
  EXPECT_EQ(m.caption, "Pawnfall");
  EXPECT_EQ(m.icon, MessageIcon::None);
  EXPECT_EQ(m.text.find('\n'), std::string::npos);  // lone carriage returns only
  Lines lines;
  std::string::size_type start = 0;
  for (auto cr = m.text.find('\r'); cr != std::string::npos; cr = m.text.find('\r', start)) {
    lines.push_back(m.text.substr(start, cr - start));
    start = cr + 1;
  }
  lines.push_back(m.text.substr(start));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Pawnfall  Version 0.9 [08/2000]");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "Home page");
  EXPECT_NE(lines[3].find("example.org"), std::string::npos);
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "e-mail");
  EXPECT_NE(lines[6].find("@example.org"), std::string::npos);
  EXPECT_TRUE(platform.files.empty());
}

}  // namespace
}  // namespace pawnfall
