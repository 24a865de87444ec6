#pragma once

#include <memory>

#include "Canvas.h"

// Draws everything that moves on the sea, seen from above: the enemy
// vessels and aircraft (pointing down the screen), the player's ship (bow
// up), the turning guns and the projectiles. Guns and shots are drawn with
// their barrel or nose toward the top of the image: the game turns them by
// their angle plus a half turn about the pivot, so that end faces the aim.
class TShipPainter {
 public:
  // Enemy type 0..7: Cutter, Destroyer, Cruiser, BattleShip, island gun,
  // Bomber (four frames), Helicopter, supply plane.
  static std::unique_ptr<TCanvas> Enemy(int type);
  static std::unique_ptr<TCanvas> PlayerShip();
  static std::unique_ptr<TCanvas> LifeIcon();
  // Gun model 0..2.
  static std::unique_ptr<TCanvas> Gun(int model);
  // Projectile kind 0..3: bullet, shell, rocket, spare shot.
  static std::unique_ptr<TCanvas> Shot(int kind);

  // A hull in the box (x, y, w, h), bow toward +y when `bowDown`.
  static void Hull(const TCanvas& c, double x, double y, double w, double h, bool bowDown,
                   const TColor& hull, const TColor& deck);
  // A round turret with `barrels` barrels pointing along `angle` (0 = down).
  static void Turret(const TCanvas& c, double cx, double cy, double radius, double angle,
                     int barrels, double length, const TColor& color);
};
