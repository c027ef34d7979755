// Measures a program's start-up to its first painted frame, and its peak memory, under X.
//
//   startup_probe [--dir DIR] [--hold-ms N] [--timeout-ms N] [--frame FILE.ppm] -- command
//                 [arguments...]
//
// Starts the command (in DIR if given) on the display of $DISPLAY, waits for its first
// top-level window to be mapped, then reads the window's pixels every few milliseconds until
// they are no longer all one colour: that is the first frame the program painted. Start the
// server with a plain root (Xvfb -br), so an unpainted window reads as uniform black. After
// the frame the program is left running for a while, then its peak resident memory (VmHWM)
// is read and it is stopped; --frame keeps the first frame as a picture, to check by eye that
// it is the program's real first frame. Prints one line:
//   first_frame_ms=123.4 mapped_ms=100.2 peak_rss_kb=40960
// and exits 0, or exits 2 when no frame came within the time limit.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto poll_interval = std::chrono::milliseconds(2);
// Windows smaller than this are helpers (input-method or clipboard windows), not the game's.
constexpr int smallest_window = 50;
constexpr int exit_usage = 64;
constexpr int exit_no_frame = 2;

struct Options {
  std::string dir;
  int hold_ms = 1000;
  int timeout_ms = 10000;
  std::string frame;
  std::vector<char*> command;
};

bool parse(int argc, char** argv, Options& options) {
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) return false;
    if (arg == "--dir")
      options.dir = argv[++i];
    else if (arg == "--hold-ms")
      options.hold_ms = std::atoi(argv[++i]);
    else if (arg == "--timeout-ms")
      options.timeout_ms = std::atoi(argv[++i]);
    else if (arg == "--frame")
      options.frame = argv[++i];
    else
      return false;
  }
  for (; i < argc; ++i) options.command.push_back(argv[i]);
  options.command.push_back(nullptr);
  return options.command.size() > 1;
}

double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// A window that vanished between its event and our request raises an X error; such a window
// is simply not (yet) painted, so errors are ignored.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The process id a window announces, or 0 when it announces none.
long window_pid(Display* display, Window window) {
  const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", True);
  if (pid_atom == None) return 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  long pid = 0;
  if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    if (type == XA_CARDINAL && format == 32 && count == 1)
      pid = *reinterpret_cast<long*>(data);  // Xlib hands 32-bit items as longs
    XFree(data);
  }
  return pid;
}

// Writes the image as a binary PPM.
void save_ppm(XImage* image, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const unsigned char rgb[3] = {
          static_cast<unsigned char>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask)),
          static_cast<unsigned char>((pixel & image->green_mask) >>
                                     __builtin_ctzl(image->green_mask)),
          static_cast<unsigned char>((pixel & image->blue_mask) >>
                                     __builtin_ctzl(image->blue_mask))};
      std::fwrite(rgb, 1, 3, file);
    }
  std::fclose(file);
}

// Whether the window shows more than one colour; false when it cannot be read. For a painted
// window, seen is when that was found, and its image is kept in frame_path when one is given.
bool painted(Display* display, Window window, const std::string& frame_path,
             Clock::time_point& seen) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
    return false;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return false;
  bool varied = false;
  const unsigned long first = XGetPixel(image, 0, 0);
  if (image->bits_per_pixel == 32) {
    // The common case, read straight from the rows rather than pixel by pixel.
    const auto first_word = static_cast<std::uint32_t>(first);
    for (int y = 0; y < image->height && !varied; ++y) {
      const auto* row =
          reinterpret_cast<const std::uint32_t*>(image->data + y * image->bytes_per_line);
      for (int x = 0; x < image->width; ++x)
        if ((row[x] & 0xffffffu) != (first_word & 0xffffffu)) {
          varied = true;
          break;
        }
    }
  } else {
    for (int y = 0; y < image->height && !varied; ++y)
      for (int x = 0; x < image->width; ++x)
        if (XGetPixel(image, x, y) != first) {
          varied = true;
          break;
        }
  }
  if (varied) seen = Clock::now();
  if (varied && !frame_path.empty() && image->red_mask && image->green_mask && image->blue_mask)
    save_ppm(image, frame_path);
  XDestroyImage(image);
  return varied;
}

long peak_rss_kb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

void stop(pid_t pid) {
  kill(-pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: startup_probe [--dir DIR] [--hold-ms N] [--timeout-ms N] -- command "
                 "[arguments...]\n");
    return exit_usage;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "startup_probe: cannot open the display\n");
    return exit_usage;
  }
  XSetErrorHandler(ignore_x_error);
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    // A group of its own, so stopping it also stops anything it started.
    setpgid(0, 0);
    if (!options.dir.empty() && chdir(options.dir.c_str()) != 0) _exit(127);
    execvp(options.command[0], options.command.data());
    _exit(127);
  }
  if (pid < 0) return exit_usage;
  setpgid(pid, pid);

  const auto deadline = start + std::chrono::milliseconds(options.timeout_ms);
  std::vector<Window> candidates;
  Clock::time_point mapped{}, first_frame{};
  const int connection = ConnectionNumber(display);
  while (Clock::now() < deadline && first_frame == Clock::time_point{}) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != MapNotify || event.xmap.event != root || event.xmap.override_redirect)
        continue;
      const Window window = event.xmap.window;
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display, window, &attributes) ||
          attributes.width < smallest_window || attributes.height < smallest_window)
        continue;
      const long owner = window_pid(display, window);
      if (owner != 0 && owner != pid) continue;
      if (candidates.empty()) mapped = Clock::now();
      candidates.push_back(window);
    }
    for (Window window : candidates)
      if (painted(display, window, options.frame, first_frame)) break;
    if (first_frame != Clock::time_point{}) break;
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      std::fprintf(stderr, "startup_probe: the program ended before it painted\n");
      return exit_no_frame;
    }
    // Sleep until the next poll, or until the server reports something.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connection, &readable);
    timeval wait{0,
                 static_cast<suseconds_t>(
                     std::chrono::duration_cast<std::chrono::microseconds>(poll_interval).count())};
    select(connection + 1, &readable, nullptr, nullptr, &wait);
  }
  if (first_frame == Clock::time_point{}) {
    std::fprintf(stderr, "startup_probe: no painted frame within %d ms\n", options.timeout_ms);
    stop(pid);
    return exit_no_frame;
  }

  std::this_thread::sleep_for(std::chrono::milliseconds(options.hold_ms));
  const long rss = peak_rss_kb(pid);
  stop(pid);
  XCloseDisplay(display);
  std::printf("first_frame_ms=%.1f mapped_ms=%.1f peak_rss_kb=%ld\n",
              ms_between(start, first_frame), ms_between(start, mapped), rss);
  return 0;
}
