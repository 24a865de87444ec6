#pragma once

#include <cstdint>
#include <memory>

#include "game/Game.h"
#include "game/GameStates.h"
#include "platform/Platform.h"
#include "settings/HiScores.h"
#include "settings/Options.h"

// What the game's design calls its globals: one object, created before the
// form and handed to it by reference, so two forms never share state and a
// test can build as many as it likes. The form's own flags live in TForm1.
struct TShellState {
  // Current screen (a GameStates code).
  uint32_t GameState = gsIntro;
  // The settings and the high-score table (loaded from "Config.cfg" at start-up).
  TOptions Settings;
  THiScoreTable HiScores{};
  // The running or last game session; the name entry reads its Score.
  std::unique_ptr<TGame> CurrentGame;

  bool FirstCreate = true;     // the first creation pass has not run yet
  bool SkipMinimize = true;    // the next full-screen deactivation does not minimize
  bool ExitConfirmed = false;  // the exit question was answered Yes
  uint16_t DesktopWidth = 0;   // screen size at the first creation pass
  uint16_t DesktopHeight = 0;

  // Last pointer position in frame pixels (updated only while the display is ready).
  int32_t MouseX = 0;
  int32_t MouseY = 0;
  // Keyboard snapshot by DirectInput code, read on every pass of the loop.
  TKeyboardSnapshot KeyboardState{};
  // Window rectangle remembered at a windowed deactivation.
  TRect SavedWindowRect{};
  // Slide position of the intro banner, in pixels.
  uint32_t IntroOffset = 0;

  // Ticks in ms with 32-bit wrap-around.
  uint32_t FrameStartTick = 0;  // start of the current loop pass
  uint32_t LastFrameTick = 0;   // after the last frame was presented

  // A 32-bit boolean holding 0 or -1, as the widgets read it: the mouse was
  // the last input used.
  int32_t MouseActive = 0;
};

// The 32-bit boolean values of MouseActive and the form's DisplayReady.
inline constexpr int32_t kTrue32 = -1;
inline constexpr int32_t kFalse32 = 0;
