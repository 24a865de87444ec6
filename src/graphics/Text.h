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
