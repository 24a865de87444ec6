#pragma once

#include <memory>

#include "Canvas.h"

class TFontSet;

// Draws the game screen's scenery and interface: the sea tile, the islands,
// the explosion strips, the bonuses and the two side panels with their
// gauges and weapon icons.
class TScenePainter {
 public:
  explicit TScenePainter(const TFontSet& fonts) : fonts_(fonts) {}

  // Side panel 0 (left: level, score, lives) or 1 (right: weapons, ammo, health).
  std::unique_ptr<TCanvas> Panel(int side) const;
  static std::unique_ptr<TCanvas> HealthBar();
  static std::unique_ptr<TCanvas> WeaponFrame();
  static std::unique_ptr<TCanvas> SeaTile();
  // Island kind 0..3; kinds 0, 1 lie on the left edge, 2, 3 on the right.
  static std::unique_ptr<TCanvas> Island(int kind);
  // Explosion strip 0..4 (0 large blast .. 4 small impact), 16 frames.
  static std::unique_ptr<TCanvas> Explosion(int kind);
  // The five weapon icons stacked vertically.
  std::unique_ptr<TCanvas> WeaponIcons() const;
  // Bonus kind 0..7: Rocket, Gun, Rocket 3x, Gun 2x, First-aid set, Ice,
  // Coins, Mega-Bomb.
  std::unique_ptr<TCanvas> Bonus(int kind) const;
  // Spare pictures 15 and 16 (a buoy and a lifebelt).
  static std::unique_ptr<TCanvas> Spare(int which);

  // The sea, tiled over a whole canvas (the contact sheet's background).
  static void TileSea(const TCanvas& target);

 private:
  const TFontSet& fonts_;
};
