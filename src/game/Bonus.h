#pragma once

#include <cstdint>

#include "graphics/Surface.h"

class TGame;

// A bonus dropped by the supply plane, falling until the ship collects it or
// it leaves the sea.
class TBonus {
 public:
  // The kind is drawn from the generator.
  TBonus(TGame& game, int16_t x, int16_t y);

  // One frame; false when collected or gone below the sea.
  bool Process(TSurface* back);
  void Apply();
  TRect GetRect() const;

  uint8_t Kind;
  int16_t X;
  int16_t Y;

 private:
  TGame& game_;
};
