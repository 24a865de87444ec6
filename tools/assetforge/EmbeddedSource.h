#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes the C++ source that carries the sound bank in the game binary: one
// byte array per RIFF image and the EmbeddedWave(id) accessor.
class TEmbeddedSource {
 public:
  static std::string Generate(const std::vector<std::vector<uint8_t>>& images);
};
