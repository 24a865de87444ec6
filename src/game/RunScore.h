#pragma once

#include <cstdint>

#include "graphics/Surface.h"

class TGame;

// The score of a destroyed enemy floating upward in a wave for 80 frames.
class TRunScore {
 public:
  TRunScore(TGame& game, int16_t x, int16_t y, uint16_t value);

  // One frame; false once it has been shown 80 times.
  bool Process(TSurface* back);

  int16_t X;
  int16_t Y;
  int16_t Value;
  int16_t Age = 0;

 private:
  TGame& game_;
};
