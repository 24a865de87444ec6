#include "PngWriter.h"

#include <cairo.h>

#include <cstring>

bool WritePng(const TSurface& surface, const std::string& path) {
  cairo_surface_t* image =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, surface.Width(), surface.Height());
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return false;
  }
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < surface.Height(); ++y) {
    std::memcpy(data + static_cast<size_t>(y) * stride,
                surface.Pixels() + static_cast<size_t>(y) * surface.Width(),
                static_cast<size_t>(surface.Width()) * 4);
  }
  cairo_surface_mark_dirty(image);
  const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(image);
  return ok;
}
