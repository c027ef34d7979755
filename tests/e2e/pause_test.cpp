// The window during an animation's long pause, in this very process under Xvfb: it answers the
// window manager's ping, repaints what needs it, and keeps presses for after the pause.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <span>
#include <thread>

#include "app/main_window.h"
#include "game/turn.h"
#include "tests/e2e/x_probe.h"
#include "tests/e2e/xsession.h"
#include "tests/fakes/fake_platform.h"
#include "tests/unit/play_helpers.h"
#include "view/draw.h"

namespace pawnfall::e2e {
namespace {

XSession* display_session = nullptr;

struct Press {
  int col, row, button;  // xdotool's buttons: 1 left, 3 right
};

TEST(LongPause, TheWindowAnswersAndRepaintsAndKeepsPressesForAfterIt) {
  XSession& x = *display_session;
  QTemporaryDir folder;
  ASSERT_TRUE(QDir::setCurrent(folder.path()));
  // The sound library does not stand beside this program: answer its warning.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  closer.start(20);

  MainWindow w;
  w.show_in_place();
  for (int i = 0; i < 100 && !w.windowHandle()->isExposed(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(20);
  }
  ASSERT_TRUE(w.windowHandle()->isExposed());
  w.game().盤面 = test::長い閉じ込みの盤();
  画面_再描画(w.game());
  w.board_view()->repaint();
  const QPoint origin = w.board_view()->mapToGlobal(QPoint(0, 0));
  const auto centre = [&](int col, int row) {
    return origin + QPoint(twips_to_pixels(盤左端 + 桝幅 * (col + 0.5)),
                           twips_to_pixels(盤上端 + 桝高 * (row + 0.5)));
  };
  const QPoint menu_bar = w.menuBar()->mapToGlobal(w.menuBar()->rect().center() + QPoint(150, 0));
  const Press chain[] = {{1, 11, 1}, {1, 12, 1}, {1, 12, 3}};
  const Press meanwhile[] = {{2, 12, 1}, {1, 12, 1}, {4, 12, 1}};

  // The game's procedures on the same presses, in the order the player made them.
  test::FakePlatform fake;
  Sound model_sound{fake};
  Game model{fake, model_sound};
  model.盤面 = test::長い閉じ込みの盤();
  for (const auto& list : {std::span<const Press>(chain), std::span<const Press>(meanwhile)})
    for (const Press& p : list)
      マウス押下(model, p.button == 3 ? 右ボタン : 左ボタン, 盤左端 + 桝幅 * (p.col + 0.5),
                 盤上端 + 桝高 * (p.row + 0.5));

  const auto window = static_cast<unsigned long>(w.winId());
  std::atomic<bool> pinged{false}, repainted{false}, done{false};
  std::thread player([&] {
    auto click = [&](const Press& p) {
      const QPoint at = centre(p.col, p.row);
      x.run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QString::number(p.button)});
    };
    for (const Press& p : chain) click(p);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pause has begun
    XProbe probe(x.display().toStdString());
    if (probe.ok()) {
      pinged = probe.answers_ping(window, std::chrono::seconds(1));
      // The animation repaints the board at each step; the menu bar only an answer to the
      // window system repaints.
      repainted = !probe.stays_cleared(window, menu_bar.x(), menu_bar.y());
    }
    for (const Press& p : meanwhile) click(p);
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
  EXPECT_EQ(w.game().盤面, model.盤面) << "the board differs from the rules' prediction";
  EXPECT_EQ(w.game().選択状態, model.選択状態);
  EXPECT_EQ(w.game().選択駒.列, model.選択駒.列);
  EXPECT_EQ(w.game().選択駒.行, model.選択駒.行);
  EXPECT_EQ(w.game().スコア, model.スコア);
  QDir::setCurrent(QDir::tempPath());
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
  QApplication app(argc, argv);
  pawnfall::install_fonts();
  pawnfall::e2e::display_session = &x;
  return RUN_ALL_TESTS();
}
