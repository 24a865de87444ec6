#include "images/BmpDecoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/BmpWriter.h"

namespace {

// Decoding straight into a surface's rows gives what SDL's reader gives, for
// every row padding of 24-bit pictures stored either way up and for a
// paletted picture (which goes through SDL's reader); the padding words of the
// target rows are left alone.
TEST(BmpDecoder, DecodingIntoRowsMatchesTheBmpReader) {
  struct Case {
    int32_t w, h;
    bool paletted, topDown;
  };
  const std::vector<Case> cases = {{1, 3, false, false}, {2, 2, false, false}, {3, 4, false, true},
                                   {4, 1, false, false}, {5, 3, false, true},  {7, 2, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << (c.paletted ? " paletted" : "")
                                    << (c.topDown ? " top-down" : ""));
    auto pixel = [](int32_t x, int32_t y) { return 0x00102030u * (x + 1) + 0x00050709u * y; };
    const std::vector<uint8_t> bmp = test_kit::MakeBmp({.Width = c.w,
                                                        .Height = c.h,
                                                        .Pixel = pixel,
                                                        .Paletted = c.paletted,
                                                        .TopDown = c.topDown});
    TBmpLayout layout;
    std::string error;
    ASSERT_TRUE(ValidateBmpLayout(bmp.data(), bmp.size(), layout, error)) << error;
    TDecodedBitmap reference;
    ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), reference, error)) << error;

    const int32_t pitch = c.w + 2;
    std::vector<uint32_t> rows(static_cast<size_t>(pitch) * c.h, 0xDEADBEEFu);
    ASSERT_TRUE(DecodeBmpInto(bmp.data(), bmp.size(), layout, rows.data(), pitch, error)) << error;
    for (int32_t y = 0; y < c.h; ++y) {
      for (int32_t x = 0; x < c.w; ++x) {
        EXPECT_EQ(rows[static_cast<size_t>(y * pitch + x)],
                  reference.Pixels[static_cast<size_t>(y * c.w + x)])
            << x << "," << y;
        EXPECT_EQ(rows[static_cast<size_t>(y * pitch + x)], pixel(x, y)) << x << "," << y;
      }
      EXPECT_EQ(rows[static_cast<size_t>(y * pitch + c.w)], 0xDEADBEEFu);
    }
  }
}

}  // namespace
