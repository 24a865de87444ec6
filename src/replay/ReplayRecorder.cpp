#include "replay/ReplayRecorder.h"

#include "game/Game.h"
#include "game/GameChecksum.h"
#include "game/LogicVersion.h"

TReplayRecorder::TReplayRecorder(const TGameStart& start, std::string gameVersion,
                                 std::string playerName, int64_t startDate) {
  replay_.LogicVersion = kLogicVersion;
  replay_.GameVersion = std::move(gameVersion);
  replay_.PlayerName = std::move(playerName);
  replay_.StartDate = startDate;
  replay_.Seed = start.Seed;
  replay_.StartTick = start.StartTick;
  // Ten minutes of play without growing.
  replay_.Inputs.reserve(64 * 60 * 10);
  replay_.FrameTags.reserve(64 * 60 * 10);
}

bool TReplayRecorder::AddFrame(const TFrameInput& input, const TGame& game) {
  if (!whole_) return false;
  if (replay_.FrameCount() >= kMaxReplayFrames) {
    whole_ = false;
    return false;
  }
  const uint32_t sum = StateChecksum(game);
  replay_.Inputs.push_back(input);
  replay_.FrameTags.push_back(FrameTag(game));
  if (replay_.FrameCount() % kCheckpointFrames == 0) replay_.Checkpoints.push_back(sum);
  return true;
}

TReplay TReplayRecorder::Finish(const TGame& game) const {
  TReplay replay = replay_;
  replay.FinalScore = game.Score;
  replay.FinalLevel = game.Level;
  replay.FinalChecksum = StateChecksum(game);
  return replay;
}
