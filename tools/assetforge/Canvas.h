#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Palette.h"

class TFontSet;

enum class TAlign { Left, Center, Right };

// A cairo drawing surface of one pack image. Pictures are drawn onto a
// transparent surface; ToBmp() then turns every pixel that is less than half
// covered into the colour key magenta and un-premultiplies the others, so
// antialiased edges never blend toward magenta.
class TCanvas {
 public:
  TCanvas(int width, int height);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  cairo_t* Cr() const { return cr_; }
  cairo_surface_t* Surface() const { return surface_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  void SetColor(const TColor& c) const;
  // Fills the current path with a linear gradient from c0 at (x0, y0) to c1.
  void FillLinear(double x0, double y0, const TColor& c0, double x1, double y1,
                  const TColor& c1) const;
  // Fills the current path with a radial gradient around (cx, cy).
  void FillRadial(double cx, double cy, double radius, const TColor& inner,
                  const TColor& outer) const;
  void RoundedRect(double x, double y, double w, double h, double r) const;
  void Ellipse(double cx, double cy, double rx, double ry) const;

  // Text with its top-left em box at (x, y) (Right: x is the right edge,
  // Center: the middle), pixel size `size`, an optional 1-pixel shadow.
  void Text(const TFontSet& fonts, const std::string& text, double x, double y, double size,
            bool bold, const TColor& color, TAlign align = TAlign::Left,
            const TColor* shadow = nullptr) const;
  // Width of `text` in pixels at `size`.
  double TextWidth(const TFontSet& fonts, const std::string& text, double size, bool bold) const;

  // Copies `other` with its top-left at (x, y), blending over this picture.
  void Paint(const TCanvas& other, double x, double y) const;

  // 24-bit BMP file through SDL's writer. `opaque` images lose any
  // transparency (they are flattened, never keyed).
  std::vector<uint8_t> ToBmp(bool opaque = false) const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};
