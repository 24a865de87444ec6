#include "graphics/Geometry.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "graphics/FrameGeometry.h"

namespace {

constexpr int32_t kClipWidth = kFrameWidth;

}  // namespace

TPoint PointDelta(TPoint a, TPoint b) {
  return TPoint{b.X - a.X, b.Y - a.Y};
}

int32_t RotateX(TPoint v, double cosine, double sine) {
  return RoundEven(v.X * cosine - v.Y * sine);
}

int32_t RotateY(TPoint v, double cosine, double sine) {
  return RoundEven(v.X * sine + v.Y * cosine);
}

void DrawRotated(TSurface& source, TSurface& destination, TPoint pivot, double angle,
                 uint16_t width, uint16_t height, uint16_t anchorX, uint16_t anchorY) {
  const TSurfaceLock dstLock(destination);
  if (!dstLock.Ok()) return;
  // Drawing a surface onto itself reads through the one lock.
  std::optional<TSurfaceLock> srcLock;
  if (&source != &destination) {
    srcLock.emplace(source);
    if (!srcLock->Ok()) return;
  }
  const TLockedSurface& dst = dstLock.Bits();
  const TLockedSurface& src = srcLock ? srcLock->Bits() : dst;

  constexpr double kTwoPi = 2.0 * std::numbers::pi;
  constexpr double kThreeHalfPi = 3.0 * kHalfPi;
  if (std::isfinite(angle)) {
    // Subtracting in a loop is the defined reduction; fmod only helps for
    // angles so large that the loop would run for ever.
    if (angle >= kTwoPi * 64) angle = std::fmod(angle, kTwoPi);
    while (angle >= kTwoPi) angle -= kTwoPi;
  } else {
    angle = 0.0;
  }
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  int32_t gapX = 0;
  int32_t gapY = 0;
  if (angle < kHalfPi || (angle > std::numbers::pi && angle < kThreeHalfPi)) {
    gapY = 1;
  } else {
    gapX = 1;
  }

  // Only the part of the requested area that exists in the source is read,
  // and the gap copy is kept inside the destination.
  const int32_t w = std::min<int32_t>(width, src.Width);
  const int32_t h = std::min<int32_t>(height, src.Height);
  const size_t srcStride = static_cast<size_t>(src.Pitch) / 4;
  const size_t dstStride = static_cast<size_t>(dst.Pitch) / 4;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = src.Bits + static_cast<size_t>(y) * srcStride;
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t pixel = row[x];
      if (pixel == kMagentaPixel) continue;
      const TPoint d = PointDelta(pivot, TPoint{x, y});
      const int32_t tx = anchorX - (RotateX(d, cosine, sine) + pivot.X);
      const int32_t ty = anchorY - (RotateY(d, cosine, sine) + pivot.Y);
      if (tx < kSeaLeft || tx > kSeaRight || ty < 0 || ty > kSeaBottom) {
        continue;
      }
      if (tx < dst.Width && ty < dst.Height) {
        dst.Bits[static_cast<size_t>(ty) * dstStride + tx] = pixel;
      }
      const int32_t gx = tx + gapX;
      const int32_t gy = ty + gapY;
      if (gx < dst.Width && gy < dst.Height) {
        dst.Bits[static_cast<size_t>(gy) * dstStride + gx] = pixel;
      }
    }
  }
}

void DrawClipped(const TSurface& source, TSurface& destination, TRect rect, int16_t x, int16_t y) {
  int32_t px = x;
  int32_t py = y;
  if (px + (rect.Right - rect.Left) > kClipWidth) rect.Right = rect.Left + kClipWidth - px;
  if (py + (rect.Bottom - rect.Top) > kSeaBottom) rect.Bottom = rect.Top + kSeaBottom - py;
  if (px < 0) {
    rect.Left -= px;
    px = 0;
  }
  if (py < 0) {
    rect.Top -= py;
    py = 0;
  }
  // The blit refuses what is left empty, inverted or outside the source, and
  // a busy device: the sprite is then simply missing from this frame.
  (void)destination.BltFast(px, py, source, &rect, kBltFastSrcColorKey | kBltFastDoNotWait);
}
