#pragma once

#include <array>
#include <memory>

#include "Canvas.h"

// The desktop icon: the player's ship cutting diagonally across a square of
// sea, with a foam wake behind it. Drawn in a 64-unit design space and scaled,
// with shapes bold enough to read at 16 pixels.
class TIconPainter {
 public:
  // The sizes of the hicolor icon theme the game installs.
  static constexpr std::array<int, 6> kSizes = {16, 32, 48, 64, 128, 256};

  static std::unique_ptr<TCanvas> Icon(int size);
};
