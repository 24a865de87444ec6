#include <gtest/gtest.h>

#include "game/GameRig.h"
#include "game/Hit.h"
#include "game/RunScore.h"

namespace {

// Destroys `n` Cutters by emptying their hit points; they die in the next fleet frame.
void KillCutters(TGameRig& rig, int n) {
  for (int i = 0; i < n; ++i) rig.PlaceEnemy(kCutter, 300, 100).HitPoints = 0;
}

bool AnyHitOrScore(const TGame& game) {
  for (const auto& hit : game.Hits)
    if (hit) return true;
  for (const auto& score : game.RunScores)
    if (score) return true;
  return false;
}

TEST(GameSession, ScriptedWholeGame) {
  TGameRig rig(42);
  TGame& game = *rig.Game;
  EXPECT_FALSE(rig.Host.CursorVisible);
  EXPECT_EQ(game.Phase, phBetween);

  // First frame: nothing pending, "Win" and the banner.
  rig.Frame();
  EXPECT_EQ(game.Phase, phLevelIntro);
  EXPECT_EQ(rig.Sound.Count(sndWin), 1);
  EXPECT_EQ(rig.Host.States.size(), 0u);

  // The banner lasts more than 2150 ms; the ship is held at (390, 480).
  const uint32_t bannerStart = rig.Sys.Tick();
  ASSERT_TRUE(rig.RunUntilPhase(phPlay));
  EXPECT_GT(rig.Sys.Tick() - bannerStart, 2150u);
  EXPECT_EQ(game.Ship->X, 390);
  EXPECT_EQ(game.Ship->Y, 480);
  EXPECT_EQ(game.Health, kMaxHealth);
  EXPECT_EQ(game.Kills, 0);

  // Three kills complete level 1; the frame that sees them moves on.
  rig.Game->Fleet->Clear();
  KillCutters(rig, 3);
  rig.Frame();
  EXPECT_EQ(game.Kills, 3);
  EXPECT_EQ(game.Score, 45);
  EXPECT_EQ(game.Phase, phPlay);
  rig.Frame();
  EXPECT_EQ(game.Level, 2);
  EXPECT_EQ(game.Phase, phBetween);

  // Between levels the session waits for the explosions and floating scores.
  while (game.Phase == phBetween) {
    EXPECT_TRUE(AnyHitOrScore(game) || game.Phase != phBetween);
    rig.Frame();
  }
  EXPECT_EQ(game.Phase, phLevelIntro);
  EXPECT_EQ(rig.Sound.Count(sndWin), 2);
  ASSERT_TRUE(rig.RunUntilPhase(phPlay));
  EXPECT_EQ(game.Kills, 0);

  // Three ships lost: the same level repeats each time.
  for (int life = 3; life >= 1; --life) {
    SCOPED_TRACE(life);
    ASSERT_EQ(game.Phase, phPlay);
    game.Health = 0;
    rig.Frame();
    EXPECT_EQ(game.Lives, life - 1);
    EXPECT_EQ(game.Phase, phBetween);
    EXPECT_EQ(game.Level, 2);
    if (life > 1) {
      ASSERT_TRUE(rig.RunUntilPhase(phPlay));
      EXPECT_EQ(game.Health, kMaxHealth);
    }
  }
  ASSERT_TRUE(rig.RunUntilPhase(phGameOver));
  EXPECT_EQ(rig.Music.Stops(), 1);
  EXPECT_EQ(rig.Sound.Count(sndLoose), 1);
  EXPECT_TRUE(rig.Host.States.empty());

  // 2000 ms of the frozen picture, then back to the shell.
  const uint32_t overStart = rig.Sys.Tick();
  while (rig.Host.States.empty()) rig.Frame();
  EXPECT_GT(rig.Sys.Tick() - overStart, 2000u);
  EXPECT_TRUE(rig.Host.CursorVisible);
  ASSERT_EQ(rig.Music.Played().size(), 1u);
  EXPECT_EQ(rig.Music.Played()[0], "1.xm");
}

TEST(GameSession, GameOverOpensNameEntryOnlyAboveTheLastEntry) {
  struct TCase {
    int32_t Lowest;
    int32_t Score;
    std::vector<uint32_t> States;
    int32_t MenuCurrent;
  };
  const TCase cases[] = {
      {100, 100, {gsMainMenu}, -1},
      {100, 101, {gsMainMenu, gsNameEntry}, 2},
      {100, 5000, {gsMainMenu, gsNameEntry}, 2},
      {100, -5, {gsMainMenu}, -1},
      {0, 0, {gsMainMenu}, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Score);
    TGameRig rig(3);
    rig.Host.Table[kHiScoreCount - 1].Score = c.Lowest;
    rig.Host.Music = false;
    rig.Game->Score = c.Score;
    rig.Game->Lives = 0;
    rig.Frame();  // phBetween with no life left: game over at once
    ASSERT_EQ(rig.Game->Phase, phGameOver);
    rig.Advance(2001);
    rig.Frame(0);
    EXPECT_EQ(rig.Host.States, c.States);
    EXPECT_EQ(rig.Host.MenuCurrent, c.MenuCurrent);
    EXPECT_TRUE(rig.Music.Played().empty());
  }
}

TEST(GameSession, TimedPhasesEndOneMillisecondAfterTheirLength) {
  // The banner and the game-over picture last exactly their time on the
  // session's clock: a frame at the full length keeps the phase, one ms later ends it.
  struct TCase {
    int16_t Lives;
    uint8_t Phase;
    uint32_t Ms;
  };
  const TCase cases[] = {{3, phLevelIntro, 2150}, {0, phGameOver, 2000}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Ms);
    TGameRig rig(3);
    rig.Game->Lives = c.Lives;
    rig.Frame();
    ASSERT_EQ(rig.Game->Phase, c.Phase);
    rig.SetTick(rig.Game->PhaseStart + c.Ms);
    rig.Step();
    EXPECT_EQ(rig.Game->Phase, c.Phase);
    EXPECT_TRUE(rig.Host.States.empty());
    rig.SetTick(rig.Game->PhaseStart + c.Ms + 1);
    rig.Step();
    EXPECT_TRUE(rig.Game->Phase != c.Phase || !rig.Host.States.empty()) << "ends one ms later";
  }
}

TEST(GameSession, QuittingLongAfterThePhaseChangeReturnsAtTheNextFrame) {
  TGameRig rig(5);
  rig.StartPlay();
  rig.Advance(5000);
  rig.Quit = true;  // the quit question's Yes
  rig.Frame();
  EXPECT_EQ(rig.Host.States, std::vector<uint32_t>{gsMainMenu});
  EXPECT_EQ(rig.Sound.Count(sndLoose), 0);
}

TEST(GameSession, LevelCompletedInTheFrameOfADeadlyHitIsNotLost) {
  TGameRig rig(9);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.Fleet->Clear();
  KillCutters(rig, 3);
  rig.Frame();  // the fleet destroys them after the ship has run
  game.Health = -5;
  rig.Frame();  // level complete first; the ship does not sink between levels
  EXPECT_EQ(game.Lives, 3);
  EXPECT_EQ(game.Level, 2);
  ASSERT_TRUE(rig.RunUntilPhase(phPlay));
  EXPECT_EQ(game.Health, kMaxHealth);
}

TEST(GameSession, LevelStopsAt255) {
  TGameRig rig(11);
  rig.StartPlay();
  TGame& game = *rig.Game;
  game.Level = 255;
  game.Kills = 3 * 255;
  rig.Frame();
  EXPECT_EQ(game.Level, 255);
  EXPECT_EQ(game.Phase, phBetween);
  ASSERT_TRUE(rig.RunUntilPhase(phPlay));
  EXPECT_EQ(game.Kills, 0);
  rig.Frame();
  EXPECT_EQ(game.Phase, phPlay);
}

TEST(GameSession, SlotArraysFillInIndexOrderAndIgnoreOverflow) {
  TGameRig rig(13);
  TGame& game = *rig.Game;
  for (int i = 0; i < 25; ++i) game.AddHit(static_cast<int16_t>(i), 0, 4, 0);
  for (size_t i = 0; i < game.Hits.size(); ++i) {
    ASSERT_TRUE(game.Hits[i]);
    EXPECT_EQ(game.Hits[i]->X, static_cast<int16_t>(i));
  }
  for (int i = 0; i < 12; ++i) game.AddRunScore(0, 100, static_cast<uint16_t>(i));
  EXPECT_EQ(game.RunScores[9]->Value, 9);
  game.Hits[3].reset();
  game.AddHit(99, 0, 4, 0);
  EXPECT_EQ(game.Hits[3]->X, 99);
}

TEST(GameSession, PanelShowsHealthBarOnlyInsideItsImage) {
  struct TCase {
    int16_t Health;
    bool Bar;
  };
  const TCase cases[] = {{72, true}, {1, true}, {0, false}, {-3, false}, {90, false}};
  const uint32_t barColour = 0x00102030u + 0x00050709u * 3u;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Health);
    TGameRig rig(1);
    rig.Game->Health = c.Health;
    ASSERT_EQ(rig.Back.Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kDdOk);
    rig.Game->DrawPanel(rig.Back);
    EXPECT_EQ(rig.Back.PixelAt(710, 585) == barColour, c.Bar);
    if (c.Bar) {
      EXPECT_EQ(rig.Back.PixelAt(710, 586 - 2 * c.Health), barColour);
      EXPECT_NE(rig.Back.PixelAt(710, 586 - 2 * c.Health - 1), barColour);
    }
  }
}

TEST(GameSession, PanelFramesTheSelectedWeaponFromItsRowOfTheStrip) {
  const uint32_t frameColour = 0x00102030u + 0x00050709u * 4u;
  for (int8_t weapon = 0; weapon < kWeaponCount; ++weapon) {
    SCOPED_TRACE(int{weapon});
    TGameRig rig(2);
    auto frame = std::make_shared<TSurface>(61, 305);
    ASSERT_EQ(frame->Blt(nullptr, nullptr, nullptr, kBltColorFill, frameColour), kDdOk);
    // Only the selected weapon's row of the strip carries the frame colour.
    const TRect others[] = {{0, 0, 61, 61 * weapon}, {0, 61 * weapon + 61, 61, 305}};
    for (const TRect& r : others) {
      if (r.Height() == 0) continue;
      ASSERT_EQ(frame->Blt(&r, nullptr, nullptr, kBltColorFill, 0x00000001u), kDdOk);
    }
    rig.Images.SpriteImages[sprWeaponFrame] = frame;
    rig.Game->Weapon = weapon;
    rig.Game->DrawPanel(rig.Back);
    for (int w = 0; w < kWeaponCount; ++w) {
      EXPECT_EQ(rig.Back.PixelAt(730, 33 + 61 * w + 30) == frameColour, w == weapon) << w;
    }
  }
}

}  // namespace
