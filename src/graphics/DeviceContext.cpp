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

}  // namespace

TDeviceContext::TDeviceContext(TFonts& fonts, TSurface& surface)
    : TShapeContext(surface), fonts_(&fonts) {}

TDeviceContext::TDeviceContext(TSurface& surface) : TShapeContext(surface), fonts_(nullptr) {}

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
