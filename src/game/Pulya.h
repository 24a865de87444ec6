#pragma once

#include <cstdint>

#include "graphics/Surface.h"

class TGame;

// One shot in flight: a bullet, shell or rocket. Its position is the top-left
// of its hit box; it flies along its angle at the speed of its kind.
class TPulya {
 public:
  TPulya(TGame& game, uint8_t kind, float x, float y, double angle);

  // Draws the shot at its position, then moves it one frame on.
  void Process(TSurface* back);
  TRect GetRect() const;

  uint8_t Kind;
  float Y;
  float X;
  double Angle;

 private:
  TGame& game_;
};
