#pragma once

#include <cstdint>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "graphics/ImageSlots.h"
#include "graphics/TextPainter.h"

// What the shell does for a game session, kept narrow so that game/ never
// includes the shell. None of it feeds back into the game's logic except
// ScoreQualifies, which only picks the screen after the game.
class IGameHost {
 public:
  virtual ~IGameHost() = default;
  virtual void SetGameState(uint32_t state) = 0;
  virtual bool MusicOn() const = 0;
  // Whether `score` earns a row of the high-score table (the table's own
  // rule, settings' QualifiesForTable).
  virtual bool ScoreQualifies(int32_t score) const = 0;
  // MainMenuGroup's Current item.
  virtual void SetMainMenuCurrent(int32_t item) = 0;
  // Hides the pointer for the game and shows it again at its end.
  virtual void ShowCursor(bool /*show*/) {}
  // Rumbles the pad at `strength` (0 to 65535) for `ms`, where one can.
  virtual void Rumble(uint16_t /*strength*/, uint32_t /*ms*/) {}
};

// Everything a session and its objects use besides its input, handed to the
// session at creation. The owner keeps all of it alive longer than the session.
// Images, Text and SnapshotSurface are read only while a frame is drawn; a
// session that is never drawn (a replay being verified) may leave them empty.
struct TGameContext {
  TImageSlots& Images;
  ITextPainter* Text;  // the faces; nullptr: no text is drawn
  ISoundEffects& Sound;
  IMusic& Music;
  IGameHost& Host;
  TSurfacePtr& SnapshotSurface;  // the shell's snapshot surface (game-over picture)
};

// How a session starts: the generator's seed and the clock at New Game. With
// the same start and the same inputs, a session plays the same game.
struct TGameStart {
  uint64_t Seed = 0;
  uint32_t StartTick = 0;  // ms, 32-bit wrap-around
};
