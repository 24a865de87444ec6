#include "graphics/ShapeContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// GDI's own pixel value from a surface pixel (red back in the low byte).
constexpr uint32_t PixelToGdi(uint32_t pixel) {
  return GdiToPixel(pixel);
}

}  // namespace

void TShapeContext::SetPen(uint32_t colorRef, int32_t width) {
  penColor_ = colorRef;
  penWidth_ = std::max(width, 1);
}

void TShapeContext::SetBrush(uint32_t colorRef) {
  brushColor_ = colorRef;
  hollowBrush_ = false;
}

void TShapeContext::SetHollowBrush() {
  hollowBrush_ = true;
}

namespace {

void FillSpan(TSurface& s, int32_t x0, int32_t x1, int32_t y, uint32_t pixel) {
  if (y < 0 || y >= s.Height()) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, s.Width());
  uint32_t* row = s.Pixels() + static_cast<size_t>(y) * s.Width();
  for (int32_t x = x0; x < x1; ++x) row[x] = pixel;
}

// A pen of width w covers a w x w square around each point of its path, the
// extra pixel of an even width going up and left.
void Stamp(TSurface& s, int32_t x, int32_t y, int32_t width, uint32_t pixel) {
  const int32_t lo = -(width / 2);
  for (int32_t dy = lo; dy < lo + width; ++dy) FillSpan(s, x + lo, x + lo + width, y + dy, pixel);
}

}  // namespace

void TShapeContext::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  RoundRect(left, top, right, bottom, 0, 0);
}

void TShapeContext::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                              int32_t ellipseW, int32_t ellipseH) {
  if (surface_.IsLost()) return;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  // Keep the loops bounded by the surface, whatever the caller asks.
  left = std::max(left, -penWidth_ - 1);
  top = std::max(top, -penWidth_ - 1);
  right = std::min(right, surface_.Width() + penWidth_ + 1);
  bottom = std::min(bottom, surface_.Height() + penWidth_ + 1);
  if (right - left < 1 || bottom - top < 1) return;
  const int32_t w = right - left;
  const int32_t h = bottom - top;
  const int32_t rx = std::clamp(std::abs(ellipseW) / 2, 0, w / 2);
  const int32_t ry = std::clamp(std::abs(ellipseH) / 2, 0, h / 2);
  // Inset of row r from the sides: zero except in the rounded corners.
  auto inset = [&](int32_t r) -> int32_t {
    if (rx == 0 || ry == 0) return 0;
    int32_t d = -1;
    if (r < ry) d = ry - r;
    if (r >= h - ry) d = r - (h - ry - 1);
    if (d < 0) return 0;
    const double t = static_cast<double>(d) / ry;
    const double k = 1.0 - std::sqrt(std::max(0.0, 1.0 - t * t));
    return static_cast<int32_t>(k * rx + 0.5);
  };
  if (!hollowBrush_) {
    const uint32_t fill = GdiToPixel(brushColor_);
    for (int32_t r = 0; r < h; ++r)
      FillSpan(surface_, left + inset(r), right - inset(r), top + r, fill);
  }
  const uint32_t pen = GdiToPixel(penColor_);
  for (int32_t r = 0; r < h; ++r) {
    const int32_t in = inset(r);
    const int32_t y = top + r;
    if (r == 0 || r == h - 1) {
      for (int32_t x = left + in; x < right - in; ++x) Stamp(surface_, x, y, penWidth_, pen);
      continue;
    }
    // On the curved rows the outline runs sideways up to where the next row
    // towards the edge starts, so it has no gaps.
    const int32_t outer = std::max({in + 1, inset(r - 1), inset(r + 1)});
    for (int32_t k = in; k < outer; ++k) {
      Stamp(surface_, left + k, y, penWidth_, pen);
      Stamp(surface_, right - 1 - k, y, penWidth_, pen);
    }
  }
}

void TShapeContext::MoveTo(int32_t x, int32_t y) {
  penX_ = x;
  penY_ = y;
}

void TShapeContext::LineTo(int32_t x, int32_t y) {
  const int32_t x0 = penX_;
  const int32_t y0 = penY_;
  penX_ = x;
  penY_ = y;
  if (surface_.IsLost()) return;
  // Bresenham from the current position up to, but not including, the end point.
  const int64_t dx = std::abs(static_cast<int64_t>(x) - x0);
  const int64_t dy = -std::abs(static_cast<int64_t>(y) - y0);
  const int32_t sx = x0 < x ? 1 : -1;
  const int32_t sy = y0 < y ? 1 : -1;
  const int64_t steps = std::max(dx, -dy);
  if (steps > 4 * int64_t{65536}) return;  // far outside any surface
  const uint32_t pen = GdiToPixel(penColor_);
  int64_t err = dx + dy;
  int32_t cx = x0;
  int32_t cy = y0;
  for (int64_t i = 0; i < steps; ++i) {
    Stamp(surface_, cx, cy, penWidth_, pen);
    const int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      cx += sx;
    }
    if (e2 <= dx) {
      err += dx;
      cy += sy;
    }
  }
}

uint32_t TShapeContext::GetPixel(int32_t x, int32_t y) const {
  if (surface_.IsLost() || x < 0 || y < 0 || x >= surface_.Width() || y >= surface_.Height()) {
    return 0xFFFFFFFFu;  // CLR_INVALID
  }
  return PixelToGdi(surface_.PixelAt(x, y));
}

void TShapeContext::SetPixel(int32_t x, int32_t y, uint32_t colorRef) {
  if (surface_.IsLost() || x < 0 || y < 0 || x >= surface_.Width() || y >= surface_.Height()) {
    return;
  }
  surface_.SetPixelAt(x, y, GdiToPixel(colorRef));
}

void FillRoundRect(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t colorRef,
                   TSurface& surface) {
  TShapeContext dc(surface);
  dc.SetPen(colorRef, 1);
  dc.SetBrush(colorRef);
  dc.RoundRect(left, top, left + width, top + height, 1, 1);
}
