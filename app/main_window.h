// The main window: owns the game, shows its image, turns Qt events into game procedures.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <span>

#include "app/board_view.h"
#include "app/data_folder.h"
#include "app/qt_platform.h"
#include "game/menu.h"
#include "model/state.h"
#include "sound/sound.h"

namespace pawnfall {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the window and its menus (from `menus`, the game's by default) and runs the whole
  // start-up, with the files where `place` says (the current folder by default).
  explicit MainWindow(const Place& place = {}, std::span<const メニュー項目> menus = メニュー表);
  ~MainWindow() override;

  // Shows the window with its frame, title bar included, at the top-left corner of the
  // screen's free area; at the largest size that fits there when the starting size does not.
  void show_in_place();

  Game& game() { return game_; }
  QtPlatform& platform() { return platform_; }
  BoardView* board_view() const { return view_; }
  QAction* action(MenuItem item) const;
  // The action of the entry with this command.
  QAction* action(メニュー命令 command) const { return commands_.at(command); }
  QAction* new_game_action() const { return action(メニュー命令::CANCEL); }
  QAction* about_action() const { return action(メニュー命令::VER); }

 protected:
  // Escape ends the game wherever the focus is inside the window, the menu bar included.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_menus(std::span<const メニュー項目> menus);
  // Makes the window, with its frame as far as it is known, fit the screen's free area, at the
  // largest size whose drawing fills the client area; and puts the frame at the area's corner.
  void fit_to_screen();
  // Runs a game procedure to its end; a close asked for meanwhile follows it.
  void handle(const std::function<void()>& procedure);
  void shut_down();

  QtPlatform platform_;
  Sound sound_;
  Game game_;
  BoardView* view_ = nullptr;
  std::map<MenuItem, QAction*> actions_;
  std::map<メニュー命令, QAction*> commands_;
  bool shut_down_ = false;
  bool handling_ = false;
  bool close_pending_ = false;
  bool fit_to_screen_ = false;
};

// The game's named face, and the menus and boxes in the desktop's font with a Japanese face.
void install_fonts();

}  // namespace pawnfall
