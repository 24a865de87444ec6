#include "graphics/Surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/SurfaceTestAccess.h"

namespace {

constexpr uint32_t kRed = 0x00FF0000;
constexpr uint32_t kBlue = 0x000000FF;
constexpr uint32_t kGrey = 0x00808080;

void Fill(TSurface& s, uint32_t value) {
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) s.SetPixelAt(x, y, value);
}

// A 4 x 4 sprite: a magenta frame around a 2 x 2 red centre.
TSurface KeyedSprite() {
  TSurface s(4, 4);
  Fill(s, kMagentaPixel);
  for (int32_t y = 1; y < 3; ++y)
    for (int32_t x = 1; x < 3; ++x) s.SetPixelAt(x, y, kRed);
  s.SetColorKey(kMagentaPixel);
  return s;
}

int CountPixels(const TSurface& s, uint32_t value) {
  int n = 0;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) n += s.PixelAt(x, y) == value;
  return n;
}

TEST(SurfaceBlit, KeyedBlitsLeaveMagentaAreasUntouched) {
  struct Case {
    const char* name;
    bool useBlt;
  };
  for (const Case c : {Case{"BltFast", false}, Case{"Blt", true}}) {
    SCOPED_TRACE(c.name);
    TSurface dst(10, 10);
    Fill(dst, kGrey);
    const TSurface sprite = KeyedSprite();
    HResult hr = kDdErrGeneric;
    if (c.useBlt) {
      const TRect at{3, 3, 7, 7};
      hr = dst.Blt(&at, &sprite, nullptr, kBltWait | kBltKeySrc);
    } else {
      hr = DrawKeyed(dst, 3, 3, sprite);
    }
    ASSERT_EQ(hr, kDdOk);
    for (int32_t y = 0; y < 10; ++y) {
      for (int32_t x = 0; x < 10; ++x) {
        const bool centre = x >= 4 && x < 6 && y >= 4 && y < 6;
        EXPECT_EQ(dst.PixelAt(x, y), centre ? kRed : kGrey) << x << "," << y;
      }
    }
  }
}

TEST(SurfaceBlit, KeyedRowsOfEveryLengthMatchAPlainLoop) {
  // Rows of odd lengths exercise both the wide path and its tail; in every 12
  // pixels, 4 transparent ones, 4 mixed and 4 opaque ones.
  auto transparent = [](int32_t x) { return x % 12 < 4 || x % 12 == 5; };
  for (int32_t width = 1; width <= 27; ++width) {
    TSurface src(width, 1);
    for (int32_t x = 0; x < width; ++x)
      src.SetPixelAt(x, 0, transparent(x) ? kMagentaPixel : x + 1u);
    src.SetColorKey(kMagentaPixel);
    TSurface dst(width + 2, 1);
    Fill(dst, kBlue);
    ASSERT_EQ(dst.BltFast(1, 0, src, nullptr, kBltFastSrcColorKey | kBltFastWait), kDdOk);
    EXPECT_EQ(dst.PixelAt(0, 0), kBlue);
    EXPECT_EQ(dst.PixelAt(width + 1, 0), kBlue);
    for (int32_t x = 0; x < width; ++x) {
      EXPECT_EQ(dst.PixelAt(x + 1, 0), transparent(x) ? kBlue : x + 1u) << "width " << width;
    }
  }
}

TEST(SurfaceBlit, OpaqueBlitCopiesMagentaToo) {
  TSurface dst(6, 6);
  Fill(dst, kGrey);
  ASSERT_EQ(DrawOpaque(dst, 1, 1, KeyedSprite()), kDdOk);
  EXPECT_EQ(CountPixels(dst, kMagentaPixel), 12);
  EXPECT_EQ(CountPixels(dst, kRed), 4);
}

TEST(SurfaceBlit, RefusesBadRectanglesWithoutTouchingAnything) {
  struct Case {
    std::string name;
    TRect src;
    int32_t x;
    int32_t y;
  };
  const std::vector<Case> cases = {
      {"empty", {2, 2, 2, 4}, 0, 0},
      {"inverted", {3, 3, 1, 1}, 0, 0},
      {"source left of the surface", {-1, 0, 2, 2}, 0, 0},
      {"source below the surface", {0, 2, 2, 5}, 0, 0},
      {"destination past the right edge", {0, 0, 4, 4}, 7, 0},
      {"destination past the bottom", {0, 0, 4, 4}, 0, 7},
      {"negative destination", {0, 0, 2, 2}, -1, 0},
  };
  const TSurface sprite = KeyedSprite();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSurface dst(10, 10);
    Fill(dst, kGrey);
    EXPECT_EQ(dst.BltFast(c.x, c.y, sprite, &c.src, kBltFastWait), kDdErrInvalidRect);
    const TRect dr{c.x, c.y, c.x + c.src.Width(), c.y + c.src.Height()};
    EXPECT_NE(dst.Blt(&dr, &sprite, &c.src, kBltWait), kDdOk);
    EXPECT_EQ(CountPixels(dst, kGrey), 100);
  }
  TSurface dst(10, 10);
  const TRect outside{8, 8, 11, 10};
  EXPECT_EQ(dst.Blt(&outside, nullptr, nullptr, kBltColorFill | kBltWait, kRed), kDdErrInvalidRect);
  const TRect inverted{5, 5, 4, 6};
  EXPECT_EQ(dst.Blt(&inverted, nullptr, nullptr, kBltColorFill | kBltWait, kRed),
            kDdErrInvalidRect);
  EXPECT_EQ(CountPixels(dst, kRed), 0);
}

TEST(SurfaceBlit, ColourFillCoversExactlyTheRectangle) {
  TSurface dst(8, 6);
  const TRect r{2, 1, 5, 4};
  ASSERT_EQ(dst.Blt(&r, nullptr, nullptr, kBltColorFill | kBltWait, kBlue), kDdOk);
  EXPECT_EQ(CountPixels(dst, kBlue), 9);
  EXPECT_EQ(dst.PixelAt(2, 1), kBlue);
  EXPECT_EQ(dst.PixelAt(4, 3), kBlue);
  EXPECT_EQ(dst.PixelAt(5, 3), 0u);
  EXPECT_EQ(dst.Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait, kRed), kDdOk);
  EXPECT_EQ(CountPixels(dst, kRed), 48);
}

TEST(SurfaceBlit, StretchScalesByNearestNeighbour) {
  TSurface src(2, 2);
  src.SetPixelAt(0, 0, 1);
  src.SetPixelAt(1, 0, 2);
  src.SetPixelAt(0, 1, 3);
  src.SetPixelAt(1, 1, 4);
  struct Case {
    TRect dst;
    std::vector<uint32_t> expected;  // row-major over the destination rectangle
  };
  const std::vector<Case> cases = {
      {{0, 0, 4, 4}, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}},
      {{1, 1, 4, 2}, {1, 1, 2}},
      {{0, 0, 1, 1}, {1}},
  };
  for (const Case& c : cases) {
    TSurface dst(4, 4);
    ASSERT_EQ(dst.Blt(&c.dst, &src, nullptr, kBltWait), kDdOk);
    size_t i = 0;
    for (int32_t y = c.dst.Top; y < c.dst.Bottom; ++y)
      for (int32_t x = c.dst.Left; x < c.dst.Right; ++x)
        EXPECT_EQ(dst.PixelAt(x, y), c.expected[i++]) << x << "," << y;
  }
}

TEST(SurfaceBlit, StretchHonoursTheColourKey) {
  const TSurface sprite = KeyedSprite();
  TSurface dst(8, 8);
  Fill(dst, kGrey);
  ASSERT_EQ(dst.Blt(nullptr, &sprite, nullptr, kBltWait | kBltKeySrc), kDdOk);
  EXPECT_EQ(CountPixels(dst, kRed), 16);
  EXPECT_EQ(CountPixels(dst, kGrey), 48);
}

TEST(SurfaceState, LostBusyAndLockedSurfacesRefuse) {
  TSurface sprite = KeyedSprite();
  TSurface dst(8, 8);
  TLockedSurface lock;

  TSurfaceTestAccess::SetBusy(dst, true);
  EXPECT_EQ(dst.BltFast(0, 0, sprite, nullptr, kBltFastDoNotWait), kDdErrWasStillDrawing);
  EXPECT_EQ(dst.BltFast(0, 0, sprite, nullptr, kBltFastWait), kDdOk);
  EXPECT_EQ(dst.Blt(nullptr, nullptr, nullptr, kBltColorFill), kDdErrWasStillDrawing);
  EXPECT_EQ(dst.Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait), kDdOk);
  TSurfaceTestAccess::SetBusy(dst, false);

  ASSERT_EQ(dst.Lock(lock), kDdOk);
  EXPECT_EQ(lock.Pitch, 32);
  EXPECT_EQ(lock.Bits, dst.Pixels());
  EXPECT_NE(dst.Lock(lock), kDdOk);
  EXPECT_NE(dst.BltFast(0, 0, sprite, nullptr, kBltFastWait), kDdOk);
  EXPECT_EQ(dst.Unlock(), kDdOk);
  EXPECT_NE(dst.Unlock(), kDdOk);
  {
    const TSurfaceLock held(dst);
    ASSERT_TRUE(held.Ok());
    { EXPECT_EQ(TSurfaceLock(dst).Result(), kDdErrGeneric); }
    EXPECT_TRUE(dst.IsLocked()) << "a refused lock releases nothing";
  }
  EXPECT_FALSE(dst.IsLocked()) << "the scope released its lock";

  sprite.SetLost(true);
  EXPECT_EQ(dst.BltFast(0, 0, sprite, nullptr, kBltFastWait), kDdErrSurfaceLost);
  dst.SetLost(true);
  EXPECT_EQ(dst.Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait), kDdErrSurfaceLost);
  EXPECT_EQ(dst.Lock(lock), kDdErrSurfaceLost);
  EXPECT_EQ(dst.Restore(), kDdOk);
  EXPECT_FALSE(dst.IsLost());
  EXPECT_EQ(dst.Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait, kBlue), kDdOk);
}

TEST(SurfaceBlit, OverlappingCopyWithinOneSurface) {
  TSurface s(6, 6);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) s.SetPixelAt(x, y, static_cast<uint32_t>(y * 6 + x + 1));
  const TSurface before = s;
  const TRect r{0, 0, 4, 4};
  ASSERT_EQ(s.BltFast(1, 1, s, &r, kBltFastWait), kDdOk);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(s.PixelAt(x + 1, y + 1), before.PixelAt(x, y));
}

}  // namespace
