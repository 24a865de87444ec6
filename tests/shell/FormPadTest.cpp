// The gamepad on the fake platform: menus, the game and the name entry played
// by pad alone, hot-plug, the dead zone and key-like repeat.
#include <algorithm>
#include <functional>

#include "game/GameStates.h"
#include "game/MyShip.h"
#include "settings/HiScores.h"
#include "shell/FormFixture.h"
#include "shell/FormProbe.h"

namespace {

class PadTest : public FormFixture {
 protected:
  // One pass of the loop: pending events, then a frame (the fake clock moves on).
  void Pass() { form_->RunOnce(); }
  void Passes(int n) {
    for (int i = 0; i < n; ++i) Pass();
  }
  bool PassUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit && !done(); ++i) Pass();
    return done();
  }
  void Tap(TPadButton button) {
    sys_.PressPad(button);
    sys_.ReleasePad(button);
    Pass();
  }
  TGame& Game() { return *state_.CurrentGame; }
  int32_t MenuItem() { return TFormProbe::Widgets(*form_).MainMenuGroup->Current; }
  int ShipX() { return Game().Ship->X; }
  double GunAngle() { return Game().Ship->Guns[0]->Angle; }
  // From the intro to the first level's play, by pad.
  void StartGameByPad() {
    StartForm();
    sys_.PlugPad();
    Tap(TPadButton::A);  // ends the intro
    ASSERT_EQ(state_.GameState, gsMainMenu);
    ASSERT_EQ(MenuItem(), 0);
    Tap(TPadButton::A);  // New Game
    ASSERT_EQ(state_.GameState, gsPlaying);
    ASSERT_TRUE(PassUntil([&] { return Game().Phase == phPlay; }, 2000));
  }
  // From the main menu's New Game to the name entry of a game quit with `score`.
  void QuitGameWithScore(int32_t score) {
    Tap(TPadButton::A);
    ASSERT_EQ(state_.GameState, gsPlaying);
    Game().Score = score;
    Game().Phase = phGameOver;  // as the quit question's Yes leaves it
    ASSERT_TRUE(PassUntil([&] { return state_.GameState == gsNameEntry; }, 1000));
  }
};

}  // namespace

TEST_F(PadTest, AWholeGamePlayedByPadAlone) {
  StartGameByPad();

  // Steer with the stick and the D-pad, aim, fire.
  const int x0 = ShipX();
  sys_.MovePadAxis(TPadAxis::LeftX, -32768);
  Passes(5);
  EXPECT_EQ(ShipX(), x0 - 30);
  sys_.MovePadAxis(TPadAxis::LeftX, 0);
  sys_.PressPad(TPadButton::DpadRight);
  Passes(2);
  sys_.ReleasePad(TPadButton::DpadRight);
  EXPECT_EQ(ShipX(), x0 - 18);
  const double angle = GunAngle();
  sys_.MovePadAxis(TPadAxis::LeftY, -32768);  // stick up turns the gun like the Up key
  Passes(3);
  sys_.MovePadAxis(TPadAxis::LeftY, 0);
  EXPECT_NEAR(GunAngle(), angle + 0.09, 1e-9);
  const size_t sounds = sound_.Calls.size();
  sys_.PressPad(TPadButton::A);
  Passes(2);
  sys_.ReleasePad(TPadButton::A);
  EXPECT_GT(sound_.Calls.size(), sounds);  // the gun's report
  EXPECT_EQ(state_.GameState, gsPlaying);  // A is the trigger here, not Enter

  // Change the weapon (one with ammunition), pause and resume.
  Game().Ammo[1] = 20;
  Tap(TPadButton::RightShoulder);
  EXPECT_EQ(Game().Weapon, 1);
  Tap(TPadButton::Y);
  EXPECT_EQ(Game().Weapon, 0);
  Tap(TPadButton::Start);
  EXPECT_EQ(state_.GameState, gsPaused);
  Tap(TPadButton::Start);
  EXPECT_EQ(state_.GameState, gsPlaying);

  // The last ship, nearly sunk, waits for the enemy; each hit and the loss rumble.
  Game().Lives = 1;
  Game().Health = 1;
  Game().Score = 5000;
  ASSERT_TRUE(PassUntil([&] { return state_.GameState == gsNameEntry; }, 20000));
  ASSERT_GE(sys_.Rumbles.size(), 2u);
  EXPECT_LT(sys_.Rumbles.front().Ms, sys_.Rumbles.back().Ms);  // a hit, then the loss

  // The name by pad: B (up twice), next letter, Z (down once), then Start.
  const TDDEdit& field = *TFormProbe::Widgets(*form_).NameField;
  ASSERT_EQ(field.Text, "");
  sys_.PressPad(TPadButton::DpadUp);
  sys_.ReleasePad(TPadButton::DpadUp);
  sys_.MovePadAxis(TPadAxis::LeftY, -20000);
  sys_.MovePadAxis(TPadAxis::LeftY, 0);
  Pass();
  Tap(TPadButton::A);  // on a letter: the caret moves on
  Tap(TPadButton::DpadDown);
  Tap(TPadButton::DpadLeft);
  Tap(TPadButton::DpadUp);  // the first letter again: B -> C
  EXPECT_EQ(field.Caret, 0);
  Tap(TPadButton::DpadRight);
  Tap(TPadButton::DpadRight);
  Tap(TPadButton::A);  // after the last letter: Ok
  EXPECT_EQ(state_.GameState, gsSubmitAsk);
  const auto entry = std::find_if(state_.HiScores.begin(), state_.HiScores.end(),
                                  [](const auto& e) { return e.Score == 5000; });
  ASSERT_NE(entry, state_.HiScores.end());
  std::string name = entry->Name;
  std::transform(name.begin(), name.end(), name.begin(), ::toupper);
  EXPECT_EQ(name, "CZ");
}

TEST_F(PadTest, NameEntryByPadBCancelsAndStartConfirms) {
  StartForm();
  sys_.PlugPad();
  Tap(TPadButton::A);  // ends the intro
  QuitGameWithScore(5000);
  Tap(TPadButton::DpadDown);  // Z
  Tap(TPadButton::B);
  EXPECT_EQ(state_.GameState, gsMainMenu);
  EXPECT_EQ(state_.HiScores, DefaultHiScores());

  Tap(TPadButton::DpadUp);  // from High Scores back to New Game
  Tap(TPadButton::DpadUp);
  QuitGameWithScore(5000);
  Tap(TPadButton::DpadDown);  // the caret still stands on the Z: Y
  Tap(TPadButton::Start);
  EXPECT_EQ(state_.GameState, gsSubmitAsk);
  EXPECT_EQ(state_.HiScores[0].Score, 5000);
  EXPECT_EQ(state_.HiScores[0].Name, "Y");
}

TEST_F(PadTest, APadUnpluggedMidGameStopsSteeringAndTheKeysGoOn) {
  StartGameByPad();
  const int x0 = ShipX();
  sys_.MovePadAxis(TPadAxis::LeftX, 32767);
  Passes(3);
  EXPECT_EQ(ShipX(), x0 + 18);
  sys_.UnplugPad();  // with the stick still held
  Passes(3);
  EXPECT_EQ(ShipX(), x0 + 18);
  sys_.SetKey(dik::kLeft, true);
  Passes(2);
  sys_.SetKey(dik::kLeft, false);
  EXPECT_EQ(ShipX(), x0 + 6);
  sys_.PushKey(80);  // P still pauses
  Pass();
  EXPECT_EQ(state_.GameState, gsPaused);

  // Plugged in again mid-game: it steers at once.
  sys_.PushKey(80);
  sys_.PlugPad();
  sys_.PressPad(TPadButton::DpadLeft);
  Passes(2);
  EXPECT_EQ(ShipX(), x0 - 6);
}

TEST_F(PadTest, TheStickCountsBeyondAQuarterOfItsTravel) {
  struct Case {
    int16_t value;
    int moved;
  };
  const Case cases[] = {{0, 0}, {8000, 0}, {-8000, 0}, {8300, 6}, {-8300, -6}, {32767, 6}};
  StartGameByPad();
  for (const Case& c : cases) {
    const int x = ShipX();
    sys_.MovePadAxis(TPadAxis::LeftX, c.value);
    Pass();
    EXPECT_EQ(ShipX() - x, c.moved) << c.value;
  }
}

TEST_F(PadTest, AHeldDirectionRepeatsLikeAKeyInTheMenusUntilReleasedOrUnplugged) {
  StartForm();
  sys_.PlugPad();
  state_.GameState = gsMainMenu;
  sys_.MovePadAxis(TPadAxis::LeftY, 8000);  // inside the dead zone
  Pass();
  EXPECT_EQ(MenuItem(), 0);
  sys_.MovePadAxis(TPadAxis::LeftY, 20000);  // one step at once
  Pass();
  EXPECT_EQ(MenuItem(), 1);
  sys_.MovePadAxis(TPadAxis::LeftY, 30000);  // further along: the same push
  Pass();
  EXPECT_EQ(MenuItem(), 1);
  // 16 ms passes: nothing more until 400 ms, then one step per 100 ms.
  Passes(23);
  EXPECT_EQ(MenuItem(), 1);
  Passes(3);
  EXPECT_EQ(MenuItem(), 2);
  Passes(7);
  EXPECT_EQ(MenuItem(), 3);
  sys_.MovePadAxis(TPadAxis::LeftY, 0);
  Passes(40);
  EXPECT_EQ(MenuItem(), 3);

  sys_.PressPad(TPadButton::DpadUp);
  Pass();
  EXPECT_EQ(MenuItem(), 2);
  sys_.UnplugPad();  // the held D-pad goes with it
  Passes(40);
  EXPECT_EQ(MenuItem(), 2);
  sys_.PushKey(40);  // Down
  Pass();
  EXPECT_EQ(MenuItem(), 3);
}

TEST_F(PadTest, ButtonsActLikeTheirKeysOnEachScreen) {
  struct Case {
    uint32_t from;
    TPadButton button;
    uint32_t to;
  };
  const Case cases[] = {
      {gsMainMenu, TPadButton::Start, gsExitConfirm},
      {gsMainMenu, TPadButton::B, gsExitConfirm},
      {gsExitConfirm, TPadButton::B, gsMainMenu},
      {gsOptions, TPadButton::B, gsMainMenu},
      {gsHighScores, TPadButton::B, gsMainMenu},
      {gsHelpControls, TPadButton::Back, gsMainMenu},
      {gsKeyCapture, TPadButton::A, gsKeyCapture},
      {gsKeyCapture, TPadButton::B, gsOptions},
      {gsIntro, TPadButton::Start, gsMainMenu},
      {gsIntro, TPadButton::X, gsIntro},
  };
  StartForm();
  sys_.PlugPad();
  for (const Case& c : cases) {
    state_.GameState = c.from;
    const int32_t key = state_.Settings.MinimizeKey;
    Tap(c.button);
    EXPECT_EQ(state_.GameState, c.to) << c.from << " button " << static_cast<int>(c.button);
    EXPECT_EQ(state_.Settings.MinimizeKey, key);
  }
}
