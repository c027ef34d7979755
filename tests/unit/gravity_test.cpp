// Gravity: pieces fall one row per step, emptied columns close up one column per step.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game/gravity.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/unit/play_helpers.h"
#include "view/draw.h"

namespace pawnfall {
namespace {

using test::FakePlatform;

class Gravity : public ::testing::Test {
 protected:
  Gravity() { test::桝色を設定(g); }

  // Fills one column from the top with the given codes; the rest of the column stays empty.
  void 列を置く(int 列, std::initializer_list<int> codes) {
    int 行 = 1;
    for (int code : codes) g.盤面[列][行++] = code;
  }

  int paints_of(int code, int 列, int 行) const {
    return static_cast<int>(std::count_if(
        platform.paints.begin(), platform.paints.end(), [&](const FakePlatform::Paint& p) {
          return p.picture.code == code && p.x == 盤X(列) && p.y == 盤Y(行);
        }));
  }

  FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

TEST_F(Gravity, ABoardWithoutHolesOnlyRedrawsTheOutlinesAndDoesNotPause) {
  test::盤を埋める(g, W_ROOK);
  const auto before = g.盤面;
  重力処理(g);
  EXPECT_EQ(g.盤面, before);
  EXPECT_EQ(platform.waits, 0);
  EXPECT_EQ(platform.presents, 0);
  EXPECT_TRUE(platform.paints.empty());
  ASSERT_EQ(platform.outlines.size(), 240u);
  for (const auto& o : platform.outlines) EXPECT_EQ(o.colour, 色_盤);
}

TEST_F(Gravity, ElevenPiecesOverOneHoleSettleInElevenStepsInTheirOrder) {
  列を置く(3, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, KARA});
  重力処理(g);
  EXPECT_EQ(platform.waits, 11);
  EXPECT_DOUBLE_EQ(platform.waited_seconds, 11 * 一歩の待ち時間);
  EXPECT_EQ(g.盤面[3][1], KARA);
  for (int 行 = 2; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[3][行], 8 + 行) << 行;
}

TEST_F(Gravity, ThreePiecesOverNineEmptySquaresSettleInElevenStepsAtTheBottom) {
  列を置く(7, {W_KING, B_QUIN, W_PORN});
  重力処理(g);
  EXPECT_EQ(platform.waits, 11);
  for (int 行 = 1; 行 <= 9; ++行) EXPECT_EQ(g.盤面[7][行], KARA);
  EXPECT_EQ(g.盤面[7][10], W_KING);
  EXPECT_EQ(g.盤面[7][11], B_QUIN);
  EXPECT_EQ(g.盤面[7][12], W_PORN);
}

TEST_F(Gravity, APieceInTheLastRowNeverFallsAndOneAboveAnEmptyLastRowFallsAtOnce) {
  g.盤面[1][12] = W_NIGT;
  g.盤面[2][11] = B_NIGT;
  重力処理(g);
  EXPECT_EQ(platform.waits, 1);
  EXPECT_EQ(g.盤面[1][12], W_NIGT);
  EXPECT_EQ(g.盤面[2][11], KARA);
  EXPECT_EQ(g.盤面[2][12], B_NIGT);
  EXPECT_EQ(paints_of(W_NIGT, 1, 12), 0);
}

TEST_F(Gravity, PiecesAboveTwoSeparateHolesStartFallingInTheSameStep) {
  列を置く(4, {10, 11, 12, 13, 14, KARA, 15, 16, 17, 18, 19, KARA});
  重力処理(g);
  // The first step moves the piece above each hole; it ends at the first wait.
  const auto first_wait = std::find(platform.events.begin(), platform.events.end(), "wait");
  const auto paints_in_first_step =
      std::count(platform.events.begin(), first_wait, std::string("paint"));
  EXPECT_EQ(paints_in_first_step, 4);  // two pieces, each leaving one square and entering one
  EXPECT_EQ(platform.paints[0].picture, (Picture{KARA, g.桝色[4][5]}));
  EXPECT_EQ(platform.paints[1].picture, (Picture{14, g.桝色[4][6]}));
  EXPECT_EQ(platform.paints[2].picture, (Picture{KARA, g.桝色[4][11]}));
  EXPECT_EQ(platform.paints[3].picture, (Picture{19, g.桝色[4][12]}));
  // Everything ends on the floor, in order.
  EXPECT_EQ(g.盤面[4][1], KARA);
  EXPECT_EQ(g.盤面[4][2], KARA);
  for (int 行 = 3; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[4][行], 7 + 行) << 行;
}

TEST_F(Gravity, EveryStepDrawsBothSquaresWithOrdinaryOutlinesAndShowsThemBeforeThePause) {
  g.盤面[5][10] = W_BSHO;
  g.盤面[5][12] = B_BSHO;
  重力処理(g);
  ASSERT_EQ(platform.waits, 1);
  // 240 board outlines, then the step: empty square, its outline, piece, its outline.
  const std::vector<std::string> step(platform.events.begin() + 240, platform.events.end());
  EXPECT_EQ(step,
            (std::vector<std::string>{"paint", "outline", "paint", "outline", "present", "wait"}));
  EXPECT_EQ(platform.paints[0].picture, (Picture{KARA, g.桝色[5][10]}));
  EXPECT_EQ(platform.paints[1].picture, (Picture{W_BSHO, g.桝色[5][11]}));
  EXPECT_EQ(platform.outlines[240].colour, 色_背景);
  EXPECT_EQ(platform.outlines[241].colour, 色_背景);
  EXPECT_EQ(platform.outlines[241].x1, 盤X(5));
  EXPECT_EQ(platform.outlines[241].y1, 盤Y(11));
}

TEST_F(Gravity, NoPieceStandsAboveAnEmptySquareAfterwards) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    for (int 列 = 1; 列 <= 列数; ++列)
      for (int 行 = 1; 行 <= 行数; ++行)
        g.盤面[列][行] = random() % 3 == 0 ? KARA : W_PORN + static_cast<int>(random() % 12);
    const int pieces = test::駒の数(g);
    重力処理(g);
    EXPECT_FALSE(test::宙に浮く駒がある(g));
    EXPECT_EQ(test::駒の数(g), pieces);
  }
}

TEST_F(Gravity, ClosingColumnTwentyChangesNothingAndDoesNotPause) {
  test::盤を埋める(g, W_QUIN);
  for (int 行 = 1; 行 <= 行数; ++行) g.盤面[20][行] = KARA;
  const auto before = g.盤面;
  重力処理_横(g, 20);
  EXPECT_EQ(g.盤面, before);
  EXPECT_EQ(platform.waits, 0);
  EXPECT_TRUE(platform.events.empty());
}

TEST_F(Gravity, ClosingColumnNineteenMovesColumnTwentyAndPausesOnce) {
  列を置く(20, {W_ROOK, B_ROOK});
  重力処理_横(g, 19);
  EXPECT_EQ(platform.waits, 1);
  EXPECT_EQ(platform.presents, 1);
  EXPECT_EQ(g.盤面[19][1], W_ROOK);
  EXPECT_EQ(g.盤面[19][2], B_ROOK);
  EXPECT_EQ(g.盤面[20][1], KARA);
  EXPECT_EQ(g.盤面[20][2], KARA);
  // Only the two rows where something moved are drawn: piece on its new square, then empty.
  ASSERT_EQ(platform.paints.size(), 4u);
  EXPECT_EQ(platform.paints[0].picture, (Picture{W_ROOK, g.桝色[19][1]}));
  EXPECT_EQ(platform.paints[1].picture, (Picture{KARA, g.桝色[20][1]}));
  EXPECT_EQ(platform.paints[1].x, 盤X(20));
}

TEST_F(Gravity, ClosingColumnOnePausesNineteenTimesEvenWithNothingToItsRight) {
  重力処理_横(g, 1);
  EXPECT_EQ(platform.waits, 19);
  EXPECT_EQ(platform.presents, 19);
  EXPECT_TRUE(platform.paints.empty());
}

TEST_F(Gravity, AClosedColumnMovesLeftWithItsEmptySquares) {
  列を置く(6, {W_KING, KARA, B_KING});
  列を置く(8, {KARA, W_NIGT});
  重力処理_横(g, 5);
  EXPECT_EQ(platform.waits, 15);
  EXPECT_EQ(g.盤面[5][1], W_KING);
  EXPECT_EQ(g.盤面[5][2], KARA);
  EXPECT_EQ(g.盤面[5][3], B_KING);
  EXPECT_EQ(g.盤面[7][1], KARA);
  EXPECT_EQ(g.盤面[7][2], W_NIGT);
  for (int 列 = 8; 列 <= 列数; ++列)
    for (int 行 = 1; 行 <= 行数; ++行) EXPECT_EQ(g.盤面[列][行], KARA);
}

TEST_F(Gravity, ClosingAColumnOffTheBoardDoesNothing) {
  g.盤面[1][1] = W_PORN;
  const auto before = g.盤面;
  重力処理_横(g, 0);
  重力処理_横(g, -3);
  重力処理_横(g, 21);
  EXPECT_EQ(g.盤面, before);
  EXPECT_EQ(platform.waits, 0);
}

}  // namespace
}  // namespace pawnfall
