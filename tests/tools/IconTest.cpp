// The desktop icons the build draws: every hicolor size exists at its size
// and shows a picture, not a blank or single-colour square.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "IconPainter.h"

TEST(Icons, EverySizeIsDrawnAtItsSizeAndIsNotBlank) {
  for (const int size : TIconPainter::kSizes) {
    SCOPED_TRACE(size);
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    const std::string path =
        std::string(TL_BINARY_DIR) + "/icons/hicolor/" + dim + "/apps/org.tidallynx.TidalLynx.png";
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS) << path;
    EXPECT_EQ(cairo_image_surface_get_width(png), size);
    EXPECT_EQ(cairo_image_surface_get_height(png), size);
    const auto* data = cairo_image_surface_get_data(png);
    const int stride = cairo_image_surface_get_stride(png);
    std::set<uint32_t> colours;
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const uint32_t pixel = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
        colours.insert(pixel);
        if ((pixel >> 24) == 0xFF) ++opaque;
      }
    }
    // The sea fills most of the square, and the ship stands out on it.
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_GE(colours.size(), 8u);
    cairo_surface_destroy(png);
  }
}
