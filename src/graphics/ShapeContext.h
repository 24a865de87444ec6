#pragma once

#include <cstdint>

#include "graphics/Surface.h"

// The colours the screens and the game draw with (GDI colour values).
inline constexpr uint32_t kOrange = 0x0099FF;
inline constexpr uint32_t kDarkBlue = 0x993300;
inline constexpr uint32_t kRed = 0x0000FF;

// The GDI shape and pixel operations over a surface: a pen (outline) and a
// brush (fill), rectangles, rounded rectangles and lines. Colours are GDI
// values. No text: that is TDeviceContext's, which adds the faces.
class TShapeContext {
 public:
  explicit TShapeContext(TSurface& surface) : surface_(surface) {}

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

 protected:
  TSurface& surface_;

 private:
  uint32_t penColor_ = 0;
  int32_t penWidth_ = 1;
  uint32_t brushColor_ = 0;
  bool hollowBrush_ = true;
  int32_t penX_ = 0;
  int32_t penY_ = 0;
};

// Solid rounded rectangle from (left, top) to (left + width, top + height), 1 x 1 corners.
void FillRoundRect(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t colorRef,
                   TSurface& surface);
