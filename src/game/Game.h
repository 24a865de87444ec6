#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "game/FrameInput.h"
#include "game/GameHost.h"
#include "game/GameTables.h"
#include "graphics/Surface.h"
#include "platform/Random.h"

class TMyShip;
class TEnemyEngine;
class TIsland;
class THit;
class TBonus;
class TRunScore;
class TRunBackground;

// One game, from the main menu's New Game to the game-over picture.
//
// How the shell uses it:
//   auto game = std::make_unique<TGame>(context, start);  // hides the pointer
//   while GameState == gsPlaying: game->RunFrame(input, &backBuffer);
// RunFrame takes everything the logic reads from `input` (the clock step, the
// keys, mouse and pad as the ship reads them, the weapon changes and the quit
// answer), draws the whole game screen into `back` when it is given, and at
// the end of the game calls context.Host (SetGameState gsMainMenu or
// gsNameEntry, SetMainMenuCurrent) and shows the pointer again. Keep the
// session alive after that: the name entry reads Score.
//
// Drawing never changes the game: RunFrame(input, nullptr) leaves the session
// in the same state as with a back buffer, which is how replays are verified,
// and a host may draw only the frames it shows (watching at 4x or 8x) as long
// as it draws those the session asks for (DrawsLastingPicture).
//
// Fields the shell reads between frames:
//   Score, Level, Lives, Health, Kills  - the game's counters
//   Phase    - acts on input only in phPlay
//   Weapon   - selected weapon 0..4; Ammo[i] > 0 means weapon i is available
//              (Ammo[0] is always 999 while selected)
//
// Every object of the session is created and freed by the session; none of
// them outlives it or reaches it other than through the reference it was given.
class TGame {
 public:
  TGame(TGameContext& context, const TGameStart& start);
  ~TGame();
  TGame(const TGame&) = delete;
  TGame& operator=(const TGame&) = delete;

  // One frame of the session; drawn into `back` unless it is nullptr.
  void RunFrame(const TFrameInput& input, TSurface* back);
  // The side panels: level, score, ammunition, health, lives, weapons.
  void DrawPanel(TSurface& back);
  // True when the next RunFrame writes every pixel of `back` without reading
  // it, so the shell need not clear it first.
  bool CoversFrame(const TSurface& back) const;
  // True when the next RunFrame may make a picture that later frames show
  // (the game-over picture is taken from the frame the last ship's wreck
  // clears in): a host that skips drawing frames draws this one.
  bool DrawsLastingPicture() const { return Phase == phBetween && Lives == 0; }
  // The next available weapon after the selected one, wrapping to the
  // standard gun (Space, the wheel and the pad's shoulders in play).
  void NextWeapon();

  // Explosion of `kind` (0 to 4) in the first free slot; a negative start
  // frame delays its appearance by that many steps. Full slots: nothing.
  void AddHit(int16_t x, int16_t y, uint8_t kind, int8_t startFrame);
  // Floating score in the first free slot. Full slots: nothing.
  void AddRunScore(int16_t x, int16_t y, uint16_t value);
  // Frees every explosion (the wreck of the player's ship starts afresh).
  void ClearHits();
  // Frees every falling bonus (level start).
  void ClearBonuses();

  // Type of the next spawned enemy for the current level.
  uint8_t PickEnemyType();
  // Weighted draw: a percent ship types 0..3, b percent types 4..6, else 7..8.
  uint8_t PickKind(uint8_t a, uint8_t b);

  // The session's clock: the start tick plus every frame's step (ms, wrapping).
  uint32_t Tick() const { return clock_; }
  // Moves the clock without a frame, for tools and tests that step single
  // objects of the session.
  void SetClock(uint32_t tick) { clock_ = tick; }
  // The session's one generator; drawing and sound never draw from it.
  uint32_t Random(uint32_t n) { return rng_.Random(n); }
  TRandom& Rng() { return rng_; }
  void PlaySoundAt(int32_t x, int32_t y, uint8_t id) { context_.Sound.PlaySoundAt(x, y, id); }
  // SpriteImages slot, or nullptr while it is empty.
  TSurface* Sprite(int slot) const;
  // What draws the session's text, or nullptr when it draws none.
  ITextPainter* Text() const { return context_.Text; }
  // The input of the current frame.
  const TFrameInput& Input() const { return input_; }
  bool KeyDown(uint8_t inputKey) const { return (input_.Keys & inputKey) != 0; }
  // Rumbles the pad, where there is one that can.
  void Rumble(uint16_t strength, uint32_t ms) { context_.Host.Rumble(strength, ms); }

  uint8_t Level = 1;
  int32_t Score = 0;
  int32_t Kills = 0;
  std::unique_ptr<TMyShip> Ship;
  std::unique_ptr<TEnemyEngine> Fleet;
  std::array<uint16_t, kWeaponCount> Ammo{};
  std::array<std::unique_ptr<TIsland>, 3> Islands;
  std::array<std::unique_ptr<THit>, 20> Hits;
  std::array<std::unique_ptr<TBonus>, 20> Bonuses;
  std::unique_ptr<TRunBackground> Background;
  std::array<std::unique_ptr<TRunScore>, 10> RunScores;
  uint8_t Phase = phBetween;
  uint32_t Now = 0;
  uint32_t PhaseStart = 0;
  int16_t Lives = 3;
  int16_t Health = kMaxHealth;
  int8_t Weapon = 0;
  // The player's shots are tested against fleet slots 0 to HitScanLimit.
  uint8_t HitScanLimit = 5;

  // Frees island `slot`; an island gun still standing on it stays where it is.
  void FreeIsland(size_t slot);

 private:
  void RunBetween(TSurface* back);
  void RunLevelIntro(TSurface* back);
  void RunPlay(TSurface* back);
  void RunGameOver(TSurface* back);
  void ProcessIslands(TSurface* back);
  void BuildGameOverPicture(TSurface& back);

  TGameContext& context_;
  TRandom rng_;
  uint32_t clock_ = 0;
  TFrameInput input_{};
};
