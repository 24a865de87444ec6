#include "Canvas.h"

#include <SDL.h>

#include <cmath>
#include <stdexcept>

#include "FontSet.h"
#include "i18n/Gettext.h"

TCanvas::TCanvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("Cannot create a drawing surface");
}

TCanvas::~TCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void TCanvas::SetColor(const TColor& c) const {
  cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a);
}

void TCanvas::FillLinear(double x0, double y0, const TColor& c0, double x1, double y1,
                         const TColor& c1) const {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  cairo_pattern_add_color_stop_rgba(p, 0, c0.r, c0.g, c0.b, c0.a);
  cairo_pattern_add_color_stop_rgba(p, 1, c1.r, c1.g, c1.b, c1.a);
  cairo_set_source(cr_, p);
  cairo_fill(cr_);
  cairo_pattern_destroy(p);
}

void TCanvas::FillRadial(double cx, double cy, double radius, const TColor& inner,
                         const TColor& outer) const {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
  cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
  cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, outer.a);
  cairo_set_source(cr_, p);
  cairo_fill(cr_);
  cairo_pattern_destroy(p);
}

void TCanvas::RoundedRect(double x, double y, double w, double h, double r) const {
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr_, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr_, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr_, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr_);
}

void TCanvas::Ellipse(double cx, double cy, double rx, double ry) const {
  cairo_save(cr_);
  cairo_translate(cr_, cx, cy);
  cairo_scale(cr_, rx, ry);
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr_);
}

double TCanvas::TextWidth(const TFontSet& fonts, const std::string& text, double size,
                          bool bold) const {
  cairo_save(cr_);
  cairo_set_font_face(cr_, bold ? fonts.Bold() : fonts.Regular());
  cairo_set_font_size(cr_, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr_, Translate(text.c_str()), &ext);
  cairo_restore(cr_);
  return ext.x_advance;
}

void TCanvas::Text(const TFontSet& fonts, const std::string& text, double x, double y, double size,
                   bool bold, const TColor& color, TAlign align, const TColor* shadow) const {
  // Captions come out in the language being forged; numbers and names are
  // not in the catalogue and stay as they are.
  const char* shown = Translate(text.c_str());
  cairo_save(cr_);
  cairo_set_font_face(cr_, bold ? fonts.Bold() : fonts.Regular());
  cairo_set_font_size(cr_, size);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr_, shown, &te);
  double left = x;
  if (align == TAlign::Right) left = x - te.x_advance;
  if (align == TAlign::Center) left = x - te.x_advance / 2;
  const double baseline = y + fe.ascent;
  if (shadow) {
    SetColor(*shadow);
    cairo_move_to(cr_, left + 1, baseline + 1);
    cairo_show_text(cr_, shown);
  }
  SetColor(color);
  cairo_move_to(cr_, left, baseline);
  cairo_show_text(cr_, shown);
  cairo_restore(cr_);
}

void TCanvas::Paint(const TCanvas& other, double x, double y) const {
  cairo_surface_flush(other.surface_);
  cairo_save(cr_);
  cairo_set_source_surface(cr_, other.surface_, x, y);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

std::vector<uint8_t> TCanvas::ToBmp(bool opaque) const {
  cairo_surface_flush(surface_);
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, width_, height_, 24, SDL_PIXELFORMAT_BGR24);
  if (!out) throw std::runtime_error(std::string("Cannot create a bitmap: ") + SDL_GetError());
  const uint8_t* src = cairo_image_surface_get_data(surface_);
  const int srcPitch = cairo_image_surface_get_stride(surface_);
  auto* dst = static_cast<uint8_t*>(out->pixels);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(src + y * srcPitch);
    uint8_t* drow = dst + y * out->pitch;
    for (int x = 0; x < width_; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      uint32_t r = 255, g = 0, b = 255;
      if (opaque || a >= 128) {
        // cairo stores premultiplied colour: opaque images are flattened over
        // black, keyed ones un-premultiplied so edges keep their own colour.
        const uint32_t div = opaque ? 255 : a;
        r = std::min<uint32_t>(255, ((p >> 16) & 0xFF) * 255 / div);
        g = std::min<uint32_t>(255, ((p >> 8) & 0xFF) * 255 / div);
        b = std::min<uint32_t>(255, (p & 0xFF) * 255 / div);
        // Nothing drawn may read as the colour key, not even after rounding.
        if (r >= 248 && b >= 248 && g <= 8) g = 16;
      }
      drow[x * 3 + 0] = static_cast<uint8_t>(b);
      drow[x * 3 + 1] = static_cast<uint8_t>(g);
      drow[x * 3 + 2] = static_cast<uint8_t>(r);
    }
  }
  const size_t capacity = 1024 + static_cast<size_t>((width_ * 3 + 3) & ~3) * height_;
  std::vector<uint8_t> bytes(capacity);
  SDL_RWops* rw = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
  const int rc = SDL_SaveBMP_RW(out, rw, 0);
  const Sint64 written = SDL_RWtell(rw);
  SDL_RWclose(rw);
  SDL_FreeSurface(out);
  if (rc != 0 || written <= 0) throw std::runtime_error("Cannot write a bitmap");
  bytes.resize(static_cast<size_t>(written));
  return bytes;
}
