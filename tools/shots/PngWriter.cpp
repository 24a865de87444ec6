#include "PngWriter.h"

#include <cairo.h>

#include <cstring>

bool WritePng(const uint32_t* pixels, int width, int height, const std::string& path) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return false;
  }
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < height; ++y) {
    std::memcpy(data + static_cast<size_t>(y) * stride, pixels + static_cast<size_t>(y) * width,
                static_cast<size_t>(width) * 4);
  }
  cairo_surface_mark_dirty(image);
  const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(image);
  return ok;
}

bool WritePng(const TSurface& surface, const std::string& path) {
  return WritePng(surface.Pixels(), surface.Width(), surface.Height(), path);
}
