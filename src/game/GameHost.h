#pragma once

#include <cstdint>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "platform/Platform.h"
#include "platform/Random.h"

// What the shell does for a game session at game over, kept narrow so that
// game/ never includes the shell.
class IGameHost {
 public:
  virtual ~IGameHost() = default;
  virtual void SetGameState(uint32_t state) = 0;
  virtual bool MouseActive() const = 0;
  virtual bool MusicOn() const = 0;
  // Score of the last (10th) high-score entry.
  virtual int32_t LowestHighScore() const = 0;
  // MainMenuGroup's Current item.
  virtual void SetMainMenuCurrent(int32_t item) = 0;
};

// Everything a session and its objects use, handed to the session at creation.
// The shell owns all of it and outlives the session.
struct TGameContext {
  Platform& Sys;
  TRandom& Rng;
  TImageSlots& Images;
  TFonts& Fonts;
  ISoundEffects& Sound;
  IMusic& Music;
  IGameHost& Host;
  TSurfacePtr& SnapshotSurface;  // the shell's snapshot surface (game-over picture)
  const TKeyboardSnapshot& KeyboardState;
};
