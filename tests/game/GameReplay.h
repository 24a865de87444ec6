#pragma once

#include <cstdint>
#include <vector>

#include "game/GameChecksum.h"
#include "game/GameRig.h"

// A whole game as a scripted player: a seed plus each frame's keyboard
// snapshot, mouse state and weapon changes, with the game's state checksum
// after every frame.

struct TReplayFrame {
  TKeyboardSnapshot Keys{};
  TMouseState Mouse{};
  bool NextWeapon = false;  // Space or the wheel, as the shell handles it
  uint32_t Ms = 16;         // clock step before the frame
};

// Player-like input: held intentions that change every few frames.
inline std::vector<TReplayFrame> MakeReplayScript(uint64_t seed, int frames) {
  TRandom script(seed ^ 0x5A5A5A5Aull);
  std::vector<TReplayFrame> out(static_cast<size_t>(frames));
  uint32_t hold = 0;
  uint32_t move = 0;
  uint32_t aim = 0;
  bool fire = false;
  bool useMouse = false;
  for (auto& frame : out) {
    if (hold == 0) {
      hold = 5 + script.Random(40);
      move = script.Random(3);
      aim = script.Random(3);
      const uint32_t fireRoll = script.Random(4);
      fire = fireRoll != 0;
      useMouse = script.Random(3) == 0;
    }
    --hold;
    if (useMouse) {
      frame.Mouse.X = move == 1 ? -3 : move == 2 ? 4 : 0;
      frame.Mouse.Y = aim == 1 ? 2 : aim == 2 ? -2 : 0;
      frame.Mouse.Buttons[0] = fire ? 0x80 : 0;
    } else {
      frame.Keys[dik::kLeft] = move == 1 ? 0x80 : 0;
      frame.Keys[dik::kRight] = move == 2 ? 0x80 : 0;
      frame.Keys[dik::kUp] = aim == 1 ? 0x80 : 0;
      frame.Keys[dik::kDown] = aim == 2 ? 0x80 : 0;
      frame.Keys[dik::kLeftControl] = fire ? 0x80 : 0;
    }
    frame.NextWeapon = script.Random(90) == 0;
    // The real clock's 15.625 ms steps: mostly 16, sometimes 15, now and then a stall.
    const uint32_t jitter = script.Random(16);
    frame.Ms = jitter == 0 ? 47 : (jitter < 6 ? 15 : 16);
  }
  return out;
}

// Plays one frame of the script on the rig, as the shell would.
inline void PlayReplayFrame(TGameRig& rig, const TReplayFrame& frame) {
  rig.Keys = frame.Keys;
  rig.Sys.QueueMouse(frame.Mouse);
  if (frame.NextWeapon) ++rig.WeaponChanges;
  rig.Frame(frame.Ms);
}
