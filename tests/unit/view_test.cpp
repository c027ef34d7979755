// What the drawing procedures ask the platform to paint, and where.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/deal.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "view/draw.h"
#include "view/redraw.h"
#include "view/score.h"

namespace pawnfall {
namespace {

using test::FakePlatform;

struct ViewTest : ::testing::Test {
  FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  ViewTest() {
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        g.桝色[c][r] = 桝の色(c, r);
        g.盤面[c][r] = W_ROOK;
      }
  }
  const FakePlatform::Text* text(double x, double y) const {
    for (const auto& t : platform.texts)
      if (std::abs(t.x - x) < 0.5 && std::abs(t.y - y) < 0.5) return &t;
    return nullptr;
  }
};

TEST_F(ViewTest, PicturesAreChosenByCodeAndNumberAndOtherCodesPaintNothing) {
  描画_絵(g, W_ROOK, 1, 1, 0);
  描画_絵(g, B_KING, 2, 1, 2);
  描画_絵(g, HAIKEI_TAKE, -3, -3, 2);  // tiles ignore the number
  描画_絵(g, 7, 1, 1, 1);
  描画_絵(g, 9, 1, 1, 1);
  描画_絵(g, 22, 1, 1, 1);
  ASSERT_EQ(platform.paints.size(), 3u);
  EXPECT_EQ(platform.paints[0].picture, (Picture{W_ROOK, 0}));
  EXPECT_EQ(platform.paints[0].x, 660);
  EXPECT_EQ(platform.paints[0].y, 1960);
  EXPECT_EQ(platform.paints[1].picture, (Picture{B_KING, 2}));
  EXPECT_EQ(platform.paints[2].picture, (Picture{HAIKEI_TAKE, 0}));
  EXPECT_EQ(platform.paints[2].x, 150 - 3 * 510);
}

TEST_F(ViewTest, TheBackgroundPaints591TilesAndSkipsTheBoardsMiddle) {
  描画_背景(g, HAIKEI_UCHU);
  ASSERT_EQ(platform.paints.size(), 591u);
  for (const auto& p : platform.paints) {
    EXPECT_EQ(p.picture.code, HAIKEI_UCHU);
    const double col = (p.x - 150) / 510, row = (p.y - 1450) / 510;
    EXPECT_FALSE(col >= 1 && col <= 9 && row >= 1 && row <= 9);
  }
  EXPECT_EQ(platform.paints.front().x, -1380);
  EXPECT_EQ(platform.paints.back().x, 14430);
  EXPECT_EQ(platform.paints.back().y, 10120);
}

TEST_F(ViewTest, TheBoardPaintsEachSquareInItsShadeThenItsGreenOutline) {
  g.盤面[3][4] = KARA;
  描画_盤(g);
  ASSERT_EQ(platform.paints.size(), 240u);
  ASSERT_EQ(platform.outlines.size(), 240u);
  for (size_t i = 0; i + 1 < platform.events.size(); i += 2) {
    EXPECT_EQ(platform.events[i], "paint");
    EXPECT_EQ(platform.events[i + 1], "outline");
  }
  const auto& empty = platform.paints[2 * 12 + 3];  // column 3, row 4
  EXPECT_EQ(empty.picture, (Picture{KARA, 2}));
  const auto& o = platform.outlines.front();
  EXPECT_EQ(o.colour, 色_背景);
  EXPECT_EQ(o.x1, 660);
  EXPECT_EQ(o.y1, 1960);
  EXPECT_EQ(o.x2, 1170);
  EXPECT_EQ(o.y2, 2470);
}

TEST_F(ViewTest, AFullRedrawPaintsBackgroundBoardBannerScoreAndBestInThatOrder) {
  g.背景画 = HAIKEI_RENGA;
  g.スコア = 42;
  g.過去最高スコア = 1234;
  画面_再描画(g);
  const auto& p = platform.paints;
  ASSERT_GE(p.size(), 591u + 240u + 1u);
  EXPECT_EQ(p[0].picture.code, HAIKEI_RENGA);
  EXPECT_EQ(p[591].picture.code, W_ROOK);
  EXPECT_EQ(p[591 + 240].picture, (Picture{TAITORU, 0}));
  EXPECT_DOUBLE_EQ(p[591 + 240].x, 4485);
  EXPECT_DOUBLE_EQ(p[591 + 240].y, 685);
  ASSERT_NE(text(10011, 488), nullptr);
  EXPECT_EQ(text(10011, 488)->text, " 42 ");
  ASSERT_NE(text(9960, 998), nullptr);
  EXPECT_EQ(text(9960, 998)->text, " 1234 ");
  EXPECT_EQ(std::count_if(platform.texts.begin(), platform.texts.end(),
                          [](const auto& t) { return t.text == "加算点数"; }),
            0);
}

TEST_F(ViewTest, ScoresStandWhereTheirSizeSaysWithABlackShadowFirst) {
  for (auto [value, x] :
       {std::pair{9.0, 10062.0}, {10.0, 10011.0}, {100.0, 9960.0}, {1234.0, 9960.0}}) {
    platform.clear_drawing();
    描画_スコア(g, value);
    const auto* white = text(x, 488);
    ASSERT_NE(white, nullptr) << value;
    EXPECT_EQ(white->colour, 色_白);
    EXPECT_EQ(white->points, 数字寸法);
    const auto* black = text(x + 51, 539);
    ASSERT_NE(black, nullptr) << value;
    EXPECT_EQ(black->colour, 色_黒);
    EXPECT_EQ(black->text, white->text);
    EXPECT_LT(black - platform.texts.data(), white - platform.texts.data());
  }
  EXPECT_EQ(数字文字列(7), " 7 ");
}

TEST_F(ViewTest, TheAddedPointsHaveTheirLabelAndNumberAndClearingKeepsTheLabel) {
  g.背景画 = HAIKEI_TAKE;
  描画_追加点数(g, 1);
  const auto* white = text(2412, 539);
  ASSERT_NE(white, nullptr);
  EXPECT_EQ(white->text, " 1 ");
  EXPECT_EQ(white->face, "ＭＳ Ｐ明朝");
  ASSERT_NE(text(2463, 488), nullptr);
  EXPECT_EQ(text(2463, 488)->colour, 色_黒);
  ASSERT_NE(text(831, 641), nullptr);
  EXPECT_EQ(text(831, 641)->text, "加算点数");
  EXPECT_EQ(text(831, 641)->points, 見出し寸法);

  platform.clear_drawing();
  消去_追加点数(g, -2);
  EXPECT_TRUE(platform.texts.empty());
  ASSERT_EQ(platform.paints.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(platform.paints[i].picture.code, HAIKEI_TAKE);
    EXPECT_DOUBLE_EQ(platform.paints[i].x, 150 + 510 * (4 + i));
    EXPECT_DOUBLE_EQ(platform.paints[i].y, 430);
  }
}

TEST_F(ViewTest, BestScoreLabelAndNumberSitUnderTheScore) {
  描画_過去最高スコア(g, 5);
  ASSERT_NE(text(7971, 1049), nullptr);
  EXPECT_EQ(text(7971, 1049)->text, "最高 SCORE");
  ASSERT_NE(text(8022, 1100), nullptr);
  ASSERT_NE(text(10062, 998), nullptr);
  ASSERT_NE(text(10113, 1049), nullptr);
  EXPECT_DOUBLE_EQ(platform.paints[0].y, 940);  // cleared one row below the score's area
}

}  // namespace
}  // namespace pawnfall
