#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/Gunner.h"
#include "graphics/Surface.h"

class TGame;

// The player's ship: moves sideways at the bottom of the sea, aims and fires
// the gun of the selected weapon, and is lost when the session's Health runs out.
class TMyShip {
 public:
  explicit TMyShip(TGame& game);
  ~TMyShip();
  TMyShip(const TMyShip&) = delete;
  TMyShip& operator=(const TMyShip&) = delete;

  void Process(TSurface* back);
  // Weapon 0 gun 0, weapons 1 and 2 gun 1, weapons 3 and 4 gun 2, else gun 0.
  static int GunIndexForWeapon(int weapon);
  void TakeDamage(uint8_t amount);
  TRect GetRect() const;

  int16_t X = 0;
  int16_t Y = 0;
  uint8_t Frame = 0;
  std::array<std::unique_ptr<TGunner>, 3> Guns;
  uint32_t Now = 0;
  uint32_t LastAnim = 0;

 private:
  void ApplyInput(TGunner& gun);
  void LoseShip();

  TGame& game_;
};
