#include <gtest/gtest.h>

#include <cmath>

#include "game/Bonus.h"
#include "game/GameRig.h"
#include "game/Hit.h"
#include "game/Island.h"
#include "game/LineLive.h"
#include "game/RunBackground.h"
#include "game/RunScore.h"

namespace {

constexpr uint32_t SpriteColour(int slot) {
  return 0x00102030u + 0x00050709u * static_cast<uint32_t>(slot);
}

TEST(Effects, ExplosionStartFramesSoundAndLength) {
  struct TCase {
    uint8_t Kind;
    int16_t Start;
    int FirstDrawn;  // process call (1-based) that first draws
    int Expls;       // "Expl" plays while on frame 0
  };
  const TCase cases[] = {{0, 0, 1, 1}, {0, -15, 16, 1}, {4, 0, 1, 0}, {4, -3, 4, 0}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.Kind} << " from " << c.Start);
    TGameRig rig(51);
    THit hit(*rig.Game, c.Kind, 300, 300, c.Start);
    int firstDrawn = 0;
    int calls = 0;
    bool alive = true;
    while (alive) {
      ++calls;
      rig.Advance(31);
      ASSERT_EQ(rig.Back.Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kDdOk);
      alive = hit.Process(&rig.Back);
      if (firstDrawn == 0 && rig.Back.PixelAt(310, 310) == SpriteColour(10 + c.Kind)) {
        firstDrawn = calls;
      }
    }
    EXPECT_EQ(firstDrawn, c.FirstDrawn);
    EXPECT_EQ(rig.Sound.Count(sndExpl), c.Expls);
    // Frames 0 to 14 are drawn, the step past 15 ends it.
    EXPECT_EQ(calls, c.FirstDrawn + 15);
  }
}

TEST(Effects, ExplosionOnFrameZeroRepeatsItsSoundUntilItSteps) {
  TGameRig rig(52);
  THit hit(*rig.Game, 0, 300, 300, 0);
  hit.LastFrame = rig.Sys.Tick();
  for (int i = 0; i < 3; ++i) {
    rig.Advance(10);
    hit.Process(&rig.Back);
  }
  EXPECT_EQ(rig.Sound.Count(sndExpl), 3);
  EXPECT_EQ(rig.Sound.Calls[0].X, 300);
}

TEST(Effects, FloatingScorePath) {
  TGameRig rig(53);
  TRunScore score(*rig.Game, 300, 200, 25);
  EXPECT_EQ(score.Y, 170);
  std::vector<int16_t> ys;
  while (score.Process(&rig.Back)) ys.push_back(score.Y);
  ASSERT_EQ(ys.size(), 80u);
  EXPECT_EQ(ys.front(), 169);
  EXPECT_EQ(ys.back(), 90);
  // The wave: x moves by round(2 sin(y / 10)) each frame.
  TRunScore wave(*rig.Game, 300, 200, 25);
  wave.Process(&rig.Back);
  EXPECT_EQ(wave.X, 300 + static_cast<int>(std::nearbyint(std::sin(16.9) * 2)));
}

TEST(Effects, SeaScrollsInStepsOfThreeAndWraps) {
  TGameRig rig(54);
  TRunBackground& sea = *rig.Game->Background;
  std::vector<int16_t> seen;
  for (int i = 0; i < 83; ++i) {
    rig.Advance(21);
    sea.Process(&rig.Back);
    seen.push_back(sea.Scroll);
  }
  EXPECT_EQ(seen[0], 3);
  EXPECT_EQ(seen[80], 243);
  EXPECT_EQ(seen[81], 0);
  EXPECT_EQ(seen[82], 3);
  // No step within 20 ms.
  rig.Advance(20);
  sea.Process(&rig.Back);
  EXPECT_EQ(sea.Scroll, 3);
}

TEST(Effects, LifeBarWidthAndVisibility) {
  struct TCase {
    uint8_t Kind;
    int32_t HitPoints;
    int32_t Width;
  };
  const TCase cases[] = {{kCruiser, 20, 14},
                         {kCruiser, 50, 34},
                         {kCutter, 15, 24},
                         {kBattleShip, 1, 1},
                         {kDestroyer, 13, 16}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    TGameRig rig(55);
    TEnemyShip& enemy = rig.PlaceEnemy(c.Kind, 300, 200);
    enemy.HitPoints = c.HitPoints;
    EXPECT_EQ(enemy.LifeBar->BarWidth(), c.Width);
  }
  TGameRig rig(56);
  TEnemyShip& enemy = rig.PlaceEnemy(kCruiser, 300, 200);
  enemy.LifeBar->Visible = true;
  for (int i = 0; i < 100; ++i) enemy.LifeBar->Draw(&rig.Back);
  EXPECT_TRUE(enemy.LifeBar->Visible);
  enemy.LifeBar->Draw(&rig.Back);
  EXPECT_FALSE(enemy.LifeBar->Visible);
}

// An island of `kind`, with or without a gun, found by trying seeds.
std::unique_ptr<TIsland> MakeIsland(TGameRig& rig, uint8_t kind, bool withGun) {
  for (uint64_t seed = 1; seed < 500; ++seed) {
    rig.Game->Fleet->Clear();
    rig.Game->Rng().Seed(seed);
    auto island = std::make_unique<TIsland>(*rig.Game, 0);
    if (island->Kind == kind && static_cast<bool>(rig.Game->Fleet->Ships[0]) == withGun) {
      return island;
    }
  }
  return nullptr;
}

TEST(Effects, IslandsStartAtTheirSideAndCarryTheirGuns) {
  struct TCase {
    uint8_t Kind;
    int16_t X;
    int16_t Y;
    int16_t GunX;
    int16_t GunY;
  };
  const TCase cases[] = {{0, 118, -210, 157, -105},
                         {1, 118, -139, 149, -70},
                         {2, 605, -191, 643, -96},
                         {3, 610, -176, 646, -88}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    TGameRig rig(57);
    auto island = MakeIsland(rig, c.Kind, true);
    ASSERT_TRUE(island);
    EXPECT_EQ(island->X, c.X);
    EXPECT_EQ(island->Y, c.Y);
    EXPECT_EQ(island->LeftSide, c.Kind < 2);
    TEnemyShip& gun = *rig.Game->Fleet->Ships[0];
    EXPECT_EQ(rig.Game->Fleet->Find(island->Gun), &gun);
    EXPECT_EQ(gun.Kind, kIslandGun);
    EXPECT_EQ(gun.X, c.GunX);
    EXPECT_EQ(gun.Y, c.GunY);
    EXPECT_EQ(gun.Gun->FireType, 2 * gun.Gun->Model);
    // The gun follows the island and keeps its x.
    for (int i = 0; i < 10; ++i) {
      rig.Advance(21);
      island->Process(&rig.Back);
      gun.Move();
    }
    EXPECT_EQ(gun.Y, island->Y + kIslandKinds[c.Kind].Height / 2);
    EXPECT_EQ(gun.X, c.GunX);
  }
}

TEST(Effects, IslandEndsPastTheBottomAndReleasesItsGun) {
  TGameRig rig(58);
  TGame& game = *rig.Game;
  game.Islands[1] = MakeIsland(rig, 1, true);
  ASSERT_TRUE(game.Islands[1]);
  TEnemyShip& gun = *game.Fleet->Ships[0];
  game.Islands[1]->Y = 598;
  rig.Advance(21);
  EXPECT_FALSE(game.Islands[1]->Process(&rig.Back));
  game.FreeIsland(1);
  EXPECT_FALSE(game.Islands[1]);
  // The gun no longer reads the freed island and stays where it was.
  EXPECT_EQ(gun.IslandY, nullptr);
  const int16_t y = gun.Y;
  gun.Move();
  EXPECT_EQ(gun.Y, y);
}

TEST(Effects, FreeingAnIslandLeavesTheGunThatTookOverItsGunsSlot) {
  TGameRig rig(59);
  TGame& game = *rig.Game;
  game.Islands[1] = MakeIsland(rig, 1, false);
  game.Islands[0] = MakeIsland(rig, 0, true);
  ASSERT_TRUE(game.Islands[0] && game.Islands[1]);
  game.Fleet->Ships[0].reset();  // island 0's gun is shot; island 1 gets one in its slot
  TEnemyShip& other = rig.PlaceEnemy(kIslandGun, 300, 0);
  other.IslandY = &game.Islands[1]->Y;
  game.FreeIsland(0);
  EXPECT_EQ(other.IslandY, &game.Islands[1]->Y);
}

TEST(Effects, BonusEffects) {
  struct TCase {
    uint8_t Kind;
    int Weapon;  // ammunition refilled, -1 none
    int16_t Health;
    int32_t Score;
  };
  const TCase cases[] = {{kBonusRocket, 3, 72, 0},    {kBonusGun, 1, 72, 0},
                         {kBonusRocket3x, 4, 72, 0},  {kBonusGun2x, 2, 72, 0},
                         {kBonusFirstAid, -1, 90, 0}, {kBonusCoins, -1, 40, 100}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    TGameRig rig(59);
    TGame& game = *rig.Game;
    game.Health = c.Kind == kBonusFirstAid || c.Kind == kBonusCoins ? 40 : 72;
    game.Ship->X = 300;
    game.Ship->Y = 480;
    TBonus bonus(game, 300, 470);
    bonus.Kind = c.Kind;
    EXPECT_FALSE(bonus.Process(&rig.Back));  // collected
    for (int w = 1; w < kWeaponCount; ++w) {
      EXPECT_EQ(game.Ammo[static_cast<size_t>(w)], w == c.Weapon ? 10 : 0);
    }
    EXPECT_EQ(game.Health, c.Health);
    EXPECT_EQ(game.Score, c.Score);
  }
}

TEST(Effects, IceAndMegaBombSpareTheirExemptions) {
  struct TCase {
    uint8_t Kind;
    bool Frozen;
    bool Bombed;
  };
  const TCase enemies[] = {{kCutter, true, true},
                           {kHelicopter, true, true},
                           {kIslandGun, false, true},
                           {kSupplyPlane, false, false}};
  TGameRig rig(60);
  TGame& game = *rig.Game;
  for (const TCase& c : enemies) rig.PlaceEnemy(c.Kind, 300, 100);
  TBonus ice(game, 0, 0);
  ice.Kind = kBonusIce;
  ice.Apply();
  TBonus bomb(game, 0, 0);
  bomb.Kind = kBonusMegaBomb;
  bomb.Apply();
  for (size_t i = 0; i < std::size(enemies); ++i) {
    SCOPED_TRACE(static_cast<int>(enemies[i].Kind));
    const TEnemyShip& enemy = *game.Fleet->Ships[i];
    EXPECT_EQ(enemy.Freeze, enemies[i].Frozen ? 300 : 0);
    EXPECT_EQ(enemy.HitPoints <= 0, enemies[i].Bombed);
  }
  // Destroyed at their next frame like any other: island guns score 5.
  game.Phase = phPlay;
  rig.Advance(16);
  game.Fleet->LastSpawn = rig.Sys.Tick();  // no spawn in this frame
  game.Fleet->Process(&rig.Back);
  EXPECT_EQ(game.Score, 15 + 50 + 5);
  EXPECT_EQ(game.Kills, 3);
  EXPECT_EQ(game.Fleet->Count, 1);
}

TEST(Effects, UncollectedBonusFallsOffTheSea) {
  TGameRig rig(61);
  TGame& game = *rig.Game;
  game.Ship->X = 500;
  TBonus bonus(game, 200, 500);
  int frames = 0;
  while (bonus.Process(&rig.Back)) ++frames;
  EXPECT_EQ(bonus.Y, 601);
  EXPECT_EQ(frames, 100);
}

}  // namespace
