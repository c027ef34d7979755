// Asks the X server directly what a window manager or a player's screen would see. Xlib stays in
// its own file: its macros clash with Qt's names.
#pragma once

#include <chrono>
#include <string>

namespace pawnfall::e2e {

class XProbe {
 public:
  explicit XProbe(const std::string& display);
  ~XProbe();
  XProbe(const XProbe&) = delete;
  XProbe& operator=(const XProbe&) = delete;
  bool ok() const { return display_ != nullptr; }

  // Sends _NET_WM_PING to the window, as a window manager does, and answers whether the reply
  // came back within the time.
  bool answers_ping(unsigned long window, std::chrono::milliseconds limit);
  // Asks the window to close, as a window manager's close button does.
  void ask_to_close(unsigned long window);
  // Whether the window is on the screen.
  bool shown(unsigned long window);
  // Clears the window to magenta, as the server does where another window stood over it, and
  // answers whether the screen point still shows magenta a moment later: nothing repainted it.
  bool stays_cleared(unsigned long window, int x, int y);

 private:
  void* display_;
};

}  // namespace pawnfall::e2e
