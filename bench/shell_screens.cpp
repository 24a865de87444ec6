// Compose-and-present of the shell's screens with the real image pack:
// microseconds per frame for the text-heavy menus and a dialog.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "shell/Form.h"
#include "support/FakePlatform.h"

namespace {

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

}  // namespace

BENCHMARK_CAPTURE(BM_Screen, main_menu, gsMainMenu)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, help_controls, gsHelpControls)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, high_scores, gsHighScores)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, options, gsOptions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Screen, exit_confirm, gsExitConfirm)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
