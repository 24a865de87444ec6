#include "images/SurfaceRoutines.h"

#include <cstring>

HResult CopyBitmapToSurface(TSurface* surface, const TDecodedBitmap* bitmap, int32_t x, int32_t y,
                            int32_t dx, int32_t dy) {
  if (surface == nullptr || bitmap == nullptr) return kDdErrGeneric;
  surface->Restore();
  if (dx == 0) dx = bitmap->Width;
  if (dy == 0) dy = bitmap->Height;
  if (x < 0 || y < 0 || dx <= 0 || dy <= 0 || static_cast<int64_t>(x) + dx > bitmap->Width ||
      static_cast<int64_t>(y) + dy > bitmap->Height ||
      bitmap->Pixels.size() < static_cast<size_t>(bitmap->Width) * bitmap->Height) {
    return kDdErrInvalidRect;
  }
  if (surface->Width() <= 0 || surface->Height() <= 0) return kDdOk;
  uint32_t* dst = surface->Pixels();
  const int32_t sw = surface->Width();
  const int32_t sh = surface->Height();
  for (int32_t row = 0; row < sh; ++row) {
    const int32_t by = y + static_cast<int32_t>(static_cast<int64_t>(row) * dy / sh);
    const uint32_t* src = bitmap->Pixels.data() + static_cast<size_t>(by) * bitmap->Width + x;
    uint32_t* out = dst + static_cast<size_t>(row) * sw;
    if (dx == sw) {
      std::memcpy(out, src, static_cast<size_t>(sw) * 4);
    } else {
      for (int32_t col = 0; col < sw; ++col) {
        out[col] = src[static_cast<int64_t>(col) * dx / sw];
      }
    }
  }
  return kDdOk;
}

uint32_t MatchSurfaceColor(TSurface& surface, uint32_t colorRef) {
  if (surface.IsLost() || surface.Width() <= 0 || surface.Height() <= 0) return kClrInvalid;
  const uint32_t remembered = surface.PixelAt(0, 0);
  if (colorRef != kClrInvalid) surface.SetPixelAt(0, 0, GdiToPixel(colorRef));
  uint32_t result = kClrInvalid;
  // A lock that reports "still drawing" is retried, but only a few times: a
  // surface that never frees up must not hang the caller.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const TSurfaceLock lock(surface);
    if (lock.Ok()) {
      const TLockedSurface& locked = lock.Bits();
      result = locked.Bits[0];
      if (locked.BitsPerPixel < 32) result &= (1u << locked.BitsPerPixel) - 1u;
    }
    if (lock.Result() != kDdErrWasStillDrawing) break;
  }
  surface.SetPixelAt(0, 0, remembered);
  return result;
}

HResult SetSurfaceColorKey(TSurface& surface, uint32_t colorRef) {
  if (surface.IsLost()) return kDdErrSurfaceLost;
  const uint32_t key = MatchSurfaceColor(surface, colorRef);
  surface.SetColorKey(key);
  return kDdOk;
}
