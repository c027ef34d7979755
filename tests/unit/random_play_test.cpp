// Many games of random presses, checked after every press against a model of the rules.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/deal.h"
#include "game/turn.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "tests/fakes/fake_platform.h"
#include "tests/unit/play_helpers.h"

namespace pawnfall {
namespace {

// The kind of each code, written out here rather than taken from the rules under test.
int 種(int code) {
  switch (code) {
    case W_PORN:
    case B_PORN:
      return 1;
    case W_NIGT:
    case B_NIGT:
      return 2;
    case W_BSHO:
    case B_BSHO:
      return 3;
    case W_ROOK:
    case B_ROOK:
      return 4;
    case W_QUIN:
    case B_QUIN:
      return 5;
    case W_KING:
    case B_KING:
      return 6;
    default:
      return 0;
  }
}

bool 同じ種(int a, int b) { return 種(a) != 0 && 種(a) == 種(b); }

// Every ordered pair of squares, asked of the move test one by one.
bool 取れる組がある(const 盤表<int>& 盤面) {
  for (int a列 = 1; a列 <= 列数; ++a列)
    for (int a行 = 1; a行 <= 行数; ++a行)
      for (int b列 = 1; b列 <= 列数; ++b列)
        for (int b行 = 1; b行 <= 行数; ++b行) {
          const int a = 盤面[a列][a行], b = 盤面[b列][b行];
          if (a != KARA && 同じ種(a, b) && 移動チェック(盤面, a列, a行, b列, b行, a)) return true;
        }
  return false;
}

// What a press should leave behind, worked out without the handler.
struct Model {
  盤表<int> 盤面{};
  盤表<int> 印{};
  bool 連鎖中 = false;
  int 駒 = 0;
  int 数 = 0;
  double 点 = 0;
  double スコア = 0;
  double 最高 = 0;
  bool 終了 = false;

  bool 届く(int 列, int 行) const {
    if (!同じ種(盤面[列][行], 駒)) return false;
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r)
        if (印[c][r] && 移動チェック(盤面, c, r, 列, 行, 盤面[c][r])) return true;
    return false;
  }

  void 取り消す() {
    印 = {};
    連鎖中 = false;
    数 = 0;
    点 = 0;
  }

  // Pieces drop to the bottom of their columns in order; then each column number is looked
  // at once from the left, and an empty one takes everything to its right one column over.
  void 確定する() {
    スコア += 点;
    if (スコア > 最高) 最高 = スコア;
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r)
        if (印[c][r]) 盤面[c][r] = KARA;
    for (int c = 1; c <= 列数; ++c) {
      int 下 = 行数;
      for (int r = 行数; r >= 1; --r)
        if (盤面[c][r] != KARA) 盤面[c][下--] = 盤面[c][r];
      while (下 >= 1) 盤面[c][下--] = KARA;
    }
    for (int c = 1; c <= 列数; ++c) {
      bool 空 = true;
      for (int r = 1; r <= 行数; ++r) 空 = 空 && 盤面[c][r] == KARA;
      if (!空) continue;
      for (int x = c; x < 列数; ++x) 盤面[x] = 盤面[x + 1];
      盤面[列数] = {};
    }
    印 = {};
    連鎖中 = false;
    点 = 0;
    終了 = !取れる組がある(盤面);
  }

  void 押す(マウスボタン button, int 列, int 行) {
    if (終了 || !盤内(列, 行)) return;
    const int code = 盤面[列][行];
    if (!連鎖中) {
      if (code == KARA) return;
      連鎖中 = true;
      駒 = code;
      数 = 1;
      点 = 1;
      印[列][行] = 1;
    } else if (button == 左ボタン) {
      if (印[列][行] || code == KARA) return;
      if (!届く(列, 行)) return 取り消す();
      印[列][行] = 1;
      ++数;
      if (code == 駒) {
        点 *= 2;
      } else {
        if (点 >= 2) 点 /= 2;
        駒 = code;
      }
    } else if (button == 右ボタン && 数 <= 1) {
      取り消す();
    } else {
      確定する();
    }
  }
};

class RandomPlay : public ::testing::Test {
 protected:
  RandomPlay() { test::桝色を設定(g); }

  // Dealt boards hold only codes 10 to 19; every other game starts from a board of all codes.
  void 新しい局面(int game) {
    if (game % 2 == 0) {
      初期設定(g);
    } else {
      for (int c = 1; c <= 列数; ++c)
        for (int r = 1; r <= 行数; ++r)
          g.盤面[c][r] = W_PORN + static_cast<int>(random() % (B_PORN - W_PORN + 1));
      g.スコア = 0;
      g.終了フラグ = 終了状態::続行中;
    }
    model.盤面 = g.盤面;
    model.スコア = 0;
    model.終了 = false;
  }

  // Half the presses anywhere in and around the board with any button; the other half on a
  // piece that would join the chain, so that games run to their end.
  void 押す() {
    static constexpr std::array buttons{左ボタン, 左ボタン, 左ボタン, 右ボタン, 中ボタン};
    マウスボタン button = buttons[random() % buttons.size()];
    int 列 = static_cast<int>(random() % (列数 + 2)), 行 = static_cast<int>(random() % (行数 + 2));
    if (model.連鎖中 && random() % 2 == 0) {
      std::vector<std::pair<int, int>> 候補;
      for (int c = 1; c <= 列数; ++c)
        for (int r = 1; r <= 行数; ++r)
          if (!model.印[c][r] && model.盤面[c][r] != KARA && model.届く(c, r))
            候補.emplace_back(c, r);
      if (!候補.empty()) {
        std::tie(列, 行) = 候補[random() % 候補.size()];
        button = 左ボタン;
      }
    }
    const int pieces = test::駒の数(g);
    test::押す(g, button, 列, 行);
    model.押す(button, 列, 行);
    committed = test::駒の数(g) < pieces;
    ++presses;
    platform.clear_drawing();
  }

  void 不変条件を確かめる() {
    for (int c = 1; c <= 列数; ++c)
      for (int r = 1; r <= 行数; ++r) {
        const int code = g.盤面[c][r];
        ASSERT_TRUE(code == KARA || (code >= W_PORN && code <= B_PORN)) << c << "," << r;
        if (g.消去対象駒[c][r] != 0) {
          ASSERT_EQ(g.消去対象駒[c][r], 1);
          ASSERT_NE(code, KARA) << "mark on an empty square " << c << "," << r;
        }
      }
    if (committed) {
      ASSERT_FALSE(test::宙に浮く駒がある(g));
    }
    ASSERT_EQ(g.盤面, model.盤面);
    ASSERT_EQ(g.消去対象駒, model.印);
    ASSERT_EQ(g.選択状態, model.連鎖中 ? 選択状態型::連鎖中 : 選択状態型::なし);
    if (model.連鎖中) {
      ASSERT_EQ(g.選択駒.連鎖数, model.数);
      ASSERT_EQ(g.選択駒.追加点数, model.点);
      ASSERT_EQ(g.選択駒.駒, model.駒);
    }
    ASSERT_EQ(g.スコア, model.スコア);
    ASSERT_EQ(g.過去最高スコア, model.最高);
    ASSERT_EQ(g.終了フラグ, model.終了 ? 終了状態::終了 : 終了状態::続行中);
  }

  test::FakePlatform platform;
  Sound sound{platform};
  Game g{platform, sound};
  Model model;
  std::mt19937 random{12345};
  bool committed = false;
  int presses = 0;
};

TEST_F(RandomPlay, EveryPressKeepsTheBoardScoreAndEndOfGameTrue) {
  constexpr int kPresses = 100000;
  int game = 0, games_ended = 0, commits = 0;
  新しい局面(game);
  while (presses < kPresses) {
    押す();
    commits += committed;
    ASSERT_NO_FATAL_FAILURE(不変条件を確かめる()) << "press " << presses << ", game " << game;
    if (!model.終了) continue;
    ++games_ended;
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "これ以上取る事のできる駒はありません");
    // Presses after the end only remind; the board stays.
    for (int i = 0, n = static_cast<int>(random() % 3); i < n; ++i) {
      押す();
      ASSERT_NO_FATAL_FAILURE(不変条件を確かめる());
      ASSERT_EQ(platform.messages.back().text, "局面　⇒　最初　にしてください");
    }
    platform.messages.clear();
    新しい局面(++game);
  }
  RecordProperty("games_ended", games_ended);
  RecordProperty("commits", commits);
  EXPECT_GE(games_ended, 20);
  EXPECT_GE(commits, 1000);
}

TEST_F(RandomPlay, ANewGameInTheMiddleOfAChainCarriesTheChainOver) {
  // Marks stay on their squares over a new deal, and every later press follows the same rules.
  新しい局面(0);
  for (int i = 0; i < 3000; ++i) {
    押す();
    ASSERT_NO_FATAL_FAILURE(不変条件を確かめる()) << "press " << presses;
    if (model.終了 || random() % 50 == 0) {
      platform.messages.clear();
      新しい局面(0);
      ASSERT_NO_FATAL_FAILURE(不変条件を確かめる());
    }
  }
}

}  // namespace
}  // namespace pawnfall
