#pragma once

#include <cstdint>
#include <span>

// The RIFF "WAVE" image of sound id 0..9 ("CheckMenu" .. "Bonus"), carried in
// the binary. Any other id gives an empty span.
std::span<const uint8_t> EmbeddedWave(int id);
