// The window in this very process under Xvfb: during an animation's long pause it answers the
// window manager's ping, repaints what needs it, and keeps presses for after the pause; and a
// translucent one, whose backing store is cleared wherever it is painted, still shows the game.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <optional>
#include <span>
#include <thread>

#include "app/main_window.h"
#include "game/turn.h"
#include "tests/e2e/x_probe.h"
#include "tests/e2e/xsession.h"
#include "tests/fakes/fake_platform.h"
#include "tests/qt/temporary_directory.h"
#include "tests/unit/play_helpers.h"
#include "view/redraw.h"

namespace pawnfall::e2e {
namespace {

XSession* display_session = nullptr;

struct Press {
  int col, row, button;  // xdotool's buttons: 1 left, 3 right
};

// Shows the window and answers whether the server has exposed it.
bool shown_and_exposed(MainWindow& w) {
  w.show_in_place();
  for (int i = 0; i < 100 && !w.windowHandle()->isExposed(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(20);
  }
  return w.windowHandle()->isExposed();
}

// The game's window on the long-closing board, with a player who presses through xdotool.
class LongPause : public test::InTemporaryDirectory {
 protected:
  // The window reads and writes its settings in the current folder: it is made only once the
  // test stands in its own.
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(InTemporaryDirectory::SetUp());
    window_.emplace();
    ASSERT_TRUE(shown_and_exposed(*window_));
    window_->game().盤面 = test::長い閉じ込みの盤();
    画面_再描画(window_->game());
    window_->board_view()->repaint();
    model_.盤面 = test::長い閉じ込みの盤();
  }
  void TearDown() override {
    window_.reset();
    InTemporaryDirectory::TearDown();
  }

  // Presses with the real pointer, and the same presses on the model.
  void press(const Press& p) {
    const QPoint at =
        window_->board_view()->mapToGlobal(QPoint(twips_to_pixels(盤左端 + 桝幅 * (p.col + 0.5)),
                                                  twips_to_pixels(盤上端 + 桝高 * (p.row + 0.5))));
    x().run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QString::number(p.button)});
  }
  void predict(std::span<const Press> presses) {
    for (const Press& p : presses)
      マウス押下(model_, p.button == 3 ? 右ボタン : 左ボタン, 盤左端 + 桝幅 * (p.col + 0.5),
                 盤上端 + 桝高 * (p.row + 0.5));
  }
  void expect_the_predicted_game() {
    EXPECT_EQ(window_->game().盤面, model_.盤面) << "the board differs from the rules' prediction";
    EXPECT_EQ(window_->game().消去対象駒, model_.消去対象駒);
    EXPECT_EQ(window_->game().選択状態, model_.選択状態);
    EXPECT_EQ(window_->game().選択駒.列, model_.選択駒.列);
    EXPECT_EQ(window_->game().選択駒.行, model_.選択駒.行);
    EXPECT_EQ(window_->game().スコア, model_.スコア);
  }
  static XSession& x() { return *display_session; }
  unsigned long window_id() { return static_cast<unsigned long>(window_->winId()); }

  static constexpr Press kChain[] = {{1, 11, 1}, {1, 12, 1}, {1, 12, 3}};

  std::optional<MainWindow> window_;
  test::FakePlatform fake_;
  Sound model_sound_{fake_};
  Game model_{fake_, model_sound_};
};

TEST_F(LongPause, TheWindowAnswersAndRepaintsAndKeepsPressesForAfterIt) {
  const Press meanwhile[] = {{2, 12, 1}, {1, 12, 1}, {4, 12, 1}};
  predict(kChain);
  predict(meanwhile);
  const QPoint menu_bar =
      window_->menuBar()->mapToGlobal(window_->menuBar()->rect().center() + QPoint(150, 0));
  const auto window = window_id();
  std::atomic<bool> pinged{false}, repainted{false}, done{false};
  std::thread player([&] {
    for (const Press& p : kChain) press(p);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pause has begun
    XProbe probe(x().display().toStdString());
    if (probe.ok()) {
      pinged = probe.answers_ping(window, std::chrono::seconds(1));
      // The animation repaints the board at each step; the menu bar only an answer to the
      // window system repaints.
      repainted = !probe.stays_cleared(window, menu_bar.x(), menu_bar.y());
    }
    for (const Press& p : meanwhile) press(p);
    done = true;
  });

  // Ends the run once the player is done and the game is back in its top-level loop: during
  // the pause a timer fires one loop deeper.
  int calm_ticks = 0;
  QTimer finish;
  QObject::connect(&finish, &QTimer::timeout, [&] {
    if (!done || QThread::currentThread()->loopLevel() > 1) return;
    if (++calm_ticks == 10) QCoreApplication::quit();
  });
  finish.start(100);
  QCoreApplication::exec();
  player.join();

  EXPECT_TRUE(pinged) << "no answer to the window manager's ping within 1 s during the pause";
  EXPECT_TRUE(repainted) << "the cleared window was not repainted during the pause";
  expect_the_predicted_game();
}

TEST_F(LongPause, AWindowClosedDuringThePauseClosesOnceTheCommitIsWhole) {
  predict(kChain);
  const auto window = window_id();
  std::atomic<bool> open_meanwhile{false};
  std::thread player([&] {
    for (const Press& p : kChain) press(p);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pause has begun
    XProbe probe(x().display().toStdString());
    if (!probe.ok()) return;
    probe.ask_to_close(window);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    open_meanwhile = probe.shown(window);
  });
  // The last window closing ends the loop; a guard ends it if the close never comes.
  QTimer::singleShot(20000, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  player.join();

  EXPECT_TRUE(open_meanwhile) << "the window closed in the middle of the animation";
  EXPECT_FALSE(window_->isVisible()) << "the window did not close after the pause";
  expect_the_predicted_game();
}

// A translucent window's backing store is cleared to transparent wherever it is painted, as
// every one is on Wayland: after presses and a commit, the window must still show the drawing.
using ClearedStore = test::InTemporaryDirectory;

TEST_F(ClearedStore, ATranslucentWindowShowsTheDrawingAfterPressesAndACommit) {
  MainWindow w;
  w.setAttribute(Qt::WA_TranslucentBackground);
  ASSERT_TRUE(shown_and_exposed(w));
  BoardView* view = w.board_view();
  const Game& g = w.game();
  auto click = [&](Qt::MouseButton button, int col, int row) {
    const QPoint at(twips_to_pixels(盤左端 + 桝幅 * (col + 0.5)),
                    twips_to_pixels(盤上端 + 桝高 * (row + 0.5)));
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), view->mapToGlobal(QPointF(at)), button,
                      button, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  };
  const auto [from, to] = test::最初の取り(g);
  ASSERT_NE(from, to);
  const auto [c, r] = from;
  const auto [c2, r2] = to;
  click(Qt::LeftButton, c, r);
  click(Qt::LeftButton, c2, r2);
  click(Qt::RightButton, c2, r2);
  ASSERT_GT(g.スコア, 0) << "the chain was not committed";
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  const QImage shown = w.screen()
                           ->grabWindow(w.winId())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32)
                           .copy(view->geometry());
  const QImage drawing = w.platform()
                             .image()
                             .convertToFormat(QImage::Format_RGB32)
                             .copy(QRect(QPoint(0, 0), view->size()));
  EXPECT_EQ(shown, drawing);
}

}  // namespace
}  // namespace pawnfall::e2e

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  pawnfall::e2e::XSession x;
  if (!x.ok()) {
    std::fprintf(stderr, "Xvfb did not start\n");
    return 1;
  }
  qputenv("DISPLAY", x.display().toLatin1());
  qputenv("QT_QPA_PLATFORM", "xcb");
  // No session bus, which libdbus would otherwise start for the display.
  qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  QApplication app(argc, argv);
  pawnfall::install_fonts();
  pawnfall::e2e::display_session = &x;
  return RUN_ALL_TESTS();
}
