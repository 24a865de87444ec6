#pragma once

#include <cstdint>

#include "game/EnemyEngine.h"
#include "graphics/Surface.h"

class TGame;

// An island drifting down with the sea, maybe carrying a gun (an enemy in the
// fleet that follows the island's Y).
class TIsland {
 public:
  TIsland(TGame& game, uint8_t slot);

  // One frame; false once the island has passed below the sea.
  bool Process(TSurface* back);

  int16_t X = 0;
  int16_t Y = 0;
  uint8_t Kind;
  uint8_t Slot;
  // The gun standing on the island, if one was placed.
  TFleetHandle Gun;
  bool LeftSide = false;
  uint32_t Now = 0;
  uint32_t LastMove = 0;

 private:
  TGame& game_;
};
