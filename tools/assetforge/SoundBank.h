#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "assets/SoundList.h"
#include "audio/Wave.h"

// The format of one effect of the sound bank: its sample rate and the exact
// number of sample bytes (8-bit unsigned mono PCM, one byte per sample).
struct TBankEntry {
  uint32_t rate;
  int32_t bytes;
};

// The ten effects in sound-id order (names and files in kSounds).
inline constexpr std::array<TBankEntry, kSoundCount> kSoundBank = {{
    {11025, 2903},   // sndCheckMenu
    {11025, 19382},  // sndWin
    {8000, 13907},   // sndLoose
    {8000, 892},     // sndShot
    {11025, 5335},   // sndSnarad
    {11025, 5335},   // sndBomba
    {8000, 11180},   // sndExpl
    {8000, 8000},    // sndVert
    {8000, 6223},    // sndHit
    {11025, 2919},   // sndBonus
}};

// Synthesises the effects deterministically (seeded noise, envelopes):
// a menu click, a victory and a defeat jingle, a gunshot, a shell, an
// explosion, a helicopter, a metallic hit and a bonus chime.
class TSoundBank {
 public:
  // The effect with sound id `id` as a wave of the bank's format and length.
  static TWave Make(int id);
  // Its samples in -1..1 before quantisation.
  static std::vector<double> Synthesize(int id);
  // 8-bit unsigned PCM of `samples` (clamped).
  static std::vector<uint8_t> Quantize(const std::vector<double>& samples);
};
