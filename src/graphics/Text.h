#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/DeviceContext.h"

// The text vocabulary of the screens (GDI colour values throughout); the
// shapes and colours are in graphics/ShapeContext.h.

// Tahoma weight 800: the shadow at (x + 1, y + 1), then the text at (x, y). The
// shadow is dark blue 0x993300 under orange 0x0099FF and orange otherwise.
void DrawCaption(TFonts& fonts, int32_t x, int32_t y, int32_t height, int32_t width,
                 uint32_t colorRef, TSurface& surface, std::string_view text);
// As DrawCaption, the shadow only when `shadow` is true.
void DrawTextLeft(TFonts& fonts, int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                  uint32_t colorRef, TSurface& surface, std::string_view text);
// As DrawTextLeft with a GDI alignment (kTaCenter, kTaRight, ...).
void DrawTextEx(TFonts& fonts, int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                uint32_t align, uint32_t colorRef, TSurface& surface, std::string_view text);

// Width in pixels of `text` drawn in `font` (without the shadow's pixel).
int32_t MeasureText(TFonts& fonts, const TFontSpec& font, std::string_view text);

// The font a line of running text is drawn in: `standard` when `text` fits
// there, else the largest of a few smaller steps at which it does (the
// smallest when none does). It fits when its width and the one-pixel shadow
// stay within `room` pixels from where it starts. A line that fits at its
// standard size is drawn exactly as before; a long translation gets a
// slightly smaller letter instead of running past its box.
TFontSpec FittingFont(TDeviceContext& dc, std::string_view text, const TFontSpec& standard,
                      int32_t room);
