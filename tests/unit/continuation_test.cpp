// The end-of-game test: fixed cases, and agreement with a plain scan of every pair on random
// boards.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "model/rules.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"

namespace pawnfall {
namespace {

constexpr std::array 全駒{W_PORN, W_NIGT, W_BSHO, W_ROOK, W_QUIN, W_KING,
                          B_KING, B_NIGT, B_BSHO, B_ROOK, B_QUIN, B_PORN};

// The kinds written out again here, so that the scan below does not lean on the code under test.
bool same_kind(int a, int b) {
  constexpr std::array<std::pair<int, int>, 6> pairs{{{W_PORN, B_PORN},
                                                      {W_NIGT, B_NIGT},
                                                      {W_BSHO, B_BSHO},
                                                      {W_ROOK, B_ROOK},
                                                      {W_QUIN, B_QUIN},
                                                      {W_KING, B_KING}}};
  if (a == b) return true;
  for (auto [w, k] : pairs)
    if ((a == w && b == k) || (a == k && b == w)) return true;
  return false;
}

struct Square {
  int c, r;
};

// Every ordered pair of occupied squares, in board order, where the first may take the second.
std::vector<std::pair<Square, Square>> all_captures(const 盤表<int>& b) {
  std::vector<std::pair<Square, Square>> out;
  for (int ac = 1; ac <= 列数; ++ac)
    for (int ar = 1; ar <= 行数; ++ar) {
      if (b[ac][ar] == KARA) continue;
      for (int bc = 1; bc <= 列数; ++bc)
        for (int br = 1; br <= 行数; ++br) {
          if (b[bc][br] == KARA) continue;
          if (移動チェック(b, ac, ar, bc, br, b[ac][ar]) && same_kind(b[ac][ar], b[bc][br]))
            out.push_back({{ac, ar}, {bc, br}});
        }
    }
  return out;
}

std::string dump(const 盤表<int>& b) {
  std::ostringstream s;
  for (int r = 1; r <= 行数; ++r) {
    for (int c = 1; c <= 列数; ++c) s << ' ' << b[c][r];
    s << '\n';
  }
  return s.str();
}

class Continuation : public ::testing::Test {
 protected:
  void put(int c, int r, int code) { g.盤面[c][r] = code; }
  bool goes_on() const { return チェック_継続可能(g); }

  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

TEST_F(Continuation, AnEmptyBoardOrASinglePieceIsOver) {
  EXPECT_FALSE(goes_on());
  put(7, 7, W_KING);
  EXPECT_FALSE(goes_on());
}

TEST_F(Continuation, TwoKnightsAJumpApartGoOnInEitherColour) {
  put(4, 4, W_NIGT);
  put(5, 6, W_NIGT);
  EXPECT_TRUE(goes_on());
  put(5, 6, B_NIGT);
  EXPECT_TRUE(goes_on());
}

TEST_F(Continuation, AKnightAJumpFromABishopIsOver) {
  put(4, 4, W_NIGT);
  put(5, 6, W_BSHO);
  EXPECT_FALSE(goes_on());
}

TEST_F(Continuation, PawnsOneAboveTheOtherGoOnButSideBySideAreOver) {
  put(9, 12, B_PORN);
  put(9, 11, W_PORN);
  EXPECT_TRUE(goes_on());
  put(9, 11, KARA);
  put(10, 12, W_PORN);
  EXPECT_FALSE(goes_on());
}

TEST_F(Continuation, TwoQueensOnOneRowAreOverButOnOneDiagonalGoOn) {
  put(3, 12, W_QUIN);
  put(9, 12, B_QUIN);
  EXPECT_FALSE(goes_on());
  put(9, 12, KARA);
  put(9, 6, B_QUIN);
  EXPECT_TRUE(goes_on());
}

TEST_F(Continuation, RooksWithAnotherKindBetweenAreOver) {
  put(5, 2, W_ROOK);
  put(5, 11, B_ROOK);
  put(5, 7, W_KING);
  EXPECT_FALSE(goes_on());
  put(5, 7, KARA);
  EXPECT_TRUE(goes_on());
}

TEST_F(Continuation, AFullBoardOfKnightBishopAndQueenStripesIsOver) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) put(c, r, std::array{W_NIGT, B_BSHO, W_QUIN}[(c - 1) % 3]);
  EXPECT_FALSE(goes_on());
  // The last square of the scan may hold the only capture.
  put(20, 11, W_PORN);
  put(20, 12, B_PORN);
  EXPECT_TRUE(goes_on());
}

// Random boards of several shapes, so that both answers come up many times.
class RandomBoards {
 public:
  explicit RandomBoards(unsigned seed) : rng_(seed) {}

  盤表<int> next(int shape) {
    盤表<int> b{};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> any(0, static_cast<int>(全駒.size()) - 1);
    const double density = std::array{1.0, 0.7, 0.3, 0.08, 0.02}[rng_() % 5];
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        if (unit(rng_) >= density) continue;
        switch (shape) {
          case 0:  // any piece
            b[c][r] = 全駒[any(rng_)];
            break;
          case 1:  // the two codes a new deal never holds
            b[c][r] = rng_() % 2 ? B_QUIN : B_PORN;
            break;
          case 2:  // one colour pair
          {
            const int pair = static_cast<int>(rng_() % 3);
            const int w = std::array{W_PORN, W_QUIN, W_ROOK}[pair];
            const int k = std::array{B_PORN, B_QUIN, B_ROOK}[pair];
            b[c][r] = rng_() % 2 ? w : k;
            break;
          }
          default:  // stripes without captures, disturbed in a few places
            b[c][r] = std::array{W_NIGT, B_BSHO, B_QUIN}[(c - 1) % 3];
            if (unit(rng_) < 0.01) b[c][r] = 全駒[any(rng_)];
        }
      }
    return b;
  }

 private:
  std::mt19937 rng_;
};

TEST(ContinuationProperty, AgreesWithTheScanOfEveryPairOnRandomBoards) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  RandomBoards boards(4242);
  int yes = 0, no = 0;
  for (int i = 0; i < 1200; ++i) {
    g.盤面 = boards.next(i % 4);
    const bool expected = !all_captures(g.盤面).empty();
    ASSERT_EQ(チェック_継続可能(g), expected) << "board " << i << "\n" << dump(g.盤面);
    (expected ? yes : no) += 1;
  }
  // Both answers must come up often, or the comparison says little.
  EXPECT_GT(yes, 200);
  EXPECT_GT(no, 200);
}

TEST(ContinuationProperty, EveryCaptureItCountsIsOneTheChainLinkTestAccepts) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  RandomBoards boards(777);
  std::mt19937 pick(99);
  int checked = 0;
  for (int i = 0; i < 400; ++i) {
    g.盤面 = boards.next(i % 4);
    const auto captures = all_captures(g.盤面);
    ASSERT_EQ(チェック_継続可能(g), !captures.empty()) << dump(g.盤面);
    // The first piece of a chain alone is marked; the capture must let the second join.
    for (std::size_t k = 0; k < captures.size() && k < 8; ++k) {
      const auto& [a, b] = captures[pick() % captures.size()];
      g.消去対象駒 = {};
      g.消去対象駒[a.c][a.r] = 1;
      EXPECT_TRUE(移動チェック_消去対象駒(g, g.盤面[a.c][a.r], b.c, b.r))
          << a.c << "," << a.r << " -> " << b.c << "," << b.r << "\n"
          << dump(g.盤面);
      ++checked;
    }
  }
  EXPECT_GT(checked, 500);
}

TEST(ContinuationProperty,
     WithOnlyTheFirstPieceMarkedTheChainLinkTestAcceptsExactlyTheCountedPairs) {
  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  RandomBoards boards(31337);
  for (int i = 0; i < 12; ++i) {
    g.盤面 = boards.next(i % 4);
    std::vector<bool> counted((列数 + 1) * (行数 + 1) * (列数 + 1) * (行数 + 1));
    const auto index = [](int ac, int ar, int bc, int br) {
      return ((ac * (行数 + 1) + ar) * (列数 + 1) + bc) * (行数 + 1) + br;
    };
    for (const auto& [a, b] : all_captures(g.盤面)) counted[index(a.c, a.r, b.c, b.r)] = true;
    for (int ac = 1; ac <= 列数; ++ac)
      for (int ar = 1; ar <= 行数; ++ar) {
        if (g.盤面[ac][ar] == KARA) continue;
        g.消去対象駒 = {};
        g.消去対象駒[ac][ar] = 1;
        for (int bc = 1; bc <= 列数; ++bc)
          for (int br = 1; br <= 行数; ++br) {
            if (g.盤面[bc][br] == KARA || (bc == ac && br == ar)) continue;
            ASSERT_EQ(移動チェック_消去対象駒(g, g.盤面[ac][ar], bc, br),
                      counted[index(ac, ar, bc, br)])
                << ac << "," << ar << " -> " << bc << "," << br << "\n"
                << dump(g.盤面);
          }
      }
  }
}

}  // namespace
}  // namespace pawnfall
