#include <gtest/gtest.h>

#include <memory>

#include "game/GameReplay.h"

namespace {

// What must hold after every frame, whatever the input.
void CheckInvariants(const TGame& game) {
  int alive = 0;
  for (const auto& enemy : game.Fleet->Ships) {
    if (!enemy) continue;
    ++alive;
    ASSERT_LE(enemy->Kind, kSupplyPlane);
    ASSERT_LE(LiveShots(*enemy->Gun), 21);
    ASSERT_LE(enemy->Gun->ShotCount, 52);  // a fan started at 49
    ASSERT_GE(enemy->Gun->ShotCount, LiveShots(*enemy->Gun));
    if (enemy->IslandY != nullptr) {
      bool onIsland = false;
      for (const auto& island : game.Islands) onIsland |= island && &island->Y == enemy->IslandY;
      ASSERT_TRUE(onIsland) << "an island gun reads an island that is gone";
    }
  }
  ASSERT_EQ(alive, game.Fleet->Count);
  ASSERT_TRUE(game.Phase == phBetween || game.Phase == phLevelIntro || game.Phase == phPlay ||
              game.Phase == phGameOver);
  ASSERT_GE(game.Lives, 0);
  ASSERT_LE(game.Lives, 3);
  ASSERT_GE(game.Level, 1);
  ASSERT_GE(game.Weapon, 0);
  ASSERT_LT(game.Weapon, kWeaponCount);
  ASSERT_GE(game.Ship->X, 196);
  ASSERT_LE(game.Ship->X, 578);
  for (const auto& gun : game.Ship->Guns) {
    ASSERT_GE(gun->Angle, 1.7f - 0.03);
    ASSERT_LE(gun->Angle, 4.6f + 0.03);
  }
  for (const auto& hit : game.Hits) {
    if (hit) {
      ASSERT_LE(hit->Frame, 15);
    }
  }
}

// Random input over thousands of frames, across game overs: each finished game
// is replaced by a new one, created before the old one is released.
void Soak(uint64_t seed, int frames, bool withImages) {
  TGameRig rig(seed, withImages);
  const auto script = MakeReplayScript(seed * 7919, frames);
  TRandom chaos(seed + 1);
  int games = 1;
  for (const TReplayFrame& frame : script) {
    PlayReplayFrame(rig, frame);
    // Now and then the things the shell and the bonuses do between frames.
    const uint32_t roll = chaos.Random(400);
    if (roll == 0) rig.Game->Ammo[1 + chaos.Random(4)] += 10;
    if (roll == 1) rig.Game->Health = static_cast<int16_t>(rig.Game->Health + 50);
    if (roll == 2 && rig.Game->Phase == phPlay) rig.Game->Phase = phGameOver;  // quit question
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(*rig.Game));
    if (!rig.Host.States.empty()) {
      rig.Host.States.clear();
      auto next = std::make_unique<TGame>(
          rig.Context, TGameStart{seed + static_cast<uint64_t>(games), rig.Sys.Tick()});
      rig.Game = std::move(next);
      ++games;
    }
  }
  EXPECT_GE(games, 1);
}

TEST(GameSoak, RandomInputKeepsEverySlotConsistent) {
  for (uint64_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    Soak(seed, 8000, false);
  }
}

TEST(GameSoak, RandomInputWithDrawing) {
  for (uint64_t seed : {11u}) {
    SCOPED_TRACE(seed);
    Soak(seed, 1500, true);
  }
}

}  // namespace
