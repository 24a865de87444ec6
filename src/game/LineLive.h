#pragma once

#include <cstdint>

#include "graphics/Surface.h"

class TGame;

// The life bar over a damaged enemy. It reads the enemy's position and hit
// points through references; the enemy owns the bar and so outlives it.
class TLineLive {
 public:
  TLineLive(TGame& game, const int16_t& ownerX, const int16_t& ownerY,
            const int32_t& ownerHitPoints, int32_t fullWidth, int32_t maxHitPoints);

  // Draws the bar; it hides itself after 101 frames shown.
  void Draw(TSurface* back);
  int32_t BarWidth() const;

  const int16_t& OwnerX;
  const int16_t& OwnerY;
  const int32_t& OwnerHitPoints;
  bool Visible = false;
  float Scale;
  uint16_t Shown = 0;

 private:
  TGame& game_;
};
