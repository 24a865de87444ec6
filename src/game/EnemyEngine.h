#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/EnemyShip.h"
#include "graphics/Surface.h"

class TGame;

// Names one enemy of the fleet: its slot and the serial it was placed with,
// so an enemy placed later in the same slot is not taken for it.
struct TFleetHandle {
  uint8_t Slot = 255;  // 255: names no enemy
  uint32_t Serial = 0;
};

// The enemy fleet: 20 slots, the spawn clock and the removal of enemies that
// have left the sea.
class TEnemyEngine {
 public:
  static constexpr uint8_t kNoSlot = 255;

  explicit TEnemyEngine(TGame& game);
  ~TEnemyEngine();
  TEnemyEngine(const TEnemyEngine&) = delete;
  TEnemyEngine& operator=(const TEnemyEngine&) = delete;

  void Process(TSurface* back);
  // Frees every enemy and every falling bonus of the session (level start).
  void Clear();
  // First empty slot, or kNoSlot when all 20 are taken.
  uint8_t FirstFree() const;
  void RemoveGone();
  // Puts a new enemy into `slot` (which must be empty) and returns it.
  TEnemyShip& Place(uint8_t slot, uint8_t kind);
  // The handle of the enemy in `slot` (which must be occupied).
  TFleetHandle Handle(uint8_t slot) const { return {slot, Ships[slot]->Serial}; }
  // The enemy a handle names, or nullptr once it is gone.
  TEnemyShip* Find(const TFleetHandle& handle) const;

  std::array<std::unique_ptr<TEnemyShip>, 20> Ships;
  uint8_t Count = 0;
  uint32_t Now = 0;
  uint32_t LastSpawn = 0;

 private:
  TGame& game_;
  uint32_t placed_ = 0;  // serials handed out
};
