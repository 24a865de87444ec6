// The real window on virtual X servers, driven through the X server as a
// player would: clicks land on the caption under the pointer, the window
// opens on the display that holds the pointer, and Alt+Enter, minimize and
// restore keep it wholly on the screen. Needs Xvfb, xdotool and openbox
// (scripts/install-deps.sh --tests); skipped without them.
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/SdlPlatform.h"
#include "shell/FormFixture.h"
#include "support/PrintRect.h"
#include "support/VirtualScreen.h"
#include "widgets/MenuLayout.h"

namespace {

// The form on the real platform, on a virtual screen.
class FormOnXvfb : public FormFixture {
 protected:
  void TearDown() override {
    // The window and both connections go before the server does.
    form.reset();
    sys.reset();
    x.reset();
    env_.clear();
    FormFixture::TearDown();
  }
  // Starts a virtual screen of `desktop` (and openbox), points SDL at it and
  // creates the form.
  void Open(const std::string& desktop, bool manager) {
    std::string error;
    ASSERT_TRUE(screen_.Start(desktop, error)) << error;
    if (manager) {
      ASSERT_TRUE(screen_.StartWindowManager(error)) << error;
    }
    OpenForm();
  }
  // The same on two displays under openbox, with the pointer at (pointerX,
  // pointerY) when the game starts.
  void OpenOnTwoDisplays(int32_t pointerX, int32_t pointerY) {
    std::string error;
    ASSERT_TRUE(screen_.StartTwoDisplays(error)) << error;
    // Without a window manager nothing acts on a full-screen request.
    ASSERT_TRUE(screen_.StartWindowManager(error)) << error;
    XView(screen_.Display).WarpPointer(pointerX, pointerY);
    OpenForm();
  }
  void OpenForm() {
    Set("DISPLAY", screen_.Display);
    Set("SDL_VIDEODRIVER", "x11");
    // No session bus: libdbus must not start one for the virtual screen. No
    // OpenGL either: what is measured here is the same with SDL's own
    // renderer, and the GL drivers keep memory the leak checker cannot
    // account for.
    Set("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    Set("SDL_RENDER_DRIVER", "software");
    Set("SDL_FRAMEBUFFER_ACCELERATION", "0");
    x = std::make_unique<XView>(screen_.Display);
    ASSERT_TRUE(x->Connected());
    const std::string pack = (dir_ / "pack.pp").string();
    ASSERT_TRUE(test_pack::Write(pack));
    sys = std::make_unique<SdlPlatform>();
    form = std::make_unique<TForm1>(*sys, state, SharedFonts(), sound, music,
                                    TFormPaths{pack, ConfigPath()});
    form->Create();
    window = x->FindWindow("Tidal Lynx");
    ASSERT_NE(window, 0u);
  }
  bool PassUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) form->RunOnce();
    return done();
  }
  // Runs the form until X reports the same window rectangle a few passes in
  // a row (the window manager has done its part); that rectangle.
  TRect Settled() {
    TRect last{};
    int same = 0;
    for (int i = 0; i < 150 && same < 4; ++i) {
      form->RunOnce();
      const TRect now = x->ClientRect(window);
      same = (now == last && x->Viewable(window)) ? same + 1 : 0;
      last = now;
    }
    return last;
  }
  static int Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return RunProgram(std::move(args));
  }
  // The window at the frame's size times 3, centred on `area` and inside it
  // with its frame.
  void ExpectCentredInside(const TRect& client, const TRect& area) {
    const TRect outer = x->OuterRect(window);
    EXPECT_EQ(client.Width(), 2400) << client;
    EXPECT_EQ(client.Height(), 1800) << client;
    EXPECT_LE(std::abs(client.Left - area.Left - (area.Width() - client.Width()) / 2), 2) << client;
    EXPECT_LE(std::abs(client.Top - area.Top - (area.Height() - client.Height()) / 2), 2) << client;
    EXPECT_TRUE(outer.Left >= area.Left && outer.Top >= area.Top && outer.Right <= area.Right &&
                outer.Bottom <= area.Bottom)
        << outer;
  }

  std::unique_ptr<XView> x;
  std::unique_ptr<SdlPlatform> sys;
  TShellState state;
  TRecordingSound sound;
  TRecordingMusic music;
  std::unique_ptr<TForm1> form;
  unsigned long window = 0;

 private:
  void Set(const char* name, const std::string& value) {
    env_.push_back(std::make_unique<ScopedEnv>(name, value));
  }
  VirtualScreen screen_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
};

bool HaveTools(bool manager) {
  return OnPath("Xvfb") && OnPath("xdotool") && (!manager || OnPath("openbox"));
}

TEST_F(FormOnXvfb, TheWindowIsThreeTimesTheFrameAndAClickHitsTheCaptionUnderIt) {
  if (!HaveTools(false))
    GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps.sh --tests)";
  Open("3840x2160", false);
  const TRect client = sys->ClientRectOnScreen();
  EXPECT_EQ(client.Width(), 2400);
  EXPECT_EQ(client.Height(), 1800);

  // Points at a frame pixel through the X server, lets the menu follow the
  // pointer for a few frames, then clicks.
  auto click = [&](int32_t frameX, int32_t frameY) {
    const int32_t px = client.Left + 3 * frameX + 1;
    const int32_t py = client.Top + 3 * frameY + 1;
    EXPECT_EQ(Xdotool({"mousemove", "--sync", std::to_string(px), std::to_string(py)}), 0);
    for (int i = 0; i < 5; ++i) form->RunOnce();
    EXPECT_EQ(Xdotool({"click", "1"}), 0);
  };
  const TRect options = menu_layout::kMainMenu[1].Rect;
  // A caption's edge is outside it; the next frame pixel is inside.
  // Each click at a new point: xdotool's --sync waits for the pointer to move.
  click(options.Left, options.Top + 10);  // any click ends the intro
  ASSERT_TRUE(PassUntil([&] { return state.GameState == gsMainMenu; }));
  click(options.Left, options.Top + 5);
  for (int i = 0; i < 5; ++i) form->RunOnce();
  EXPECT_EQ(state.GameState, gsMainMenu);
  click(options.Left + 1, options.Top + 5);
  EXPECT_TRUE(PassUntil([&] { return state.GameState == gsOptions; }));
}

// Two displays side by side: the window opens on the one that holds the
// pointer, and Alt+Enter fills that one and comes back to it.
TEST_F(FormOnXvfb, OpensOnThePointersDisplayAndFillsItInFullScreen) {
  if (!HaveTools(true) || !OnPath("Xorg")) {
    GTEST_SKIP() << "Xorg's dummy driver, openbox and xdotool are needed (install-deps.sh --tests)";
  }
  const TRect second{1920, 0, 1920 + 2560, 1440};
  OpenOnTwoDisplays(second.Left + 700, second.Top + 900);
  if (HasFatalFailure()) return;
  const TRect opened = Settled();
  EXPECT_EQ(opened.Width(), 1600) << opened;
  EXPECT_LE(std::abs(opened.Left - (second.Left + 480)), 2) << opened;
  EXPECT_LE(std::abs(opened.Top - (second.Top + 120)), 2) << opened;

  ASSERT_EQ(Xdotool({"key", "alt+Return"}), 0);
  ASSERT_TRUE(PassUntil([&] { return !sys->Windowed(); }));
  EXPECT_EQ(Settled(), second);
  ASSERT_EQ(Xdotool({"key", "alt+Return"}), 0);
  ASSERT_TRUE(PassUntil([&] { return sys->Windowed(); }));
  EXPECT_EQ(Settled(), opened);
}

// Under a window manager at 3840 x 2160: full screen and back, a move by the
// player, minimize and restore; the window stays whole on the screen, and a
// place the player chose is kept.
TEST_F(FormOnXvfb, RoundTripsKeepTheWindowWhollyOnTheScreen) {
  if (!HaveTools(true)) GTEST_SKIP() << "Xvfb, xdotool and openbox are needed";
  Open("3840x2160", true);
  if (HasFatalFailure()) return;
  const TRect root = x->Root();
  const TRect opened = Settled();
  ExpectCentredInside(opened, root);

  ASSERT_EQ(Xdotool({"key", "alt+Return"}), 0);
  ASSERT_TRUE(PassUntil([&] { return !sys->Windowed(); }));
  EXPECT_EQ(Settled(), root);
  ASSERT_EQ(Xdotool({"key", "alt+Return"}), 0);
  ASSERT_TRUE(PassUntil([&] { return sys->Windowed(); }));
  EXPECT_EQ(Settled(), opened);

  // The player puts the window near the top left: full screen and back
  // return there, and so does a restore after the minimize key; the place
  // remembered is the real window's, at its real size.
  ASSERT_EQ(Xdotool({"windowmove", std::to_string(window), "100", "150"}), 0);
  const TRect moved = Settled();
  EXPECT_NE(moved, opened);
  ASSERT_EQ(Xdotool({"key", "alt+Return"}), 0);
  ASSERT_TRUE(PassUntil([&] { return !sys->Windowed(); }));
  Settled();
  ASSERT_EQ(Xdotool({"key", "alt+Return"}), 0);
  ASSERT_TRUE(PassUntil([&] { return sys->Windowed(); }));
  EXPECT_EQ(Settled(), moved);

  const TRect movedOuter = x->OuterRect(window);
  ASSERT_EQ(Xdotool({"key", "F12"}), 0);
  ASSERT_TRUE(PassUntil([&] { return !x->Viewable(window) && state.SavedWindowRect.Width() > 0; }));
  EXPECT_EQ(state.SavedWindowRect, movedOuter);
  ASSERT_EQ(Xdotool({"windowactivate", std::to_string(window)}), 0);
  ASSERT_TRUE(PassUntil([&] { return x->Viewable(window); }));
  EXPECT_EQ(Settled(), moved);
}

}  // namespace
