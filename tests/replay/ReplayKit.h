#pragma once

#include <cstdint>
#include <vector>

#include "game/GameChecksum.h"
#include "game/GameReplay.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"

// A scripted player's whole game recorded as the shell records one, with
// what each frame left behind.
struct TRecordedGame {
  TReplay Replay;
  std::vector<uint8_t> Bytes;
  std::vector<uint32_t> Sums;   // state checksum after each frame
  std::vector<uint8_t> Phases;  // phase after each frame
  std::vector<int16_t> ShipX;   // ship position after each frame
};

inline TRecordedGame RecordScriptedGame(uint64_t seed, bool draw) {
  TGameRig rig(seed, draw);
  rig.Draw = draw;
  TReplayRecorder recorder(TGameStart{seed, rig.Sys.Tick()}, "2.0", "Tester", 1765000000);
  TRecordedGame out;
  for (const TReplayFrame& frame : MakeReplayScript(seed, 40000)) {
    PlayReplayFrame(rig, frame);
    recorder.AddFrame(rig.LastInput, *rig.Game);
    out.Sums.push_back(StateChecksum(*rig.Game));
    out.Phases.push_back(rig.Game->Phase);
    out.ShipX.push_back(rig.Game->Ship->X);
    if (!rig.Host.States.empty()) break;
  }
  out.Replay = recorder.Finish(*rig.Game);
  out.Bytes = EncodeReplay(out.Replay);
  return out;
}
