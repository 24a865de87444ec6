#pragma once

// Test helper: whole games recorded with the replay library's recorder, as
// the game records them, from a scripted player on the headless session.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Random.h"
#include "replay/HeadlessGame.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"

struct TShortGame {
  std::vector<uint8_t> Bytes;
  int32_t Score = 0;
  uint32_t Frames = 0;
};

// Plays up to `playFrames` frames of held, changing intentions (moving,
// aiming, firing), then answers the quit question Yes and plays on until the
// game hands back to the menus.
inline TShortGame RecordGame(uint64_t seed, uint32_t playFrames, const std::string& name) {
  const TGameStart start{seed, 1000};
  THeadlessGame game(start);
  TReplayRecorder recorder(start, "2.0", name, 1'800'000'000);
  TRandom script(seed ^ 0xC0FFEEull);
  uint8_t keys = 0;
  uint32_t hold = 0;
  for (uint32_t frame = 0; frame < 40'000 && !game.Ended(); ++frame) {
    if (hold == 0) {
      hold = 5 + script.Random(40);
      const uint32_t move = script.Random(3);
      const uint32_t aim = script.Random(3);
      const uint32_t fire = script.Random(4);
      keys = static_cast<uint8_t>((move == 1   ? kInputLeft
                                   : move == 2 ? kInputRight
                                               : 0) |
                                  (aim == 1   ? kInputUp
                                   : aim == 2 ? kInputDown
                                              : 0) |
                                  (fire != 0 ? kInputLeftControl : 0));
    }
    --hold;
    TFrameInput input;
    input.Ms = 16;
    input.Keys = keys;
    input.Quit = frame == playFrames;
    game.Step(input);
    recorder.AddFrame(input, game.Game());
  }
  const TReplay replay = recorder.Finish(game.Game());
  return {EncodeReplay(replay), replay.FinalScore, replay.FrameCount()};
}
