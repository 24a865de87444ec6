#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/Game.h"
#include "game/GameHost.h"
#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "graphics/Surface.h"
#include "replay/ReplayFile.h"

// Reads a .tlr file that this game can play: whole, undamaged and of this
// logic version. False with a one-line reason (naming the file) otherwise.
bool ReadWatchableReplay(const std::string& path, TReplay& replay, std::string& error);

// Watching a recorded game: a session started as the recorded one was and fed
// the recorded input of each frame, exactly as the verifier feeds it, drawn
// with the form's images, text, sound and music. Drawing never changes the
// game, so what is shown is the game that was played.
class TReplayViewer final : private IGameHost {
 public:
  // What the session draws and sounds with; all of it outlives the viewer.
  struct TParts {
    TImageSlots& Images;
    TFonts& Fonts;
    ISoundEffects& Sound;
    IMusic& Music;
    TSurfacePtr& SnapshotSurface;
    bool MusicOn = true;
  };

  TReplayViewer(TReplay replay, const TParts& parts);
  ~TReplayViewer() override;
  TReplayViewer(const TReplayViewer&) = delete;
  TReplayViewer& operator=(const TReplayViewer&) = delete;

  // Plays the frames that `elapsedMs` of real time at `speed` times the
  // recorded pace brings due (a long gap counts as a short one), draws the
  // last of them into `back` and lays the progress line, name and score over it.
  // Returns whether anything was drawn: between two due frames the last
  // picture stays.
  bool Advance(uint32_t elapsedMs, uint32_t speed, TSurface& back);
  // Whether the recorded game is over (or its frames have run out).
  bool Ended() const { return ended_ || next_ >= replay_.FrameCount(); }
  const TGame& Game() const { return *game_; }
  uint32_t FramesPlayed() const { return next_; }
  // The state checksum after every 64th frame watched so far, as a replay
  // stores them.
  const std::vector<uint32_t>& Checkpoints() const { return checkpoints_; }

  bool Paused = false;
  bool Stopped = false;  // the form has gone back from watching

 private:
  // One recorded frame, drawn into `back` unless it is nullptr.
  void StepFrame(TSurface* back);
  void DrawOverlay(TSurface& back);

  // --- IGameHost: the watched session changes nothing of the form ---------------------
  void SetGameState(uint32_t) override { ended_ = true; }
  bool MusicOn() const override { return musicOn_; }
  // Only picks the screen after the game, which is not shown.
  bool ScoreQualifies(int32_t) const override { return false; }
  void SetMainMenuCurrent(int32_t) override {}

  TReplay replay_;
  TFonts& fonts_;
  bool musicOn_;
  TGameContext context_;
  std::unique_ptr<TGame> game_;
  uint32_t next_ = 0;   // the next frame to play
  uint32_t clock_ = 0;  // where the watched time has reached, in the game's ms
  bool mismatchTold_ = false;
  bool ended_ = false;
  std::vector<uint32_t> checkpoints_;
};
