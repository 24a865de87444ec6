#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/Fonts.h"
#include "graphics/ShapeContext.h"
#include "graphics/Surface.h"
#include "graphics/TextPainter.h"

struct TFontSpec {
  int32_t Height = 0;  // cell height in pixels
  int32_t Width = 0;   // average character width in pixels (0 = the face's natural width)
  int32_t Weight = 800;
};

// A small device context over a surface: the GDI operations the menus and the
// game draw with, the shapes of TShapeContext and text. Text is antialiased
// onto the surface with a transparent background, top-aligned to the cell top.
// Colours are GDI values.
class TDeviceContext : public TShapeContext {
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

 private:
  TFonts* fonts_;
  TFontSpec font_{};
  uint32_t textColor_ = 0;
  uint32_t textAlign_ = kTaLeft | kTaTop;
};
