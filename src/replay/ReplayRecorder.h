#pragma once

#include <cstdint>
#include <string>

#include "game/FrameInput.h"
#include "game/GameHost.h"
#include "replay/ReplayFile.h"

class TGame;

// Records one session: give it the session's start, then after every
// RunFrame the input that frame read and the session it left, and at the end
// take the finished replay.
//
//   TReplayRecorder rec(start, "2.0", name, time(nullptr));
//   game.RunFrame(input, back); rec.AddFrame(input, game);   // every frame
//   TReplay replay = rec.Finish(game);
//   std::vector<uint8_t> bytes = EncodeReplay(replay);
class TReplayRecorder {
 public:
  TReplayRecorder(const TGameStart& start, std::string gameVersion, std::string playerName,
                  int64_t startDate);

  // Appends a frame; false (and nothing kept from then on) once the replay
  // has reached kMaxReplayFrames.
  bool AddFrame(const TFrameInput& input, const TGame& game);
  // Whether the recording is still whole (not past kMaxReplayFrames).
  bool Whole() const { return whole_; }
  uint32_t Frames() const { return replay_.FrameCount(); }
  // The replay with the session's final score, level and state checksum.
  TReplay Finish(const TGame& game) const;

 private:
  TReplay replay_;
  bool whole_ = true;
};
