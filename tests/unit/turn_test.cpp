// The press handler: choosing, adding, cancelling and committing chains, and the game's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "game/deal.h"
#include "game/settings.h"
#include "game/turn.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sound.h"
#include "tests/unit/play_helpers.h"
#include "view/draw.h"
#include "view/score.h"

namespace pawnfall {
namespace {

using test::FakePlatform;
using test::押す;

constexpr std::int32_t 禁止 = 2, 選択 = 3, 駒打 = 4;
const std::string 終了の知らせ = "これ以上取る事のできる駒はありません";
const std::string 終了後の案内 = "局面　⇒　最初　にしてください";

class Turn : public ::testing::Test {
 protected:
  Turn() {
    test::reset_fake_sound();
    test::桝色を設定(g);
    platform.library = test::fake_sound_library();
    sound.初期化_サウンド(1);
    test::fake_sound_log().calls.clear();
    sound.adopt(音源::音_禁止, 禁止);
    sound.adopt(音源::音_選択, 選択);
    sound.adopt(音源::音_駒打音, 駒打);
  }

  std::vector<std::int32_t> played() const { return test::fake_sound_handles("dsPlay"); }

  // The number last printed in the large size: the points, the score or the best score.
  std::string last_number() const {
    for (auto it = platform.texts.rbegin(); it != platform.texts.rend(); ++it)
      if (it->points == 数字寸法) return it->text;
    return "";
  }

  // The last picture painted on square (列, 行).
  Picture last_picture(int 列, int 行) const {
    for (auto it = platform.paints.rbegin(); it != platform.paints.rend(); ++it)
      if (it->x == 盤X(列) && it->y == 盤Y(行)) return it->picture;
    return {-1, -1};
  }

  int marks() const {
    int n = 0;
    for (const auto& column : g.消去対象駒)
      for (int m : column) n += m;
    return n;
  }

  // A filler in which no piece can take one of its kind (a pawn has a knight above it, a
  // knight's jump lands on a pawn), so the chains a test builds are its own; a pair of kings
  // in the last column keeps the game going after a commit.
  void 詰め物で埋める() {
    for (int 列 = 1; 列 <= 列数; ++列)
      for (int 行 = 1; 行 <= 行数; ++行) g.盤面[列][行] = (列 + 行) % 2 == 0 ? W_PORN : B_NIGT;
    g.盤面[20][1] = W_KING;
    g.盤面[20][2] = W_KING;
  }

  void 列を埋める(int 列, int code) {
    for (int 行 = 1; 行 <= 行数; ++行) g.盤面[列][行] = code;
  }

  FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

TEST_F(Turn, OnlyPressesOnBoardSquaresCount) {
  test::盤を埋める(g, W_BSHO);
  マウス押下(g, 左ボタン, 659, 1960);
  マウス押下(g, 左ボタン, 660, 1959);
  マウス押下(g, 左ボタン, 10860, 1960);
  マウス押下(g, 左ボタン, 660, 盤Y(13));
  マウス押下(g, 左ボタン, std::nan(""), 1960);
  マウス押下(g, 左ボタン, 660, std::numeric_limits<double>::infinity());
  マウス押下(g, 左ボタン, -1e300, 1e300);
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_TRUE(platform.events.empty());
  EXPECT_TRUE(played().empty());

  マウス押下(g, 左ボタン, 660, 1960);
  EXPECT_EQ(g.選択状態, 選択状態型::連鎖中);
  EXPECT_EQ(g.選択駒.列, 1);
  EXPECT_EQ(g.選択駒.行, 1);
  マウス押下(g, 右ボタン, 10859, 8079);  // still square (20, 12): cancels the one-piece chain
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(played(), (std::vector<std::int32_t>{選択, 禁止}));
}

TEST_F(Turn, SquareNumbersRoundTowardMinusInfinity) {
  EXPECT_EQ(列番号(659), 0);
  EXPECT_EQ(列番号(660), 1);
  EXPECT_EQ(列番号(10859), 20);
  EXPECT_EQ(列番号(10860), 21);
  EXPECT_EQ(列番号(100), -1);  // left of the origin is not column 0
  EXPECT_EQ(行番号(1959), 0);
  EXPECT_EQ(行番号(1960), 1);
  EXPECT_EQ(行番号(8079), 12);
  EXPECT_EQ(行番号(8080), 13);
}

TEST_F(Turn, AFirstPressWithAnyButtonChoosesThePiece) {
  for (マウスボタン button : {左ボタン, 右ボタン, 中ボタン}) {
    test::盤を埋める(g, KARA);
    g.盤面[3][4] = B_QUIN;
    platform.clear_drawing();
    押す(g, button, 3, 4);
    EXPECT_EQ(g.選択状態, 選択状態型::連鎖中) << static_cast<int>(button);
    EXPECT_EQ(g.選択駒.列, 3);
    EXPECT_EQ(g.選択駒.行, 4);
    EXPECT_EQ(g.選択駒.駒, B_QUIN);
    EXPECT_EQ(g.選択駒.連鎖数, 1);
    EXPECT_EQ(g.選択駒.追加点数, 1);
    EXPECT_EQ(g.消去対象駒[3][4], 1);
    EXPECT_EQ(last_picture(3, 4), (Picture{B_QUIN, 0}));
    EXPECT_EQ(last_number(), 数字文字列(1));
    // Leave the chain for the next button without a commit.
    押す(g, 右ボタン, 3, 4);
    EXPECT_EQ(g.選択状態, 選択状態型::なし);
  }
}

TEST_F(Turn, AFirstPressOnAnEmptySquareDoesNothing) {
  押す(g, 左ボタン, 10, 6);
  押す(g, 中ボタン, 10, 6);
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(marks(), 0);
  EXPECT_TRUE(platform.events.empty());
  EXPECT_TRUE(played().empty());
}

TEST_F(Turn, PointsDoubleForTheSameCodeAndHalveForTheOtherColour) {
  詰め物で埋める();
  g.盤面[1][12] = W_ROOK;
  g.盤面[2][12] = W_ROOK;
  g.盤面[3][12] = B_ROOK;
  g.盤面[4][12] = B_ROOK;
  std::vector<double> points;
  std::vector<std::string> shown;
  for (int 列 = 1; 列 <= 4; ++列) {
    押す(g, 左ボタン, 列, 12);
    points.push_back(g.選択駒.追加点数);
    shown.push_back(last_number());
  }
  EXPECT_EQ(points, (std::vector<double>{1, 2, 1, 2}));
  EXPECT_EQ(shown, (std::vector<std::string>{" 1 ", " 2 ", " 1 ", " 2 "}));
  EXPECT_EQ(g.選択駒.連鎖数, 4);
  EXPECT_EQ(g.選択駒.駒, B_ROOK);
  EXPECT_EQ(played(), (std::vector<std::int32_t>{選択, 選択, 選択, 選択}));

  押す(g, 右ボタン, 15, 3);
  EXPECT_EQ(g.スコア, 2);
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(g.選択駒.追加点数, 0);
  EXPECT_EQ(marks(), 0);
  EXPECT_EQ(test::駒の数(g), 240 - 4);
  EXPECT_EQ(played().back(), 駒打);
}

TEST_F(Turn, HalvingStopsAtOnePoint) {
  詰め物で埋める();
  g.盤面[8][5] = W_KING;
  g.盤面[9][6] = B_KING;
  押す(g, 左ボタン, 8, 5);
  押す(g, 左ボタン, 9, 6);
  EXPECT_EQ(g.選択駒.連鎖数, 2);
  EXPECT_EQ(g.選択駒.追加点数, 1);
  押す(g, 右ボタン, 1, 1);
  EXPECT_EQ(g.スコア, 1);
  EXPECT_EQ(g.盤面[8][1], KARA);  // both columns fell by one
  EXPECT_EQ(g.盤面[9][1], KARA);
}

TEST_F(Turn, ARefusedTargetCancelsTheWholeChain) {
  詰め物で埋める();
  g.盤面[6][7] = W_ROOK;
  g.盤面[6][8] = B_ROOK;
  g.盤面[6][9] = W_ROOK;
  const auto board = g.盤面;
  押す(g, 左ボタン, 6, 7);
  押す(g, 左ボタン, 6, 8);
  押す(g, 左ボタン, 6, 9);
  ASSERT_EQ(g.選択駒.連鎖数, 3);
  platform.clear_drawing();

  押す(g, 左ボタン, 7, 9);  // a pawn beside the last rook: another kind
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(marks(), 0);
  EXPECT_EQ(g.選択駒.連鎖数, 0);
  EXPECT_EQ(g.選択駒.追加点数, 0);
  EXPECT_EQ(g.スコア, 0);
  EXPECT_EQ(g.盤面, board);
  EXPECT_EQ(played().back(), 禁止);
  for (int 行 = 7; 行 <= 9; ++行)
    EXPECT_EQ(last_picture(6, 行), (Picture{board[6][行], g.桝色[6][行]})) << 行;
  // The guidance and the black frames are gone: the board's outlines are redrawn.
  int board_outlines = 0;
  for (const auto& o : platform.outlines) board_outlines += o.colour == 色_盤;
  EXPECT_GE(board_outlines, 240);

  // The next press starts afresh.
  押す(g, 左ボタン, 7, 9);
  EXPECT_EQ(g.選択状態, 選択状態型::連鎖中);
  EXPECT_EQ(g.選択駒.駒, board[7][9]);
  EXPECT_EQ(g.選択駒.連鎖数, 1);
  EXPECT_EQ(marks(), 1);
}

TEST_F(Turn, APieceOfTheKindOutOfReachIsRefusedToo) {
  詰め物で埋める();
  g.盤面[2][2] = W_BSHO;
  g.盤面[2][4] = B_BSHO;  // same column: no bishop's move
  押す(g, 左ボタン, 2, 2);
  押す(g, 左ボタン, 2, 4);
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(played(), (std::vector<std::int32_t>{選択, 禁止}));
}

TEST_F(Turn, LeftPressesOnMarkedOrEmptySquaresLeaveTheChainAlone) {
  g.盤面[10][11] = W_NIGT;
  g.盤面[11][9] = W_NIGT;
  押す(g, 左ボタン, 10, 11);
  押す(g, 左ボタン, 11, 9);
  platform.clear_drawing();
  const auto chain = g.選択駒;
  押す(g, 左ボタン, 10, 11);
  押す(g, 左ボタン, 11, 9);
  押す(g, 左ボタン, 1, 1);
  EXPECT_EQ(g.選択状態, 選択状態型::連鎖中);
  EXPECT_EQ(g.選択駒.連鎖数, chain.連鎖数);
  EXPECT_EQ(g.選択駒.追加点数, chain.追加点数);
  EXPECT_EQ(g.選択駒.列, chain.列);
  EXPECT_EQ(g.選択駒.先列, 1);  // the target is still noted
  EXPECT_EQ(g.選択駒.先行, 1);
  EXPECT_EQ(marks(), 2);
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(played().size(), 2u);
}

TEST_F(Turn, TheRightButtonCancelsAOnePieceChainWithoutScoring) {
  詰め物で埋める();
  const auto board = g.盤面;
  押す(g, 左ボタン, 5, 5);
  押す(g, 右ボタン, 5, 5);
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(g.スコア, 0);
  EXPECT_EQ(g.盤面, board);
  EXPECT_EQ(marks(), 0);
  EXPECT_EQ(last_picture(5, 5), (Picture{board[5][5], g.桝色[5][5]}));
  EXPECT_EQ(played(), (std::vector<std::int32_t>{選択, 禁止}));
  EXPECT_EQ(platform.waits, 0);
}

TEST_F(Turn, TheMiddleButtonCommitsEvenAOnePieceChain) {
  for (マウスボタン button : {中ボタン, 他のボタン}) {
    詰め物で埋める();
    g.スコア = 0;
    platform.waits = 0;
    押す(g, 左ボタン, 1, 12);
    押す(g, button, 20, 1);
    EXPECT_EQ(g.スコア, 1) << static_cast<int>(button);
    EXPECT_EQ(g.選択状態, 選択状態型::なし);
    EXPECT_EQ(g.盤面[1][1], KARA);
    EXPECT_EQ(test::駒の数(g), 239);
    EXPECT_EQ(platform.waits, 11);  // eleven pieces over one hole
    EXPECT_EQ(played().back(), 駒打);
  }
}

TEST_F(Turn, AColumnEmptiedAloneClosesUp) {
  詰め物で埋める();
  列を埋める(5, W_ROOK);
  g.盤面[6][3] = W_QUIN;  // to tell the columns apart after the move
  const auto before = g.盤面;
  for (int 行 = 1; 行 <= 行数; ++行) 押す(g, 左ボタン, 5, 行);
  ASSERT_EQ(g.選択駒.連鎖数, 12);
  押す(g, 右ボタン, 5, 1);
  EXPECT_EQ(g.スコア, 2048);
  for (int 列 = 5; 列 < 列数; ++列) EXPECT_EQ(g.盤面[列], before[列 + 1]) << 列;
  for (int 行 = 1; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[20][行], KARA);
  EXPECT_EQ(platform.waits, 15);  // nothing falls; columns 5 to 19 take one step each
}

TEST_F(Turn, ClosingColumnOnePausesNineteenTimes) {
  詰め物で埋める();
  列を埋める(1, B_ROOK);
  for (int 行 = 1; 行 <= 行数; ++行) 押す(g, 左ボタン, 1, 行);
  platform.waits = 0;
  押す(g, 右ボタン, 1, 1);
  EXPECT_EQ(platform.waits, 19);
}

TEST_F(Turn, TwoNeighbouringEmptiedColumnsLeaveOneStandingUntilTheNextCommit) {
  詰め物で埋める();
  列を埋める(5, W_ROOK);
  列を埋める(6, W_ROOK);
  const auto before = g.盤面;
  for (int 列 : {5, 6})
    for (int 行 = 1; 行 <= 行数; ++行) 押す(g, 左ボタン, 列, 行);
  ASSERT_EQ(g.選択駒.連鎖数, 24);
  押す(g, 右ボタン, 1, 1);
  for (int 行 = 1; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[5][行], KARA);
  for (int 列 = 6; 列 <= 19; ++列) EXPECT_EQ(g.盤面[列], before[列 + 1]) << 列;
  for (int 行 = 1; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[20][行], KARA);

  // Any later commit finds column 5 empty and closes it.
  押す(g, 左ボタン, 1, 12);
  押す(g, 中ボタン, 1, 12);
  for (int 列 = 5; 列 <= 18; ++列) EXPECT_EQ(g.盤面[列], before[列 + 2]) << 列;
  for (int 列 : {19, 20})
    for (int 行 = 1; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[列][行], KARA);
}

TEST_F(Turn, ABoardWithoutHolesAfterTheCommitDoesNotPause) {
  // Taking the top square of a column leaves no hole under any piece.
  詰め物で埋める();
  押す(g, 左ボタン, 9, 1);
  押す(g, 中ボタン, 9, 1);
  EXPECT_EQ(g.盤面[9][1], KARA);
  EXPECT_EQ(platform.waits, 0);
}

TEST_F(Turn, EveryCommitThatLiftsTheScoreAboveTheBestSavesItAtOnce) {
  詰め物で埋める();
  g.過去最高スコア = 1;
  押す(g, 左ボタン, 1, 12);
  押す(g, 中ボタン, 1, 12);  // score 1: not above the best
  EXPECT_EQ(g.過去最高スコア, 1);
  EXPECT_EQ(platform.writes, 0);

  押す(g, 左ボタン, 2, 12);
  押す(g, 中ボタン, 2, 12);  // score 2
  EXPECT_EQ(g.過去最高スコア, 2);
  EXPECT_EQ(platform.writes, 1);
  const auto& best = platform.texts.back();  // the best score's white copy comes last
  EXPECT_EQ(best.text, 数字文字列(2));
  EXPECT_EQ(best.y, 盤Y(-1.2) + 160);

  押す(g, 左ボタン, 3, 12);
  押す(g, 中ボタン, 3, 12);  // score 3
  EXPECT_EQ(g.過去最高スコア, 3);
  EXPECT_EQ(platform.writes, 2);
  ASSERT_TRUE(platform.files.contains(設定ファイル名));
  const auto& lines = platform.files.find(設定ファイル名)->second;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "過去最高スコア=" + 十進表記(3)), lines.end());
}

TEST_F(Turn, TheGameEndsWhenNoCaptureIsLeftAndThenOnlyRemindsOfANewGame) {
  g.盤面[3][12] = W_QUIN;
  g.盤面[4][11] = B_QUIN;
  g.盤面[10][12] = W_PORN;
  g.盤面[11][12] = B_PORN;  // side by side: pawns take only straight up
  押す(g, 左ボタン, 3, 12);
  押す(g, 左ボタン, 4, 11);
  押す(g, 右ボタン, 4, 11);
  EXPECT_EQ(g.終了フラグ, 終了状態::終了);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, 終了の知らせ);
  EXPECT_EQ(platform.messages[0].caption, "");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::None);

  const auto board = g.盤面;
  const double score = g.スコア;
  platform.clear_drawing();
  押す(g, 左ボタン, 10, 12);
  押す(g, 右ボタン, 11, 12);
  マウス押下(g, 中ボタン, 0, 0);
  ASSERT_EQ(platform.messages.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(platform.messages[i].text, 終了後の案内);
    EXPECT_EQ(platform.messages[i].caption, "");
    EXPECT_EQ(platform.messages[i].icon, MessageIcon::None);
  }
  EXPECT_EQ(g.選択状態, 選択状態型::なし);
  EXPECT_EQ(g.盤面, board);
  EXPECT_EQ(g.スコア, score);
  EXPECT_TRUE(platform.events.empty());
}

TEST_F(Turn, TheGameGoesOnWhileACaptureIsLeft) {
  g.盤面[3][12] = W_QUIN;
  g.盤面[4][11] = B_QUIN;
  g.盤面[10][11] = W_PORN;
  g.盤面[10][12] = B_PORN;  // the lower pawn takes the upper one
  押す(g, 左ボタン, 3, 12);
  押す(g, 左ボタン, 4, 11);
  押す(g, 右ボタン, 4, 11);
  EXPECT_EQ(g.終了フラグ, 終了状態::続行中);
  EXPECT_TRUE(platform.messages.empty());
  // Each emptied column left of the pawns is looked at once and pulls them one column left,
  // until they stand in column 5.
  ASSERT_EQ(g.盤面[5][12], B_PORN);
  押す(g, 左ボタン, 5, 12);
  EXPECT_EQ(g.選択状態, 選択状態型::連鎖中);
}

TEST_F(Turn, AChainCarriedIntoANewGameTakesThePiecesOnItsSquares) {
  詰め物で埋める();
  g.盤面[2][6] = W_KING;
  g.盤面[3][6] = W_KING;
  押す(g, 左ボタン, 2, 6);
  押す(g, 左ボタン, 3, 6);
  初期設定(g);
  ASSERT_EQ(g.スコア, 0);
  押す(g, 右ボタン, 12, 12);
  EXPECT_EQ(g.スコア, 2);
  EXPECT_EQ(test::駒の数(g), 238);
  EXPECT_EQ(g.盤面[2][1], KARA);
  EXPECT_EQ(g.盤面[3][1], KARA);
}

}  // namespace
}  // namespace pawnfall
