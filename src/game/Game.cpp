#include "game/Game.h"

#include <string>

#include "audio/SoundEffects.h"
#include "game/Bonus.h"
#include "game/EnemyEngine.h"
#include "game/GameMath.h"
#include "game/GameStates.h"
#include "game/Hit.h"
#include "game/Island.h"
#include "game/MyShip.h"
#include "game/RunBackground.h"
#include "game/RunScore.h"
#include "graphics/Geometry.h"
#include "graphics/Text.h"

namespace {
constexpr uint32_t kBannerMs = 2150;
constexpr uint32_t kGameOverMs = 2000;
constexpr uint8_t kMaxLevel = 255;
}  // namespace

TGame::TGame(TGameContext& context) : context_(context) {
  context_.Sys.ShowCursor(false);
  Fleet = std::make_unique<TEnemyEngine>(*this);
  Ship = std::make_unique<TMyShip>(*this);
  Ship->Y = 510;
  Background = std::make_unique<TRunBackground>(*this);
  PhaseStart = Tick();
}

TGame::~TGame() {
  // Island guns read their island's Y: the fleet goes before the islands.
  for (auto& hit : Hits) hit.reset();
  for (auto& bonus : Bonuses) bonus.reset();
  for (auto& runScore : RunScores) runScore.reset();
  Ship.reset();
  Background.reset();
  Fleet.reset();
  for (auto& island : Islands) island.reset();
}

TSurface* TGame::Sprite(int slot) const {
  if (slot < 0 || slot >= kSpriteImageCount) return nullptr;
  return context_.Images.SpriteImages[static_cast<size_t>(slot)].get();
}

void TGame::RunFrame(TSurface& back) {
  mouse_ = TMouseState{};
  if (!context_.Sys.ReadMouse(mouse_)) mouse_ = TMouseState{};
  // The pointer is held inside the window; only relative motion is used.
  if (context_.Host.MouseActive()) context_.Sys.SetCursorPos(700, 500);

  switch (Phase) {
    case phBetween:
      RunBetween(back);
      break;
    case phLevelIntro:
      RunLevelIntro(back);
      break;
    case phPlay:
      RunPlay(back);
      break;
    case phGameOver:
      RunGameOver(back);
      break;
    default:
      break;
  }
}

void TGame::RunBetween(TSurface& back) {
  Now = Tick();
  Background->Process(back);
  Ship->Process(back);
  ProcessHits(back);
  ProcessIslands(back);
  ProcessRunScores(back);
  DrawPanel(back);

  for (const auto& hit : Hits) {
    if (hit) return;
  }
  for (const auto& runScore : RunScores) {
    if (runScore) return;
  }
  if (Lives != 0) {
    Phase = phLevelIntro;
    PlaySoundAt(400, 800, sndWin);
    PhaseStart = Tick();
    return;
  }
  context_.Music.StopMusic();
  Phase = phGameOver;
  PlaySoundAt(400, 100, sndLoose);
  PhaseStart = Tick();
  BuildGameOverPicture(back);
}

void TGame::BuildGameOverPicture(TSurface& back) {
  if (!context_.SnapshotSurface) return;
  TSurface& snapshot = *context_.SnapshotSurface;
  DrawOpaque(snapshot, 0, 0, back);
  if (const TSurface* stripe = context_.Images.MenuImages[21].get()) {
    for (int k = 0; k < 300; ++k) DrawKeyed(snapshot, 0, 2 * k, *stripe);
  }
  DrawCaption(context_.Fonts, 310, 300, 32, 20, kOrange, snapshot, "Game Over");
}

void TGame::RunLevelIntro(TSurface& back) {
  Now = Tick();
  Ship->X = 390;
  Ship->Y = 500;
  Background->Process(back);
  ProcessIslands(back);
  Ship->Process(back);
  DrawCaption(context_.Fonts, 330, 260, 32, 20, kDarkBlue, back, "Level " + std::to_string(Level));
  if (Elapsed(Now, PhaseStart, kBannerMs)) {
    Phase = phPlay;
    Fleet->Clear();
    Kills = 0;
    Health = kMaxHealth;
  }
  DrawPanel(back);
}

void TGame::RunPlay(TSurface& back) {
  if (Kills >= 3 * static_cast<int32_t>(Level)) {
    // The 8-bit level stops at 255 rather than wrapping to 0, where every
    // frame would complete a level.
    if (Level < kMaxLevel) ++Level;
    Phase = phBetween;
  }
  Now = Tick();
  Background->Process(back);
  ProcessIslands(back);
  Ship->Process(back);
  Fleet->Process(back);
  ProcessBonuses(back);
  ProcessHits(back);
  ProcessRunScores(back);
  DrawPanel(back);
}

void TGame::RunGameOver(TSurface& back) {
  Now = Tick();
  if (context_.SnapshotSurface) DrawOpaque(back, 0, 0, *context_.SnapshotSurface);
  if (!Elapsed(Now, PhaseStart, kGameOverMs)) return;
  context_.Host.SetGameState(gsMainMenu);
  context_.Sys.ShowCursor(true);
  if (context_.Host.LowestHighScore() < Score) {
    if (context_.SnapshotSurface) DrawOpaque(*context_.SnapshotSurface, 0, 0, back);
    context_.Host.SetGameState(gsNameEntry);
    context_.Host.SetMainMenuCurrent(2);
  }
  if (context_.Host.MusicOn()) context_.Music.PlayMusic("1.xm");
  PhaseStart = Tick();
}

void TGame::ProcessIslands(TSurface& back) {
  for (size_t i = 0; i < Islands.size(); ++i) {
    if (Islands[i] && !Islands[i]->Process(back)) FreeIsland(i);
  }
}

void TGame::ProcessHits(TSurface& back) {
  for (auto& hit : Hits) {
    if (hit && !hit->Process(back)) hit.reset();
  }
}

void TGame::ProcessRunScores(TSurface& back) {
  for (auto& runScore : RunScores) {
    if (runScore && !runScore->Process(back)) runScore.reset();
  }
}

void TGame::ProcessBonuses(TSurface& back) {
  for (auto& bonus : Bonuses) {
    if (bonus && !bonus->Process(back)) bonus.reset();
  }
}

void TGame::FreeIsland(size_t slot) {
  if (slot >= Islands.size() || !Islands[slot]) return;
  // Between levels the fleet does not run, so a gun may still stand on an
  // island that sails off; it keeps its last position until the level start
  // frees it.
  const int16_t* islandY = &Islands[slot]->Y;
  for (auto& enemy : Fleet->Ships) {
    if (enemy && enemy->IslandY == islandY) enemy->IslandY = nullptr;
  }
  Islands[slot].reset();
}

void TGame::DrawPanel(TSurface& back) {
  if (const TSurface* left = Sprite(0)) DrawKeyed(back, 0, 0, *left);
  if (const TSurface* right = Sprite(1)) DrawKeyed(back, 682, 0, *right);
  TFonts& fonts = context_.Fonts;
  DrawTextEx(fonts, 58, 85, 30, 12, false, kTaCenter, kOrange, back, std::to_string(Level));
  DrawTextEx(fonts, 58, 205, 30, 11, false, kTaCenter, kOrange, back, std::to_string(Score));
  const bool weaponValid = Weapon >= 0 && Weapon < kWeaponCount;
  const int ammo = weaponValid ? Ammo[static_cast<size_t>(Weapon)] : 0;
  DrawTextEx(fonts, 793, 360, 20, 10, false, kTaRight, kOrange, back, std::to_string(ammo));

  constexpr uint32_t kPanelBlit = kBltFastSrcColorKey | kBltFastDoNotWait;
  // Health bar, growing upward from y = 586; none outside 1..72.
  if (const TSurface* bar = Sprite(3); bar && Health > 0 && Health <= kMaxHealth) {
    const int32_t h = 2 * Health;
    const TRect rect{0, 144 - h, 28, 144};
    back.BltFast(708, 586 - h, *bar, &rect, kPanelBlit);
  }
  if (const TSurface* life = Sprite(2)) {
    for (int i = 0; i < Lives; ++i) back.BltFast(9 + 34 * i, 320, *life, nullptr, kPanelBlit);
  }
  if (const TSurface* icons = Sprite(33)) {
    for (int i = 0; i < kWeaponCount; ++i) {
      if (Ammo[static_cast<size_t>(i)] == 0) continue;
      const TRect rect{0, 61 * i, 61, 61 * i + 61};
      back.BltFast(700, 33 + 61 * i, *icons, &rect, kPanelBlit);
    }
  }
  if (const TSurface* frame = Sprite(4); frame && weaponValid) {
    // The frame image is a strip of five, read at the selected weapon's row.
    const TRect rect{0, 61 * Weapon, 61, 61 * Weapon + 61};
    back.BltFast(700, 33 + 61 * Weapon, *frame, &rect, kPanelBlit);
  }
}

void TGame::AddHit(int16_t x, int16_t y, uint8_t kind, int8_t startFrame) {
  for (size_t i = 0; i < Hits.size(); ++i) {
    if (!Hits[i]) {
      Hits[i] = std::make_unique<THit>(*this, kind, static_cast<uint8_t>(i), x, y, startFrame);
      return;
    }
  }
}

void TGame::AddRunScore(int16_t x, int16_t y, uint16_t value) {
  for (auto& runScore : RunScores) {
    if (!runScore) {
      runScore = std::make_unique<TRunScore>(*this, x, y, value);
      return;
    }
  }
}

void TGame::ClearHits() {
  for (auto& hit : Hits) hit.reset();
}

void TGame::ClearBonuses() {
  for (auto& bonus : Bonuses) bonus.reset();
}

uint8_t TGame::PickKind(uint8_t a, uint8_t b) {
  // Drawn from the session's one generator: reseeding from a clock that has
  // not moved would return the same draw forever in PickEnemyType's loop.
  const uint32_t r = Random(100);
  if (r <= a) return static_cast<uint8_t>(Random(4));
  if (r < static_cast<uint32_t>(a) + b) return static_cast<uint8_t>(4 + Random(3));
  return static_cast<uint8_t>(7 + Random(2));
}

uint8_t TGame::PickEnemyType() {
  const TLevelRow& row = kLevelRows[Level % 10];
  uint8_t kind = 0;
  do {
    kind = PickKind(row.WeightShips, row.WeightAircraft);
  } while ((row.AllowedMask & (1u << kind)) == 0);
  if (Random(10) == 5) kind = kSupplyPlane;
  return kind;
}
