// The main window: owns the game, shows its image, turns Qt events into game procedures.
#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <utility>
#include <vector>

#include "app/interface_font.h"
#include "app/qt_files.h"
#include "app/qt_fonts.h"
#include "app/qt_palette.h"
#include "app/qt_text.h"
#include "game/lifecycle.h"
#include "game/turn.h"
#include "model/backgrounds.h"
#include "model/settings_file.h"
#include "view/score.h"

namespace pawnfall {

void install_fonts() {
  const QString face = qs(窓フォント);
  QFont::insertSubstitutions(face, {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")});
  // Found first: it has Qt read the font configuration, which the look-up below then shares.
  const QString mincho = installed_family(face);
  // Menus and boxes keep the desktop's font; their Japanese letters come from the desktop's
  // Japanese sans-serif face, or from the board's Mincho face where there is none.
  QString japanese = matched_family(QStringLiteral("sans-serif"), "ja");
  if (japanese.isEmpty()) japanese = mincho;
  QApplication::setFont(with_japanese(QApplication::font(), japanese));
}

MainWindow::MainWindow(const Place& place, std::span<const メニュー項目> menus)
    : platform_(QSize(窓幅画素, 窓高画素), qApp->devicePixelRatio()),
      sound_(platform_, place.sounds),
      game_(platform_, sound_) {
  if (place.files_unavailable)
    platform_.set_files_unavailable(*place.files_unavailable);
  else
    remove_left_behind_temporaries(設定ファイル名);
  register_pictures();
  setWindowTitle(QStringLiteral("Pawnfall for Windows"));
  // Made from pixmaps rather than file names, which would have Qt look through its icon engine
  // plug-ins first.
  QIcon icon(QPixmap(picture_file(QStringLiteral("icon"))));
  if (const int set = picture_set(qApp->devicePixelRatio()); set > 1)
    icon.addPixmap(QPixmap(picture_file(QStringLiteral("icon"), set)));
  setWindowIcon(icon);
  build_menus(menus);
  // The client area shows the starting window less the menu bar, and grows from there.
  const QSize content(窓幅画素, 窓高画素 - menuBar()->sizeHint().height());
  // Only the client area is green; the menu bar keeps the desktop's own colours.
  view_ = new BoardView(
      platform_.drawing(),
      [this](マウスボタン button, double x, double y) {
        handle([&] { マウス押下(game_, button, x, y); });
      },
      content, this);
  QPalette pal = view_->palette();
  pal.setColor(QPalette::Window, palette_colour(色_背景));
  view_->setPalette(pal);
  setCentralWidget(view_);
  platform_.set_surface(view_);
  qApp->installEventFilter(this);

  起動処理_画面(game_);
  // The sound device can take a while to open: the game shows itself first. By then the window
  // manager has framed the window, and the frame is known.
  view_->after_first_frame([this] {
    if (fit_to_screen_) fit_to_screen();
    handle([this] { 起動処理_サウンド(game_, static_cast<std::int32_t>(winId())); });
  });

  // The starting size, which the player may enlarge, or shrink down to about a half.
  resize(窓幅画素, 窓高画素);
}

MainWindow::~MainWindow() { shut_down(); }

void MainWindow::show_in_place() {
  // The client area first, before the frame is known; the frame once the first frame is shown.
  fit_to_screen_ = true;
  fit_to_screen();
  show();
  // Placed once shown, as the frame's position: start-up already made the native window, and
  // a move before showing would put the client area at the corner, which some window managers
  // answer by pushing the title bar off the screen.
  windowHandle()->setFramePosition(screen()->availableGeometry().topLeft());
}

void MainWindow::fit_to_screen() {
  const QRect free = screen()->availableGeometry();
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  const QSize room = free.size().shrunkBy(frame);
  const int bar = menuBar()->height();
  const QSize start(窓幅画素, 窓高画素), content = start - QSize(0, bar);
  if (room.width() >= start.width() && room.height() >= start.height()) return;
  const double zoom =
      BoardView::fit(room - QSize(0, bar), content, view_->devicePixelRatioF()).zoom;
  // Just wide and high enough for the drawing at that zoom, so no band of green is left over.
  const QSize client(int(std::ceil(content.width() * zoom - 1e-9)),
                     int(std::ceil(content.height() * zoom - 1e-9)) + bar);
  resize(client.boundedTo(room).expandedTo(minimumSizeHint()));
  if (isVisible()) windowHandle()->setFramePosition(free.topLeft());
}

void MainWindow::build_menus(std::span<const メニュー項目> menus) {
  // Where each level's entries go: the bar, then the submenu opened last one level up.
  std::vector<QWidget*> parents{menuBar()};
  for (const メニュー項目& entry : menus) {
    if (entry.段 < 0 || static_cast<std::size_t>(entry.段) >= parents.size()) continue;
    parents.resize(static_cast<std::size_t>(entry.段) + 1);
    if (!entry.命令) {
      auto* submenu = new QMenu(qs(entry.名), parents.back());
      parents.back()->addAction(submenu->menuAction());
      parents.push_back(submenu);
      continue;
    }
    auto* action = new QAction(qs(entry.名), parents.back());
    parents.back()->addAction(action);
    const メニュー命令 command = *entry.命令;
    commands_.emplace(command, action);
    if (!entry.印) {
      connect(action, &QAction::triggered, this,
              [this, command] { handle([this, command] { メニュー_実行(game_, command); }); });
      continue;
    }
    action->setCheckable(true);
    action->setChecked(entry.初期印);
    actions_[*entry.印] = action;
    platform_.set_menu_action(*entry.印, action);
    // Check marks are the game's to set: each command first undoes Qt's own toggle.
    connect(action, &QAction::triggered, this, [this, action, command](bool now) {
      action->setChecked(!now);
      handle([this, command] { メニュー_実行(game_, command); });
    });
  }
}

QAction* MainWindow::action(MenuItem item) const { return actions_.at(item); }

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Open menus, the menu bar while it holds the keyboard, and message boxes keep Escape for
  // themselves: there it only leaves them. Everything else in this window hands it to the
  // game, which takes no other key.
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this && !qobject_cast<QMenuBar*>(watched) &&
      !QApplication::activePopupWidget() && !QApplication::activeModalWidget()) {
    close();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::handle(const std::function<void()>& procedure) {
  handling_ = true;
  procedure();
  handling_ = false;
  // Whatever the procedure drew goes to the screen with the next frame.
  if (view_ != nullptr) view_->update_drawn();
  if (close_pending_) close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A close during an animation's pause waits until the press has left the game whole.
  if (handling_) {
    close_pending_ = true;
    event->ignore();
    return;
  }
  shut_down();
  event->accept();
}

void MainWindow::shut_down() {
  if (shut_down_) return;
  shut_down_ = true;
  終了処理(game_);
}

}  // namespace pawnfall
