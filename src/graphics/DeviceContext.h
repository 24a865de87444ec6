#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/Fonts.h"
#include "graphics/Surface.h"

// GDI text alignment flags (TA_*) as the drawing routines use them.
inline constexpr uint32_t kTaLeft = 0;
inline constexpr uint32_t kTaTop = 0;
inline constexpr uint32_t kTaRight = 2;
inline constexpr uint32_t kTaCenter = 6;

struct TFontSpec {
  int32_t Height = 0;  // cell height in pixels
  int32_t Width = 0;   // average character width in pixels (0 = the face's natural width)
  int32_t Weight = 800;
};

// A small device context over a surface: the GDI operations the menus and the
// game draw with. Text is antialiased onto the surface with a transparent
// background, top-aligned to the cell top. Colours are GDI values.
class TDeviceContext {
 public:
  TDeviceContext(TFonts& fonts, TSurface& surface);
  // A context for shapes and pixels only: text draws nothing and measures 0.
  explicit TDeviceContext(TSurface& surface);

  void SelectFont(const TFontSpec& font);
  void SetTextColor(uint32_t colorRef);
  void SetTextAlign(uint32_t align);
  void TextOut(int32_t x, int32_t y, std::string_view text);
  // Width in pixels of `text` in the selected font.
  int32_t TextWidth(std::string_view text);

  // Pen (outline) and brush (fill) for the shapes.
  void SetPen(uint32_t colorRef, int32_t width);
  void SetBrush(uint32_t colorRef);
  void SetHollowBrush();
  // GDI semantics: the right and bottom edges are excluded.
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ellipseW,
                 int32_t ellipseH);
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);

  uint32_t GetPixel(int32_t x, int32_t y) const;  // GDI colour value
  void SetPixel(int32_t x, int32_t y, uint32_t colorRef);

 private:
  TFonts* fonts_;
  TSurface& surface_;
  TFontSpec font_{};
  uint32_t textColor_ = 0;
  uint32_t textAlign_ = kTaLeft | kTaTop;
  uint32_t penColor_ = 0;
  int32_t penWidth_ = 1;
  uint32_t brushColor_ = 0;
  bool hollowBrush_ = true;
  int32_t penX_ = 0;
  int32_t penY_ = 0;
};
