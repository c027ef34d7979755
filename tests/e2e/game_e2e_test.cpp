// The built program under a real X server: start, play a chain, save the best score, quit.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>
#include <QThread>

#include "core/rules.h"
#include "core/turn.h"
#include "tests/e2e/board_reader.h"
#include "tests/e2e/xsession.h"
#include "tests/fakes/fake_platform.h"

namespace pawnfall::e2e {
namespace {

const QStringList kWaves = {"BGM.wav", "その他.wav", "禁止.wav", "選択.wav", "駒打音.wav"};

struct Capture {
  int from_col, from_row, to_col, to_row;
};

// The first pair of one kind in which one piece captures the other.
std::optional<Capture> find_capture(const 盤表<int>& board) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r)
      for (int c2 = 1; c2 <= 列数; ++c2)
        for (int r2 = 1; r2 <= 行数; ++r2)
          if (board[c][r] != KARA && 同種(board[c][r], board[c2][r2]) &&
              移動チェック(board, c, r, c2, r2, board[c][r]))
            return Capture{c, r, c2, r2};
  return std::nullopt;
}

// Reads the board until it matches or the time runs out; answers the last board read.
std::optional<盤表<int>> read_until(XSession& x, const BoardReader& reader, QPoint origin,
                                    const 盤表<int>& expected, int timeout_ms) {
  std::optional<盤表<int>> board;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeout_ms) {
    board = reader.read(x.screenshot(), origin);
    if (board && *board == expected) break;
    QThread::msleep(200);
  }
  return board;
}

TEST(RealWindow, OpensWithItsCaptionAndMenuBarAndEscapeEndsItWithStatusZero) {
  XSession x;
  ASSERT_TRUE(x.ok()) << "Xvfb did not start";
  GameProcess game(x);
  ASSERT_TRUE(game.wait_for_window()) << "no window captioned 'Pawnfall for Windows'";
  BoardReader reader;
  std::optional<QPoint> origin;
  for (int i = 0; i < 50 && !origin; ++i) {
    origin = reader.find_client_origin(x.screenshot());
    if (!origin) QThread::msleep(100);
  }
  ASSERT_TRUE(origin) << "the board is not on the screen";
  EXPECT_GT(origin->y(), 10) << "no menu bar above the client area";

  QElapsedTimer clock;
  clock.start();
  game.key(QStringLiteral("Escape"));
  const auto status = game.wait_for_exit(5000);
  ASSERT_TRUE(status.has_value()) << "Escape did not end the program";
  EXPECT_EQ(*status, 0);
  EXPECT_LT(clock.elapsed(), 1000);
}

TEST(RealWindow, AChainPlayedWithTheMouseFallsAsTheRulesSayAndSavesTheBestScore) {
  XSession x;
  ASSERT_TRUE(x.ok()) << "Xvfb did not start";
  GameProcess game(x);
  ASSERT_TRUE(game.wait_for_window());
  BoardReader reader;
  std::optional<QPoint> origin;
  for (int i = 0; i < 50 && !origin; ++i) {
    origin = reader.find_client_origin(x.screenshot());
    if (!origin) QThread::msleep(100);
  }
  ASSERT_TRUE(origin);
  const auto before = reader.read(x.screenshot(), *origin);
  ASSERT_TRUE(before) << "a square matched no picture";
  const auto capture = find_capture(*before);
  ASSERT_TRUE(capture) << "the first board offers no capture";

  // The same presses through the game's own procedures predict the board after the commit.
  test::FakePlatform fake;
  Game model(fake);
  model.盤面 = *before;
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) model.桝色[c][r] = (c + r) % 2 == 0 ? 1 : 2;
  const struct {
    int col, row, button;
  } presses[] = {{capture->from_col, capture->from_row, 1},
                 {capture->to_col, capture->to_row, 1},
                 {capture->to_col, capture->to_row, 3}};
  for (const auto& p : presses) {
    const QPoint screen = BoardReader::square_centre(*origin, p.col, p.row);
    const QPoint client = screen - *origin;
    マウス押下(model, p.button == 3 ? 右ボタン : 左ボタン, client.x() * 15.0, client.y() * 15.0);
    game.click(screen.x(), screen.y(), p.button);
  }
  ASSERT_EQ(model.選択状態, 0);
  ASSERT_GT(model.スコア, 0);

  const auto after = read_until(x, reader, *origin, model.盤面, 15000);
  ASSERT_TRUE(after) << "a square matched no picture after the commit";
  EXPECT_EQ(*after, model.盤面) << "the board on the screen differs from the rules' prediction";

  QFile ini(QDir(game.folder()).filePath(QStringLiteral("Pawnfall.ini")));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  const QString text = QStringDecoder("Shift_JIS")(ini.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral("過去最高スコア=%1\r\n").arg(model.スコア)))
      << text.toStdString();

  game.key(QStringLiteral("Escape"));
  const auto status = game.wait_for_exit(5000);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
  QStringList expected = kWaves;
  expected << QStringLiteral("Pawnfall.ini");
  expected.sort();
  QStringList files = game.files();
  files.sort();
  EXPECT_EQ(files, expected) << "the game wrote a file other than its settings";
}

}  // namespace
}  // namespace pawnfall::e2e
