// How busy the main thread is while the game runs: the real frame loop
// (TForm1::RunOnce with the real platform on SDL's offscreen video driver)
// for a while in the main menu and in a busy battle, reporting the main
// thread's CPU time as a share of one core. The floor beside it is the same
// loop composing nothing (the form minimized): what waking 64 times a second
// and pumping events costs.
//
// Each case runs TL_BENCH_SECONDS seconds (default 10); the CPU share is in
// the cpu_%_of_core counter, the presented frames per second beside it.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "audio/Audio.h"
#include "game/BusyScene.h"
#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "platform/SdlPlatform.h"
#include "shell/Form.h"
#include "shell/ShellState.h"

namespace {

using TClock = std::chrono::steady_clock;

double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The real platform, counting the frames presented.
class TCountingPlatform final : public SdlPlatform {
 public:
  void Present(const uint32_t* pixels, int32_t pitch) override {
    SdlPlatform::Present(pixels, pitch);
    ++Presents;
  }
  int Presents = 0;
};

// main's start-up, once for all cases, in the game folder.
struct TRig {
  TRig() {
    std::filesystem::create_directories(configDir);
    TFormPaths paths;
    paths.ConfigPath = (configDir / "Config.cfg").string();
    form = std::make_unique<TForm1>(platform, state, fonts, audio, audio, paths);
    form->Create();
    audio.OpenDevice();
  }
  ~TRig() {
    form.reset();
    std::error_code ignored;
    std::filesystem::remove_all(configDir, ignored);
  }
  std::filesystem::path configDir = std::filesystem::temp_directory_path() /
                                    ("tl_bench_main_thread_" + std::to_string(::getpid()));
  TCountingPlatform platform;
  TShellState state;
  TFonts fonts;
  TAudio audio{platform, state.Settings.SoundOn};
  std::unique_ptr<TForm1> form;
};

TRig& Rig() {
  static TRig rig;
  return rig;
}

double Seconds() {
  const char* value = std::getenv("TL_BENCH_SECONDS");
  const double seconds = value != nullptr ? std::atof(value) : 0;
  return seconds > 0 ? seconds : 10.0;
}

// Runs the real loop for Seconds(), calling `each` before every pass, and
// reports the main thread's CPU share and the frames presented per second.
void RunLoop(benchmark::State& bench, const std::function<void(int pass)>& each) {
  TRig& rig = Rig();
  for (auto _ : bench) {
    const int before = rig.platform.Presents;
    const double cpuStart = ThreadCpuSeconds();
    const auto start = TClock::now();
    int pass = 0;
    while (std::chrono::duration<double>(TClock::now() - start).count() < Seconds()) {
      each(pass++);
      rig.form->RunOnce();
    }
    const double wall = std::chrono::duration<double>(TClock::now() - start).count();
    bench.SetIterationTime(wall);
    bench.counters["cpu_%_of_core"] = 100.0 * (ThreadCpuSeconds() - cpuStart) / wall;
    bench.counters["frames_per_s"] = (rig.platform.Presents - before) / wall;
  }
}

// The floor: the same loop composing nothing (the form minimized).
void BM_IdleLoop(benchmark::State& bench) {
  Rig().form->HandleEvent(TPlatformEvent{TEventKind::Minimize});
  RunLoop(bench, [](int) {});
  Rig().form->HandleEvent(TPlatformEvent{TEventKind::Restore});
}

void BM_MainMenu(benchmark::State& bench) {
  RunLoop(bench, [](int) { Rig().state.GameState = gsMainMenu; });
}

void BM_BusyBattle(benchmark::State& bench) {
  TRig& rig = Rig();
  // Started as a player starts it: Enter on the main menu.
  rig.state.GameState = gsMainMenu;
  rig.form->HandleEvent(TPlatformEvent{TEventKind::KeyDown, 13});
  if (!rig.state.CurrentGame) {
    bench.SkipWithError("Enter on the main menu did not start a game");
    return;
  }
  RunLoop(bench, [&rig](int pass) {
    // Kept busy: the scene is staged again twice a second.
    if (pass % 32 == 0) StageBusyScene(*rig.state.CurrentGame);
    rig.state.GameState = gsPlaying;
  });
  rig.state.GameState = gsMainMenu;
}

}  // namespace

BENCHMARK(BM_IdleLoop)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MainMenu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_BusyBattle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (::chdir(TL_GAME_DIR) != 0) {
    std::fprintf(stderr, "cannot enter the game folder %s\n", TL_GAME_DIR);
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
