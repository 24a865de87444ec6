// Verifying a replay: a scripted player's whole game (about three minutes
// of play) played again with the game logic only, with its speed as a
// multiple of the game's own duration (the score server needs at least 600x:
// a 10-minute game in a second). Beside it, in the same run, the floor: only
// reading the file (CRC, inflate, run-length decoding). The size of a
// 10-minute replay of the same player at the real clock's steps is printed too.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "replay/ReplayKit.h"
#include "replay/ReplayVerifier.h"

namespace {

constexpr double kFramesPerSecond = 64.0;

const TRecordedGame& Game() {
  static const TRecordedGame game = RecordScriptedGame(20261207, false);
  return game;
}

void SetSpeed(benchmark::State& state) {
  const double gameSeconds = static_cast<double>(Game().Replay.FrameCount()) / kFramesPerSecond;
  state.counters["x_real_time"] = benchmark::Counter(
      gameSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["frames"] = static_cast<double>(Game().Replay.FrameCount());
}

void BM_ReadReplayFloor(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Game().Bytes;
  for (auto _ : state) {
    TReplay replay;
    benchmark::DoNotOptimize(DecodeReplay(bytes.data(), bytes.size(), replay));
  }
  SetSpeed(state);
  state.SetLabel("floor: reading the file only");
}

void BM_VerifyReplay(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Game().Bytes;
  for (auto _ : state) {
    const TVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
    if (verdict.Kind != TVerdictKind::Ok) state.SkipWithError(verdict.Message.c_str());
  }
  SetSpeed(state);
  state.SetLabel("reading and playing again (needs >= 600x)");
}

// Ten minutes of the same player at the real clock's 15.625 ms steps: its
// inputs repeated to 38,400 frames, with a check for every frame.
void PrintTenMinuteSize() {
  const TReplay& game = Game().Replay;
  TReplay ten = game;
  ten.Inputs.clear();
  ten.FrameTags.clear();
  constexpr uint32_t kFrames = 64 * 60 * 10;
  uint64_t micros = 0;
  uint32_t lastMs = 0;
  for (uint32_t f = 0; f < kFrames; ++f) {
    TFrameInput in = game.Inputs[f % game.Inputs.size()];
    micros += 15625;
    const auto ms = static_cast<uint32_t>(micros / 1000);
    in.Ms = ms - lastMs;
    lastMs = ms;
    ten.Inputs.push_back(in);
    ten.FrameTags.push_back(game.FrameTags[f % game.FrameTags.size()]);
  }
  ten.Checkpoints.assign(kFrames / kCheckpointFrames, 0x9E3779B9u);
  for (size_t i = 0; i < ten.Checkpoints.size(); ++i)
    ten.Checkpoints[i] *= static_cast<uint32_t>(i + 1);
  std::printf(
      "a 10-minute replay (38,400 frames): %zu bytes (limit 24,576); the recorded game: "
      "%zu bytes for %u frames\n",
      EncodeReplay(ten).size(), Game().Bytes.size(), game.FrameCount());
}

}  // namespace

BENCHMARK(BM_ReadReplayFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerifyReplay)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  PrintTenMinuteSize();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
