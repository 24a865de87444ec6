#include "support/VirtualScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "support/FileBytes.h"

extern char** environ;

namespace {

// `quiet`: the program's own messages go nowhere (servers and the window
// manager talk about fonts, menus and extensions).
bool Spawn(std::vector<std::string> args, pid_t& pid, bool quiet = false) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0;
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  pid = 0;
}

}  // namespace

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    if (::access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

int RunProgram(std::vector<std::string> args) {
  pid_t pid = 0;
  if (!Spawn(std::move(args), pid)) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) {
    old_ = old;
    had_ = true;
  }
  ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_) {
    ::setenv(name_, old_.c_str(), 1);
  } else {
    ::unsetenv(name_);
  }
}

VirtualScreen::~VirtualScreen() {
  Stop(manager_);
  Stop(server_);
}

bool VirtualScreen::Start(const std::string& geometry, std::string& error) {
  return StartServer(
      {"Xvfb", "-displayfd", "", "-nolisten", "tcp", "-screen", "0", geometry + "x24"}, error);
}

bool VirtualScreen::StartTwoDisplays(std::string& error) {
  static int started = 0;
  TScratchFolder& scratch = scratch_.emplace("xorg_" + std::to_string(started++));
  const std::string conf = (scratch / "xorg.conf").string();
  // Each output gets its monitor; the second one is enabled although the
  // driver calls it disconnected until it has a mode.
  test_kit::WriteFile(conf, R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 131072
  Option "Monitor-DUMMY0" "left"
  Option "Monitor-DUMMY1" "right"
EndSection
Section "Monitor"
  Identifier "left"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125
  Option "PreferredMode" "1920x1080"
  Option "Position" "0 0"
EndSection
Section "Monitor"
  Identifier "right"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "2560x1440" 241.50 2560 2608 2640 2720 1440 1443 1448 1481
  Option "PreferredMode" "2560x1440"
  Option "Position" "1920 0"
  Option "Enable" "true"
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "left"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4480 1440
  EndSubSection
EndSection
)");
  const std::string log = (scratch / "xorg.log").string();
  if (StartServer({"Xorg", "-displayfd", "", "-nolisten", "tcp", "-noreset", "-config", conf,
                   "-logfile", log},
                  error)) {
    return true;
  }
  scratch.Keep();  // for reading why
  error += " (its log: " + log + ")";
  return false;
}

bool VirtualScreen::StartServer(std::vector<std::string> args, std::string& error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  ::fcntl(fds[1], F_SETFD, 0);  // the write end goes to the server
  args[2] = std::to_string(fds[1]);
  const bool spawned = Spawn(args, server_, true);
  ::close(fds[1]);
  if (!spawned) {
    ::close(fds[0]);
    error = "cannot start " + args[0];
    return false;
  }
  // The server writes its display number once it accepts connections.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (::poll(&p, 1, 15000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) {
    error = args[0] + " did not report a display";
    return false;
  }
  Display = ":" + number;
  return true;
}

bool VirtualScreen::StartWindowManager(std::string& error) {
  const std::string display = "DISPLAY=" + Display;
  std::vector<std::string> args = {"env", display, "openbox", "--sm-disable"};
  if (!Spawn(args, manager_, true)) {
    error = "cannot start openbox";
    return false;
  }
  XView view(Display);
  int waited = 0;
  while (!view.ManagerRunning() && waited < 200) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ++waited;
  }
  // Openbox announces itself before it acts on windows: a window mapped in
  // that gap stays unmapped, and SDL waits for it for ever. Ready is when a
  // probe window of our own gets its frame.
  if (waited < 200 && view.ManagerFramesWindows()) return true;
  error = "openbox did not take the screen";
  return false;
}

XView::XView(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
  // A busy server may refuse a connection for a moment; a few tries, then
  // Connected() says no.
  for (int tries = 0; display_ == nullptr && tries < 20; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    display_ = XOpenDisplay(display.c_str());
  }
}

XView::~XView() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

TRect XView::Root() {
  XWindowAttributes a{};
  XGetWindowAttributes(display_, DefaultRootWindow(display_), &a);
  return TRect{0, 0, a.width, a.height};
}

unsigned long XView::FindWindow(const std::string& title) {
  // Breadth first from the root: a window manager puts each client in a frame.
  std::vector<Window> level{DefaultRootWindow(display_)};
  while (!level.empty()) {
    std::vector<Window> next;
    for (Window w : level) {
      char* name = nullptr;
      if (w != DefaultRootWindow(display_) && XFetchName(display_, w, &name) != 0 && name) {
        const bool match = title == name;
        XFree(name);
        if (match) return w;
      }
      Window root = 0;
      Window parent = 0;
      Window* children = nullptr;
      unsigned count = 0;
      if (XQueryTree(display_, w, &root, &parent, &children, &count) != 0) {
        next.insert(next.end(), children, children + count);
        if (children != nullptr) XFree(children);
      }
    }
    level = std::move(next);
  }
  return 0;
}

TRect XView::ClientRect(unsigned long window) {
  XSync(display_, False);
  XWindowAttributes a{};
  if (XGetWindowAttributes(display_, window, &a) == 0) return TRect{};
  int x = 0;
  int y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return TRect{x, y, x + a.width, y + a.height};
}

TRect XView::OuterRect(unsigned long window) {
  // The ancestor just below the root is the frame the window manager drew.
  Window w = window;
  for (;;) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, w, &root, &parent, &children, &count) == 0) break;
    if (children != nullptr) XFree(children);
    if (parent == root || parent == 0) break;
    w = parent;
  }
  XWindowAttributes a{};
  XGetWindowAttributes(display_, w, &a);
  int x = 0;
  int y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return TRect{x - a.border_width, y - a.border_width, x + a.width + a.border_width,
               y + a.height + a.border_width};
}

bool XView::Viewable(unsigned long window) {
  XWindowAttributes a{};
  return XGetWindowAttributes(display_, window, &a) != 0 && a.map_state == IsViewable;
}

std::vector<uint32_t> XView::ScreenRow(int32_t y, int32_t left, int32_t right) {
  XSync(display_, False);
  const TRect root = Root();
  auto destroy = [](XImage* i) { XDestroyImage(i); };
  std::unique_ptr<XImage, decltype(destroy)> image(
      XGetImage(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(root.Width()),
                static_cast<unsigned>(root.Height()), AllPlanes, ZPixmap),
      destroy);
  std::vector<uint32_t> row;
  if (!image || y < 0 || y >= root.Height()) return row;
  for (int32_t x = std::max(left, 0); x < std::min(right, root.Width()); ++x) {
    row.push_back(static_cast<uint32_t>(XGetPixel(image.get(), x, y)) & 0x00FFFFFFu);
  }
  return row;
}

std::vector<uint32_t> XView::ScreenArea(const TRect& area) {
  XSync(display_, False);
  const TRect root = Root();
  std::vector<uint32_t> pixels;
  if (area.Left < 0 || area.Top < 0 || area.Right > root.Right || area.Bottom > root.Bottom ||
      area.Width() <= 0 || area.Height() <= 0)
    return pixels;
  auto destroy = [](XImage* i) { XDestroyImage(i); };
  std::unique_ptr<XImage, decltype(destroy)> image(
      XGetImage(display_, DefaultRootWindow(display_), area.Left, area.Top,
                static_cast<unsigned>(area.Width()), static_cast<unsigned>(area.Height()),
                AllPlanes, ZPixmap),
      destroy);
  if (!image) return pixels;
  pixels.reserve(static_cast<size_t>(area.Width()) * static_cast<size_t>(area.Height()));
  for (int32_t y = 0; y < area.Height(); ++y)
    for (int32_t x = 0; x < area.Width(); ++x)
      pixels.push_back(static_cast<uint32_t>(XGetPixel(image.get(), x, y)) & 0x00FFFFFFu);
  return pixels;
}

void XView::WarpPointer(int32_t x, int32_t y) {
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
  XSync(display_, False);
}

bool XView::ManagerRunning() {
  const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False,
                                        XA_WINDOW, &type, &format, &items, &left, &data);
  if (data != nullptr) XFree(data);
  return status == Success && items == 1;
}

bool XView::ManagerFramesWindows() {
  const Window root = DefaultRootWindow(display_);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const Window probe = XCreateSimpleWindow(display_, root, 0, 0, 16, 16, 0, 0, 0);
    XMapWindow(display_, probe);
    XSync(display_, False);
    bool framed = false;
    for (int i = 0; i < 100 && !framed; ++i) {
      Window rootOut = 0;
      Window parent = 0;
      Window* children = nullptr;
      unsigned int count = 0;
      if (XQueryTree(display_, probe, &rootOut, &parent, &children, &count) != 0) {
        framed = parent != root;
      }
      if (children != nullptr) XFree(children);
      if (!framed) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XDestroyWindow(display_, probe);
    XSync(display_, False);
    if (framed) return true;
  }
  return false;
}
