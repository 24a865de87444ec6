// Cost of the platform's per-frame work: presenting the 800 x 600 frame (the
// upload to the streaming texture, the scaled copy and the present), reading
// the tick and pumping an idle event queue. Runs on SDL's dummy video driver
// with the software renderer, so it measures our path and SDL's CPU work,
// not a GPU; the windowed present is measured again on the offscreen driver
// for each of its OpenGL renderers (Mesa's software GL). Each time is printed
// with its ratio to one plain frame copy.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "FrameFloor.h"
#include "platform/SdlPlatform.h"

namespace {

std::vector<uint32_t> TestFrame() {
  std::vector<uint32_t> frame(800 * 600);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) >> 8;
  return frame;
}

void PresentIn(benchmark::State& state, bool windowed) {
  SdlPlatform sys;
  std::string error;
  if (!sys.SetDisplayMode(windowed, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // Two different frames in turn: every present has a whole new picture.
  std::vector<uint32_t> frames[2] = {TestFrame(), TestFrame()};
  for (uint32_t& p : frames[1]) p ^= 0x00010101u;
  std::vector<TPlatformEvent> events;
  size_t n = 0;
  for (auto _ : state) {
    sys.Present(frames[n++ % 2].data(), 800 * 4);
    events.clear();
    sys.PollEvents(events);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_PresentWindowed(benchmark::State& state) {
  PresentIn(state, true);
}
void BM_PresentFullScreenScaled(benchmark::State& state) {
  PresentIn(state, false);
}

// The windowed present through a real OpenGL renderer: the benchmark's CPU
// time is the calling thread's, what the game's main thread pays; the
// rasteriser's own threads are not counted. Desktop OpenGL has the driver
// convert every uploaded pixel; OpenGL ES 2 takes the bytes as they are.
void BM_PresentOffscreen(benchmark::State& state, const char* renderer) {
  const std::string video = std::getenv("SDL_VIDEODRIVER");  // set by main
  const std::string render = std::getenv("SDL_RENDER_DRIVER");
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_RENDER_DRIVER", renderer, 1);
  PresentIn(state, true);
  setenv("SDL_VIDEODRIVER", video.c_str(), 1);
  setenv("SDL_RENDER_DRIVER", render.c_str(), 1);
}

// The same frame over and over, as a still menu presents it.
void BM_PresentUnchanged(benchmark::State& state) {
  SdlPlatform sys;
  std::string error;
  if (!sys.SetDisplayMode(true, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::vector<uint32_t> frame = TestFrame();
  for (auto _ : state) sys.Present(frame.data(), 800 * 4);
}

void BM_TickCount(benchmark::State& state) {
  SdlPlatform sys;
  for (auto _ : state) benchmark::DoNotOptimize(sys.TickCount());
}

void BM_ReadInputIdle(benchmark::State& state) {
  SdlPlatform sys;
  std::string error;
  if (!sys.SetDisplayMode(true, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  sys.AcquireKeyboard();
  TKeyboardSnapshot keys;
  TMouseState mouse;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sys.ReadKeyboard(keys));
    benchmark::DoNotOptimize(sys.ReadMouse(mouse));
  }
}

BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentWindowed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentFullScreenScaled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PresentOffscreen, opengles2, "opengles2")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PresentOffscreen, opengl, "opengl")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentUnchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickCount);
BENCHMARK(BM_ReadInputIdle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_RENDER_DRIVER", "software", 0);
  return RunWithFloor(argc, argv);
}
