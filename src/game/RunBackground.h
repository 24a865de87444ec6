#pragma once

#include <cstdint>

#include "graphics/Surface.h"

class TGame;

// The scrolling sea; each scroll step may also bring a new island.
class TRunBackground {
 public:
  explicit TRunBackground(TGame& game);

  void Process(TSurface* back);

  int16_t Scroll = 0;
  uint32_t Now = 0;
  uint32_t LastMove = 0;

 private:
  TGame& game_;
};
