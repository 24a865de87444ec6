#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/Bonus.h"
#include "game/GameRig.h"
#include "game/Island.h"

namespace {

TEST(EnemyFleet, DriftStopsAtTheSeaEdgesByWidth) {
  struct TCase {
    uint8_t Kind;
    int8_t Drift;
    int16_t Limit;
  };
  const TCase cases[] = {{kCutter, 1, 580},      {kBattleShip, 1, 557}, {kHelicopter, 1, 554},
                         {kSupplyPlane, 1, 531}, {kCutter, -1, 196},    {kBomber, -1, 196}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    TGameRig rig(31);
    TEnemyShip& enemy = rig.PlaceEnemy(c.Kind, 400, 100);
    int16_t extreme = enemy.X;
    for (int i = 0; i < 400; ++i) {
      enemy.Drift = c.Drift;
      enemy.Y = 100;
      enemy.Move();
      extreme = c.Drift > 0 ? std::max(extreme, enemy.X) : std::min(extreme, enemy.X);
      ASSERT_GE(enemy.X, 196);
      ASSERT_LE(enemy.X + enemy.Width(), 604);
    }
    EXPECT_EQ(extreme, c.Limit);
  }
}

TEST(EnemyFleet, SpawnedAtTheLeftIsDrawnInsideFromItsFirstMove) {
  TGameRig rig(32);
  TEnemyShip& enemy = rig.PlaceEnemy(kCutter, 120, -88);
  enemy.Move();
  EXPECT_EQ(enemy.X, 196);
  EXPECT_EQ(enemy.Y, -86);
}

TEST(EnemyFleet, RamDamagesBoth) {
  struct TCase {
    uint8_t Kind;
    int16_t Health;
    int32_t HitPoints;
    bool Destroyed;
    int16_t HealthAfter;
  };
  const TCase cases[] = {
      {kDestroyer, 72, 25, true, 47},     // destroyed in the same frame, ship loses 25
      {kBattleShip, 40, 75, false, -35},  // survives with 35, ship sinks
      {kCutter, 72, 0, true, 72},         // nothing left to ram with
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    TGameRig rig(33);
    rig.StartPlay();
    TGame& game = *rig.Game;
    game.Fleet->Clear();
    TEnemyShip& enemy = rig.PlaceEnemy(c.Kind, game.Ship->X, game.Ship->Y);
    enemy.HitPoints = c.HitPoints;
    game.Health = c.Health;
    const int32_t scoreBefore = game.Score;
    enemy.Move();
    EXPECT_EQ(game.Health, c.HealthAfter);
    EXPECT_EQ(enemy.HitPoints <= 0, c.Destroyed);
    EXPECT_TRUE(enemy.LifeBar->Visible) << "a ram is a hit";
    rig.Advance(16);
    game.Fleet->Process(&rig.Back);
    EXPECT_EQ(game.Score - scoreBefore, c.Destroyed ? kEnemyKinds[c.Kind].Value : 0);
  }
}

TEST(EnemyFleet, FrozenEnemiesStandStillButKeepFiring) {
  TGameRig rig(34);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.Fleet->Clear();
  TEnemyShip& enemy = rig.PlaceEnemy(kCutter, 300, 100);
  enemy.Freeze = 3000;
  int fired = 0;
  for (int i = 0; i < 2999; ++i) {
    rig.Advance(100);
    const int8_t before = enemy.Gun->ShotCount;
    ASSERT_TRUE(enemy.Process(&rig.Back));
    fired += enemy.Gun->ShotCount > before ? 1 : 0;
    ASSERT_EQ(enemy.Y, 100);
  }
  EXPECT_GT(fired, 0);
  enemy.Process(&rig.Back);
  enemy.Process(&rig.Back);
  EXPECT_EQ(enemy.Y, 102);
}

TEST(EnemyFleet, RemovesEnemiesThatLeftTheSeaWithoutScore) {
  TGameRig rig(35);
  TGame& game = *rig.Game;
  rig.PlaceEnemy(kCutter, 300, 601);
  rig.PlaceEnemy(kCutter, 300, 600);
  rig.PlaceEnemy(kSupplyPlane, 300, -73);
  rig.PlaceEnemy(kSupplyPlane, 300, -72);
  EXPECT_EQ(game.Fleet->Count, 4);
  game.Fleet->RemoveGone();
  EXPECT_FALSE(game.Fleet->Ships[0]);
  EXPECT_TRUE(game.Fleet->Ships[1]);
  EXPECT_FALSE(game.Fleet->Ships[2]);
  EXPECT_TRUE(game.Fleet->Ships[3]);
  EXPECT_EQ(game.Fleet->Count, 2);
  EXPECT_EQ(game.Score, 0);
}

TEST(EnemyFleet, NeverMoreThanTwoSpawnedEnemiesAndOnlyCuttersOnLevelOne) {
  TGameRig rig(36);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.Health = 30000;  // keep the ship afloat
  int spawned = 0;
  for (int i = 0; i < 6000 && game.Phase == phPlay; ++i) {
    rig.Frame();
    game.Health = 30000;
    int alive = 0;
    int islandGuns = 0;
    for (const auto& enemy : game.Fleet->Ships) {
      if (!enemy) continue;
      ++alive;
      islandGuns += enemy->Kind == kIslandGun ? 1 : 0;
      ASSERT_TRUE(enemy->Kind == kCutter || enemy->Kind == kIslandGun ||
                  enemy->Kind == kSupplyPlane);
    }
    ASSERT_EQ(alive, game.Fleet->Count);
    ASSERT_LE(alive - islandGuns, 2);
    spawned = std::max(spawned, alive);
  }
  EXPECT_GT(spawned, 0);
}

TEST(Gunner, ShotsLeaveTheSeaJustPastItsEdges) {
  struct TCase {
    float X;
    float Y;
    bool Stays;
  };
  const TCase cases[] = {{118, 300, true},  {117.5f, 300, false}, {682, 300, true},
                         {683, 300, false}, {300, 0, true},       {300, -1, false},
                         {300, 598, true},  {300, 599, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
    TGameRig rig(37);
    TGunner& gun = *rig.Game->Ship->Guns[0];
    gun.Shots[0] = std::make_unique<TPulya>(*rig.Game, 0, c.X, c.Y, 3.15);
    gun.ShotCount = 1;
    gun.CheckShot(0);
    EXPECT_EQ(static_cast<bool>(gun.Shots[0]), c.Stays);
    EXPECT_EQ(gun.ShotCount, c.Stays ? 1 : 0);
  }
}

TEST(Gunner, PlayerShotsHitEnemiesButPassTheSupplyPlane) {
  struct TCase {
    uint8_t Kind;
    uint8_t ShotKind;
    bool Hit;
  };
  const TCase cases[] = {{kCutter, 0, true}, {kCruiser, 1, true}, {kSupplyPlane, 2, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    TGameRig rig(38);
    TGame& game = *rig.Game;
    TEnemyShip& enemy = rig.PlaceEnemy(c.Kind, 300, 200);
    TGunner& gun = *game.Ship->Guns[0];
    gun.Shots[0] = std::make_unique<TPulya>(game, c.ShotKind, 305.0f, 210.0f, 3.15);
    const int32_t before = enemy.HitPoints;
    gun.CheckShot(0);
    EXPECT_EQ(!gun.Shots[0], c.Hit);
    EXPECT_EQ(before - enemy.HitPoints, c.Hit ? kShotKinds[c.ShotKind].Damage : 0);
    EXPECT_EQ(enemy.LifeBar->Visible, c.Hit);
    EXPECT_EQ(static_cast<bool>(game.Hits[0]), c.Hit);
    if (c.Hit) {
      EXPECT_EQ(game.Hits[0]->Kind, 4);
    }
  }
}

TEST(Gunner, PlayerShotsReachOnlyTheFirstSixFleetSlots) {
  TGameRig rig(39);
  TGame& game = *rig.Game;
  for (int i = 0; i < 7; ++i) rig.PlaceEnemy(kCutter, 100, -500);
  TEnemyShip& seventh = *game.Fleet->Ships[6];
  seventh.X = 300;
  seventh.Y = 200;
  TGunner& gun = *game.Ship->Guns[0];
  gun.Shots[0] = std::make_unique<TPulya>(game, 0, 305.0f, 210.0f, 3.15);
  gun.CheckShot(0);
  EXPECT_TRUE(gun.Shots[0]);
  game.Fleet->Ships[5]->X = 300;
  game.Fleet->Ships[5]->Y = 200;
  gun.CheckShot(0);
  EXPECT_FALSE(gun.Shots[0]);
  EXPECT_LT(game.Fleet->Ships[5]->HitPoints, 15);
}

TEST(Gunner, EnemyShotOnTheShipExplodesAtTheShipsXAndCountsAgainstTheGun) {
  TGameRig rig(40);
  TGame& game = *rig.Game;
  game.Ship->X = 300;
  game.Ship->Y = 480;
  TEnemyShip& enemy = rig.PlaceEnemy(kBattleShip, 300, 100);
  TGunner& gun = *enemy.Gun;
  gun.Shots[0] = std::make_unique<TPulya>(game, 2, 320.0f, 500.0f, 0.0);
  gun.ShotCount = 50;
  gun.CheckShot(0);
  EXPECT_FALSE(gun.Shots[0]);
  EXPECT_EQ(game.Health, kMaxHealth - 15);
  ASSERT_TRUE(game.Hits[0]);
  EXPECT_EQ(game.Hits[0]->X, 287);
  EXPECT_EQ(game.Hits[0]->Y, 500);
  // Fifty shots out: the gun is silent however long it waits.
  EXPECT_EQ(gun.ShotCount, 50);
  for (int i = 0; i < 500; ++i) {
    rig.Advance(1100);
    gun.Process(&rig.Back, true);
  }
  EXPECT_EQ(LiveShots(gun), 0);
}

TEST(Gunner, EnemyGunAnglesStayWithinTheirLimits) {
  TGameRig rig(41);
  TEnemyShip& enemy = rig.PlaceEnemy(kCutter, 300, 100);
  for (double angle : {-3.0, 3.0}) {
    enemy.Gun->Angle = angle;
    enemy.Gun->Process(&rig.Back, true);
    EXPECT_NEAR(std::abs(enemy.Gun->Angle), 1.14, 1e-6);
  }
}

TEST(Gunner, SupplyPlaneDropsBonusesUntilTheSlotsAreFull) {
  TGameRig rig(42);
  TGame& game = *rig.Game;
  TEnemyShip& plane = rig.PlaceEnemy(kSupplyPlane, 300, 400);
  rig.Advance(2000);
  ASSERT_TRUE(plane.Gun->Fire());
  ASSERT_TRUE(game.Bonuses[0]);
  EXPECT_EQ(game.Bonuses[0]->X, 336);
  EXPECT_EQ(game.Bonuses[0]->Y, 480);
  EXPECT_EQ(plane.Gun->ShotCount, 0);
  for (auto& bonus : game.Bonuses) bonus = std::make_unique<TBonus>(game, 0, 0);
  TBonus* first = game.Bonuses[0].get();
  rig.Advance(2000);
  const uint32_t tick = rig.Sys.Tick();
  EXPECT_TRUE(plane.Gun->Fire());
  EXPECT_EQ(game.Bonuses[0].get(), first);
  EXPECT_EQ(plane.Gun->LastShot, tick);
}

}  // namespace
