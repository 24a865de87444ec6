#pragma once

#include <cstdint>

#include "graphics/Surface.h"

class TGame;

// An explosion: sixteen 64 x 64 frames, one step every more than 30 ms. A
// negative start frame delays it by that many steps.
class THit {
 public:
  THit(TGame& game, uint8_t kind, int16_t x, int16_t y, int16_t startFrame);

  // One frame; false once the sixteenth frame has been shown.
  bool Process(TSurface* back);

  uint8_t Kind;
  int16_t X;
  int16_t Y;
  int16_t Frame;
  uint32_t Now = 0;
  uint32_t LastFrame = 0;

 private:
  TGame& game_;
};
