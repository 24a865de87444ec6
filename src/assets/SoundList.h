#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The ten effects of the sound bank. The id is an effect's place in the bank
// and what the game passes to PlaySoundAt; the file is the wave the asset
// forge writes for it (the build reads this table for the forge's outputs).
enum TSoundId : uint8_t {
  sndCheckMenu = 0,
  sndWin = 1,
  sndLoose = 2,
  sndShot = 3,
  sndSnarad = 4,
  sndBomba = 5,
  sndExpl = 6,
  sndVert = 7,
  sndHit = 8,
  sndBonus = 9,
};
inline constexpr int kSoundCount = 10;

struct TSoundRow {
  std::string_view Name;
  TSoundId Id;
  std::string_view File;
};

// One row a line: the build's reading of the forge's outputs relies on it.
inline constexpr std::array<TSoundRow, kSoundCount> kSounds{{
    {"CheckMenu", sndCheckMenu, "CheckMenu.wav"},
    {"Win", sndWin, "Win.wav"},
    {"Loose", sndLoose, "Loose.wav"},
    {"Shot", sndShot, "Shot.wav"},
    {"Snarad", sndSnarad, "Snarad.wav"},
    {"Bomba", sndBomba, "Bomba.wav"},
    {"Expl", sndExpl, "Expl.wav"},
    {"Vert", sndVert, "Vert.wav"},
    {"Hit", sndHit, "Hit.wav"},
    {"Bonus", sndBonus, "Bonus.wav"},
}};

// Each row sits at its own id, so kSounds[id] is effect `id`.
constexpr bool SoundsInOrder() {
  for (size_t i = 0; i < kSounds.size(); ++i) {
    if (kSounds[i].Id != i) return false;
  }
  return true;
}
static_assert(SoundsInOrder(), "kSounds rows must be in id order");
