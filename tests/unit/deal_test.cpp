// The deal: the same boards in every run, symmetric by the product of column and row.
#include <gtest/gtest.h>

#include <array>

#include "game/deal.h"
#include "game/turn.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"

namespace pawnfall {
namespace {

盤表<int> deal_nth(int n) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  for (int i = 0; i < n; ++i) 初期設定_駒(g);
  return g.盤面;
}

TEST(Deal, TheFirstAndSecondBoardsAreTheSameInEveryRunAndDifferFromEachOther) {
  const auto first = deal_nth(1), again = deal_nth(1);
  const auto second = deal_nth(2), second_again = deal_nth(2);
  EXPECT_EQ(first, again);
  EXPECT_EQ(second, second_again);
  EXPECT_NE(first, second);
}

TEST(Deal, TheFirstBoardIsTheOnePlayersKnow) {
  // Column 1 of the first board, row 1 to 12, as every release has dealt it.
  const std::array<int, 行数> column_1{10, 14, 13, 18, 17, 19, 10, 11, 12, 12, 18, 14};
  const auto board = deal_nth(1);
  for (int r = 1; r <= 行数; ++r) EXPECT_EQ(board[1][r], column_1[r - 1]) << r;
}

TEST(Deal, SquaresWithEqualProductsHoldEqualCodes) {
  for (int n = 1; n <= 5; ++n) {
    const auto board = deal_nth(n);
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        if (r <= 列数 && c <= 行数) {
          EXPECT_EQ(board[c][r], board[r][c]) << c << "," << r;
        }
        for (int c2 = 1; c2 <= 列数; ++c2) {
          if ((c * r) % c2 == 0 && (c * r) / c2 <= 行数) {
            EXPECT_EQ(board[c][r], board[c2][(c * r) / c2]);
          }
        }
      }
  }
}

TEST(Deal, NewBoardsHoldOnlyTheCodesTenToNineteen) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  std::array<int, 22> seen{};
  for (int n = 0; n < 200; ++n) {
    初期設定_駒(g);
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        ASSERT_GE(g.盤面[c][r], W_PORN);
        ASSERT_LE(g.盤面[c][r], B_ROOK);
        ++seen[g.盤面[c][r]];
      }
  }
  for (int code = W_PORN; code <= B_ROOK; ++code) EXPECT_GT(seen[code], 0) << code;
}

TEST(Deal, TheFilterDropsPointsExponentMarksAndSignsOnly) {
  EXPECT_EQ(文字列編集_不用文字削除("1.234567E-02"), "123456702");
  EXPECT_EQ(文字列編集_不用文字削除("0.5"), "05");
  EXPECT_EQ(文字列編集_不用文字削除(""), "");
  EXPECT_EQ(文字列編集_不用文字削除("1e5"), "1e5");
}

TEST(Deal, SinglePrecisionTextHasSevenDigitsAndAnUpperCaseExponent) {
  EXPECT_EQ(単精度文字列(0.5f), "0.5");
  EXPECT_EQ(単精度文字列(0.1234567f), "0.1234567");
  EXPECT_EQ(単精度文字列(1.234567e-5f), "1.234567E-05");
  EXPECT_EQ(単精度文字列(0.0f), "0");
}

TEST(Deal, ANewGameResetsScoreAndGameOverButKeepsTheChain) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  g.スコア = 40;
  g.終了フラグ = 終了状態::終了;
  g.選択状態 = 選択状態型::連鎖中;
  g.選択駒.連鎖数 = 3;
  g.消去対象駒[2][2] = 1;
  g.過去最高スコア = 90;
  初期設定(g);
  EXPECT_EQ(g.スコア, 0);
  EXPECT_EQ(g.終了フラグ, 終了状態::続行中);
  EXPECT_EQ(g.選択状態, 選択状態型::連鎖中);
  EXPECT_EQ(g.選択駒.連鎖数, 3);
  EXPECT_EQ(g.消去対象駒[2][2], 1);
  EXPECT_EQ(g.過去最高スコア, 90);
}
}  // namespace
}  // namespace pawnfall
