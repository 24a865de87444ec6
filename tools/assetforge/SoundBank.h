#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "audio/Wave.h"

// One effect of the sound bank: its name, sample rate and the exact number
// of sample bytes (8-bit unsigned mono PCM, one byte per sample).
struct TBankEntry {
  std::string_view name;
  uint32_t rate;
  int32_t bytes;
};

// The ten effects in sound-id order.
inline constexpr std::array<TBankEntry, 10> kSoundBank = {{
    {"CheckMenu", 11025, 2903},
    {"Win", 11025, 19382},
    {"Loose", 8000, 13907},
    {"Shot", 8000, 892},
    {"Snarad", 11025, 5335},
    {"Bomba", 11025, 5335},
    {"Expl", 8000, 11180},
    {"Vert", 8000, 8000},
    {"Hit", 8000, 6223},
    {"Bonus", 11025, 2919},
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
