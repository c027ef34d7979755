// The chain-link test and the clearing of the marked look.
#include <gtest/gtest.h>

#include "game/turn.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "view/draw.h"

namespace pawnfall {
namespace {

class ChainLink : public ::testing::Test {
 protected:
  void put(int c, int r, int code, bool marked = false) {
    g.盤面[c][r] = code;
    g.消去対象駒[c][r] = marked ? 1 : 0;
  }
  bool joins(int chain_code, int c, int r) const {
    return 移動チェック_消去対象駒(g, chain_code, c, r);
  }

  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

TEST_F(ChainLink, WithNothingMarkedNothingJoins) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) put(c, r, W_KING);
  EXPECT_FALSE(joins(W_KING, 5, 5));
}

TEST_F(ChainLink, AnotherKindNeverJoinsEvenWhenReachable) {
  put(5, 5, W_ROOK, true);
  put(5, 6, W_BSHO);
  put(5, 4, B_QUIN);
  EXPECT_TRUE(移動チェック(g.盤面, 5, 5, 5, 6, W_ROOK));
  EXPECT_FALSE(joins(W_ROOK, 5, 6));
  EXPECT_FALSE(joins(W_ROOK, 5, 4));
}

TEST_F(ChainLink, AKnightOfEitherColourJoinsAWhiteKnightChain) {
  put(4, 4, W_NIGT, true);
  put(6, 5, B_NIGT);
  put(3, 6, W_NIGT);
  put(5, 5, B_NIGT);  // a neighbour, not a jump away
  EXPECT_TRUE(joins(W_NIGT, 6, 5));
  EXPECT_TRUE(joins(W_NIGT, 3, 6));
  EXPECT_FALSE(joins(W_NIGT, 5, 5));
}

TEST_F(ChainLink, APieceReachedOnlyByTheFirstOfThreeMarkedPiecesJoins) {
  put(2, 10, W_ROOK, true);  // first
  put(8, 10, B_ROOK, true);  // second
  put(8, 3, W_ROOK, true);   // third and last
  put(2, 1, B_ROOK);         // only the first reaches it, up its column
  EXPECT_FALSE(移動チェック(g.盤面, 8, 3, 2, 1, W_ROOK));
  EXPECT_FALSE(移動チェック(g.盤面, 8, 10, 2, 1, B_ROOK));
  EXPECT_TRUE(joins(W_ROOK, 2, 1));
}

TEST_F(ChainLink, AMarkedPieceBlocksAPathLikeAnyOther) {
  put(2, 2, W_BSHO, true);
  put(3, 3, B_BSHO, true);  // between the first bishop and the target
  put(5, 5, W_KING);        // between the second bishop and the target
  put(6, 6, W_BSHO);
  EXPECT_FALSE(joins(B_BSHO, 6, 6));
  put(8, 4, B_BSHO, true);  // another marked bishop with a free diagonal to it
  EXPECT_TRUE(joins(B_BSHO, 6, 6));
}

class ClearMarks : public ChainLink {
 protected:
  void SetUp() override {
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) g.桝色[c][r] = 桝の色(c, r);
  }
};

TEST_F(ClearMarks, DrawsEveryMarkedSquareInItsOwnShadeAndNothingElse) {
  put(3, 4, W_NIGT, true);
  put(3, 9, B_NIGT, true);
  put(12, 1, W_NIGT, true);
  put(7, 7, W_NIGT);  // not marked
  const auto board = g.盤面;
  const auto marks = g.消去対象駒;
  消去_消去対象駒(g);
  ASSERT_EQ(platform.paints.size(), 3u);
  EXPECT_TRUE(platform.outlines.empty());
  const struct { int c, r, code; } expected[] = {{3, 4, W_NIGT}, {3, 9, B_NIGT}, {12, 1, W_NIGT}};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& p = platform.paints[i];
    EXPECT_EQ(p.picture, (Picture{expected[i].code, g.桝色[expected[i].c][expected[i].r]}));
    EXPECT_EQ(p.x, 盤X(expected[i].c));
    EXPECT_EQ(p.y, 盤Y(expected[i].r));
  }
  EXPECT_EQ(platform.paints[0].picture.number, 2);
  EXPECT_EQ(platform.paints[1].picture.number, 1);
  EXPECT_EQ(g.盤面, board);
  EXPECT_EQ(g.消去対象駒, marks);
}

TEST_F(ClearMarks, WithNothingMarkedDrawsNothing) {
  put(3, 4, W_NIGT);
  消去_消去対象駒(g);
  EXPECT_TRUE(platform.events.empty());
}

}  // namespace
}  // namespace pawnfall
