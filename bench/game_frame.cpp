// RunFrame of a busy moment of play: five enemies, 40 shots, ten explosions,
// falling bonuses and two islands, drawn with the real image pack when the
// game folder has one (test images otherwise), with the ratio to one plain
// copy of an 800 x 600 frame.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "FrameFloor.h"
#include "game/BusyScene.h"
#include "game/GameRig.h"
#include "images/ImagePack.h"

namespace {

void LoadImages(TGameRig& rig) {
  const std::string pack = std::string(TL_GAME_DIR) + "/" + kPackRelativePath;
  if (!std::filesystem::exists(pack)) return;
  try {
    LoadAllImages(rig.Images, pack);
  } catch (const TPackError&) {
    FillTestImages(rig.Images);
  }
}

void BM_BusyPlayFrame(benchmark::State& state) {
  TGameRig rig(99);
  LoadImages(rig);
  rig.Frame();
  for (auto _ : state) {
    state.PauseTiming();
    StageBusyScene(*rig.Game);
    rig.Advance(16);
    state.ResumeTiming();
    rig.Step();
    benchmark::DoNotOptimize(rig.Back.Pixels());
  }
  state.SetLabel("microseconds per frame");
}
BENCHMARK(BM_BusyPlayFrame)->Unit(benchmark::kMicrosecond);

// The sea, islands and panels alone: what every frame costs before any action.
void BM_QuietPlayFrame(benchmark::State& state) {
  TGameRig rig(98);
  LoadImages(rig);
  rig.Frame();
  rig.Game->Phase = phPlay;
  for (auto _ : state) {
    state.PauseTiming();
    rig.Game->Fleet->Clear();
    rig.Game->Health = kMaxHealth;
    rig.Advance(16);
    rig.Game->Fleet->LastSpawn = rig.Sys.Tick();
    state.ResumeTiming();
    rig.Step();
    benchmark::DoNotOptimize(rig.Back.Pixels());
  }
}
BENCHMARK(BM_QuietPlayFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return RunWithFloor(argc, argv);
}
