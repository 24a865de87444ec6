#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/ScratchFolder.h"

// A virtual X server for the window tests, and what the X server itself says
// about the windows on it (not what SDL believes). Needs Xvfb; openbox for
// the cases with a window manager.

// Whether `program` is found on PATH.
bool OnPath(const std::string& program);
// Runs a program to its end; its exit status, or -1.
int RunProgram(std::vector<std::string> args);

// Sets an environment variable for the test's lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// A virtual X server on a display number it picks itself, stopped (with its
// window manager) at the end: Xvfb with one screen, or Xorg's dummy driver
// with two displays side by side, which Xvfb cannot show to SDL (its
// Xinerama screens all stand at 0, 0 and it has one RandR output).
class VirtualScreen {
 public:
  VirtualScreen() = default;
  ~VirtualScreen();
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;

  // One screen of `geometry` ("1920x1080").
  bool Start(const std::string& geometry, std::string& error);
  // A 1920 x 1080 display with a 2560 x 1440 one to its right (needs Xorg
  // and xserver-xorg-video-dummy).
  bool StartTwoDisplays(std::string& error);
  // Starts openbox on the screen and waits until it manages it.
  bool StartWindowManager(std::string& error);

  std::string Display;  // ":N"

 private:
  // Starts a server whose arguments follow "-displayfd FD" and waits for it.
  bool StartServer(std::vector<std::string> args, std::string& error);

  pid_t server_ = 0;
  pid_t manager_ = 0;
  // Xorg's configuration and log; removed after the servers stop.
  std::optional<TScratchFolder> scratch_;
};

// One connection to the virtual screen, for looking at it.
class XView {
 public:
  explicit XView(const std::string& display);
  ~XView();
  XView(const XView&) = delete;
  XView& operator=(const XView&) = delete;

  bool Connected() const { return display_ != nullptr; }
  TRect Root();
  // The first top-level client window titled `title` (0 when none).
  unsigned long FindWindow(const std::string& title);
  // The window's inside on the screen, and its outer rectangle with the
  // window manager's frame (the same without a window manager).
  TRect ClientRect(unsigned long window);
  TRect OuterRect(unsigned long window);
  // Whether the window is shown (mapped and not minimized).
  bool Viewable(unsigned long window);
  // The pixels of one row of a picture of the whole screen, as 0x00RRGGBB.
  std::vector<uint32_t> ScreenRow(int32_t y, int32_t left, int32_t right);
  // The pixels of `area` of the screen's picture, row by row, as 0x00RRGGBB
  // (empty when the area is not wholly on the screen).
  std::vector<uint32_t> ScreenArea(const TRect& area);
  void WarpPointer(int32_t x, int32_t y);
  // A window manager has announced itself on the root window.
  bool ManagerRunning();
  // Maps a probe window until the window manager frames one (up to about
  // 6 s): then it acts on new windows.
  bool ManagerFramesWindows();

 private:
  struct _XDisplay* display_ = nullptr;
};
