#include "graphics/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "support/SurfaceTestAccess.h"

namespace {

constexpr uint32_t kBackground = 0x00101010;

void Fill(TSurface& s, uint32_t value) {
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) s.SetPixelAt(x, y, value);
}

// Every pixel of a w x h sprite gets its own value, so landing spots can be traced.
TSurface NumberedSprite(int32_t w, int32_t h) {
  TSurface s(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      s.SetPixelAt(x, y, 0x00010000u + static_cast<uint32_t>(y * w + x));
  return s;
}

TEST(Geometry, PointDeltaAndHalfToEvenRounding) {
  EXPECT_EQ(PointDelta({3, 7}, {1, 10}), (TPoint{-2, 3}));
  struct Case {
    TPoint v;
    double cosine;
    double sine;
    int32_t x;
    int32_t y;
  };
  const std::vector<Case> cases = {
      {{1, 0}, 0.5, 0.0, 0, 0},     // 0.5 -> 0
      {{3, 0}, 0.5, 0.5, 2, 2},     // 1.5 -> 2
      {{5, 0}, 0.5, -0.5, 2, -2},   // 2.5 -> 2, -2.5 -> -2
      {{0, 1}, 0.5, 0.5, 0, 0},     // -0.5 -> -0 and 0.5 -> 0
      {{0, 3}, -0.5, -0.5, 2, -2},  // 1.5 -> 2 and -1.5 -> -2
      {{2, 1}, 1.0, 0.0, 2, 1},     // identity
      {{2, 1}, 0.0, 1.0, -1, 2},    // quarter turn
      {{7, 0}, 0.35, 0.0, 2, 0},    // 2.45 -> 2
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RotateX(c.v, c.cosine, c.sine), c.x) << c.v.X << "," << c.v.Y;
    EXPECT_EQ(RotateY(c.v, c.cosine, c.sine), c.y) << c.v.X << "," << c.v.Y;
  }
}

TEST(DrawRotated, AngleZeroAndTwoPiPointMirrorAboutThePivotLanding) {
  // Two opaque corners of a 5 x 3 sprite show the mirror clearly.
  TSurface sprite(5, 3);
  Fill(sprite, kMagentaPixel);
  sprite.SetPixelAt(4, 0, 0x00AA0000);
  sprite.SetPixelAt(0, 2, 0x0000BB00);
  sprite.SetPixelAt(2, 1, 0x000000CC);  // the pivot
  const uint16_t ax = 300;
  const uint16_t ay = 200;
  TSurface atZero(800, 600);
  Fill(atZero, kBackground);
  DrawRotated(sprite, atZero, {2, 1}, 0.0, 5, 3, ax, ay);
  // (x, y) lands at (ax - x, ay - y), its gap copy one row below.
  struct Landing {
    int32_t x;
    int32_t y;
    uint32_t value;
  };
  for (const Landing l : {Landing{ax - 4, ay, 0x00AA0000}, Landing{ax - 4, ay + 1, 0x00AA0000},
                          Landing{ax, ay - 2, 0x0000BB00}, Landing{ax, ay - 1, 0x0000BB00},
                          Landing{ax - 2, ay - 1, 0x000000CC}, Landing{ax - 2, ay, 0x000000CC}}) {
    EXPECT_EQ(atZero.PixelAt(l.x, l.y), l.value) << l.x << "," << l.y;
  }
  int written = 0;
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x) written += atZero.PixelAt(x, y) != kBackground;
  EXPECT_EQ(written, 6);
  EXPECT_FALSE(atZero.IsLocked());
  EXPECT_FALSE(sprite.IsLocked());

  // A full turn draws the very same pixels, including a dense sprite whose
  // gap copies overwrite the row above.
  TSurface dense = NumberedSprite(7, 5);
  TSurface a(800, 600);
  TSurface b(800, 600);
  DrawRotated(dense, a, {3, 2}, 0.0, 7, 5, ax, ay);
  DrawRotated(dense, b, {3, 2}, 2.0 * std::numbers::pi, 7, 5, ax, ay);
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x) ASSERT_EQ(a.PixelAt(x, y), b.PixelAt(x, y)) << x << "," << y;
  for (int32_t x = 0; x < 7; ++x) {
    for (int32_t y = 0; y < 5; ++y) EXPECT_EQ(a.PixelAt(ax - x, ay - y + 1), dense.PixelAt(x, y));
    EXPECT_EQ(a.PixelAt(ax - x, ay - 4), dense.PixelAt(x, 4));
  }
}

TEST(DrawRotated, MagentaPixelsAreSkipped) {
  TSurface sprite(2, 1);
  sprite.SetPixelAt(0, 0, kMagentaPixel);
  sprite.SetPixelAt(1, 0, 0x00123456);
  TSurface dst(800, 600);
  Fill(dst, kBackground);
  DrawRotated(sprite, dst, {0, 0}, 0.0, 2, 1, 400, 300);
  EXPECT_EQ(dst.PixelAt(400, 300), kBackground);
  EXPECT_EQ(dst.PixelAt(400, 301), kBackground);
  EXPECT_EQ(dst.PixelAt(399, 300), 0x00123456u);
  EXPECT_EQ(dst.PixelAt(399, 301), 0x00123456u);
}

TEST(DrawRotated, GapFillerDependsOnTheAngleRange) {
  constexpr double kPi = std::numbers::pi;
  struct Case {
    double angle;
    int32_t gapX;
    int32_t gapY;
  };
  const std::vector<Case> cases = {
      {0.0, 0, 1},      {kPi / 4, 0, 1},           {kPi / 2, 1, 0},     {3 * kPi / 4, 1, 0},
      {kPi, 1, 0},      {5 * kPi / 4, 0, 1},       {3 * kPi / 2, 1, 0}, {7 * kPi / 4, 1, 0},
      {-kPi / 4, 0, 1}, {2 * kPi + kPi / 2, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    TSurface sprite(1, 1);
    sprite.SetPixelAt(0, 0, 0x00ABCDEF);
    TSurface dst(800, 600);
    Fill(dst, kBackground);
    // A single pixel at the pivot lands on the anchor whatever the angle.
    DrawRotated(sprite, dst, {0, 0}, c.angle, 1, 1, 400, 300);
    EXPECT_EQ(dst.PixelAt(400, 300), 0x00ABCDEFu);
    EXPECT_EQ(dst.PixelAt(400 + c.gapX, 300 + c.gapY), 0x00ABCDEFu);
    EXPECT_EQ(dst.PixelAt(400 + c.gapY, 300 + c.gapX), kBackground);
  }
}

TEST(DrawRotated, ClippingWindowAndGapCopyAtItsEdges) {
  struct Case {
    uint16_t anchorX;
    uint16_t anchorY;
    bool written;
    int32_t gapX;  // where the gap copy lands (angle pi/2 uses the pixel to the right)
    int32_t gapY;
    double angle;
  };
  constexpr double kPi = std::numbers::pi;
  const std::vector<Case> cases = {
      {117, 300, false, 0, 0, 0.0},        {118, 300, true, 118, 301, 0.0},
      {682, 300, true, 683, 300, kPi / 2}, {683, 300, false, 0, 0, kPi / 2},
      {400, 598, true, 400, 599, 0.0},     {400, 599, false, 0, 0, 0.0},
      {400, 0, true, 400, 1, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.anchorX << "," << c.anchorY);
    TSurface sprite(1, 1);
    sprite.SetPixelAt(0, 0, 0x00ABCDEF);
    TSurface dst(800, 600);
    Fill(dst, kBackground);
    DrawRotated(sprite, dst, {0, 0}, c.angle, 1, 1, c.anchorX, c.anchorY);
    int written = 0;
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 800; ++x) written += dst.PixelAt(x, y) == 0x00ABCDEFu;
    EXPECT_EQ(written, c.written ? 2 : 0);
    if (c.written) {
      EXPECT_EQ(dst.PixelAt(c.anchorX, c.anchorY), 0x00ABCDEFu);
      EXPECT_EQ(dst.PixelAt(c.gapX, c.gapY), 0x00ABCDEFu);
    }
  }
  // Negative landing rows (anchor above the sprite's extent) are dropped.
  TSurface tall = NumberedSprite(1, 4);
  TSurface dst(800, 600);
  Fill(dst, kBackground);
  DrawRotated(tall, dst, {0, 0}, 0.0, 1, 4, 400, 1);
  // Row 0 lands at 1 (gap copy at 2), row 1 at 0 (gap copy at 1), rows 2 and 3
  // would land above the buffer and are dropped with their gap copies.
  EXPECT_EQ(dst.PixelAt(400, 0), tall.PixelAt(0, 1));
  EXPECT_EQ(dst.PixelAt(400, 1), tall.PixelAt(0, 1));
  EXPECT_EQ(dst.PixelAt(400, 2), tall.PixelAt(0, 0));
  EXPECT_EQ(dst.PixelAt(400, 3), kBackground);
}

TEST(DrawRotated, DrawsNothingWhenASurfaceCannotBeLocked) {
  TSurface sprite = NumberedSprite(3, 3);
  TSurface dst(800, 600);
  Fill(dst, kBackground);
  sprite.SetLost(true);
  DrawRotated(sprite, dst, {1, 1}, 0.5, 3, 3, 400, 300);
  EXPECT_FALSE(dst.IsLocked());
  sprite.SetLost(false);
  dst.SetLost(true);
  DrawRotated(sprite, dst, {1, 1}, 0.5, 3, 3, 400, 300);
  EXPECT_FALSE(sprite.IsLocked());
  dst.SetLost(false);
  for (int32_t y = 290; y < 310; ++y)
    for (int32_t x = 390; x < 410; ++x) ASSERT_EQ(dst.PixelAt(x, y), kBackground);
  // Asking for more than the sprite holds reads only what exists; huge angles end.
  DrawRotated(sprite, dst, {1, 1}, 1e300, 60000, 60000, 400, 300);
  DrawRotated(sprite, dst, {1, 1}, std::nan(""), 3, 3, 400, 300);
}

TEST(DrawClipped, ClipsToEightHundredColumnsAnd598Rows) {
  // A 40 x 40 source whose pixels encode their own position.
  TSurface src(40, 40);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) src.SetPixelAt(x, y, static_cast<uint32_t>(y << 8 | x) + 1);
  src.SetColorKey(kMagentaPixel);
  struct Case {
    const char* name;
    TRect rect;
    int16_t x;
    int16_t y;
    TRect expectDst;  // where pixels land
    int32_t srcLeft;  // the source column that lands at expectDst.Left
    int32_t srcTop;
  };
  const std::vector<Case> cases = {
      {"x = -10", {0, 0, 20, 20}, -10, 100, {0, 100, 10, 120}, 10, 0},
      {"bottom edge, frame at row 20", {0, 20, 20, 40}, 300, 590, {300, 590, 320, 598}, 0, 20},
      {"right edge", {0, 0, 20, 20}, 790, 10, {790, 10, 800, 30}, 0, 0},
      {"top edge", {5, 5, 15, 15}, 50, -3, {50, 0, 60, 7}, 5, 8},
      {"inside", {0, 0, 10, 10}, 200, 200, {200, 200, 210, 210}, 0, 0},
      {"entirely off left", {0, 0, 20, 20}, -30, 100, {0, 0, 0, 0}, 0, 0},
      {"entirely below", {0, 0, 20, 20}, 100, 598, {0, 0, 0, 0}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSurface dst(800, 600);
    DrawClipped(src, dst, c.rect, c.x, c.y);
    int drawn = 0;
    for (int32_t y = 0; y < 600; ++y) {
      for (int32_t x = 0; x < 800; ++x) {
        const bool inside = x >= c.expectDst.Left && x < c.expectDst.Right &&
                            y >= c.expectDst.Top && y < c.expectDst.Bottom;
        if (inside) {
          const int32_t sx = c.srcLeft + x - c.expectDst.Left;
          const int32_t sy = c.srcTop + y - c.expectDst.Top;
          ASSERT_EQ(dst.PixelAt(x, y), src.PixelAt(sx, sy)) << x << "," << y;
          ++drawn;
        } else {
          ASSERT_EQ(dst.PixelAt(x, y), 0u) << x << "," << y;
        }
      }
    }
    EXPECT_EQ(drawn, c.expectDst.Width() * c.expectDst.Height());
  }
}

TEST(DrawClipped, SkipsTheSpriteWhileTheDeviceIsBusy) {
  TSurface src(4, 4);
  Fill(src, 0x00FFFFFF);
  TSurface dst(800, 600);
  TSurfaceTestAccess::SetBusy(dst, true);
  DrawClipped(src, dst, {0, 0, 4, 4}, 10, 10);
  EXPECT_EQ(dst.PixelAt(10, 10), 0u);
}

}  // namespace
