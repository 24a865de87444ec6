#include "graphics/Text.h"

#include <array>

namespace {

constexpr int32_t kCaptionWeight = 800;

// The cells a line may step down to, largest first: each a pixel or so
// smaller than the one before, down to the smallest the faces keep legible.
constexpr std::array<TFontSpec, 6> kSizeSteps{{
    {18, 10, kCaptionWeight},
    {16, 9, kCaptionWeight},
    {14, 8, kCaptionWeight},
    {13, 7, kCaptionWeight},
    {12, 7, kCaptionWeight},
    {11, 6, kCaptionWeight},
}};

uint32_t ShadowColour(uint32_t colorRef) {
  return colorRef == kOrange ? kDarkBlue : kOrange;
}

}  // namespace

void DrawTextEx(TFonts& fonts, int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                uint32_t align, uint32_t colorRef, TSurface& surface, std::string_view text) {
  TDeviceContext dc(fonts, surface);
  dc.SelectFont(TFontSpec{height, width, kCaptionWeight});
  dc.SetTextAlign(align);
  if (shadow) {
    dc.SetTextColor(ShadowColour(colorRef));
    dc.TextOut(x + 1, y + 1, text);
  }
  dc.SetTextColor(colorRef);
  dc.TextOut(x, y, text);
}

void DrawTextLeft(TFonts& fonts, int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                  uint32_t colorRef, TSurface& surface, std::string_view text) {
  DrawTextEx(fonts, x, y, height, width, shadow, kTaLeft | kTaTop, colorRef, surface, text);
}

void DrawCaption(TFonts& fonts, int32_t x, int32_t y, int32_t height, int32_t width,
                 uint32_t colorRef, TSurface& surface, std::string_view text) {
  DrawTextEx(fonts, x, y, height, width, true, kTaLeft | kTaTop, colorRef, surface, text);
}

int32_t MeasureText(TFonts& fonts, const TFontSpec& font, std::string_view text) {
  TSurface scratch(1, 1);  // measuring needs a device context, which needs a surface
  TDeviceContext dc(fonts, scratch);
  dc.SelectFont(font);
  return dc.TextWidth(text);
}

TFontSpec FittingFont(TDeviceContext& dc, std::string_view text, const TFontSpec& standard,
                      int32_t room) {
  auto fits = [&](const TFontSpec& font) {
    dc.SelectFont(font);
    return dc.TextWidth(text) + 1 <= room;
  };
  if (fits(standard)) return standard;
  TFontSpec chosen = standard;
  for (TFontSpec step : kSizeSteps) {
    if (step.Height >= standard.Height) continue;
    step.Weight = standard.Weight;
    chosen = step;
    if (fits(step)) break;
  }
  dc.SelectFont(chosen);
  return chosen;
}

void TFonts::DrawText(int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                      uint32_t align, uint32_t colorRef, TSurface& surface, std::string_view text) {
  DrawTextEx(*this, x, y, height, width, shadow, align, colorRef, surface, text);
}
