// Move guidance as drawing calls: ordinary outlines first, then hints only with the option on.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "view/draw.h"
#include "view/guidance.h"

namespace pawnfall {
namespace {

constexpr int 全桝 = 列数 * 行数;

class Guidance : public ::testing::Test {
 protected:
  void fill(int code) {
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) g.盤面[c][r] = code;
  }
  void option(bool on) { platform.set_checked(MenuItem::SIDOU, on); }

  // Squares framed in `colour` after the first 240 outlines.
  std::set<std::pair<int, int>> hints(int colour) const {
    std::set<std::pair<int, int>> out;
    for (std::size_t i = 全桝; i < platform.outlines.size(); ++i) {
      const auto& o = platform.outlines[i];
      EXPECT_EQ(o.colour, colour);
      EXPECT_EQ(o.x2 - o.x1, 桝幅);
      EXPECT_EQ(o.y2 - o.y1, 桝高);
      out.emplace(static_cast<int>((o.x1 - 盤左端) / 桝幅),
                  static_cast<int>((o.y1 - 盤上端) / 桝高));
    }
    return out;
  }

  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
};

TEST_F(Guidance, EveryCallFirstRedrawsAllOrdinaryOutlines) {
  fill(W_KING);
  for (bool on : {false, true}) {
    option(on);
    platform.clear_drawing();
    描画_移動可能桝色(g, 5, 5, 色_白, W_KING);
    ASSERT_GE(platform.outlines.size(), static_cast<std::size_t>(全桝));
    for (int i = 0; i < 全桝; ++i) EXPECT_EQ(platform.outlines[i].colour, 色_盤);
    EXPECT_TRUE(platform.paints.empty()) << "pictures, such as the marked look, stay";
  }
}

TEST_F(Guidance, WithTheOptionOffOnlyOrdinaryOutlinesAreDrawn) {
  fill(W_KING);
  option(false);
  描画_移動可能桝色(g, 5, 5, 色_白, W_KING);
  EXPECT_EQ(platform.outlines.size(), static_cast<std::size_t>(全桝));
}

TEST_F(Guidance, AKnightFramedInFramesEveryJumpInTheGivenColour) {
  fill(B_PORN);
  g.盤面[10][6] = W_NIGT;
  option(true);
  描画_移動可能桝色(g, 10, 6, 色_白, W_NIGT);
  EXPECT_EQ(hints(色_白), (std::set<std::pair<int, int>>{
                              {8, 5}, {8, 7}, {9, 4}, {9, 8}, {11, 4}, {11, 8}, {12, 5}, {12, 7}}));
}

TEST_F(Guidance, APawnFramesAtMostTheOccupiedSquareAboveIt) {
  option(true);
  g.盤面[4][6] = W_PORN;
  描画_移動可能桝色(g, 4, 6, 色_白, W_PORN);
  EXPECT_TRUE(hints(色_白).empty());
  g.盤面[4][5] = B_ROOK;  // another kind is framed too
  platform.clear_drawing();
  描画_移動可能桝色(g, 4, 6, 色_黒, W_PORN);
  EXPECT_EQ(hints(色_黒), (std::set<std::pair<int, int>>{{4, 5}}));
}

}  // namespace
}  // namespace pawnfall
