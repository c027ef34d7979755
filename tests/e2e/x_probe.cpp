// Asks the X server directly what a window manager or a player's screen would see.
#include "tests/e2e/x_probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <thread>

namespace pawnfall::e2e {

XProbe::XProbe(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

XProbe::~XProbe() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

bool XProbe::answers_ping(unsigned long w, std::chrono::milliseconds limit) {
  auto* d = static_cast<Display*>(display_);
  const Window root = DefaultRootWindow(d);
  const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  const Atom ping = XInternAtom(d, "_NET_WM_PING", False);
  // The client answers to the root window, to those that select its structure events.
  XSelectInput(d, root, StructureNotifyMask);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = protocols;
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(ping);
  e.xclient.data.l[1] = 4242;  // the timestamp the reply must carry back
  e.xclient.data.l[2] = static_cast<long>(w);
  XSendEvent(d, w, False, NoEventMask, &e);
  XFlush(d);
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    while (XPending(d) > 0) {
      XEvent reply;
      XNextEvent(d, &reply);
      if (reply.type == ClientMessage && reply.xclient.message_type == protocols &&
          static_cast<Atom>(reply.xclient.data.l[0]) == ping && reply.xclient.data.l[1] == 4242)
        return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void XProbe::ask_to_close(unsigned long w) {
  auto* d = static_cast<Display*>(display_);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XFlush(d);
}

bool XProbe::shown(unsigned long w) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(static_cast<Display*>(display_), w, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

bool XProbe::stays_cleared(unsigned long window, int x, int y) {
  auto* d = static_cast<Display*>(display_);
  // Whatever the server keeps of covered windows, a cleared area shows the background until
  // the client paints it again.
  XSetWindowBackground(d, window, 0xFF00FF);
  XClearArea(d, window, 0, 0, 0, 0, True);
  XSync(d, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
  const unsigned long pixel = image ? XGetPixel(image, 0, 0) & 0xFFFFFF : 0xFF00FF;
  if (image) XDestroyImage(image);
  return pixel == 0xFF00FF;
}

}  // namespace pawnfall::e2e
