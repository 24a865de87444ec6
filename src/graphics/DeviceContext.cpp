#include "graphics/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/FontsImpl.h"

namespace {

// Vertical alignment bits of a GDI text alignment (TA_BOTTOM, TA_BASELINE).
constexpr uint32_t kTaBottom = 8;
constexpr uint32_t kTaBaseline = 24;
constexpr uint32_t kTaHorizontalMask = 6;
constexpr uint32_t kTaVerticalMask = 24;

// dst + (src - dst) * a / 255 per channel, exact to within one step.
uint32_t Blend(uint32_t dst, uint32_t src, uint32_t a) {
  const uint32_t inv = 255 - a;
  uint32_t rb = (src & 0xFF00FFu) * a + (dst & 0xFF00FFu) * inv + 0x800080u;
  uint32_t g = (src & 0x00FF00u) * a + (dst & 0x00FF00u) * inv + 0x008000u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  g = ((g + ((g >> 8) & 0x00FF00u)) >> 8) & 0x00FF00u;
  return rb | g;
}

// GDI's own pixel value from a surface pixel (red back in the low byte).
constexpr uint32_t PixelToGdi(uint32_t pixel) {
  return GdiToPixel(pixel);
}

}  // namespace

TDeviceContext::TDeviceContext(TFonts& fonts, TSurface& surface)
    : fonts_(&fonts), surface_(surface) {}

TDeviceContext::TDeviceContext(TSurface& surface) : fonts_(nullptr), surface_(surface) {}

void TDeviceContext::SelectFont(const TFontSpec& font) {
  font_ = font;
}
void TDeviceContext::SetTextColor(uint32_t colorRef) {
  textColor_ = colorRef;
}
void TDeviceContext::SetTextAlign(uint32_t align) {
  textAlign_ = align;
}

int32_t TDeviceContext::TextWidth(std::string_view text) {
  if (fonts_ == nullptr) return 0;
  TFonts::Impl& impl = fonts_->impl();
  TFontSize& size = impl.Size(font_.Height, font_.Width, font_.Weight);
  int32_t width = 0;
  for (size_t i = 0; i < text.size();) width += impl.Glyph(size, NextCodePoint(text, i)).Advance;
  return width;
}

void TDeviceContext::TextOut(int32_t x, int32_t y, std::string_view text) {
  if (fonts_ == nullptr || surface_.IsLost() || text.empty()) return;
  TFonts::Impl& impl = fonts_->impl();
  TFontSize& size = impl.Size(font_.Height, font_.Width, font_.Weight);
  const uint32_t horizontal = textAlign_ & kTaHorizontalMask;
  if (horizontal == kTaCenter) {
    x -= TextWidth(text) / 2;
  } else if (horizontal == kTaRight) {
    x -= TextWidth(text);
  }
  int32_t baseline = y + size.Ascent;
  const uint32_t vertical = textAlign_ & kTaVerticalMask;
  if (vertical == kTaBaseline) {
    baseline = y;
  } else if (vertical == kTaBottom) {
    baseline = y - size.CellHeight + size.Ascent;
  }

  const uint32_t colour = GdiToPixel(textColor_);
  const int32_t sw = surface_.Width();
  const int32_t sh = surface_.Height();
  uint32_t* pixels = surface_.Pixels();
  int32_t pen = x;
  for (size_t i = 0; i < text.size();) {
    const TGlyph& g = impl.Glyph(size, NextCodePoint(text, i));
    const int32_t left = pen + g.Left;
    const int32_t top = baseline - g.Top;
    pen += g.Advance;
    const int32_t x0 = std::max(left, 0);
    const int32_t x1 = std::min(left + g.Width, sw);
    const int32_t y0 = std::max(top, 0);
    const int32_t y1 = std::min(top + g.Height, sh);
    for (int32_t py = y0; py < y1; ++py) {
      const uint8_t* cov = g.Coverage.data() + static_cast<size_t>(py - top) * g.Width - left;
      uint32_t* row = pixels + static_cast<size_t>(py) * sw;
      for (int32_t px = x0; px < x1; ++px) {
        const uint32_t a = cov[px];
        if (a == 0) continue;
        row[px] = a == 255 ? colour : Blend(row[px], colour, a);
      }
    }
  }
}

void TDeviceContext::SetPen(uint32_t colorRef, int32_t width) {
  penColor_ = colorRef;
  penWidth_ = std::max(width, 1);
}

void TDeviceContext::SetBrush(uint32_t colorRef) {
  brushColor_ = colorRef;
  hollowBrush_ = false;
}

void TDeviceContext::SetHollowBrush() {
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

void TDeviceContext::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  RoundRect(left, top, right, bottom, 0, 0);
}

void TDeviceContext::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
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

void TDeviceContext::MoveTo(int32_t x, int32_t y) {
  penX_ = x;
  penY_ = y;
}

void TDeviceContext::LineTo(int32_t x, int32_t y) {
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

uint32_t TDeviceContext::GetPixel(int32_t x, int32_t y) const {
  if (surface_.IsLost() || x < 0 || y < 0 || x >= surface_.Width() || y >= surface_.Height()) {
    return 0xFFFFFFFFu;  // CLR_INVALID
  }
  return PixelToGdi(surface_.PixelAt(x, y));
}

void TDeviceContext::SetPixel(int32_t x, int32_t y, uint32_t colorRef) {
  if (surface_.IsLost() || x < 0 || y < 0 || x >= surface_.Width() || y >= surface_.Height()) {
    return;
  }
  surface_.SetPixelAt(x, y, GdiToPixel(colorRef));
}
