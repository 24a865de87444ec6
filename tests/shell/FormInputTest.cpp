// Keys, mouse and wheel driving the screens: scripted on the fake platform.

#include <string>

#include "game/GameStates.h"
#include "game/GameTables.h"
#include "shell/FormFixture.h"

namespace {

constexpr uint16_t kBack = 8, kEnter = 13, kEsc = 27, kSpace = 32;
constexpr uint16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr uint16_t kN = 78, kP = 80, kY = 89;
constexpr uint16_t kF5 = 116, kF12 = 123;

class InputTest : public MenuFixture {
 protected:
  // From the main menu with its first item current.
  void StartGame() {
    Key(kEnter);
    ASSERT_EQ(state_.GameState, gsPlaying);
    ASSERT_TRUE(state_.CurrentGame);
  }
};

}  // namespace

TEST_F(InputTest, AltStallsWithTheKeyboardReleasedAndOnlyAltEnterSwitchesTheDisplay) {
  Start();
  const struct {
    uint16_t key;
    bool windowedAfter;
  } cases[] = {{18, true}, {kEsc, true}, {kEnter, false}, {kEnter, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    sys_.Sleeps.clear();
    const uint32_t stateBefore = state_.GameState;
    Key(c.key, true);
    EXPECT_EQ(sys_.Sleeps, (std::vector<uint32_t>{150, 150}));
    EXPECT_TRUE(sys_.KeyboardAcquired);
    EXPECT_EQ(state_.Settings.WindowedMode, c.windowedAfter);
    EXPECT_EQ(state_.GameState, stateBefore);  // Alt+Esc does not leave the menu
  }
}

TEST_F(InputTest, TheMinimizeKeyMinimizesInEveryStateAndNothingElseHappens) {
  Start();
  const uint32_t states[] = {gsIntro,       gsMainMenu,    gsOptions,    gsHighScores, gsHelpStory,
                             gsExitConfirm, gsKeyCapture,  gsNameEntry,  gsSubmitAsk,  gsQuitGame,
                             gsPaused,      gsClearScores, gsSubmitting, gsAbout};
  for (uint32_t s : states) {
    SCOPED_TRACE(s);
    state_.GameState = s;
    state_.MouseActive = kTrue32;
    const int before = sys_.MinimizeCount;
    Key(kF12);
    EXPECT_EQ(sys_.MinimizeCount, before + 1);
    EXPECT_EQ(state_.GameState, s);
    EXPECT_EQ(state_.MouseActive, kFalse32);
  }
}

TEST_F(InputTest, ChoosingANewMinimizeKeyRejectsBadKeysAndTakesOthers) {
  Start();
  Key(kDown);  // options
  Key(kEnter);
  Key(kUp);  // the key button
  Key(kEnter);
  ASSERT_EQ(state_.GameState, gsKeyCapture);
  EXPECT_EQ(W().OptionsGroup->KeyButton.Caption, "...");
  for (uint16_t bad : {uint16_t{16}, uint16_t{17}, uint16_t{18}, uint16_t{48}}) {
    Key(bad);
    EXPECT_EQ(state_.GameState, gsKeyCapture) << bad;
    EXPECT_EQ(state_.Settings.MinimizeKey, kF12);
  }
  Key(kF5);
  EXPECT_EQ(state_.GameState, gsOptions);
  EXPECT_EQ(state_.Settings.MinimizeKey, kF5);
  EXPECT_EQ(W().OptionsGroup->KeyButton.Caption, "F5");
  // From now on F5 minimizes, and Esc chosen as the key stops leaving screens.
  const int before = sys_.MinimizeCount;
  Key(kF5);
  EXPECT_EQ(sys_.MinimizeCount, before + 1);
}

TEST_F(InputTest, MainMenuKeysMoveWrapAndConfirm) {
  Start();
  Key(kUp);
  EXPECT_TRUE(ShowsHighlight(menu_layout::kMainMenu[5]));
  Key(kRight);
  EXPECT_TRUE(ShowsHighlight(menu_layout::kMainMenu[0]));
  Key(kDown);
  Key(kDown);
  Key(kSpace);  // high scores
  EXPECT_EQ(state_.GameState, gsHighScores);
  Key(kEsc);
  EXPECT_EQ(state_.GameState, gsMainMenu);
  Key(kEsc);  // the close request becomes the exit question
  EXPECT_EQ(state_.GameState, gsExitConfirm);
  EXPECT_FALSE(form_->Closed());
}

TEST_F(InputTest, ExitQuestionAnswers) {
  const struct {
    const char* name;
    bool selectNo;
    uint16_t key;
    bool closes;
  } cases[] = {
      {"Enter on Yes", false, kEnter, true},
      {"Y on Yes", false, kY, true},
      {"Y on No answers No", true, kY, false},
      {"Enter on No", true, kEnter, false},
      {"N", false, kN, false},
      {"Esc", false, kEsc, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    state_ = TShellState{};
    Start();
    Key(kEsc);   // the exit question
    Key(kLeft);  // Yes
    if (c.selectNo) Key(kRight);
    Key(c.key);
    EXPECT_EQ(form_->Closed(), c.closes);
    EXPECT_EQ(state_.ExitConfirmed, c.closes);
    if (!c.closes) {
      EXPECT_EQ(state_.GameState, gsMainMenu);
    }
  }
}

TEST_F(InputTest, PauseAndResumeDuringPlay) {
  Start();
  StartGame();
  ComposeFrame();
  Key(kP);
  EXPECT_EQ(state_.GameState, gsPaused);
  Key(kEsc);
  EXPECT_EQ(state_.GameState, gsPlaying);
  Key(kP);
  Key(kP);
  EXPECT_EQ(state_.GameState, gsPlaying);
}

TEST_F(InputTest, QuitQuestionDuringPlay) {
  Start();
  StartGame();
  state_.CurrentGame->Phase = phPlay;
  // Esc outside phPlay does nothing.
  state_.CurrentGame->Phase = phLevelIntro;
  Key(kEsc);
  EXPECT_EQ(state_.GameState, gsPlaying);
  state_.CurrentGame->Phase = phPlay;
  const int cursor = sys_.CursorCounter;
  Key(kEsc);
  EXPECT_EQ(state_.GameState, gsQuitGame);
  EXPECT_EQ(sys_.CursorCounter, cursor + 1);
  Key(kN);  // back to the game, pointer hidden again
  EXPECT_EQ(state_.GameState, gsPlaying);
  EXPECT_EQ(sys_.CursorCounter, cursor);
  Key(kEsc);
  Key(kLeft);
  Key(kEnter);  // Yes: the session ends at its next frame
  EXPECT_EQ(state_.GameState, gsPlaying);
  ComposeFrame();
  EXPECT_EQ(state_.CurrentGame->Phase, phGameOver);
}

TEST_F(InputTest, SpaceAndEachWheelNotchCycleThroughWeaponsWithAmmunition) {
  Start();
  StartGame();
  TGame& game = *state_.CurrentGame;
  game.Phase = phPlay;
  game.Ammo = {};
  game.Weapon = 0;
  // Each change reaches the game with its next frame.
  Key(kSpace);
  ComposeFrame();
  EXPECT_EQ(game.Weapon, 0);  // nothing else to choose
  game.Ammo[2] = 3;
  game.Ammo[4] = 1;
  // Space, then wheel events of one notch either way, then several notches in
  // one event: each notch is one change.
  const struct {
    int32_t wheel;  // 0: Space
    int8_t weapon;
  } steps[] = {{0, 2}, {0, 4}, {0, 0}, {0, 2}, {-120, 4}, {120, 0}, {240, 4}, {-360, 4}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.wheel);
    step.wheel == 0 ? Key(kSpace) : Wheel(step.wheel);
    ComposeFrame();
    EXPECT_EQ(game.Weapon, step.weapon);
  }
  // Outside phPlay neither Space nor the wheel changes the weapon.
  game.Phase = phBetween;
  Key(kSpace);
  Wheel(120);
  ComposeFrame();
  EXPECT_EQ(game.Weapon, 4);
}

TEST_F(InputTest, MouseClicksDuringPlayNeverReachTheMenus) {
  Start();
  StartGame();
  // Enter counted the main menu as clicked; a press outside every button
  // would clear that, were the menus asked.
  ASSERT_TRUE(W().MainMenuGroup->Clicked);
  const TGame* game = state_.CurrentGame.get();
  Click(790, 590);
  EXPECT_EQ(state_.GameState, gsPlaying);
  EXPECT_EQ(state_.CurrentGame.get(), game);
  EXPECT_TRUE(W().MainMenuGroup->Clicked);
}

TEST_F(InputTest, MouseMovementIsStoredOnlyWhileTheDisplayIsReady) {
  StartForm();
  form_->HandleEvent({.Kind = TEventKind::Deactivate});  // not ready in the background
  sys_.PushMouseMove(10, 20);
  Deliver();
  EXPECT_EQ(state_.MouseActive, kTrue32);
  EXPECT_NE(state_.MouseX, 10);
  EXPECT_FALSE(W().OptionsGroup->MouseHover);
  form_->HandleEvent({.Kind = TEventKind::Activate});
  sys_.PushMouseMove(10, 20);
  Deliver();
  EXPECT_EQ(state_.MouseX, 10);
  EXPECT_EQ(state_.MouseY, 20);
  EXPECT_TRUE(W().OptionsGroup->MouseHover);
}

TEST_F(InputTest, OptionsKeysChooseSidesAndTypeTheName) {
  Start();
  Key(kDown);  // options
  Key(kEnter);
  const TDDOptBtnCollection& options = *W().OptionsGroup;
  Key(kDown);  // the music row, on its choice: on
  ASSERT_EQ(options.Cursor, 2);
  Key(kRight);  // music off
  EXPECT_FALSE(state_.Settings.MusicOn);
  EXPECT_EQ(music_.Calls.back(), "stop");
  Key(kLeft);
  EXPECT_TRUE(state_.Settings.MusicOn);
  EXPECT_EQ(music_.Calls.back(), "play 1.xm");
  Key(kEnter);  // Enter flips the focused toggle
  EXPECT_FALSE(state_.Settings.MusicOn);
  Key(kDown);  // sound row, on its current choice
  EXPECT_EQ(options.Cursor, 4);
  Key(kDown);
  EXPECT_EQ(options.Cursor, 6);
  ComposeFrame();  // the draw focuses the field
  Key(65);         // not editing yet: typing is ignored
  EXPECT_EQ(options.NameEdit.Text, "");
  Key(kEnter);  // start editing
  EXPECT_TRUE(options.NameEdit.Editing);
  for (uint16_t k : {uint16_t{'J'}, uint16_t{'O'}, uint16_t{'5'}, uint16_t{'E'}, kBack}) Key(k);
  EXPECT_EQ(options.NameEdit.Text, "JO");
  Key(kEsc);
  EXPECT_EQ(state_.GameState, gsMainMenu);
}
