#pragma once

#include <cstdint>

#include "platform/Platform.h"

// Everything the game logic reads in one frame. The shell fills it from the
// devices and its own commands; a replay fills it from a file. Nothing else
// reaches the logic, so a recorded game plays again to the same state.
//
// The devices are kept as the logic reads them: which of its keys are down,
// which way the mouse moved, which of its pad directions lean. A change to
// what the logic reads changes this struct, the replay format and the logic
// version together.
struct TFrameInput {
  uint32_t Ms = 0;            // clock step since the previous frame, in ms
  uint8_t Keys = 0;           // TInputKey bits: the keyboard keys the ship reads
  int8_t MouseX = 0;          // direction of the relative motion: -1, 0 or 1
  int8_t MouseY = 0;          // (positive y is away from the player)
  uint8_t MouseButtons = 0;   // bit i: mouse button i down
  uint8_t Pad = 0;            // TInputPad bits: the pad as the ship reads it
  uint8_t WeaponChanges = 0;  // Space, wheel or pad shoulder presses since the last frame
  bool Quit = false;          // the quit question was answered Yes

  friend bool operator==(const TFrameInput&, const TFrameInput&) = default;
};

// Bits of TFrameInput::Keys.
enum TInputKey : uint8_t {
  kInputLeft = 1,
  kInputRight = 2,
  kInputUp = 4,
  kInputDown = 8,
  kInputLeftControl = 16,
  kInputRightControl = 32,
};

// Bits of TFrameInput::Pad: a direction leans when its D-pad button is down or
// its stick is beyond the dead zone; fire is A or the right trigger.
enum TInputPad : uint8_t {
  kPadLeanLeft = 1,
  kPadLeanRight = 2,
  kPadLeanUp = 4,
  kPadLeanDown = 8,
  kPadFire = 16,
};

// The devices as the logic reads them; the clock step and the commands are
// left at zero for the caller to fill in.
TFrameInput ReadDevices(const TKeyboardSnapshot& keys, const TMouseState& mouse,
                        const TPadState& pad);
