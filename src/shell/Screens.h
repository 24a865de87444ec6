#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/Surface.h"
#include "platform/Platform.h"
#include "shell/PadNavigator.h"

class TForm1;

// What lies under a screen's picture; the frame is cleared first only when
// the screen does not cover it.
enum class TScreenBackdrop : uint8_t {
  None,      // the screen draws on the cleared frame
  Picture,   // the full-frame menu background
  Snapshot,  // the frozen picture of the game
  Game,      // the running game's frame
  Replay,    // the watched game's frame, its paused picture or the last one kept
};

// What the window's close request does on a screen.
enum class TScreenClose : uint8_t {
  Refused,  // nothing: the screen ends first (the game, the result's questions)
  Asks,     // the exit question; the program ends once it was answered Yes
  // The watching ends: the program with it when the replay was what it was
  // started for, else the exit question follows.
  EndsWatching,
};

// The widget groups a screen shows and takes clicks on (bits of Buttons).
enum : uint16_t {
  kMainMenuButtons = 1U << 0U,
  kHighScoreButtons = 1U << 1U,
  kHelpButtons = 1U << 2U,
  kOptionsButtons = 1U << 3U,  // the toggles, the name field and the key button
  kYesNoButtons = 1U << 4U,
  kOkCancelButtons = 1U << 5U,
  kTableRows = 1U << 6U,  // the high-score rows: a click watches the row's replay
};

// A pad button that stands for a key on a screen.
struct TPadKey {
  TPadButton Button;
  uint16_t Key = 0;
};

// One screen of the game: everything that differs from one GameState to the
// next. The form looks up the current screen's row for each frame and event
// and calls the row's handlers; a null handler means the screen ignores that
// input. Handlers ask for another screen through the form; the change takes
// effect when the event or frame being handled ends.
struct TScreen {
  uint32_t State = 0;
  TScreenBackdrop Backdrop = TScreenBackdrop::None;
  // Composes the screen into the back buffer.
  void (TForm1::*Draw)(TSurface&) = nullptr;
  // Every key but Esc (after the Alt and minimize keys).
  void (TForm1::*Key)(uint16_t) = nullptr;
  // Esc; null: Key receives it too.
  void (TForm1::*Escape)() = nullptr;
  void (TForm1::*Click)() = nullptr;
  // One notch of the wheel, either way.
  void (TForm1::*Wheel)() = nullptr;
  // Pad buttons: PadPress when set, else the keys PadKeys names.
  std::span<const TPadKey> PadKeys{};
  void (TForm1::*PadPress)(TPadButton) = nullptr;
  // A push (or repeat) of the D-pad or the stick.
  void (TForm1::*PadMove)(TPadDirection) = nullptr;
  // The screen's own choice (Enter, a click): returns whether its group was
  // chosen. Screens that show the main menu try the main menu next.
  bool (TForm1::*Command)() = nullptr;
  TScreenClose Close = TScreenClose::Asks;
  uint16_t Buttons = 0;
};

// Every screen, one row per GameState.
std::span<const TScreen> ScreenTable();

// The row of `state`; a value that is never set gets a row that draws and
// does nothing.
const TScreen& FindScreen(uint32_t state);

// One clickable rectangle of a screen: its group bit and its place in the group.
struct TScreenButton {
  uint16_t Group = 0;
  int Index = 0;
  TRect Rect{};
};
std::vector<TScreenButton> ScreenButtons(const TScreen& screen);
