// Compose-and-present cost of a menu-like and a busy game-like frame on the
// software surfaces, in microseconds per frame. The blit parts also run
// through SDL's own SDL_BlitSurface (colour key set) and the program prints
// the ratio ours / SDL at the end, and every time's ratio to the copy floor.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FrameFloor.h"
#include "graphics/Display.h"
#include "graphics/Fonts.h"
#include "graphics/Geometry.h"
#include "graphics/Text.h"
#include "support/FakePlatform.h"

namespace {

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;

// A picture with a round opaque body and magenta corners, like the sprites.
TSurfacePtr MakeSprite(int32_t w, int32_t h, uint32_t seed) {
  auto s = std::make_shared<TSurface>(w, h);
  const double cx = (w - 1) / 2.0;
  const double cy = (h - 1) / 2.0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const double dx = (x - cx) / (w / 2.0);
      const double dy = (y - cy) / (h / 2.0);
      const bool inside = dx * dx + dy * dy <= 1.0;
      s->SetPixelAt(
          x, y,
          inside ? ((seed * 2654435761u + x * 97u + y * 31u) & 0x00FFFFFFu) | 1u : kMagentaPixel);
    }
  s->SetColorKey(kMagentaPixel);
  return s;
}

// A full-screen overlay that is mostly transparent: a title band on top and
// scattered panels, as a menu's keyed layer.
TSurfacePtr MakeOverlay() {
  auto s = std::make_shared<TSurface>(kW, kH);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      const bool opaque = y < 104 || ((x / 50 + y / 40) % 5 == 0);
      s->SetPixelAt(x, y, opaque ? 0x00203040u + static_cast<uint32_t>(x ^ y) % 64 : kMagentaPixel);
    }
  s->SetColorKey(kMagentaPixel);
  return s;
}

SDL_Surface* ToSdl(const TSurface& s) {
  SDL_Surface* out =
      SDL_CreateRGBSurfaceWithFormat(0, s.Width(), s.Height(), 32, SDL_PIXELFORMAT_RGB888);
  for (int32_t y = 0; y < s.Height(); ++y)
    std::memcpy(static_cast<uint8_t*>(out->pixels) + static_cast<ptrdiff_t>(y) * out->pitch,
                s.Pixels() + static_cast<size_t>(y) * s.Width(),
                static_cast<size_t>(s.Width()) * 4);
  if (s.ColorKey()) SDL_SetColorKey(out, SDL_TRUE, *s.ColorKey());
  return out;
}

struct TScene {
  TScene() {
    display.SetUpDisplay(platform, true);
    background = MakeSprite(kW, kH, 7);
    background->ClearColorKey();
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) background->SetPixelAt(x, y, 0x00102030u + x + y * 3);
    overlay = MakeOverlay();
    sea = MakeSprite(64, 64, 3);
    sea->ClearColorKey();
    for (int i = 0; i < 8; ++i) ships.push_back(MakeSprite(40 + i * 6, 56 + i * 4, 11 + i));
    for (int i = 0; i < 4; ++i) shots.push_back(MakeSprite(12 + i * 4, 18 + i * 2, 21 + i));
    sdlBack = ToSdl(*display.BackBuffer);
    sdlBackground = ToSdl(*background);
    sdlOverlay = ToSdl(*overlay);
    sdlSea = ToSdl(*sea);
    for (const auto& s : ships) sdlShips.push_back(ToSdl(*s));
  }
  ~TScene() {
    SDL_FreeSurface(sdlBack);
    SDL_FreeSurface(sdlBackground);
    SDL_FreeSurface(sdlOverlay);
    SDL_FreeSurface(sdlSea);
    for (SDL_Surface* s : sdlShips) SDL_FreeSurface(s);
  }

  // Where sprite i of frame f goes: some wholly inside, some across an edge.
  static void SpritePlace(int i, int f, int32_t& x, int32_t& y) {
    x = 100 + (i * 97 + f * 3) % 640 - 40;
    y = (i * 53 + f * 5) % 680 - 60;
  }

  // The bench's surfaces are never lost or busy, so no blit here is refused.
  void MenuBlitsOurs() {
    TSurface& back = *display.BackBuffer;
    display.ClearBackBuffer();
    (void)DrawOpaque(back, 0, 0, *background);
    (void)DrawKeyed(back, 0, 0, *overlay);
  }
  void MenuBlitsSdl() {
    SDL_FillRect(sdlBack, nullptr, 0);
    SDL_BlitSurface(sdlBackground, nullptr, sdlBack, nullptr);
    SDL_BlitSurface(sdlOverlay, nullptr, sdlBack, nullptr);
  }
  void MenuText() {
    TSurface& back = *display.BackBuffer;
    for (int i = 0; i < 12; ++i) {
      DrawCaption(fonts, 330, 170 + i * 30, 22, 9, i == 3 ? kOrange : kDarkBlue, back,
                  i % 2 ? "New Game" : "High Scores");
    }
  }

  void GameBlitsOurs(int f) {
    TSurface& back = *display.BackBuffer;
    display.ClearBackBuffer();
    for (int32_t y = -(f % 64); y < kH; y += 64)
      for (int32_t x = 118; x < 682; x += 64) {
        const int32_t top = std::max(0, -y);
        const TRect r{0, top, std::min(64, 682 - x), std::min(64, kH - y)};
        (void)back.BltFast(x, y + top, *sea, &r, kBltFastWait);
      }
    for (int i = 0; i < 30; ++i) {
      int32_t x = 0;
      int32_t y = 0;
      SpritePlace(i, f, x, y);
      const TSurface& s = *ships[static_cast<size_t>(i) % ships.size()];
      DrawClipped(s, back, {0, 0, s.Width(), s.Height()}, static_cast<int16_t>(x),
                  static_cast<int16_t>(y));
    }
  }
  void GameBlitsSdl(int f) {
    SDL_FillRect(sdlBack, nullptr, 0);
    SDL_Rect clip{118, 0, 682 - 118, kH};
    SDL_SetClipRect(sdlBack, &clip);
    for (int32_t y = -(f % 64); y < kH; y += 64)
      for (int32_t x = 118; x < 682; x += 64) {
        SDL_Rect d{x, y, 64, 64};
        SDL_BlitSurface(sdlSea, nullptr, sdlBack, &d);
      }
    SDL_Rect screen{0, 0, kW, 598};
    SDL_SetClipRect(sdlBack, &screen);
    for (int i = 0; i < 30; ++i) {
      int32_t x = 0;
      int32_t y = 0;
      SpritePlace(i, f, x, y);
      SDL_Rect d{x, y, 0, 0};
      SDL_BlitSurface(sdlShips[static_cast<size_t>(i) % sdlShips.size()], nullptr, sdlBack, &d);
    }
    SDL_SetClipRect(sdlBack, nullptr);
  }
  void GameRest(int f) {
    TSurface& back = *display.BackBuffer;
    for (int i = 0; i < 60; ++i) {
      TSurface& s = *shots[static_cast<size_t>(i) % shots.size()];
      const double angle = (i * 0.37 + f * 0.05);
      DrawRotated(s, back, {s.Width() / 2, s.Height() / 2}, angle, static_cast<uint16_t>(s.Width()),
                  static_cast<uint16_t>(s.Height()), static_cast<uint16_t>(130 + (i * 71) % 540),
                  static_cast<uint16_t>(20 + (i * 37) % 560));
    }
    for (int i = 0; i < 20; ++i) {
      DrawTextEx(fonts, 60 + (i % 2) * 680, 40 + i * 26, 16, 6, i % 3 == 0, kTaCenter,
                 i % 4 ? kOrange : kRed, back, std::to_string(1000 * i + f));
    }
  }

  FakePlatform platform;
  TDisplay display;
  TFonts fonts;
  TSurfacePtr background, overlay, sea;
  std::vector<TSurfacePtr> ships, shots;
  SDL_Surface* sdlBack = nullptr;
  SDL_Surface* sdlBackground = nullptr;
  SDL_Surface* sdlOverlay = nullptr;
  SDL_Surface* sdlSea = nullptr;
  std::vector<SDL_Surface*> sdlShips;
};

TScene& Scene() {
  static TScene scene;
  return scene;
}

void BM_MenuBlits_Ours(benchmark::State& state) {
  for (auto _ : state) Scene().MenuBlitsOurs();
}
void BM_MenuBlits_Sdl(benchmark::State& state) {
  for (auto _ : state) Scene().MenuBlitsSdl();
}
void BM_MenuFrame(benchmark::State& state) {
  for (auto _ : state) {
    Scene().MenuBlitsOurs();
    Scene().MenuText();
    Scene().display.PresentFrame(Scene().platform);
  }
}
void BM_GameBlits_Ours(benchmark::State& state) {
  int f = 0;
  for (auto _ : state) Scene().GameBlitsOurs(f++);
}
void BM_GameBlits_Sdl(benchmark::State& state) {
  int f = 0;
  for (auto _ : state) Scene().GameBlitsSdl(f++);
}
void BM_GameFrame(benchmark::State& state) {
  int f = 0;
  for (auto _ : state) {
    Scene().GameBlitsOurs(f);
    Scene().GameRest(f++);
    Scene().display.PresentFrame(Scene().platform);
  }
}

BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MenuBlits_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MenuBlits_Sdl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameBlits_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameBlits_Sdl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TFloorReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  for (const char* name : {"MenuBlits", "GameBlits"}) {
    const double ours = reporter.TimeOf(std::string("BM_") + name + "_Ours");
    const double sdl = reporter.TimeOf(std::string("BM_") + name + "_Sdl");
    if (ours > 0 && sdl > 0) {
      std::printf("%s ours/SDL: %.2f (%.1f us vs %.1f us)\n", name, ours / sdl, ours, sdl);
    }
  }
  benchmark::Shutdown();
  return 0;
}
