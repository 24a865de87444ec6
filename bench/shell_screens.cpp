// Compose-and-present of the shell's screens with the real image pack, on
// the fake platform (whose present is one copy of the frame): microseconds
// per frame for every menu screen and dialog and for a busy moment of play,
// each with its ratio to one plain copy of an 800 x 600 frame.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "FrameFloor.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/BusyScene.h"
#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "shell/Form.h"
#include "support/FakePlatform.h"

namespace {

constexpr uint16_t kEnterKey = 13;

struct TBenchForm {
  TBenchForm() {
    std::filesystem::create_directories(configDir);
    TFormPaths paths;
    paths.PackPath = std::string(TL_GAME_DIR) + "/Data/Data.pp";
    paths.ConfigPath = (configDir / "Config.cfg").string();
    form = std::make_unique<TForm1>(sys, state, fonts, sound, music, paths);
    form->Create();
  }
  ~TBenchForm() {
    form.reset();
    std::error_code ignored;
    std::filesystem::remove_all(configDir, ignored);
  }
  std::filesystem::path configDir =
      std::filesystem::temp_directory_path() / ("tl_bench_shell_" + std::to_string(::getpid()));
  FakePlatform sys;
  TShellState state;
  TFonts fonts;
  TSilentSoundEffects sound;
  TSilentMusic music;
  std::unique_ptr<TForm1> form;
};

void BM_Screen(benchmark::State& bench, uint32_t gameState) {
  TBenchForm b;
  b.state.MouseActive = 0;
  for (auto _ : bench) {
    b.state.GameState = gameState;
    b.form->RunOnce();
  }
  bench.SetLabel("us per composed and presented frame");
}

// A busy battle: five enemies, 40 shots, ten explosions, bonuses, two islands.
// The game is started as a player starts it: Enter on the main menu.
void BM_BusyPlay(benchmark::State& bench) {
  TBenchForm b;
  b.state.MouseActive = 0;
  b.state.GameState = gsMainMenu;
  b.form->HandleEvent(TPlatformEvent{TEventKind::KeyDown, kEnterKey});
  if (!b.state.CurrentGame) {
    bench.SkipWithError("Enter on the main menu did not start a game");
    return;
  }
  for (auto _ : bench) {
    bench.PauseTiming();
    StageBusyScene(*b.state.CurrentGame);
    b.state.GameState = gsPlaying;
    bench.ResumeTiming();
    b.form->RunOnce();
  }
  bench.SetLabel("us per composed and presented frame");
}

}  // namespace

BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, main_menu, gsMainMenu)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, options, gsOptions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, key_capture, gsKeyCapture)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, high_scores, gsHighScores)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, help_story, gsHelpStory)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, help_controls, gsHelpControls)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, help_enemies, gsHelpEnemies)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, about, gsAbout)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, exit_confirm, gsExitConfirm)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, clear_scores, gsClearScores)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, paused, gsPaused)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, name_entry, gsNameEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, submit_ask, gsSubmitAsk)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, quit_game, gsQuitGame)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, connect_failed, gsConnectFailed)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, submitting, gsSubmitting)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BusyPlay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return RunWithFloor(argc, argv);
}
