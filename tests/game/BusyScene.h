#pragma once

#include <memory>

#include "game/Bonus.h"
#include "game/EnemyEngine.h"
#include "game/Game.h"
#include "game/Hit.h"
#include "game/Island.h"
#include "game/MyShip.h"

// Puts a session into a busy moment of play: five enemies, 40 shots in the
// air, ten explosions, falling bonuses and two islands. Used by the frame
// benchmark and the screenshots.
inline void StageBusyScene(TGame& game) {
  game.Phase = phPlay;
  game.Health = 60;
  game.Ammo = {999, 10, 0, 7, 10};
  game.Weapon = 4;
  game.Fleet->Clear();
  for (auto& hit : game.Hits) hit.reset();
  for (size_t i = 0; i < game.Islands.size(); ++i) game.FreeIsland(i);

  game.Islands[0] = std::make_unique<TIsland>(game, 0);
  game.Islands[0]->Y = 60;
  game.Islands[1] = std::make_unique<TIsland>(game, 1);
  game.Islands[1]->Y = 250;
  game.Fleet->Clear();  // any guns the islands brought

  struct TPlace {
    uint8_t Kind;
    int16_t X;
    int16_t Y;
  };
  constexpr TPlace kEnemies[] = {{kCutter, 230, 40},
                                 {kDestroyer, 300, 180},
                                 {kCruiser, 380, 60},
                                 {kBattleShip, 460, 200},
                                 {kBomber, 520, 330}};
  for (const TPlace& place : kEnemies) {
    TEnemyShip& enemy = game.Fleet->Place(game.Fleet->FirstFree(), place.Kind);
    enemy.X = place.X;
    enemy.Y = place.Y;
    enemy.Freeze = 1000000;  // hold the picture still
    enemy.LifeBar->Visible = place.Kind != kCutter;
    enemy.HitPoints = enemy.HitPoints * 2 / 3;
  }

  TMyShip& ship = *game.Ship;
  ship.X = 360;
  ship.Y = 480;
  for (auto& gun : ship.Guns) {
    for (auto& shot : gun->Shots) shot.reset();
  }
  // 40 shots: a stream of bullets and a fan of rockets in open water.
  for (int i = 0; i < 21; ++i) {
    ship.Guns[0]->Shots[static_cast<size_t>(i)] =
        std::make_unique<TPulya>(game, 0, 372.0f - static_cast<float>(i) * 1.5f,
                                 460.0f - static_cast<float>(i) * 21.0f, 3.15 - i * 0.004);
  }
  for (int i = 0; i < 19; ++i) {
    const double angle = 3.15 + (i % 3 == 0 ? 0.0 : (i % 3 == 1 ? 0.5 : -0.5));
    ship.Guns[2]->Shots[static_cast<size_t>(i)] =
        std::make_unique<TPulya>(game, 2, 380.0f - static_cast<float>(i % 3) * 30.0f,
                                 440.0f - static_cast<float>(i / 3) * 60.0f, angle);
  }
  for (int i = 0; i < 10; ++i) {
    game.AddHit(static_cast<int16_t>(200 + 40 * i), static_cast<int16_t>(100 + 37 * (i % 5)),
                i % 3 == 0 ? 0 : 4, static_cast<int8_t>(2 + i));
  }
  for (size_t i = 0; i < 4; ++i) {
    game.Bonuses[i] = std::make_unique<TBonus>(game, static_cast<int16_t>(250 + 90 * i),
                                               static_cast<int16_t>(120 + 70 * i));
    game.Bonuses[i]->Kind = static_cast<uint8_t>(i * 2 + 1);
  }
}
