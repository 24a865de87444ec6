#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/DeviceContext.h"

// The text and shape vocabulary of the screens (GDI colour values throughout).

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
// Solid rounded rectangle from (left, top) to (left + width, top + height), 1 x 1 corners.
void FillRoundRect(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t colorRef,
                   TSurface& surface);

// The colours the screens use.
inline constexpr uint32_t kOrange = 0x0099FF;
inline constexpr uint32_t kDarkBlue = 0x993300;
inline constexpr uint32_t kRed = 0x0000FF;
