// Cost of the audio callback: one second of 44100 Hz stereo output with the
// music playing and 16 effects sounding at once, rendered in 512-frame
// callbacks. The "realtime_fraction" counter is the share of one second of
// wall time spent mixing one second of sound.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "audio/Audio.h"
#include "audio/AudioTestKit.h"
#include "audio/DXSound.h"
#include "audio/DXWaveList.h"
#include "audio/DirectSound.h"
#include "audio/DirectSoundBuffer.h"
#include "support/FakePlatform.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// Uses the generated menu module when this build has it, else a small one in
// a scratch folder that goes when the program ends.
fs::path MusicFolder() {
  const fs::path generated = fs::path(TL_GAME_DIR) / "sound";
  if (fs::exists(generated / "1.xm")) return generated;
  static const TScratchFolder scratch("bench");
  test_kit::WriteFile(scratch / "1.xm", audiotest::TinyXm());
  return scratch;
}

void BM_MixOneSecond(benchmark::State& state) {
  const bool withMusic = state.range(0) != 0;
  const int effects = static_cast<int>(state.range(1));
  FakePlatform platform;
  bool soundOn = true;
  const fs::path folder = MusicFolder();
  TAudio audio(platform, soundOn, folder.string() + "/");
  audio.OpenDevice();
  if (!audio.HasDevice()) {
    state.SkipWithError("no sound device");
    return;
  }
  if (withMusic) audio.PlayMusic("1.xm");

  // Looping voices keep every effect sounding for the whole measurement; the
  // bank's own waves bring their 8000 and 11025 Hz rates (resampled).
  std::vector<std::unique_ptr<TDirectSoundBuffer>> voices;
  TWaveCollection& bank = audio.WaveList().Items();
  for (int i = 0; i < effects; ++i) {
    TWaveCollectionItem& item = bank[i % bank.Count()];
    if (item.Wave().Size() <= 0) continue;
    auto buffer = std::make_unique<TDirectSoundBuffer>(*audio.Sound().DSound());
    buffer->LoadFromWave(item.Wave());
    buffer->SetPan((i * 600) % 8000 - 4000);
    buffer->SetVolume(-(i * 50));
    buffer->Play(true);
    voices.push_back(std::move(buffer));
  }

  const TAudioCallback callback = platform.AudioCallback;
  std::vector<int16_t> samples(2 * 512);
  for (auto _ : state) {
    for (int done = 0; done < 44100; done += 512) {
      callback(samples.data(), 512);
      benchmark::DoNotOptimize(samples.data());
    }
  }
  state.counters["effects"] = static_cast<double>(voices.size());
  state.counters["realtime_fraction"] =
      benchmark::Counter(static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_MixOneSecond)
    ->ArgNames({"music", "effects"})
    ->Args({1, 16})
    ->Args({0, 16})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
