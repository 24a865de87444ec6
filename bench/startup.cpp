// Start-up time: from the start of the process to the first presented frame,
// for the game's real start-up (platform, fonts, audio, settings, display,
// image pack, menu music, first frame) and for an empty SDL program that opens
// the same window and renderer and presents one black frame. Each iteration
// forks a fresh child so nothing is warm but the shared libraries, which both
// sides load the same. The game's own share is the difference of the two
// medians; the game's start-up is also broken down by phase.
//
// Runs on SDL's offscreen video driver unless SDL_VIDEODRIVER says otherwise.

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "graphics/Fonts.h"
#include "images/ImagePack.h"
#include "platform/SdlPlatform.h"
#include "settings/ConfigFile.h"
#include "shell/Form.h"
#include "shell/ShellState.h"

namespace {

using TClock = std::chrono::steady_clock;

// The phases of the game's start-up, in milliseconds, as the child reports them.
enum TPhase : size_t {
  kPlatform,
  kFonts,
  kAudio,
  kSettings,
  kDisplay,
  kPack,
  kMusic,
  kFirstFrame,    // composing the first frame
  kFirstPresent,  // showing it
  kDevice,        // opening the sound device, after the first present (not in the total)
};
constexpr std::array<const char*, 10> kPhaseNames = {
    "platform", "fonts", "audio",       "settings",      "display",
    "pack",     "music", "first frame", "first present", "sound device*"};
struct TStartupTimes {
  double Total = 0;  // ms from the child's start to the end of the first present
  double Cpu = 0;    // ms of CPU the child's threads used by then
  std::array<double, kPhaseNames.size()> Phases{};
};

// CPU time of the whole process (every thread) in ms; a fresh child starts at 0.
double ProcessCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double MsSince(TClock::time_point from) {
  return std::chrono::duration<double, std::milli>(TClock::now() - from).count();
}

// Runs f() and adds the milliseconds it took to `total`.
template <typename F>
auto Timed(double& total, F&& f) {
  const auto start = TClock::now();
  auto result = f();
  total += MsSince(start);
  return result;
}

// The real platform, with the time spent in window calls and in opening the
// audio output counted apart, and a mark at the calls that end the phases of
// the form's creation (settings are read before the window is made, the image
// pack is loaded before the keyboard is acquired, the menu music follows), so
// the start-up can be split into phases without touching the form.
class TTimedPlatform final : public SdlPlatform {
 public:
  struct TMark {
    TClock::time_point At;
    double DisplayMs = 0;
  };
  double DisplayMs = 0;
  double AudioMs = 0;
  bool Presented = false;
  std::optional<TMark> FirstWindow;    // the first SetDisplayMode began
  std::optional<TMark> KeyboardTaken;  // the first AcquireKeyboard

  bool SetDisplayMode(bool windowed, std::string& error) override {
    if (!FirstWindow) FirstWindow = TMark{TClock::now(), DisplayMs};
    return Timed(DisplayMs, [&] { return SdlPlatform::SetDisplayMode(windowed, error); });
  }
  int32_t ScreenWidth() override {
    return Timed(DisplayMs, [&] { return SdlPlatform::ScreenWidth(); });
  }
  int32_t ScreenHeight() override {
    return Timed(DisplayMs, [&] { return SdlPlatform::ScreenHeight(); });
  }
  void MoveWindow(int32_t left, int32_t top) override {
    Timed(DisplayMs, [&] {
      SdlPlatform::MoveWindow(left, top);
      return 0;
    });
  }
  bool OpenAudio(int sampleRate, TAudioCallback callback) override {
    return Timed(AudioMs, [&] { return SdlPlatform::OpenAudio(sampleRate, std::move(callback)); });
  }
  void AcquireKeyboard() override {
    if (!KeyboardTaken) KeyboardTaken = TMark{TClock::now(), DisplayMs};
    SdlPlatform::AcquireKeyboard();
  }
  void Present(const uint32_t* pixels, int32_t pitch) override {
    if (Presented) return SdlPlatform::Present(pixels, pitch);
    PresentStart = TClock::now();
    SdlPlatform::Present(pixels, pitch);
    PresentEnd = TClock::now();
    PresentEndCpu = ProcessCpuMs();
    Presented = true;
  }
  TClock::time_point PresentStart;
  TClock::time_point PresentEnd;
  double PresentEndCpu = 0;
};

double Ms(TClock::time_point from, TClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// A child's game run: main's start-up up to the first present, by phase.
TStartupTimes GameStartup(TClock::time_point start, const std::string& configPath) {
  TStartupTimes t;
  auto mark = start;
  auto phase = [&](TPhase p) {
    const auto now = TClock::now();
    t.Phases[p] += Ms(mark, now);
    mark = now;
  };
  // In main's order: the fonts first (a missing font ends the game before a
  // window opens), then the platform.
  TFonts fonts;
  phase(kFonts);
  TTimedPlatform platform;
  phase(kPlatform);
  TShellState state;
  TAudio audio(platform, state.Settings.SoundOn);
  phase(kAudio);
  TFormPaths paths;
  paths.ConfigPath = configPath;
  TForm1 form(platform, state, fonts, audio, audio, paths);
  const double displayBefore = platform.DisplayMs;
  form.Create();
  const auto created = TClock::now();
  using TMark = TTimedPlatform::TMark;
  const TMark begin{mark, displayBefore};
  const TMark window = platform.FirstWindow.value_or(begin);
  const TMark keyboard = platform.KeyboardTaken.value_or(window);
  const TMark end{created, platform.DisplayMs};
  auto between = [](const TMark& a, const TMark& b) {
    return Ms(a.At, b.At) - (b.DisplayMs - a.DisplayMs);
  };
  t.Phases[kSettings] += between(begin, window);
  t.Phases[kPack] += between(window, keyboard);
  t.Phases[kMusic] += between(keyboard, end);
  t.Phases[kDisplay] += platform.DisplayMs - displayBefore;
  mark = created;
  // The pass that presents then waits for the clock's next step: pacing, not
  // start-up, so the start-up ends where the first present does.
  while (!platform.Presented && !form.Closed()) form.RunOnce();
  const auto presented = platform.PresentEnd;
  t.Phases[kFirstFrame] += Ms(mark, platform.PresentStart);
  t.Phases[kFirstPresent] += Ms(platform.PresentStart, presented);
  mark = presented;
  t.Total = Ms(start, mark);
  t.Cpu = platform.PresentEndCpu;
  // As main does: the sound device opens once the first frame is shown.
  audio.OpenDevice();
  phase(kDevice);
  return t;
}

// A child's empty run: SDL opens the same window and renderer as the game
// and presents one black frame.
TStartupTimes EmptySdlStartup(TClock::time_point start) {
  TStartupTimes t;
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, SdlPlatform::kPreferredRenderer);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return t;
  SDL_Window* window =
      SDL_CreateWindow("Tidal Lynx", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                       SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  SDL_Renderer* renderer =
      window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  if (window != nullptr && renderer == nullptr)
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer != nullptr) {
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, 800, 600);
    // The black frame goes the way every frame of the game goes: into the
    // texture, then drawn to the window.
    const std::vector<uint32_t> black(static_cast<size_t>(800) * 600, 0);
    if (texture != nullptr) SDL_UpdateTexture(texture, nullptr, black.data(), 800 * 4);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    t.Total = Ms(start, TClock::now());
    t.Cpu = ProcessCpuMs();
    if (texture != nullptr) SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
  }
  if (window != nullptr) SDL_DestroyWindow(window);
  SDL_Quit();
  return t;
}

// Runs one start-up in a fresh child and reads its times back through a
// pipe; Total stays 0 when the child failed.
template <typename F>
TStartupTimes InChild(F&& run) {
  TStartupTimes t;
  int fds[2];
  if (::pipe(fds) != 0) return t;
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    TStartupTimes child;
    try {
      child = run(TClock::now());
    } catch (const std::exception& error) {
      std::fprintf(stderr, "start-up failed: %s\n", error.what());
    }
    const ssize_t written = ::write(fds[1], &child, sizeof child);
    ::_exit(written == static_cast<ssize_t>(sizeof child) ? 0 : 1);
  }
  ::close(fds[1]);
  if (pid > 0) {
    if (::read(fds[0], &t, sizeof t) != static_cast<ssize_t>(sizeof t)) t = TStartupTimes{};
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
  ::close(fds[0]);
  return t;
}

std::vector<TStartupTimes> gameRuns;
std::vector<TStartupTimes> emptyRuns;

std::string ConfigPath() {
  static const std::string path = [] {
    const auto dir =
        std::filesystem::temp_directory_path() / ("tl_bench_startup_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // A real settings file with a full table, as a player's would be.
    TOptions options;
    THiScoreTable table;
    TConfigFile config((dir / "Config.cfg").string());
    config.Load(options, table);
    config.Save(options, table);
    return config.Path();
  }();
  return path;
}

void Measure(benchmark::State& state, bool game, std::vector<TStartupTimes>& runs) {
  for (auto _ : state) {
    const TStartupTimes t =
        game ? InChild([](TClock::time_point start) { return GameStartup(start, ConfigPath()); })
             : InChild(EmptySdlStartup);
    if (t.Total <= 0) {
      state.SkipWithError("the start-up failed in the child (see above)");
      return;
    }
    runs.push_back(t);
    state.SetIterationTime(t.Total / 1000.0);
  }
}

void BM_StartupEmptySdl(benchmark::State& state) {
  Measure(state, false, emptyRuns);
}
void BM_StartupGame(benchmark::State& state) {
  Measure(state, true, gameRuns);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

BENCHMARK(BM_StartupEmptySdl)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupGame)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupEmptySdl)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The game finds its pack and music relative to its folder.
  if (::chdir(TL_GAME_DIR) != 0) {
    std::fprintf(stderr, "cannot enter the game folder %s\n", TL_GAME_DIR);
    return 1;
  }
  ConfigPath();  // written once here, not in every child
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(ConfigPath()).parent_path(), ignored);

  auto median = [](const std::vector<TStartupTimes>& runs, double TStartupTimes::*field) {
    std::vector<double> v;
    for (const TStartupTimes& t : runs) v.push_back(t.*field);
    return Median(v);
  };
  const double empty = median(emptyRuns, &TStartupTimes::Total);
  const double game = median(gameRuns, &TStartupTimes::Total);
  if (empty <= 0 || game <= 0) return 0;
  const double emptyCpu = median(emptyRuns, &TStartupTimes::Cpu);
  const double gameCpu = median(gameRuns, &TStartupTimes::Cpu);
  std::printf("\nStart-up to the first present, medians (video driver %s):\n",
              std::getenv("SDL_VIDEODRIVER"));
  std::printf("                      wall ms   CPU ms (all threads)\n");
  std::printf("  empty SDL program %8.1f %8.1f   (floor: window, renderer, one black frame)\n",
              empty, emptyCpu);
  std::printf("  game              %8.1f %8.1f\n", game, gameCpu);
  std::printf("  game's own share  %8.1f %8.1f\n", game - empty, gameCpu - emptyCpu);
  std::printf("Game start-up by phase, medians:\n");
  for (size_t p = 0; p < kPhaseNames.size(); ++p) {
    std::vector<double> v;
    for (const TStartupTimes& t : gameRuns) v.push_back(t.Phases[p]);
    std::printf("  %-13s %8.2f ms\n", kPhaseNames[p], Median(v));
  }
  std::printf("  (* after the first present, not part of the start-up)\n");
  return 0;
}
