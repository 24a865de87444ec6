#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "game/GameRig.h"

// A whole game as a replay: a seed plus each frame's keyboard snapshot, mouse
// state and the shell's weapon cycling, with a checksum of the game state
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

// The shell's weapon cycling.
inline void NextWeapon(TGame& game) {
  if (game.Weapon > 3) {
    game.Weapon = 0;
    return;
  }
  for (int w = game.Weapon + 1; w < kWeaponCount; ++w) {
    if (game.Ammo[static_cast<size_t>(w)] >= 1) {
      game.Weapon = static_cast<int8_t>(w);
      return;
    }
  }
  game.Weapon = 0;
}

class TChecksum {
 public:
  template <typename T>
  void Add(const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 0x100000001B3ull;
  }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 0xCBF29CE484222325ull;
};

inline void AddGun(TChecksum& sum, const TGunner& gun) {
  sum.Add(gun.Angle);
  sum.Add(gun.ShotCount);
  sum.Add(gun.FireType);
  sum.Add(gun.LastShot);
  for (const auto& shot : gun.Shots) {
    sum.Add(static_cast<bool>(shot));
    if (!shot) continue;
    sum.Add(shot->Kind);
    sum.Add(shot->X);
    sum.Add(shot->Y);
    sum.Add(shot->Angle);
  }
}

// Everything the game's behaviour depends on, in slot order.
inline uint64_t GameChecksum(const TGame& game) {
  TChecksum sum;
  sum.Add(game.Level);
  sum.Add(game.Score);
  sum.Add(game.Kills);
  sum.Add(game.Phase);
  sum.Add(game.Lives);
  sum.Add(game.Health);
  sum.Add(game.Weapon);
  for (uint16_t ammo : game.Ammo) sum.Add(ammo);
  sum.Add(game.Ship->X);
  sum.Add(game.Ship->Y);
  sum.Add(game.Ship->Frame);
  for (const auto& gun : game.Ship->Guns) AddGun(sum, *gun);
  sum.Add(game.Fleet->Count);
  for (const auto& enemy : game.Fleet->Ships) {
    sum.Add(static_cast<bool>(enemy));
    if (!enemy) continue;
    sum.Add(enemy->Kind);
    sum.Add(enemy->X);
    sum.Add(enemy->Y);
    sum.Add(enemy->Drift);
    sum.Add(enemy->HitPoints);
    sum.Add(enemy->Freeze);
    sum.Add(enemy->Frame);
    sum.Add(enemy->LifeBar->Visible);
    AddGun(sum, *enemy->Gun);
  }
  for (const auto& island : game.Islands) {
    sum.Add(static_cast<bool>(island));
    if (!island) continue;
    sum.Add(island->Kind);
    sum.Add(island->Y);
  }
  for (const auto& hit : game.Hits) {
    sum.Add(static_cast<bool>(hit));
    if (!hit) continue;
    sum.Add(hit->Kind);
    sum.Add(hit->X);
    sum.Add(hit->Y);
    sum.Add(hit->Frame);
  }
  for (const auto& bonus : game.Bonuses) {
    sum.Add(static_cast<bool>(bonus));
    if (!bonus) continue;
    sum.Add(bonus->Kind);
    sum.Add(bonus->X);
    sum.Add(bonus->Y);
  }
  for (const auto& score : game.RunScores) {
    sum.Add(static_cast<bool>(score));
    if (!score) continue;
    sum.Add(score->X);
    sum.Add(score->Y);
    sum.Add(score->Value);
  }
  sum.Add(game.Background->Scroll);
  return sum.Value();
}

// Plays one frame of the script on the rig, as the shell would.
inline void PlayReplayFrame(TGameRig& rig, const TReplayFrame& frame) {
  rig.Keys = frame.Keys;
  rig.Sys.QueueMouse(frame.Mouse);
  if (frame.NextWeapon && rig.Game->Phase == phPlay) NextWeapon(*rig.Game);
  rig.Frame(frame.Ms);
}
