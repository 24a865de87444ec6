#pragma once

#include <array>

#include "assets/PackSlots.h"
#include "graphics/Surface.h"

// The two image slot arrays, indexed by TSpriteSlot and TMenuSlot (the pack's
// order is in assets/PackSlots.h). An empty slot holds nullptr and draws
// nothing.

struct TImageSlots {
  std::array<TSurfacePtr, kSpriteImageCount> SpriteImages{};
  std::array<TSurfacePtr, kMenuImageCount> MenuImages{};
};
