#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/Pulya.h"
#include "graphics/Surface.h"

class TGame;

// A turning gun on the player's ship or on an enemy. It fires shots by its
// fire type, moves and draws them, and tests them against their targets. The
// owner's position is read through references into the owner, which owns the
// gun and so outlives it.
class TGunner {
 public:
  TGunner(TGame& game, uint8_t model, uint8_t fireType, uint8_t mountIndex, const int16_t& ownerX,
          const int16_t& ownerY, bool isPlayer, float minAngle, float maxAngle);
  ~TGunner();
  TGunner(const TGunner&) = delete;
  TGunner& operator=(const TGunner&) = delete;

  // True when the fire interval had passed and the fire type was carried out.
  bool Fire();
  // One shot (or, for the supply plane, one bonus drop).
  void Shoot(uint8_t kind, uint8_t sound, int32_t dx, int16_t dy, double angle);
  // Bounds and hit test of the shot in `slot`; frees it when it ends.
  void CheckShot(size_t slot);
  // One frame: shots, angle limits, the gun drawn when `drawGun`, enemy fire.
  void Process(TSurface* back, bool drawGun);

  std::array<std::unique_ptr<TPulya>, 21> Shots;
  const int16_t& OwnerX;
  const int16_t& OwnerY;
  uint8_t MountIndex;
  int8_t ShotCount = 0;
  double Angle;
  float MinAngle;
  float MaxAngle;
  int16_t MountX;
  int16_t MountY;
  int16_t AimX = 0;
  int16_t AimY = 0;
  bool IsPlayer;
  uint8_t Model;
  uint8_t FireType;
  uint32_t Now = 0;
  uint32_t LastShot;

 private:
  TGame& game_;
};
