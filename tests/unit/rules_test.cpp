// The move test, grouped by kind of piece, and the notion of kind.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#include "model/rules.h"

namespace pawnfall {
namespace {

constexpr std::array 全駒{W_PORN, W_NIGT, W_BSHO, W_ROOK, W_QUIN, W_KING,
                          B_KING, B_NIGT, B_BSHO, B_ROOK, B_QUIN, B_PORN};

// A board with every square taken by `code`.
盤表<int> full_of(int code) {
  盤表<int> b{};
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) b[c][r] = code;
  return b;
}

// Every target the piece on (c, r) may take, as a set of squares.
std::vector<std::pair<int, int>> targets(const 盤表<int>& b, int c, int r) {
  std::vector<std::pair<int, int>> out;
  for (int tc = 1; tc <= 列数; ++tc)
    for (int tr = 1; tr <= 行数; ++tr)
      if (移動チェック(b, c, r, tc, tr, b[c][r])) out.emplace_back(tc, tr);
  return out;
}

using Squares = std::vector<std::pair<int, int>>;

TEST(Kind, EachPieceIsOfOneKindWithItselfAndItsOtherColourOnly) {
  const std::array<std::pair<int, int>, 6> pairs{{{W_PORN, B_PORN},
                                                  {W_NIGT, B_NIGT},
                                                  {W_BSHO, B_BSHO},
                                                  {W_ROOK, B_ROOK},
                                                  {W_QUIN, B_QUIN},
                                                  {W_KING, B_KING}}};
  for (int a : 全駒)
    for (int b : 全駒) {
      bool expected = a == b;
      for (auto [w, k] : pairs) expected = expected || (a == w && b == k) || (a == k && b == w);
      EXPECT_EQ(同種(a, b), expected) << a << " " << b;
    }
}

TEST(Kind, TheEmptySquareIsOfNoPiecesKind) {
  for (int code : 全駒) {
    EXPECT_FALSE(同種(KARA, code));
    EXPECT_FALSE(同種(code, KARA));
  }
}

TEST(AnyPiece, TargetsOffTheBoardAreRefusedEvenWhereTheTableHasAnEntry) {
  for (int code : 全駒) {
    盤表<int> b = full_of(W_PORN);
    // The unused row and column 0 of the table hold a piece: the test must still refuse them.
    for (int c = 0; c <= 列数; ++c) b[c][0] = W_PORN;
    for (int r = 0; r <= 行数; ++r) b[0][r] = W_PORN;
    b[1][1] = code;
    b[列数][行数] = code;
    EXPECT_FALSE(移動チェック(b, 1, 1, 0, 1, code)) << code;
    EXPECT_FALSE(移動チェック(b, 1, 1, 1, 0, code)) << code;
    EXPECT_FALSE(移動チェック(b, 1, 1, 0, 0, code)) << code;
    EXPECT_FALSE(移動チェック(b, 列数, 行数, 列数 + 1, 行数, code)) << code;
    EXPECT_FALSE(移動チェック(b, 列数, 行数, 列数, 行数 + 1, code)) << code;
    EXPECT_FALSE(移動チェック(b, 1, 1, -1000, 1000, code)) << code;
  }
}

TEST(AnyPiece, NoPieceMayTakeItsOwnSquare) {
  for (int code : 全駒) {
    const 盤表<int> b = full_of(code);
    EXPECT_FALSE(移動チェック(b, 5, 5, 5, 5, code)) << code;
  }
}

TEST(AnyPiece, AnEmptyTargetIsRefusedWhereTheShapeFits) {
  // Each kind paired with a target its shape reaches.
  const std::array<std::pair<int, std::pair<int, int>>, 6> moves{{{W_PORN, {0, -1}},
                                                                  {B_NIGT, {1, 2}},
                                                                  {W_BSHO, {1, 1}},
                                                                  {B_ROOK, {0, 1}},
                                                                  {W_QUIN, {-1, 1}},
                                                                  {B_KING, {1, 0}}}};
  for (auto [code, d] : moves) {
    盤表<int> b{};
    b[6][6] = code;
    EXPECT_FALSE(移動チェック(b, 6, 6, 6 + d.first, 6 + d.second, code)) << code;
    b[6 + d.first][6 + d.second] = W_KING;
    EXPECT_TRUE(移動チェック(b, 6, 6, 6 + d.first, 6 + d.second, code)) << code;
  }
}

TEST(AnyPiece, TheTargetMayBeOfAnyKindAndEitherColour) {
  for (int target : 全駒) {
    盤表<int> b{};
    b[6][6] = W_ROOK;
    b[6][3] = target;
    EXPECT_TRUE(移動チェック(b, 6, 6, 6, 3, W_ROOK)) << target;
  }
}

TEST(AnyPiece, AnOffBoardFromSquareOrAStrangeCodeGetsNoMoveAndNoStrayRead) {
  const 盤表<int> b = full_of(W_ROOK);
  EXPECT_FALSE(移動チェック(b, -50, 3, 3, 3, W_ROOK));
  EXPECT_FALSE(移動チェック(b, 3, 99, 3, 3, W_QUIN));
  EXPECT_FALSE(移動チェック(b, 3, 3, 3, 2, KARA));
  EXPECT_FALSE(移動チェック(b, 3, 3, 3, 2, 99));
  EXPECT_FALSE(移動チェック飛車(b, 1, 1, 40, 1));
  EXPECT_FALSE(移動チェック角(b, 1, 1, -30, 32));
}

TEST(Pawn, BothColoursTakeExactlyTheSquareStraightAbove) {
  for (int pawn : {W_PORN, B_PORN}) {
    盤表<int> b = full_of(W_KING);
    b[8][6] = pawn;
    EXPECT_EQ(targets(b, 8, 6), (Squares{{8, 5}})) << pawn;
  }
}

TEST(Pawn, HasNoDoubleStepEvenOverAnEmptySquare) {
  盤表<int> b{};
  b[8][6] = B_PORN;
  b[8][4] = W_PORN;
  EXPECT_TRUE(targets(b, 8, 6).empty());
}

TEST(Pawn, InTheTopRowHasNoMoveAtAll) {
  for (int pawn : {W_PORN, B_PORN}) {
    盤表<int> b = full_of(B_PORN);
    b[8][1] = pawn;
    EXPECT_TRUE(targets(b, 8, 1).empty()) << pawn;
  }
}

TEST(Knight, ReachesAllEightJumpsEvenWhenSurrounded) {
  for (int knight : {W_NIGT, B_NIGT}) {
    const 盤表<int> b = full_of(knight);
    EXPECT_EQ(targets(b, 10, 6),
              (Squares{{8, 5}, {8, 7}, {9, 4}, {9, 8}, {11, 4}, {11, 8}, {12, 5}, {12, 7}}))
        << knight;
  }
}

TEST(Knight, NearTheEdgeKeepsOnlyTheJumpsThatStayOnTheBoard) {
  const 盤表<int> b = full_of(W_NIGT);
  EXPECT_EQ(targets(b, 1, 1), (Squares{{2, 3}, {3, 2}}));
}

TEST(Bishop, IsBlockedByOnePieceAtAnyDistanceAlongItsDiagonal) {
  for (int between = 1; between < 11; ++between) {
    盤表<int> b{};
    b[1][12] = W_BSHO;
    b[12][1] = B_QUIN;
    EXPECT_TRUE(移動チェック(b, 1, 12, 12, 1, W_BSHO));
    b[1 + between][12 - between] = W_PORN;
    EXPECT_FALSE(移動チェック(b, 1, 12, 12, 1, W_BSHO)) << between;
  }
}

TEST(Bishop, ReachesAFreeDiagonalInAllFourDirections) {
  盤表<int> b{};
  b[10][6] = B_BSHO;
  for (auto [c, r] : Squares{{7, 3}, {14, 2}, {5, 11}, {15, 11}}) b[c][r] = W_ROOK;
  EXPECT_EQ(targets(b, 10, 6), (Squares{{5, 11}, {7, 3}, {14, 2}, {15, 11}}));
}

TEST(Bishop, HasNoStraightMoves) {
  盤表<int> b = full_of(W_BSHO);
  EXPECT_EQ(targets(b, 10, 6), (Squares{{9, 5}, {9, 7}, {11, 5}, {11, 7}}));
}

TEST(Rook, WithPiecesOnAllFourSidesTakesExactlyThose) {
  const 盤表<int> b = full_of(B_ROOK);
  EXPECT_EQ(targets(b, 10, 6), (Squares{{9, 6}, {10, 5}, {10, 7}, {11, 6}}));
}

TEST(Rook, IsBlockedByAnyPieceBetweenOnItsRowOrColumn) {
  盤表<int> b{};
  b[1][6] = W_ROOK;
  b[20][6] = W_ROOK;
  b[1][1] = B_ROOK;
  b[1][12] = B_ROOK;
  EXPECT_EQ(targets(b, 1, 6), (Squares{{1, 1}, {1, 12}, {20, 6}}));
  b[13][6] = W_PORN;
  b[1][3] = B_KING;
  EXPECT_EQ(targets(b, 1, 6), (Squares{{1, 3}, {1, 12}, {13, 6}}));
  EXPECT_FALSE(移動チェック(b, 1, 6, 20, 6, W_ROOK));
  EXPECT_FALSE(移動チェック(b, 1, 6, 1, 1, W_ROOK));
}

TEST(Rook, HasNoDiagonalMoves) {
  盤表<int> b{};
  b[5][5] = W_ROOK;
  b[6][6] = W_ROOK;
  b[3][7] = W_ROOK;
  EXPECT_TRUE(targets(b, 5, 5).empty());
}

TEST(Queen, HasNoStraightMovesEvenOverEmptySquares) {
  盤表<int> b{};
  b[5][5] = W_QUIN;
  b[7][5] = B_QUIN;
  b[5][3] = W_QUIN;
  b[6][5] = KARA;
  EXPECT_FALSE(移動チェック(b, 5, 5, 7, 5, W_QUIN));
  EXPECT_TRUE(targets(b, 5, 5).empty());
  const 盤表<int> full = full_of(B_QUIN);
  EXPECT_EQ(targets(full, 10, 6), (Squares{{9, 5}, {9, 7}, {11, 5}, {11, 7}}));
}

TEST(Queen, MovesAlongFreeDiagonalsOnlyAndIsBlockedLikeABishop) {
  盤表<int> b{};
  b[3][3] = B_QUIN;
  b[12][12] = W_PORN;
  EXPECT_TRUE(移動チェック(b, 3, 3, 12, 12, B_QUIN));
  b[8][8] = W_KING;
  EXPECT_FALSE(移動チェック(b, 3, 3, 12, 12, B_QUIN));
  EXPECT_TRUE(移動チェック(b, 3, 3, 8, 8, B_QUIN));
}

TEST(King, StepsOntoEachOfItsEightNeighbours) {
  for (int king : {W_KING, B_KING}) {
    const 盤表<int> b = full_of(king);
    EXPECT_EQ(targets(b, 10, 6),
              (Squares{{9, 5}, {9, 6}, {9, 7}, {10, 5}, {10, 7}, {11, 5}, {11, 6}, {11, 7}}))
        << king;
  }
}

TEST(King, IsRefusedTwoSquaresAwayInEveryDirection) {
  盤表<int> b{};
  b[10][6] = W_KING;
  for (int dc = -2; dc <= 2; ++dc)
    for (int dr = -2; dr <= 2; ++dr)
      if (std::abs(dc) == 2 || std::abs(dr) == 2) b[10 + dc][6 + dr] = B_KING;
  EXPECT_TRUE(targets(b, 10, 6).empty());
}

TEST(PathChecks, LookAtNeitherEndSquare) {
  const 盤表<int> empty{};
  EXPECT_TRUE(移動チェック飛車(empty, 2, 2, 2, 12));
  EXPECT_TRUE(移動チェック飛車(empty, 20, 2, 1, 2));
  EXPECT_TRUE(移動チェック角(empty, 1, 1, 12, 12));
  EXPECT_TRUE(移動チェック角(empty, 20, 1, 9, 12));
  EXPECT_FALSE(移動チェック飛車(empty, 2, 2, 3, 3));
  EXPECT_FALSE(移動チェック角(empty, 2, 2, 2, 5));
  EXPECT_FALSE(移動チェック角(empty, 2, 2, 3, 5));
}

}  // namespace
}  // namespace pawnfall
