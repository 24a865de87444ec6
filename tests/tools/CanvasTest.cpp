#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "Canvas.h"
#include "ScenePainter.h"

namespace {

struct TRgb {
  int r, g, b;
  bool operator==(const TRgb&) const = default;
};

std::vector<TRgb> DecodeRow(const std::vector<uint8_t>& bmp, int width) {
  SDL_RWops* rw = SDL_RWFromConstMem(bmp.data(), static_cast<int>(bmp.size()));
  SDL_Surface* raw = SDL_LoadBMP_RW(rw, 1);
  EXPECT_NE(raw, nullptr) << SDL_GetError();
  if (!raw) return {};
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(raw);
  std::vector<TRgb> row;
  for (int x = 0; x < width; ++x) {
    const uint32_t p = static_cast<const uint32_t*>(s->pixels)[x];
    row.push_back({static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                   static_cast<int>(p & 0xFF)});
  }
  SDL_FreeSurface(s);
  return row;
}

TEST(CanvasTest, KeyingFollowsCoverageAndNeverLeaksTheKeyColour) {
  struct Case {
    const char* what;
    TColor paint;
    TRgb keyed;   // in a keyed picture
    TRgb opaque;  // in a picture drawn without key (flattened over black)
  };
  const Case cases[] = {
      {"nothing drawn", {0, 0, 0, 0}, {255, 0, 255}, {0, 0, 0}},
      {"less than half covered", {1, 0, 0, 0.4}, {255, 0, 255}, {102, 0, 0}},
      {"more than half covered keeps its own colour", {1, 0, 0, 0.6}, {255, 0, 0}, {153, 0, 0}},
      {"solid", {0.2, 0.4, 0.6, 1}, {51, 102, 153}, {51, 102, 153}},
      {"drawn magenta is moved off the key", {1, 0, 1, 1}, {255, 16, 255}, {255, 16, 255}},
      {"near-magenta is moved off the key", {0.99, 0.01, 0.99, 1}, {252, 16, 252}, {252, 16, 252}},
  };
  const int n = static_cast<int>(std::size(cases));
  TCanvas canvas(n, 1);
  cairo_set_operator(canvas.Cr(), CAIRO_OPERATOR_SOURCE);
  for (int i = 0; i < n; ++i) {
    canvas.SetColor(cases[i].paint);
    cairo_rectangle(canvas.Cr(), i, 0, 1, 1);
    cairo_fill(canvas.Cr());
  }
  const auto keyed = DecodeRow(canvas.ToBmp(false), n);
  const auto opaque = DecodeRow(canvas.ToBmp(true), n);
  ASSERT_EQ(keyed.size(), static_cast<size_t>(n));
  ASSERT_EQ(opaque.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(cases[i].what);
    // Premultiplied storage rounds; allow one step.
    EXPECT_NEAR(keyed[i].r, cases[i].keyed.r, 1);
    EXPECT_NEAR(keyed[i].g, cases[i].keyed.g, 1);
    EXPECT_NEAR(keyed[i].b, cases[i].keyed.b, 1);
    EXPECT_NEAR(opaque[i].r, cases[i].opaque.r, 1);
    EXPECT_NEAR(opaque[i].g, cases[i].opaque.g, 1);
    EXPECT_NEAR(opaque[i].b, cases[i].opaque.b, 1);
  }
}

// Mean colour difference between two columns (or rows) of an image.
double LineDistance(cairo_surface_t* s, bool columns, int a, int b) {
  cairo_surface_flush(s);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const int len = columns ? cairo_image_surface_get_height(s) : cairo_image_surface_get_width(s);
  double sum = 0;
  for (int i = 0; i < len; ++i) {
    const auto* pa = data + (columns ? i * stride + a * 4 : a * stride + i * 4);
    const auto* pb = data + (columns ? i * stride + b * 4 : b * stride + i * 4);
    for (int c = 0; c < 3; ++c) sum += std::abs(pa[c] - pb[c]);
  }
  return sum / len;
}

TEST(CanvasTest, SeaTileJoinsSeamlesslyBothWays) {
  const auto tile = TScenePainter::SeaTile();
  for (const bool columns : {true, false}) {
    SCOPED_TRACE(columns ? "left to right" : "top to bottom");
    const int size = columns ? tile->Width() : tile->Height();
    double inner = 0;
    for (int i = 0; i + 1 < size; ++i) inner += LineDistance(tile->Surface(), columns, i, i + 1);
    inner /= size - 1;
    const double seam = LineDistance(tile->Surface(), columns, size - 1, 0);
    EXPECT_LT(seam, inner * 2 + 1) << "the wrap-around seam stands out";
  }
}

}  // namespace
