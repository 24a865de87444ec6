#pragma once

#include <cstdint>
#include <memory>

#include "game/Gunner.h"
#include "game/LineLive.h"
#include "graphics/Surface.h"

class TGame;
class TEnemyEngine;

// One enemy: a ship or aircraft coming down the sea, a gun on an island, or
// the supply plane climbing the screen. Owns its gun and its life bar.
class TEnemyShip {
 public:
  // Draws its x position (and an island gun's model) from the generator and
  // counts itself in the fleet; the destructor uncounts it.
  TEnemyShip(TGame& game, uint8_t kind);
  ~TEnemyShip();
  TEnemyShip(const TEnemyShip&) = delete;
  TEnemyShip& operator=(const TEnemyShip&) = delete;

  // One frame; false when the enemy was destroyed and its slot must be freed.
  bool Process(TSurface* back);
  void Move();
  void Aim();
  TRect GetRect() const;
  // Lowers the hit points by `damage` and shows the life bar.
  void TakeHit(int32_t damage);
  int16_t Width() const;
  int16_t Height() const;

  int16_t X = 0;
  int16_t Y = 0;
  int16_t IslandOffset = 0;
  // Set by the fleet when it places the enemy; tells apart enemies that held
  // the same slot one after the other.
  uint32_t Serial = 0;
  int8_t Drift = 0;
  // Island guns: the Y of the island they stand on; nullptr once it is gone.
  const int16_t* IslandY = nullptr;
  uint8_t Kind;
  uint8_t Frame = 0;
  int32_t HitPoints = 0;
  int32_t Freeze = 0;
  std::unique_ptr<TGunner> Gun;
  std::unique_ptr<TLineLive> LifeBar;
  uint32_t LastAnim = 0;

 private:
  void Ram();

  TGame& game_;
  TEnemyEngine& fleet_;  // counts this enemy while it lives
};
