#pragma once

#include <cstdint>
#include <memory>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/Game.h"
#include "game/GameHost.h"
#include "graphics/ImageSlots.h"

// A session with nothing attached: no pictures, no text, no sound, no
// window. It plays the game's logic only, as fast as the machine goes, which
// is how a replay is verified.
class THeadlessGame final : private IGameHost {
 public:
  explicit THeadlessGame(const TGameStart& start);
  ~THeadlessGame() override;
  THeadlessGame(const THeadlessGame&) = delete;
  THeadlessGame& operator=(const THeadlessGame&) = delete;

  // One frame without drawing. Returns true when the session ended in it
  // (the game-over picture ran out and the game handed back to the menus).
  bool Step(const TFrameInput& input);
  bool Ended() const { return ended_; }
  const TGame& Game() const { return *game_; }

 private:
  void SetGameState(uint32_t) override { ended_ = true; }
  bool MusicOn() const override { return false; }
  // Which screen follows the game does not change the game.
  bool ScoreQualifies(int32_t) const override { return false; }
  void SetMainMenuCurrent(int32_t) override {}

  TImageSlots images_;
  TSurfacePtr snapshot_;
  TSilentSoundEffects sound_;
  TSilentMusic music_;
  TGameContext context_;
  std::unique_ptr<TGame> game_;
  bool ended_ = false;
};
