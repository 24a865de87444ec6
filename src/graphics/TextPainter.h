#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/Surface.h"

// GDI text alignment flags (TA_*) as the drawing routines use them.
inline constexpr uint32_t kTaLeft = 0;
inline constexpr uint32_t kTaTop = 0;
inline constexpr uint32_t kTaRight = 2;
inline constexpr uint32_t kTaCenter = 6;

// Draws text onto a surface: what the game needs of the faces, so the game
// logic links no font library. The program hands the game its faces (TFonts);
// a session that draws no text (a replay being verified) is given none.
class ITextPainter {
 public:
  virtual ~ITextPainter() = default;
  // Weight 800 text of cell height `height` and average character width
  // `width` at (x, y) with the GDI alignment `align`; with `shadow`, first a
  // shadow at (x + 1, y + 1), dark blue under orange and orange otherwise.
  virtual void DrawText(int32_t x, int32_t y, int32_t height, int32_t width, bool shadow,
                        uint32_t align, uint32_t colorRef, TSurface& surface,
                        std::string_view text) = 0;
};
