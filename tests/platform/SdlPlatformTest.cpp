#include "platform/SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

// These run on SDL's dummy video and audio drivers (set by the test
// registration), so they need no display and no sound card.

namespace {

// The test registration asks for the dummy drivers too; setting them here
// keeps a direct run of the binary off the real display and sound card.
void UseDummyDrivers() {
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

SDL_Event KeyEvent(SDL_Keycode key, SDL_Scancode scan, uint16_t mod, bool repeat = false) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = scan;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event WindowEvent(SDL_WindowEventID id, int32_t a = 0, int32_t b = 0) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = id;
  e.window.data1 = a;
  e.window.data2 = b;
  return e;
}

SDL_Event Motion(int32_t x, int32_t y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

SDL_Event Button(uint8_t button, bool down, int32_t x, int32_t y) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = button;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event Wheel(int32_t y, bool flipped) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = y;
  e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
  return e;
}

class SdlPlatformTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseDummyDrivers(); }
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sys_.SetDisplayMode(true, error)) << error;
    Drain();
  }
  std::vector<TPlatformEvent> Drain() {
    std::vector<TPlatformEvent> out;
    sys_.PollEvents(out);
    return out;
  }
  SdlPlatform sys_;
};

TEST_F(SdlPlatformTest, KeyDownCarriesTheVirtualKeyAndTheAltFlag) {
  struct Case {
    SDL_Event event;
    uint16_t vk;
    bool alt;
    const char* what;
  };
  const std::vector<Case> cases = {
      {KeyEvent(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE), 13, false, "Enter"},
      {KeyEvent(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT), 13, true, "Alt+Enter"},
      {KeyEvent(SDLK_F4, SDL_SCANCODE_F4, KMOD_RALT), 115, true, "AltGr+F4"},
      {KeyEvent(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE), 18, true, "Alt alone"},
      {KeyEvent(SDLK_p, SDL_SCANCODE_P, KMOD_LSHIFT), 80, false, "Shift+P"},
      {KeyEvent(SDLK_DOWN, SDL_SCANCODE_DOWN, KMOD_NONE, true), 40, false, "auto-repeat"},
  };
  for (const auto& c : cases) {
    sys_.HandleEvent(c.event);
    const auto events = Drain();
    ASSERT_EQ(events.size(), 1u) << c.what;
    EXPECT_EQ(events[0].Kind, TEventKind::KeyDown) << c.what;
    EXPECT_EQ(events[0].Key, c.vk) << c.what;
    EXPECT_EQ(events[0].Alt, c.alt) << c.what;
  }
  // Keys without a code, and releases, deliver nothing.
  sys_.HandleEvent(KeyEvent(SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, KMOD_NONE));
  SDL_Event up = KeyEvent(SDLK_a, SDL_SCANCODE_A, KMOD_NONE);
  up.type = SDL_KEYUP;
  sys_.HandleEvent(up);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(SdlPlatformTest, WindowNotificationsBecomeTheGamesEvents) {
  struct Case {
    std::vector<SDL_Event> in;
    std::vector<TEventKind> out;
    const char* what;
  };
  const std::vector<Case> cases = {
      {{WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)},
       {TEventKind::Deactivate, TEventKind::Activate},
       "focus"},
      {{WindowEvent(SDL_WINDOWEVENT_MINIMIZED), WindowEvent(SDL_WINDOWEVENT_RESTORED)},
       {TEventKind::Minimize, TEventKind::Restore},
       "minimize and restore"},
      // A restore that does not follow a minimize (an undone maximize) is no Restore.
      {{WindowEvent(SDL_WINDOWEVENT_MAXIMIZED), WindowEvent(SDL_WINDOWEVENT_RESTORED)},
       {TEventKind::MaximizeRequest},
       "maximize"},
      {{WindowEvent(SDL_WINDOWEVENT_CLOSE)}, {TEventKind::CloseRequest}, "close box"},
      {{WindowEvent(SDL_WINDOWEVENT_MOVED, 10, 20)}, {TEventKind::WindowMoved}, "moved"},
      {{WindowEvent(SDL_WINDOWEVENT_EXPOSED), WindowEvent(SDL_WINDOWEVENT_ENTER)}, {}, "ignored"},
  };
  for (const auto& c : cases) {
    for (const SDL_Event& e : c.in) sys_.HandleEvent(e);
    const auto events = Drain();
    ASSERT_EQ(events.size(), c.out.size()) << c.what;
    for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].Kind, c.out[i]) << c.what;
  }
}

TEST_F(SdlPlatformTest, PollEventsAppendsWithoutClearing) {
  std::vector<TPlatformEvent> out(2);
  sys_.HandleEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE));
  sys_.PollEvents(out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2].Kind, TEventKind::CloseRequest);
}

TEST_F(SdlPlatformTest, MouseStateAccumulatesBetweenReadsAndIgnoresWarps) {
  TMouseState m;
  ASSERT_TRUE(sys_.ReadMouse(m));  // start from a clean slate
  sys_.HandleEvent(Motion(100, 100));
  sys_.HandleEvent(Motion(110, 95));
  sys_.HandleEvent(Motion(130, 90));
  sys_.HandleEvent(Wheel(1, false));
  sys_.HandleEvent(Wheel(2, true));  // "natural" scrolling reports the other sign
  sys_.HandleEvent(Button(SDL_BUTTON_LEFT, true, 130, 90));
  sys_.HandleEvent(Button(SDL_BUTTON_LEFT, false, 130, 90));  // a click between two reads
  sys_.HandleEvent(Button(SDL_BUTTON_RIGHT, true, 130, 90));  // held
  ASSERT_TRUE(sys_.ReadMouse(m));
  EXPECT_EQ(m.X, 30);
  EXPECT_EQ(m.Y, -10);
  EXPECT_EQ(m.Z, 120 - 240);
  EXPECT_EQ(m.Buttons[0], 0x80);
  EXPECT_EQ(m.Buttons[1], 0x80);
  EXPECT_EQ(m.Buttons[2], 0x00);

  ASSERT_TRUE(sys_.ReadMouse(m));
  EXPECT_EQ(m.X, 0);
  EXPECT_EQ(m.Z, 0);
  EXPECT_EQ(m.Buttons[0], 0x00);  // the click was reported once
  EXPECT_EQ(m.Buttons[1], 0x80);  // still held

  // Pinning the pointer (the game does it every frame) is no movement.
  sys_.SetCursorPos(700, 500);
  Drain();  // whatever SDL itself reports for the warp
  ASSERT_TRUE(sys_.ReadMouse(m));
  EXPECT_EQ(m.X, 0);
  EXPECT_EQ(m.Y, 0);
  sys_.HandleEvent(Motion(700, 500));
  sys_.HandleEvent(Motion(703, 500));
  ASSERT_TRUE(sys_.ReadMouse(m));
  EXPECT_EQ(m.X, 3);
  EXPECT_EQ(m.Y, 0);
}

TEST_F(SdlPlatformTest, MouseEventsReportFramePositionsAndButtons) {
  sys_.HandleEvent(Motion(12, 34));
  sys_.HandleEvent(Button(SDL_BUTTON_RIGHT, true, 640, 480));
  sys_.HandleEvent(Button(SDL_BUTTON_MIDDLE, true, 1, 2));
  sys_.HandleEvent(Wheel(-1, false));
  const auto events = Drain();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].Kind, TEventKind::MouseMove);
  EXPECT_EQ(events[0].X, 12);
  EXPECT_EQ(events[0].Y, 34);
  EXPECT_EQ(events[1].Kind, TEventKind::MouseDown);
  EXPECT_EQ(events[1].Button, 1);
  EXPECT_EQ(events[1].X, 640);
  EXPECT_EQ(events[1].Y, 480);
  EXPECT_EQ(events[2].Button, 2);
  EXPECT_EQ(events[3].Kind, TEventKind::MouseWheel);
  EXPECT_EQ(events[3].WheelDelta, -120);
}

TEST_F(SdlPlatformTest, ShowCursorKeepsADisplayCounter) {
  struct Step {
    bool show;
    int counter;
    bool shown;
  };
  // Windows semantics: hide twice needs show twice.
  const std::vector<Step> steps = {{false, -1, false}, {false, -2, false}, {true, -1, false},
                                   {true, 0, true},    {true, 1, true},    {false, 0, true}};
  for (const auto& s : steps) {
    EXPECT_EQ(sys_.ShowCursor(s.show), s.counter);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE, s.shown);
  }
}

TEST_F(SdlPlatformTest, KeyboardSnapshotIsZeroWhileNotAcquired) {
  TKeyboardSnapshot keys;
  keys.fill(0xFF);
  EXPECT_FALSE(sys_.ReadKeyboard(keys));
  for (uint8_t b : keys) ASSERT_EQ(b, 0);
  sys_.AcquireKeyboard();
  EXPECT_TRUE(sys_.ReadKeyboard(keys));
  sys_.UnacquireKeyboard();
  EXPECT_FALSE(sys_.ReadKeyboard(keys));
}

TEST_F(SdlPlatformTest, SwitchesToFullScreenAndBackAndPresents) {
  std::vector<uint32_t> frame(800 * 600, 0x00336699);
  sys_.Present(frame.data(), 800 * 4);
  std::string error;
  ASSERT_TRUE(sys_.SetDisplayMode(false, error)) << error;
  EXPECT_FALSE(sys_.Windowed());
  sys_.Present(frame.data(), 800 * 4);
  ASSERT_TRUE(sys_.SetDisplayMode(true, error)) << error;
  EXPECT_TRUE(sys_.Windowed());
  const TRect client = sys_.ClientRectOnScreen();
  EXPECT_EQ(client.Width(), 800);
  EXPECT_EQ(client.Height(), 600);
  EXPECT_GT(sys_.ScreenWidth(), 0);
  EXPECT_GT(sys_.ScreenHeight(), 0);
}

TEST(SdlPlatform, NoDisplayGivesAClearMessage) {
  UseDummyDrivers();
  const char* old = std::getenv("SDL_VIDEODRIVER");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("SDL_VIDEODRIVER", "no-such-display", 1);
  std::string error;
  {
    SdlPlatform sys;
    EXPECT_FALSE(sys.SetDisplayMode(true, error));
    // Nothing that needs a window crashes without one.
    std::vector<uint32_t> frame(800 * 600, 0);
    sys.Present(frame.data(), 800 * 4);
    sys.SetCursorPos(1, 1);
    sys.Minimize();
    std::vector<TPlatformEvent> events;
    sys.PollEvents(events);
    TMouseState m;
    EXPECT_FALSE(sys.ReadMouse(m));
  }
  if (old != nullptr) {
    ::setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
  } else {
    ::unsetenv("SDL_VIDEODRIVER");
  }
  EXPECT_NE(error.find("no display"), std::string::npos) << error;
}

// The platform's window, found by id: the platform keeps it to itself.
SDL_Window* PlatformWindow() {
  for (uint32_t id = 1; id < 1000; ++id) {
    if (SDL_Window* window = SDL_GetWindowFromID(id)) return window;
  }
  return nullptr;
}

// What the window shows on one renderer of the offscreen driver, read back
// after a whole frame, after a frame that changes only some rows and after an
// unchanged frame that is skipped; empty when it is the frame, word for word.
std::string WhatTheWindowGetsWrong(const char* renderer) {
  ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ::setenv("SDL_RENDER_DRIVER", renderer, 1);
  SdlPlatform sys;
  std::string error;
  if (!sys.SetDisplayMode(true, error)) return error;
  SDL_Renderer* drawn = SDL_GetRenderer(PlatformWindow());
  SDL_RendererInfo info{};
  if (drawn == nullptr || SDL_GetRendererInfo(drawn, &info) != 0) return "no renderer";
  if (std::strcmp(info.name, renderer) != 0) return std::string("made ") + info.name;
  std::vector<uint32_t> frame(800 * 600);
  for (size_t i = 0; i < frame.size(); ++i) {
    frame[i] = static_cast<uint32_t>((i * 2654435761u) & 0x00FFFFFFu);  // every channel differs
  }
  std::string wrong;
  auto check = [&](const char* step) {
    sys.Present(frame.data(), 800 * 4);
    std::vector<uint32_t> shown(frame.size());
    SDL_RenderReadPixels(drawn, nullptr, SDL_PIXELFORMAT_RGB888, shown.data(), 800 * 4);
    for (uint32_t& word : shown) word &= 0x00FFFFFFu;
    if (shown != frame) wrong += std::string(step) + " differs; ";
  };
  check("whole frame");
  std::fill(frame.begin() + 800 * 100, frame.begin() + 800 * 120, 0x00ABCDEFu);
  check("rows 100-119 changed");
  check("unchanged frame");
  return wrong;
}

// In a child that ends with _exit: the GL drivers keep memory to the end of
// the process, which the leak checker would count as lost.
TEST(SdlPlatform, TheWindowShowsEveryFrameOnEveryRenderer) {
  for (const char* renderer : {SdlPlatform::kPreferredRenderer, "opengl", "software"}) {
    EXPECT_EXIT(
        {
          const std::string wrong = WhatTheWindowGetsWrong(renderer);
          std::fputs(wrong.c_str(), stderr);
          std::_Exit(wrong.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << renderer;
  }
}

TEST(SdlPlatform, AudioCallbackIsPulledFromTheAudioThread) {
  UseDummyDrivers();
  SdlPlatform sys;
  std::atomic<int> frames{0};
  ASSERT_TRUE(sys.OpenAudio(22050, [&frames](int16_t* samples, int count) {
    samples[0] = 1;
    frames += count;
  }));
  for (int i = 0; i < 500 && frames.load() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  sys.CloseAudio();
  EXPECT_GT(frames.load(), 0);
  const int after = frames.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(frames.load(), after);  // closed: no more calls
  EXPECT_FALSE(sys.OpenAudio(0, [](int16_t*, int) {}));
}

}  // namespace

namespace {

TEST_F(SdlPlatformTest, ErrorsAlwaysReachStandardError) {
  ::testing::internal::CaptureStderr();
  sys_.ShowError("Tidal Lynx", "Cannot read \"Data/Data.pp\": record 12 ends early.");
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, "Tidal Lynx: Cannot read \"Data/Data.pp\": record 12 ends early.\n");
}

}  // namespace
