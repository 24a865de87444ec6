// Per-frame cost of the menu widgets and the settings file: the options panel
// (three toggles, the name field with its caret and the key caption), the main
// menu with the pointer moving between items, a two-caption dialog, the
// high-score table, and a Config.cfg encode plus decode.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "audio/SoundEffects.h"
#include "graphics/Fonts.h"
#include "graphics/ImageSlots.h"
#include "settings/ConfigFile.h"
#include "settings/HiScores.h"
#include "shell/HiScoreView.h"
#include "support/FakePlatform.h"
#include "widgets/MenuWidgets.h"

namespace {

struct TBenchState {
  TBenchState() {
    for (auto& slot : images.MenuImages) {
      slot = std::make_shared<TSurface>(160, 40);
      slot->SetColorKey(kMagentaPixel);
    }
  }
  FakePlatform sys;
  TImageSlots images;
  TFonts fonts;
  TSilentSoundEffects sound;
  int32_t mouseX = 0;
  int32_t mouseY = 0;
  int32_t mouseActive = -1;
  uint32_t gameState = 1;
  TWidgetContext context{images, fonts, sound, sys, mouseX, mouseY, mouseActive, gameState, 1};
  TSurface frame{800, 600};
};

void BM_OptionsGroupDraw(benchmark::State& st) {
  TBenchState s;
  TMenuWidgets widgets(s.context);
  TDDOptBtnCollection& options = *widgets.OptionsGroup;
  options.NameEdit.SetText("Sailorname");
  options.MouseHover = true;
  int frame = 0;
  for (auto _ : st) {
    s.mouseY = 200 + (frame % 240);  // sweeps over every row
    s.mouseX = 560;
    s.sys.Advance(16);
    options.Draw(s.frame);
    ++frame;
  }
}
BENCHMARK(BM_OptionsGroupDraw)->Unit(benchmark::kMicrosecond);

void BM_MainMenuDraw(benchmark::State& st) {
  TBenchState s;
  TMenuWidgets widgets(s.context);
  int frame = 0;
  for (auto _ : st) {
    s.mouseX = 200;
    s.mouseY = 180 + (frame % 320);
    widgets.MainMenuGroup->Draw(s.frame);
    ++frame;
  }
}
BENCHMARK(BM_MainMenuDraw)->Unit(benchmark::kMicrosecond);

void BM_YesNoDialogDraw(benchmark::State& st) {
  TBenchState s;
  TMenuWidgets widgets(s.context);
  for (auto _ : st) widgets.YesNoGroup->Draw(s.frame);
}
BENCHMARK(BM_YesNoDialogDraw)->Unit(benchmark::kMicrosecond);

void BM_HiScoresDraw(benchmark::State& st) {
  TBenchState s;
  const THiScoreTable table = DefaultHiScores();
  for (auto _ : st) DrawHiScores(table, s.fonts, s.frame);
}
BENCHMARK(BM_HiScoresDraw)->Unit(benchmark::kMicrosecond);

void BM_ConfigEncodeDecode(benchmark::State& st) {
  TOptions options;
  options.PlayerName = "Sailorname";
  const THiScoreTable table = DefaultHiScores();
  for (auto _ : st) {
    const std::string bytes = TConfigFile::Encode(options, table);
    TOptions loaded;
    THiScoreTable loadedTable = DefaultHiScores();
    bool complete = false;
    benchmark::DoNotOptimize(TConfigFile::Decode(bytes, loaded, loadedTable, complete));
  }
}
BENCHMARK(BM_ConfigEncodeDecode);

}  // namespace

BENCHMARK_MAIN();
