#include <gtest/gtest.h>

#include <cmath>

#include "game/GameRig.h"
#include "game/Hit.h"

namespace {

TEST(MyShip, MovementInputsAndBounds) {
  struct TCase {
    const char* Name;
    bool Left;
    bool Right;
    int32_t MouseX;
    int Frames;
    int16_t StartX;
    int16_t ExpectedX;
  };
  const TCase cases[] = {
      {"left key", true, false, 0, 3, 300, 282},
      {"right key", false, true, 0, 3, 300, 318},
      {"mouse left, size ignored", false, false, -50, 2, 300, 288},
      {"left key against mouse right cancels", true, false, 7, 5, 300, 300},
      {"both keys cancel", true, true, 0, 5, 300, 300},
      {"held left stops at 196", true, false, 0, 200, 300, 196},
      {"held right stops at 578", false, true, 0, 200, 300, 578},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TGameRig rig(21);
    rig.StartPlay();
    rig.Game->Ship->X = c.StartX;
    rig.Key(dik::kLeft, c.Left);
    rig.Key(dik::kRight, c.Right);
    for (int i = 0; i < c.Frames; ++i) {
      TMouseState mouse;
      mouse.X = c.MouseX;
      rig.Sys.QueueMouse(mouse);
      rig.Game->Health = kMaxHealth;
      rig.Frame();
      ASSERT_GE(rig.Game->Ship->X, 196);
      ASSERT_LE(rig.Game->Ship->X, 578);
    }
    EXPECT_EQ(rig.Game->Ship->X, c.ExpectedX);
    EXPECT_EQ(rig.Game->Ship->Y, 480);
  }
}

TEST(MyShip, NoMovementOrFireOutsidePlay) {
  TGameRig rig(22);
  rig.Key(dik::kLeft, true);
  rig.Key(dik::kLeftControl, true);
  rig.Frame();  // between levels, then the banner
  for (int i = 0; i < 20; ++i) rig.Frame();
  EXPECT_EQ(rig.Game->Phase, phLevelIntro);
  EXPECT_EQ(rig.Game->Ship->X, 390);
  EXPECT_EQ(LiveShots(*rig.Game->Ship->Guns[0]), 0);
}

TEST(MyShip, AimingTurnsOnlyTheActiveGunWithinItsLimits) {
  TGameRig rig(23);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.Ammo[3] = 10;
  game.Weapon = 3;
  rig.Key(dik::kUp, true);
  for (int i = 0; i < 100; ++i) rig.Frame();
  EXPECT_FLOAT_EQ(static_cast<float>(game.Ship->Guns[2]->Angle), 4.6f);
  EXPECT_DOUBLE_EQ(game.Ship->Guns[0]->Angle, 3.15);
  rig.Key(dik::kUp, false);
  rig.Key(dik::kDown, true);
  for (int i = 0; i < 100; ++i) rig.Frame();
  EXPECT_FLOAT_EQ(static_cast<float>(game.Ship->Guns[2]->Angle), 1.7f);

  // Switching to weapon 1 leaves gun 2 swinging back by 0.05 per frame.
  rig.Key(dik::kDown, false);
  game.Weapon = 1;
  game.Ammo[1] = 5;
  const double before = game.Ship->Guns[2]->Angle;
  rig.Frame();
  EXPECT_NEAR(game.Ship->Guns[2]->Angle, before + 0.05, 1e-6);
}

TEST(MyShip, StandardGunFiresOnIntervalAndNeverRunsOut) {
  TGameRig rig(24);
  rig.StartPlay();
  TGame& game = *rig.Game;
  rig.Key(dik::kRightControl, true);
  game.Fleet->Clear();
  const int before = game.Ship->Guns[0]->ShotCount;
  // 16 ms frames: a bullet needs more than 80 ms, so one every sixth frame.
  for (int i = 0; i < 30; ++i) rig.Frame();
  const int fired = game.Ship->Guns[0]->ShotCount - before;
  EXPECT_GE(fired, 5);
  EXPECT_LE(fired, 6);
  EXPECT_EQ(game.Ammo[0], 999);
  EXPECT_EQ(game.Weapon, 0);
}

TEST(MyShip, LastUnitFiresEverythingAndFallsBackToWeaponZero) {
  struct TCase {
    int8_t Weapon;
    int Gun;
    int Shots;
  };
  const TCase cases[] = {{1, 1, 1}, {2, 1, 2}, {3, 2, 1}, {4, 2, 3}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Weapon));
    TGameRig rig(25);
    rig.StartPlay();
    TGame& game = *rig.Game;
    game.Weapon = c.Weapon;
    game.Ammo[static_cast<size_t>(c.Weapon)] = 1;
    rig.Advance(1000);  // every interval has passed
    const size_t soundsBefore = rig.Sound.Calls.size();
    TMouseState mouse;
    mouse.Buttons[0] = 0x80;
    rig.Sys.QueueMouse(mouse);
    rig.Frame();
    EXPECT_EQ(game.Ammo[static_cast<size_t>(c.Weapon)], 0);
    EXPECT_EQ(game.Weapon, 0);
    EXPECT_EQ(LiveShots(*game.Ship->Guns[static_cast<size_t>(c.Gun)]), c.Shots);
    int snarads = 0;
    for (size_t i = soundsBefore; i < rig.Sound.Calls.size(); ++i) {
      snarads += rig.Sound.Calls[i].Id == sndSnarad ? 1 : 0;
    }
    EXPECT_EQ(snarads, c.Shots);
    // Without ammunition nothing more is fired by that weapon.
    game.Weapon = c.Weapon;
    rig.Advance(1000);
    rig.Sys.QueueMouse(mouse);
    rig.Frame();
    EXPECT_EQ(game.Ship->Guns[static_cast<size_t>(c.Gun)]->ShotCount, c.Shots);
  }
}

TEST(MyShip, RocketFanLeavesInOrderFromItsOwnBarrelTips) {
  TGameRig rig(26);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.Weapon = 4;
  game.Ammo[4] = 5;
  rig.Advance(1000);
  TGunner& gun = *game.Ship->Guns[2];
  const double angle = 3.6;
  gun.Angle = angle;
  gun.FireType = 4;
  const int snaradsBefore = rig.Sound.Count(sndSnarad);
  ASSERT_TRUE(gun.Fire());
  const double offsets[] = {0.0, 0.5, -0.5};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(gun.Shots[i]);
    const double a = angle + offsets[i];
    EXPECT_DOUBLE_EQ(gun.Shots[i]->Angle, a);
    const int expectX = game.Ship->X + 21 - 8 + static_cast<int>(std::nearbyint(-std::sin(a) * 30));
    const int expectY = game.Ship->Y + 90 + static_cast<int>(std::nearbyint(std::cos(a) * 30));
    EXPECT_EQ(gun.Shots[i]->X, expectX);
    EXPECT_EQ(gun.Shots[i]->Y, expectY);
    EXPECT_EQ(gun.Shots[i]->Kind, 2);
  }
  EXPECT_EQ(rig.Sound.Calls.back().Id, sndSnarad);
  EXPECT_EQ(rig.Sound.Count(sndSnarad) - snaradsBefore, 3);
}

TEST(MyShip, LostShipLeavesNineDelayedWreckExplosions) {
  TGameRig rig(27);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.AddHit(10, 10, 4, 0);
  game.Health = 0;
  rig.Frame();
  EXPECT_EQ(game.Lives, 2);
  EXPECT_EQ(game.Phase, phBetween);
  const int16_t shipX = game.Ship->X;
  const int16_t shipY = game.Ship->Y;
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const THit& hit = *game.Hits[static_cast<size_t>(i)];
    EXPECT_EQ(hit.Kind, 0);
    // Created at -120 + 15 i; the explosions run once in the frame of the loss.
    EXPECT_EQ(hit.Frame, -120 + 15 * i + 1);
    EXPECT_LE(hit.X, shipX - 5);
    EXPECT_GE(hit.X, shipX - 19);
    EXPECT_GE(hit.Y, shipY);
    EXPECT_LE(hit.Y, shipY + 59);
  }
  EXPECT_FALSE(game.Hits[9]);
}

TEST(MyShip, HealthAboveMaximumIsCutAtTheNextShipFrame) {
  TGameRig rig(28);
  rig.StartPlay();
  rig.Game->Health = 90;
  rig.Frame();
  EXPECT_EQ(rig.Game->Health, kMaxHealth);
}

}  // namespace
