#include "game/Game.h"

#include <string>

#include "assets/PackSlots.h"
#include "audio/SoundEffects.h"
#include "game/Bonus.h"
#include "game/EnemyEngine.h"
#include "game/GameLayout.h"
#include "game/GameMath.h"
#include "game/GameStates.h"
#include "game/Hit.h"
#include "game/Island.h"
#include "game/MyShip.h"
#include "game/RunBackground.h"
#include "game/RunScore.h"
#include "graphics/Geometry.h"
#include "graphics/ShapeContext.h"
#include "i18n/Gettext.h"

namespace {
constexpr uint32_t kBannerMs = 2150;
constexpr uint32_t kGameOverMs = 2000;
constexpr uint8_t kMaxLevel = 255;

// Runs Process on every occupied slot in index order; a slot whose object
// ends is freed by `free(index)`, by default by emptying it.
template <typename TSlots, typename TFree>
void ProcessSlots(TSlots& slots, TSurface* back, TFree free) {
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] && !slots[i]->Process(back)) free(i);
  }
}
template <typename TSlots>
void ProcessSlots(TSlots& slots, TSurface* back) {
  ProcessSlots(slots, back, [&slots](size_t i) { slots[i].reset(); });
}
}  // namespace

TGame::TGame(TGameContext& context, const TGameStart& start)
    : context_(context), rng_(start.Seed), clock_(start.StartTick) {
  context_.Host.ShowCursor(false);
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

void TGame::RunFrame(const TFrameInput& input, TSurface* back) {
  input_ = input;
  clock_ += input.Ms;
  // Commands given between the frames, in the order they can come: weapon
  // changes in play, then the quit question's Yes.
  if (Phase == phPlay) {
    for (int i = 0; i < input.WeaponChanges; ++i) NextWeapon();
  }
  // The phase start still holds the level's start, long past, so a quit game
  // ends at this frame.
  if (input.Quit) Phase = phGameOver;

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

bool TGame::CoversFrame(const TSurface& back) const {
  auto usable = [](const TSurface* s) { return s != nullptr && !s->IsLost() && !s->IsLocked(); };
  if (!usable(&back)) return false;
  switch (Phase) {
    case phBetween:
    case phLevelIntro:
    case phPlay:
      // The sea under the two panels.
      return back.Width() == kFrameWidth && back.Height() == kFrameHeight &&
             usable(Sprite(sprSea)) && usable(Sprite(sprLeftPanel)) &&
             usable(Sprite(sprRightPanel));
    case phGameOver: {
      // The whole-frame picture.
      const TSurface* picture = context_.SnapshotSurface.get();
      return usable(picture) && picture->Width() == back.Width() &&
             picture->Height() == back.Height();
    }
    default:
      return false;
  }
}

void TGame::NextWeapon() {
  if (Weapon > 3) {
    Weapon = 0;
    return;
  }
  for (int weapon = Weapon + 1; weapon < kWeaponCount; ++weapon) {
    if (Ammo[static_cast<size_t>(weapon)] >= 1) {
      Weapon = static_cast<int8_t>(weapon);
      return;
    }
  }
  Weapon = 0;
}

void TGame::RunBetween(TSurface* back) {
  Now = Tick();
  Background->Process(back);
  Ship->Process(back);
  ProcessSlots(Hits, back);
  ProcessIslands(back);
  ProcessSlots(RunScores, back);
  if (back) DrawPanel(*back);

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
  if (back) BuildGameOverPicture(*back);
}

void TGame::BuildGameOverPicture(TSurface& back) {
  if (!context_.SnapshotSurface) return;
  TSurface& snapshot = *context_.SnapshotSurface;
  // A refused blit leaves the picture without that layer; the game ends anyway.
  (void)DrawOpaque(snapshot, 0, 0, back);
  if (const TSurface* stripe = context_.Images.MenuImages[mnuPauseLine].get()) {
    for (int k = 0; k < 300; ++k) (void)DrawKeyed(snapshot, 0, 2 * k, *stripe);
  }
  if (ITextPainter* text = Text())
    // TRANSLATORS: Large caption at the end of a game.
    text->DrawText(310, 300, 32, 20, true, kTaLeft | kTaTop, kOrange, snapshot, _("Game Over"));
}

void TGame::RunLevelIntro(TSurface* back) {
  Now = Tick();
  Ship->X = 390;
  Ship->Y = 500;
  Background->Process(back);
  ProcessIslands(back);
  Ship->Process(back);
  if (ITextPainter* text = Text(); back && text) {
    // TRANSLATORS: Large caption at the start of each level.
    const std::string banner = Format(_("Level %d"), Level);
    text->DrawText(330, 260, 32, 20, true, kTaLeft | kTaTop, kDarkBlue, *back, banner);
  }
  if (Elapsed(Now, PhaseStart, kBannerMs)) {
    Phase = phPlay;
    Fleet->Clear();
    Kills = 0;
    Health = kMaxHealth;
  }
  if (back) DrawPanel(*back);
}

void TGame::RunPlay(TSurface* back) {
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
  ProcessSlots(Bonuses, back);
  ProcessSlots(Hits, back);
  ProcessSlots(RunScores, back);
  if (back) DrawPanel(*back);
}

void TGame::RunGameOver(TSurface* back) {
  Now = Tick();
  // A refused copy shows this frame's sea instead; the next frame tries again.
  if (back && context_.SnapshotSurface) (void)DrawOpaque(*back, 0, 0, *context_.SnapshotSurface);
  if (!Elapsed(Now, PhaseStart, kGameOverMs)) return;
  context_.Host.SetGameState(gsMainMenu);
  context_.Host.ShowCursor(true);
  if (context_.Host.ScoreQualifies(Score)) {
    if (back && context_.SnapshotSurface) (void)DrawOpaque(*context_.SnapshotSurface, 0, 0, *back);
    context_.Host.SetGameState(gsNameEntry);
    context_.Host.SetMainMenuCurrent(2);
  }
  if (context_.Host.MusicOn()) context_.Music.PlayMusic("1.xm");
  PhaseStart = Tick();
}

void TGame::ProcessIslands(TSurface* back) {
  ProcessSlots(Islands, back, [this](size_t i) { FreeIsland(i); });
}

void TGame::FreeIsland(size_t slot) {
  if (slot >= Islands.size() || !Islands[slot]) return;
  // Between levels the fleet does not run, so a gun may still stand on an
  // island that sails off; it keeps its last position until the level start
  // frees it.
  if (TEnemyShip* gun = Fleet->Find(Islands[slot]->Gun)) gun->IslandY = nullptr;
  Islands[slot].reset();
}

void TGame::DrawPanel(TSurface& back) {
  // A refused blit (a lost back buffer, which the shell restores) leaves that
  // part of the panel out of this frame only.
  if (const TSurface* left = Sprite(sprLeftPanel)) (void)DrawKeyed(back, 0, 0, *left);
  if (const TSurface* right = Sprite(sprRightPanel)) (void)DrawKeyed(back, kRightPanelX, 0, *right);
  ITextPainter* text = Text();
  auto field = [&](const TPanelField& f, uint32_t align, int32_t value) {
    if (!text) return;
    text->DrawText(f.X, f.Y, f.Height, f.Width, false, align, kOrange, back, std::to_string(value));
  };
  field(kLevelField, kTaCenter, Level);
  field(kScoreField, kTaCenter, Score);
  const bool weaponValid = Weapon >= 0 && Weapon < kWeaponCount;
  field(kAmmoField, kTaRight, weaponValid ? Ammo[static_cast<size_t>(Weapon)] : 0);

  constexpr uint32_t kPanelBlit = kBltFastSrcColorKey | kBltFastDoNotWait;
  // Health bar, growing upward; none outside 1..72.
  if (const TSurface* bar = Sprite(sprHealthBar); bar && Health > 0 && Health <= kMaxHealth) {
    const int32_t h = 2 * Health;
    const TRect rect{0, kHealthBarHeight - h, kHealthBarWidth, kHealthBarHeight};
    (void)back.BltFast(kHealthBarX, kHealthBarBottom - h, *bar, &rect, kPanelBlit);
  }
  if (const TSurface* life = Sprite(sprLife)) {
    for (int i = 0; i < Lives; ++i) {
      (void)back.BltFast(kLivesX + kLivesStep * i, kLivesY, *life, nullptr, kPanelBlit);
    }
  }
  // The icons and the frame are strips of five cells, read at the weapon's row.
  auto weaponCell = [&](const TSurface& strip, int weapon) {
    const int32_t top = kWeaponCell * weapon;
    const TRect rect{0, top, kWeaponCell, top + kWeaponCell};
    (void)back.BltFast(kWeaponX, kWeaponTop + top, strip, &rect, kPanelBlit);
  };
  if (const TSurface* icons = Sprite(sprWeaponIcons)) {
    for (int i = 0; i < kWeaponCount; ++i) {
      if (Ammo[static_cast<size_t>(i)] != 0) weaponCell(*icons, i);
    }
  }
  if (const TSurface* frame = Sprite(sprWeaponFrame); frame && weaponValid)
    weaponCell(*frame, Weapon);
}

void TGame::AddHit(int16_t x, int16_t y, uint8_t kind, int8_t startFrame) {
  for (size_t i = 0; i < Hits.size(); ++i) {
    if (!Hits[i]) {
      Hits[i] = std::make_unique<THit>(*this, kind, x, y, startFrame);
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
