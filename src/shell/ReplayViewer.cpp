#include "shell/ReplayViewer.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "files/RegularFile.h"
#include "game/GameChecksum.h"
#include "game/LogicVersion.h"
#include "graphics/Text.h"
#include "i18n/Gettext.h"
#include "platform/FrameSize.h"

namespace {

// Real time beyond this between two passes (the window was in the
// background, say) is not caught up with.
constexpr uint32_t kMaxElapsedMs = 100;

}  // namespace

bool ReadWatchableReplay(const std::string& path, TReplay& replay, std::string& error) {
  std::string bytes;
  std::string reason;
  if (!ReadRegularFile(path, kMaxReplayBytes, bytes, reason)) {
    error = path + ": " + reason;
    return false;
  }
  const TReplayReadResult read =
      DecodeReplay(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), replay);
  if (!read) {
    error = path + ": " + read.Message;
    return false;
  }
  if (replay.LogicVersion != kLogicVersion) {
    error = path + ": recorded with game logic " + std::to_string(replay.LogicVersion) +
            "; this game plays logic " + std::to_string(kLogicVersion);
    return false;
  }
  return true;
}

TReplayViewer::TReplayViewer(TReplay replay, const TParts& parts)
    : replay_(std::move(replay)),
      fonts_(parts.Fonts),
      musicOn_(parts.MusicOn),
      context_{parts.Images, &parts.Fonts, parts.Sound, parts.Music, *this, parts.SnapshotSurface},
      clock_(replay_.StartTick) {
  // The music of a game, as New Game starts it.
  if (musicOn_) parts.Music.PlayMusic("2.xm");
  game_ = std::make_unique<TGame>(context_, TGameStart{replay_.Seed, replay_.StartTick});
}

TReplayViewer::~TReplayViewer() = default;

bool TReplayViewer::Advance(uint32_t elapsedMs, uint32_t speed, TSurface& back) {
  if (Paused || Ended()) return false;
  clock_ += std::min(elapsedMs, kMaxElapsedMs) * std::max<uint32_t>(speed, 1);
  // The frames whose clock step the watched time has passed; only the last
  // is shown, so the others are played without drawing unless the session
  // makes a lasting picture in them.
  uint32_t due = 0;
  uint32_t at = game_->Tick();
  for (uint32_t f = next_; f < replay_.FrameCount(); ++f) {
    at += replay_.Inputs[f].Ms;
    // Signed difference: right across the 32-bit wrap of the clock.
    if (static_cast<int32_t>(clock_ - at) < 0) break;
    ++due;
  }
  if (due == 0) return false;
  for (uint32_t i = 0; i < due && !Ended(); ++i) {
    const bool shown = i + 1 == due || game_->DrawsLastingPicture();
    StepFrame(shown ? &back : nullptr);
  }
  DrawOverlay(back);
  return true;
}

void TReplayViewer::StepFrame(TSurface* back) {
  game_->RunFrame(replay_.Inputs[next_], back);
  ++next_;
  if (next_ % kCheckpointFrames != 0) return;
  const uint32_t sum = StateChecksum(*game_);
  const size_t index = checkpoints_.size();
  checkpoints_.push_back(sum);
  if (!mismatchTold_ && index < replay_.Checkpoints.size() && replay_.Checkpoints[index] != sum) {
    mismatchTold_ = true;
    const std::string told =
        // TRANSLATORS: Said on standard error while watching a replay; %u is a frame number.
        Format(_("the watched game parts from the recorded one before frame %u"), next_ - 1);
    std::fprintf(stderr, "tidal-lynx: %s\n", told.c_str());
  }
}

// A thin line along the bottom edge for the part watched, and the player's
// name and the score just above it.
void TReplayViewer::DrawOverlay(TSurface& back) {
  constexpr int32_t kLineHeight = 3;
  const uint32_t total = std::max<uint32_t>(replay_.FrameCount(), 1);
  const int32_t width = static_cast<int32_t>(static_cast<uint64_t>(kFrameWidth) * next_ / total);
  if (width > 0) FillRoundRect(0, kFrameHeight - kLineHeight, width, kLineHeight, kOrange, back);
  const std::string name = replay_.PlayerName.empty() ? "?" : replay_.PlayerName;
  DrawTextLeft(fonts_, 6, kFrameHeight - kLineHeight - 18, 16, 7, true, kOrange, back,
               name + "  " + std::to_string(game_->Score));
}
