// The form's life: pacing, foreground changes, close, display rebuild,
// surface restore and the settings at start-up.

#include <filesystem>
#include <fstream>
#include <iterator>

#include "game/GameStates.h"
#include "settings/ConfigFile.h"
#include "shell/FormFixture.h"
#include "support/FileBytes.h"

namespace {

constexpr uint16_t kEnter = 13, kDown = 40, kP = 80;

}  // namespace

TEST_F(FormFixture, FramesAreComposedOnlyWhenMoreThanFiveMsPassed) {
  // Passes of the loop at these ticks, in order; each frame starts the next gap.
  const struct {
    uint32_t tick;
    bool composed;
  } passes[] = {
      {1000, true},         // long after the start-up frame (across the wrap)
      {1005, false},        // 5 ms: too early
      {1006, true},         // 6 ms: a frame
      {1006, false},        // same tick
      {0xFFFFFFFEu, true},  // long gap
      {3, false},           // 5 ms across the wrap
      {4, true},            // 6 ms across the wrap
  };
  StartForm();
  for (const auto& pass : passes) {
    SCOPED_TRACE(pass.tick);
    sys_.SetTick(pass.tick);
    const int presentsBefore = sys_.PresentCount;
    form_->RunOnce();
    EXPECT_EQ(sys_.PresentCount - presentsBefore, pass.composed ? 1 : 0);
  }
}

TEST_F(FormFixture, KeyboardIsReadOnEveryPassEvenWithoutAFrame) {
  StartForm();
  const uint32_t frameTick = sys_.Tick();
  ComposeFrame();
  sys_.SetKey(dik::kLeft, true);
  sys_.SetTick(frameTick + 2);  // too early for a frame
  const int presents = sys_.PresentCount;
  form_->RunOnce();
  EXPECT_EQ(sys_.PresentCount, presents);
  EXPECT_EQ(state_.KeyboardState[dik::kLeft], 0x80);
  // An unacquired keyboard reads as all zero.
  sys_.UnacquireKeyboard();
  sys_.SetTick(frameTick + 3);
  form_->RunOnce();
  EXPECT_EQ(state_.KeyboardState[dik::kLeft], 0);
}

TEST_F(FormFixture, TheLoopWaitsForTheClockAndComposesNothingWhileMinimized) {
  StartForm();
  const int presents = sys_.PresentCount;
  form_->RunOnce();
  form_->RunOnce();
  EXPECT_EQ(sys_.PresentCount, presents + 2);
  EXPECT_GE(sys_.WaitCount, 2);
  sys_.PushKind(TEventKind::Minimize);
  form_->RunOnce();
  form_->RunOnce();
  EXPECT_EQ(sys_.PresentCount, presents + 2);
  sys_.PushKind(TEventKind::Restore);
  form_->RunOnce();
  EXPECT_EQ(sys_.PresentCount, presents + 3);
}

TEST_F(MenuFixture, DeactivationDuringPlayFreezesTheGameUnderStripes) {
  Start();
  Key(kEnter);  // new game
  ComposeFrame();
  ComposeFrame();
  const std::vector<uint32_t> game = sys_.LastFrame;
  sys_.PushKind(TEventKind::Deactivate);
  form_->RunOnce();
  EXPECT_EQ(state_.GameState, gsPaused);
  EXPECT_EQ(state_.MouseActive, 0);
  EXPECT_FALSE(sys_.KeyboardAcquired);
  ASSERT_FALSE(music_.Calls.empty());
  EXPECT_EQ(music_.Calls.back(), "stop");
  EXPECT_EQ(sound_.Foreground, std::vector<bool>{false});  // effects fall silent
  // The pause screen: every second row carries the pause line; the rows
  // between show the game.
  const uint32_t stripe = test_pack::MenuColor(mnuPauseLine);
  for (int32_t y : {0, 2, 100, 598}) {
    for (int32_t x : {0, 400, 799}) EXPECT_EQ(Pixel(x, y), stripe) << x << "," << y;
  }
  for (int32_t y : {1, 101, 599}) {
    for (int32_t x : {0, 400, 799}) {
      EXPECT_EQ(Pixel(x, y), game[static_cast<size_t>(y * 800 + x)]) << x << "," << y;
    }
  }
  // Back in the foreground: the menu track, the game stays paused.
  sys_.PushKind(TEventKind::Activate);
  form_->RunOnce();
  EXPECT_EQ(music_.Calls.back(), "play 1.xm");
  EXPECT_EQ(sound_.Foreground, (std::vector<bool>{false, true}));
  EXPECT_EQ(state_.GameState, gsPaused);
  EXPECT_TRUE(sys_.KeyboardAcquired);
}

TEST_F(FormFixture, FullScreenSkipsTheFirstMinimizeAfterStartAndAfterAWindowedSpell) {
  StartForm();
  Key(kEnter, true);  // full screen
  struct Step {
    TEventKind kind;
    int minimizes;  // total after the step
  };
  const Step steps[] = {
      {TEventKind::Deactivate, 0},  // first deactivation after start: no minimize
      {TEventKind::Activate, 0},   {TEventKind::Deactivate, 1},  // the next one minimizes
      {TEventKind::Activate, 1},   {TEventKind::Deactivate, 2},
  };
  for (const Step& step : steps) {
    form_->HandleEvent({.Kind = step.kind});
    EXPECT_EQ(sys_.MinimizeCount, step.minimizes);
  }
  // A windowed deactivation sets the skip again.
  Key(kEnter, true);
  form_->HandleEvent({.Kind = TEventKind::Deactivate});
  Key(kEnter, true);
  form_->HandleEvent({.Kind = TEventKind::Deactivate});
  EXPECT_EQ(sys_.MinimizeCount, 2);
  form_->HandleEvent({.Kind = TEventKind::Deactivate});
  EXPECT_EQ(sys_.MinimizeCount, 3);
}

TEST_F(FormFixture, CloseIsRefusedInGameStatesAndNeedsTheExitAnswerElsewhere) {
  struct Case {
    uint32_t state;
    bool confirmed;
    bool closes;
    uint32_t after;
  };
  const Case cases[] = {
      {gsIntro, true, false, gsIntro},
      {gsPlaying, true, false, gsPlaying},
      {gsPaused, true, false, gsPaused},
      {gsNameEntry, true, false, gsNameEntry},
      {gsSubmitAsk, true, false, gsSubmitAsk},
      {gsMainMenu, false, false, gsExitConfirm},
      {gsOptions, false, false, gsExitConfirm},
      {gsHighScores, false, false, gsExitConfirm},
      {gsAbout, false, false, gsExitConfirm},
      {gsQuitGame, false, false, gsExitConfirm},
      {gsConnectFailed, false, false, gsExitConfirm},
      {gsExitConfirm, true, true, gsExitConfirm},
      {gsMainMenu, true, true, gsExitConfirm},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << c.state << " confirmed " << c.confirmed);
    state_ = TShellState{};
    StartForm();
    state_.GameState = c.state;
    state_.ExitConfirmed = c.confirmed;
    form_->HandleEvent({.Kind = TEventKind::CloseRequest});
    EXPECT_EQ(form_->Closed(), c.closes);
    EXPECT_EQ(state_.GameState, c.after);
    form_.reset();
  }
}

TEST_F(FormFixture, MaximizeAndCaptionDoubleClickSwitchToFullScreen) {
  for (TEventKind kind : {TEventKind::MaximizeRequest, TEventKind::CaptionDoubleClick}) {
    state_ = TShellState{};
    StartForm();
    form_->HandleEvent({.Kind = kind});
    EXPECT_FALSE(state_.Settings.WindowedMode);
    ASSERT_FALSE(sys_.DisplayModes.empty());
    EXPECT_FALSE(sys_.DisplayModes.back());
    EXPECT_TRUE(TakesPointer());  // the rebuilt display is ready
    state_.GameState = gsOptions;
    ComposeFrame();
    EXPECT_FALSE(ShowsFirstChoice(0));
    form_.reset();
  }
}

// The window itself refuses the resize (rather than undoing one), as the
// form's rule says: not while windowed and ready.
TEST_F(FormFixture, ResizingIsRefusedOnlyForAReadyWindow) {
  StartForm();
  EXPECT_FALSE(form_->FormCanResize());
  EXPECT_FALSE(sys_.Resizable);
  form_->HandleEvent({.Kind = TEventKind::Deactivate});  // not ready in the background
  EXPECT_TRUE(form_->FormCanResize());
  form_->HandleEvent({.Kind = TEventKind::Activate});
  Key(kEnter, true);  // full screen
  EXPECT_TRUE(form_->FormCanResize());
  EXPECT_TRUE(sys_.Resizable);
  Key(kEnter, true);  // windowed again
  EXPECT_FALSE(sys_.Resizable);
}

TEST_F(MenuFixture, ADisplayRebuildKeepsThePausePicture) {
  Start();
  Key(kEnter);  // new game
  ComposeFrame();
  Key(kP);
  ComposeFrame();
  const std::vector<uint32_t> paused = sys_.LastFrame;
  Key(kEnter, true);  // full screen and back
  Key(kEnter, true);
  ComposeFrame();
  EXPECT_EQ(state_.GameState, gsPaused);
  EXPECT_TRUE(sys_.LastFrame == paused);
}

TEST_F(MenuFixture, ASurfaceLossReloadsEveryImageAndKeepsTheWidgetState) {
  Start();
  TypePlayerName("ANNA");
  Key(kDown);  // high scores
  Key(kDown);  // help
  ASSERT_EQ(state_.GameState, gsMainMenu);
  // Paint every loaded image black: only reading the pack again brings its
  // colours back.
  TImageSlots& images = TFormProbe::Images(*form_);
  auto allSlots = [&images] {
    std::vector<std::pair<int, TSurface*>> slots;
    for (int s = 0; s < kSpriteImageCount; ++s) slots.emplace_back(s, images.SpriteImages[s].get());
    for (int i = 0; i < kMenuImageCount; ++i)
      slots.emplace_back(kSpriteImageCount + i, images.MenuImages[i].get());
    return slots;
  };
  for (const auto& [index, surface] : allSlots()) {
    ASSERT_NE(surface, nullptr) << "pack image " << index;
    ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kDdOk);
  }

  images.MenuImages[mnuBackground]->SetLost(true);  // the background blit fails
  ComposeFrame();

  for (const auto& [index, surface] : allSlots()) {
    ASSERT_NE(surface, nullptr) << "pack image " << index;
    EXPECT_FALSE(surface->IsLost()) << "pack image " << index;
    EXPECT_EQ(surface->PixelAt(0, 0), test_pack::Color(index))
        << "pack image " << index << " read again";
  }
  EXPECT_EQ(W().OptionsGroup->NameEdit.Text, "ANNA");
  // The next frame draws the reloaded background and still highlights help.
  ComposeFrame();
  EXPECT_EQ(Pixel(5, 590), test_pack::MenuColor(mnuBackground));
  EXPECT_TRUE(ShowsHighlight(menu_layout::kMainMenu[3]));
}

TEST_F(FormFixture, StartUpWithoutConfigWritesTheDefaultFileAndPlaysTheMenuTrack) {
  StartForm();
  ASSERT_TRUE(std::filesystem::exists(ConfigPath()));
  const std::string bytes = test_kit::ReadText(ConfigPath());
  EXPECT_EQ(bytes.size(), 145u);
  EXPECT_EQ(bytes.substr(0, 5), std::string("\x01\x01\x01\x7B\x00", 5));
  EXPECT_EQ(state_.HiScores[0].Score, 1000);
  EXPECT_EQ(state_.HiScores[9].Score, 100);
  EXPECT_EQ(music_.Calls, std::vector<std::string>{"play 1.xm"});
  EXPECT_EQ(state_.GameState, gsIntro);
  EXPECT_TRUE(sys_.KeyboardAcquired);
  EXPECT_TRUE(TakesPointer());  // the display is ready
}

TEST_F(FormFixture, LoadedSettingsAreAppliedBeforeTheFirstFrame) {
  struct Case {
    bool windowed;
    bool music;
    bool sound;
    int32_t key;
    const char* name;
    const char* keyCaption;
  };
  const Case cases[] = {
      {true, false, true, 116, "ZOE", "F5"},
      {false, true, false, 80, "", "P"},
      {true, true, true, 123, "MAXIMILIAN", "F12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state_ = TShellState{};
    music_.Calls.clear();
    sys_.DisplayModes.clear();
    TOptions options;
    options.WindowedMode = c.windowed;
    options.MusicOn = c.music;
    options.SoundOn = c.sound;
    options.MinimizeKey = c.key;
    options.PlayerName = c.name;
    ASSERT_TRUE(TConfigFile(ConfigPath()).Save(options, DefaultHiScores()));

    StartForm();
    const TDDOptBtnCollection& group = *TFormProbe::Widgets(*form_).OptionsGroup;
    EXPECT_EQ(state_.Settings, options);
    EXPECT_EQ(sys_.DisplayModes, std::vector<bool>{c.windowed});
    EXPECT_EQ(group.NameEdit.TextLength, std::string(c.name).size());
    EXPECT_EQ(group.KeyButton.Caption, c.keyCaption);
    // Music off at start plays nothing.
    const std::vector<std::string> expected{c.music ? "play 1.xm" : "stop"};
    EXPECT_EQ(music_.Calls, expected);
    state_.GameState = gsOptions;
    ComposeFrame();
    EXPECT_EQ(ShowsFirstChoice(0), c.windowed);
    EXPECT_EQ(ShowsFirstChoice(1), c.music);
    EXPECT_EQ(ShowsFirstChoice(2), c.sound);
    form_.reset();
  }
}

TEST_F(FormFixture, AMissingPackStopsStartUpWithAMessageNamingTheFile) {
  TFormPaths paths;
  paths.PackPath = (dir_ / "Data" / "Data.pp").string();
  paths.ConfigPath = ConfigPath();
  form_ = std::make_unique<TForm1>(sys_, state_, SharedFonts(), sound_, music_, paths);
  try {
    form_->Create();
    FAIL() << "start-up went on without images";
  } catch (const std::exception& error) {
    EXPECT_NE(std::string(error.what()).find("Data.pp"), std::string::npos) << error.what();
  }
}

TEST_F(FormFixture, NoDisplayStopsStartUpWithAClearMessage) {
  sys_.DisplayAvailable = false;
  MakeForm();
  try {
    form_->Create();
    FAIL() << "start-up went on without a display";
  } catch (const std::exception& error) {
    EXPECT_EQ(std::string(error.what()), sys_.DisplayError);
  }
}

TEST_F(MenuFixture, RestoringTheWindowPutsItBackOrRebuildsTheFullScreen) {
  struct Case {
    bool windowed;
    uint32_t gameState;
    size_t displayModes;  // SetDisplayMode calls after the restore
    int showNormal;
    uint32_t after;
  };
  const Case cases[] = {
      {true, gsMainMenu, 1, 0, gsMainMenu},
      {false, gsMainMenu, 2, 1, gsMainMenu},
      {false, gsPlaying, 2, 1, gsPaused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "windowed " << c.windowed << " state " << c.gameState);
    state_ = TShellState{};
    state_.Settings.WindowedMode = c.windowed;
    TOptions options;
    options.WindowedMode = c.windowed;
    ASSERT_TRUE(TConfigFile(ConfigPath()).Save(options, DefaultHiScores()));
    sys_ = FakePlatform{};
    Start();
    if (c.gameState == gsPlaying) Key(kEnter);  // new game
    ASSERT_EQ(state_.GameState, c.gameState);
    sys_.Window = {40, 50, 846, 679};
    form_->HandleEvent({.Kind = TEventKind::Deactivate});
    sys_.Window = {0, 0, 806, 629};  // the minimized window went elsewhere
    form_->HandleEvent({.Kind = TEventKind::Minimize});
    form_->HandleEvent({.Kind = TEventKind::Restore});
    EXPECT_EQ(sys_.DisplayModes.size(), c.displayModes);
    EXPECT_EQ(sys_.ShowNormalCount, c.showNormal);
    EXPECT_EQ(state_.GameState, c.after);
    EXPECT_TRUE(TakesPointer());  // the display is ready again
    EXPECT_EQ(sys_.Window.Left, c.windowed ? 40 : 0);
    form_.reset();
  }
}

TEST_F(FormFixture, ActivationRestartsTheTrackOfTheCurrentScreen) {
  struct Case {
    bool music;
    uint32_t gameState;
    const char* call;
  };
  const Case cases[] = {
      {true, gsMainMenu, "play 1.xm"},
      {true, gsPaused, "play 1.xm"},
      {true, gsPlaying, "play 2.xm"},
      {false, gsPlaying, "stop"},
  };
  StartForm();
  for (const Case& c : cases) {
    state_.Settings.MusicOn = c.music;
    state_.GameState = c.gameState;
    form_->HandleEvent({.Kind = TEventKind::Activate});
    EXPECT_EQ(music_.Calls.back(), c.call);
    EXPECT_EQ(state_.MouseActive, -1);
  }
}
