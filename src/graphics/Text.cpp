#include "graphics/Text.h"

namespace {

constexpr int32_t kCaptionWeight = 800;

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

void TFonts::DrawText(int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                      uint32_t align, uint32_t colorRef, TSurface& surface, std::string_view text) {
  DrawTextEx(*this, x, y, height, width, shadow, align, colorRef, surface, text);
}
